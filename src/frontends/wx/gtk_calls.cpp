// The few GTK functions the front end needs beyond what wx offers.
#include "gtk_calls.h"

namespace casino::wx {
namespace {

struct Allocation {  // GtkAllocation
    int x, y, width, height;
};

struct List {  // GList
    void* data;
    List* next;
    List* previous;
};

// Every GTK function the lists use, looked up once. The lists keep wx's defaults (with
// scrollbars, rows as tall as the theme makes them, no accessible name) if any is missing.
struct ListCalls {
    void (*set_policy)(void* scrolled_window, int horizontal, int vertical) = nullptr;
    unsigned long (*connect)(void* instance, const char* signal, void (*callback)(), void* data,
                             void* destroy_data, int flags) = nullptr;
    void (*style_get)(void* widget, const char* first_property, ...) = nullptr;
    void* (*column_of)(void* view, int index) = nullptr;
    List* (*cells_of)(void* layout) = nullptr;
    void (*free_list)(List* list) = nullptr;
    void (*get_fixed_size)(void* renderer, int* width, int* height) = nullptr;
    void (*set_fixed_size)(void* renderer, int width, int height) = nullptr;
    void* (*new_path)(int first_index, ...) = nullptr;
    void (*free_path)(void* path) = nullptr;
    void (*get_cursor)(void* view, void** path, void** column) = nullptr;
    void (*set_cursor)(void* view, void* path, void* column, int start_editing) = nullptr;
    void (*scroll_to)(void* view, void* path, void* column, int use_align, float row_align,
                      float column_align) = nullptr;
    void* (*accessible_of)(void* widget) = nullptr;
    void (*set_name)(void* accessible, const char* name) = nullptr;
    void (*set_description)(void* accessible, const char* description) = nullptr;
    void* (*current_event)() = nullptr;
    int (*event_type)(const void* event) = nullptr;
    void (*free_event)(void* event) = nullptr;
    bool loaded = true;

    ListCalls() {
        find(set_policy, "gtk_scrolled_window_set_policy");
        find(connect, "g_signal_connect_data");
        find(style_get, "gtk_widget_style_get");
        find(column_of, "gtk_tree_view_get_column");
        find(cells_of, "gtk_cell_layout_get_cells");
        find(free_list, "g_list_free");
        find(get_fixed_size, "gtk_cell_renderer_get_fixed_size");
        find(set_fixed_size, "gtk_cell_renderer_set_fixed_size");
        find(new_path, "gtk_tree_path_new_from_indices");
        find(free_path, "gtk_tree_path_free");
        find(get_cursor, "gtk_tree_view_get_cursor");
        find(set_cursor, "gtk_tree_view_set_cursor");
        find(scroll_to, "gtk_tree_view_scroll_to_cell");
        find(accessible_of, "gtk_widget_get_accessible");
        find(set_name, "atk_object_set_name");
        find(set_description, "atk_object_set_description");
        find(current_event, "gtk_get_current_event");
        find(event_type, "gdk_event_get_event_type");
        find(free_event, "gdk_event_free");
    }

    template <typename Function>
    void find(Function& function, const char* name) {
        function = gtk_function<Function>(name);
        loaded = loaded && function != nullptr;
    }
};

const ListCalls& gtk() {
    static const ListCalls calls;
    return calls;
}

constexpr int kPolicyExternal = 3;  // GTK_POLICY_EXTERNAL: scrolls, but shows no scrollbar
constexpr int kKeyPress = 8;        // GDK_KEY_PRESS

// Brings the row under the cursor to the top of the view.
void scroll_cursor_to_top(void* tree_view) {
    void* path = nullptr;
    gtk().get_cursor(tree_view, &path, nullptr);
    if (path == nullptr) return;
    gtk().scroll_to(tree_view, path, nullptr, 1, 0.0f, 0.0f);
    gtk().free_path(path);
}

// Called by GTK whenever the tree view gets its size: when it is shown, and when the
// theme or the font changes.
void fit_rows(void* tree_view, const Allocation* allocation, void* /*data*/) {
    void* column = gtk().column_of(tree_view, 0);
    if (column == nullptr) return;
    // The view adds its separator below each row's cells.
    int separator = 0;
    gtk().style_get(tree_view, "vertical-separator", &separator, nullptr);
    const int height = allocation->height - separator;
    List* cells = gtk().cells_of(column);
    for (List* cell = cells; cell != nullptr; cell = cell->next) {
        int width = 0;
        int current = 0;
        gtk().get_fixed_size(cell->data, &width, &current);
        if (height > 0 && current != height) gtk().set_fixed_size(cell->data, width, height);
    }
    gtk().free_list(cells);
    scroll_cursor_to_top(tree_view);
}

}  // namespace

void show_one_row_at_a_time(void* scrolled_window, void* tree_view) {
    if (!gtk().loaded || scrolled_window == nullptr || tree_view == nullptr) return;
    gtk().set_policy(scrolled_window, kPolicyExternal, kPolicyExternal);
    gtk().connect(tree_view, "size-allocate", reinterpret_cast<void (*)()>(&fit_rows), nullptr,
                  nullptr, 0);
}

void set_cursor_row(void* tree_view, int row) {
    if (!gtk().loaded || tree_view == nullptr) return;
    void* path = gtk().new_path(row, -1);
    gtk().set_cursor(tree_view, path, nullptr, 0);
    gtk().free_path(path);
}

void set_accessible_name(void* widget, const char* name, const char* description) {
    if (!gtk().loaded || widget == nullptr) return;
    void* accessible = gtk().accessible_of(widget);
    if (accessible == nullptr) return;
    gtk().set_name(accessible, name);
    gtk().set_description(accessible, description);
}

bool handling_key_press() {
    if (!gtk().loaded) return false;
    void* event = gtk().current_event();
    if (event == nullptr) return false;
    const bool key = gtk().event_type(event) == kKeyPress;
    gtk().free_event(event);
    return key;
}

}  // namespace casino::wx
