// x_monkey serve: real X input for the Win32 automation's monkey, through the XTest
// extension. Performs the lines "XINPUT n click X Y" and "XINPUT n key NAME X Y" read on
// standard input, touching xinput-n.done after each, and echoes every other line; for
// "XINPUT n cpu" it writes into that file the processor time, in milliseconds, of
// casino.exe running in the same Wine prefix.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>

#include "x11/process_time.h"
#include "x11/x_display.h"

namespace {

// The processor time of the game's Wine process, told apart from others' by its name and
// its Wine prefix (ours): Wine cannot tell one Windows process the times of another.
double wine_cpu_ms() {
    const char* prefix = std::getenv("WINEPREFIX");
    const std::string wanted = "WINEPREFIX=" + std::string(prefix != nullptr ? prefix : "");
    double total = 0;
    for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
        const std::string name = entry.path().filename();
        if (name.find_first_not_of("0123456789") != std::string::npos) continue;
        std::string comm;
        std::getline(std::ifstream(entry.path() / "comm"), comm);
        if (comm != "casino.exe") continue;
        std::ifstream environment(entry.path() / "environ");
        for (std::string variable; std::getline(environment, variable, '\0');) {
            if (variable == wanted) total += casino::x11::cpu_ms_of(std::stoi(name));
        }
    }
    return total;
}

int serve() {
    casino::x11::XDisplay x;
    std::string line;
    while (std::getline(std::cin, line)) {
        if (line.ends_with('\r')) line.pop_back();  // a Windows program's line end
        if (!line.starts_with("XINPUT ")) {
            std::cout << line << std::endl;
            continue;
        }
        char verb[16] = {};
        char name[32] = {};
        int n = 0, px = 0, py = 0;
        std::string answer;
        if (std::sscanf(line.c_str(), "XINPUT %d click %d %d", &n, &px, &py) == 3) {
            x.click(px, py);
        } else if (line.ends_with(" cpu") && std::sscanf(line.c_str(), "XINPUT %d", &n) == 1) {
            answer = std::to_string(wine_cpu_ms());
        } else if (std::sscanf(line.c_str(), "XINPUT %d %15s %31s %d %d", &n, verb, name, &px,
                               &py) == 5) {
            if (px != 0 || py != 0) x.move(px, py);
            x.key(name);
        }
        // Written whole before it gets the name the other side waits for.
        const std::string done = "xinput-" + std::to_string(n) + ".done";
        std::ofstream(done + ".part") << answer << '\n';
        std::filesystem::rename(done + ".part", done);
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2 || std::string(argv[1]) != "serve") {
        std::fprintf(stderr, "usage: x_monkey serve\n");
        return 2;
    }
    try {
        return serve();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "x_monkey: %s\n", e.what());
        return 2;
    }
}
