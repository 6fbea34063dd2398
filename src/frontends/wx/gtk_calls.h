// The few GTK calls the front end needs beyond what wx offers. wx is built on GTK 3 and
// links it already; these go to GTK through its own headers.
#pragma once

#include <gtk/gtk.h>

#include <functional>

namespace casino::wx {

// Makes a tree view in a scrolled window show exactly one row: no scrollbar (there is no
// room for one), every row as high as the view, and the cursor's row at the top.
void show_one_row_at_a_time(GtkScrolledWindow* scrolled_window, GtkTreeView* tree_view);

// Puts a tree view's cursor on the row, which selects the row and scrolls it into view.
// The cursor is where the arrow keys start from and what a screen reader reads.
void set_cursor_row(GtkTreeView* tree_view, int row);

// The name and description a screen reader announces for the widget.
void set_accessible_name(GtkWidget* widget, const char* name, const char* description);

// Whether the event GTK is handling right now is a key press rather than a mouse click.
bool handling_key_press();

// While one of these lives, a request to close the window (the window manager's close box
// or Alt+F4, another program, the taskbar) reaches on_close even though a modal box is
// open. GTK itself drops such a request while the box holds the window's input, so the
// request is taken from GDK's stream of events before GTK sees it.
class CloseWhileModal {
   public:
    CloseWhileModal(GtkWidget* window, std::function<void()> on_close);
    ~CloseWhileModal();
    CloseWhileModal(const CloseWhileModal&) = delete;
    CloseWhileModal& operator=(const CloseWhileModal&) = delete;

   private:
    static void take_event(GdkEvent* event, gpointer self);

    GtkWidget* window_;
    std::function<void()> on_close_;
};

}  // namespace casino::wx
