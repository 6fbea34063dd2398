// map_timer: starts a program and measures how long it takes to map its first window, and
// how much memory it used at its peak.
//
//   map_timer [--settle MS] -- PROGRAM [ARGS...]
//
// An X client listening on the root window for MapNotify (no polling sleep): the clock
// starts just before the fork and stops at the first MapNotify of a top-level window whose
// _NET_WM_PID is the program's. The program is then left to settle for MS milliseconds
// (default 500), terminated and reaped; its peak resident memory comes from wait4, as
// /usr/bin/time reports it. Prints one line, "map_ms=<float> peak_kib=<int>", and exits 1
// when no window came within 30 s.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

namespace {

double now_ms() {
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<double>(t.tv_sec) * 1000.0 + static_cast<double>(t.tv_nsec) / 1e6;
}

// The _NET_WM_PID of a window, or 0.
long pid_of(Display* x, Window w, Atom net_wm_pid) {
    Atom type;
    int format;
    unsigned long count, after;
    unsigned char* data = nullptr;
    long pid = 0;
    if (XGetWindowProperty(x, w, net_wm_pid, 0, 1, False, XA_CARDINAL, &type, &format, &count,
                           &after, &data) == Success &&
        data != nullptr && count == 1 && format == 32) {
        pid = *reinterpret_cast<long*>(data);
    }
    if (data != nullptr) XFree(data);
    return pid;
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
    Display* x = XOpenDisplay(nullptr);
    if (x == nullptr) {
        std::fprintf(stderr, "map_timer: cannot open the display\n");
        return 2;
    }
    const Atom net_wm_pid = XInternAtom(x, "_NET_WM_PID", False);
    XSelectInput(x, DefaultRootWindow(x), SubstructureNotifyMask);
    XSync(x, False);

    const double start = now_ms();
    const pid_t child = fork();
    if (child == 0) {
        close(ConnectionNumber(x));
        execvp(argv[i], argv + i);
        _exit(127);
    }
    double mapped = -1;
    while (mapped < 0) {
        while (XPending(x) > 0) {
            XEvent e;
            XNextEvent(x, &e);
            if (e.type != MapNotify) continue;
            if (pid_of(x, e.xmap.window, net_wm_pid) == static_cast<long>(child)) {
                mapped = now_ms();
                break;
            }
        }
        if (mapped >= 0) break;
        if (now_ms() - start > 30000) break;
        int status;
        if (waitpid(child, &status, WNOHANG) == child) {
            std::fprintf(stderr, "map_timer: %s ended before mapping a window\n", argv[i]);
            return 1;
        }
        pollfd fd{ConnectionNumber(x), POLLIN, 0};
        poll(&fd, 1, 50);
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
