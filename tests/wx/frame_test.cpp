// The real window's own probes, which no transcript states and the accessibility bus does not
// show: its size, colour and place, every control where the control table puts it, the tab
// order and Tab, each F-key choosing its own item, and the boxes' buttons. Everything expected
// comes from the core's tables; the game itself is walked by walk.script, through the monkey's
// driver and the transport that reads the window's caption, the menus', the buttons' and the
// boxes' titles from the bus. The window is read through wx's public API, as any program in
// the process could read it.
#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/display.h>
#include <wx/eventfilter.h>
#include <wx/menu.h>
#include <wx/modalhook.h>
#include <wx/msgdlg.h>
#include <wx/textdlg.h>
#include <wx/uiaction.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "core/random_source.h"
#include "main_window.h"
#include "support/names.h"

namespace casino::wx {
namespace {

std::string utf8(const wxString& text) { return std::string(text.utf8_str()); }
wxString wide(std::string_view text) { return wxString::FromUTF8(text.data(), text.size()); }

// Lets wx and the X server work for a while.
void pump(long ms) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    do {
        wxYield();
        wxMilliSleep(5);
    } while (std::chrono::steady_clock::now() < until);
}

bool wait_for(const std::function<bool()>& ready) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(3);
    while (!ready()) {
        if (std::chrono::steady_clock::now() > until) return false;
        pump(10);
    }
    return true;
}

class Silence final : public SoundOutput {
    void play_file(const std::string& /*path*/) override {}
    void play_bell() override {}
};

// Every box the game opens, checked and answered at once without being shown: a message
// box with OK, an input box cancelled.
class Boxes final : public wxModalDialogHook {
   public:
    Boxes() { Register(); }
    int messages = 0;
    int asks = 0;

   protected:
    int Enter(wxDialog* dialog) override {
        if (auto* box = dynamic_cast<wxMessageDialog*>(dialog)) {
            EXPECT_EQ(box->GetMessageDialogStyle() & (wxCANCEL | wxYES_NO), 0) << "OK alone";
            ++messages;
            return wxID_OK;
        }
        auto* ask = dynamic_cast<wxTextEntryDialog*>(dialog);
        EXPECT_NE(ask, nullptr) << "a box of another kind";
        if (ask == nullptr) return wxID_CANCEL;
        EXPECT_TRUE(ask->GetValue().empty());
        EXPECT_NE(ask->FindWindow(wxID_OK), nullptr);
        EXPECT_NE(ask->FindWindow(wxID_CANCEL), nullptr);
        ++asks;
        return wxID_CANCEL;
    }
    void Exit(wxDialog* /*dialog*/) override {}
};

// The ids of the menu items the window chooses, in order.
class ChosenItems final : public wxEventFilter {
   public:
    ChosenItems() { wxEvtHandler::AddFilter(this); }
    ~ChosenItems() override { wxEvtHandler::RemoveFilter(this); }
    ChosenItems(const ChosenItems&) = delete;
    ChosenItems& operator=(const ChosenItems&) = delete;
    std::vector<int> ids;

    int FilterEvent(wxEvent& event) override {
        if (event.GetEventType() == wxEVT_MENU) ids.push_back(event.GetId());
        return Event_Skip;
    }
};

class Window : public ::testing::Test {
   protected:
    void SetUp() override {
        frame_ = new MainWindow([this](Ending) { ++quits_; }, draws_, state_,
                                std::make_unique<Silence>());
        frame_->Show();
        ASSERT_TRUE(wait_for([&] { return frame_->IsShownOnScreen() && wxWindow::FindFocus(); }));
        // Without a window manager the keyboard follows the pointer.
        sim_.MouseMove(frame_->GetScreenRect().GetBottomRight() - wxSize(3, 3));
        pump(80);
    }
    void TearDown() override {
        frame_->Destroy();
        pump(30);
    }

    [[nodiscard]] wxWindow* control(const ControlSpec& row) const {
        return wxWindow::FindWindowByName(wide(row.name), frame_);
    }
    void press(int key) {
        sim_.Char(key);
        pump(150);
    }

    RandomSource draws_;
    GameState state_;
    wxUIActionSimulator sim_;
    MainWindow* frame_ = nullptr;
    int quits_ = 0;
};

TEST_F(Window, StandsAsTheWindowAndControlTablesSay) {
    const auto pixels = [&](int x, int y) {
        return frame_->FromDIP(wxSize(twips_to_pixels(x, 96), twips_to_pixels(y, 96)));
    };
    EXPECT_EQ(frame_->GetClientSize(), pixels(kWindow.client_width, kWindow.client_height));
    const wxWindow* client = control(kControls[0])->GetParent();
    EXPECT_EQ(client->GetParent(), frame_);
    EXPECT_EQ(client->GetSize(), frame_->GetClientSize());
    const Rgb& green = kWindow.background;
    EXPECT_EQ(client->GetBackgroundColour(), wxColour(green.r, green.g, green.b));
    const wxRect work = wxDisplay(frame_).GetClientArea();
    const wxRect outer = frame_->GetScreenRect();
    EXPECT_NEAR(outer.x + outer.width / 2, work.x + work.width / 2, 1) << "centred across";
    EXPECT_NEAR(outer.y + outer.height / 2, work.y + work.height / 2, 1) << "centred down";

    for (const ControlSpec& row : kControls) {
        SCOPED_TRACE(std::string(row.name));
        const wxWindow* w = control(row);
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(w->GetParent(), client);
        const wxSize at = pixels(row.left, row.top);
        EXPECT_EQ(w->GetRect(), wxRect(wxPoint(at.x, at.y), pixels(row.width, row.height)));
    }
    // Tab goes round the client area's children in their order.
    std::vector<std::string> order;
    for (const wxWindow* child : client->GetChildren()) order.push_back(utf8(child->GetName()));
    std::vector<std::string> wanted;
    for (const Control c : tab_order()) wanted.emplace_back(name_of(c));
    EXPECT_EQ(order, wanted);
}

// Each F-key chooses the item in the table's place for it, even once the item's caption has
// changed; the items without one have no key.
TEST_F(Window, EachFunctionKeyChoosesItsOwnItem) {
    wxMenuBar& bar = *frame_->GetMenuBar();
    ASSERT_EQ(bar.GetMenuCount(), kMenus.size());
    std::vector<std::pair<int, int>> keys;  // the key, the id of its item
    for (std::size_t m = 0; m < kMenus.size(); ++m) {
        const wxMenuItemList& items = bar.GetMenu(m)->GetMenuItems();
        ASSERT_EQ(items.size(), static_cast<std::size_t>(kMenus[m].item_count));
        for (int i = 0; i < kMenus[m].item_count; ++i) {
            const MenuItemSpec& row =
                kMenuItems[static_cast<std::size_t>(kMenus[m].first_item + i)];
            const wxMenuItem& item = *items[static_cast<std::size_t>(i)];
            const std::unique_ptr<wxAcceleratorEntry> accel(item.GetAccel());
            EXPECT_EQ(accel != nullptr, !row.shortcut_text.empty()) << row.caption;
            if (row.shortcut_text.empty()) continue;
            keys.emplace_back(WXK_F1 + std::stoi(std::string(row.shortcut_text.substr(1))) - 1,
                              item.GetId());
        }
    }
    ASSERT_FALSE(keys.empty());
    const Boxes boxes;
    const ChosenItems chosen;
    std::vector<int> wanted;
    for (int round = 0; round < 2; ++round) {
        for (const auto& [key, id] : keys) {
            press(key);
            wanted.push_back(id);
        }
    }
    EXPECT_EQ(chosen.ids, wanted);
    EXPECT_GT(boxes.messages, 0);
}

// On the casino floor Tab moves the keyboard to the next shown control in the tab order;
// the game's boxes there, the greeting and a bet's price and stake, carry their buttons.
TEST_F(Window, TabAndTheBoxesOnTheCasinoFloor) {
    const Boxes boxes;
    press(WXK_RETURN);
    const auto shown = [&](Control c) { return control(spec_of(c))->IsShownOnScreen(); };
    ASSERT_TRUE(wait_for([&] { return shown(Control::cmdred) && wxWindow::FindFocus(); }));
    const std::string from = utf8(wxWindow::FindFocus()->GetName());
    const auto row = std::find_if(kControls.begin(), kControls.end(),
                                  [&](const ControlSpec& r) { return r.name == from; });
    ASSERT_NE(row, kControls.end()) << from;
    press(WXK_TAB);
    EXPECT_EQ(utf8(wxWindow::FindFocus()->GetName()), name_of(*next_in_tab_order(row->id, shown)));
    sim_.MouseMove(control(spec_of(Control::cmdred))->GetScreenRect().GetPosition() + wxSize(8, 8));
    pump(40);
    sim_.MouseClick();
    pump(150);
    EXPECT_GE(boxes.messages, 2);
    EXPECT_EQ(boxes.asks, 1);
    EXPECT_EQ(quits_, 0);
}

// A wx assertion would open a dialog and wait for a click that never comes; in a test it
// is a failure instead.
void fail_on_assert(const wxString& file, int line, const wxString& func, const wxString& cond,
                    const wxString& msg) {
    ADD_FAILURE_AT(file.utf8_str(), line) << "wx assertion " << cond.utf8_str() << " in "
                                          << func.utf8_str() << ": " << msg.utf8_str();
}

}  // namespace
}  // namespace casino::wx

// Outside any namespace: wxIMPLEMENT_APP_NO_MAIN gives it an accessor.
class TestApp final : public wxApp {
   public:
    bool OnInit() override { return true; }
};
wxIMPLEMENT_APP_NO_MAIN(TestApp);

// The probes run inside a real wx application, on the display named by DISPLAY.
int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    wxApp::SetInstance(new TestApp);
    if (!wxEntryStart(argc, argv) || !wxTheApp->CallOnInit()) {
        std::fprintf(stderr, "wx_gui_tests: cannot open the display (is DISPLAY set?)\n");
        return 1;
    }
    wxLog::EnableLogging(false);
    wxSetAssertHandler(casino::wx::fail_on_assert);
    const int result = RUN_ALL_TESTS();
    wxTheApp->OnExit();
    wxEntryCleanup();
    return result;
}
