// The page's half of the web front end: the functions of the JavaScript library (library.js)
// through which the C++ half builds the window and speaks to the player, and the entry points
// through which the page's events come back.
#pragma once

extern "C" {

// ---- The window (page/window.js). Sizes are CSS pixels; ids are Control and MenuItem
// values. ----

// Opens the window on the page: its title bar with the caption, an empty menu bar and the
// client area of the given size and colour (a CSS colour). The page's events start to reach
// the entry points below.
void casino_page_open_window(const char* caption, double width, double height,
                             const char* background);
void casino_page_add_menu(int menu, const char* caption);
// label is the item's caption, then a tab and the key that chooses it, if it has one.
void casino_page_add_menu_item(int menu, int item, const char* label);
void casino_page_set_menu_label(int item, const char* label);
void casino_page_add_button(int control, const char* name, const char* caption, double left,
                            double top, double width, double height);
void casino_page_set_control(int control, int visible, int enabled);
// The control that holds the keyboard, or held it before a box or a menu took it; -1 for none.
int casino_page_focused_control();
void casino_page_focus(int control);
// The buttons' font as the page starts it, in CSS pixels, and how that font measures.
double casino_page_button_font_size();
double casino_page_text_width(const char* text, double font_size);
double casino_page_line_height(double font_size);
void casino_page_set_caption_font(double font_size);
double casino_page_time_of_day();
// Takes the window off the page for good; no event of the page reaches the game after it.
void casino_page_close_window();

// ---- The list boxes (page/game_list.js) ----

// name is the control's own; accessible_name and hint are what a screen reader says of it.
void casino_page_add_list(int control, const char* name, const char* accessible_name,
                          const char* hint, double left, double top, double width, double height);
void casino_page_list_add(int control, const char* text);
void casino_page_list_remove(int control, int index);
void casino_page_list_clear(int control);
void casino_page_list_set_highlight(int control, int index);
int casino_page_list_highlight(int control);

// ---- The boxes (page/boxes.js); both wait for the player ----

void casino_page_message(const char* title, const char* text);
// The typed text, allocated with malloc for the caller to free; empty for Cancel or Esc.
char* casino_page_ask(const char* title, const char* prompt);

// ---- The cues (page/cue_player.js); waits for the end ----

// Plays the file at url to its end, waiting no longer than its own length and the margin,
// and never longer than longest; a file the page cannot fetch gives a short beep, waited
// for no longer than bell. Times in milliseconds.
void casino_page_play_cue(const char* url, int margin, int longest, int bell);

// ---- What the page calls (main_window.cpp) ----

void casino_on_click(int control);
void casino_on_menu(int item);
// A key typed in a list box: its character code (13 for Enter).
void casino_on_list_key(int list, int code);

}  // extern "C"
