// The menu query, both its ends: the window answers it, and another process (the
// automation tests) asks it. Wine keeps menus inside their process, so no other process
// can read them with GetMenuItemInfoW, and its accessibility layer publishes no menus.
//
// The window answers the registered message kMenuQueryMessage. Its wParam is
// MAKEWPARAM(menu, item): the menu's position in the menu bar and the item's in the menu,
// item kMenuTitleItem naming the menu's own title. The answer is MAKELRESULT(atom, id): a
// global atom holding the text, which the caller deletes, and the item's command id (0 for
// a title); 0 when there is no such item.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace casino::win32 {

inline constexpr wchar_t kMenuQueryMessage[] = L"casino.menu_item";
inline constexpr UINT kMenuTitleItem = 0xFFFF;

// The message's number in this session; the same in every process.
UINT menu_query_message();

// The window's end: the answer to a query about the menu bar `menu_bar`.
LRESULT answer_menu_query(HMENU menu_bar, WPARAM wparam);

// ---- The asking end, for the automation tests: inline, so that the game carries none of it

// The text of item `item` of menu `menu` of another process's window, or of the menu's
// title for kMenuTitleItem; none when there is no such item or the window does not answer
// within the time.
inline std::optional<std::wstring> ask_menu_text(HWND window, int menu, UINT item,
                                                 UINT timeout_ms) {
    DWORD_PTR answer = 0;
    if (SendMessageTimeoutW(window, menu_query_message(), MAKEWPARAM(menu, item), 0, SMTO_NORMAL,
                            timeout_ms, &answer) == 0) {
        return std::nullopt;
    }
    const auto atom = static_cast<ATOM>(LOWORD(answer));
    if (atom == 0) return std::nullopt;
    wchar_t text[256] = {};
    GlobalGetAtomNameW(atom, text, 256);
    GlobalDeleteAtom(atom);
    return text;
}

// Posts a query about the first menu's title behind whatever input was posted before it;
// the atom its answer leaves (the title's text) tells that the window has got that far.
inline bool post_menu_query(HWND window) {
    return PostMessageW(window, menu_query_message(), MAKEWPARAM(0, kMenuTitleItem), 0) != FALSE;
}

}  // namespace casino::win32
