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

MainWindow::MainWindow(std::function<void(Ending)> quit, Draws& draws, TableState& table,
                       std::unique_ptr<SoundOutput> sound)
    : wxFrame(nullptr, wxID_ANY, from_utf8(kWindow.caption), wxDefaultPosition, wxDefaultSize,
              wxDEFAULT_FRAME_STYLE & ~(wxRESIZE_BORDER | wxMAXIMIZE_BOX)),
      quit_(std::move(quit)),
      sound_(sound ? std::move(sound) : std::make_unique<CuePlayer>(canberra(), [] { wxBell(); })),
      data_dir_(installed_data_dir()),
      form_(*this, draws, table) {
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
    Bind(wxEVT_CLOSE_WINDOW, &MainWindow::OnClose, this);
    client_->Bind(wxEVT_CHILD_FOCUS, &MainWindow::OnChildFocus, this);

    dispatch(Event::load());
    focus_first_control();
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
                                  [this, id](int code) { OnListChar(id, code); });
        } else {
            window = new wxButton(client_, wxID_ANY, from_utf8(row.caption), pos, size);
            fit_caption(*window);
            window->Bind(wxEVT_BUTTON, &MainWindow::OnButton, this);
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

// The first control in the tab order that can take the focus gets it: on the street
// that is "вход", since "число" before it is hidden.
void MainWindow::focus_first_control() {
    const std::optional<Control> first =
        next_in_tab_order(tab_order().back(), [this](Control c) { return usable(c); });
    if (first) set_focus(*first);
}

// ---- The keyboard focus ----

void MainWindow::dispatch(const Event& event) {
    ++handlers_running_;
    form_.handle(event);
    --handlers_running_;
    // The focus moves once the native event that brought this one has run its course: an
    // Enter that a list reports as an activation is still being handled by GTK, which would
    // hand the same key to the control the focus moved to.
    if (focus_lost_) CallAfter([this] { settle_focus(); });
}

// A control hidden while it held the keyboard hands it to the next shown control after
// it in the tab order, wrapping round. That is decided when the handler has finished,
// once the next screen stands: a handler may hide the old screen before it shows the new.
void MainWindow::settle_focus() {
    if (!focus_lost_) return;
    const std::optional<Control> next =
        next_in_tab_order(*focus_lost_, [this](Control c) { return usable(c); });
    focus_lost_.reset();
    if (next) set_focus(*next);
}

bool MainWindow::usable(Control c) const {
    return control(c)->IsShown() && control(c)->IsEnabled();
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

void MainWindow::OnMenu(wxCommandEvent& event) {
    const int index = event.GetId() - menu_id(MenuItem::balance);
    if (index < 0 || index >= kMenuItemCount) return;
    dispatch(Event::menu_item(static_cast<MenuItem>(index)));
}

void MainWindow::OnButton(wxCommandEvent& event) {
    const std::optional<Control> c =
        control_of(dynamic_cast<const wxWindow*>(event.GetEventObject()));
    if (c) dispatch(Event::click(*c));
}

void MainWindow::OnListChar(Control list, int code) {
    dispatch(Event::key_press(list, code, list_box(list).highlight()));
}

void MainWindow::OnClose(wxCloseEvent& /*event*/) { close_requested(); }

// GTK tells of a focus change late when a dialog has just closed, only once the window
// is active again; until then the control noted here is the one that gets the keyboard
// back, and a handler may hide it first.
void MainWindow::OnChildFocus(wxChildFocusEvent& event) {
    focused_ = control_of(event.GetWindow());
    event.Skip();
}

void MainWindow::close_requested() {
    dispatch(Event::unload());
    if (!quitting_) quit();
}

// ---- Port: controls ----

void MainWindow::set_shown(Control c, bool shown) {
    if (!shown && focused_ == c && !focus_lost_) focus_lost_ = c;
    control(c)->Show(shown);
    control(c)->Enable(shown);
}

// Where the game puts the focus itself, it stays.
void MainWindow::set_focus(Control c) {
    focus_lost_.reset();
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
    const CloseWhileModal closing(GetHandle(), [this] { close_requested(); });
    box.ShowModal();
}

std::string MainWindow::ask_text(std::string_view prompt) {
    wxTextEntryDialog box(this, from_utf8(prompt), from_utf8(kAppTitle), wxEmptyString,
                          wxOK | wxCANCEL);
    const CloseWhileModal closing(GetHandle(), [this] { close_requested(); });
    if (box.ShowModal() != wxID_OK) return {};
    return to_utf8(box.GetValue());
}

void MainWindow::play_wav(std::string_view path) { play_cue(*sound_, path, data_dir_); }

double MainWindow::time_of_day() {
    const wxDateTime now = wxDateTime::UNow();
    return now.GetHour() * 3600.0 + now.GetMinute() * 60.0 + now.GetSecond() +
           now.GetMillisecond() / 1000.0;
}

// The exit's own handler is one; any other still running waits inside a box.
void MainWindow::quit() {
    if (quitting_) return;
    quitting_ = true;
    Hide();
    quit_(handlers_running_ > 1 ? Ending::EndProcessNow : Ending::StopMainLoop);
}

}  // namespace casino::wx
