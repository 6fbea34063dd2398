// Fuzz target: the number reader against a plain reference reading of the same text.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "core/number_reader.h"
#include "core/rules/arithmetic.h"

namespace {

std::size_t g_reads = 0;

void print_figures() { std::fprintf(stderr, "number_fuzzer: %zu texts read\n", g_reads); }

// Blanks are skipped anywhere; one sign may come before the digits; a point starts the
// fraction; the first character that cannot continue the number ends it. The reading is
// exact: the whole part is kept as its digits, and the fraction is compared, as text, with
// one half, "5" (trailing zeros say nothing).
std::int16_t reference_read(std::string_view text) {
    std::string whole;
    std::string fraction;
    bool digits = false;
    bool point = false;
    bool negative = false;
    bool sign_allowed = true;
    for (const char c : text) {
        if (c == ' ' || c == '\t') continue;
        if (sign_allowed && (c == '-' || c == '+')) {
            negative = c == '-';
            sign_allowed = false;
            continue;
        }
        sign_allowed = false;
        if (c >= '0' && c <= '9') {
            digits = true;
            (point ? fraction : whole).push_back(c);
        } else if (c == '.' && !point) {
            point = true;
        } else {
            break;
        }
    }
    if (!digits) return 0;

    whole.erase(0, std::min(whole.find_first_not_of('0'), whole.size()));
    if (whole.size() > 6) return negative ? -32768 : 32767;
    long magnitude = whole.empty() ? 0 : std::stol(whole);
    fraction.erase(fraction.find_last_not_of('0') + 1);
    const int against_half = fraction.compare("5");
    if (against_half > 0 || (against_half == 0 && magnitude % 2 == 1)) ++magnitude;
    const long value = negative ? -magnitude : magnitude;
    if (value <= -32768) return -32768;
    if (value >= 32767) return 32767;
    return static_cast<std::int16_t>(value);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* /*argc*/, char*** /*argv*/) {
    std::atexit(print_figures);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    ++g_reads;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::int16_t got = casino::read_number(text);
    const std::int16_t want = reference_read(text);
    if (got != want) {
        std::fprintf(stderr, "read_number(\"%.*s\") = %d, the reference reads %d\n",
                     static_cast<int>(size), text.data(), got, want);
        std::abort();
    }

    // The same bytes as a double: the rounding helper must agree with the FPU's own.
    if (size >= sizeof(double)) {
        double value = 0.0;
        std::memcpy(&value, data, sizeof value);
        if (std::isfinite(value) &&
            casino::rules::round_half_even(value) != std::nearbyint(value)) {
            std::fprintf(stderr, "round_half_even(%.17g) = %.17g, nearbyint gives %.17g\n", value,
                         casino::rules::round_half_even(value), std::nearbyint(value));
            std::abort();
        }
    }
    return 0;
}
