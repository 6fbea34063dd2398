// The menu query, both its ends (see menu_query.h).
#include "menu_query.h"

namespace casino::win32 {

UINT menu_query_message() { return RegisterWindowMessageW(kMenuQueryMessage); }

LRESULT answer_menu_query(HMENU menu_bar, WPARAM wparam) {
    const UINT menu = LOWORD(wparam);
    const UINT item = HIWORD(wparam);
    const bool title = item == kMenuTitleItem;
    HMENU owner = title ? menu_bar : GetSubMenu(menu_bar, static_cast<int>(menu));
    const UINT position = title ? menu : item;
    wchar_t text[256] = {};
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_STRING | MIIM_ID;
    info.dwTypeData = text;
    info.cch = 256;
    if (owner == nullptr || !GetMenuItemInfoW(owner, position, TRUE, &info)) return 0;
    const UINT id = title ? 0 : info.wID;
    return MAKELRESULT(GlobalAddAtomW(text), id);
}

std::optional<std::wstring> ask_menu_text(HWND window, int menu, UINT item, UINT timeout_ms) {
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

bool post_menu_query(HWND window) {
    return PostMessageW(window, menu_query_message(), MAKEWPARAM(0, kMenuTitleItem), 0) != FALSE;
}

}  // namespace casino::win32
