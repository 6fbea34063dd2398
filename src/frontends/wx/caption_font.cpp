// The buttons' font, measured against their sizes, and GTK's button padding trimmed.
#include "caption_font.h"

#include <wx/settings.h>
#include <wx/window.h>

#include <algorithm>

#include "core/caption_fit.h"
#include "core/controls.h"
#include "gtk_calls.h"

namespace casino::wx {
namespace {

// The table's twips become pixels at 96 dots per inch, then wx scales them for the screen.
int dips(int twips) { return twips_to_pixels(twips, 96); }

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

wxFont caption_font(const wxWindow& client) {
    constexpr int kMargin = 8;  // the button's frame and padding, both sides
    wxFont font = wxSystemSettings::GetFont(wxSYS_DEFAULT_GUI_FONT);
    const CaptionRoom room = [&](double size) {
        font.SetFractionalPointSize(size);
        double scale = 1e9;
        for (const ControlSpec& row : kControls) {
            if (row.kind != ControlKind::Button) continue;
            int width = 0;
            int height = 0;
            client.GetTextExtent(wxString::FromUTF8(row.caption.data(), row.caption.size()), &width,
                                 &height, nullptr, nullptr, &font);
            scale = std::min(scale, static_cast<double>(client.FromDIP(dips(row.width)) - kMargin) /
                                        std::max(width, 1));
            scale = std::min(
                scale, static_cast<double>(client.FromDIP(dips(row.height))) / std::max(height, 1));
        }
        return scale;
    };
    // GTK sizes its fonts in points; half a point is step enough at a button's sizes.
    const FontSizes sizes{font.GetFractionalPointSize(), 6, 0.5};
    font.SetFractionalPointSize(caption_size(sizes, room));
    return font;
}

void fit_caption(wxWindow& button) {
    GtkWidget* widget = button.GetHandle();
    GtkStyleProvider* provider = small_buttons();
    if (provider == nullptr || widget == nullptr) return;
    gtk_style_context_add_provider(gtk_widget_get_style_context(widget), provider,
                                   GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
    button.InvalidateBestSize();
}

}  // namespace casino::wx
