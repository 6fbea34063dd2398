// Playing the game's sound cues with the system's sndPlaySoundW.
#include "cue_player.h"

#include <windows.h>

#include "core/cue_files.h"
#include "text.h"

namespace casino::win32 {
namespace {

// winmm.dll is loaded at the first cue, not at start-up: it brings the multimedia system
// up with it, which a player who never enters the casino never needs. It is loaded from
// the system folder by its full path, never from beside the program.
using SoundPlayer = BOOL(WINAPI*)(LPCWSTR sound, UINT flags);
SoundPlayer sound_player() {
    static const SoundPlayer play = [] {
        wchar_t folder[MAX_PATH] = {};
        const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
        if (length == 0 || length >= MAX_PATH) return SoundPlayer{};
        const std::wstring path = std::wstring(folder, length) + L"\\winmm.dll";
        HMODULE winmm = LoadLibraryW(path.c_str());
        if (winmm == nullptr) return SoundPlayer{};
        return reinterpret_cast<SoundPlayer>(
            reinterpret_cast<void*>(GetProcAddress(winmm, "sndPlaySoundW")));
    }();
    return play;
}

bool is_file(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

}  // namespace

std::string installed_data_dir() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) return {};
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);
    }
    const std::size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::string() : narrow(path.substr(0, slash));
}

// Played synchronously (flags 0): the game goes on when the cue has ended. What the system
// answers does not matter to the game.
void play_cue(rules::Cue cue, std::string_view data_dir) {
    const SoundPlayer play = sound_player();
    if (play == nullptr) return;
    for (const std::string& candidate : cue_file_candidates(cue, data_dir, '\\')) {
        const std::wstring file = widen(candidate);
        if (is_file(file)) {
            play(file.c_str(), 0);
            return;
        }
    }
    play(widen(rules::cue_name(cue)).c_str(), 0);
}

}  // namespace casino::win32
