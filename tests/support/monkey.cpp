// The monkey's run: the player's choices, the oracle and the step log.
#include "support/monkey.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <istream>
#include <optional>
#include <set>
#include <string_view>

#include "core/controls.h"
#include "support/replay_session.h"
#include "support/script_words.h"

namespace casino::testing {
namespace {

// Every script begins at noon, and so does every game a script starts afresh.
constexpr long kNoon = 43200;

// Whether a point, in twips on the client area, lies on the control.
bool covers(const ControlSpec& row, int x, int y) {
    return x >= row.left && x < row.left + row.width && y >= row.top && y < row.top + row.height;
}

class Monkey {
   public:
    Monkey(Transport& transport, unsigned seed)
        : transport_(transport),
          observed_(transport.observes().begin(), transport.observes().end()),
          seed_(seed),
          rng_(seed) {
        if (const char* trace = std::getenv("CASINO_MONKEY_TRACE")) trace_.open(trace);
    }

    // Plays a fixed script (the replay language, plus "close", "close in message",
    // "close in ask" and "start") through the transport. When the transport can see the
    // controls and the lists, the state is compared after every line too, and as each
    // game's window opens.
    int play(std::istream& script, const std::string& name) {
        try {
            const bool sees_state = observed_.contains("visible");
            // Each game is compared from the moment its window opens.
            const auto start = [&](long clock) {
                restart(clock);
                if (sees_state) perform("show");
            };
            where_ = name + ": as the first game opens: ";
            start(kNoon);
            int number = 0;
            for (std::string line; std::getline(script, line);) {
                ++number;
                if (!line.empty() && line.back() == '\r') line.pop_back();
                const auto words = script_words(line);
                if (words.empty() || words[0].starts_with("#")) continue;
                where_ = name + ":" + std::to_string(number) + ": ";
                if (session_->finished() && words[0] != "start") {
                    throw MonkeyFinding("the game has ended, yet the script goes on");
                }
                if (words[0] == "draw" || words[0] == "money") {
                    throw MonkeyFinding("a real program takes no '" + std::string(words[0]) +
                                        "' line");
                }
                ++step_;
                // A fresh game, on the program and in the session alike.
                if (words[0] == "start") {
                    start(clock_);
                    continue;
                }
                perform(line);
                const bool event = words[0] != "clock" && words[0] != "type" &&
                                   words[0] != "show" && !line.starts_with("close in ");
                if (sees_state && event && !session_->finished()) perform("show");
            }
        } catch (const MonkeyFinding& finding) {
            log_.print_failure(step_, name, where_ + finding.what());
            return 1;
        }
        std::printf("%d checks passed\n", checks_);
        std::fflush(stdout);
        return 0;
    }

    int run(int seconds) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
        try {
            while (std::chrono::steady_clock::now() < end) {
                ++step_;
                if (!session_ || session_->finished()) restart();
                step();
            }
            // The last game is left through the close box, as a player leaves it.
            ++step_;
            if (!session_ || session_->finished()) restart();
            perform("close");
        } catch (const MonkeyFinding& finding) {
            log_.print_failure(step_, "seed " + std::to_string(seed_), finding.what());
            return 1;
        }
        std::printf("monkey: %d steps, %d boxes compared, %d restarts, seed %u\n%d checks passed\n",
                    step_, boxes_, starts_ - 1, seed_, checks_);
        std::fflush(stdout);
        return 0;
    }

   private:
    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }

    // A fresh game, on the program and in the session alike, with its clock at `clock`.
    void restart(long clock) {
        session_.emplace();
        pending_answers_ = 0;
        ++starts_;
        set_clock(clock);
        perform("start");
    }
    void restart() { restart((clock_ + 1 + pick(7200)) % 86400); }

    void set_clock(long clock) {
        clock_ = clock;
        perform("clock " + std::to_string(clock_));
    }
    void advance_clock() { set_clock((clock_ + 1 + pick(7200)) % 86400); }

    void answer(const std::string& text) {
        perform(text.empty() ? "type" : "type " + text);
        ++pending_answers_;
    }

    // One player's move: the clock moves on, answers wait for the boxes it may open.
    void step() {
        advance_clock();
        for (const int wanted = pick(3); pending_answers_ < wanted;) {
            answer(pick(7) == 0 ? std::string() : monkey_answer(rng_));
        }
        const GameState& game = session_->state();
        std::vector<Control> buttons, lists, long_lists, free_spots;
        for (const ControlSpec& row : kControls) {
            if (game.accepts_input(row.id)) {
                (is_list(row.id) ? lists : buttons).push_back(row.id);
                if (is_list(row.id) && list_entries(game, row.id).size() > 1)
                    long_lists.push_back(row.id);
            }
        }
        // A control that takes no input, where no shown control lies: a click there must
        // do nothing.
        for (const ControlSpec& row : kControls) {
            if (game.accepts_input(row.id)) continue;
            const int x = row.left + row.width / 2, y = row.top + row.height / 2;
            bool hidden = true;
            for (const ControlSpec& other : kControls) {
                if (game.visible[static_cast<std::size_t>(other.id)] && covers(other, x, y))
                    hidden = false;
            }
            if (hidden) free_spots.push_back(row.id);
        }
        const auto any = [&](const std::vector<Control>& from) {
            return from[static_cast<std::size_t>(pick(static_cast<int>(from.size())))];
        };
        const auto present = [](const std::vector<Control>& v) { return v.empty() ? 0 : 1; };
        // An open list is mostly played, as a player at the pawnshop plays it.
        switch (weighted(rng_, {40 * present(buttons), 3 * present(free_spots), 30 * present(lists),
                                24 * present(long_lists), 8, 3, 2, 2, 1, 1})) {
            case 0: return perform("click " + std::string(name_of(any(buttons))));
            case 1: return perform("click " + std::string(name_of(any(free_spots))));
            case 2: {
                static constexpr int kOtherKeys[] = {' ', 'a', '5', 'x'};
                const int code = pick(10) < 7 ? kEnterKey : kOtherKeys[pick(4)];
                return perform("key " + std::string(name_of(any(lists))) + " " +
                               std::to_string(code));
            }
            case 3: {
                const Control list = any(long_lists);
                const auto count = static_cast<int>(list_entries(game, list).size());
                return perform("highlight " + std::string(name_of(list)) + " " +
                               std::to_string(pick(count)));
            }
            case 4: return perform("menu деньги");
            case 5: return perform("menu sound");
            case 6: return perform("menu new");
            case 7: return perform("menu help");
            case 8: return perform("menu выход");
            default: return perform("close");
        }
    }

    // The window is to be closed while the next box of the kind ("message" or "ask") is
    // open: the session delivers the close from inside that box, as the platform would.
    void close_in_next(const std::string& kind) {
        if (kind != "message" && kind != "ask") throw MonkeyFinding("no box called " + kind);
        session_->port().while_next_box_is_open([this, kind] {
            if (session_->port().transcript().back().starts_with(kind + " ")) {
                session_->deliver(Event::unload());
            } else {
                close_in_next(kind);
            }
        });
    }

    // Sends the line to the program and to the session, and compares what both showed.
    void perform(const std::string& line) {
        log_.note(step_, "> " + line);
        if (trace_.is_open()) trace_ << line << '\n';
        std::vector<std::string> expected;
        if (line.starts_with("close in ")) {
            close_in_next(line.substr(9));
        } else if (line != "start") {
            // A close is the game's exit, as the menu's is.
            const auto error = session_->run_line(line == "close" ? "menu выход" : line);
            if (error)
                throw MonkeyFinding("the replay session cannot read '" + line + "': " + *error);
        }
        std::string output = session_->take_output();
        // Where the keyboard is, as the session's window keeps it, is shown with the state.
        if (line == "show" && observed_.contains("keyboard")) {
            const Keyboard holder = session_->port().focused();
            output += holder ? "keyboard " + std::string(name_of(*holder)) + "\n" : "keyboard\n";
        }
        std::set<std::string, std::less<>> visible;  // the controls the last "visible" named
        for (std::size_t at = 0; at < output.size();) {
            const std::size_t end = output.find('\n', at);
            const std::string shown = output.substr(at, end - at);
            at = end + 1;
            const auto words = script_words(shown);
            if (words.empty() || !observed_.contains(words[0])) continue;
            if (words[0] == "visible") {
                for (const auto word : words) visible.emplace(word);
            }
            if (!observed_.contains("only-shown")) {
                expected.push_back(shown);
            } else if (words[0] == "enabled") {
                std::string among_shown = "enabled";
                for (const auto word : words) {
                    if (visible.contains(word)) among_shown.append(" ").append(word);
                }
                expected.push_back(among_shown);
            } else if (!control_named(words[0]) || visible.contains(words[0])) {
                expected.push_back(shown);
            }
        }
        const std::vector<std::string> got = transport_.send(line);
        for (const std::string& shown : got) log_.note(step_, "< " + shown);
        for (std::size_t i = 0; i < std::max(expected.size(), got.size()); ++i) {
            const std::string want = i < expected.size() ? expected[i] : "(nothing)";
            const std::string have = i < got.size() ? got[i] : "(nothing)";
            if (want != have) {
                throw MonkeyFinding("after '" + line + "' the program showed [" + have +
                                    "] where the replay shows [" + want + "]");
            }
            ++checks_;
            if (want.starts_with("message ") || want.starts_with("ask ")) ++boxes_;
            if (want.starts_with("ask ") && pending_answers_ > 0) --pending_answers_;
        }
    }

    Transport& transport_;
    std::set<std::string, std::less<>> observed_;
    unsigned seed_;
    std::mt19937 rng_;
    std::optional<ReplaySession> session_;
    StepLog log_;
    std::ofstream trace_;  // every line sent, for comparing two runs of one seed
    long clock_ = 43200;
    int pending_answers_ = 0;  // answers queued that no box has taken yet
    int step_ = 0;
    int checks_ = 0;     // lines the program showed as the replay did
    std::string where_;  // the script line being played, for a finding
    int boxes_ = 0;
    int starts_ = 0;
};

}  // namespace

int run_monkey(Transport& transport, int seconds, unsigned seed) {
    return Monkey(transport, seed).run(seconds);
}

int play_script(Transport& transport, std::istream& script, const std::string& name) {
    return Monkey(transport, 0).play(script, name);
}

}  // namespace casino::testing
