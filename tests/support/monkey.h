// What the monkey runs of both real programs share: the answers they type, the log of the
// last steps a failure prints, and the ledger that follows the money from box to box.
#pragma once

#include <algorithm>
#include <cstdio>
#include <deque>
#include <initializer_list>
#include <optional>
#include <random>
#include <stdexcept>
#include <string>
#include <utility>

#include "support/ledger.h"

namespace casino::testing {

// Something a program did wrong; the run stops on it.
struct MonkeyFinding : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// The answers a player might type into an input box, the worst ones included.
inline std::string monkey_answer(std::mt19937& rng) {
    const auto pick = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); };
    // Half the time a count or a number a player means, so that bets get played out.
    if (pick(2) == 0) return std::to_string(pick(3) == 0 ? pick(37) : 1 + pick(3));
    switch (pick(12)) {
        case 0: return "";
        case 1: return std::to_string(pick(4));
        case 2: return std::to_string(pick(37));
        case 3: return "-" + std::to_string(1 + pick(50));
        case 4: return std::to_string(pick(100000));
        case 5:
            return std::string(static_cast<std::size_t>(1 + pick(40)),
                               static_cast<char>('0' + pick(10)));
        case 6: return std::string(10000, '9');
        case 7: {
            std::string garbage;
            const int length = pick(2) == 0 ? 10000 : 1 + pick(30);
            for (int i = 0; i < length; ++i) garbage += static_cast<char>(' ' + pick(95));
            return garbage;
        }
        case 8: return " 1 0";
        case 9: return "2.5";
        case 10: return "abc";
        default: return std::to_string(1 + pick(3));
    }
}

// One of the choices, each as likely as its weight: weighted(rng, {5, 3, 2}) is 0 half
// the time.
inline std::size_t weighted(std::mt19937& rng, std::initializer_list<int> weights) {
    return static_cast<std::size_t>(
        std::discrete_distribution<int>(weights.begin(), weights.end())(rng));
}

// The last 50 things done and seen, for the report of a failing run.
class StepLog {
   public:
    void note(int step, const std::string& what) {
        std::string line = std::to_string(step) + ": " + what;
        if (line.size() > 160) {
            line = line.substr(0, 150) + "... (" + std::to_string(what.size()) + " bytes)";
        }
        lines_.push_back(std::move(line));
        if (lines_.size() > 50) lines_.pop_front();
        ++events_;
    }

    void print_failure(int step, unsigned seed, const std::string& what) const {
        std::printf("monkey: FAILED at step %d: %s\nmonkey: seed %u; the last %zu steps:\n", step,
                    what.c_str(), seed, lines_.size());
        for (const std::string& line : lines_) std::printf("  %s\n", line.c_str());
        std::fflush(stdout);
    }

    // Everything noted so far.
    [[nodiscard]] std::size_t events() const { return events_; }

   private:
    std::deque<std::string> lines_;
    std::size_t events_ = 0;
};

// The money as the boxes have told it since the game started or since the last balance
// that could be read: every finished event is settled against it, so the next balance
// must show exactly where the boxes put the money.
class RunningLedger {
   public:
    // A fresh game stands on the street with 60 bucks.
    void restart() { money_ = 60; }
    // After an input whose event cannot be known, the next balance sets the money again.
    void lose_track() { money_.reset(); }
    [[nodiscard]] bool knows_money() const { return money_.has_value(); }

    // Settles one finished event; nothing while the money is unknown. A flow the ledger
    // cannot follow, a balance included, is a finding.
    std::optional<Settlement> settle(EventRecord record) {
        const Event& e = record.event;
        const bool balance = e.type == EventType::Menu && e.menu == MenuItem::balance;
        if (balance && !record.lines.empty()) ++balances_;
        if (!money_) {
            if (balance && record.lines.size() == 1) {
                money_ = balance_in(std::string_view(record.lines[0]).substr(8));
            }
            return std::nullopt;
        }
        record.money_before = static_cast<std::int16_t>(*money_);
        Settlement settled = testing::settle(record);
        if (!settled.problems.empty()) {
            std::string what = settled.problems.front();
            for (const auto& line : record.lines) what += "\n    " + line;
            throw MonkeyFinding(what);
        }
        money_ = settled.money;
        if (settled.number) ++results_;
        if (settled.pawn) ++pawns_;
        if (std::find(record.lines.begin(), record.lines.end(), "message заходи еще.") !=
            record.lines.end()) {
            ++redemptions_;
        }
        return settled;
    }

    // What the run reached, for its closing line.
    [[nodiscard]] std::string tally() const {
        return std::to_string(balances_) + " balance checks, " + std::to_string(results_) +
               " spins settled, " + std::to_string(pawns_) + " pawns, " +
               std::to_string(redemptions_) + " redemptions";
    }

   private:
    std::optional<std::int32_t> money_;
    int balances_ = 0;
    int results_ = 0;
    int pawns_ = 0;
    int redemptions_ = 0;
};

}  // namespace casino::testing
