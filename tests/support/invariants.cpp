// The game's invariants and the money ledger. The texts and amounts below are written out
// again on purpose: the checker reads the window the way a player does, not through the
// game's own tables.
#include "support/invariants.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <optional>
#include <string_view>

#include "core/number_reader.h"

namespace casino::testing {

namespace {

using Violations = std::vector<std::string>;

constexpr std::array<std::string_view, kItemCount> kItemTexts = {"часы ", "пиджак ", "брюки ",
                                                                 "ботинки "};
constexpr std::array<std::int32_t, kItemCount> kSurcharge = {200, 200, 250, 200};
constexpr std::size_t kTrousers = 2;
bool counts_as_clothes(std::size_t item) { return item != 0; }  // the watch does not

constexpr std::int32_t kMoneyMax = 32767;
std::int32_t saturate(std::int32_t money) { return std::min(money, kMoneyMax); }

std::string quoted(std::string_view text) {
    std::string out;
    out.reserve(text.size() + 2);
    out.append("[").append(text).append("]");
    return out;
}

// The item whose text this is.
std::optional<std::size_t> item_named(std::string_view text) {
    for (std::size_t k = 0; k < kItemCount; ++k) {
        if (kItemTexts[k] == text) return k;
    }
    return std::nullopt;
}

// Plain decimal digits, no sign and no leading zero, small enough for an int.
std::optional<std::int32_t> digits_of(std::string_view text) {
    if (text.empty() || text.size() > 6 || (text.size() > 1 && text.front() == '0')) {
        return std::nullopt;
    }
    std::int32_t value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return value;
}

// The item a ticket line names, and the price on it.
struct Ticket {
    std::size_t item;
    std::int32_t price;
};
std::optional<Ticket> read_ticket(std::string_view line) {
    for (std::size_t k = 0; k < kItemCount; ++k) {
        if (!line.starts_with(kItemTexts[k])) continue;
        const auto price = digits_of(line.substr(kItemTexts[k].size()));
        if (!price) return std::nullopt;
        return Ticket{k, *price};
    }
    return std::nullopt;
}

// ---- The window ----

constexpr std::array kFloor = {Control::Command1, Control::Command2, Control::cmdred,
                               Control::cmdbleck, Control::cmddu,    Control::cmdnum,
                               Control::cmdlom};
constexpr std::array kPawnshop = {Control::cmdpay, Control::cmdre, Control::cmdwent};

bool is_bet(Control c) {
    return std::find(kFloor.begin(), kFloor.end(), c) != kFloor.end() && c != Control::cmdlom;
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
    const bool street = shows_exactly({Control::cmdexit});
    const bool floor = shows_exactly({kFloor.begin(), kFloor.end()});
    const bool pawnshop =
        shows_exactly({kPawnshop.begin(), kPawnshop.end()}) ||
        shows_exactly({Control::cmdpay, Control::cmdre, Control::cmdwent, Control::List1}) ||
        shows_exactly({Control::cmdpay, Control::cmdre, Control::cmdwent, Control::List2});
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
    std::array<int, kItemCount> places{};
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
    for (std::size_t k = 0; k < kItemCount; ++k) {
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

    for (std::size_t k = 0; k < kItemCount; ++k) {
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

struct FortuneText {
    std::string_view text;
    std::int32_t amount;
    std::string_view cue = {};
};
constexpr std::array<FortuneText, 9> kFortunes{{
    {"казино присудило тебе приз 500 баксов, как самому Пельторагу.", 500, "applaus8"},
    {"у тебя украли 300 баксов.", -300, "cophit"},
    {"у тебя украли 200 баксов.", -200, "cophit"},
    {"твой друг проигрался. ты одалжил ему 1000 баксов.", -1000},
    {"ты угостил всех шампанским. это обошлось тебе в 1000 баксов.", -1000},
    {"ты устроил банкет. это обошлось тебе в 5000 баксов.", -5000},
    {"у твоего друга идет игра. он одалжил тебе 300 баксов.", 300},
    {"ты выпил в местном баре. это обошлось тебе в 20 баксов.", -20},
    {"из-за несоответствующего вида ты не смог поехать на деловую встречу. убыток составил "
     "1000 баксов.",
     -1000},
}};
constexpr std::string_view kFinePrefix =
    "тебя оштрафовали за появление в общественном месте в неприличном виде на ";
constexpr std::string_view kBucks = " баксов.";
constexpr std::string_view kRefusal = "у тебя нет столько денег!";

// The fortune event this message tells of, if any (the fine is told apart by its prefix).
const FortuneText* fortune_for(std::string_view text) {
    for (const FortuneText& f : kFortunes) {
        if (f.text == text) return &f;
    }
    return nullptr;
}

// Walks the message and question lines of one event and works out where money must end.
class Ledger {
   public:
    Ledger(const EventRecord& record, const Form1& form, Violations& out)
        : record_(record),
          after_(form.state()),
          quit_(form.has_quit()),
          out_(out),
          money_(record.money_before) {
        for (const auto& line : record.lines) {
            if (line.starts_with("message ") || line.starts_with("ask ")) lines_.push_back(line);
        }
    }

    void run() {
        const Event& e = record_.event;
        if (e.type == EventType::Menu && e.menu == MenuItem::start_over && !lines_.empty()) {
            report("start over said something");
            return;
        }
        if (lines_.empty()) {
            // Start over gives 60 bucks, unless the game has ended; any other silent event
            // moves no money: it was ignored, or its handler had nothing to say.
            const bool start_over =
                e.type == EventType::Menu && e.menu == MenuItem::start_over && !quit_;
            compare(start_over ? 60 : record_.money_before);
            return;
        }
        bool ok = true;
        if (e.type == EventType::Menu && e.menu == MenuItem::balance) {
            ok = expect_message("у тебя" + std::to_string(record_.money_before) +
                                std::string(kBucks));
        } else if (e.type == EventType::Click && is_bet(e.control)) {
            ok = bet(e.control);
        } else if (e.type == EventType::KeyPress && e.control == Control::List1) {
            ok = pawn();
        } else if (e.type == EventType::KeyPress && e.control == Control::List2) {
            ok = redeem();
        } else {
            // The greeting, the help line and the laugh at an empty wardrobe move no money.
            next_ = lines_.size();
        }
        if (!ok) return;  // the flow itself is wrong; it has been reported
        if (next_ < lines_.size()) {
            report("an unexpected line " + quoted(lines_[next_]));
            return;
        }
        compare(money_);
    }

   private:
    void report(const std::string& what) { out_.push_back("ledger: " + what); }

    void compare(std::int32_t expected) {
        if (after_.money == expected) return;
        report("money went from " + std::to_string(record_.money_before) + " to " +
               std::to_string(after_.money) + ", but the event announced " +
               std::to_string(expected));
    }

    [[nodiscard]] std::optional<std::string_view> peek_message() const {
        if (next_ >= lines_.size() || !lines_[next_].starts_with("message ")) return std::nullopt;
        return std::string_view(lines_[next_]).substr(8);
    }

    bool expect(const std::string& line) {
        if (next_ < lines_.size() && lines_[next_] == line) {
            ++next_;
            return true;
        }
        report("expected " + quoted(line) + ", got " +
               (next_ < lines_.size() ? quoted(lines_[next_]) : std::string("nothing")));
        return false;
    }
    bool expect_message(const std::string& text) { return expect("message " + text); }

    // Asks the question and reads the answer as the game reads typed numbers.
    std::optional<std::int32_t> ask(std::string_view prompt) {
        if (!expect("ask " + std::string(prompt))) return std::nullopt;
        const std::size_t i = answer_++;
        return read_number(i < record_.answers.size() ? record_.answers[i] : std::string());
    }

    void add(std::int32_t amount) { money_ = saturate(money_ + amount); }

    // The fortune events that open every bet.
    void fortune() {
        while (const auto text = peek_message()) {
            if (const FortuneText* row = fortune_for(*text)) {
                add(row->amount);
            } else if (text->starts_with(kFinePrefix) && text->ends_with(kBucks)) {
                const auto digits = text->substr(kFinePrefix.size(),
                                                 text->size() - kFinePrefix.size() - kBucks.size());
                const auto fine = digits_of(digits);
                if (!fine || *fine != after_.fine) {
                    report("the fine message names " + quoted(digits) + ", the fine is " +
                           std::to_string(after_.fine));
                    return;
                }
                add(-*fine);
            } else {
                return;
            }
            ++next_;
        }
    }

    // Takes a stake the way every bet does: refused exactly when the purse cannot pay it.
    enum class Stake { Taken, Refused, Broken };
    Stake take(std::int32_t stake) {
        if (stake > money_)
            return expect_message(std::string(kRefusal)) ? Stake::Refused : Stake::Broken;
        money_ -= stake;
        return Stake::Taken;
    }

    // The one result message; returns the number it announces.
    std::optional<int> result() {
        const auto text = peek_message();
        if (text && *text == "зеро господа!") {
            ++next_;
            if (after_.number != 0)
                report("zero announced, but number is " + std::to_string(after_.number));
            return 0;
        }
        const int n = after_.number;
        const std::string colour = n <= 18 ? " красное" : " черное";
        if (n < 1 || n > 36 || !expect_message(std::to_string(n) + colour)) {
            if (n < 1 || n > 36) report("a result for number " + std::to_string(n));
            return std::nullopt;
        }
        return n;
    }

    bool bet(Control kind) {
        fortune();
        const auto text = peek_message();
        if (text && *text == "тебе не на что играть.") {
            ++next_;
            if (money_ >= 20) report("sent away with " + std::to_string(money_) + " bucks");
            return true;
        }
        if (money_ < 20) {
            report("played on with " + std::to_string(money_) + " bucks");
            return false;
        }
        const std::string_view price_prefix = "фишка стоит";
        const auto price = text && text->starts_with(price_prefix)
                               ? digits_of(text->substr(price_prefix.size()))
                               : std::nullopt;
        if (!price || *price != after_.chipprice) {
            report("no chip price where one belongs");
            return false;
        }
        ++next_;
        if (kind == Control::cmddu) return dozen(*price);
        if (kind == Control::cmdnum) return numbers(*price);
        return even_money(kind, *price);
    }

    bool even_money(Control kind, std::int32_t price) {
        const auto chips = ask("сколько фишек ставишь?");
        if (!chips) return false;
        if (*chips <= 0) return true;  // no bet, and a negative count is none either
        const std::int32_t stake = *chips * price;
        const Stake taken = take(stake);
        if (taken != Stake::Taken) return taken == Stake::Refused;
        const auto n = result();
        if (!n) return false;
        if (*n == 0) {
            add(stake / 2);
            return true;
        }
        const bool wins = kind == Control::cmdred     ? *n <= 18
                          : kind == Control::cmdbleck ? *n >= 19
                          : kind == Control::Command1 ? *n % 2 == 1
                                                      : *n % 2 == 0;
        if (wins) add(2 * stake);
        return true;
    }

    bool dozen(std::int32_t price) {
        static constexpr std::array<std::string_view, 3> kPrompts = {
            "сколько фишек ставишь на первую дюжину?", "сколько фишек ставишь на вторую дюжину?",
            "сколько фишек ставишь на третью дюжину?"};
        const std::int32_t before = money_;
        std::array<std::int32_t, 3> counts{};
        for (std::size_t d = 0; d < 3; ++d) {
            const auto count = ask(kPrompts[d]);
            if (!count) return false;
            if (*count < 0) {
                money_ = before;  // every stake of the bet goes back
                return true;
            }
            const Stake taken = take(*count * price);
            if (taken != Stake::Taken) {
                money_ = before;
                return taken == Stake::Refused;
            }
            counts[d] = *count;
        }
        const std::int32_t total = counts[0] + counts[1] + counts[2];
        if (total == 0) return true;
        const auto n = result();
        if (!n) return false;
        if (*n == 0) {
            add(total * price / 2);
        } else {
            add(3 * counts[static_cast<std::size_t>((*n - 1) / 12)] * price);
        }
        return true;
    }

    bool numbers(std::int32_t price) {
        const auto count = ask("на сколько чисел ставишь?");
        if (!count) return false;
        if (*count <= 0 || *count > 36) return true;
        const std::int32_t stake = *count * price;
        const Stake taken = take(stake);
        if (taken != Stake::Taken) return taken == Stake::Refused;
        std::vector<std::int32_t> picks;
        for (std::int32_t i = 0; i < *count; ++i) {
            const auto pick = ask("число");
            if (!pick) return false;
            if (*pick < 0 || *pick > 36) {
                money_ += stake;  // a number off the wheel calls the bet off
                return true;
            }
            picks.push_back(*pick);
        }
        const auto n = result();
        if (!n) return false;
        const auto hits = std::count(picks.begin(), picks.end(), *n);
        for (std::ptrdiff_t h = 0; h < hits; ++h) add(36 * price);
        if (*n == 0 && hits == 0) add(stake / 2);
        return true;
    }

    bool pawn() {
        const std::string& item = record_.highlighted_before;
        const auto pawned = item_named(item);
        if (record_.event.key != kEnterKey || !pawned) {
            report("a key that pawns nothing said something");
            return false;
        }
        const std::size_t item_index = *pawned;
        const std::string prefix = "ты заложил " + item + "за ";
        const auto text = peek_message();
        if (!text || !text->starts_with(prefix) || !text->ends_with(kBucks)) {
            report("no pawn message for " + quoted(item));
            return false;
        }
        ++next_;
        const auto price =
            digits_of(text->substr(prefix.size(), text->size() - prefix.size() - kBucks.size()));
        if (!price || *price < 100 || *price > 200) {
            report("a pawn price out of range in " + quoted(*text));
            return false;
        }
        if (after_.redeemprice[item_index] != *price + kSurcharge[item_index]) {
            report("pawned for " + std::to_string(*price) + " but to be redeemed for " +
                   std::to_string(after_.redeemprice[item_index]));
        }
        add(*price);
        return true;
    }

    bool redeem() {
        const auto ticket = read_ticket(record_.highlighted_before);
        if (record_.event.key != kEnterKey || !ticket) {
            report("a key that redeems nothing said something");
            return false;
        }
        if (money_ < ticket->price) return expect_message("у тебя нет столько денег.");
        if (!expect_message("заходи еще.")) return false;
        money_ -= ticket->price;
        return true;
    }

    const EventRecord& record_;
    const TableState& after_;
    bool quit_;
    Violations& out_;
    std::vector<std::string> lines_;  // messages and questions only
    std::size_t next_ = 0;
    std::size_t answer_ = 0;
    std::int32_t money_;
};

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
        Ledger(*last_event, form, out).run();
        check_cues(*last_event, s, out);
    }
    return out;
}

}  // namespace casino::testing
