// Playing the game's sound cues: libcanberra, synchronously, with the desktop bell for a
// missing file and silence when there is no sound system.
#pragma once

#include <functional>
#include <string>
#include <string_view>

struct ca_context;

namespace casino::wx {

// The installed game's data folder, which holds its "sound" folder: found from where the
// running program lies (<prefix>/bin/casino gives <prefix>/share/casino), so an install
// moved elsewhere as a whole still finds its cues. Empty when it cannot be told.
std::string installed_data_dir();

// What the cue player needs of a sound system. Both calls return once the sound has
// ended, or at once with false when nothing could be played.
class SoundOutput {
   public:
    virtual ~SoundOutput() = default;
    virtual bool play_file(const std::string& path) = 0;
    virtual bool play_bell() = 0;
};

enum class CueOutcome { Played, Bell, Silence };

// Plays one cue: the first of its files that exists (the game's own path relative to the
// current directory, then the same path in the data folder), the bell when none does. A
// file that exists but cannot be played (no sound server, no card) is silence, not a bell.
CueOutcome play_cue(SoundOutput& output, std::string_view game_path,
                    std::string_view data_dir = {});

// The sound system of a Linux desktop, through libcanberra.
class CanberraOutput final : public SoundOutput {
   public:
    // driver: a libcanberra driver name, or empty for its own choice. system_beep is the
    // last resort for the bell when the sound theme has none (or nothing plays at all).
    explicit CanberraOutput(std::string driver = {}, std::function<void()> system_beep = {});
    ~CanberraOutput() override;
    CanberraOutput(const CanberraOutput&) = delete;
    CanberraOutput& operator=(const CanberraOutput&) = delete;

    bool play_file(const std::string& path) override;
    bool play_bell() override;

   private:
    bool open();
    bool play(const char* key, const std::string& value);

    std::string driver_;
    std::function<void()> system_beep_;
    ca_context* context_ = nullptr;
    bool failed_ = false;  // the context could not be created: stay silent from then on
    unsigned next_id_ = 1;
};

}  // namespace casino::wx
