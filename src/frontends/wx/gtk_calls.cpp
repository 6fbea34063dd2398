// The few GTK functions the front end needs beyond what wx offers.
#include "gtk_calls.h"

#include <utility>

namespace casino::wx {
namespace {

// Brings the row under the cursor to the top of the view.
void scroll_cursor_to_top(GtkTreeView* tree_view) {
    GtkTreePath* path = nullptr;
    gtk_tree_view_get_cursor(tree_view, &path, nullptr);
    if (path == nullptr) return;
    gtk_tree_view_scroll_to_cell(tree_view, path, nullptr, TRUE, 0.0f, 0.0f);
    gtk_tree_path_free(path);
}

// Called by GTK whenever the tree view gets its size: when it is shown, and when the
// theme or the font changes.
void fit_rows(GtkWidget* widget, GtkAllocation* allocation, gpointer /*data*/) {
    GtkTreeView* tree_view = GTK_TREE_VIEW(widget);
    GtkTreeViewColumn* column = gtk_tree_view_get_column(tree_view, 0);
    if (column == nullptr) return;
    // The view adds its separator below each row's cells.
    gint separator = 0;
    gtk_widget_style_get(widget, "vertical-separator", &separator, nullptr);
    const int height = allocation->height - separator;
    GList* cells = gtk_cell_layout_get_cells(GTK_CELL_LAYOUT(column));
    for (GList* cell = cells; cell != nullptr; cell = cell->next) {
        GtkCellRenderer* renderer = GTK_CELL_RENDERER(cell->data);
        gint width = 0;
        gint current = 0;
        gtk_cell_renderer_get_fixed_size(renderer, &width, &current);
        if (height > 0 && current != height)
            gtk_cell_renderer_set_fixed_size(renderer, width, height);
    }
    g_list_free(cells);
    scroll_cursor_to_top(tree_view);
}

// GTK's own handling of an event, as GTK sets it up at start.
void pass_to_gtk(GdkEvent* event, gpointer /*data*/) { gtk_main_do_event(event); }

}  // namespace

void show_one_row_at_a_time(GtkScrolledWindow* scrolled_window, GtkTreeView* tree_view) {
    if (scrolled_window == nullptr || tree_view == nullptr) return;
    // An external policy scrolls but shows no scrollbar.
    gtk_scrolled_window_set_policy(scrolled_window, GTK_POLICY_EXTERNAL, GTK_POLICY_EXTERNAL);
    g_signal_connect(tree_view, "size-allocate", G_CALLBACK(fit_rows), nullptr);
}

void set_cursor_row(GtkTreeView* tree_view, int row) {
    if (tree_view == nullptr) return;
    GtkTreePath* path = gtk_tree_path_new_from_indices(row, -1);
    gtk_tree_view_set_cursor(tree_view, path, nullptr, FALSE);
    gtk_tree_path_free(path);
}

void set_accessible_name(GtkWidget* widget, const char* name, const char* description) {
    if (widget == nullptr) return;
    AtkObject* accessible = gtk_widget_get_accessible(widget);
    if (accessible == nullptr) return;
    atk_object_set_name(accessible, name);
    atk_object_set_description(accessible, description);
}

bool handling_key_press() {
    GdkEvent* event = gtk_get_current_event();
    if (event == nullptr) return false;
    const bool key = gdk_event_get_event_type(event) == GDK_KEY_PRESS;
    gdk_event_free(event);
    return key;
}

// ---- A close request while a box is open ----

// The boxes never nest (each is modal, and the game takes no input while one is open), so
// GTK gets its own handling back when the box closes.
CloseWhileModal::CloseWhileModal(GtkWidget* window, std::function<void()> on_close)
    : window_(window), on_close_(std::move(on_close)) {
    gdk_event_handler_set(&CloseWhileModal::take_event, this, nullptr);
}

CloseWhileModal::~CloseWhileModal() { gdk_event_handler_set(&pass_to_gtk, nullptr, nullptr); }

void CloseWhileModal::take_event(GdkEvent* event, gpointer self) {
    const auto* watch = static_cast<const CloseWhileModal*>(self);
    if (event->type == GDK_DELETE && watch->window_ != nullptr &&
        event->any.window == gtk_widget_get_window(watch->window_)) {
        watch->on_close_();
        return;
    }
    gtk_main_do_event(event);
}

}  // namespace casino::wx
