// The Windows program's transport: performs the lines of the replay language on casino.exe
// under Wine, as a player would, and reports what the window showed for each, in the
// replay tool's transcript format. The monkey speaks to it through its standard input
// and output; the walk feeds it a script and compares with the replay tool.
#pragma once

#include <windows.h>

#include <array>
#include <deque>
#include <map>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "driver.h"

namespace casino::automation {

// Something the program did wrong by itself (a crash, a hang, a word on stderr).
struct Finding : std::runtime_error {
    using std::runtime_error::runtime_error;
};

struct TransportSetup {
    std::wstring exe;          // casino.exe
    std::wstring clock_file;   // the clock libfaketime reads for the game, a Windows path
    std::wstring trace_file;   // Wine's standard error, with its trace of the files played
    std::wstring stderr_file;  // the game's own standard error
    bool xinput = false;       // part of the input as real X input, through x_monkey serve
    // How long the game may take to answer, to take the input, to close a box or to end
    // after a close: the monkey's 2 s, or more where a busy machine must not fail a walk.
    int answer_ms = 2000;
};

// Reads the lines Wine adds to its standard error: the cues the game opened, and anything
// else, which is a finding.
class WineTrace {
   public:
    explicit WineTrace(const std::wstring& file);
    ~WineTrace();
    WineTrace(const WineTrace&) = delete;
    WineTrace& operator=(const WineTrace&) = delete;
    // The paths of the sound files opened since the last call, as the game gave them.
    std::vector<std::string> opened();

   private:
    HANDLE file_ = INVALID_HANDLE_VALUE;
    std::string pending_;
};

class Transport {
   public:
    // What this transport sees of the transcript.
    static constexpr std::string_view kObserves = "message ask cue caption quit";

    explicit Transport(TransportSetup setup);
    ~Transport();

    // Performs one line of the protocol (start, clock, type, click, key, highlight, menu,
    // close, stop) and returns the transcript lines the program showed for it.
    std::vector<std::string> perform(std::string_view line);

    [[nodiscard]] bool running() const { return game_ != nullptr; }
    Game& game() { return *game_; }
    // The control that held the keyboard once the last input had reached its target,
    // before the game handled it: a click takes the keyboard to the button clicked.
    [[nodiscard]] std::optional<Control> focus_at_input() const { return focus_at_input_; }
    // The game's processor time, from Linux, through the X input helper.
    double cpu_ms();

   private:
    void start();
    void set_clock(std::string_view seconds);
    void click(Control c);
    void key(Control list, int code);
    void highlight(Control list, int index);
    void menu(MenuItem item);
    std::vector<std::string> close();
    std::vector<std::string> settle();
    void read_cues(std::vector<std::string>& seen);
    void check_message(const Box& box);
    void answer(const Box& box);
    void dismiss(const Box& box);
    std::map<MenuItem, std::string> menu_labels() const;
    std::string x_request(const std::string& action);
    void x_click(HWND hwnd);
    // The things done in more than one way; each way of each comes in turn.
    enum class Choice {
        press_focused,
        click,
        list_click,
        menu,
        close,
        dismiss,
        cancel,
        typing,
        confirm
    };
    int next_way(Choice choice, int ways) {
        return static_cast<int>(turns_[static_cast<std::size_t>(choice)]++ %
                                static_cast<unsigned>(ways));
    }

    TransportSetup setup_;
    std::unique_ptr<Game> game_;
    WineTrace trace_;
    std::deque<std::string> answers_;
    std::map<MenuItem, std::string> labels_;
    std::optional<Control> focus_at_input_;
    std::string data_prefix_;  // casino.exe's folder with a backslash, where its cues lie
    std::array<unsigned, 9> turns_{};
    int x_sequence_ = 0;
};

}  // namespace casino::automation
