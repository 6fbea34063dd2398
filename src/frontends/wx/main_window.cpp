// The game's window on Linux: a wx frame built from the control and menu tables.
#include "main_window.h"

#include <wx/button.h>
#include <wx/datetime.h>
#include <wx/menu.h>
#include <wx/msgdlg.h>
#include <wx/panel.h>
#include <wx/textdlg.h>
#include <wx/utils.h>

#include <algorithm>
#include <string>

#include "canberra_sound.h"
#include "caption_font.h"
#include "game_list.h"
#include "gtk_calls.h"
#include "window_icons.h"

namespace casino::wx {
namespace {

wxString from_utf8(std::string_view text) { return wxString::FromUTF8(text.data(), text.size()); }

std::string to_utf8(const wxString& text) {
    const wxScopedCharBuffer utf8 = text.utf8_str();
    return {utf8.data(), utf8.length()};
}

wxColour colour(const Rgb& rgb) { return {rgb.r, rgb.g, rgb.b}; }

// The table's twips become pixels at 96 dots per inch, then wx scales them for the screen.
int dips(int twips) { return twips_to_pixels(twips, 96); }

// Menu ids start past wx's own, so no stock item (with its stock label) is ever picked.
int menu_id(MenuItem m) { return wxID_HIGHEST + 1 + static_cast<int>(m); }

}  // namespace

MainWindow::MainWindow(std::function<void(Ending)> quit, Draws& draws, GameState& state,
                       std::unique_ptr<SoundOutput> sound)
    : wxFrame(nullptr, wxID_ANY, from_utf8(kWindow.caption), wxDefaultPosition, wxDefaultSize,
              wxDEFAULT_FRAME_STYLE & ~(wxRESIZE_BORDER | wxMAXIMIZE_BOX)),
      quit_(std::move(quit)),
      sound_(sound ? std::move(sound) : std::make_unique<CuePlayer>(canberra(), [] { wxBell(); })),
      data_dir_(installed_data_dir()),
      form_(*this, draws, state) {
    SetIcons(window_icons());
    create_menus();

    client_ = new wxPanel(this, wxID_ANY);
    // Of the window's own colours and font only the background can be seen: the game
    // draws no text on the window. The text colour and font are left alone, because GTK
    // would hand them down to every button, which must keep its system look.
    client_->SetOwnBackgroundColour(colour(kWindow.background));
    SetClientSize(FromDIP(wxSize(dips(kWindow.client_width), dips(kWindow.client_height))));
    // On X11 the window opens in the middle of its screen's work area, where its boxes
    // appear too. A Wayland client cannot place its window: there the compositor does, and
    // this does nothing.
    CentreOnScreen();

    create_controls();
    apply_tab_order();
    Bind(wxEVT_CLOSE_WINDOW, [this](wxCloseEvent&) { OnClose(); });
    client_->Bind(wxEVT_CHILD_FOCUS, &MainWindow::OnChildFocus, this);

    // The load step names the control that takes the keyboard as the window opens.
    dispatch(Event::load());
}

MainWindow::~MainWindow() = default;

// ---- Creation ----

void MainWindow::create_menus() {
    auto* bar = new wxMenuBar;
    for (const MenuSpec& menu_spec : kMenus) {
        auto* menu = new wxMenu;
        for (int i = 0; i < menu_spec.item_count; ++i) {
            const MenuItemSpec& item =
                kMenuItems[static_cast<std::size_t>(menu_spec.first_item + i)];
            menu_items_[static_cast<std::size_t>(item.id)] =
                menu->Append(menu_id(item.id), from_utf8(menu_label(item.id, item.caption)));
        }
        bar->Append(menu, from_utf8(menu_spec.caption));
    }
    SetMenuBar(bar);
    Bind(wxEVT_MENU, &MainWindow::OnMenu, this, menu_id(MenuItem::balance),
         menu_id(static_cast<MenuItem>(kMenuItemCount - 1)));
}

void MainWindow::create_controls() {
    const wxFont font = caption_font(*client_);
    for (const ControlSpec& row : kControls) {
        const wxPoint pos = FromDIP(wxPoint(dips(row.left), dips(row.top)));
        const wxSize size = FromDIP(wxSize(dips(row.width), dips(row.height)));
        wxWindow* window = nullptr;
        const Control id = row.id;
        if (row.kind == ControlKind::ListBox) {
            window = new GameList(client_, pos, size, voice_of(id),
                                  [this, id](int code) { OnListKey(id, code); });
        } else {
            window = new wxButton(client_, wxID_ANY, from_utf8(row.caption), pos, size);
            fit_caption(*window);
            window->Bind(wxEVT_BUTTON, &MainWindow::OnClick, this);
        }
        window->SetFont(font);
        window->SetName(from_utf8(row.name));
        window->Enable(row.enabled);
        window->Show(row.visible);
        controls_[slot(id)] = window;
    }
}

void MainWindow::apply_tab_order() {
    const auto& order = tab_order();
    for (std::size_t i = 1; i < order.size(); ++i) {
        control(order[i])->MoveAfterInTabOrder(control(order[i - 1]));
    }
}

// ---- The keyboard focus ----

void MainWindow::dispatch(const Event& event) {
    const Outcome outcome = form_.handle(event);
    if (!outcome.focus) return;
    // The focus moves once the native event that brought this one has run its course: an
    // Enter that a list reports as an activation is still being handled by GTK, which would
    // hand the same key to the control the focus moved to.
    const Control next = *outcome.focus;
    CallAfter([this, next] {
        if (!quitting_) set_focus(next);
    });
}

std::optional<Control> MainWindow::control_of(const wxWindow* window) const {
    for (; window != nullptr && window != client_; window = window->GetParent()) {
        const auto found = std::find(controls_.begin(), controls_.end(), window);
        if (found != controls_.end()) return static_cast<Control>(found - controls_.begin());
    }
    return std::nullopt;
}

GameList& MainWindow::list_box(Control list) const {
    return *static_cast<GameList*>(control(list));
}

// ---- Native events ----

void MainWindow::OnClick(wxCommandEvent& event) {
    const std::optional<Control> c =
        control_of(dynamic_cast<const wxWindow*>(event.GetEventObject()));
    if (c) dispatch(Event::click(*c, focused_));
}

void MainWindow::OnMenu(wxCommandEvent& event) {
    const int index = event.GetId() - menu_id(MenuItem::balance);
    if (index < 0 || index >= kMenuItemCount) return;
    dispatch(Event::menu_item(static_cast<MenuItem>(index), focused_));
}

void MainWindow::OnListKey(Control list, int code) {
    dispatch(Event::key_press(list, code, list_box(list).highlight(), focused_));
}

void MainWindow::OnClose() {
    dispatch(Event::unload());
    if (!quitting_) quit();
}

// GTK tells of a focus change late when a dialog has just closed, only once the window
// is active again; until then the control noted here is the one that gets the keyboard
// back, and a handler may hide it first.
void MainWindow::OnChildFocus(wxChildFocusEvent& event) {
    focused_ = control_of(event.GetWindow());
    event.Skip();
}

// ---- Port: controls ----

void MainWindow::set_shown(Control c, bool shown) {
    control(c)->Show(shown);
    control(c)->Enable(shown);
}

void MainWindow::set_focus(Control c) {
    focused_ = c;
    control(c)->SetFocus();
}

void MainWindow::set_menu_caption(MenuItem item, std::string_view caption) {
    menu_item(item)->SetItemLabel(from_utf8(menu_label(item, caption)));
}

// ---- Port: list boxes ----

void MainWindow::list_add(Control list, std::string_view text) {
    list_box(list).append(from_utf8(text));
}

void MainWindow::list_clear(Control list) { list_box(list).clear(); }

void MainWindow::set_list_highlight(Control list, int index) {
    list_box(list).set_highlight(index);
}

void MainWindow::list_remove(Control list, int index) { list_box(list).remove(index); }

// ---- Port: boxes, sound, clock, exit ----

// The window can still be closed while a box is open: that is the game's exit too.
void MainWindow::message(std::string_view text) {
    wxMessageDialog box(this, from_utf8(text), from_utf8(kAppTitle), wxOK | wxICON_NONE);
    const CloseWhileModal closing(GetHandle(), [this] { OnClose(); });
    ++boxes_open_;
    box.ShowModal();
    --boxes_open_;
}

std::string MainWindow::ask_text(std::string_view prompt) {
    wxTextEntryDialog box(this, from_utf8(prompt), from_utf8(kAppTitle), wxEmptyString,
                          wxOK | wxCANCEL);
    const CloseWhileModal closing(GetHandle(), [this] { OnClose(); });
    ++boxes_open_;
    const int answer = box.ShowModal();
    --boxes_open_;
    if (answer != wxID_OK) return {};
    return to_utf8(box.GetValue());
}

void MainWindow::play(Cue cue) { play_cue(*sound_, cue, data_dir_); }

double MainWindow::time_of_day() {
    const wxDateTime now = wxDateTime::UNow();
    return now.GetHour() * 3600.0 + now.GetMinute() * 60.0 + now.GetSecond() +
           now.GetMillisecond() / 1000.0;
}

void MainWindow::quit() {
    if (quitting_) return;
    quitting_ = true;
    Hide();
    quit_(boxes_open_ > 0 ? Ending::EndProcessNow : Ending::StopMainLoop);
}

}  // namespace casino::wx
