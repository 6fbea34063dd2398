// Playing the game's sound cues: each one synchronously, on a sound thread of the player's
// own, with the desktop bell for a missing file and silence when the sound system cannot
// play or does not answer.
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <thread>

#include "core/rules/cue.h"

namespace casino::wx {

// The installed game's data folder, which holds its "sound" folder: found from where the
// running program lies (<prefix>/bin/casino gives <prefix>/share/casino), so an install
// moved elsewhere as a whole still finds its cues. Empty when it cannot be told.
std::string installed_data_dir();

// What the window needs of its sound. Both calls return once the sound has ended, or
// sooner when nothing can be played.
class SoundOutput {
   public:
    virtual ~SoundOutput() = default;
    virtual void play_file(const std::string& path) = 0;
    virtual void play_bell() = 0;
};

// Plays one cue: the first of its files that exists (the game's own path relative to the
// current directory, then the same path in the data folder), the bell when none does.
void play_cue(SoundOutput& output, rules::Cue cue, std::string_view data_dir = {});

// A sound system as the cue player drives it: libcanberra in the game. Every call comes
// from the player's sound thread, one at a time, and any of them may block for as long as
// the system likes.
class SoundSystem {
   public:
    // Told the id of a sound that has ended (played out, failed or cancelled), from any
    // thread, inside play_file, play_bell or cancel too.
    using Ended = std::function<void(unsigned id)>;
    // Opens the sound system, on the sound thread, at the first cue; nullptr when there
    // is none.
    using Opener = std::function<std::unique_ptr<SoundSystem>(Ended)>;

    virtual ~SoundSystem() = default;
    // Start a sound; false when it cannot be played, and then its end is never told.
    virtual bool play_file(unsigned id, const std::string& path) = 0;
    virtual bool play_bell(unsigned id) = 0;
    virtual void cancel(unsigned id) = 0;
};

// How long the game waits for its sound.
struct CueTimes {
    // A cue that has started but whose end is never told holds the game no longer than
    // this; no cue of ours is longer than a few seconds.
    std::chrono::milliseconds longest = std::chrono::seconds(10);
    // What the sound system may take to start a cue, beyond the cue's own length.
    std::chrono::milliseconds margin = std::chrono::milliseconds(500);
    // How long the bell, whose length is not known, may take to start.
    std::chrono::milliseconds bell = std::chrono::milliseconds(1000);
};

// Plays cues through a sound system, waiting for each to end. A system that does not
// answer in time is left to itself on the sound thread: the game goes on, and the cues
// that follow are silent at once until it has answered.
class CuePlayer final : public SoundOutput {
   public:
    // system_beep is the last resort for the bell when the sound system cannot play it;
    // it is called on the window's thread.
    explicit CuePlayer(SoundSystem::Opener open, std::function<void()> system_beep = {},
                       CueTimes times = {});
    // Returns at once when the sound thread is held up by the sound system, which may
    // be for ever; the thread then ends on its own if it ever can.
    ~CuePlayer() override;
    CuePlayer(const CuePlayer&) = delete;
    CuePlayer& operator=(const CuePlayer&) = delete;

    void play_file(const std::string& path) override;
    void play_bell() override;

   private:
    struct Line;
    enum class Start { Started, Refused, NoAnswer };

    // Hands one sound to the sound thread (an empty path is the bell) and waits for its
    // end: for it to start no longer than start_within, and in all no longer than the
    // longest wait.
    Start play(std::string path, std::chrono::milliseconds start_within);

    SoundSystem::Opener open_;
    std::function<void()> system_beep_;
    CueTimes times_;
    std::shared_ptr<Line> line_;  // shared with the sound thread, which may outlive us
    std::thread thread_;
};

}  // namespace casino::wx
