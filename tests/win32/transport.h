// The Windows program's transport: performs the lines of the monkey's protocol
// (tests/support/monkey.h) on casino.exe under Wine, as a player would, and reports what
// the window showed for each, in the replay tool's words. For "show" it reads the controls
// as a screen reader finds them, and both lists from the window. Besides it reports as
// findings what it sees wrong by itself: a box not owned by the window or not read by a
// screen reader, an input box off its place, a button that looks like the default without
// the keyboard, a word on stderr, a close that does not end the game at once.
#pragma once

#include <windows.h>

#include <array>
#include <deque>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "driver.h"

namespace casino::automation {

struct TransportSetup {
    std::wstring exe;          // casino.exe
    std::wstring clock_file;   // the clock libfaketime reads for the game, a Windows path
    std::wstring trace_file;   // Wine's standard error, with its trace of the files played
    std::wstring stderr_file;  // the game's own standard error
    bool xinput = false;       // part of the input as real X input, through x_monkey serve
    // How long the game may take to answer, to take the input, to close a box or to end
    // after a close: the monkey's 2 s, or more where a busy machine must not fail a walk.
    int answer_ms = 2000;
    Placement place = Placement::AsOpened;  // where each game's window is put as it opens
};

class Transport {
   public:
    // What this transport sees of the transcript and of the state.
    static constexpr std::string_view kObserves =
        "message ask cue caption quit visible enabled List1 List2 keyboard";

    explicit Transport(TransportSetup setup);
    ~Transport();
    Transport(const Transport&) = delete;
    Transport& operator=(const Transport&) = delete;

    // Performs one line of the protocol and returns the lines the program showed for it.
    // Also "picture NAME": prints "SHOT NAME X Y WIDTH HEIGHT" for the window's place on
    // the screen and waits for NAME.done, which whoever took the picture writes.
    std::vector<std::string> perform(std::string_view line);

    [[nodiscard]] bool running() const { return game_ != nullptr; }
    Game& game() { return *game_; }
    // The game's processor time, from Linux, through the X input helper.
    double cpu_ms();

   private:
    void start();
    void set_clock(int seconds_since_midnight);
    void play(std::string_view line);
    void highlight(HWND list, int index);
    void menu(MenuItem item);
    void close(bool in_box);
    std::vector<std::string> settle();
    std::vector<std::string> show();
    void picture(std::string_view name);
    // The cues the game played since the last call, from the lines Wine adds to its
    // standard error (its trace of the files opened); any other line there is a finding.
    void read_cues(std::vector<std::string>& seen);
    void check_message(const Box& box);
    void answer(const Box& box);
    void dismiss(const Box& box);
    std::map<MenuItem, std::string> menu_labels() const;
    std::string x_request(const std::string& action);
    void x_click(HWND hwnd);
    // The things done in more than one way; each way of each comes in turn.
    enum class Choice { press_focused, click, list_click, close, dismiss, cancel, typing, confirm };
    int next_way(Choice choice, int ways) {
        return static_cast<int>(turns_[static_cast<std::size_t>(choice)]++ %
                                static_cast<unsigned>(ways));
    }

    TransportSetup setup_;
    std::unique_ptr<Game> game_;
    HANDLE trace_ = INVALID_HANDLE_VALUE;
    std::string traced_;  // the part of the trace read, but not yet to its line's end
    std::deque<std::string> answers_;
    std::optional<std::string> close_in_;  // the kind of box to close the window in
    std::map<MenuItem, std::string> labels_;
    std::string data_prefix_;  // casino.exe's folder with a backslash, where its cues lie
    std::array<unsigned, 8> turns_{};
    // Each menu item is chosen by the key its label names and by a click on it in turn,
    // the key first, so that every key is pressed the first time its item is chosen.
    std::array<unsigned, kMenuItemCount> menu_turns_{};
    int x_sequence_ = 0;
};

}  // namespace casino::automation
