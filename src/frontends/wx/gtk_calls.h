// The few GTK calls the lists need beyond what wx offers, looked up in the running process
// (wx has loaded GTK already), so the front end needs no GTK development files to build.
#pragma once

#include <dlfcn.h>

namespace casino::wx {

// A function of the loaded GTK, GDK, GLib or ATK library by its name, or nullptr.
template <typename Function>
Function gtk_function(const char* name) {
    return reinterpret_cast<Function>(dlsym(RTLD_DEFAULT, name));
}

// Makes a tree view in a scrolled window show exactly one row: no scrollbar (there is no
// room for one), every row as high as the view, and the cursor's row at the top.
void show_one_row_at_a_time(void* scrolled_window, void* tree_view);

// Puts a tree view's cursor on the row, which selects the row and scrolls it into view.
// The cursor is where the arrow keys start from and what a screen reader reads.
void set_cursor_row(void* tree_view, int row);

// The name and description a screen reader announces for the widget.
void set_accessible_name(void* widget, const char* name, const char* description);

// Whether the event GTK is handling right now is a key press rather than a mouse click.
bool handling_key_press();

}  // namespace casino::wx
