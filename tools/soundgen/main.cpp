// soundgen: writes the game's six sound cues into the folder named on the command line.
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

#include "cues.h"
#include "wav.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: soundgen <output folder>\n");
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    for (const soundgen::Cue& cue : soundgen::kCues) {
        const std::string path = (folder / cue.file).string();
        if (!soundgen::write_wav(path, cue.make())) {
            std::fprintf(stderr, "soundgen: cannot write %s\n", path.c_str());
            return 1;
        }
    }
    return 0;
}
