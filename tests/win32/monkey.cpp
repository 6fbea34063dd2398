// The monkey run: random input into casino.exe for a given time. After every step the game
// must be running, or have ended with exit code 0 after a close; it must answer a message
// within two seconds and not spin while idle; it must write nothing on standard error; and
// every balance it shows must be what its boxes announced since the last one.
#include "monkey.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <random>

#include "driver.h"
#include "support/ledger.h"
#include "support/monkey.h"

namespace casino::automation {
namespace {

constexpr int kAnswerMs = 2000;
constexpr int kBalanceEvery = 8;  // steps between two balance checks at the most

using Finding = testing::MonkeyFinding;

// The keys a player presses, by their virtual key and by the name X gives them.
struct Key {
    WORD vk;
    const char* name;
};
constexpr Key kKeys[] = {
    {VK_TAB, "Tab"},
    {VK_LEFT, "Left"},
    {VK_RIGHT, "Right"},
    {VK_UP, "Up"},
    {VK_DOWN, "Down"},
    {VK_ESCAPE, "Escape"},
    {VK_RETURN, "Return"},
    {VK_SPACE, "space"},
    {'A', "a"},
    {'X', "x"},
    {'5', "5"},
    {'0', "0"},
    {VK_F1, "F1"},
    {VK_F2, "F2"},
    {VK_F3, "F3"},
    {VK_F4, "F4"},
    {VK_F5, "F5"},
    {VK_F6, "F6"},
    {VK_F10, "F10"},
    {VK_F12, "F12"},
};

std::optional<MenuItem> menu_of_key(WORD vk) {
    switch (vk) {
        case VK_F1: return MenuItem::help;
        case VK_F2: return MenuItem::start_over;
        case VK_F3: return MenuItem::balance;
        case VK_F5: return MenuItem::sound;
        default: return std::nullopt;
    }
}

class Monkey {
   public:
    Monkey(std::wstring exe, unsigned seed, bool xinput)
        : exe_(std::move(exe)), seed_(seed), rng_(seed), xinput_(xinput) {}

    int run(int seconds) {
        const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(seconds) * 1000;
        DeleteFileW(kStderrFile);
        try {
            while (GetTickCount64() < end) {
                ++step_;
                if (!game_) start();
                step();
                check_health();
            }
            finish();
        } catch (const Finding& finding) {
            report(finding.what());
            return 1;
        } catch (const Fatal& fatal) {
            report(std::string("the driver could not go on: ") + fatal.what());
            return 1;
        }
        std::printf("monkey: casino.exe passed: seed %u, %d steps, %zu events, %d starts, %s\n",
                    seed_, step_, log_.events(), starts_, ledger_.tally().c_str());
        return 0;
    }

   private:
    static constexpr const wchar_t* kStderrFile = L"monkey-stderr.txt";

    // ---- Randomness and the log of the last steps ----

    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }
    bool chance(int percent) { return pick(100) < percent; }

    void note(const std::string& what) { log_.note(step_, what); }
    void report(const std::string& what) const { log_.print_failure(step_, seed_, what); }

    // ---- The process ----

    // A last balance check, then the game is left through its menu.
    void finish() {
        ++step_;
        if (!game_) start();
        begin(Event::menu_item(MenuItem::balance));
        note("F3, the last balance");
        game_->key(game_->window(), VK_F3);
        settle_boxes();
        close_record();
        if (!ledger_.knows_money()) throw Finding("the last balance check showed no balance");
        note("menu выход");
        closing_ = true;
        post_menu_command(MenuItem::exit);
        check_health();
    }

    void start() {
        note("start casino.exe");
        game_ = std::make_unique<Game>(exe_, kStderrFile);
        marker_ = widen(game_->menu_title(0));
        ++starts_;
        ledger_.restart();
        record_.reset();
        closing_ = false;
    }

    // Alive (or ended cleanly after a close), answering, quiet and not spinning.
    void check_health() {
        if (const auto code = game_->exit_code()) {
            if (!closing_)
                throw Finding("the game ended by itself with exit code " + std::to_string(*code));
            if (*code != 0) throw Finding("the game ended with exit code " + std::to_string(*code));
            game_.reset();
            return;
        }
        if (closing_) {
            if (!wait_until([&] { return game_->exit_code().has_value(); }, kAnswerMs)) {
                throw Finding("the window was closed but the game still runs after 2 s");
            }
            check_health();
            return;
        }
        if (!game_->answers(kAnswerMs)) not_answering();
        WIN32_FILE_ATTRIBUTE_DATA info{};
        if (GetFileAttributesExW(kStderrFile, GetFileExInfoStandard, &info) &&
            (info.nFileSizeLow != 0 || info.nFileSizeHigh != 0)) {
            throw Finding("the game wrote on standard error");
        }
        if (step_ % 10 == 0 && !game_->open_box()) {
            // Idle, the game must not use the processor.
            const double before = cpu_ms();
            Sleep(300);
            const double used = cpu_ms() - before;
            if (used > 150)
                throw Finding("the game used " + std::to_string(static_cast<int>(used)) +
                              " ms of processor time in 300 ms idle");
        }
    }

    [[noreturn]] void not_answering() {
        // A window that has gone may belong to a process about to end.
        if (wait_until([&] { return game_->exit_code().has_value(); }, 500)) {
            throw Finding("the game ended by itself with exit code " +
                          std::to_string(*game_->exit_code()));
        }
        throw Finding("the game did not answer within 2 s");
    }

    // ---- The ledger ----

    // Closes the event before and opens this one.
    void begin(const Event& event, std::string highlighted = {}) {
        close_record();
        record_.emplace();
        record_->event = event;
        record_->highlighted_before = std::move(highlighted);
    }

    // An input whose effect cannot be known: the ledger waits for the next balance.
    void unknown() {
        close_record();
        ledger_.lose_track();
    }

    void close_record() {
        if (!record_) return;
        testing::EventRecord record = std::move(*record_);
        record_.reset();
        ledger_.settle(std::move(record));
    }

    // ---- One step ----

    void step() {
        // Real X input reaches the game through Wine's own reading of the X events, which
        // a posted message can overtake: a box that opens late belongs to the step before.
        settle_boxes();
        if (closing_) return;
        if (IsIconic(game_->window())) {
            note("restore the minimised window");
            PostMessageW(game_->window(), WM_SYSCOMMAND, SC_RESTORE, 0);
        }
        if (step_ % kBalanceEvery == 0 || chance(5)) {
            begin(Event::menu_item(MenuItem::balance));
            note("F3");
            game_->key(game_->window(), VK_F3);
        } else {
            // Control clicks, mouse clicks, keys, menu items, real X clicks and keys, closes.
            const int x = xinput_ ? 8 : 0;
            switch (testing::weighted(rng_, {20, 12, 24, 8, x, x, 1})) {
                case 0: click_control(); break;
                case 1: click_somewhere(); break;
                case 2: press_key(); break;
                case 3: choose_menu_item(); break;
                case 4: x_click(); break;
                case 5: x_key(); break;
                default: close_window(); break;
            }
        }
        settle_boxes();
    }

    void click_control() {
        // Mostly a control the player can see; sometimes any, hidden ones included.
        std::vector<Control> shown;
        for (const ControlSpec& row : kControls) {
            if (game_->shown(row.id)) shown.push_back(row.id);
        }
        const Control c =
            !shown.empty() && chance(75)
                ? shown[static_cast<std::size_t>(pick(static_cast<int>(shown.size())))]
                : static_cast<Control>(pick(kControlCount));
        note(std::string("click ") + std::string(name_of(c)));
        if (game_->shown(c) && !is_list(c)) {
            begin(Event::click(c));
        } else {
            close_record();
        }
        game_->click(c);
    }

    // A mouse click on whatever lies under a random point of the client area.
    void click_somewhere() {
        RECT client{};
        GetClientRect(game_->window(), &client);
        POINT at{pick(std::max<LONG>(client.right, 1)), pick(std::max<LONG>(client.bottom, 1))};
        HWND target =
            ChildWindowFromPointEx(game_->window(), at, CWP_SKIPINVISIBLE | CWP_SKIPDISABLED);
        if (target == nullptr) target = game_->window();
        MapWindowPoints(game_->window(), target, &at, 1);
        const bool twice = chance(20);
        note("mouse " + std::to_string(at.x) + "," + std::to_string(at.y) +
             (twice ? " double" : "") + " on " + control_text(target));
        const auto clicked = control_at(target);
        const LPARAM where = MAKELPARAM(at.x, at.y);
        for (const UINT press : {UINT{WM_LBUTTONDOWN}, UINT{WM_LBUTTONDBLCLK}}) {
            close_record();
            if (clicked && !is_list(*clicked)) begin(Event::click(*clicked));
            PostMessageW(target, press, MK_LBUTTON, where);
            PostMessageW(target, WM_LBUTTONUP, 0, where);
            if (!twice) return;
            // The second press of a double click reaches a button, which takes it as a
            // second click, only if the first opened no box: a box disables the window.
            if (!drain() || game_->open_box()) return;
        }
    }

    std::optional<Control> control_at(HWND hwnd) const {
        for (const ControlSpec& row : kControls) {
            if (game_->control(row.id) == hwnd) return row.id;
        }
        return std::nullopt;
    }
    std::string control_text(HWND hwnd) const {
        const auto c = control_at(hwnd);
        return c                         ? std::string(name_of(*c))
               : hwnd == game_->window() ? "the window"
                                         : "another window";
    }

    std::string highlighted(Control list) const {
        const int index = game_->list_highlight(list);
        const auto items = game_->list_items(list);
        return index >= 0 && index < static_cast<int>(items.size())
                   ? items[static_cast<std::size_t>(index)]
                   : std::string();
    }

    // What a key does where the focus is, for the ledger.
    void expect_key(WORD vk) {
        close_record();
        if (const auto item = menu_of_key(vk)) {
            begin(Event::menu_item(*item));
            return;
        }
        if (vk == VK_F10) {
            unknown();  // the menu bar takes the keys that follow
            return;
        }
        const auto c = control_at(game_->focus());
        if (!c || !game_->shown(*c)) return;
        if (is_list(*c)) {
            if (vk == VK_RETURN)
                begin(Event::key_press(*c, kEnterKey, game_->list_highlight(*c)), highlighted(*c));
            return;
        }
        if (vk == VK_RETURN || vk == VK_SPACE) begin(Event::click(*c));
    }

    void press_key() {
        // Enter a quarter of the time: it is what presses buttons and pawns.
        const Key& key = chance(25) ? kKeys[6] : kKeys[pick(static_cast<int>(std::size(kKeys)))];
        note(std::string("key ") + key.name + " on " + control_text(game_->focus()));
        expect_key(key.vk);
        if (key.vk == VK_F10) {
            // The menu bar takes the keyboard; Escape leaves it, Return picks an item.
            PostMessageW(game_->window(), WM_SYSKEYDOWN, VK_F10, 1);
            PostMessageW(game_->window(), WM_SYSKEYUP, VK_F10, static_cast<LPARAM>(0xC0000001));
            const bool leave = chance(70);
            for (const WORD vk : {leave ? WORD{VK_ESCAPE} : WORD{VK_DOWN},
                                  leave ? WORD{VK_ESCAPE} : WORD{VK_RETURN}}) {
                game_->key(game_->window(), vk);
            }
            return;
        }
        game_->key_on_focus(key.vk);
    }

    void choose_menu_item() {
        const auto item = static_cast<MenuItem>(pick(kMenuItemCount));
        note("menu " + std::string(name_of(item)));
        if (item == MenuItem::exit) {
            close_record();
            closing_ = true;
        } else {
            begin(Event::menu_item(item));
        }
        post_menu_command(item);
    }

    // What a click on the item sends; its caption may have changed, its place has not.
    void post_menu_command(MenuItem item) {
        const int index = static_cast<int>(item);
        for (const MenuSpec& menu : kMenus) {
            if (index < menu.first_item || index >= menu.first_item + menu.item_count) continue;
            const UINT id =
                game_->menu_item(static_cast<int>(&menu - kMenus.data()), index - menu.first_item)
                    .second;
            PostMessageW(game_->window(), WM_COMMAND, MAKEWPARAM(id, 0), 0);
        }
    }

    void close_window() {
        close_record();
        closing_ = true;
        switch (pick(3)) {
            case 0:
                note("close box");
                game_->system_close();
                break;
            case 1:
                note("WM_CLOSE");
                PostMessageW(game_->window(), WM_CLOSE, 0, 0);
                break;
            default:
                note("Alt+F4");
                game_->alt_f4();
                break;
        }
    }

    // ---- Real X input, through the helper that reads our standard output ----

    // Asks the helper for one X action and waits until it is done.
    // Asks the helper for one X action, or a reading, and waits until it is done; returns
    // what the helper wrote back.
    std::string x_request(const std::string& action) {
        static int sequence = 0;
        const int n = ++sequence;
        std::printf("XINPUT %d %s\n", n, action.c_str());
        std::fflush(stdout);
        const std::wstring done = L"xinput-" + std::to_wstring(n) + L".done";
        if (!wait_until([&] { return GetFileAttributesW(done.c_str()) != INVALID_FILE_ATTRIBUTES; },
                        5000)) {
            throw Fatal("the X input helper did not answer");
        }
        std::string answer;
        if (FILE* file = _wfopen(done.c_str(), L"r")) {
            char text[64] = {};
            if (std::fgets(text, sizeof text, file) != nullptr) answer = text;
            std::fclose(file);
        }
        DeleteFileW(done.c_str());
        Sleep(30);  // for Wine to read the X events
        return answer;
    }

    // The game's processor time. Wine does not tell one process the times of another, so
    // there the helper reads them from Linux.
    double cpu_ms() {
        if (!xinput_) return game_->cpu_ms();
        return std::strtod(x_request("cpu").c_str(), nullptr);
    }

    POINT random_point_in(HWND hwnd) {
        RECT r{};
        GetWindowRect(hwnd, &r);
        return {r.left + pick(std::max<LONG>(r.right - r.left, 1)),
                r.top + pick(std::max<LONG>(r.bottom - r.top, 1))};
    }

    void x_click() {
        const POINT at = random_point_in(game_->window());
        HWND target = WindowFromPoint(at);
        const auto hit = SendMessageW(game_->window(), WM_NCHITTEST, 0, MAKELPARAM(at.x, at.y));
        note("X click " + std::to_string(at.x) + "," + std::to_string(at.y) + " on " +
             control_text(target));
        close_record();
        if (hit == HTMENU || hit == HTSYSMENU || hit == HTCLOSE) {
            unknown();  // a menu opens, or the window closes: its outcome is read from the boxes
            if (hit == HTCLOSE) closing_ = true;
        } else if (const auto c = control_at(target); c && !is_list(*c) && game_->shown(*c)) {
            begin(Event::click(*c));
        }
        x_request("click " + std::to_string(at.x) + " " + std::to_string(at.y));
        if (hit == HTMENU || hit == HTSYSMENU) {
            // Sometimes the first item of the open menu is chosen. Then two Escapes: one
            // closes a menu still open, the other leaves the menu bar, which would otherwise
            // keep every key that follows.
            if (chance(30)) {
                x_request("key Down 0 0");
                x_request("key Return 0 0");
            }
            x_request("key Escape 0 0");
            x_request("key Escape 0 0");
        }
    }

    void x_key() {
        const Key& key = kKeys[pick(static_cast<int>(std::size(kKeys)))];
        // Without a window manager the keyboard follows the pointer: it rests on the window.
        RECT r{};
        GetWindowRect(game_->window(), &r);
        note(std::string("X key ") + key.name + " on " + control_text(game_->focus()));
        expect_key(key.vk);
        x_request(std::string("key ") + key.name + " " + std::to_string(r.right - 4) + " " +
                  std::to_string(r.bottom - 4));
        if (key.vk == VK_F10) x_request("key Escape 0 0");
    }

    // ---- The boxes ----

    // Waits until the game has taken every input posted so far. The window answers a
    // menu query by leaving the item's text in a global atom; posted behind the input, the
    // query is taken only once the input has been handled or has opened a box. Twice,
    // because handling a key posts its character behind the first query.
    bool drain() {
        static const UINT query = win32::menu_query_message();
        for (int round = 0; round < 2; ++round) {
            if (!PostMessageW(game_->window(), query, MAKEWPARAM(0, win32::kMenuTitleItem), 0))
                return false;
            const bool taken = wait_until(
                [&] {
                    const ATOM atom = GlobalFindAtomW(marker_.c_str());
                    if (atom == 0) return false;
                    while (GlobalFindAtomW(marker_.c_str()) != 0) GlobalDeleteAtom(atom);
                    return true;
                },
                kAnswerMs);
            if (!taken) return false;
        }
        return true;
    }

    // Answers every box the game opens until it is idle again.
    void settle_boxes() {
        for (int boxes = 0;; ++boxes) {
            if (!drain()) {
                if (closing_) return;  // the window may be gone already
                not_answering();
            }
            const std::optional<Box> box = game_->open_box();
            if (!box) return;
            if (boxes > 200) throw Finding("more than 200 boxes in one step");
            wait_until([&] { return IsWindowVisible(box->hwnd) != FALSE || !IsWindow(box->hwnd); },
                       kAnswerMs);
            if (!IsWindow(box->hwnd)) continue;
            if (!record_) unknown();
            if (box->input) {
                answer(*box);
            } else {
                read_message(*box);
            }
            if (closing_) return;
        }
    }

    void line(const std::string& text) {
        if (record_) record_->lines.push_back(text);
    }

    void read_message(const Box& box) {
        note("message " + box.text);
        line("message " + box.text);
        if (const auto amount = testing::balance_in(box.text); amount && *amount > 32767) {
            throw Finding("the balance reads " + box.text);
        }
        // Sometimes the window is closed with the box open; else the box goes one way or another.
        if (chance(2)) {
            close_with_box_open();
            return;
        }
        switch (pick(6)) {
            case 0: PostMessageW(box.hwnd, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0); break;
            case 1: game_->key(box.hwnd, VK_RETURN); break;
            case 2: game_->key(box.hwnd, VK_ESCAPE); break;
            case 3: PostMessageW(box.hwnd, WM_SYSCOMMAND, SC_CLOSE, 0); break;
            case 4:
                if (xinput_) {
                    const POINT at = centre_of(GetDlgItem(box.hwnd, IDOK));
                    x_request("click " + std::to_string(at.x) + " " + std::to_string(at.y));
                    break;
                }
                [[fallthrough]];
            default: game_->key(GetDlgItem(box.hwnd, IDOK), VK_SPACE); break;
        }
        expect_gone(box);
    }

    static POINT centre_of(HWND hwnd) {
        RECT r{};
        GetWindowRect(hwnd, &r);
        return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    }

    void answer(const Box& box) {
        note("ask " + box.text);
        line("ask " + box.text);
        HWND edit = GetDlgItem(box.hwnd, win32::kInputEditId);
        std::string text = testing::monkey_answer(rng_);
        if (chance(2)) {
            close_with_box_open();
            return;
        }
        const bool by_keys = text.size() <= 40 && chance(50);
        if (by_keys) {
            for (const char ch : text) game_->character(edit, static_cast<unsigned char>(ch));
        } else {
            game_->type_into(box, text);
        }
        // Posted characters arrive after any sent message, so the field is watched instead.
        // A stray key may have typed into it before: what it holds is the answer.
        const bool typed_all = wait_until(
            [&] { return by_keys ? field_text(edit).ends_with(text) : field_text(edit) == text; },
            kAnswerMs);
        const std::string typed = field_text(edit);
        if (!typed_all) {
            throw Finding("the input box holds [" + typed + "] after [" + text + "] was typed");
        }
        // Mostly confirmed (OK, Enter, a real click on OK), else cancelled (Cancel, Escape,
        // the close box).
        const auto how = testing::weighted(rng_, {4, 3, 3, 1, 1, 1});
        const bool confirmed = how <= 2;
        note(std::string(confirmed ? "confirm " : "cancel ") + "[" + typed + "]");
        if (record_) record_->answers.push_back(confirmed ? typed : std::string());
        switch (how) {
            case 0: PostMessageW(GetDlgItem(box.hwnd, IDOK), BM_CLICK, 0, 0); break;
            case 1: game_->key(edit, VK_RETURN); break;
            case 2:
                if (xinput_) {
                    const POINT at = centre_of(GetDlgItem(box.hwnd, IDOK));
                    x_request("click " + std::to_string(at.x) + " " + std::to_string(at.y));
                } else {
                    game_->key(edit, VK_RETURN);
                }
                break;
            case 3: PostMessageW(GetDlgItem(box.hwnd, IDCANCEL), BM_CLICK, 0, 0); break;
            case 4: game_->key(edit, VK_ESCAPE); break;
            default: PostMessageW(box.hwnd, WM_SYSCOMMAND, SC_CLOSE, 0); break;
        }
        expect_gone(box);
    }

    // GetWindowText would not ask another process's edit field for its text.
    static std::string field_text(HWND edit) {
        DWORD_PTR length = 0;
        SendMessageTimeoutW(edit, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, kAnswerMs, &length);
        std::wstring text(length + 1, L'\0');
        DWORD_PTR copied = 0;
        SendMessageTimeoutW(edit, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                            SMTO_NORMAL, kAnswerMs, &copied);
        text.resize(std::min<std::size_t>(copied, length));
        return narrow(text);
    }

    void expect_gone(const Box& box) {
        if (!wait_until([&] { return IsWindow(box.hwnd) == FALSE; }, kAnswerMs)) {
            throw Finding("the box [" + box.text + "] did not close within 2 s");
        }
    }

    // A disabled window ignores its close box; what reaches it with a box open is the
    // close request a task manager or the session's end sends. The game ends as with any
    // close, at once: the handler cut short opens no further box.
    void close_with_box_open() {
        note("WM_CLOSE with the box open");
        record_.reset();  // the event is cut short; the game ends with it
        closing_ = true;
        WindowsCreated created(game_->window());
        PostMessageW(game_->window(), WM_CLOSE, 0, 0);
        wait_until(
            [&] {
                created.count();
                return game_->exit_code().has_value();
            },
            kAnswerMs);
        if (created.count() > 0) throw Finding("the game opened another box after the close");
    }

    std::wstring exe_;
    unsigned seed_;
    std::mt19937 rng_;
    bool xinput_;
    std::unique_ptr<Game> game_;
    std::wstring marker_;  // the first menu's title, which drain() watches for
    std::optional<testing::EventRecord> record_;
    testing::RunningLedger ledger_;
    bool closing_ = false;
    testing::StepLog log_;
    int step_ = 0;
    int starts_ = 0;
};

}  // namespace

int run_monkey(const std::wstring& exe, int seconds, unsigned seed, bool xinput) {
    return Monkey(exe, seed, xinput).run(seconds);
}

}  // namespace casino::automation
