// Fuzz target: the number reader against a plain reference reading of the same text.
#include <cfenv>
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
// fraction; the first character that cannot continue the number ends it. The C library
// converts the gathered characters, and the default rounding mode rounds halves to even.
std::int16_t reference_read(std::string_view text) {
    std::string number;
    bool digits = false;
    bool point = false;
    bool sign_allowed = true;
    for (const char c : text) {
        if (c == ' ' || c == '\t') continue;
        if (sign_allowed && (c == '-' || c == '+')) {
            number.push_back(c);
            sign_allowed = false;
            continue;
        }
        sign_allowed = false;
        if (c >= '0' && c <= '9') {
            digits = true;
        } else if (c != '.' || point) {
            break;
        } else {
            point = true;
        }
        number.push_back(c);
    }
    if (!digits) return 0;
    const double value = std::nearbyint(std::strtod(number.c_str(), nullptr));
    if (value <= -32768.0) return -32768;
    if (value >= 32767.0) return 32767;
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
