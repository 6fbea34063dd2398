// The X display for the programs that drive the real Linux window.
#include "x11/x_display.h"

#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <poll.h>

#include <stdexcept>
#include <thread>

namespace casino::x11 {
namespace {

using Clock = std::chrono::steady_clock;

void sleep_ms(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

// Waits at most this long for the server to send something.
void await(Display* display, int ms) {
    pollfd fd{ConnectionNumber(display), POLLIN, 0};
    if (XPending(display) == 0) poll(&fd, 1, ms);
}

}  // namespace

XDisplay::XDisplay() : display_(XOpenDisplay(nullptr)) {
    if (display_ == nullptr) throw std::runtime_error("no X display");
    // A box may close between finding it and sending it something; that is no fault.
    XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
    int event = 0, error = 0, major = 0, minor = 0;
    if (!XTestQueryExtension(display_, &event, &error, &major, &minor)) {
        throw std::runtime_error("the X server has no XTest");
    }
    root_ = DefaultRootWindow(display_);
    // The news of every window mapped goes to whoever listens on the root window.
    XSelectInput(display_, root_, SubstructureNotifyMask);
    XSync(display_, False);

    // Which key, shifted or not, types each printable character on this keyboard.
    int low = 0, high = 0;
    XDisplayKeycodes(display_, &low, &high);
    for (int code = high; code >= low; --code) {
        for (const int level : {1, 0}) {
            const KeySym sym = XkbKeycodeToKeysym(display_, static_cast<KeyCode>(code), 0, level);
            if (sym >= 0x20 && sym <= 0x7e) {
                characters_[static_cast<char>(sym)] = {static_cast<KeyCode>(code), level == 1};
            }
        }
    }
}

XDisplay::~XDisplay() { XCloseDisplay(display_); }

int XDisplay::connection() const { return ConnectionNumber(display_); }

unsigned long XDisplay::atom(std::string_view name) {
    const auto found = atoms_.find(name);
    if (found != atoms_.end()) return found->second;
    const std::string text(name);
    return atoms_[text] = XInternAtom(display_, text.c_str(), False);
}

// ---- Windows ----

Window XDisplay::wait_for(std::string_view title, std::chrono::milliseconds within, pid_t pid) {
    const auto until = Clock::now() + within;
    for (;;) {
        Window root = 0, parent = 0, *children = nullptr;
        unsigned count = 0;
        Window found = 0;
        XQueryTree(display_, root_, &root, &parent, &children, &count);
        // The newest first: a box lies above the window it belongs to.
        for (unsigned i = count; i-- > 0 && found == 0;) {
            XWindowAttributes a{};
            if (XGetWindowAttributes(display_, children[i], &a) && a.map_state == IsViewable &&
                title_of(children[i]) == title && (pid == 0 || pid_of(children[i]) == pid)) {
                found = children[i];
            }
        }
        if (children != nullptr) XFree(children);
        if (found != 0 || Clock::now() > until) return found;
        sleep_ms(10);
    }
}

Window XDisplay::wait_mapped(pid_t pid, std::chrono::milliseconds within) {
    const auto until = Clock::now() + within;
    for (;;) {
        pump();
        const auto found = mapped_.find(pid);
        if (found != mapped_.end()) {
            const Window w = found->second;
            mapped_.erase(pid);
            return w;
        }
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(until - Clock::now());
        if (left.count() <= 0) return 0;
        await(display_, static_cast<int>(std::min<long>(left.count(), 50)));
    }
}

pid_t XDisplay::pid_of(Window w) {
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, left = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display_, w, atom("_NET_WM_PID"), 0, 1, False, XA_CARDINAL, &type,
                           &format, &count, &left, &data) != Success ||
        data == nullptr) {
        return 0;
    }
    const auto pid = count == 1 ? static_cast<pid_t>(*reinterpret_cast<unsigned long*>(data)) : 0;
    XFree(data);
    return pid;
}

std::string XDisplay::title_of(Window w) {
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, left = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display_, w, atom("_NET_WM_NAME"), 0, 1024, False, atom("UTF8_STRING"),
                           &type, &format, &count, &left, &data) != Success ||
        data == nullptr) {
        return {};
    }
    std::string title(reinterpret_cast<char*>(data), count);
    XFree(data);
    return title;
}

// ---- Input ----

void XDisplay::move(int x, int y) {
    XTestFakeMotionEvent(display_, -1, x, y, CurrentTime);
    XSync(display_, False);
}

void XDisplay::click(int x, int y) {
    move(x, y);
    XTestFakeButtonEvent(display_, 1, True, CurrentTime);
    XTestFakeButtonEvent(display_, 1, False, CurrentTime);
    XSync(display_, False);
}

void XDisplay::press(unsigned char code, unsigned long modifier) {
    const KeyCode held = modifier == NoSymbol ? 0 : XKeysymToKeycode(display_, modifier);
    if (held != 0) XTestFakeKeyEvent(display_, held, True, CurrentTime);
    XTestFakeKeyEvent(display_, code, True, CurrentTime);
    XTestFakeKeyEvent(display_, code, False, CurrentTime);
    if (held != 0) XTestFakeKeyEvent(display_, held, False, CurrentTime);
    XSync(display_, False);
}

void XDisplay::key(std::string_view name) {
    const KeySym sym = XStringToKeysym(std::string(name).c_str());
    const KeyCode code = sym == NoSymbol ? 0 : XKeysymToKeycode(display_, sym);
    if (code != 0) press(code);
}

void XDisplay::type(std::string_view text) {
    for (const char c : text) {
        const auto found = characters_.find(c);
        if (found != characters_.end())
            press(found->second.first, found->second.second ? XK_Shift_L : NoSymbol);
    }
}

void XDisplay::paste(std::string text, std::chrono::milliseconds within) {
    clipboard_text_ = std::move(text);
    if (clipboard_owner_ == 0) {
        clipboard_owner_ = XCreateSimpleWindow(display_, root_, 0, 0, 1, 1, 0, 0, 0);
    }
    XSetSelectionOwner(display_, atom("CLIPBOARD"), clipboard_owner_, CurrentTime);
    clipboard_served_ = false;
    press(XKeysymToKeycode(display_, XK_v), XK_Control_L);
    const auto until = Clock::now() + within;
    while (!clipboard_served_ && Clock::now() < until) {
        pump();
        await(display_, 5);
    }
}

// ---- Window manager messages ----

void XDisplay::request_close(Window w) {
    XEvent e{};
    e.xclient.type = ClientMessage;
    e.xclient.window = w;
    e.xclient.message_type = atom("WM_PROTOCOLS");
    e.xclient.format = 32;
    e.xclient.data.l[0] = static_cast<long>(atom("WM_DELETE_WINDOW"));
    e.xclient.data.l[1] = CurrentTime;
    XSendEvent(display_, w, False, NoEventMask, &e);
    XSync(display_, False);
}

void XDisplay::pump() {
    while (XPending(display_) > 0) {
        XEvent e{};
        XNextEvent(display_, &e);
        if (e.type == MapNotify && e.xmap.event == root_) {
            if (const pid_t pid = pid_of(e.xmap.window)) mapped_.emplace(pid, e.xmap.window);
        } else if (e.type == SelectionRequest) {
            const XSelectionRequestEvent& request = e.xselectionrequest;
            XEvent answer{};
            answer.xselection.type = SelectionNotify;
            answer.xselection.requestor = request.requestor;
            answer.xselection.selection = request.selection;
            answer.xselection.target = request.target;
            answer.xselection.time = request.time;
            answer.xselection.property = request.property;
            if (request.target == atom("TARGETS")) {
                const Atom targets[] = {atom("UTF8_STRING"), XA_STRING};
                XChangeProperty(display_, request.requestor, request.property, XA_ATOM, 32,
                                PropModeReplace, reinterpret_cast<const unsigned char*>(targets),
                                2);
            } else if (request.target == atom("UTF8_STRING") || request.target == XA_STRING) {
                XChangeProperty(display_, request.requestor, request.property, request.target, 8,
                                PropModeReplace,
                                reinterpret_cast<const unsigned char*>(clipboard_text_.data()),
                                static_cast<int>(clipboard_text_.size()));
                clipboard_served_ = true;
            } else {
                answer.xselection.property = 0;
            }
            XSendEvent(display_, request.requestor, False, NoEventMask, &answer);
            XFlush(display_);
        }
    }
}

}  // namespace casino::x11
