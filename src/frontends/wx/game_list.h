// A single-selection list box drawn by wx itself, so that every key typed in it, Enter
// and Space included, reaches the game (GTK's own list keeps Enter for itself).
#pragma once

#include <wx/vlbox.h>

#include <functional>
#include <vector>

namespace casino::wx {

class GameList final : public wxVListBox {
   public:
    // on_char receives the character code of every character key typed in the list.
    GameList(wxWindow* parent, const wxPoint& pos, const wxSize& size,
             std::function<void(int code)> on_char);

    void append(const wxString& text);
    void clear();
    void remove(int index);
    [[nodiscard]] int count() const { return static_cast<int>(entries_.size()); }
    [[nodiscard]] wxString text(int index) const;

   private:
    void OnDrawItem(wxDC& dc, const wxRect& rect, size_t n) const override;
    wxCoord OnMeasureItem(size_t n) const override;
    void SetScrollbar(int orient, int pos, int thumb, int range, bool refresh = true) override;
    void OnKeyDown(wxKeyEvent& event);
    void OnChar(wxKeyEvent& event);

    std::vector<wxString> entries_;
    std::function<void(int)> on_char_;
};

}  // namespace casino::wx
