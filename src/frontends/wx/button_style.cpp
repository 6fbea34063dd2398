// Trimming GTK's button padding to the game's small buttons.
//
// The GTK functions are looked up in the running process (wx has loaded GTK already), so
// the front end needs no GTK development files to build.
#include "button_style.h"

#include <wx/window.h>

#include <cstring>

#include "gtk_calls.h"

namespace casino::wx {
namespace {

constexpr char kCss[] = "button { padding: 0px 2px; min-height: 0px; min-width: 0px; }";
constexpr unsigned kApplicationPriority = 600;  // GTK_STYLE_PROVIDER_PRIORITY_APPLICATION

struct GtkCss {
    using NewProvider = void* (*)();
    using LoadData = int (*)(void* provider, const char* data, long length, void** error);
    using StyleContextOf = void* (*)(void* widget);
    using AddProvider = void (*)(void* context, void* provider, unsigned priority);

    NewProvider new_provider = nullptr;
    LoadData load_data = nullptr;
    StyleContextOf style_context_of = nullptr;
    AddProvider add_provider = nullptr;
    void* provider = nullptr;  // shared by every button, alive for the whole run

    GtkCss() {
        new_provider = gtk_function<NewProvider>("gtk_css_provider_new");
        load_data = gtk_function<LoadData>("gtk_css_provider_load_from_data");
        style_context_of = gtk_function<StyleContextOf>("gtk_widget_get_style_context");
        add_provider = gtk_function<AddProvider>("gtk_style_context_add_provider");
        if (new_provider == nullptr || load_data == nullptr || style_context_of == nullptr ||
            add_provider == nullptr) {
            return;
        }
        provider = new_provider();
        if (provider != nullptr &&
            load_data(provider, kCss, static_cast<long>(std::strlen(kCss)), nullptr) == 0) {
            provider = nullptr;
        }
    }
};

}  // namespace

void fit_caption(wxWindow& button) {
    static const GtkCss css;
    void* widget = button.GetHandle();
    if (css.provider == nullptr || widget == nullptr) return;
    void* context = css.style_context_of(widget);
    if (context != nullptr) css.add_provider(context, css.provider, kApplicationPriority);
    button.InvalidateBestSize();
}

}  // namespace casino::wx
