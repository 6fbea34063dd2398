// Plays a game from fuzz bytes or from a replay script and checks the invariants after
// every line. Header-only, so the unit tests and the fuzz targets share it as it is.
#pragma once

#include <charconv>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "support/invariants.h"
#include "support/replay_session.h"

namespace casino::fuzzing {

// What one game did.
struct Play {
    std::vector<std::string> script;      // every line played, in the replay tool's format
    std::vector<std::string> violations;  // empty when every invariant held
    std::size_t events = 0;               // lines that reached the game as an event
    std::size_t spins = 0;                // events that drew a new spin
    std::size_t pawns = 0;                // events that wrote a pawn ticket
    std::size_t redemptions = 0;          // events that took one back
};

// Lines as a script or a report writes them, each ended by a newline.
inline std::string joined(const std::vector<std::string>& lines) {
    std::string out;
    for (const auto& line : lines) out += line + "\n";
    return out;
}

class ScriptedGame {
   public:
    ScriptedGame() { check(); }

    // Runs one line of a replay script. Returns false once an invariant has broken; the
    // game then stops taking lines.
    bool step(std::string line) {
        if (!play_.violations.empty()) return false;
        if (!line.empty() && line.back() == '\r') line.pop_back();  // as the replay tool reads
        play_.script.push_back(line);
        const TableState before = session_.table();
        const std::size_t pawned_before = pawned();
        if (const auto error = session_.run_line(line)) {
            play_.violations.push_back("the script line " + line + " is unreadable: " + *error);
            return false;
        }
        session_.port().take_transcript();
        count(line, before, session_.table(), pawned_before);
        return check();
    }

    [[nodiscard]] const Play& play() const { return play_; }
    [[nodiscard]] bool on_street() const {
        return session_.state().accepts_input(Control::cmdexit);
    }

   private:
    bool check() {
        play_.violations = testing::check_invariants(session_.state(), session_.port());
        return play_.violations.empty();
    }

    [[nodiscard]] std::size_t pawned() const {
        return session_.port().list(Control::List2).entries.size();
    }

    void count(std::string_view line, const TableState& before, const TableState& after,
               std::size_t pawned_before) {
        if (line.starts_with("click ") || line.starts_with("key ") || line.starts_with("menu ")) {
            ++play_.events;
        }
        if (after.fine != before.fine || after.number != before.number ||
            after.eventroll != before.eventroll || after.priceroll != before.priceroll) {
            ++play_.spins;
        }
        if (pawned() > pawned_before) ++play_.pawns;
        if (pawned() < pawned_before) ++play_.redemptions;
    }

    testing::ReplaySession session_;
    Play play_;
};

// ---- Fuzz bytes to script lines ----
//
// Each operation starts with one byte. The letters below name operations, so a seed can
// be written by hand ("E" enters, "R" bets on red, "t" types a shaped number...); any
// other byte picks one of them by its value, except quitting, which only "Z" does, so that
// random bytes play long games.

class ByteReader {
   public:
    explicit ByteReader(std::span<const std::uint8_t> data) : data_(data) {}
    [[nodiscard]] bool done() const { return at_ >= data_.size(); }
    std::uint8_t next() { return done() ? 0 : data_[at_++]; }

   private:
    std::span<const std::uint8_t> data_;
    std::size_t at_ = 0;
};

namespace detail {

inline std::string shaped_answer(ByteReader& in) {
    const std::uint8_t v = in.next();
    const std::uint8_t w = in.next();
    switch (v % 14) {
        case 0: return "";
        case 1: return std::to_string(w % 10);
        case 2: return std::to_string(w % 40);  // a pick, now and then off the wheel
        case 3: return "-" + std::to_string(w % 5 + 1);
        case 4: return std::string(1 + w % 30, '9');
        case 5: {
            static constexpr std::string_view kEdges[] = {"32767",  "32768", "-32768",
                                                          "-32769", "65536", "2147483648"};
            return std::string(kEdges[w % 6]);
        }
        case 6: return std::to_string(w % 8) + ".5";
        case 7: return " " + std::to_string(w % 10) + " " + std::to_string(w % 7);
        case 8: return w % 2 == 0 ? "0.4" : "0.6";
        case 9: {
            static constexpr std::string_view kOdd[] = {"abc", "1e5", "+3",    "--2", ".5",
                                                        "3,5", "- 4", "1.2.3", "\t7", "0x10"};
            return std::string(kOdd[w % 10]);
        }
        case 10: return std::to_string(w + 100);
        case 11: return std::to_string(w % 37);
        case 12: return "1";
        default: return std::to_string(static_cast<int>(w) - 128);
    }
}

inline std::string raw_answer(ByteReader& in) {
    std::string text;
    for (int n = in.next() % 16; n > 0; --n) {
        const auto c = static_cast<char>(in.next());
        // An input box holds one line.
        text.push_back(c == '\n' || c == '\r' ? ' ' : c);
    }
    return text;
}

template <typename T>
std::string shortest(T value) {
    char buf[64];
    const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value);
    (void)ec;
    return std::string(buf, end);
}

inline const char* list_name(std::uint8_t b) { return b % 2 == 0 ? "List1" : "List2"; }

}  // namespace detail

inline constexpr std::string_view kOperations = "EROVBDNLPUWxy12khFSAHtTCQ$";

// The next script line the bytes describe, or nothing at the end of the input. The game
// is asked whether it is still on the street, where setting money would be no real game.
inline std::optional<std::string> next_line(ByteReader& in, const ScriptedGame& game) {
    if (in.done()) return std::nullopt;
    const std::uint8_t b = in.next();
    char op = static_cast<char>(b);
    if (op != 'Z' && kOperations.find(op) == std::string_view::npos) {
        op = kOperations[b % kOperations.size()];
    }
    switch (op) {
        case 'E': return "click cmdexit";
        case 'R': return "click cmdred";
        case 'B': return "click cmdbleck";
        case 'O': return "click Command1";
        case 'V': return "click Command2";
        case 'D': return "click cmddu";
        case 'N': return "click cmdnum";
        case 'L': return "click cmdlom";
        case 'P': return "click cmdpay";
        case 'U': return "click cmdre";
        case 'W': return "click cmdwent";
        case 'x': return "click List1";
        case 'y': return "click List2";
        case '1': return "key List1 13";
        case '2': return "key List2 13";
        case 'k': {
            const std::uint8_t list = in.next();
            const std::uint8_t code = in.next();
            return std::string("key ") + detail::list_name(list) + " " +
                   std::to_string(code % 4 == 0 ? 13 : code);
        }
        case 'h': {
            const std::uint8_t v = in.next();
            // Now and then an index past the entries, which moves nothing.
            return std::string("highlight ") + detail::list_name(v) + " " +
                   std::to_string(v / 2 % 6);
        }
        case 'F': return "menu деньги";
        case 'S': return "menu sound";
        case 'A': return "menu new";
        case 'H': return "menu help";
        case 'Z': return "menu выход";
        case 't': return "type " + detail::shaped_answer(in);
        case 'T': return "type " + detail::raw_answer(in);
        case 'C': {
            const std::uint32_t v =
                (std::uint32_t{in.next()} << 16) | (std::uint32_t{in.next()} << 8) | in.next();
            return "clock " + detail::shortest(static_cast<double>(v % 8640000) / 100.0);
        }
        case 'Q': {
            std::string line = "draw";
            for (int n = in.next() % 4 + 1; n > 0; --n) {
                const int v = (in.next() << 8) | in.next();
                // The top value stands for the largest roll below 1, the edge of every range.
                const float r = v == 0xFFFF ? 0x1.fffffep-1F : static_cast<float>(v) / 65536.0F;
                line += " " + detail::shortest(r);
            }
            return line;
        }
        case '$': {
            const int v = ((in.next() << 8) | in.next()) % 32768;
            // On the street nothing can change money yet; a click elsewhere stands in.
            if (game.on_street()) return "highlight List1 0";
            return "money " + std::to_string(v);
        }
        default: return std::nullopt;  // every operation is named above
    }
}

inline Play play_bytes(std::span<const std::uint8_t> data) {
    ScriptedGame game;
    ByteReader in(data);
    while (const auto line = next_line(in, game)) {
        if (!game.step(*line)) break;
    }
    return game.play();
}

}  // namespace casino::fuzzing
