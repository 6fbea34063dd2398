// The monkey: random player input into a real program, through a transport (a child
// process that performs each line with the platform's own input and reports what the
// program showed), checked line for line against the replay session given the same lines.
//
//   monkey SECONDS SEED -- TRANSPORT-COMMAND [ARGS...]
//
// To the transport, one a line: "start" (the program afresh), "clock T" (its time of day
// from now on, whole seconds), "type TEXT" (the next input box's answer, queued; a bare
// "type" is an empty one), the replay tool's "click", "key", "highlight", "menu" and
// "show" lines, "close" (as a window manager closes the window), "close in message" and
// "close in ask" (the window is to be closed so while the next message box, or input box,
// is open; the boxes before it are answered as usual) and "stop". From it: "observes
// KIND..." (of message ask cue focus caption quit, and visible enabled List1 List2
// keyboard for a transport that answers "show"; "only-shown" when it sees a control's
// state only while the control is shown, as a screen reader does: then "enabled" lists the
// shown controls alone and a hidden list's line is not given) and "ready" at first; after
// each command the transcript lines the program showed, in the replay tool's words, then
// "ready"; or at any time "finding <why>", which fails the run.
// "show" is answered with the lines "visible", "enabled", "List1" and "List2" as the
// replay tool's show prints them, and "keyboard NAME", the control that holds the
// keyboard ("keyboard" alone when none does), each when the transport observes its kind.
#pragma once

#include <cstdio>
#include <deque>
#include <iosfwd>
#include <initializer_list>
#include <random>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace casino::testing {

// Something a program did wrong; the run stops on it.
struct MonkeyFinding : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// The transport's side of the pipe, as the monkey needs it.
class Transport {
   public:
    virtual ~Transport() = default;
    // Sends one command and returns the lines the program showed for it; throws
    // MonkeyFinding for a finding or a transport that has gone.
    virtual std::vector<std::string> send(const std::string& command) = 0;
    // The kinds of transcript line the transport can see.
    [[nodiscard]] virtual const std::vector<std::string>& observes() const = 0;
};

// Plays for the given time with the seed's choices and returns the exit status: 0 when
// the program showed what the replay session did after every line and no finding came.
int run_monkey(Transport& transport, int seconds, unsigned seed);

// Plays a script in the replay language (and "close", "close in message", "close in ask",
// and "start", which begins a fresh game) through the transport, comparing as the random
// run does; as each game's window opens and after every event also the state, when the
// transport sees the controls (the "show" lines above). Returns 0 and prints "N checks
// passed" when every line agreed; prints "FAIL: ..." and returns 1 otherwise. `name` is the
// script's, for the report.
int play_script(Transport& transport, std::istream& script, const std::string& name);

// The answers a player might type into an input box, the worst ones included.
inline std::string monkey_answer(std::mt19937& rng) {
    const auto pick = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); };
    // Half the time a count or a number a player means, so that bets get played out.
    if (pick(2) == 0) return std::to_string(pick(3) == 0 ? pick(37) : 1 + pick(3));
    switch (pick(12)) {
        case 0: return "";
        case 1: return std::to_string(pick(4));
        case 2: return std::to_string(pick(37));
        case 3: return std::to_string(-(1 + pick(50)));
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

    // `how` says how to play the same again ("seed 42", "walk.script").
    void print_failure(int step, const std::string& how, const std::string& what) const {
        std::printf("FAIL: step %d: %s\n(%s) the last %zu steps:\n", step, what.c_str(),
                    how.c_str(), lines_.size());
        for (const std::string& line : lines_) std::printf("  %s\n", line.c_str());
        std::fflush(stdout);
    }

    // Everything noted so far.
    [[nodiscard]] std::size_t events() const { return events_; }

   private:
    std::deque<std::string> lines_;
    std::size_t events_ = 0;
};

}  // namespace casino::testing
