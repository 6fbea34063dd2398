// The menu query, the window's end (see menu_query.h).
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

}  // namespace casino::win32
