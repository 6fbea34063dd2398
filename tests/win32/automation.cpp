// casino_automation: plays casino.exe under Wine through window messages.
//   casino_automation CASINO.EXE --transport --clock=F --trace=T [--xinput]
//       [--place=corner|middle] [--answer-ms=N]
//     the transport (transport.h) through which the monkey plays the game, at random or from
//     a script: its protocol on standard input and output.
//   casino_automation CASINO.EXE --probes [--dpi=N] [--russian]
//     what no transcript can state: the window's place, its layout at the screen's dpi and
//     after a dpi change, the stacking of the controls in the tab order and the lists'
//     labels, the names and roles a screen reader reads, the menus, Tab, and the system's own
//     boxes speaking Russian. Prints "FAIL: ..." for each check that failed, then
//     "N checks passed".
// F is the file libfaketime reads the game's clock from, T Wine's standard error, and the
// game's.
#include <objbase.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>

#include "support/names.h"
#include "transport.h"

using namespace casino;
using namespace casino::automation;

namespace {

int passed = 0, failed = 0;

void check(bool ok, const std::string& what, const std::string& detail = "") {
    ++(ok ? passed : failed);
    if (ok) return;
    std::printf("FAIL: %s%s%s\n", what.c_str(), detail.empty() ? "" : " -- ", detail.c_str());
    std::fflush(stdout);
}

int screen_dpi() {
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi;
}

std::string rect_text(const RECT& r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + " " +
           std::to_string(r.right - r.left) + "x" + std::to_string(r.bottom - r.top);
}

// The client area and every control where the twips table puts them at this dpi.
void expect_layout(Game& g, int dpi, const std::string& when) {
    const auto px = [dpi](int twips) { return twips_to_pixels(twips, dpi); };
    RECT client{};
    GetClientRect(g.window(), &client);
    check(client.right == px(kWindow.client_width) && client.bottom == px(kWindow.client_height),
          when + ": the client area's size in twips", rect_text(client));
    for (const ControlSpec& entry : kControls) {
        RECT r{};
        GetWindowRect(g.control(entry.id), &r);
        MapWindowPoints(nullptr, g.window(), reinterpret_cast<POINT*>(&r), 2);
        const RECT want{px(entry.left), px(entry.top), px(entry.left) + px(entry.width),
                        px(entry.top) + px(entry.height)};
        check(EqualRect(&r, &want) != FALSE, when + ": the place of " + std::string(entry.name),
              rect_text(r));
    }
}

// The window as it opens: its caption, centred on the work area, laid out from the twips
// table; its controls stacked in the tab order (the dialog manager's order), each list
// just below its label, which a screen reader takes for the list's name and which shows
// nothing; the names a screen reader reads; the menus from the menu table.
void expect_window(Game& g) {
    check(text_of(g.window()) == kWindow.caption, "the window's caption");
    RECT frame{};
    GetWindowRect(g.window(), &frame);
    const RECT work = work_area(g.window());
    const POINT centre = centred(frame, work, work);
    check(std::abs(frame.left - centre.x) <= 1 && std::abs(frame.top - centre.y) <= 1,
          "the window opens centred on the work area", rect_text(frame));
    expect_layout(g, screen_dpi(), "as the window opens");
    HWND child = GetWindow(g.window(), GW_CHILD);
    for (const Control c : tab_order()) {
        const std::string name(name_of(c));
        if (is_list(c)) {
            RECT r{};
            GetWindowRect(child, &r);
            wchar_t window_class[64] = {};
            GetClassNameW(child, window_class, 64);
            check(narrow(window_class) == "Static" && text_of(child) == voice_of(c).name &&
                      IsRectEmpty(&r) != FALSE &&
                      (GetWindowLongW(child, GWL_STYLE) & WS_TABSTOP) == 0 &&
                      IsWindowVisible(child) == IsWindowVisible(g.control(c)),
                  "a label above " + name + " names it, shows nothing and takes no Tab",
                  narrow(window_class) + " [" + text_of(child) + "] " + rect_text(r));
            child = GetWindow(child, GW_HWNDNEXT);
        }
        check(child == g.control(c), "the stacking follows the tab order at", name);
        child = GetWindow(child, GW_HWNDNEXT);
        // Wine's accessibility layer gives every button and list the role of a plain
        // client area, so only the names can be checked here.
        const std::string said = spoken(g.control(c), name).name;
        check(said == (is_list(c) ? voice_of(c).name : spec_of(c).caption),
              "a screen reader reads " + name + " by its name", said);
    }
    for (std::size_t menu = 0; menu < kMenus.size(); ++menu) {
        check(g.menu_title(static_cast<int>(menu)) == kMenus[menu].caption, "the menu's title",
              std::string(kMenus[menu].caption));
    }
    for (const auto& [item, label] : g.menu_labels()) {
        check(label == menu_label(item, spec_of(item).caption), "the menu item's label", label);
    }
}

// The window hears that it now stands on a screen of another dpi, as when it is dragged to
// another monitor, and then that it is back: each time it takes the place suggested and
// lays itself out again from the twips table, its fonts with it; then it plays on.
void expect_dpi_change(Transport& t) {
    Game& g = *t.game();
    const auto line_height = [&] {
        return static_cast<int>(SendMessageW(g.control(Control::List1), LB_GETITEMHEIGHT, 0, 0));
    };
    const int system = screen_dpi();
    const int line = line_height();
    int from = system;
    for (const int dpi : {system == 96 ? 144 : 96, system}) {
        RECT frame{};
        GetWindowRect(g.window(), &frame);
        const RECT suggested{frame.left + 10, frame.top + 10,
                             frame.left + 10 + MulDiv(frame.right - frame.left, dpi, from),
                             frame.top + 10 + MulDiv(frame.bottom - frame.top, dpi, from)};
        g.change_dpi(dpi, suggested);
        from = dpi;
        const std::string when = "at " + std::to_string(dpi) + " dpi";
        GetWindowRect(g.window(), &frame);
        check(frame.left == suggested.left && frame.top == suggested.top,
              when + ": the window takes the place suggested", rect_text(frame));
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
    // The control holding the keyboard, by its place in the table.
    const auto holder = [&] { return GetDlgCtrlID(g.focus()) - win32::kFirstControlId; };
    for (int i = 0; i < kControlCount; ++i) {
        const int from = holder();
        expect(from >= 0 && from < kControlCount, "the keyboard is on no control");
        const std::optional<Control> next =
            next_in_tab_order(static_cast<Control>(from), [&](Control c) { return g.shown(c); });
        g.key(nullptr, VK_TAB);
        check(wait_until([&] { return holder() == static_cast<int>(*next); }, 3000),
              "Tab moves the keyboard on to " + std::string(name_of(*next)));
        check(wait_until([&] { return g.default_look_follows_keyboard(); }, 1000),
              "only the button holding the keyboard looks like the default",
              std::string(name_of(*next)));
    }
}

// The probes, at the screen's dpi, which must be `dpi` unless that is 0; with `russian`,
// the system's own boxes must speak Russian, or the input boxes' captions could be the
// English ones and still pass.
int probe(const TransportSetup& setup, int dpi, bool russian) {
    if (russian) {
        check(system_caption(IDCANCEL) != "Cancel", "the system's own boxes speak Russian",
              system_caption(IDOK) + " / " + system_caption(IDCANCEL));
    }
    std::printf("screen: %d dpi\n", screen_dpi());
    if (dpi != 0) check(screen_dpi() == dpi, "the screen has the dpi asked for");
    try {
        Transport t(setup);
        t.perform("start");
        expect_window(*t.game());
        expect_dpi_change(t);
        expect_tab_walk(*t.game());
    } catch (const Finding& finding) {
        check(false, finding.what());
    }
    std::printf("%d checks passed\n", passed);
    return failed == 0 ? 0 : 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: casino_automation CASINO.EXE (--transport | --probes) ...\n");
        return 2;
    }
    // Each option as NAME=VALUE, or as NAME alone.
    std::map<std::wstring, std::wstring> option;
    for (int i = 2; i < argc; ++i) {
        const std::wstring_view arg = argv[i];
        option[std::wstring(arg.substr(0, arg.find(L'=')))] = arg.substr(arg.find(L'=') + 1);
    }
    TransportSetup setup{argv[1], option[L"--clock"], option[L"--trace"],
                         option.contains(L"--xinput")};
    if (option.contains(L"--answer-ms")) setup.answer_ms = std::stoi(option[L"--answer-ms"]);
    if (option[L"--place"] == L"corner") setup.place = Placement::TopLeft;
    if (option[L"--place"] == L"middle") setup.place = Placement::Middle;
    // The accessibility layer hands out COM objects.
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    if (option.contains(L"--transport")) return serve(setup);
    return probe(setup, option.contains(L"--dpi") ? std::stoi(option[L"--dpi"]) : 0,
                 option.contains(L"--russian"));
}
