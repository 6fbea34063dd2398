// close_window: finds a top-level window by its title and asks it to close, as a window
// manager does for the close box or Alt+F4. Exits 0 once the request is sent, 1 when no
// such window appears within five seconds.
// close_window --find <title> <seconds>: waits that long for the window to be shown and
// prints its id, for xdotool; exits 1 when it does not appear.
#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

namespace {

std::string title_of(Display* display, Window window) {
    const Atom net_wm_name = XInternAtom(display, "_NET_WM_NAME", False);
    const Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long left = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display, window, net_wm_name, 0, 1024, False, utf8, &type, &format,
                           &count, &left, &data) != Success ||
        data == nullptr) {
        return {};
    }
    std::string title(reinterpret_cast<char*>(data), count);
    XFree(data);
    return title;
}

Window find(Display* display, Window root, const std::string& title) {
    Window parent = 0;
    Window* children = nullptr;
    unsigned count = 0;
    if (XQueryTree(display, root, &root, &parent, &children, &count) == 0) return 0;
    Window found = 0;
    for (unsigned i = 0; i < count && found == 0; ++i) {
        XWindowAttributes attributes{};
        if (title_of(display, children[i]) == title &&
            XGetWindowAttributes(display, children[i], &attributes) != 0 &&
            attributes.map_state == IsViewable) {
            found = children[i];
        }
        if (found == 0) found = find(display, children[i], title);
    }
    if (children != nullptr) XFree(children);
    return found;
}

}  // namespace

int main(int argc, char** argv) {
    const bool find_only = argc == 4 && std::string(argv[1]) == "--find";
    if (argc != 2 && !find_only) {
        std::fprintf(stderr, "usage: close_window [--find] <title> [seconds]\n");
        return 2;
    }
    const char* title = argv[find_only ? 2 : 1];
    const int tries = find_only ? std::atoi(argv[3]) * 50 : 250;
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "close_window: no display\n");
        return 1;
    }
    // A window that goes while the tree is walked is no error: it is simply not the one.
    XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
    Window window = 0;
    for (int i = 0; i < tries && window == 0; ++i) {
        window = find(display, DefaultRootWindow(display), title);
        if (window == 0) std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    if (window == 0) {
        std::fprintf(stderr, "close_window: no window titled %s\n", title);
        XCloseDisplay(display);
        return 1;
    }
    if (find_only) {
        std::printf("%lu\n", window);
        XCloseDisplay(display);
        return 0;
    }
    // Let the program finish starting up, as a player would.
    std::this_thread::sleep_for(std::chrono::milliseconds(700));
    XEvent close{};
    close.xclient.type = ClientMessage;
    close.xclient.window = window;
    close.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    close.xclient.format = 32;
    close.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    close.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, window, False, NoEventMask, &close);
    XCloseDisplay(display);
    return 0;
}
