// x_monkey serve: real X input through the XTest extension, and the window manager's close,
// for the programs that drive a real window: the Win32 automation's monkey and walk, and the
// Linux program's transport (bus_transport.py). Performs the lines read on standard input
//   XINPUT n click X Y        XINPUT n key NAME X Y (the pointer moved there first unless 0 0)
//   XINPUT n move X Y         XINPUT n type TEXT        XINPUT n paste TEXT
//   XINPUT n close PID TITLE  (the newest shown window of that process with that title)
// touching xinput-n.done after each, and echoes every other line; for "XINPUT n cpu" it writes
// into that file the processor time, in milliseconds, of casino.exe running in the same Wine
// prefix.
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

#include "x11/x_display.h"

namespace {

using namespace std::chrono_literals;

// The processor time of the game's Wine process, user and system, in milliseconds, told apart
// from others' by its name and its Wine prefix (ours): Wine cannot tell one Windows process the
// times of another.
double wine_cpu_ms() {
    const char* prefix = std::getenv("WINEPREFIX");
    const std::string wanted = "WINEPREFIX=" + std::string(prefix != nullptr ? prefix : "");
    double total = 0;
    for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
        std::string comm, skip;
        std::getline(std::ifstream(entry.path() / "comm"), comm);
        std::ifstream environment(entry.path() / "environ");
        bool ours = false;
        for (std::string variable; comm == "casino.exe" && !ours &&
                                   std::getline(environment, variable, '\0');) {
            ours = variable == wanted;
        }
        if (!ours) continue;
        // The fields after the command name, which may hold spaces but not ')'.
        std::ifstream stat(entry.path() / "stat");
        std::getline(stat, skip, ')');
        double user = 0, system = 0;
        for (int field = 3; field < 14; ++field) stat >> skip;
        stat >> user >> system;
        total += (user + system) * 1000.0 / static_cast<double>(sysconf(_SC_CLK_TCK));
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
        std::istringstream words(line.substr(7));
        int n = 0, px = 0, py = 0;
        std::string verb, text, name, answer;
        words >> n >> verb;
        // A text is the rest of the line, spaces and all.
        std::getline(words, text);
        if (!text.empty()) text.erase(0, 1);
        std::istringstream args(text);
        if (verb == "click" && args >> px >> py) {
            x.click(px, py);
        } else if (verb == "move" && args >> px >> py) {
            x.move(px, py);
        } else if (verb == "key" && args >> name >> px >> py) {
            if (px != 0 || py != 0) x.move(px, py);
            x.key(name);
        } else if (verb == "type") {
            x.type(text);
        } else if (verb == "paste") {
            x.paste(text, 2s);
        } else if (verb == "close" && args >> px) {
            x.request_close(x.wait_for(text.substr(text.find(' ') + 1), 2s, px));
        } else if (verb == "cpu") {
            answer = std::to_string(wine_cpu_ms());
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
