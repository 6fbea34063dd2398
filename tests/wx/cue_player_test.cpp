// The cue player's choices: the file, the bell, or silence; and libcanberra without a
// sound system, which must neither hang nor complain.
#include "cue_player.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "wav.h"

namespace casino::wx {
namespace {

class ScriptedOutput final : public SoundOutput {
   public:
    bool plays = true;  // whether the sound system can play anything
    std::vector<std::string> calls;

    bool play_file(const std::string& path) override {
        calls.push_back("file " + path);
        return plays;
    }
    bool play_bell() override {
        calls.push_back("bell");
        return plays;
    }
};

// A scratch folder holding sound/door.wav, made the current directory for the test.
class CueFolder : public ::testing::Test {
   protected:
    void SetUp() override {
        old_ = std::filesystem::current_path();
        dir_ = std::filesystem::temp_directory_path() /
               ("cue_player_test_" +
                std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "_" +
                std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()));
        std::filesystem::create_directories(dir_ / "sound");
        // A real, short wav, so a sound system gets as far as opening its device.
        ASSERT_TRUE(soundgen::write_wav((dir_ / "sound" / "door.wav").string(),
                                        std::vector<float>(2205, 0.0f)));
        std::filesystem::current_path(dir_);
    }
    void TearDown() override {
        std::filesystem::current_path(old_);
        std::filesystem::remove_all(dir_);
    }

    std::filesystem::path old_;
    std::filesystem::path dir_;
};

TEST_F(CueFolder, AnExistingFileIsPlayedAndAMissingOneRingsTheBell) {
    ScriptedOutput output;
    EXPECT_EQ(play_cue(output, "sound\\door.wav"), CueOutcome::Played);
    EXPECT_EQ(play_cue(output, "sound\\siren.wav"), CueOutcome::Bell);
    // A folder by the name of a cue is no sound file either.
    std::filesystem::create_directories("sound/laugh3.wav");
    EXPECT_EQ(play_cue(output, "sound\\laugh3.wav"), CueOutcome::Bell);
    EXPECT_EQ(output.calls, (std::vector<std::string>{"file sound/door.wav", "bell", "bell"}));
}

// An installed game finds the cues of its data folder, but one under the current
// directory comes first, as it always has.
TEST_F(CueFolder, TheCurrentDirectoryComesFirstThenTheDataFolder) {
    const std::filesystem::path data = dir_ / "share" / "casino";
    std::filesystem::create_directories(data / "sound");
    for (const char* name : {"door.wav", "siren.wav"}) {
        ASSERT_TRUE(
            soundgen::write_wav((data / "sound" / name).string(), std::vector<float>(2205, 0.0f)));
    }
    ScriptedOutput output;
    EXPECT_EQ(play_cue(output, "sound\\door.wav", data.string()), CueOutcome::Played);
    EXPECT_EQ(play_cue(output, "sound\\siren.wav", data.string()), CueOutcome::Played);
    EXPECT_EQ(play_cue(output, "sound\\laugh3.wav", data.string()), CueOutcome::Bell);
    EXPECT_EQ(output.calls, (std::vector<std::string>{
                                "file sound/door.wav",
                                "file " + (data / "sound" / "siren.wav").string(), "bell"}));
}

TEST_F(CueFolder, WithoutASoundSystemEveryCueIsSilence) {
    ScriptedOutput output;
    output.plays = false;
    EXPECT_EQ(play_cue(output, "sound\\door.wav"), CueOutcome::Silence);
    EXPECT_EQ(play_cue(output, "sound\\siren.wav"), CueOutcome::Silence);
    // A file that cannot be played is not replaced by the bell.
    EXPECT_EQ(output.calls, (std::vector<std::string>{"file sound/door.wav", "bell"}));
}

// libcanberra with a driver that does not exist stands for a machine with no sound at all.
TEST_F(CueFolder, CanberraWithNoDriverIsSilentAtOnce) {
    int beeps = 0;
    CanberraOutput output("no-such-driver", [&] { ++beeps; });
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(output.play_file("sound/door.wav"));
    EXPECT_EQ(play_cue(output, "sound\\door.wav"), CueOutcome::Silence);
    // The bell falls back to the system beep.
    EXPECT_EQ(play_cue(output, "sound\\siren.wav"), CueOutcome::Bell);
    EXPECT_EQ(beeps, 1);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
}

// Whatever this machine has (a sound server, a bare card, nothing), a tenth of a second of
// silence ends quickly and ALSA's complaints about a missing card stay off stderr.
TEST_F(CueFolder, CanberraOnThisMachineNeitherHangsNorComplains) {
    CanberraOutput output;
    ::testing::internal::CaptureStderr();
    const auto start = std::chrono::steady_clock::now();
    play_cue(output, "sound\\door.wav");
    const auto took = std::chrono::steady_clock::now() - start;
    const std::string noise = ::testing::internal::GetCapturedStderr();
    EXPECT_LT(took, std::chrono::seconds(5));
    EXPECT_EQ(noise.find("ALSA"), std::string::npos) << noise;
}

}  // namespace
}  // namespace casino::wx
