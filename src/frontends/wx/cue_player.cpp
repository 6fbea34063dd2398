// Playing the game's sound cues on a sound thread, and the window's wait for their end.
#include "cue_player.h"

#include <algorithm>
#include <array>
#include <condition_variable>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <optional>
#include <system_error>
#include <utility>

#include "core/cue_files.h"

namespace casino::wx {
namespace {

using std::chrono::milliseconds;

// How long the player, when it goes, waits for the sound thread to close the sound system.
constexpr milliseconds kClosing(500);

std::uint32_t little_endian(const char* bytes) {
    std::uint32_t value = 0;
    for (int i = 0; i < 4; ++i)
        value |= std::uint32_t{static_cast<unsigned char>(bytes[i])} << (8 * i);
    return value;
}

// The length of a wav file's sound, from its header: the size of its data over the bytes a
// second of its format takes. Nothing when the header cannot be read.
std::optional<milliseconds> wav_length(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::array<char, 12> riff{};
    if (!file.read(riff.data(), 12) || std::string_view(riff.data(), 4) != "RIFF" ||
        std::string_view(riff.data() + 8, 4) != "WAVE") {
        return std::nullopt;
    }
    std::uint32_t bytes_per_second = 0;
    std::array<char, 16> chunk{};
    // A file with more chunks than this before its data is no cue of ours.
    for (int chunks = 0; chunks < 16 && file.read(chunk.data(), 8); ++chunks) {
        const std::string_view id(chunk.data(), 4);
        const std::uint32_t size = little_endian(chunk.data() + 4);
        if (id == "data") {
            if (bytes_per_second == 0) return std::nullopt;
            return milliseconds(std::uint64_t{size} * 1000 / bytes_per_second);
        }
        std::streamoff skip = std::streamoff{size} + (size & 1);  // chunks are padded to even
        if (id == "fmt " && size >= 16) {
            // Format, channels and sample rate come first, then the bytes a second.
            if (!file.read(chunk.data(), 16)) return std::nullopt;
            bytes_per_second = little_endian(chunk.data() + 8);
            skip -= 16;
        }
        file.seekg(skip, std::ios::cur);
    }
    return std::nullopt;
}

}  // namespace

std::string installed_data_dir() {
    std::error_code error;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error || program.empty()) return {};
    return (program.parent_path() / CASINO_DATA_FROM_BIN).lexically_normal().string();
}

void play_cue(SoundOutput& output, rules::Cue cue, std::string_view data_dir) {
    for (const std::string& path : cue_file_candidates(cue, data_dir, '/')) {
        std::error_code error;
        // A file that exists but cannot be played is silence, not the bell.
        if (std::filesystem::is_regular_file(path, error)) return output.play_file(path);
    }
    output.play_bell();
}

// What the window and the sound thread tell each other. Both hold it, so that neither the
// sound system's late calls nor a sound thread that outlives the player ever find it gone.
struct CuePlayer::Line {
    std::mutex mutex;
    std::condition_variable changed;

    // From the window: the sound to play next (an empty path is the bell), a sound to stop,
    // whether it has given up waiting for the sound system, and the end of the player.
    std::optional<std::string> next;
    unsigned to_cancel = 0;
    bool hung = false;
    bool quit = false;

    // From the sound thread: the sound the window waits for, what became of it, whether the
    // thread is inside a call of the sound system, and whether it has closed the system.
    unsigned id = 0;  // ids start at 1, so 0 is none
    bool started = false;
    bool refused = false;
    bool ended = false;
    bool busy = false;
    bool closed = false;

    void end(unsigned sound) {
        const std::lock_guard lock(mutex);
        if (sound != id) return;  // a sound the window has stopped waiting for
        ended = true;
        changed.notify_all();
    }

    // The sound thread: opens the sound system at its first sound, and closes it when the
    // player goes. The system is called with the line unlocked, so that the window never
    // waits for it longer than it chooses to.
    static void run(const std::shared_ptr<Line>& line, const SoundSystem::Opener& open) {
        std::unique_ptr<SoundSystem> system;
        bool opened = false;
        std::unique_lock lock(line->mutex);
        while (true) {
            line->changed.wait(lock, [&] { return line->quit || line->next || line->to_cancel; });
            if (line->quit) break;
            line->busy = true;
            if (const unsigned stopped = std::exchange(line->to_cancel, 0)) {
                lock.unlock();
                if (system) system->cancel(stopped);
                lock.lock();
            } else {
                const std::string path = *std::exchange(line->next, std::nullopt);
                const unsigned sound = line->id;
                if (!opened) {
                    lock.unlock();
                    system = open([raw = line.get()](unsigned ended) { raw->end(ended); });
                    opened = true;
                    lock.lock();
                }
                // The window may have given up on the sound while the system was opened.
                const bool wanted = line->to_cancel != sound && !line->quit;
                lock.unlock();
                const bool started =
                    wanted && system != nullptr &&
                    (path.empty() ? system->play_bell(sound) : system->play_file(sound, path));
                lock.lock();
                (started ? line->started : line->refused) = true;
                // A sound the window gave up on while it started is stopped next, unless it
                // has ended already.
                if (line->to_cancel == sound && (!started || line->ended)) line->to_cancel = 0;
            }
            line->busy = false;
            line->hung = false;  // it has answered
            line->changed.notify_all();
        }
        lock.unlock();
        system.reset();  // stops whatever still plays
        lock.lock();
        line->closed = true;
        line->changed.notify_all();
    }
};

CuePlayer::CuePlayer(SoundSystem::Opener open, std::function<void()> system_beep, CueTimes times)
    : open_(std::move(open)),
      system_beep_(std::move(system_beep)),
      times_(times),
      line_(std::make_shared<Line>()) {}

CuePlayer::~CuePlayer() {
    if (!thread_.joinable()) return;
    std::unique_lock lock(line_->mutex);
    line_->quit = true;
    line_->changed.notify_all();
    // A thread inside the sound system may never come out: the game does not wait for it.
    const bool closed =
        !line_->busy && line_->changed.wait_for(lock, kClosing, [&] { return line_->closed; });
    lock.unlock();
    if (closed) {
        thread_.join();
    } else {
        thread_.detach();
    }
}

CuePlayer::Start CuePlayer::play(std::string path, milliseconds start_within) {
    // The sound thread starts at the first cue, as the sound system is opened only then.
    if (!thread_.joinable()) thread_ = std::thread(&Line::run, line_, open_);
    Line& line = *line_;
    std::unique_lock lock(line.mutex);
    // The sound system has not answered a call the window gave up waiting for: it is not
    // asked again until it has.
    if (line.hung) return Start::NoAnswer;

    const auto begin = std::chrono::steady_clock::now();
    const auto give_up = begin + times_.longest;
    const unsigned sound = ++line.id;
    line.next = std::move(path);
    line.started = line.refused = line.ended = false;
    line.changed.notify_all();

    // The end may be told before the call that started the sound has returned; the sound
    // thread is free for the next cue only once it has.
    const bool answered = line.changed.wait_until(lock, std::min(begin + start_within, give_up),
                                                  [&] { return line.started || line.refused; });
    if (!answered) {
        line.hung = line.busy;  // else the thread was merely slow to wake
        if (line.next) {
            line.next.reset();  // not taken yet: it never starts
        } else {
            line.to_cancel = sound;  // stopped as soon as it starts
        }
        return Start::NoAnswer;
    }
    if (line.refused) return Start::Refused;
    if (!line.changed.wait_until(lock, give_up, [&] { return line.ended; })) {
        line.to_cancel = sound;
        line.changed.notify_all();
    }
    return Start::Started;
}

void CuePlayer::play_file(const std::string& path) {
    // A file whose length cannot be read is given the bell's time.
    const milliseconds length = std::min(wav_length(path).value_or(times_.bell), times_.longest);
    play(path, length + times_.margin);
}

void CuePlayer::play_bell() {
    if (play({}, times_.bell) == Start::Refused && system_beep_) system_beep_();
}

}  // namespace casino::wx
