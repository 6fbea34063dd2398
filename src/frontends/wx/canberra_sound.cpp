// libcanberra behind the cue player: loaded at the first cue, and called only from the
// player's sound thread.
#include "canberra_sound.h"

#include <alsa/asoundlib.h>
#include <canberra.h>
#include <dlfcn.h>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <system_error>
#include <utility>

#include "core/controls.h"

namespace casino::wx {
namespace {

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

const Canberra& canberra_api() {
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

class CanberraSound final : public SoundSystem {
   public:
    CanberraSound(const Canberra& ca, ca_context* context, Ended ended)
        : ca_(ca), context_(context), ended_(std::move(ended)) {}
    // Destroying the context ends every sound it still plays, and libcanberra calls back no
    // more once it returns.
    ~CanberraSound() override { ca_.context_destroy(context_); }
    CanberraSound(const CanberraSound&) = delete;
    CanberraSound& operator=(const CanberraSound&) = delete;

    bool play_file(unsigned id, const std::string& path) override {
        std::error_code error;
        const auto absolute = std::filesystem::absolute(path, error);
        return play(id, CA_PROP_MEDIA_FILENAME, error ? path : absolute.string());
    }
    bool play_bell(unsigned id) override { return play(id, CA_PROP_EVENT_ID, "bell"); }
    void cancel(unsigned id) override { ca_.cancel(context_, id); }

   private:
    // libcanberra tells the end on a thread of its own, or inside cancel and destroy.
    static void on_finished(ca_context* /*context*/, std::uint32_t id, int /*error*/, void* self) {
        static_cast<CanberraSound*>(self)->ended_(id);
    }

    bool play(unsigned id, const char* key, const std::string& value) {
        ca_proplist* props = nullptr;
        if (ca_.proplist_create(&props) != CA_SUCCESS) return false;
        ca_.proplist_sets(props, key, value.c_str());
        ca_.proplist_sets(props, CA_PROP_CANBERRA_CACHE_CONTROL, "never");
        const int started = ca_.play_full(context_, id, props, &on_finished, this);
        ca_.proplist_destroy(props);
        return started == CA_SUCCESS;
    }

    const Canberra& ca_;
    ca_context* context_;
    Ended ended_;
};

}  // namespace

SoundSystem::Opener canberra(std::string driver) {
    return [driver = std::move(driver)](SoundSystem::Ended ended) -> std::unique_ptr<SoundSystem> {
        const Canberra& ca = canberra_api();
        ca_context* context = nullptr;
        if (!ca.loaded || ca.context_create(&context) != CA_SUCCESS) return nullptr;
        const std::string title(kAppTitle);
        ca.change_props(context, CA_PROP_APPLICATION_NAME, title.c_str(), CA_PROP_APPLICATION_ID,
                        "casino", nullptr);
        if (!driver.empty() && ca.set_driver(context, driver.c_str()) != CA_SUCCESS) {
            ca.context_destroy(context);
            return nullptr;
        }
        return std::make_unique<CanberraSound>(ca, context, std::move(ended));
    };
}

}  // namespace casino::wx
