// The cue player: which file it plays, how long the game waits for a sound system that
// answers at once, late, never or not at all, and libcanberra without a sound system,
// which must neither hang nor complain.
#include "cue_player.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "canberra_sound.h"
#include "wav.h"

namespace casino::wx {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using Calls = std::vector<std::string>;

class RecordedOutput final : public SoundOutput {
   public:
    Calls calls;
    void play_file(const std::string& path) override { calls.push_back("file " + path); }
    void play_bell() override { calls.push_back("bell"); }
};

// ---- A sound system whose every answer the test chooses ----

// How the fake tells a sound's end. Early: from another thread, well before the call that
// started it returns.
enum class Ends { Inside, FromAnotherThread, Early, Late, Never, Refused };

// Shared by the test and the fake system, which lives on the player's sound thread and may
// outlive the player.
struct Script {
    std::mutex mutex;
    std::condition_variable changed;
    Ends ends = Ends::Inside;
    bool hold_open = false;  // opening the system blocks while this is set
    bool hold_play = false;  // so does starting a sound
    Calls calls;             // "play <file name or bell>", "cancel <the same>"
    bool closed = false;     // the system has been destroyed

    void set(const std::function<void(Script&)>& change) {
        const std::lock_guard lock(mutex);
        change(*this);
        changed.notify_all();
    }
    bool await(const std::function<bool()>& done, Clock::duration timeout = 5s) {
        std::unique_lock lock(mutex);
        return changed.wait_for(lock, timeout, done);
    }
    Calls calls_now() {
        const std::lock_guard lock(mutex);
        return calls;
    }
};

class FakeSound final : public SoundSystem {
   public:
    FakeSound(std::shared_ptr<Script> script, Ended ended)
        : script_(std::move(script)), ended_(std::move(ended)) {}
    ~FakeSound() override {
        for (std::thread& thread : threads_) thread.join();
        script_->set([](Script& s) { s.closed = true; });
    }
    FakeSound(const FakeSound&) = delete;
    FakeSound& operator=(const FakeSound&) = delete;

    bool play_file(unsigned id, const std::string& path) override {
        return play(id, std::filesystem::path(path).filename().string());
    }
    bool play_bell(unsigned id) override { return play(id, "bell"); }
    void cancel(unsigned id) override {
        script_->set([&](Script& s) { s.calls.push_back("cancel " + names_[id]); });
    }

   private:
    bool play(unsigned id, const std::string& name) {
        names_[id] = name;
        std::unique_lock lock(script_->mutex);
        script_->calls.push_back("play " + name);
        script_->changed.wait(lock, [&] { return !script_->hold_play; });
        const Ends ends = script_->ends;
        lock.unlock();
        switch (ends) {
            case Ends::Inside: ended_(id); break;
            case Ends::FromAnotherThread: threads_.emplace_back([this, id] { ended_(id); }); break;
            case Ends::Early:
                threads_.emplace_back([this, id] { ended_(id); });
                std::this_thread::sleep_for(100ms);
                break;
            case Ends::Late:
                threads_.emplace_back([this, id] {
                    std::this_thread::sleep_for(300ms);
                    ended_(id);
                });
                break;
            case Ends::Never: break;
            case Ends::Refused: return false;
        }
        return true;
    }

    std::shared_ptr<Script> script_;
    Ended ended_;
    std::map<unsigned, std::string> names_;
    std::vector<std::thread> threads_;
};

SoundSystem::Opener fake(const std::shared_ptr<Script>& script) {
    return [script](SoundSystem::Ended ended) -> std::unique_ptr<SoundSystem> {
        std::unique_lock lock(script->mutex);
        script->changed.wait(lock, [&] { return !script->hold_open; });
        return std::make_unique<FakeSound>(script, std::move(ended));
    };
}

// How long a call took, in milliseconds.
template <typename Call>
long long took(Call&& call) {
    const auto start = Clock::now();
    call();
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

// What a busy machine (or a sanitizer) may add to any wait.
constexpr long long kSlack = 400;

// Silence of the given length, as a wav file at the path.
void write_cue(const std::filesystem::path& path, std::chrono::milliseconds length) {
    std::filesystem::create_directories(path.parent_path());
    ASSERT_TRUE(soundgen::write_wav(
        path.string(), std::vector<float>(static_cast<std::size_t>(soundgen::kSampleRate *
                                                                   length.count() / 1000))));
}

// A scratch folder holding sound/door.wav, a real short wav, so that a sound system gets as far
// as opening its device; it is the current directory for the test.
class CueFolder : public ::testing::Test {
   protected:
    void SetUp() override {
        old_ = std::filesystem::current_path();
        dir_ = std::filesystem::temp_directory_path() /
               ("cue_player_test_" + std::to_string(Clock::now().time_since_epoch().count()));
        write_cue(dir_ / "sound" / "door.wav", 100ms);
        std::filesystem::current_path(dir_);
    }
    void TearDown() override {
        std::filesystem::current_path(old_);
        std::filesystem::remove_all(dir_);
    }

    std::shared_ptr<Script> script_ = std::make_shared<Script>();
    int beeps_ = 0;
    std::filesystem::path old_;
    std::filesystem::path dir_;
};

// ---- Which file ----

// An installed game finds the cues of its data folder, but one under the current directory
// comes first, as it always has; a cue in neither rings the bell, and a folder by the name of
// a cue is no sound file.
TEST_F(CueFolder, TheFirstFileThatExistsIsPlayedElseTheBellRings) {
    const std::string data = (dir_ / "share" / "casino").string();
    write_cue(data + "/sound/door.wav", 50ms);
    write_cue(data + "/sound/siren.wav", 50ms);
    std::filesystem::create_directories("sound/laugh3.wav");
    const struct {
        rules::Cue cue;
        std::string data_dir;
        std::string played;
    } cases[] = {
        {rules::Cue::door, "", "file sound/door.wav"},
        {rules::Cue::siren, "", "bell"},
        {rules::Cue::laugh, "", "bell"},
        {rules::Cue::door, data, "file sound/door.wav"},
        {rules::Cue::siren, data, "file " + data + "/sound/siren.wav"},
        {rules::Cue::laugh, data, "bell"},
    };
    for (const auto& c : cases) {
        RecordedOutput output;
        play_cue(output, c.cue, c.data_dir);
        EXPECT_EQ(output.calls, Calls{c.played}) << rules::cue_name(c.cue) << " " << c.data_dir;
    }
}

// ---- How long the game waits ----

// However the end is told, even before the sound has been reported started, the game goes
// on once it is told and not before, and the next cue plays.
TEST_F(CueFolder, TheGameWaitsForTheEndHoweverItIsTold) {
    CuePlayer player(fake(script_), [&] { ++beeps_; }, {.longest = 3s, .margin = 100ms});
    for (const Ends ends : {Ends::Inside, Ends::FromAnotherThread}) {
        script_->set([&](Script& s) { s.ends = ends; });
        for (int i = 0; i < 20; ++i) {
            EXPECT_LT(took([&] { player.play_file("sound/door.wav"); }), kSlack);
            EXPECT_LT(took([&] { player.play_bell(); }), kSlack);
        }
    }
    script_->set([](Script& s) { s.ends = Ends::Early; });
    player.play_file("sound/door.wav");
    script_->set([](Script& s) { s.ends = Ends::Inside; });
    player.play_bell();
    script_->set([](Script& s) { s.ends = Ends::Late; });
    const long long late = took([&] { player.play_file("sound/door.wav"); });
    EXPECT_GE(late, 300);
    EXPECT_LT(late, 300 + kSlack);
    EXPECT_EQ(script_->calls_now().size(), 83u);
    EXPECT_EQ(beeps_, 0);
}

// A cue that has started but whose end is never told holds the game for the longest wait,
// not just for its own length, and is then stopped.
TEST_F(CueFolder, ACueThatPlaysOnIsStoppedAfterTheLongestWait) {
    CuePlayer player(fake(script_), {}, {.longest = 600ms, .margin = 100ms});
    script_->set([](Script& s) { s.ends = Ends::Never; });
    const long long waited = took([&] { player.play_file("sound/door.wav"); });
    EXPECT_GE(waited, 600);
    EXPECT_LT(waited, 600 + kSlack);
    EXPECT_TRUE(script_->await([&] { return script_->calls.size() == 2; }));
    EXPECT_EQ(script_->calls_now(), (Calls{"play door.wav", "cancel door.wav"}));
}

// A sound system that does not answer holds the game no longer than the cue and the margin
// (the bell: its own short time), whether it hangs opening or playing. It is not asked again
// until it has answered, and then the cues play again.
TEST_F(CueFolder, ASoundSystemThatDoesNotAnswerHoldsTheGameOnlyForTheCue) {
    const std::string cue = "sound/nomore.wav";
    write_cue(cue, 300ms);
    const CueTimes times{.longest = 3s, .margin = 100ms, .bell = 200ms};
    {
        script_->set([](Script& s) { s.hold_open = true; });
        CuePlayer player(
            fake(script_), [&] { ++beeps_; }, times);
        const long long bell = took([&] { player.play_bell(); });
        EXPECT_GE(bell, 200);
        EXPECT_LT(bell, 200 + kSlack);
        script_->set([](Script& s) { s.hold_open = false; });
    }
    EXPECT_TRUE(script_->await([&] { return script_->closed; }));
    EXPECT_EQ(beeps_, 0);  // silence, not the beep of a system that cannot play
    script_ = std::make_shared<Script>();

    CuePlayer player(
        fake(script_), [&] { ++beeps_; }, times);
    script_->set([](Script& s) {
        s.hold_play = true;
        s.ends = Ends::Never;
    });
    const long long hung = took([&] { player.play_file(cue); });
    EXPECT_GE(hung, 400);
    EXPECT_LT(hung, 400 + kSlack);
    EXPECT_LT(took([&] { player.play_file(cue); }), 100);
    EXPECT_LT(took([&] { player.play_bell(); }), 100);
    EXPECT_EQ(beeps_, 0);
    EXPECT_EQ(script_->calls_now(), Calls{"play nomore.wav"});

    // Once it answers, the sound nobody waits for any more is stopped.
    script_->set([](Script& s) { s.hold_play = false; });
    EXPECT_TRUE(script_->await([&] { return script_->calls.size() == 2; }));
    // The cues play again as soon as the stop has returned too.
    script_->set([](Script& s) { s.ends = Ends::Inside; });
    for (int i = 0; i < 100 && script_->calls_now().size() < 3; ++i) {
        EXPECT_LT(took([&] { player.play_file(cue); }), kSlack);
        std::this_thread::sleep_for(10ms);
    }
    EXPECT_EQ(script_->calls_now(),
              (Calls{"play nomore.wav", "cancel nomore.wav", "play nomore.wav"}));
}

// The game ends at once even while its sound thread is held up; the thread ends on its own
// once the system lets it go.
TEST_F(CueFolder, ThePlayerGoesAtOnceWhileTheSoundSystemHangs) {
    auto player = std::make_unique<CuePlayer>(fake(script_), nullptr,
                                              CueTimes{.longest = 3s, .margin = 100ms});
    script_->set([](Script& s) { s.hold_play = true; });
    player->play_file("sound/door.wav");
    EXPECT_LT(took([&] { player.reset(); }), 100);
    EXPECT_FALSE(script_->await([&] { return script_->closed; }, 0s));
    script_->set([](Script& s) { s.hold_play = false; });
    EXPECT_TRUE(script_->await([&] { return script_->closed; }));
}

// A file that cannot be played is silence; a bell that cannot be played is the system beep.
TEST_F(CueFolder, WhatTheSystemCannotPlayIsSilenceButTheBellBeeps) {
    script_->set([](Script& s) { s.ends = Ends::Refused; });
    CuePlayer refusing(fake(script_), [&] { ++beeps_; });
    CuePlayer missing([](SoundSystem::Ended) { return nullptr; }, [&] { ++beeps_; });
    for (CuePlayer* player : {&refusing, &missing}) {
        EXPECT_LT(took([&] { player->play_file("sound/door.wav"); }), kSlack);
        EXPECT_EQ(beeps_, 0);
        EXPECT_LT(took([&] { player->play_bell(); }), kSlack);
        EXPECT_EQ(std::exchange(beeps_, 0), 1);
    }
}

// ---- libcanberra ----

// A driver that does not exist stands for a machine with no sound at all.
TEST_F(CueFolder, CanberraWithNoDriverIsSilentAtOnce) {
    // Opening libcanberra cold can take a while on a busy machine; it must not count as a
    // sound system that does not answer, which would silence the bell too.
    CuePlayer player(canberra("no-such-driver"), [&] { ++beeps_; },
                     CueTimes{.margin = 3s, .bell = 3s});
    EXPECT_LT(took([&] {
                  play_cue(player, rules::Cue::door);
                  play_cue(player, rules::Cue::siren);  // the bell falls back to the beep
              }),
              3000);
    EXPECT_EQ(beeps_, 1);
}

// Whatever this machine has (a sound server, a bare card, nothing), a tenth of a second of
// silence ends quickly and ALSA's complaints about a missing card stay off stderr.
TEST_F(CueFolder, CanberraOnThisMachineNeitherHangsNorComplains) {
    CuePlayer player(canberra());
    ::testing::internal::CaptureStderr();
    const long long waited = took([&] { play_cue(player, rules::Cue::door); });
    const std::string noise = ::testing::internal::GetCapturedStderr();
    EXPECT_LT(waited, 100 + 500 + kSlack);
    EXPECT_EQ(noise.find("ALSA"), std::string::npos) << noise;
}

}  // namespace
}  // namespace casino::wx
