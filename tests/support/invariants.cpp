// What must hold after every event. Texts and prices come from the game's own tables
// (core/controls, core/rules): this checks that the pieces agree, not what they say.
#include "support/invariants.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <optional>
#include <string_view>

#include "core/rules/pawnshop.h"
#include "core/rules/roulette.h"
#include "support/replay_session.h"

namespace casino::testing {

namespace {

using Violations = std::vector<std::string>;
using rules::kWardrobe;

std::string quoted(std::string_view text) {
    std::string out(1, '[');
    out.append(text).push_back(']');
    return out;
}

// The wardrobe item whose list entry this is.
std::optional<std::size_t> item_named(std::string_view text) {
    for (std::size_t k = 0; k < kWardrobe.size(); ++k) {
        if (kWardrobe[k].text == text) return k;
    }
    return std::nullopt;
}

// The item a pawn ticket names: its text followed directly by a price.
std::optional<std::size_t> ticket_item(std::string_view line) {
    for (std::size_t k = 0; k < kWardrobe.size(); ++k) {
        const std::string_view text = kWardrobe[k].text;
        if (line.size() > text.size() && line.starts_with(text)) return k;
    }
    return std::nullopt;
}

// ---- The window ----

// The front end shows exactly what the game holds: every control's state and both lists.
void check_mirror(const GameState& game, const FakePort& port, Violations& out) {
    for (const auto& row : kControls) {
        const auto k = static_cast<std::size_t>(row.id);
        if (port.visible(row.id) != game.visible[k] || port.enabled(row.id) != game.enabled[k]) {
            out.push_back(std::string(row.name) + " on the screen is not as the game holds it");
        }
    }
    for (const Control list : {Control::List1, Control::List2}) {
        if (port.list(list).entries != list_entries(game, list)) {
            out.push_back(std::string(name_of(list)) + " on the screen is not the game's list");
        }
    }
}

// What the player sees: one screen, every control shown or hidden, open lists usable.
void check_screen(const FakePort& port, Violations& out) {
    std::vector<Control> shown;
    for (const auto& row : kControls) {
        if (port.visible(row.id)) shown.push_back(row.id);
    }
    const auto shows_exactly = [&](std::vector<Control> wanted) {
        std::sort(wanted.begin(), wanted.end());
        return shown == wanted;  // kControls is in enum order, so `shown` is sorted
    };
    const auto screen = [](Screen s) {
        const auto on = controls_on(s);
        return std::vector<Control>(on.begin(), on.end());
    };
    const auto with = [](std::vector<Control> controls, Control list) {
        controls.push_back(list);
        return controls;
    };
    const bool street = shows_exactly(screen(Screen::street));
    const bool floor = shows_exactly(screen(Screen::floor));
    const std::vector<Control> pawnshop_buttons = screen(Screen::pawnshop);
    const bool pawnshop = shows_exactly(pawnshop_buttons) ||
                          shows_exactly(with(pawnshop_buttons, Control::List1)) ||
                          shows_exactly(with(pawnshop_buttons, Control::List2));
    if (!street && !floor && !pawnshop) {
        std::string names;
        for (const Control c : shown) names.append(" ").append(name_of(c));
        out.push_back("the shown controls are no screen:" + names);
    }

    for (const auto& row : kControls) {
        const Control c = row.id;
        if (street && c == Control::cmdlom) {
            // Until the floor is first shown, "ломбард" keeps its start state.
            if (port.visible(c) || !port.enabled(c)) {
                out.push_back("cmdlom left its start state while still on the street");
            }
            continue;
        }
        if (port.visible(c) != port.enabled(c)) {
            out.push_back(std::string(name_of(c)) + " is " +
                          (port.visible(c) ? "visible but disabled" : "enabled but hidden"));
        }
    }

    for (const Control list : {Control::List1, Control::List2}) {
        if (!port.visible(list)) continue;
        const auto& box = port.list(list);
        const int count = static_cast<int>(box.entries.size());
        if (count == 0) out.push_back(std::string(name_of(list)) + " is open but empty");
        if (box.highlight < -1 || box.highlight >= count) {
            out.push_back(std::string(name_of(list)) + " highlights index " +
                          std::to_string(box.highlight) + " of " + std::to_string(count));
        }
    }
}

// ---- The wardrobe, the pawned list and the tickets ----

void check_pawnshop(const TableState& s, const FakePort& port, Violations& out) {
    std::array<int, rules::kItemCount> places{};
    for (const auto& entry : port.list(Control::List1).entries) {
        const auto item = item_named(entry);
        if (!item) {
            out.push_back("List1 holds " + quoted(entry) + ", which is no item");
            continue;
        }
        ++places[*item];
    }
    int clothes = 0;
    int trousers = 0;
    for (const auto& line : port.list(Control::List2).entries) {
        const auto item = ticket_item(line);
        if (!item) {
            out.push_back("List2 holds " + quoted(line) + ", which is no ticket");
            continue;
        }
        ++places[*item];
        if (line != s.pawnticket[*item]) {
            out.push_back("List2 holds " + quoted(line) + ", not the ticket the game wrote");
        }
        if (kWardrobe[*item].counts_as_clothes) ++clothes;
        if (kWardrobe[*item].is_trousers) ++trousers;
    }
    for (std::size_t k = 0; k < kWardrobe.size(); ++k) {
        if (places[k] != 1) {
            out.push_back(quoted(kWardrobe[k].text) + " stands " + std::to_string(places[k]) +
                          " times in the two lists");
        }
    }
    if (s.pawnedclothes != clothes) {
        out.push_back("pawnedclothes is " + std::to_string(s.pawnedclothes) +
                      " but the pawned list holds " + std::to_string(clothes) + " clothes");
    }
    if (s.pawnedtrousers != trousers) {
        out.push_back("pawnedtrousers is " + std::to_string(s.pawnedtrousers) +
                      " but the pawned list holds " + std::to_string(trousers) + " trousers");
    }
    for (std::size_t k = 0; k < kWardrobe.size(); ++k) {
        if (s.items[k] != kWardrobe[k].text) {
            out.push_back("items[" + std::to_string(k) + "] is " + quoted(s.items[k]));
        }
        // A ticket, once written, names the item and the price it asks.
        const auto item = static_cast<rules::Item>(k);
        if (!s.pawnticket[k].empty() &&
            s.pawnticket[k] != rules::pawn_ticket(item, s.redeemprice[k])) {
            out.push_back("ticket " + quoted(s.pawnticket[k]) + " does not match redeem price " +
                          std::to_string(s.redeemprice[k]));
        }
    }
}

// ---- Money and the spin ----

void check_values(const TableState& s, const FakePort& port, Violations& out) {
    if (s.money < 0) out.push_back("money is negative: " + std::to_string(s.money));
    // After a spin its values are ones the wheel can draw.
    if (s.fine != 0 && !rules::on_the_wheel(s.number)) {
        out.push_back("the spin drew number " + std::to_string(s.number));
    }
    if (!s.color.empty() && s.color != rules::colour_word(1) && s.color != rules::colour_word(19)) {
        out.push_back("color " + quoted(s.color));
    }
    if (s.mute != 0 && s.mute != 1) out.push_back("mute " + std::to_string(s.mute));
    const std::string_view caption = s.mute == 0 ? kSoundOffCaption : kSoundOnCaption;
    if (port.menu_caption(MenuItem::sound) != caption) {
        out.push_back("the sound item reads " + quoted(port.menu_caption(MenuItem::sound)) +
                      " with mute " + std::to_string(s.mute));
    }
}

}  // namespace

std::vector<std::string> check_invariants(const GameState& game, const FakePort& port) {
    Violations out;
    if (game.table.items[0].empty()) {
        out.push_back("the load step has not run");
        return out;
    }
    check_mirror(game, port, out);
    check_screen(port, out);
    check_pawnshop(game.table, port, out);
    check_values(game.table, port, out);
    return out;
}

}  // namespace casino::testing
