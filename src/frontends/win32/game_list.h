// A native single-selection list box (the LISTBOX control), one text line high, through
// which every character typed in it reaches the game, and which a screen reader names.
#pragma once

#include <windows.h>

#include <functional>
#include <string_view>

namespace casino::win32 {

class GameList final {
   public:
    // Creates the list as the child `id` of parent at bounds (client pixels), with the
    // child styles given (visible, enabled, tab stop) and the name a screen reader gives
    // it. on_char receives the character code of every character typed in the list, Enter
    // (13) included.
    GameList(HWND parent, int id, DWORD style, const RECT& bounds, std::wstring_view name,
             std::function<void(int code)> on_char);
    GameList(const GameList&) = delete;
    GameList& operator=(const GameList&) = delete;

    [[nodiscard]] HWND hwnd() const { return hwnd_; }
    // The list's label, which must stand just above the list in the stacking (the tab
    // order): a list box has no caption of its own, and the system's accessibility layer
    // names it after the static text control before it. The label shows nothing: it has no
    // size, and it is shown and hidden with its list.
    [[nodiscard]] HWND label() const { return label_; }

    void append(std::wstring_view text);
    void clear();
    void remove(int index);
    // Highlights the entry at index (and brings it into view), or none for -1.
    void set_highlight(int index);
    // The highlighted entry's index, or -1 for none.
    [[nodiscard]] int highlight() const;

   private:
    static LRESULT CALLBACK SubclassProc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam,
                                         UINT_PTR id, DWORD_PTR self);
    LRESULT HandleMessage(UINT msg, WPARAM wparam, LPARAM lparam);
    LRESULT OnGetDlgCode(WPARAM wparam, LPARAM lparam);
    LRESULT OnChar(WPARAM wparam, LPARAM lparam);

    HWND label_ = nullptr;
    HWND hwnd_ = nullptr;
    std::function<void(int)> on_char_;
};

}  // namespace casino::win32
