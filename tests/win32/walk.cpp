// casino_automation: plays casino.exe under Wine through window messages.
//   casino_automation CASINO.EXE --script=S --expected=E --clock=F --trace=T [--dpi=N]
//       [--place=corner|middle] [--russian] [--shots]
//     plays the script S (replay language) and checks that the window showed, line after
//     line, what the replay tool printed for it (E: its transcript of S with a "show" before
//     the first line and after each), then what is the Windows program's own: layout,
//     focus, the default button's look, boxes, accessibility, dpi, closing.
//   casino_automation CASINO.EXE --transport --clock=F --trace=T [--stderr=G] [--xinput]
//     the monkey's transport: the protocol on standard input and output.
// F is the file libfaketime reads the game's clock from; T is Wine's standard error.
#include <oleacc.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <fstream>
#include <iostream>
#include <set>

#include "driver.h"
#include "support/names.h"
#include "transport.h"

using namespace casino;
using namespace casino::automation;

namespace {

struct Options {
    TransportSetup setup;
    std::wstring script;
    std::wstring expected;
    bool transport = false;
    bool shots = false;
    bool russian = false;  // the system speaks Russian, and so must the input box
    int dpi = 0;           // the run must see the screen at this many dots per inch
    Placement place = Placement::AsOpened;
};

// ---- The replay tool's transcript ----

// What the replay tool printed for one line of the script: the transcript lines, then
// the state ("show") after it, which the last step, the quit, has none of.
struct Step {
    std::vector<std::string> lines;
    std::vector<std::string> show;  // state, visible, enabled, List1, List2, tickets, redeem
};

std::vector<std::string> read_lines(const std::wstring& path) {
    std::ifstream in(path.c_str());
    checks.require(in.good(), "the file can be read", narrow(path));
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) {
        if (line.ends_with('\r')) line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

std::vector<Step> read_steps(const std::wstring& path) {
    std::vector<Step> steps(1);
    const std::vector<std::string> lines = read_lines(path);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (!lines[i].starts_with("state ")) {
            steps.back().lines.push_back(lines[i]);
            continue;
        }
        for (std::size_t j = i; j < std::min(lines.size(), i + 7); ++j) {
            steps.back().show.push_back(lines[j]);
        }
        i += 6;
        steps.emplace_back();
    }
    if (steps.back().lines.empty()) steps.pop_back();
    return steps;
}

bool is_script_line(const std::string& line) { return !line.empty() && line[0] != '#'; }

// The kinds of line this transport sees; the others it leaves to the checks below.
std::vector<std::string> observable(const std::vector<std::string>& lines) {
    std::vector<std::string> kept;
    for (const std::string& line : lines) {
        const std::string kind = line.substr(0, line.find(' '));
        if (std::string_view(Transport::kObserves).find(kind) != std::string_view::npos) {
            kept.push_back(line);
        }
    }
    return kept;
}

std::string joined(const std::vector<std::string>& lines) {
    std::string out;
    for (const std::string& line : lines) out += "\n    " + line;
    return out.empty() ? "\n    (nothing)" : out;
}

// ---- What the window shows, in the replay tool's words ----

std::string controls_line(Game& g, std::string_view head, bool (Game::*has)(Control) const) {
    std::string line(head);
    for (const ControlSpec& entry : kControls) {
        if ((g.*has)(entry.id)) line.append(" ").append(entry.name);
    }
    return line;
}

std::string list_line(Game& g, Control list) {
    std::string line(name_of(list));
    for (const std::string& entry : g.list_items(list)) line += " [" + entry + "]";
    return line + " highlight=" + std::to_string(g.list_highlight(list));
}

std::set<std::string> names_in(const std::string& line) {
    std::set<std::string> names;
    std::size_t at = line.find(' ');
    while (at != std::string::npos) {
        const std::size_t end = line.find(' ', at + 1);
        names.insert(line.substr(at + 1, end == std::string::npos ? end : end - at - 1));
        at = end;
    }
    return names;
}

// The controls shown and both lists' entries are those of the replay's state; each list is
// published to a screen reader as shown or hidden, and as focused when it has the keyboard.
void expect_state(Game& g, const Step& step, const std::string& where) {
    checks.check(controls_line(g, "visible", &Game::visible) == step.show[1],
                 where + ": the controls shown", controls_line(g, "visible", &Game::visible));
    checks.check(controls_line(g, "enabled", &Game::enabled) == step.show[2],
                 where + ": the controls enabled", controls_line(g, "enabled", &Game::enabled));
    for (const Control list : {Control::List1, Control::List2}) {
        const std::string shown = list_line(g, list);
        const std::string& wanted = step.show[list == Control::List1 ? 3 : 4];
        checks.check(shown == wanted, where + ": the list", shown + " / replay: " + wanted);
        const std::optional<Spoken> said = spoken(g.control(list));
        const bool focused = g.focus() == g.control(list);
        checks.check(said && ((said->state & STATE_SYSTEM_INVISIBLE) == 0) == g.visible(list) &&
                         ((said->state & STATE_SYSTEM_FOCUSED) != 0) == focused,
                     where + ": a screen reader hears the list as it is", name_of(list));
    }
}

// Of the buttons only the one holding the keyboard wears the default button's border:
// Enter or Space acts on it.
void expect_default_look(Game& g, const std::string& where) {
    for (const ControlSpec& entry : kControls) {
        if (entry.kind != ControlKind::Button) continue;
        const bool is_focused = g.focus() == g.control(entry.id);
        checks.check(wait_until([&] { return g.looks_default(entry.id) == is_focused; }, 1000),
                     where + ": only the focused button looks like the default", entry.name);
    }
}

// Where the keyboard is after a step: where the game put it last; else where it was when
// the input reached its target, unless that control has gone, when it passes to the next
// control shown in the tab order.
void expect_focus(Game& g, std::optional<Control> before, const Step& step,
                  const std::string& where) {
    std::optional<Control> wanted = before;
    for (const std::string& line : step.lines) {
        if (line.starts_with("focus ")) wanted = testing::control_named(line.substr(6));
    }
    const std::set<std::string> visible = names_in(step.show[1]);
    const std::set<std::string> enabled = names_in(step.show[2]);
    const auto usable = [&](Control c) {
        const std::string name(name_of(c));
        return visible.contains(name) && enabled.contains(name);
    };
    if (wanted && !usable(*wanted)) wanted = next_in_tab_order(*wanted, usable);
    if (wanted) {
        checks.check(wait_until([&] { return g.focus() == g.control(*wanted); }, 3000),
                     where + ": the keyboard is on " + std::string(name_of(*wanted)),
                     window_text(g.focus()));
    }
    expect_default_look(g, where);
}

// ---- The window itself ----

// The client area and every control where the twips table puts them at this dpi.
void expect_layout(Game& g, int dpi, std::string_view when) {
    const std::string context(when);
    RECT client{};
    GetClientRect(g.window(), &client);
    checks.check(client.right == twips_to_pixels(kWindow.client_width, dpi) &&
                     client.bottom == twips_to_pixels(kWindow.client_height, dpi),
                 context + ": the client area's size in twips",
                 std::to_string(client.right) + "x" + std::to_string(client.bottom));
    for (const ControlSpec& entry : kControls) {
        const RECT r = g.rect(entry.id);
        checks.check(r.left == twips_to_pixels(entry.left, dpi) &&
                         r.top == twips_to_pixels(entry.top, dpi) &&
                         r.right - r.left == twips_to_pixels(entry.width, dpi) &&
                         r.bottom - r.top == twips_to_pixels(entry.height, dpi),
                     context + ": rectangle of " + std::string(entry.name),
                     std::to_string(r.left) + "," + std::to_string(r.top) + " " +
                         std::to_string(r.right - r.left) + "x" + std::to_string(r.bottom - r.top));
    }
}

// The window as it opens: its caption, centred on the work area, laid out from the twips
// table, its controls stacked in the tab order (the dialog manager's order), its menus
// from the menu table.
void expect_window(Game& g, const Options& options) {
    const int dpi = screen_dpi();
    std::printf("screen: %d dpi\n", dpi);
    if (options.dpi != 0) checks.require(dpi == options.dpi, "the screen has the dpi asked for");
    checks.check(window_text(g.window()) == kWindow.caption, "window caption");
    RECT frame{};
    GetWindowRect(g.window(), &frame);
    const RECT work = g.work_area();
    const auto gap = [](LONG from, LONG to, LONG inner_from, LONG inner_to) {
        return std::abs((from + to) - (inner_from + inner_to)) / 2;
    };
    checks.check(gap(work.left, work.right, frame.left, frame.right) <= 1 &&
                     gap(work.top, work.bottom, frame.top, frame.bottom) <= 1,
                 "the window opens centred on the work area",
                 std::to_string(frame.left) + "," + std::to_string(frame.top));
    if (options.place != Placement::AsOpened) g.move_to(options.place);
    expect_layout(g, dpi, "at the start");
    HWND child = GetWindow(g.window(), GW_CHILD);
    for (const Control c : tab_order()) {
        checks.check(child == g.control(c), "stacking follows the tab order", name_of(c));
        child = GetWindow(child, GW_HWNDNEXT);
    }
    for (const MenuSpec& menu : kMenus) {
        checks.check(g.menu_title(static_cast<int>(&menu - kMenus.data())) == menu.caption,
                     "menu title", menu.caption);
    }
    for (const MenuItemSpec& item : kMenuItems) {
        checks.check(g.menu_label(item.id) == menu_label(item.id, item.caption), "menu item",
                     g.menu_label(item.id));
    }
}

void shot(Game& g, const std::string& name) {
    Sleep(400);  // let the window finish painting
    RECT r{};
    GetWindowRect(g.window(), &r);
    std::printf("SHOT %s %ld %ld %ld %ld\n", name.c_str(), r.left, r.top, r.right - r.left,
                r.bottom - r.top);
    std::fflush(stdout);
    const std::wstring done = widen(name) + L".done";
    wait_until([&] { return GetFileAttributesW(done.c_str()) != INVALID_FILE_ATTRIBUTES; }, 20000);
    DeleteFileW(done.c_str());
}

// ---- The walk: the script against the replay tool ----

void walk(const Options& options) {
    const std::vector<std::string> script = read_lines(options.script);
    const std::vector<Step> steps = read_steps(options.expected);
    Transport t(options.setup);
    t.perform("start");
    expect_window(t.game(), options);
    checks.require(!steps.empty() && steps[0].show.size() == 7, "the replay's first state");
    expect_state(t.game(), steps[0], "at the start");
    std::size_t at = 0;
    for (std::size_t n = 0; n < script.size(); ++n) {
        const std::string& line = script[n];
        if (options.shots && line.starts_with("# picture ")) shot(t.game(), line.substr(10));
        if (!is_script_line(line)) continue;
        checks.require(line != "show" && !line.starts_with("draw") && !line.starts_with("money"),
                       "the walk's script holds what a player can do", line);
        checks.require(++at < steps.size(), "the replay printed this far", line);
        const Step& step = steps[at];
        const std::string where = "line " + std::to_string(n + 1) + " (" + line + ")";
        const std::vector<std::string> shown = t.perform(line);
        const std::vector<std::string> wanted = observable(step.lines);
        checks.check(shown == wanted, where + ": the window shows what the replay printed",
                     "window:" + joined(shown) + "\n  replay:" + joined(wanted));
        // The clock and the answers queued change nothing on the screen.
        if (line.starts_with("clock ") || line.starts_with("type")) continue;
        if (!t.running()) {
            checks.check(step.show.empty(), where + ": the game goes on", "it ended");
            break;
        }
        checks.require(step.show.size() == 7, where + ": the game ends", "the window still runs");
        expect_state(t.game(), step, where);
        expect_focus(t.game(), t.focus_at_input(), step, where);
    }
    checks.check(at + 1 == steps.size(), "the walk got to the script's end");
}

// ---- The Windows program's own ----

// Tab walks the shown controls of the casino floor in the tab order, and wraps around.
void tab_walk(const Options& options) {
    Transport t(options.setup);
    t.perform("start");
    t.perform("click cmdexit");
    Game& g = t.game();
    for (int i = 0; i < kControlCount; ++i) {
        const std::optional<Control> from = g.control_of(g.focus());
        checks.require(from.has_value(), "the keyboard is on a control");
        const std::optional<Control> next =
            next_in_tab_order(*from, [&](Control c) { return g.shown(c); });
        g.key(g.focus(), VK_TAB);
        checks.check(wait_until([&] { return g.focus() == g.control(*next); }, 3000),
                     "Tab moves the keyboard on to", name_of(*next));
    }
    expect_default_look(g, "after Tab");
}

// The window hears that it now stands on a screen of another dpi, as when it is dragged to
// another monitor, and then that it is back: each time it takes the place suggested and
// lays itself out again from the twips table, its fonts with it.
void dpi_change(const Options& options) {
    Transport t(options.setup);
    t.perform("start");
    Game& g = t.game();
    const int system = screen_dpi();
    const int line = g.list_line_height(Control::List1);
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
        checks.check(frame.left == suggested.left && frame.top == suggested.top,
                     when + ": the window takes the place suggested");
        expect_layout(g, dpi, when);
        const int height = g.list_line_height(Control::List1);
        checks.check(std::abs(height - MulDiv(line, dpi, system)) <= 2,
                     when + ": the lists' lines follow the dpi",
                     std::to_string(line) + " -> " + std::to_string(height));
    }
    const std::vector<std::string> shown = t.perform("click cmdexit");
    checks.check(!shown.empty(), "the game plays on after the dpi changes");
}

void expect_clean_exit(Game& g, std::string_view how) {
    const DWORD code = g.wait_exit(10000);
    checks.check(code == 0, std::string(how) + ": exit code 0", std::to_string(code));
}

// The window is asked to close while one of the game's boxes is open, as another program
// or the taskbar asks: the game ends at once, with exit code 0, and opens no further box.
void close_with_box_open(const Options& options, bool in_input_box) {
    const std::string what = in_input_box ? "closed in an input box" : "closed in a message box";
    Transport t(options.setup);
    t.perform("start");
    t.perform("click cmdexit");
    Game& g = t.game();
    g.click(Control::cmddu);
    std::optional<Box> box;
    for (int boxes = 0; boxes < 10; ++boxes) {
        checks.require(wait_until([&] { return (box = g.open_box()).has_value(); }),
                       what + ": the dozen bet opens a box");
        if (!in_input_box || box->input) break;
        g.close_box(*box, IDOK);
    }
    checks.require(box->input == in_input_box, what + ": the box wanted opens", box->text);
    WindowsCreated created(g.window());
    PostMessageW(g.window(), WM_CLOSE, 0, 0);
    const bool ended = wait_until(
        [&] {
            created.count();
            return g.exit_code().has_value();
        },
        2000);
    Sleep(100);  // the last events on their way
    checks.check(created.count() == 0, what + ": no window opens after the close",
                 std::to_string(created.count()) + " opened");
    checks.require(ended, what + ": the game ends within 2 s of the close");
    checks.check(*g.exit_code() == 0, what + ": exit code 0", std::to_string(*g.exit_code()));
}

template <class Scenario>
void run(const char* name, Scenario scenario) {
    const std::size_t failed = checks.failures().size();
    const ULONGLONG start = GetTickCount64();
    try {
        scenario();
    } catch (const Fatal& fatal) {
        std::printf("  (%s stopped: %s)\n", name, fatal.what());
    } catch (const Finding& finding) {
        checks.check(false, std::string(name) + ": " + finding.what());
    }
    for (std::size_t i = failed; i < checks.failures().size(); ++i) {
        std::printf("FAIL: %s\n", checks.failures()[i].c_str());
    }
    std::printf("%-22s %s in %.1f s\n", name, checks.failures().size() == failed ? "ok" : "FAILED",
                static_cast<double>(GetTickCount64() - start) / 1000.0);
    std::fflush(stdout);
}

// ---- The monkey's transport ----

int serve(const Options& options) {
    Transport t(options.setup);
    std::printf("observes %s\nready\n", Transport::kObserves.data());
    std::fflush(stdout);
    std::size_t failures = 0;
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
                if (used > 150) {
                    throw Finding("the game used " + std::to_string(static_cast<int>(used)) +
                                  " ms of processor time in 300 ms idle");
                }
            }
            if (checks.failures().size() > failures) throw Finding(checks.failures().back());
        } catch (const std::runtime_error& wrong) {
            failures = checks.failures().size();
            std::printf("finding %s\n", wrong.what());
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
    if (argc < 2) {
        std::fprintf(stderr,
                     "usage: casino_automation CASINO.EXE (--script=S --expected=E | "
                     "--transport) --clock=F --trace=T ...\n");
        return 2;
    }
    Options options;
    options.setup.exe = argv[1];
    for (int i = 2; i < argc; ++i) {
        const wchar_t* arg = argv[i];
        if (std::wcscmp(arg, L"--transport") == 0) options.transport = true;
        if (std::wcscmp(arg, L"--xinput") == 0) options.setup.xinput = true;
        if (std::wcscmp(arg, L"--shots") == 0) options.shots = true;
        if (std::wcscmp(arg, L"--russian") == 0) options.russian = true;
        if (std::wcscmp(arg, L"--place=corner") == 0) options.place = Placement::TopLeft;
        if (std::wcscmp(arg, L"--place=middle") == 0) options.place = Placement::Middle;
        if (auto v = value_of(arg, L"--dpi="); !v.empty()) options.dpi = std::stoi(v);
        if (auto v = value_of(arg, L"--script="); !v.empty()) options.script = v;
        if (auto v = value_of(arg, L"--expected="); !v.empty()) options.expected = v;
        if (auto v = value_of(arg, L"--clock="); !v.empty()) options.setup.clock_file = v;
        if (auto v = value_of(arg, L"--trace="); !v.empty()) options.setup.trace_file = v;
        if (auto v = value_of(arg, L"--stderr="); !v.empty()) options.setup.stderr_file = v;
    }
    // The accessibility layer hands out COM objects.
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    if (options.transport) return serve(options);
    options.setup.answer_ms = 10000;

    if (options.russian) {
        // Otherwise the input box's captions could be the English ones and still pass.
        const ButtonCaptions& system = system_box_captions();
        checks.check(system.cancel != "Cancel", "the system's own boxes speak Russian",
                     system.ok + " / " + system.cancel);
    }
    run("walk", [&] { walk(options); });
    if (!options.shots) {
        run("tab walk", [&] { tab_walk(options); });
        run("dpi change", [&] { dpi_change(options); });
        run("close box", [&] {
            Game g(options.setup.exe);
            g.system_close();
            expect_clean_exit(g, "close box");
        });
        run("alt+f4", [&] {
            Transport t(options.setup);
            t.perform("start");
            t.perform("click cmdexit");  // on the casino floor this time
            t.game().alt_f4();
            expect_clean_exit(t.game(), "Alt+F4");
        });
        run("close in a message box", [&] { close_with_box_open(options, false); });
        run("close in an input box", [&] { close_with_box_open(options, true); });
    }
    std::printf("%d checks passed, %zu failed\n", checks.passed(), checks.failures().size());
    return checks.failures().empty() ? 0 : 1;
}
