// A native single-selection list box: the system's LISTBOX, subclassed so that it hands
// every character typed in it to the game.
#include "game_list.h"

#include <commctrl.h>

#include <string>
#include <utility>

namespace casino::win32 {

// Single selection and unsorted, exactly as tall as it is made. The list carries its name as
// its own text too, which it never draws: accessibility layers that do not look for a label
// (Wine's) read that instead.
GameList::GameList(HWND parent, int id, DWORD style, const RECT& bounds, std::wstring_view name,
                   std::function<void(int)> on_char)
    : on_char_(std::move(on_char)) {
    const auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(parent, GWLP_HINSTANCE));
    const std::wstring text(name);
    label_ =
        CreateWindowExW(0, L"STATIC", text.c_str(), WS_CHILD | (style & WS_VISIBLE) | SS_NOPREFIX,
                        bounds.left, bounds.top, 0, 0, parent, nullptr, instance, nullptr);
    hwnd_ = CreateWindowExW(WS_EX_CLIENTEDGE, L"LISTBOX", text.c_str(),
                            style | WS_VSCROLL | LBS_NOINTEGRALHEIGHT, bounds.left, bounds.top,
                            bounds.right - bounds.left, bounds.bottom - bounds.top, parent,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
    SetWindowSubclass(hwnd_, SubclassProc, static_cast<UINT_PTR>(id),
                      reinterpret_cast<DWORD_PTR>(this));
}

void GameList::append(std::wstring_view text) {
    const std::wstring entry(text);
    SendMessageW(hwnd_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.c_str()));
}

void GameList::clear() { SendMessageW(hwnd_, LB_RESETCONTENT, 0, 0); }

void GameList::remove(int index) {
    SendMessageW(hwnd_, LB_DELETESTRING, static_cast<WPARAM>(index), 0);
}

void GameList::set_highlight(int index) {
    SendMessageW(hwnd_, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

int GameList::highlight() const {
    const auto highlight = SendMessageW(hwnd_, LB_GETCURSEL, 0, 0);
    return highlight == LB_ERR ? -1 : static_cast<int>(highlight);
}

LRESULT CALLBACK GameList::SubclassProc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam,
                                        UINT_PTR id, DWORD_PTR self) {
    if (msg == WM_NCDESTROY) {
        RemoveWindowSubclass(hwnd, SubclassProc, id);
        return DefSubclassProc(hwnd, msg, wparam, lparam);
    }
    return reinterpret_cast<GameList*>(self)->HandleMessage(msg, wparam, lparam);
}

LRESULT GameList::HandleMessage(UINT msg, WPARAM wparam, LPARAM lparam) {
    switch (msg) {
        case WM_GETDLGCODE: return OnGetDlgCode(wparam, lparam);
        case WM_CHAR: return OnChar(wparam, lparam);
        case WM_SHOWWINDOW:
            // The list itself shown or hidden, not its parent.
            if (lparam == 0) ShowWindow(label_, wparam != FALSE ? SW_SHOWNA : SW_HIDE);
            return DefSubclassProc(hwnd_, msg, wparam, lparam);
        default: return DefSubclassProc(hwnd_, msg, wparam, lparam);
    }
}

// Every character typed in a list reaches the game, Enter and Esc included: the list asks
// the dialog manager for every key but Tab, which still moves the focus.
LRESULT GameList::OnGetDlgCode(WPARAM wparam, LPARAM lparam) {
    LRESULT code = DefSubclassProc(hwnd_, WM_GETDLGCODE, wparam, lparam) | DLGC_WANTCHARS;
    const auto* key = reinterpret_cast<const MSG*>(lparam);
    if (key != nullptr && key->message == WM_KEYDOWN && key->wParam != VK_TAB) {
        code |= DLGC_WANTMESSAGE;
    }
    return code;
}

LRESULT GameList::OnChar(WPARAM wparam, LPARAM lparam) {
    HWND hwnd = hwnd_;
    if (on_char_) on_char_(static_cast<int>(wparam));
    // Enter has done its work; other characters still move the highlight to the entry
    // they begin, as a list does.
    if (wparam == VK_RETURN || !IsWindow(hwnd)) return 0;
    return DefSubclassProc(hwnd, WM_CHAR, wparam, lparam);
}

}  // namespace casino::win32
