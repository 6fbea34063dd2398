// The game's invariants and the money ledger. The texts and amounts below are written out
// again on purpose: the checker reads the window the way a player does, not through the
// game's own tables. Only which controls make each screen comes from the core's table.
#include "support/invariants.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <optional>
#include <string_view>

namespace casino::testing {

namespace {

using Violations = std::vector<std::string>;

constexpr std::size_t kTrousers = 2;
bool counts_as_clothes(std::size_t item) { return item != 0; }  // the watch does not

// ---- The window ----

bool is_bet(Control c) {
    return std::find(kBetButtons.begin(), kBetButtons.end(), c) != kBetButtons.end();
}

// The front end shows exactly what the game holds: every control's state and both lists.
void check_mirror(const Form1& form, const FakePort& port, Violations& out) {
    for (const auto& row : kControls) {
        if (port.visible(row.id) != form.visible(row.id) ||
            port.enabled(row.id) != form.enabled(row.id)) {
            out.push_back(std::string(row.name) + " on the screen is not as the game holds it");
        }
    }
    for (const Control list : {Control::List1, Control::List2}) {
        if (port.list(list).entries != form.list_entries(list)) {
            out.push_back(std::string(name_of(list)) + " on the screen is not the game's list");
        }
    }
}

// What the player sees: one screen, every control shown or hidden, open lists usable.
void check_screen(const Form1& form, const FakePort& port, Violations& out) {
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
    if (street && form.state().money != 60) {
        out.push_back("on the street money is " + std::to_string(form.state().money) +
                      ", not the 60 the greeting promises");
    }
    if (form.has_quit() != port.quit_called()) {
        out.push_back("the window and the front end disagree on whether the game has quit");
    }
}

// ---- The wardrobe, the pawned list and the tickets ----

void check_pawnshop(const TableState& s, const FakePort& port, Violations& out) {
    std::array<int, kItems> places{};
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
        const auto ticket = read_ticket(line);
        if (!ticket) {
            out.push_back("List2 holds " + quoted(line) + ", which is no ticket");
            continue;
        }
        ++places[ticket->item];
        if (counts_as_clothes(ticket->item)) ++clothes;
        if (ticket->item == kTrousers) ++trousers;
    }
    for (std::size_t k = 0; k < kItems; ++k) {
        if (places[k] != 1) {
            out.push_back(quoted(kItemTexts[k]) + " stands " + std::to_string(places[k]) +
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

    for (std::size_t k = 0; k < kItems; ++k) {
        if (s.items[k] != kItemTexts[k]) {
            out.push_back("items[" + std::to_string(k) + "] is " + quoted(s.items[k]));
        }
        // A ticket, once written, always names the item and its redeem price.
        const std::int32_t price = s.redeemprice[k];
        if (s.pawnticket[k].empty()) {
            if (price != 0) out.push_back(quoted(kItemTexts[k]) + " has a price but no ticket");
            continue;
        }
        if (s.pawnticket[k] != std::string(kItemTexts[k]) + std::to_string(price)) {
            out.push_back("ticket " + quoted(s.pawnticket[k]) + " does not match redeem price " +
                          std::to_string(price));
        }
        if (price < 100 + kSurcharge[k] || price > 200 + kSurcharge[k]) {
            out.push_back("redeem price " + std::to_string(price) + " of " + quoted(kItemTexts[k]) +
                          " is out of range");
        }
    }
}

// ---- Money and the spin ----

void check_values(const TableState& s, const FakePort& port, Violations& out) {
    if (s.money < 0) out.push_back("money is negative: " + std::to_string(s.money));

    if (s.fine == 0) {
        // Nothing has been spun yet.
        if (s.number != 0 || s.eventroll != 0 || s.priceroll != 0 || s.chipprice != 0 ||
            !s.color.empty()) {
            out.push_back("a value of the spin is set while fine is still 0");
        }
    } else {
        const auto in = [](int v, int lo, int hi) { return v >= lo && v <= hi; };
        if (!in(s.number, 0, 36)) out.push_back("number " + std::to_string(s.number));
        if (!in(s.eventroll, 0, 15)) out.push_back("eventroll " + std::to_string(s.eventroll));
        if (!in(s.priceroll, 0, 17)) out.push_back("priceroll " + std::to_string(s.priceroll));
        if (!in(s.fine, 50, 99)) out.push_back("fine " + std::to_string(s.fine));
    }
    if (s.chipprice < 0 || s.chipprice > 100 || s.chipprice % 20 != 0) {
        out.push_back("chipprice " + std::to_string(s.chipprice));
    }
    if (!s.color.empty() && s.color != " красное" && s.color != " черное") {
        out.push_back("color " + quoted(s.color));
    }
    if (!s.color.empty() && s.chipprice == 0) {
        out.push_back("a colour was announced before any chip was priced");
    }
    if (s.mute != 0 && s.mute != 1) out.push_back("mute " + std::to_string(s.mute));
    const std::string_view caption = s.mute == 0 ? kSoundOffCaption : kSoundOnCaption;
    if (port.menu_caption(MenuItem::sound) != caption) {
        out.push_back("the sound item reads " + quoted(port.menu_caption(MenuItem::sound)) +
                      " with mute " + std::to_string(s.mute));
    }
}

// ---- The ledger ----

// The money must stand where the event's boxes put it, and the numbers they named must be
// the game's own.
void check_ledger(const EventRecord& record, const Form1& form, Violations& out) {
    const Settlement settled = settle(record, form.has_quit());
    const TableState& after = form.state();
    out.insert(out.end(), settled.problems.begin(), settled.problems.end());
    if (settled.number && *settled.number != after.number) {
        out.push_back("ledger: the result announced " + std::to_string(*settled.number) +
                      ", but number is " + std::to_string(after.number));
    }
    if (settled.chipprice && *settled.chipprice != after.chipprice) {
        out.push_back("ledger: chips announced at " + std::to_string(*settled.chipprice) +
                      ", but chipprice is " + std::to_string(after.chipprice));
    }
    if (settled.fine && *settled.fine != after.fine) {
        out.push_back("ledger: the fine message names " + std::to_string(*settled.fine) +
                      ", the fine is " + std::to_string(after.fine));
    }
    if (settled.pawn && after.redeemprice[settled.pawn->item] != settled.pawn->redeem_price) {
        out.push_back("ledger: pawned to be redeemed for " +
                      std::to_string(settled.pawn->redeem_price) + " but the ticket asks " +
                      std::to_string(after.redeemprice[settled.pawn->item]));
    }
    if (settled.problems.empty() && after.money != settled.money) {
        out.push_back("ledger: money went from " + std::to_string(record.money_before) + " to " +
                      std::to_string(after.money) + ", but the event announced " +
                      std::to_string(settled.money));
    }
}

// Every cue belongs to a message: the door to the greeting, the laugh to the empty
// wardrobe, a fortune's own sound to its message, "no more bets" to a bet's result. They
// play in the order of their messages, and not at all while the sound is off.
void check_cues(const EventRecord& record, const TableState& after, Violations& out) {
    const Event& e = record.event;
    const bool bet = e.type == EventType::Click && is_bet(e.control);
    std::vector<std::string> wanted;
    std::vector<std::string> played;
    for (const auto& line : record.lines) {
        if (line.starts_with("cue ")) played.push_back(line.substr(4));
        if (!line.starts_with("message ")) continue;
        const std::string_view text = std::string_view(line).substr(8);
        std::string_view cue;
        if (const FortuneText* fortune = fortune_for(text)) cue = fortune->cue;
        if (bet && text.starts_with(kFinePrefix)) cue = "siren";
        if (bet &&
            (text == "зеро господа!" || text.ends_with(" красное") || text.ends_with(" черное"))) {
            cue = "nomore";
        }
        if (e.type == EventType::Click && e.control == Control::cmdexit &&
            text == "у тебя 60 баксов.") {
            cue = "door";
        }
        if (text == "тебе нечего закладывать.") cue = "laugh3";
        if (!cue.empty()) wanted.push_back("sound\\" + std::string(cue) + ".wav");
    }
    const bool toggles_sound = e.type == EventType::Menu && e.menu == MenuItem::sound;
    if (after.mute != 0 && !toggles_sound) wanted.clear();
    if (played == wanted) return;
    std::string want_text;
    std::string got_text;
    for (const auto& c : wanted) want_text += " " + c;
    for (const auto& c : played) got_text += " " + c;
    out.push_back("cues: the messages call for [" + want_text + " ] with mute " +
                  std::to_string(after.mute) + ", played [" + got_text + " ]");
}

}  // namespace

std::vector<std::string> check_invariants(const Form1& form, const FakePort& port,
                                          const EventRecord* last_event) {
    Violations out;
    if (!form.loaded()) {
        out.push_back("the load step has not run");
        return out;
    }
    const TableState& s = form.state();
    check_mirror(form, port, out);
    check_screen(form, port, out);
    check_pawnshop(s, port, out);
    check_values(s, port, out);
    if (last_event != nullptr) {
        check_ledger(*last_event, form, out);
        check_cues(*last_event, s, out);
    }
    return out;
}

}  // namespace casino::testing
