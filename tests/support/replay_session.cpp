// The replay tool's script reader and state printer.
#include "support/replay_session.h"

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <istream>
#include <ostream>
#include <sstream>
#include <vector>

#include "support/names.h"
#include "support/script_words.h"

namespace casino::testing {

namespace {

// A leading '+' is allowed as in the typed numbers.
std::string_view unsigned_part(std::string_view text) {
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    return text;
}

std::optional<int> parse_int(std::string_view text) {
    text = unsigned_part(text);
    int value = 0;
    const auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc{} || ptr != text.data() + text.size()) return std::nullopt;
    return value;
}

// A plain number, as in "43200.25", ".5" or "2e3": what a script may give for a clock or a
// draw. strtod and strtof round correctly, as from_chars does, which not every standard
// library has for floating point yet (the program never changes the C locale, so the point
// is '.'). The whole word must be the number, in decimal (no hexadecimal, infinity or
// second sign, which strtod would take), and a value too large or too small for the type
// is refused, as from_chars refuses it.
template <typename Real>
std::optional<Real> parse_real(std::string_view text, Real (*convert)(const char*, char**)) {
    const std::string copy(unsigned_part(text));
    const bool decimal = !copy.empty() && copy.front() != '+' &&
                         copy.find_first_not_of("0123456789.eE+-") == std::string::npos;
    if (!decimal) return std::nullopt;
    char* end = nullptr;
    errno = 0;
    const Real value = convert(copy.c_str(), &end);
    if (end != copy.c_str() + copy.size() || errno == ERANGE) return std::nullopt;
    return value;
}

std::optional<double> parse_double(std::string_view text) { return parse_real(text, std::strtod); }
std::optional<float> parse_float(std::string_view text) { return parse_real(text, std::strtof); }

std::string bracketed(const std::string& text) { return "[" + text + "]"; }

}  // namespace

std::vector<std::string> list_entries(const GameState& state, Control list) {
    std::vector<std::string> out;
    const bool wardrobe = list == Control::List1;
    for (const Item item : wardrobe ? state.wardrobe : state.pawned) {
        const std::size_t k = index_of(item);
        out.push_back(wardrobe ? state.table.items[k] : state.table.pawnticket[k]);
    }
    return out;
}

ReplaySession::ReplaySession() : form_(port_, draws_, state_) { deliver(Event::load()); }

Outcome ReplaySession::deliver(const Event& event) {
    last_ = form_.handle(event);
    port_.apply(last_);
    return last_;
}

std::optional<std::string> ReplaySession::run_line(std::string_view line) {
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);

    // The typed text is kept exactly as written, so it is cut off before any splitting.
    if (line == "type") {
        port_.type("");
        return std::nullopt;
    }
    if (line.starts_with("type ")) {
        port_.type(std::string(line.substr(5)));
        return std::nullopt;
    }

    const auto w = script_words(line);
    if (w.empty() || w[0].starts_with("#")) return std::nullopt;
    const std::string_view command = w[0];
    const auto need = [&](std::size_t n) -> std::optional<std::string> {
        if (w.size() != n + 1) {
            return std::string(command) + " takes " + std::to_string(n) +
                   (n == 1 ? " argument" : " arguments");
        }
        return std::nullopt;
    };

    if (command == "clock") {
        if (auto e = need(1)) return e;
        const auto seconds = parse_double(w[1]);
        if (!seconds || !std::isfinite(*seconds) || *seconds < 0) {
            return "clock needs a number of seconds, not " + std::string(w[1]);
        }
        port_.set_clock(*seconds);
        return std::nullopt;
    }
    if (command == "draw") {
        if (w.size() < 2) return std::string("draw needs at least one value");
        std::vector<float> values;
        for (std::size_t i = 1; i < w.size(); ++i) {
            const auto r = parse_float(w[i]);
            if (!r || !(*r >= 0.0F && *r < 1.0F)) {
                return "draw values lie in [0, 1), not " + std::string(w[i]);
            }
            values.push_back(*r);
        }
        for (const float r : values) draws_.queue(r);
        return std::nullopt;
    }
    if (command == "click") {
        if (auto e = need(1)) return e;
        const auto c = control_named(w[1]);
        if (!c) return "no control named " + std::string(w[1]);
        // A click gives the button the keyboard before the button reports it.
        if (form_.state().accepts_input(*c)) port_.click_into(*c);
        deliver(Event::click(*c, port_.focused()));
        return std::nullopt;
    }
    if (command == "key") {
        if (auto e = need(2)) return e;
        const auto c = control_named(w[1]);
        if (!c || !is_list(*c)) return "no list box named " + std::string(w[1]);
        const auto code = parse_int(w[2]);
        if (!code || *code < -32768 || *code > 65535) {
            return "key needs a character code, not " + std::string(w[2]);
        }
        // The list tells the game which entry it has highlighted as the key arrives.
        // Keys reach the list that holds the keyboard: a key typed in a list has it there.
        if (form_.state().accepts_input(*c)) port_.click_into(*c);
        deliver(Event::key_press(*c, *code, port_.list(*c).highlight, port_.focused()));
        return std::nullopt;
    }
    if (command == "menu") {
        if (auto e = need(1)) return e;
        const auto m = menu_item_named(w[1]);
        if (!m) return "no menu item named " + std::string(w[1]);
        deliver(Event::menu_item(*m, port_.focused()));
        return std::nullopt;
    }
    if (command == "highlight") {
        if (auto e = need(2)) return e;
        const auto c = control_named(w[1]);
        if (!c || !is_list(*c)) return "no list box named " + std::string(w[1]);
        const auto index = parse_int(w[2]);
        if (!index) return "highlight needs an index, not " + std::string(w[2]);
        // Only an open list can be clicked; an index past its entries hits nothing.
        const auto count = static_cast<int>(port_.list(*c).entries.size());
        if (form_.state().accepts_input(*c) && *index >= 0 && *index < count) {
            port_.move_highlight(*c, *index);
        }
        return std::nullopt;
    }
    if (command == "money") {
        if (auto e = need(1)) return e;
        const auto amount = parse_int(w[1]);
        if (!amount || *amount < 0 || *amount > 32767) {
            return "money needs an amount from 0 to 32767, not " + std::string(w[1]);
        }
        state_.table.money = static_cast<std::int16_t>(*amount);
        return std::nullopt;
    }
    if (command == "show") {
        if (auto e = need(0)) return e;
        pending_show_ += show();
        return std::nullopt;
    }
    return "unknown command " + std::string(command);
}

std::string ReplaySession::show() const {
    const TableState& s = state_.table;
    std::ostringstream out;
    out << "state money=" << s.money << " number=" << s.number << " eventroll=" << s.eventroll
        << " priceroll=" << s.priceroll << " fine=" << s.fine << " chipprice=" << s.chipprice
        << " color=" << bracketed(s.color) << " pawnedclothes=" << s.pawnedclothes
        << " pawnedtrousers=" << s.pawnedtrousers << " mute=" << s.mute << "\n";
    // The controls and the lists as the front end shows them to the player.
    out << "visible";
    for (const auto& row : kControls) {
        if (port_.visible(row.id)) out << " " << row.name;
    }
    out << "\nenabled";
    for (const auto& row : kControls) {
        if (port_.enabled(row.id)) out << " " << row.name;
    }
    out << "\n";
    for (const Control list : {Control::List1, Control::List2}) {
        const auto& box = port_.list(list);
        out << name_of(list);
        for (const auto& entry : box.entries) out << " " << bracketed(entry);
        out << " highlight=" << box.highlight << "\n";
    }
    out << "tickets";
    for (const auto& ticket : s.pawnticket) out << " " << bracketed(ticket);
    out << "\nredeem";
    for (const auto price : s.redeemprice) out << " " << price;
    out << "\n";
    return out.str();
}

std::string ReplaySession::take_output() {
    std::string out;
    for (const auto& line : port_.take_transcript()) out += line + "\n";
    out += pending_show_;
    pending_show_.clear();
    return out;
}

int ReplaySession::run(std::istream& in, std::ostream& out, std::ostream& err) {
    std::string line;
    int number = 0;
    while (!finished() && std::getline(in, line)) {
        ++number;
        const auto error = run_line(line);
        out << take_output();
        if (error) {
            out.flush();
            err << "error line " << number << ": " << *error << "\n";
            return 2;
        }
    }
    out.flush();
    return 0;
}

}  // namespace casino::testing
