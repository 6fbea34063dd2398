// casino_automation: walks a player's path through casino.exe under Wine, through window
// messages only, and checks what every outcome of the unseeded game must show.
// Usage: casino_automation PATH\casino.exe [--dpi=N] [--place=corner|middle] [--russian]
//        [--shots] [--verbose]
//        casino_automation PATH\casino.exe --monkey SECONDS SEED [--xinput]
#include <oleacc.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <functional>
#include <initializer_list>

#include "driver.h"
#include "monkey.h"

using namespace casino;
using namespace casino::automation;

namespace {

bool g_shots = false;
bool g_russian = false;  // --russian: the system speaks Russian, and so must the input box
int g_expected_dpi = 0;  // --dpi=N: the run must see the screen at N dots per inch
Placement g_placement = Placement::AsOpened;  // --place=corner|middle

// ---- What the game says ----

struct Fortune {
    std::string_view text;
    int change;
};
constexpr Fortune kFortunes[] = {
    {"казино присудило тебе приз 500 баксов, как самому Пельторагу.", 500},
    {"у тебя украли 300 баксов.", -300},
    {"у тебя украли 200 баксов.", -200},
    {"твой друг проигрался. ты одалжил ему 1000 баксов.", -1000},
    {"ты угостил всех шампанским. это обошлось тебе в 1000 баксов.", -1000},
    {"ты устроил банкет. это обошлось тебе в 5000 баксов.", -5000},
    {"у твоего друга идет игра. он одалжил тебе 300 баксов.", 300},
    {"ты выпил в местном баре. это обошлось тебе в 20 баксов.", -20},
    {"из-за несоответствующего вида ты не смог поехать на деловую встречу. убыток составил 1000 "
     "баксов.",
     -1000},
};
constexpr std::string_view kFine =
    "тебя оштрафовали за появление в общественном месте в неприличном виде на ";
constexpr std::string_view kBucks = " баксов.";
constexpr std::string_view kNoMoney = "у тебя нет столько денег!";
const std::vector<std::string> kWardrobe{"часы ", "пиджак ", "брюки ", "ботинки "};

// Plain decimal digits framed by a head and a tail, as the game writes numbers.
std::optional<int> number_between(const std::string& text, std::string_view head,
                                  std::string_view tail) {
    if (text.size() <= head.size() + tail.size() || !text.starts_with(head) ||
        !text.ends_with(tail)) {
        return std::nullopt;
    }
    const std::string digits = text.substr(head.size(), text.size() - head.size() - tail.size());
    if (digits.find_first_not_of("0123456789") != std::string::npos) return std::nullopt;
    if (digits.size() > 1 && digits[0] == '0') return std::nullopt;
    return std::stoi(digits);
}

std::optional<int> fortune_change(const std::string& text) {
    for (const Fortune& f : kFortunes) {
        if (text == f.text) return f.change;
    }
    const std::optional<int> fine = number_between(text, kFine, kBucks);
    if (fine && *fine >= 50 && *fine <= 99) return -*fine;
    return std::nullopt;
}

// The winning number as announced: "зеро господа!" for 0, else the number followed by
// the colour word of its range.
std::optional<int> announced_number(const std::string& text) {
    if (text == "зеро господа!") return 0;
    const std::optional<int> red = number_between(text, "", " красное");
    if (red && *red >= 1 && *red <= 18) return red;
    const std::optional<int> black = number_between(text, "", " черное");
    if (black && *black >= 19 && *black <= 36) return black;
    return std::nullopt;
}

void shot(Game& g, const char* name) {
    if (!g_shots) return;
    Sleep(400);  // let the window finish painting
    RECT r{};
    GetWindowRect(g.window(), &r);
    std::printf("SHOT %s %ld %ld %ld %ld\n", name, r.left, r.top, r.right - r.left,
                r.bottom - r.top);
    std::fflush(stdout);
    const std::wstring done = widen(name) + L".done";
    wait_until([&] { return GetFileAttributesW(done.c_str()) != INVALID_FILE_ATTRIBUTES; }, 20000);
    DeleteFileW(done.c_str());
}

bool all_shown(const Game& g, std::initializer_list<Control> controls) {
    return std::all_of(controls.begin(), controls.end(), [&](Control c) { return g.shown(c); });
}

// Only these controls may be visible; every one of them must also be enabled.
void expect_screen(Game& g, std::initializer_list<Control> shown, std::string_view screen) {
    for (const ControlSpec& entry : kControls) {
        const bool wanted = std::find(shown.begin(), shown.end(), entry.id) != shown.end();
        checks.check(g.visible(entry.id) == wanted,
                     std::string(screen) + ": visibility of " + std::string(entry.name));
        if (wanted)
            checks.check(g.enabled(entry.id),
                         std::string(screen) + ": enabled " + std::string(entry.name));
    }
}

// The keyboard is on this shown control, and of the buttons only the one holding it wears
// the default button's border: Enter or Space acts on it.
void expect_focus(Game& g, Control c, std::string_view when) {
    const std::string context(when);
    checks.check(wait_until([&] { return g.focus() == g.control(c); }, 3000) && g.shown(c),
                 context + ": the keyboard is on " + std::string(name_of(c)));
    for (const ControlSpec& entry : kControls) {
        if (entry.kind != ControlKind::Button) continue;
        const bool wanted = entry.id == c;
        checks.check(wait_until([&] { return g.looks_default(entry.id) == wanted; }, 1000),
                     context + ": only the focused button looks like the default", entry.name);
    }
}

// The client area and every control where the twips table puts them at this dpi.
void expect_layout(Game& g, int dpi, std::string_view when) {
    const std::string context(when);
    RECT client{};
    GetClientRect(g.window(), &client);
    checks.check(client.right == twips_to_pixels(kWindow.client_width, dpi) &&
                     client.bottom == twips_to_pixels(kWindow.client_height, dpi),
                 context + ": client area is 4680 x 3150 twips",
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

// ---- The street ----

void street(Game& g) {
    const int dpi = screen_dpi();
    std::printf("screen: %d dpi\n", dpi);
    if (g_expected_dpi != 0)
        checks.require(dpi == g_expected_dpi, "the screen has the dpi asked for");
    checks.check(window_text(g.window()) == kWindow.caption, "window caption");
    // The game opens in the middle of the screen's work area; then the walk goes on from
    // wherever the driver was asked to put it.
    RECT frame{};
    GetWindowRect(g.window(), &frame);
    const RECT work = g.work_area();
    const auto centre_gap = [](LONG from, LONG to, LONG inner_from, LONG inner_to) {
        return std::abs((from + to) - (inner_from + inner_to)) / 2;
    };
    checks.check(centre_gap(work.left, work.right, frame.left, frame.right) <= 1 &&
                     centre_gap(work.top, work.bottom, frame.top, frame.bottom) <= 1,
                 "the window opens centred on the work area",
                 std::to_string(frame.left) + "," + std::to_string(frame.top));
    if (g_placement != Placement::AsOpened) g.move_to(g_placement);
    expect_layout(g, dpi, "at the start");
    expect_screen(g, {Control::cmdexit}, "street");
    checks.check(g.enabled(Control::cmdlom), "ломбард starts enabled though invisible");

    // The dialog manager's tab order is the stacking order of the children.
    std::vector<const ControlSpec*> by_tab;
    for (const ControlSpec& entry : kControls) by_tab.push_back(&entry);
    std::sort(by_tab.begin(), by_tab.end(),
              [](auto* a, auto* b) { return a->tab_order < b->tab_order; });
    HWND child = GetWindow(g.window(), GW_CHILD);
    for (const ControlSpec* entry : by_tab) {
        checks.check(child == g.control(entry->id), "stacking follows the tab order", entry->name);
        child = GetWindow(child, GW_HWNDNEXT);
    }

    for (const MenuSpec& menu : kMenus) {
        const int m = static_cast<int>(&menu - kMenus.data());
        checks.check(g.menu_title(m) == menu.caption, "menu title", menu.caption);
        for (int i = 0; i < menu.item_count; ++i) {
            const MenuItemSpec& item = kMenuItems[static_cast<std::size_t>(menu.first_item + i)];
            std::string expected(item.caption);
            if (!item.shortcut_text.empty()) expected.append("\t").append(item.shortcut_text);
            checks.check(g.menu_text(m, i) == expected, "menu item", g.menu_text(m, i));
        }
    }
    checks.check(g.list_items(Control::List1) == kWardrobe, "the wardrobe list is filled at load");
    expect_focus(g, Control::cmdexit, "at the start");
    shot(g, "street");

    g.key_on_focus(VK_F1);
    checks.check(g.expect_message("F1") == "азарт + удача- и ты миллионер!",
                 "F1 shows the help line");
    g.expect_idle("F1");
    checks.check(g.balance() == 60, "F3 on the street: 60 bucks");
    g.expect_idle("F3");
    for (const std::string_view caption : {"включить звук\tF5", "отключить звук\tF5"}) {
        g.key_on_focus(VK_F5);
        checks.check(wait_until([&] { return g.menu_text(0, 1) == caption; }),
                     "F5 switches the sound item", g.menu_text(0, 1));
        g.expect_idle("F5");
    }

    g.key_on_focus(VK_F2);
    checks.check(g.balance() == 60, "start over on the street");
    expect_focus(g, Control::cmdexit, "after start over on the street");

    // Enter on the focused вход goes in.
    g.key_on_focus(VK_RETURN);
    checks.check(g.expect_message("enter") == "у тебя 60 баксов.", "the greeting on entering");
    g.expect_idle("enter");
    expect_focus(g, Control::cmdnum, "after entering");
    expect_screen(g,
                  {Control::cmdnum, Control::cmdred, Control::cmdbleck, Control::Command1,
                   Control::Command2, Control::cmddu, Control::cmdlom},
                  "casino floor");
    shot(g, "floor");

    // Tab walks the floor in tab order and wraps around.
    for (const Control next :
         {Control::cmdred, Control::cmdbleck, Control::Command1, Control::Command2, Control::cmddu,
          Control::cmdlom, Control::cmdnum}) {
        g.key_on_focus(VK_TAB);
        checks.check(wait_until([&] { return g.focus() == g.control(next); }, 3000),
                     "Tab moves the focus to", name_of(next));
    }
}

// ---- The bets ----

struct Opening {
    int money = 0;  // after the fortune events
    int price = 0;  // 0 when the game refused to play
};

// Reads the fortune messages and the price of a bet just opened; the money follows every
// fortune message.
Opening read_opening(Game& g, int money) {
    for (int fortunes = 0;; ++fortunes) {
        const std::string text = g.expect_message("bet opening");
        if (const std::optional<int> change = fortune_change(text)) {
            checks.check(fortunes < 2, "at most two fortune messages in one bet");
            money += *change;
            continue;
        }
        if (text == "тебе не на что играть.") {
            checks.check(money < 20, "no play only below 20 bucks");
            return {money, 0};
        }
        const std::optional<int> price = number_between(text, "фишка стоит", "");
        checks.require(price && *price % 20 == 0 && *price >= 20 && *price <= 100,
                       "the price message reads фишка стоит<20..100>", text);
        checks.check(money >= 20, "a price only with 20 bucks or more");
        return {money, *price};
    }
}

Opening open_bet(Game& g, Control button, int money) {
    g.click(button);
    return read_opening(g, money);
}

// Reads the result message; the colour word must match the number's range.
int result(Game& g) {
    const std::string text = g.expect_message("result");
    const std::optional<int> number = announced_number(text);
    checks.require(number.has_value(), "the result reads зеро господа! or <n> красное/черное",
                   text);
    return *number;
}

void expect_balance(Game& g, int money, std::string_view what) {
    g.expect_idle(what);
    const int balance = g.balance();
    checks.check(balance == money, std::string(what) + ": the balance moves as the messages say",
                 std::to_string(balance) + " instead of " + std::to_string(money));
}

// The money left after a refused stake is what the fortune events left.
bool refused(Game& g, const Opening& o, std::string_view what) {
    checks.check(g.expect_message(what) == kNoMoney, std::string(what) + ": refusal message");
    expect_balance(g, o.money, what);
    return false;
}

struct Answer {
    std::string text;
    Submit how = Submit::OkButton;
    [[nodiscard]] int chips() const {
        return how == Submit::CancelButton || how == Submit::EscapeKey || text.empty()
                   ? 0
                   : std::stoi(text);
    }
};

// One even-money bet; true when it was settled.
bool even_money(Game& g, Control button, bool (*wins)(int), const Answer& a,
                std::string_view what) {
    const Opening o = open_bet(g, button, 60);
    if (o.price == 0) return false;
    g.answer("сколько фишек ставишь?", a.text, a.how);
    const int stake = a.chips() * o.price;
    if (stake == 0) {
        expect_balance(g, o.money, std::string(what) + " with no chips");
        return false;
    }
    if (stake > o.money) return refused(g, o, what);
    const int n = result(g);
    const int payout = n == 0 ? stake / 2 : wins(n) ? 2 * stake : 0;
    expect_balance(g, o.money - stake + payout, what);
    return true;
}

bool dozen(Game& g) {
    const Opening o = open_bet(g, Control::cmddu, 60);
    if (o.price == 0) return false;
    // One chip on the first dozen, a cancelled box for the second, and one chip on the
    // third when there is money for it.
    const Answer answers[3] = {
        {"1"}, {"5", Submit::CancelButton}, {o.money >= 2 * o.price ? "1" : "0"}};
    const char* prompts[3] = {"сколько фишек ставишь на первую дюжину?",
                              "сколько фишек ставишь на вторую дюжину?",
                              "сколько фишек ставишь на третью дюжину?"};
    int stakes[3] = {};
    int money = o.money;
    for (int d = 0; d < 3; ++d) {
        g.answer(prompts[d], answers[d].text, answers[d].how);
        stakes[d] = answers[d].chips() * o.price;
        money -= stakes[d];
        if (money < 0) return refused(g, o, "dozen");
    }
    const int n = result(g);
    const int total = stakes[0] + stakes[1] + stakes[2];
    expect_balance(g, money + (n == 0 ? total / 2 : 3 * stakes[(n - 1) / 12]), "dozen");
    return true;
}

bool numbers(Game& g) {
    const Opening o = open_bet(g, Control::cmdnum, 60);
    if (o.price == 0) return false;
    const int count = o.money >= 2 * o.price ? 2 : 1;
    g.answer("на сколько чисел ставишь?", std::to_string(count));
    const int stake = count * o.price;
    if (stake > o.money) return refused(g, o, "numbers");
    const int picks[2] = {17, 0};
    for (int i = 0; i < count; ++i) g.answer("число", std::to_string(picks[i]));
    const int n = result(g);
    const int hits = static_cast<int>(std::count(picks, picks + count, n));
    const int payout = hits * 36 * o.price + (n == 0 && hits == 0 ? stake / 2 : 0);
    expect_balance(g, o.money - stake + payout, "numbers");
    return true;
}

// Starts over before every try, so each bet opens with 60 bucks; a price above the purse
// or an empty answer leaves the bet unsettled, and the bet is tried again.
void until_settled(Game& g, std::string_view what, const std::function<bool(int attempt)>& bet) {
    bool settled = false;
    for (int attempt = 0; attempt < 10 && !settled; ++attempt) {
        g.key_on_focus(VK_F2);
        checks.require(g.balance() == 60, "start over gives 60 bucks");
        settled = bet(attempt);
    }
    checks.check(settled, std::string(what) + " settled within ten tries");
}

bool red(int n) { return n >= 1 && n <= 18; }
bool black(int n) { return n >= 19; }
bool odd(int n) { return n % 2 == 1; }
bool even(int n) { return n != 0 && n % 2 == 0; }

void bets(Game& g) {
    until_settled(g, "red", [&](int) { return even_money(g, Control::cmdred, red, {"1"}, "red"); });
    // The click took the keyboard, and with it the default button's border, from число.
    expect_focus(g, Control::cmdred, "after a click on красное");
    until_settled(g, "black", [&](int attempt) {
        // The first try asks for far more chips than the purse holds.
        return even_money(g, Control::cmdbleck, black, {attempt == 0 ? "1000" : "1"}, "black");
    });
    until_settled(g, "odd", [&](int) {
        return even_money(g, Control::Command1, odd, {"1", Submit::EnterKey}, "odd");
    });
    until_settled(g, "even", [&](int attempt) {
        const Answer a = attempt == 0 ? Answer{"1", Submit::EscapeKey} : Answer{"1"};
        return even_money(g, Control::Command2, even, a, "even");
    });
    until_settled(g, "dozen", [&](int) { return dozen(g); });
    until_settled(g, "numbers", [&](int) { return numbers(g); });

    // The same bet with the sound switched off.
    g.key_on_focus(VK_F5);
    checks.check(wait_until([&] { return g.menu_text(0, 1) == "включить звук\tF5"; }), "sound off");
    until_settled(g, "red without sound",
                  [&](int) { return even_money(g, Control::cmdred, red, {"1"}, "red, muted"); });
    g.key_on_focus(VK_F5);
    checks.check(wait_until([&] { return g.menu_text(0, 1) == "отключить звук\tF5"; }),
                 "sound on again");
}

// ---- The pawnshop ----

void open_list(Game& g, Control button, Control list) {
    g.click(button);
    checks.require(wait_until([&] { return g.shown(list) && g.focus() == g.control(list); }),
                   "the list opens with the focus", name_of(list));
    checks.check(g.list_highlight(list) == 0, "the first entry is highlighted", name_of(list));
    const std::optional<Spoken> said = spoken(g.control(list));
    checks.check(said && (said->state & STATE_SYSTEM_FOCUSED) != 0 &&
                     (said->state & STATE_SYSTEM_INVISIBLE) == 0,
                 "the open list is published as shown and focused", name_of(list));
}

void pawnshop(Game& g) {
    g.key_on_focus(VK_F2);
    int money = g.balance();
    // Tab to ломбард, then Space on it opens the pawnshop.
    for (int i = 0; i < kControlCount && g.focus() != g.control(Control::cmdlom); ++i) {
        const HWND before = g.focus();
        g.key_on_focus(VK_TAB);
        wait_until([&] { return g.focus() != before; }, 3000);
    }
    checks.require(g.focus() == g.control(Control::cmdlom), "Tab reaches ломбард");
    g.key_on_focus(VK_SPACE);
    checks.require(wait_until([&] {
                       return all_shown(g, {Control::cmdpay, Control::cmdre, Control::cmdwent});
                   }),
                   "Space on ломбард opens the pawnshop");
    g.expect_idle("pawnshop");
    expect_screen(g, {Control::cmdpay, Control::cmdre, Control::cmdwent}, "pawnshop");
    // ломбард has gone with the floor: the keyboard lands on уйти, the next shown control
    // in the tab order, and Enter there goes back to the floor, where it lands on число.
    expect_focus(g, Control::cmdwent, "after ломбард");
    g.key_on_focus(VK_RETURN);
    checks.require(wait_until([&] { return g.shown(Control::cmdnum); }),
                   "Enter on уйти goes back to the floor");
    g.expect_idle("leave");
    expect_focus(g, Control::cmdnum, "after уйти");
    g.click(Control::cmdlom);
    checks.require(wait_until([&] { return g.shown(Control::cmdwent); }),
                   "a click on ломбард opens the pawnshop");
    g.expect_idle("pawnshop");
    expect_focus(g, Control::cmdwent, "after a click on ломбард");

    std::vector<std::string> wardrobe = kWardrobe;
    std::vector<std::string> tickets;
    for (int i = 0; i < 4; ++i) {
        open_list(g, Control::cmdpay, Control::List1);
        HWND list = g.control(Control::List1);
        if (i == 0) {
            shot(g, "pawnshop");
            // Clicks, double-clicks and other characters pawn nothing, and the F-keys
            // work from inside the list.
            for (const UINT mouse :
                 {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP}) {
                PostMessageW(list, mouse, mouse == WM_LBUTTONUP ? 0 : MK_LBUTTON, MAKELPARAM(5, 5));
            }
            g.character(list, L'x');
            checks.check(g.balance() == money, "F3 from the open list");
            checks.check(g.shown(Control::List1) && g.list_items(Control::List1) == wardrobe,
                         "a key other than Enter pawns nothing");
        }
        const std::string item = wardrobe.front();
        g.key(list, VK_RETURN);
        const std::string text = g.expect_message("pawn");
        const std::optional<int> price = number_between(text, "ты заложил " + item + "за ", kBucks);
        checks.require(price && *price >= 100 && *price <= 200,
                       "the pawn message names a price of 100..200", text);
        g.expect_idle("pawn");
        money += *price;
        wardrobe.erase(wardrobe.begin());
        tickets.push_back(item + std::to_string(*price + (item == "брюки " ? 250 : 200)));
        checks.check(!g.visible(Control::List1) && !g.enabled(Control::List1),
                     "the wardrobe closes after a pawn");
        const std::optional<Spoken> closed = spoken(g.control(Control::List1));
        checks.check(closed && (closed->state & STATE_SYSTEM_INVISIBLE) != 0,
                     "the closed wardrobe is published as invisible");
        checks.check(g.list_items(Control::List1) == wardrobe,
                     "the pawned item leaves the wardrobe", item);
        checks.check(g.list_items(Control::List2) == tickets, "the ticket joins the pawned list",
                     tickets.back());
        expect_focus(g, Control::cmdwent, "after Enter in the wardrobe");
    }
    checks.check(g.balance() == money, "the pawn prices are paid");

    g.click(Control::cmdpay);
    checks.check(g.expect_message("nothing to pawn") == "тебе нечего закладывать.",
                 "nothing left to pawn");
    g.expect_idle("nothing to pawn");

    // Buying the watch back: the purse holds more than any redeem price.
    open_list(g, Control::cmdre, Control::List2);
    g.key(g.control(Control::List2), VK_RETURN);
    checks.check(g.expect_message("redeem") == "заходи еще.", "the redemption message");
    money -= std::stoi(tickets.front().substr(kWardrobe[0].size()));
    tickets.erase(tickets.begin());
    expect_balance(g, money, "redeem");
    checks.check(g.list_items(Control::List2) == tickets, "the ticket leaves the pawned list");
    checks.check(g.list_items(Control::List1) == std::vector<std::string>{"часы "},
                 "the watch is back");
    checks.check(!g.visible(Control::List2), "the pawned list closes");
    expect_focus(g, Control::cmdwent, "after Enter in the pawned list");

    // Start over with a list open closes it, and the keyboard lands on уйти; with no list
    // open the keyboard stays where it is.
    open_list(g, Control::cmdre, Control::List2);
    g.key_on_focus(VK_F2);
    checks.check(g.balance() == 60, "start over in the pawnshop");
    checks.check(!g.visible(Control::List2), "start over closes the open list");
    checks.check(g.list_items(Control::List1) == kWardrobe, "start over refills the wardrobe");
    checks.check(g.list_items(Control::List2).empty(), "start over empties the pawned list");
    expect_focus(g, Control::cmdwent, "after start over with a list open");
    g.key_on_focus(VK_F2);
    checks.check(g.balance() == 60, "start over in the pawnshop");
    expect_focus(g, Control::cmdwent, "after start over in the pawnshop");

    g.key_on_focus(VK_SPACE);
    checks.check(wait_until([&] { return g.shown(Control::cmdnum); }),
                 "Space on уйти goes back to the floor");
    g.expect_idle("leave");
    expect_screen(g,
                  {Control::cmdnum, Control::cmdred, Control::cmdbleck, Control::Command1,
                   Control::Command2, Control::cmddu, Control::cmdlom},
                  "floor after the pawnshop");

    // Start over on the floor keeps the floor and the keyboard: Space on число bets.
    g.key_on_focus(VK_F2);
    checks.check(g.balance() == 60, "start over on the floor");
    checks.check(g.shown(Control::cmdlom) && !g.visible(Control::cmdexit),
                 "start over keeps the floor");
    expect_focus(g, Control::cmdnum, "after start over on the floor");
    g.key_on_focus(VK_SPACE);
    const Opening o = read_opening(g, 60);
    if (o.price != 0) g.answer("на сколько чисел ставишь?", "", Submit::CancelButton);
    expect_balance(g, o.money, "Space on число");
}

// ---- A screen of another dpi ----

// The window hears that it now stands on a screen of another dpi, as when it is dragged to
// another monitor, and then that it is back: each time it takes the place suggested and
// lays itself out again from the twips table, its fonts with it.
void dpi_change(Game& g) {
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
    g.key_on_focus(VK_RETURN);
    checks.check(g.expect_message("enter") == "у тебя 60 баксов.", "Enter after the dpi changes");
}

// ---- Leaving ----

void expect_clean_exit(Game& g, std::string_view how) {
    const DWORD code = g.wait_exit(10000);
    checks.check(code == 0, std::string(how) + ": exit code 0", std::to_string(code));
}

// The window is asked to close while one of the game's boxes is open, as another program
// or the taskbar asks: the game ends at once, with exit code 0, and opens no further box.
void expect_close_with_box_open(Game& g, const std::string& what) {
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

// From the street, bets on the dozens until one gets as far as its price; that message
// box is left open. The dozen bet asks three times after it.
Box dozen_price_box(Game& g) {
    g.key_on_focus(VK_RETURN);
    checks.require(g.expect_message("enter") == "у тебя 60 баксов.", "the greeting");
    for (int attempt = 0; attempt < 10; ++attempt) {
        g.key_on_focus(VK_F2);
        checks.require(g.balance() == 60, "start over gives 60 bucks");
        g.click(Control::cmddu);
        for (;;) {
            const std::optional<Box> box = g.next_box();
            checks.require(box && !box->input, "the dozen bet opens with messages");
            if (box->text.starts_with("фишка стоит")) return *box;
            g.close_box(*box, IDOK);
            if (box->text == "тебе не на что играть.") break;
            checks.require(fortune_change(box->text).has_value(), "a fortune message", box->text);
        }
    }
    throw Fatal("no dozen bet got to its price in ten tries");
}

template <class Scenario>
void run(const char* name, Scenario scenario) {
    const int failed = checks.failed();
    const ULONGLONG start = GetTickCount64();
    try {
        scenario();
    } catch (const Fatal& fatal) {
        std::printf("  (%s stopped: %s)\n", name, fatal.what());
    }
    std::printf("%-10s %s in %.1f s\n", name, checks.failed() == failed ? "ok" : "FAILED",
                static_cast<double>(GetTickCount64() - start) / 1000.0);
    std::fflush(stdout);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) {
        std::fprintf(stderr,
                     "usage: casino_automation casino.exe [--dpi=N] [--place=corner|middle] "
                     "[--russian] [--shots] [--verbose]\n");
        return 2;
    }
    const std::wstring exe = argv[1];
    if (argc >= 5 && std::wcscmp(argv[2], L"--monkey") == 0) {
        const bool xinput = argc >= 6 && std::wcscmp(argv[5], L"--xinput") == 0;
        return run_monkey(exe, static_cast<int>(std::wcstol(argv[3], nullptr, 10)),
                          static_cast<unsigned>(std::wcstoul(argv[4], nullptr, 10)), xinput);
    }
    // The accessibility layer hands out COM objects.
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    for (int i = 2; i < argc; ++i) {
        if (std::wcscmp(argv[i], L"--shots") == 0) g_shots = true;
        if (std::wcscmp(argv[i], L"--verbose") == 0) verbose = true;
        if (std::wcscmp(argv[i], L"--russian") == 0) g_russian = true;
        if (std::wcscmp(argv[i], L"--place=corner") == 0) g_placement = Placement::TopLeft;
        if (std::wcscmp(argv[i], L"--place=middle") == 0) g_placement = Placement::Middle;
        if (std::wcsncmp(argv[i], L"--dpi=", 6) == 0)
            g_expected_dpi = static_cast<int>(std::wcstol(argv[i] + 6, nullptr, 10));
    }

    if (g_russian) {
        // Otherwise the input box's captions could be the English ones and still pass.
        const ButtonCaptions& system = system_box_captions();
        checks.require(system.cancel != "Cancel", "the system's own boxes speak Russian",
                       system.ok + " / " + system.cancel);
    }
    run("walk", [&] {
        Game g(exe);
        street(g);
        if (!g_shots) bets(g);
        pawnshop(g);
        g.menu_command("выход");
        expect_clean_exit(g, "exit from the menu");
    });
    if (!g_shots) {
        run("close box", [&] {
            Game g(exe);
            g.system_close();
            expect_clean_exit(g, "close box");
        });
        run("dpi change", [&] {
            Game g(exe);
            dpi_change(g);
        });
        run("close in a message box", [&] {
            Game g(exe);
            dozen_price_box(g);
            expect_close_with_box_open(g, "closed in the price message");
        });
        run("close in an input box", [&] {
            Game g(exe);
            const Box price = dozen_price_box(g);
            {
                WindowsCreated created(g.window());
                g.close_box(price, IDOK);
                checks.require(g.next_box().value_or(Box{}).input, "the dozen bet asks");
                // Else the watch for windows opened after a close could not fail.
                checks.require(wait_until([&] { return created.count() > 0; }, 2000),
                               "the accessibility layer tells of the input box opening");
            }
            expect_close_with_box_open(g, "closed in the input box");
        });
        run("alt+f4", [&] {
            Game g(exe);
            g.key_on_focus(VK_RETURN);  // on the casino floor this time
            checks.check(g.expect_message("enter") == "у тебя 60 баксов.", "the greeting");
            g.alt_f4();
            expect_clean_exit(g, "Alt+F4");
        });
    }
    std::printf("%d checks passed, %d failed\n", checks.passed(), checks.failed());
    return checks.failed() == 0 ? 0 : 1;
}
