// Playing the game's sound cues through libcanberra.
#include "cue_player.h"

#include <alsa/asoundlib.h>
#include <canberra.h>
#include <dlfcn.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <system_error>
#include <type_traits>

#include "core/controls.h"
#include "core/cue_files.h"

namespace casino::wx {
namespace {

// No cue of ours is longer than a few seconds; a player that never reports its end must
// not hold the game for longer than this.
constexpr auto kLongestWait = std::chrono::seconds(10);

// ALSA reports a missing card on stderr, line after line, from inside libcanberra. A game
// without sound is not an error, so its messages go nowhere.
void quiet_alsa(const char* /*file*/, int /*line*/, const char* /*function*/, int /*error*/,
                const char* /*format*/, ...) {}

// libcanberra (and ALSA under it) are opened at the first cue, not at start-up: together
// they bring seven libraries with them, and the game's window opens as fast as a bare one.
// A player who never enters the casino never loads them at all.
struct Canberra {
    decltype(&ca_context_create) context_create = nullptr;
    decltype(&ca_context_destroy) context_destroy = nullptr;
    decltype(&ca_context_change_props) change_props = nullptr;
    decltype(&ca_context_set_driver) set_driver = nullptr;
    decltype(&ca_context_play_full) play_full = nullptr;
    decltype(&ca_context_cancel) cancel = nullptr;
    decltype(&ca_proplist_create) proplist_create = nullptr;
    decltype(&ca_proplist_sets) proplist_sets = nullptr;
    decltype(&ca_proplist_destroy) proplist_destroy = nullptr;
    bool loaded = false;
};

template <typename Function>
bool resolve(void* library, const char* name, Function& function) {
    function = reinterpret_cast<Function>(dlsym(library, name));
    return function != nullptr;
}

const Canberra& canberra() {
    static const Canberra api = [] {
        Canberra c;
        // ALSA first, so that its complaints are silenced before libcanberra opens a device;
        // libcanberra's own ALSA backend then shares this library and its handler.
        if (void* alsa = dlopen("libasound.so.2", RTLD_NOW)) {
            decltype(&snd_lib_error_set_handler) set_handler = nullptr;
            if (resolve(alsa, "snd_lib_error_set_handler", set_handler)) set_handler(quiet_alsa);
        }
        void* library = dlopen("libcanberra.so.0", RTLD_NOW);
        if (library == nullptr) return c;
        c.loaded = resolve(library, "ca_context_create", c.context_create) &&
                   resolve(library, "ca_context_destroy", c.context_destroy) &&
                   resolve(library, "ca_context_change_props", c.change_props) &&
                   resolve(library, "ca_context_set_driver", c.set_driver) &&
                   resolve(library, "ca_context_play_full", c.play_full) &&
                   resolve(library, "ca_context_cancel", c.cancel) &&
                   resolve(library, "ca_proplist_create", c.proplist_create) &&
                   resolve(library, "ca_proplist_sets", c.proplist_sets) &&
                   resolve(library, "ca_proplist_destroy", c.proplist_destroy);
        return c;
    }();
    return api;
}

// The end of one sound, reported by libcanberra on its own thread.
struct Completion {
    std::mutex mutex;
    std::condition_variable ended;
    bool done = false;
};

void on_finished(ca_context* /*context*/, std::uint32_t /*id*/, int /*error*/, void* userdata) {
    auto* completion = static_cast<Completion*>(userdata);
    {
        const std::lock_guard lock(completion->mutex);
        completion->done = true;
    }
    completion->ended.notify_one();
}

}  // namespace

std::string installed_data_dir() {
    std::error_code error;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error || program.empty()) return {};
    return (program.parent_path() / CASINO_DATA_FROM_BIN).lexically_normal().string();
}

CueOutcome play_cue(SoundOutput& output, std::string_view game_path, std::string_view data_dir) {
    for (const std::string& path : cue_file_candidates(game_path, data_dir, '/')) {
        std::error_code error;
        if (std::filesystem::is_regular_file(path, error)) {
            return output.play_file(path) ? CueOutcome::Played : CueOutcome::Silence;
        }
    }
    return output.play_bell() ? CueOutcome::Bell : CueOutcome::Silence;
}

CanberraOutput::CanberraOutput(std::string driver, std::function<void()> system_beep)
    : driver_(std::move(driver)), system_beep_(std::move(system_beep)) {}

CanberraOutput::~CanberraOutput() {
    if (context_ != nullptr) canberra().context_destroy(context_);
}

bool CanberraOutput::open() {
    if (context_ != nullptr) return true;
    if (failed_) return false;
    const Canberra& ca = canberra();
    if (!ca.loaded || ca.context_create(&context_) != CA_SUCCESS) {
        context_ = nullptr;
        failed_ = true;
        return false;
    }
    const std::string title(kAppTitle);
    ca.change_props(context_, CA_PROP_APPLICATION_NAME, title.c_str(), CA_PROP_APPLICATION_ID,
                    "casino", nullptr);
    if (!driver_.empty() && ca.set_driver(context_, driver_.c_str()) != CA_SUCCESS) {
        ca.context_destroy(context_);
        context_ = nullptr;
        failed_ = true;
        return false;
    }
    return true;
}

// Starts one sound and waits for its end. Input events are not processed meanwhile: the
// game stands still while a cue plays.
bool CanberraOutput::play(const char* key, const std::string& value) {
    if (!open()) return false;
    const Canberra& ca = canberra();
    ca_proplist* props = nullptr;
    if (ca.proplist_create(&props) != CA_SUCCESS) return false;
    ca.proplist_sets(props, key, value.c_str());
    ca.proplist_sets(props, CA_PROP_CANBERRA_CACHE_CONTROL, "never");

    // The callback may outlive a wait that gave up, so the completion lives on the heap
    // and is freed only once the callback has run.
    auto* completion = new Completion;
    const std::uint32_t id = next_id_++;
    const int started = ca.play_full(context_, id, props, on_finished, completion);
    ca.proplist_destroy(props);
    if (started != CA_SUCCESS) {
        delete completion;
        return false;
    }

    bool done = false;
    {
        std::unique_lock lock(completion->mutex);
        done = completion->ended.wait_for(lock, kLongestWait, [&] { return completion->done; });
    }
    if (!done) {
        ca.cancel(context_, id);
        std::unique_lock lock(completion->mutex);
        done = completion->ended.wait_for(lock, std::chrono::seconds(1),
                                          [&] { return completion->done; });
    }
    if (done) delete completion;  // otherwise a late callback still writes to it
    return true;
}

bool CanberraOutput::play_file(const std::string& path) {
    std::error_code error;
    const auto absolute = std::filesystem::absolute(path, error);
    return play(CA_PROP_MEDIA_FILENAME, error ? path : absolute.string());
}

bool CanberraOutput::play_bell() {
    if (play(CA_PROP_EVENT_ID, "bell")) return true;
    if (!system_beep_) return false;
    system_beep_();
    return true;
}

}  // namespace casino::wx
