// The test query through which another process reads the game's menu: Wine keeps menus
// inside their process, so the automation tests cannot read them with GetMenuItemInfoW.
//
// The window answers the registered message kMenuQueryMessage. Its wParam is
// MAKEWPARAM(menu, item): the menu's position in the menu bar and the item's in the menu,
// item kMenuTitleItem naming the menu's own title. The answer is MAKELRESULT(atom, id): a
// global atom holding the text, which the caller deletes, and the item's command id (0 for
// a title); 0 when there is no such item.
#pragma once

#include <windows.h>

namespace casino::win32 {

inline constexpr wchar_t kMenuQueryMessage[] = L"casino.menu_item";
inline constexpr UINT kMenuTitleItem = 0xFFFF;

// The message's number in this session; the same in every process.
UINT menu_query_message();

// The answer to a query about the menu bar `menu_bar`.
LRESULT answer_menu_query(HMENU menu_bar, WPARAM wparam);

}  // namespace casino::win32
