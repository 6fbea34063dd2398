// The real game window under a virtual X server: its layout, its keys and menus, and a
// player's way through the street, the casino floor and the pawnshop.
#include <gtest/gtest.h>
#include <wx/button.h>
#include <wx/display.h>
#include <wx/menu.h>
#include <wx/modalhook.h>
#include <wx/msgdlg.h>
#include <wx/panel.h>
#include <wx/stattext.h>
#include <wx/textdlg.h>
#include <wx/timer.h>
#include <wx/uiaction.h>
#include <wx/utils.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <functional>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "game_list.h"
#include "main_window.h"
#include "support/queued_draws.h"
#include "support/names.h"
#include "support/replay_session.h"

namespace casino::wx {
namespace {

using Lines = std::vector<std::string>;

std::string utf8(const wxString& text) { return std::string(text.utf8_str()); }

// ---- What the window shows and plays, in order, one line each ----

class RecordedSound final : public SoundOutput {
   public:
    explicit RecordedSound(Lines& log) : log_(log) {}
    void play_file(const std::string& path) override { log_.push_back("cue " + path); }
    void play_bell() override { log_.push_back("bell"); }

   private:
    Lines& log_;
};

// Answers every dialog the game opens without showing it, and notes what it said.
class ScriptedDialogs final : public wxModalDialogHook {
   public:
    explicit ScriptedDialogs(Lines& log) : log_(log) { Register(); }

    // An answer typed and confirmed, or nullopt for Cancel.
    void answer(std::optional<std::string> text) { answers_.push_back(std::move(text)); }
    [[nodiscard]] std::size_t unanswered() const { return answers_.size(); }
    // The next message box is shown on the screen, for the player to close.
    void show_next_message() { show_next_message_ = true; }

   protected:
    int Enter(wxDialog* dialog) override {
        if (utf8(dialog->GetTitle()) != "казино")
            log_.push_back("title " + utf8(dialog->GetTitle()));
        if (auto* box = dynamic_cast<wxMessageDialog*>(dialog)) {
            log_.push_back("message " + utf8(box->GetMessage()));
            if (box->GetMessageDialogStyle() & (wxCANCEL | wxYES_NO)) log_.push_back("not OK only");
            return std::exchange(show_next_message_, false) ? wxID_NONE : wxID_OK;
        }
        auto* ask = dynamic_cast<wxTextEntryDialog*>(dialog);
        if (ask == nullptr) {
            log_.push_back("unexpected dialog");
            return wxID_CANCEL;
        }
        log_.push_back("ask " + prompt_of(*ask));
        if (!ask->GetValue().empty()) log_.push_back("field not empty");
        if (ask->FindWindow(wxID_OK) == nullptr || ask->FindWindow(wxID_CANCEL) == nullptr) {
            log_.push_back("no OK and Cancel");
        }
        if (answers_.empty()) {
            log_.push_back("no answer scripted");
            return wxID_CANCEL;
        }
        const std::optional<std::string> reply = answers_.front();
        answers_.pop_front();
        if (!reply) return wxID_CANCEL;
        // A cancelled box keeps what was typed; the game must still get nothing.
        ask->SetValue(wxString::FromUTF8(*reply));
        return wxID_OK;
    }

   private:
    static std::string prompt_of(wxDialog& dialog) {
        std::string prompt;
        for (wxWindow* child : dialog.GetChildren()) {
            if (auto* text = dynamic_cast<wxStaticText*>(child)) prompt += utf8(text->GetLabel());
        }
        return prompt;
    }

    Lines& log_;
    std::deque<std::optional<std::string>> answers_;
    bool show_next_message_ = false;
};

// Lets wx and the X server work for a while.
void pump(long ms = 80) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    do {
        wxYield();
        wxMilliSleep(5);
    } while (std::chrono::steady_clock::now() < until);
}

bool wait_for(const std::function<bool()>& ready, long ms = 3000) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (!ready()) {
        if (std::chrono::steady_clock::now() > until) return false;
        pump(10);
    }
    return true;
}

// ---- The fixture: a fresh window, shown, with its dialogs and sound scripted ----

class GameWindow : public ::testing::Test {
   protected:
    void SetUp() override {
        frame_ = new MainWindow(
            [this](Ending ending) {
                ++quits_;
                ending_ = ending;
            },
            draws_, state_, std::make_unique<RecordedSound>(log_));
        frame_->Show();
        frame_->Raise();
        ASSERT_TRUE(wait_for([&] { return frame_->IsShownOnScreen() && focused() != nullptr; }));
        // Without a window manager the keyboard follows the pointer.
        sim_.MouseMove(frame_->client()->GetScreenRect().GetBottomRight() - wxSize(3, 3));
        pump();
    }

    void TearDown() override {
        frame_->Destroy();
        pump(30);
    }

    wxWindow* at(Control c) const { return frame_->control(c); }
    static wxWindow* focused() { return wxWindow::FindFocus(); }
    [[nodiscard]] bool shown(Control c) const { return at(c)->IsShown() && at(c)->IsEnabled(); }
    // A list's entries and highlight, read from the widget the player sees.
    [[nodiscard]] Lines entries(Control list) const {
        Lines out;
        const GameList& box = frame_->list_box(list);
        for (int i = 0; i < box.count(); ++i) out.push_back(utf8(box.text(i)));
        return out;
    }
    [[nodiscard]] int highlight(Control list) const { return frame_->list_box(list).highlight(); }

    // Everything logged since the last call.
    Lines take() { return std::exchange(log_, {}); }

    // Real input: a key typed on the keyboard, a click with the mouse.
    void type(int key, int modifiers = wxMOD_NONE) {
        sim_.Char(key, modifiers);
        pump(150);
    }
    void click(Control c) {
        ASSERT_TRUE(at(c)->IsShownOnScreen()) << name_of(c);
        sim_.MouseMove(at(c)->GetScreenRect().GetPosition() + wxSize(8, 8));
        pump(40);
        sim_.MouseClick();
        pump(150);
    }

    // ---- What the game decides, from the replay tool given the same input ----

    // One step of the player's: the real input, and the same step as a replay line. The
    // window must show what the replay shows (its boxes and cues, in order), and the game
    // behind it must stand where the replay's does.
    void step(const std::string& line, const std::function<void()>& input) {
        input();
        const auto error = expected_.run_line(line);
        ASSERT_FALSE(error) << *error;
        Lines shown;
        std::istringstream out(expected_.take_output());
        for (std::string l; std::getline(out, l);) {
            if (l.starts_with("cue ")) std::replace(l.begin(), l.end(), '\\', '/');
            if (l.starts_with("message ") || l.starts_with("ask ") || l.starts_with("cue ")) {
                shown.push_back(l);
            }
        }
        EXPECT_EQ(take(), shown) << line;
        EXPECT_EQ(state_.table, expected_.table()) << line;
    }
    // Lines that only set up what follows, for the window's game and the replay's alike.
    void draw(std::initializer_list<float> values) {
        std::string line = "draw";
        for (const float r : values) {
            draws_.queue(r);
            char text[32];
            std::snprintf(text, sizeof text, " %.9g", static_cast<double>(r));
            line += text;
        }
        ASSERT_FALSE(expected_.run_line(line));
    }
    // A spin whose number and rolls are known: number, eventroll 6 and priceroll 5, fine 75.
    void fix_spin(int number) { draw({(number + 0.5f) / 37, 6.5f / 16, 5.5f / 18, 0.5f}); }
    void answer(std::optional<std::string> text) {
        ASSERT_FALSE(expected_.run_line(text ? "type " + *text : "type"));
        dialogs_.answer(std::move(text));
    }
    void set_money(int money) {
        state_.table.money = static_cast<std::int16_t>(money);
        ASSERT_FALSE(expected_.run_line("money " + std::to_string(money)));
    }

    void snapshot(const char* name) {
        const char* folder = std::getenv("CASINO_SCREENSHOTS");
        if (folder == nullptr || *folder == '\0') return;
        pump(300);
        const wxRect r = frame_->GetScreenRect();
        const std::string command = "import -window root -crop " + std::to_string(r.width) + "x" +
                                    std::to_string(r.height) + "+" + std::to_string(r.x) + "+" +
                                    std::to_string(r.y) + " " + folder + "/linux-" + name + ".png";
        EXPECT_EQ(std::system(command.c_str()), 0) << command;
    }

    void enter_casino() {
        step("click cmdexit", [&] { click(Control::cmdexit); });
        ASSERT_TRUE(shown(Control::cmdnum));
    }
    void open_pawnshop() {
        enter_casino();
        step("click cmdlom", [&] { click(Control::cmdlom); });
        ASSERT_TRUE(shown(Control::cmdpay));
    }

    // The game's draws and table, which the window's game uses as the replay's uses its own.
    testing::QueuedDraws draws_;
    GameState state_;
    testing::ReplaySession expected_;
    Lines log_;
    ScriptedDialogs dialogs_{log_};
    wxUIActionSimulator sim_;
    MainWindow* frame_ = nullptr;
    int quits_ = 0;
    std::optional<Ending> ending_;
};

// ---- The window as it first appears ----

TEST_F(GameWindow, StreetShowsOnlyTheEntranceWithEveryControlAtItsPlace) {
    EXPECT_EQ(utf8(frame_->GetTitle()), "казино \"Пельтораг\"");
    EXPECT_EQ(frame_->GetClientSize(), frame_->FromDIP(wxSize(312, 210)));
    EXPECT_EQ(frame_->client()->GetSize(), frame_->GetClientSize());
    EXPECT_EQ(frame_->client()->GetBackgroundColour(), wxColour(0, 255, 0));
    const wxRect work = wxDisplay(frame_).GetClientArea();
    const wxRect outer = frame_->GetScreenRect();
    EXPECT_NEAR(outer.x + outer.width / 2, work.x + work.width / 2, 1) << "centred across";
    EXPECT_NEAR(outer.y + outer.height / 2, work.y + work.height / 2, 1) << "centred down";

    for (const ControlSpec& row : kControls) {
        SCOPED_TRACE(std::string(row.name));
        wxWindow* w = at(row.id);
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(w->GetParent(), frame_->client());
        const wxRect expected(
            frame_->FromDIP(wxPoint(twips_to_pixels(row.left, 96), twips_to_pixels(row.top, 96))),
            frame_->FromDIP(
                wxSize(twips_to_pixels(row.width, 96), twips_to_pixels(row.height, 96))));
        EXPECT_EQ(w->GetRect(), expected);
        if (row.kind == ControlKind::Button) {
            EXPECT_EQ(utf8(w->GetLabel()), row.caption);
        }
        const bool street = row.id == Control::cmdexit;
        EXPECT_EQ(w->IsShown(), street);
        EXPECT_EQ(w->IsEnabled(), street || row.id == Control::cmdlom);
    }

    // The tab order is the order of the client area's children.
    int previous = -1;
    for (wxWindow* child : frame_->client()->GetChildren()) {
        const auto c = testing::control_named(utf8(child->GetName()));
        ASSERT_TRUE(c.has_value());
        EXPECT_EQ(spec_of(*c).tab_order, previous + 1) << name_of(*c);
        previous = spec_of(*c).tab_order;
    }

    EXPECT_EQ(focused(), at(Control::cmdexit));
    EXPECT_EQ(entries(Control::List1), testing::list_entries(expected_.state(), Control::List1));
    snapshot("street");
}

TEST_F(GameWindow, MenusCarryTheirCaptionsAndOnlyTheFunctionKeys) {
    wxMenuBar* bar = frame_->GetMenuBar();
    ASSERT_EQ(bar->GetMenuCount(), 2u);
    EXPECT_EQ(utf8(bar->GetMenuLabelText(0)), "игра");
    EXPECT_EQ(utf8(bar->GetMenuLabelText(1)), "справка");
    ASSERT_EQ(bar->GetMenu(0)->GetMenuItemCount(), 4u);
    ASSERT_EQ(bar->GetMenu(1)->GetMenuItemCount(), 1u);

    const struct {
        MenuItem item;
        const char* caption;
        int key;  // 0: no shortcut
    } expected[] = {
        {MenuItem::balance, "деньги", WXK_F3},      {MenuItem::sound, "отключить звук", WXK_F5},
        {MenuItem::start_over, "заново", WXK_F2},   {MenuItem::exit, "выход alt+f4", 0},
        {MenuItem::help, "формула успеха", WXK_F1},
    };
    for (const auto& e : expected) {
        SCOPED_TRACE(e.caption);
        wxMenuItem* item = frame_->menu_item(e.item);
        EXPECT_EQ(utf8(item->GetItemLabelText()), e.caption);
        std::unique_ptr<wxAcceleratorEntry> accel(item->GetAccel());
        if (e.key == 0) {
            EXPECT_EQ(accel, nullptr);
        } else {
            ASSERT_NE(accel, nullptr);
            EXPECT_EQ(accel->GetKeyCode(), e.key);
            EXPECT_EQ(accel->GetFlags(), wxACCEL_NORMAL);
        }
    }
}

// ---- Keys and menus ----

TEST_F(GameWindow, FunctionKeysWorkOnTheStreetAndInsideAList) {
    step("menu деньги", [&] { type(WXK_F3); });
    step("menu help", [&] { type(WXK_F1); });
    step("menu sound", [&] { type(WXK_F5); });
    EXPECT_EQ(utf8(frame_->menu_item(MenuItem::sound)->GetItemLabelText()), kSoundOnCaption);
    std::unique_ptr<wxAcceleratorEntry> accel(frame_->menu_item(MenuItem::sound)->GetAccel());
    ASSERT_NE(accel, nullptr);
    EXPECT_EQ(accel->GetKeyCode(), WXK_F5);

    // Start over on the street leaves the keyboard on the entrance.
    step("menu new", [&] { type(WXK_F2); });
    EXPECT_EQ(focused(), at(Control::cmdexit));
    step("click cmdexit", [&] { type(WXK_RETURN); });
    step("click cmdlom", [&] { click(Control::cmdlom); });
    step("click cmdpay", [&] { click(Control::cmdpay); });
    ASSERT_EQ(focused(), at(Control::List1));
    set_money(77);
    step("menu деньги", [&] { type(WXK_F3); });
    step("menu sound", [&] { type(WXK_F5); });
    EXPECT_EQ(utf8(frame_->menu_item(MenuItem::sound)->GetItemLabelText()), kSoundOffCaption);
    // F2 starts over and closes the open list, but keeps the pawnshop.
    step("menu new", [&] { type(WXK_F2); });
    EXPECT_FALSE(at(Control::List1)->IsShown());
    EXPECT_TRUE(shown(Control::cmdpay));
}

TEST_F(GameWindow, EnterKeyOnTheEntranceOpensTheCasino) {
    step("click cmdexit", [&] { type(WXK_RETURN); });
    for (const ControlSpec& row : kControls) {
        EXPECT_EQ(shown(row.id), expected_.state().accepts_input(row.id)) << row.name;
    }
    EXPECT_EQ(focused(), at(Control::cmdnum));
    snapshot("floor");
}

// ---- Bets, with known spins and typed answers ----

// Every kind of bet reaches the game from its button, Space included, and its boxes
// show the game's texts and pass the typed answers back as typed.
TEST_F(GameWindow, EachKindOfBetShowsItsBoxesAndTakesTheAnswers) {
    enter_casino();
    fix_spin(7);
    answer("1");
    step("click cmdred", [&] { click(Control::cmdred); });
    fix_spin(7);
    answer(std::nullopt);  // Cancel places no bet
    step("click Command2", [&] { click(Control::Command2); });
    fix_spin(30);
    for (const char* chips : {"1", "0", "2"}) answer(chips);
    step("click cmddu", [&] { click(Control::cmddu); });
    at(Control::cmdnum)->SetFocus();
    pump();
    fix_spin(22);
    for (const char* pick : {"2", "17", " 22"}) answer(pick);
    step("click cmdnum", [&] { type(WXK_SPACE); });
    EXPECT_EQ(dialogs_.unanswered(), 0u);
}

// ---- The pawnshop ----

TEST_F(GameWindow, PawningAndRedeemingWithTheKeyboard) {
    open_pawnshop();
    step("click cmdpay", [&] { click(Control::cmdpay); });
    ASSERT_TRUE(shown(Control::List1));
    ASSERT_EQ(focused(), at(Control::List1));
    EXPECT_EQ(highlight(Control::List1), 0);
    snapshot("pawnshop");

    // A mouse double-click only moves the highlight; arrows move it too, and are no keys
    // for the game.
    step("highlight List1 1", [&] {
        sim_.MouseMove(at(Control::List1)->GetScreenRect().GetPosition() + wxSize(10, 8));
        pump(40);
        sim_.MouseDblClick();
        pump(150);
        sim_.KeyDown(WXK_DOWN);
        sim_.KeyUp(WXK_DOWN);
        pump(150);
    });
    EXPECT_TRUE(shown(Control::List1));
    EXPECT_EQ(highlight(Control::List1), 1);

    // Every character typed reaches the game, Space too, which the list must not keep
    // for itself.
    draw({0.9f, 0.8f, 0.25f});
    step("key List1 120", [&] { type('x'); });
    step("key List1 32", [&] { type(WXK_SPACE); });
    step("key List1 13", [&] { type(WXK_RETURN); });
    EXPECT_TRUE(draws_.empty());
    EXPECT_FALSE(at(Control::List1)->IsShown());
    EXPECT_EQ(entries(Control::List1), testing::list_entries(expected_.state(), Control::List1));
    EXPECT_EQ(entries(Control::List2), testing::list_entries(expected_.state(), Control::List2));

    step("click cmdre", [&] { click(Control::cmdre); });
    ASSERT_EQ(focused(), at(Control::List2));
    step("key List2 13", [&] { type(WXK_RETURN); });
    set_money(1000);
    step("click cmdre", [&] { click(Control::cmdre); });
    step("key List2 13", [&] { type(WXK_RETURN); });
    EXPECT_EQ(entries(Control::List2), testing::list_entries(expected_.state(), Control::List2));
    EXPECT_EQ(entries(Control::List1), testing::list_entries(expected_.state(), Control::List1));

    step("click cmdwent", [&] { click(Control::cmdwent); });
    EXPECT_TRUE(shown(Control::cmdred));
    EXPECT_FALSE(at(Control::cmdpay)->IsShown());
}

TEST_F(GameWindow, StartOverEmptiesThePawnshopAndKeepsTheScreen) {
    open_pawnshop();
    draw({0.0f});
    step("click cmdpay", [&] { click(Control::cmdpay); });
    step("key List1 13", [&] { type(WXK_RETURN); });
    step("click cmdre", [&] { click(Control::cmdre); });
    ASSERT_TRUE(shown(Control::List2));

    step("menu new", [&] { type(WXK_F2); });
    EXPECT_FALSE(at(Control::List2)->IsShown());
    EXPECT_EQ(entries(Control::List2), testing::list_entries(expected_.state(), Control::List2));
    EXPECT_EQ(entries(Control::List1), testing::list_entries(expected_.state(), Control::List1));
    EXPECT_TRUE(shown(Control::cmdre));
}

// ---- The keyboard ----

// When the control holding the keyboard goes, the next shown control in the tab order
// takes it, so Enter or Space always acts on something the player can see.
TEST_F(GameWindow, TheKeyboardLandsOnTheNextShownControlWhenItsOwnGoes) {
    step("click cmdexit", [&] { type(WXK_RETURN); });
    ASSERT_EQ(focused(), at(Control::cmdnum));
    at(Control::cmdlom)->SetFocus();
    pump();
    step("click cmdlom", [&] { type(WXK_SPACE); });
    ASSERT_TRUE(shown(Control::cmdwent));
    EXPECT_EQ(focused(), at(Control::cmdwent)) << "after ломбард";
    step("click cmdwent", [&] { type(WXK_RETURN); });
    ASSERT_TRUE(shown(Control::cmdnum)) << "Enter on уйти";
    EXPECT_EQ(focused(), at(Control::cmdnum)) << "after уйти";

    step("click cmdlom", [&] { click(Control::cmdlom); });
    EXPECT_EQ(focused(), at(Control::cmdwent)) << "after a click on ломбард";
    draw({0.5f});
    step("click cmdpay", [&] { click(Control::cmdpay); });
    step("key List1 13", [&] { type(WXK_RETURN); });
    EXPECT_EQ(focused(), at(Control::cmdwent)) << "after Enter in the wardrobe";
    step("click cmdre", [&] { click(Control::cmdre); });
    step("key List2 13", [&] { type(WXK_RETURN); });
    EXPECT_EQ(focused(), at(Control::cmdwent)) << "after Enter in the pawned list";
    step("click cmdpay", [&] { click(Control::cmdpay); });
    step("menu new", [&] { type(WXK_F2); });
    EXPECT_EQ(focused(), at(Control::cmdwent)) << "after start over with a list open";
    step("menu new", [&] { type(WXK_F2); });
    EXPECT_EQ(focused(), at(Control::cmdwent)) << "after start over in the pawnshop";

    // Space on уйти; start over on the floor leaves the keyboard on число, where Space bets.
    step("click cmdwent", [&] { type(WXK_SPACE); });
    EXPECT_EQ(focused(), at(Control::cmdnum)) << "after уйти";
    step("menu new", [&] { type(WXK_F2); });
    EXPECT_EQ(focused(), at(Control::cmdnum)) << "after start over on the floor";
    fix_spin(5);
    answer(std::nullopt);
    step("click cmdnum", [&] { type(WXK_SPACE); });
}

// A message box on the screen, closed with Enter: GTK gives the keyboard back to the window
// only when it is active again, after the handler has hidden the list that held it.
TEST_F(GameWindow, AfterARealMessageBoxTheKeyboardLandsOnAShownControl) {
    open_pawnshop();
    step("click cmdpay", [&] { click(Control::cmdpay); });
    ASSERT_EQ(focused(), at(Control::List1));
    draw({0.5f});
    dialogs_.show_next_message();
    wxTimer closer;
    closer.Bind(wxEVT_TIMER, [&](wxTimerEvent&) { sim_.Char(WXK_RETURN); });
    closer.StartOnce(500);
    step("key List1 13", [&] {
        type(WXK_RETURN);
        ASSERT_TRUE(wait_for([&] { return !at(Control::List1)->IsShown(); }));
    });
    EXPECT_TRUE(wait_for([&] { return focused() == at(Control::cmdwent); }));
    step("click cmdwent", [&] { type(WXK_SPACE); });
    EXPECT_TRUE(shown(Control::cmdnum)) << "Space on уйти";
}

// ---- Leaving ----

TEST_F(GameWindow, ExitItemEndsTheGameAtOnce) {
    wxCommandEvent chosen(wxEVT_MENU, frame_->menu_item(MenuItem::exit)->GetId());
    frame_->ProcessWindowEvent(chosen);
    EXPECT_EQ(quits_, 1);
    EXPECT_EQ(ending_, Ending::StopMainLoop) << "no handler waits in a box";
    EXPECT_FALSE(frame_->IsShown());
    EXPECT_TRUE(take().empty());
}

TEST_F(GameWindow, ClosingTheWindowEndsTheGameWithoutAQuestion) {
    enter_casino();
    EXPECT_TRUE(frame_->Close());
    EXPECT_EQ(quits_, 1);
    EXPECT_EQ(ending_, Ending::StopMainLoop) << "no handler waits in a box";
    EXPECT_TRUE(take().empty());
    // A late close, after the game has ended, changes nothing.
    frame_->Close(true);
    EXPECT_EQ(quits_, 1);
}

}  // namespace
}  // namespace casino::wx
