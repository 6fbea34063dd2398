// The Windows program's transport: performs the lines of the monkey's protocol
// (tests/support/monkey.h) on casino.exe under Wine, as a player would, and reports what
// the window showed for each, in the replay tool's words. For "show" it reads the controls
// as a screen reader finds them, and both lists from the window. Besides it reports as
// findings what it sees wrong by itself: a box not owned by the window or not read by a
// screen reader, an input box off its place, a button that looks like the default without
// the keyboard, a word on stderr, a close that does not end the game at once.
#pragma once

#include <deque>
#include <initializer_list>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "driver.h"

namespace casino::automation {

// casino.exe; the clock libfaketime reads for the game, a Windows path; Wine's standard
// error and the game's, with Wine's trace of the files played; whether part of the input
// is real X input, through x_monkey serve; how long the game may take to answer, to take
// the input, to close a box or to end after a close (the monkey's 2 s, or more where a busy
// machine must not fail a walk); where each game's window is put as it opens.
struct TransportSetup {
    std::wstring exe, clock_file, trace_file;
    bool xinput = false;
    int answer_ms = 2000;
    Placement place = Placement::AsOpened;
};

// Speaks the protocol on standard input and output, for the monkey's driver, to the end of
// the input; returns the exit status, 0.
int serve(const TransportSetup& setup);

class Transport {
   public:
    explicit Transport(TransportSetup setup) : setup_(std::move(setup)) {}

    // Performs one line of the protocol and returns the lines the program showed for it.
    // Also "picture NAME": asks the helper that reads our standard output for a picture of
    // the window, "XINPUT N shot NAME X Y WIDTH HEIGHT" (its place on the screen), and
    // waits until the helper has taken it.
    std::vector<std::string> perform(std::string_view line);
    // The game running, if any.
    Game* game() const { return game_.get(); }

   private:
    struct Way;  // a way of acting on a control or a box
    void start();
    void play(const std::vector<std::string_view>& words);
    void highlight(HWND list, int index);
    // Both return the line that tells the game has ended.
    std::string close(bool in_box);
    std::string finish();
    std::vector<std::string> settle();
    // The cues played since the last read go to `seen`, when given.
    void read_cues(std::vector<std::string>* seen = nullptr);
    void dismiss(const Box& box);
    void answer(const Box& box);
    // Acts in the next of the ways offered for the choice, each in turn.
    void one_way(std::string_view choice, std::initializer_list<Way> ways);

    TransportSetup setup_;
    std::unique_ptr<Game> game_;
    std::streamoff traced_ = 0;  // how far Wine's trace has been read
    std::deque<std::string> answers_;
    std::optional<std::string> close_in_;  // the kind of box to close the window in
    std::map<MenuItem, std::string> labels_;
    // How often each choice was made: a kind of step, or a menu item by its name.
    std::map<std::string_view, unsigned> turns_;
};

}  // namespace casino::automation
