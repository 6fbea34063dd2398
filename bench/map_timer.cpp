// map_timer: starts a program and measures how long it takes to map its first window, and
// how much memory it used at its peak.
//
//   map_timer [--settle MS] -- PROGRAM [ARGS...]
//
// An X client listening on the root window for MapNotify (no polling sleep): the clock
// starts just before the fork and stops at the first MapNotify of a top-level window whose
// _NET_WM_PID is the program's (tests/x11's wait_mapped). The program is then left to
// settle for MS milliseconds (default 500), terminated and reaped; its peak resident memory
// comes from wait4, as /usr/bin/time reports it. Prints one line, "map_ms=<float> peak_kib=<int>", and exits 1
// when no window came within 30 s.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <exception>
#include <memory>

#include "x11/x_display.h"

namespace {

double now_ms() {
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<double>(t.tv_sec) * 1000.0 + static_cast<double>(t.tv_nsec) / 1e6;
}

}  // namespace

int main(int argc, char** argv) {
    int settle_ms = 500;
    int i = 1;
    for (; i < argc; ++i) {
        if (std::strcmp(argv[i], "--settle") == 0 && i + 1 < argc) {
            settle_ms = std::atoi(argv[++i]);
        } else {
            if (std::strcmp(argv[i], "--") == 0) ++i;
            break;
        }
    }
    if (i >= argc) {
        std::fprintf(stderr, "usage: map_timer [--settle MS] -- PROGRAM [ARGS...]\n");
        return 2;
    }
    std::unique_ptr<casino::x11::XDisplay> x;
    try {
        x = std::make_unique<casino::x11::XDisplay>();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "map_timer: %s\n", e.what());
        return 2;
    }

    const double start = now_ms();
    const pid_t child = fork();
    if (child == 0) {
        close(x->connection());
        execvp(argv[i], argv + i);
        _exit(127);
    }
    double mapped = -1;
    while (mapped < 0 && now_ms() - start < 30000) {
        if (x->wait_mapped(child, std::chrono::milliseconds(50)) != 0) {
            mapped = now_ms();
            break;
        }
        int status;
        if (waitpid(child, &status, WNOHANG) == child) {
            std::fprintf(stderr, "map_timer: %s ended before mapping a window\n", argv[i]);
            return 1;
        }
    }
    if (mapped < 0) {
        std::fprintf(stderr, "map_timer: no window of %s within 30 s\n", argv[i]);
        kill(child, SIGKILL);
        return 1;
    }
    usleep(static_cast<useconds_t>(settle_ms) * 1000);
    kill(child, SIGTERM);
    int status;
    rusage usage{};
    for (int tries = 0; wait4(child, &status, WNOHANG, &usage) != child; ++tries) {
        if (tries == 100) kill(child, SIGKILL);
        usleep(20000);
    }
    std::printf("map_ms=%.1f peak_kib=%ld\n", mapped - start, usage.ru_maxrss);
    return 0;
}
