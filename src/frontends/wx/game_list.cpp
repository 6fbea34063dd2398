// A native single-selection list box: GTK's tree view, which the accessibility layer
// publishes with its rows.
#include "game_list.h"

#include <string>

#include "gtk_calls.h"

namespace casino::wx {

GameList::GameList(wxWindow* parent, const wxPoint& pos, const wxSize& size, ListVoice voice,
                   std::function<void(int)> on_char)
    : wxListBox(parent, wxID_ANY, pos, size, 0, nullptr, wxLB_SINGLE),
      on_char_(std::move(on_char)) {
    // A list one line high has no room for a scrollbar (GTK complains on stderr when it is
    // squeezed in), so it shows none and one entry fills the line.
    show_one_row_at_a_time(GTK_SCROLLED_WINDOW(GetHandle()), m_treeview);
    set_accessible_name(GTK_WIDGET(m_treeview), std::string(voice.name).c_str(),
                        std::string(voice.hint).c_str());
    // Enter on a highlighted entry reaches neither of the first two: GTK reports it as an
    // activation.
    Bind(wxEVT_KEY_DOWN, &GameList::OnKeyDown, this);
    Bind(wxEVT_CHAR, &GameList::OnChar, this);
    Bind(wxEVT_LISTBOX_DCLICK, &GameList::OnActivated, this);
    // The wheel would leave parts of two entries in the one line; the arrows move by entries.
    Bind(wxEVT_MOUSEWHEEL, [](wxMouseEvent&) {});
}

void GameList::append(const wxString& text) { Append(text); }

void GameList::clear() { Clear(); }

// As in any list box, removing an entry leaves nothing highlighted.
void GameList::remove(int index) {
    if (index < 0 || index >= count()) return;
    Delete(static_cast<unsigned>(index));
    SetSelection(wxNOT_FOUND);
}

// The tree view's cursor moves with the highlight: the arrow keys start from it, and a
// screen reader reads it as the current entry.
void GameList::set_highlight(int index) {
    if (index < 0 || index >= count()) {
        SetSelection(wxNOT_FOUND);
        return;
    }
    set_cursor_row(m_treeview, index);
    SetSelection(index);
}

int GameList::highlight() const {
    const int selection = GetSelection();
    return selection == wxNOT_FOUND ? -1 : selection;
}

void GameList::OnKeyDown(wxKeyEvent& event) {
    switch (event.GetKeyCode()) {
        case WXK_TAB:
            // Tab leaves the list, as in every other control.
            Navigate(event.ShiftDown() ? wxNavigationKeyEvent::IsBackward
                                       : wxNavigationKeyEvent::IsForward);
            return;
        default: event.Skip();
    }
}

void GameList::OnChar(wxKeyEvent& event) {
    int code = static_cast<int>(event.GetUnicodeKey());
    if (event.GetKeyCode() == WXK_NUMPAD_ENTER) code = WXK_RETURN;
    if (code == WXK_NONE) {
        event.Skip();  // arrows, function keys: not characters
        return;
    }
    // Control letters come through as their control codes.
    if (event.GetKeyCode() > 0 && event.GetKeyCode() < 32) code = event.GetKeyCode();
    if (on_char_) on_char_(code);
}

// The list reports Enter as an activation, and a double-click too; only Enter is a key for
// the game, while a double-click merely moves the highlight, as a click does.
void GameList::OnActivated(wxCommandEvent& /*event*/) {
    if (handling_key_press() && on_char_) on_char_(WXK_RETURN);
}

}  // namespace casino::wx
