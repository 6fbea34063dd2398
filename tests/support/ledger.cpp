// The money ledger. The texts and amounts below are written out again on purpose: the
// ledger reads the boxes the way a player does, not through the game's own tables.
#include "support/ledger.h"

#include <algorithm>
#include <array>
#include <tuple>

#include "core/number_reader.h"

namespace casino::testing {

std::string quoted(std::string_view text) {
    std::string out;
    out.reserve(text.size() + 2);
    out.append("[").append(text).append("]");
    return out;
}

std::optional<std::size_t> item_named(std::string_view text) {
    for (std::size_t k = 0; k < kItems; ++k) {
        if (kItemTexts[k] == text) return k;
    }
    return std::nullopt;
}

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

std::optional<Ticket> read_ticket(std::string_view line) {
    for (std::size_t k = 0; k < kItems; ++k) {
        if (!line.starts_with(kItemTexts[k])) continue;
        const auto price = digits_of(line.substr(kItemTexts[k].size()));
        if (!price) return std::nullopt;
        return Ticket{k, *price};
    }
    return std::nullopt;
}

namespace {

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
constexpr std::string_view kRefusal = "у тебя нет столько денег!";
constexpr std::string_view kBalanceHead = "у тебя";

constexpr std::int32_t kMoneyMax = 32767;
std::int32_t saturate(std::int32_t money) { return std::min(money, kMoneyMax); }

bool is_bet(Control c) { return std::find(kBetButtons.begin(), kBetButtons.end(), c) != kBetButtons.end(); }

// The number a result message announces: "зеро господа!", or the number and the colour
// of its range.
std::optional<int> announced_number(std::string_view text) {
    if (text == "зеро господа!") return 0;
    for (const auto& [colour, low, high] :
         {std::tuple{std::string_view(" красное"), 1, 18}, {" черное", 19, 36}}) {
        if (!text.ends_with(colour)) continue;
        const auto n = digits_of(text.substr(0, text.size() - colour.size()));
        if (n && *n >= low && *n <= high) return *n;
    }
    return std::nullopt;
}

// Walks the message and question lines of one event and works out where money must end.
class Ledger {
   public:
    Ledger(const EventRecord& record, bool game_over) : record_(record), game_over_(game_over) {
        for (const auto& line : record.lines) {
            if (line.starts_with("message ") || line.starts_with("ask ")) lines_.push_back(line);
        }
        out_.money = record.money_before;
    }

    Settlement run() {
        const Event& e = record_.event;
        const bool start_over = e.type == EventType::Menu && e.menu == MenuItem::start_over;
        if (start_over && !lines_.empty()) {
            report("start over said something");
        } else if (lines_.empty()) {
            // Start over gives 60 bucks, unless the game has ended; any other silent event
            // moves no money: it was ignored, or its handler had nothing to say.
            if (start_over && !game_over_) out_.money = 60;
        } else if (flow() && next_ < lines_.size()) {
            report("an unexpected line " + quoted(lines_[next_]));
        }
        return std::move(out_);
    }

   private:
    // False when the flow itself is wrong; that has been reported.
    bool flow() {
        const Event& e = record_.event;
        if (e.type == EventType::Menu && e.menu == MenuItem::balance) {
            return expect_message(std::string(kBalanceHead) + std::to_string(record_.money_before) +
                                  std::string(kBucks));
        }
        if (e.type == EventType::Click && is_bet(e.control)) return bet(e.control);
        if (e.type == EventType::KeyPress && e.control == Control::List1) return pawn();
        if (e.type == EventType::KeyPress && e.control == Control::List2) return redeem();
        // The greeting, the help line and the laugh at an empty wardrobe move no money.
        next_ = lines_.size();
        return true;
    }

    void report(const std::string& what) { out_.problems.push_back("ledger: " + what); }

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

    std::int32_t& money() { return out_.money; }
    void add(std::int32_t amount) { money() = saturate(money() + amount); }

    // The fortune events that open every bet.
    void fortune() {
        while (const auto text = peek_message()) {
            if (const FortuneText* row = fortune_for(*text)) {
                add(row->amount);
            } else if (text->starts_with(kFinePrefix) && text->ends_with(kBucks)) {
                const auto fine = digits_of(text->substr(
                    kFinePrefix.size(), text->size() - kFinePrefix.size() - kBucks.size()));
                if (!fine) return;  // not a fine the ledger can read: the flow breaks below
                out_.fine = *fine;
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
        if (stake > money())
            return expect_message(std::string(kRefusal)) ? Stake::Refused : Stake::Broken;
        money() -= stake;
        return Stake::Taken;
    }

    // The one result message; returns the number it announces.
    std::optional<int> result() {
        const auto text = peek_message();
        const auto n = text ? announced_number(*text) : std::nullopt;
        if (!n) {
            report("expected a result, got " +
                   (next_ < lines_.size() ? quoted(lines_[next_]) : std::string("nothing")));
            return std::nullopt;
        }
        ++next_;
        out_.number = *n;
        return n;
    }

    bool bet(Control kind) {
        fortune();
        const auto text = peek_message();
        if (text && *text == "тебе не на что играть.") {
            ++next_;
            if (money() >= 20) report("sent away with " + std::to_string(money()) + " bucks");
            return true;
        }
        if (money() < 20) {
            report("played on with " + std::to_string(money()) + " bucks");
            return false;
        }
        const std::string_view price_prefix = "фишка стоит";
        const auto price = text && text->starts_with(price_prefix)
                               ? digits_of(text->substr(price_prefix.size()))
                               : std::nullopt;
        if (!price || *price < 20 || *price > 100 || *price % 20 != 0) {
            report("no chip price where one belongs");
            return false;
        }
        ++next_;
        out_.chipprice = *price;
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
        const std::int32_t before = money();
        std::array<std::int32_t, 3> counts{};
        for (std::size_t d = 0; d < 3; ++d) {
            const auto count = ask(kPrompts[d]);
            if (!count) return false;
            if (*count < 0) {
                money() = before;  // every stake of the bet goes back
                return true;
            }
            const Stake taken = take(*count * price);
            if (taken != Stake::Taken) {
                money() = before;
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
                money() += stake;  // a number off the wheel calls the bet off
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
        out_.pawn = Settlement::Pawn{*pawned, *price + kSurcharge[*pawned]};
        add(*price);
        return true;
    }

    bool redeem() {
        const auto ticket = read_ticket(record_.highlighted_before);
        if (record_.event.key != kEnterKey || !ticket) {
            report("a key that redeems nothing said something");
            return false;
        }
        if (money() < ticket->price) return expect_message("у тебя нет столько денег.");
        if (!expect_message("заходи еще.")) return false;
        money() -= ticket->price;
        return true;
    }

    const EventRecord& record_;
    bool game_over_;
    std::vector<std::string> lines_;  // messages and questions only
    std::size_t next_ = 0;
    std::size_t answer_ = 0;
    Settlement out_;
};

}  // namespace

const FortuneText* fortune_for(std::string_view text) {
    for (const FortuneText& f : kFortunes) {
        if (f.text == text) return &f;
    }
    return nullptr;
}

std::optional<int> balance_in(std::string_view text) {
    if (!text.starts_with(kBalanceHead) || !text.ends_with(kBucks)) return std::nullopt;
    return digits_of(
        text.substr(kBalanceHead.size(), text.size() - kBalanceHead.size() - kBucks.size()));
}

Settlement settle(const EventRecord& record, bool game_over) {
    return Ledger(record, game_over).run();
}

}  // namespace casino::testing
