// casino_automation: plays casino.exe under Wine through window messages.
//   casino_automation CASINO.EXE --transport --clock=F --trace=T [--stderr=G] [--xinput]
//       [--place=corner|middle] [--answer-ms=N]
//     the transport (transport.h) through which the monkey plays the game, at random or from
//     a script: its protocol on standard input and output.
//   casino_automation CASINO.EXE --probes [--dpi=N] [--russian]
//     what no transcript can state: the window's place, its layout at the screen's dpi and
//     after a dpi change, the stacking of the controls in the tab order and the lists'
//     labels, the names and roles a screen reader reads, the menus, Tab, and the system's own
//     boxes speaking Russian. Prints "FAIL: ..." for each check that failed, then
//     "N checks passed".
// F is the file libfaketime reads the game's clock from, T Wine's standard error and G the
// game's.
#include <fcntl.h>
#include <io.h>
#include <oleacc.h>

#include <cstdio>
#include <cwchar>
#include <iostream>

#include "support/names.h"
#include "transport.h"

using namespace casino;
using namespace casino::automation;

namespace {

struct Options {
    TransportSetup setup;
    bool transport = false;
    bool russian = false;  // the system speaks Russian, and so must its boxes
    int dpi = 0;           // the run must see the screen at this many dots per inch
};

int passed = 0;
int failed = 0;

void check(bool ok, const std::string& what, const std::string& detail = {}) {
    if (ok) {
        ++passed;
        return;
    }
    ++failed;
    std::printf("FAIL: %s%s\n", what.c_str(), detail.empty() ? "" : (" -- " + detail).c_str());
    std::fflush(stdout);
}

std::string text_of(const RECT& r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + " " +
           std::to_string(r.right - r.left) + "x" + std::to_string(r.bottom - r.top);
}

// The client area and every control where the twips table puts them at this dpi.
void expect_layout(Game& g, int dpi, const std::string& when) {
    RECT client{};
    GetClientRect(g.window(), &client);
    check(client.right == twips_to_pixels(kWindow.client_width, dpi) &&
              client.bottom == twips_to_pixels(kWindow.client_height, dpi),
          when + ": the client area's size in twips", text_of(client));
    for (const ControlSpec& entry : kControls) {
        RECT r{};
        GetWindowRect(g.control(entry.id), &r);
        MapWindowPoints(nullptr, g.window(), reinterpret_cast<POINT*>(&r), 2);
        const RECT want{twips_to_pixels(entry.left, dpi), twips_to_pixels(entry.top, dpi),
                        twips_to_pixels(entry.left, dpi) + twips_to_pixels(entry.width, dpi),
                        twips_to_pixels(entry.top, dpi) + twips_to_pixels(entry.height, dpi)};
        check(EqualRect(&r, &want) != FALSE, when + ": the place of " + std::string(entry.name),
              text_of(r));
    }
}

// The window as it opens: its caption, centred on the work area, laid out from the twips
// table; its controls stacked in the tab order (the dialog manager's order), each list
// just below its label, which a screen reader takes for the list's name and which shows
// nothing; the names a screen reader reads; the menus from the menu table.
void expect_window(Game& g) {
    check(window_text(g.window()) == kWindow.caption, "the window's caption");
    RECT frame{};
    GetWindowRect(g.window(), &frame);
    const RECT work = g.work_area();
    const auto gap = [](LONG from, LONG to, LONG inner_from, LONG inner_to) {
        return std::abs((from + to) - (inner_from + inner_to)) / 2;
    };
    check(gap(work.left, work.right, frame.left, frame.right) <= 1 &&
              gap(work.top, work.bottom, frame.top, frame.bottom) <= 1,
          "the window opens centred on the work area", text_of(frame));
    expect_layout(g, screen_dpi(), "as the window opens");
    HWND child = GetWindow(g.window(), GW_CHILD);
    for (const Control c : tab_order()) {
        const std::string name(name_of(c));
        if (is_list(c)) {
            RECT r{};
            GetWindowRect(child, &r);
            check(class_name(child) == "Static" && window_text(child) == voice_of(c).name &&
                      IsRectEmpty(&r) != FALSE &&
                      (GetWindowLongW(child, GWL_STYLE) & WS_TABSTOP) == 0 &&
                      IsWindowVisible(child) == IsWindowVisible(g.control(c)),
                  "a label above " + name + " names it, shows nothing and takes no Tab",
                  class_name(child) + " [" + window_text(child) + "] " + text_of(r));
            child = GetWindow(child, GW_HWNDNEXT);
        }
        check(child == g.control(c), "the stacking follows the tab order at", name);
        child = GetWindow(child, GW_HWNDNEXT);
        // Wine's accessibility layer gives every button and list the role of a plain
        // client area, so only the names can be checked here.
        const std::optional<Spoken> said = spoken(g.control(c));
        const std::string_view wanted = is_list(c) ? voice_of(c).name : spec_of(c).caption;
        check(said && said->name == wanted, "a screen reader reads " + name + " by its name",
              said ? said->name : "nothing");
    }
    for (const MenuSpec& menu : kMenus) {
        check(g.menu_title(static_cast<int>(&menu - kMenus.data())) == menu.caption,
              "the menu's title", std::string(menu.caption));
    }
    for (const MenuItemSpec& item : kMenuItems) {
        check(g.menu_label(item.id) == menu_label(item.id, item.caption), "the menu item's label",
              g.menu_label(item.id));
    }
}

// The window hears that it now stands on a screen of another dpi, as when it is dragged to
// another monitor, and then that it is back: each time it takes the place suggested and
// lays itself out again from the twips table, its fonts with it; then it plays on.
void expect_dpi_change(Transport& t) {
    Game& g = t.game();
    const auto line_height = [&] {
        return static_cast<int>(SendMessageW(g.control(Control::List1), LB_GETITEMHEIGHT, 0, 0));
    };
    const int system = screen_dpi();
    const int line = line_height();
    int dpi = system;
    for (const int next : {system == 96 ? 144 : 96, system}) {
        RECT frame{};
        GetWindowRect(g.window(), &frame);
        const RECT suggested{frame.left + 10, frame.top + 10,
                             frame.left + 10 + MulDiv(frame.right - frame.left, next, dpi),
                             frame.top + 10 + MulDiv(frame.bottom - frame.top, next, dpi)};
        g.change_dpi(next, suggested);
        dpi = next;
        const std::string when = "at " + std::to_string(dpi) + " dpi";
        GetWindowRect(g.window(), &frame);
        check(frame.left == suggested.left && frame.top == suggested.top,
              when + ": the window takes the place suggested", text_of(frame));
        expect_layout(g, dpi, when);
        check(std::abs(line_height() - MulDiv(line, dpi, system)) <= 2,
              when + ": the lists' lines follow the dpi",
              std::to_string(line) + " -> " + std::to_string(line_height()));
    }
    check(!t.perform("click cmdexit").empty(), "the game plays on after the dpi changes");
}

// Tab walks the shown controls of the casino floor in the tab order, wrapping round, and
// the default button's border goes with the keyboard.
void expect_tab_walk(Game& g) {
    const auto holder = [&]() -> std::optional<Control> {
        for (const ControlSpec& entry : kControls) {
            if (g.focus() == g.control(entry.id)) return entry.id;
        }
        return std::nullopt;
    };
    for (int i = 0; i < kControlCount; ++i) {
        const std::optional<Control> from = holder();
        expect(from.has_value(), "the keyboard is on no control");
        const std::optional<Control> next =
            next_in_tab_order(*from, [&](Control c) { return g.shown(c); });
        g.key(g.focus(), VK_TAB);
        check(wait_until([&] { return holder() == next; }, 3000),
              "Tab moves the keyboard on to " + std::string(name_of(*next)));
        check(wait_until([&] { return g.default_look_follows_keyboard(); }, 1000),
              "only the button holding the keyboard looks like the default",
              std::string(name_of(*next)));
    }
}

int probe(const Options& options) {
    if (options.russian) {
        // Otherwise the input boxes' captions could be the English ones and still pass.
        const ButtonCaptions& system = system_box_captions();
        check(system.cancel != "Cancel", "the system's own boxes speak Russian",
              system.ok + " / " + system.cancel);
    }
    std::printf("screen: %d dpi\n", screen_dpi());
    if (options.dpi != 0) check(screen_dpi() == options.dpi, "the screen has the dpi asked for");
    try {
        Transport t(options.setup);
        t.perform("start");
        expect_window(t.game());
        expect_dpi_change(t);
        expect_tab_walk(t.game());
    } catch (const Finding& finding) {
        check(false, finding.what());
    }
    std::printf("%d checks passed\n", passed);
    return failed == 0 ? 0 : 1;
}

// ---- The transport ----

int serve(const Options& options) {
    // The monkey reads our lines as they are: no carriage returns.
    _setmode(_fileno(stdout), _O_BINARY);
    Transport t(options.setup);
    std::printf("observes %s\nready\n", Transport::kObserves.data());
    std::fflush(stdout);
    int commands = 0;
    for (std::string line; std::getline(std::cin, line);) {
        if (line.ends_with('\r')) line.pop_back();
        try {
            for (const std::string& shown : t.perform(line)) std::printf("%s\n", shown.c_str());
            // Idle, the game must not use the processor.
            if (options.setup.xinput && t.running() && ++commands % 10 == 0 &&
                !t.game().open_box()) {
                const double before = t.cpu_ms();
                Sleep(300);
                const double used = t.cpu_ms() - before;
                expect(used <= 150, "the game used " + std::to_string(static_cast<int>(used)) +
                                        " ms of processor time in 300 ms idle");
            }
        } catch (const Finding& finding) {
            std::printf("finding %s\n", finding.what());
        }
        std::printf("ready\n");
        std::fflush(stdout);
        if (line == "stop") break;
    }
    return 0;
}

std::wstring value_of(const wchar_t* arg, const wchar_t* name) {
    const std::size_t length = std::wcslen(name);
    return std::wcsncmp(arg, name, length) == 0 ? std::wstring(arg + length) : std::wstring();
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: casino_automation CASINO.EXE (--transport | --probes) ...\n");
        return 2;
    }
    Options options;
    options.setup.exe = argv[1];
    options.transport = std::wcscmp(argv[2], L"--transport") == 0;
    for (int i = 3; i < argc; ++i) {
        const wchar_t* arg = argv[i];
        if (std::wcscmp(arg, L"--xinput") == 0) options.setup.xinput = true;
        if (std::wcscmp(arg, L"--russian") == 0) options.russian = true;
        if (std::wcscmp(arg, L"--place=corner") == 0) options.setup.place = Placement::TopLeft;
        if (std::wcscmp(arg, L"--place=middle") == 0) options.setup.place = Placement::Middle;
        if (auto v = value_of(arg, L"--dpi="); !v.empty()) options.dpi = std::stoi(v);
        if (auto v = value_of(arg, L"--answer-ms="); !v.empty())
            options.setup.answer_ms = std::stoi(v);
        if (auto v = value_of(arg, L"--clock="); !v.empty()) options.setup.clock_file = v;
        if (auto v = value_of(arg, L"--trace="); !v.empty()) options.setup.trace_file = v;
        if (auto v = value_of(arg, L"--stderr="); !v.empty()) options.setup.stderr_file = v;
    }
    // The accessibility layer hands out COM objects.
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    return options.transport ? serve(options) : probe(options);
}
