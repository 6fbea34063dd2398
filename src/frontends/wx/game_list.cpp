// A single-selection list box drawn by wx itself.
#include "game_list.h"

#include <wx/dc.h>
#include <wx/settings.h>

namespace casino::wx {

GameList::GameList(wxWindow* parent, const wxPoint& pos, const wxSize& size,
                   std::function<void(int)> on_char)
    : wxVListBox(parent, wxID_ANY, pos, size, wxBORDER_SIMPLE), on_char_(std::move(on_char)) {
    SetBackgroundColour(wxSystemSettings::GetColour(wxSYS_COLOUR_LISTBOX));
    SetForegroundColour(wxSystemSettings::GetColour(wxSYS_COLOUR_LISTBOXTEXT));
    // Dynamic handlers run before wxVListBox's own, which would swallow Space.
    Bind(wxEVT_KEY_DOWN, &GameList::OnKeyDown, this);
    Bind(wxEVT_CHAR, &GameList::OnChar, this);
}

void GameList::append(const wxString& text) {
    entries_.push_back(text);
    SetItemCount(entries_.size());
    Refresh();
}

void GameList::clear() {
    entries_.clear();
    SetSelection(wxNOT_FOUND);
    SetItemCount(0);
    Refresh();
}

// As in any list box, removing an entry leaves nothing highlighted.
void GameList::remove(int index) {
    if (index < 0 || index >= count()) return;
    entries_.erase(entries_.begin() + index);
    SetSelection(wxNOT_FOUND);
    SetItemCount(entries_.size());
    Refresh();
}

// A list one line high has no room for GTK's scrollbar, which then complains on stderr,
// so it is never shown; the arrow keys move through the entries.
void GameList::SetScrollbar(int orient, int /*pos*/, int /*thumb*/, int /*range*/, bool refresh) {
    wxVListBox::SetScrollbar(orient, 0, 0, 0, refresh);
}

wxString GameList::text(int index) const {
    if (index < 0 || index >= count()) return {};
    return entries_[static_cast<std::size_t>(index)];
}

void GameList::OnDrawItem(wxDC& dc, const wxRect& rect, size_t n) const {
    dc.SetFont(GetFont());
    dc.SetTextForeground(IsSelected(n) ? wxSystemSettings::GetColour(wxSYS_COLOUR_HIGHLIGHTTEXT)
                                       : GetForegroundColour());
    const int text_height = dc.GetCharHeight();
    dc.DrawText(entries_[n], rect.x + 2, rect.y + (rect.height - text_height) / 2);
}

// One entry fills the visible line, so the list scrolls by whole entries.
wxCoord GameList::OnMeasureItem(size_t /*n*/) const {
    const int line = GetClientSize().y;
    return line > 0 ? line : GetCharHeight();
}

void GameList::OnKeyDown(wxKeyEvent& event) {
    switch (event.GetKeyCode()) {
        case WXK_TAB:
            // Tab leaves the list, as in every other control.
            Navigate(event.ShiftDown() ? wxNavigationKeyEvent::IsBackward
                                       : wxNavigationKeyEvent::IsForward);
            return;
        case WXK_SPACE:
            if (on_char_) on_char_(WXK_SPACE);
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

}  // namespace casino::wx
