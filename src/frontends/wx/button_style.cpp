// Trimming GTK's button padding to the game's small buttons.
#include "button_style.h"

#include <wx/window.h>

#include "gtk_calls.h"

namespace casino::wx {
namespace {

constexpr char kCss[] = "button { padding: 0px 2px; min-height: 0px; min-width: 0px; }";

// One style for every button, alive for the whole run; none if GTK refuses the rules.
GtkStyleProvider* small_buttons() {
    static GtkStyleProvider* const provider = [] {
        GtkCssProvider* css = gtk_css_provider_new();
        if (!gtk_css_provider_load_from_data(css, kCss, -1, nullptr)) {
            g_object_unref(css);
            return static_cast<GtkStyleProvider*>(nullptr);
        }
        return GTK_STYLE_PROVIDER(css);
    }();
    return provider;
}

}  // namespace

void fit_caption(wxWindow& button) {
    GtkWidget* widget = button.GetHandle();
    GtkStyleProvider* provider = small_buttons();
    if (provider == nullptr || widget == nullptr) return;
    gtk_style_context_add_provider(gtk_widget_get_style_context(widget), provider,
                                   GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
    button.InvalidateBestSize();
}

}  // namespace casino::wx
