// A native single-selection list box, one text line high, whose entries, count and
// highlight the desktop's accessibility layer publishes, and through which every key typed
// in it reaches the game.
#pragma once

#include <wx/listbox.h>

#include <functional>

#include "core/controls.h"

namespace casino::wx {

class GameList final : public wxListBox {
   public:
    // name and hint (UTF-8) are what a screen reader says about the list. on_char receives
    // the character code of every character key typed in the list, Enter (13) included.
    GameList(wxWindow* parent, const wxPoint& pos, const wxSize& size, ListVoice voice,
             std::function<void(int code)> on_char);

    void append(const wxString& text);
    void clear();
    void remove(int index);
    // Highlights the entry at index (and brings it into view), or none for -1.
    void set_highlight(int index);
    // The highlighted entry's index, or -1 for none.
    [[nodiscard]] int highlight() const;

   private:
    [[nodiscard]] int count() const { return static_cast<int>(GetCount()); }
    void OnKeyDown(wxKeyEvent& event);
    void OnChar(wxKeyEvent& event);
    void OnActivated(wxCommandEvent& event);

    std::function<void(int)> on_char_;
};

}  // namespace casino::wx
