// A library preloaded into the real Linux program during a monkey run. It changes nothing:
// it notes, one line each, every box the game opens with its text (an input box with the
// places of its field and its OK button), what each input box gave back and every menu
// caption that changed, and every cue file the sound system opens, in the file named by
// CASINO_MONKEY_LOG. The boxes are shown as always and the player answers them. A client
// message CASINO_MONKEY_MARK n sent to the window, or the nth press of the Pause key, is
// noted as "mark n" once the program has handled every event that reached it before, so
// whoever drives it knows when the program is idle (or waits in a box noted before the
// mark); before the mark comes what the window then shows, its controls, lists and keyboard.
#include <wx/app.h>
#include <wx/frame.h>
#include <wx/listbox.h>
#include <wx/menu.h>
#include <wx/modalhook.h>
#include <wx/module.h>
#include <wx/msgdlg.h>
#include <wx/panel.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/textdlg.h>

#include <gdk/gdkx.h>
#include <gtk/gtk.h>

#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace {

std::FILE* log_file() {
    static std::FILE* file = [] {
        const char* path = std::getenv("CASINO_MONKEY_LOG");
        return path != nullptr ? std::fopen(path, "a") : nullptr;
    }();
    return file;
}

void note(const std::string& line) {
    if (std::FILE* file = log_file()) {
        std::fputs((line + "\n").c_str(), file);
        std::fflush(file);
    }
}

std::string utf8(const wxString& text) { return std::string(text.utf8_str()); }

// ---- The cues ----

}  // namespace

// libcanberra reads each sound file it plays through fopen (and nothing else of the game's
// does), on the cue player's thread while the window waits for the cue to start: the cue is
// noted in its place among the boxes, by the game's own name for it.
extern "C" std::FILE* fopen(const char* path, const char* mode) {
    static const auto real = reinterpret_cast<std::FILE* (*)(const char*, const char*)>(
        dlsym(RTLD_NEXT, "fopen"));
    const std::string_view file(path != nullptr ? path : "");
    const auto folder = file.rfind("sound/");
    if (folder != std::string_view::npos && file.ends_with(".wav")) {
        note("cue sound\\" + std::string(file.substr(folder + 6)));
    }
    return real(path, mode);
}

namespace {

// ---- The menu captions ----

// The captions the player reads, each item in the order of the menus; a change is noted
// before the next box, mark or exit, which keeps it in its place among them.
std::vector<wxMenuItem*> menu_items;
std::vector<std::string> captions;

void note_captions() {
    for (std::size_t i = 0; i < menu_items.size(); ++i) {
        std::string caption = utf8(menu_items[i]->GetItemLabelText());
        if (caption != captions[i]) {
            captions[i] = caption;
            note("caption " + std::to_string(i) + " " + caption);
        }
    }
}

void watch_captions(wxFrame& frame) {
    wxMenuBar* bar = frame.GetMenuBar();
    for (std::size_t m = 0; m < bar->GetMenuCount(); ++m) {
        for (wxMenuItem* item : bar->GetMenu(m)->GetMenuItems()) {
            menu_items.push_back(item);
            captions.push_back(utf8(item->GetItemLabelText()));
        }
    }
}

// ---- Marks ----

// The marks waiting for the window's next frame, the window and its controls.
std::vector<long> marks;
GtkWidget* main_window = nullptr;
gulong after_paint = 0;
std::vector<wxWindow*> controls;

// What the window shows, in the replay tool's words, with the controls in the window's
// order: the controls shown, those enabled, each list's entries and highlight, and the
// control that holds the keyboard, which is the one the window gives it back to when it is
// active again (a box may still be closing).
void note_window() {
    std::string visible = "visible", enabled = "enabled", keyboard = "keyboard";
    GtkWidget* focus = gtk_window_get_focus(GTK_WINDOW(main_window));
    for (wxWindow* control : controls) {
        std::string name(" ");
        name += utf8(control->GetName());
        if (control->IsShownOnScreen()) visible += name;
        if (control->IsEnabled()) enabled += name;
        auto* widget = static_cast<GtkWidget*>(control->GetHandle());
        if (focus != nullptr && (focus == widget || gtk_widget_is_ancestor(focus, widget)))
            keyboard += name;
        if (auto* list = dynamic_cast<wxListBox*>(control)) {
            std::string line = utf8(list->GetName());
            for (unsigned i = 0; i < list->GetCount(); ++i) {
                line += " [";
                line += utf8(list->GetString(i));
                line += ']';
            }
            note(line + " highlight=" + std::to_string(list->GetSelection()));
        }
    }
    note(visible);
    note(enabled);
    note(keyboard);
}

// The frame lays out what the events before the mark showed or hid, so that input sent
// after the mark finds every control where it now stands; what the window then shows comes
// before the mark.
void note_marks(GdkFrameClock* clock, gpointer /*data*/) {
    if (clock != nullptr) g_signal_handler_disconnect(clock, after_paint);
    after_paint = 0;
    note_captions();
    if (main_window != nullptr) note_window();
    for (const long mark : marks) note("mark " + std::to_string(mark));
    marks.clear();
}

gboolean wait_for_frame(gpointer number) {
    marks.push_back(static_cast<long>(reinterpret_cast<std::intptr_t>(number)));
    GdkFrameClock* clock =
        main_window != nullptr ? gtk_widget_get_frame_clock(main_window) : nullptr;
    if (clock == nullptr) {
        note_marks(nullptr, nullptr);
        return G_SOURCE_REMOVE;
    }
    if (after_paint == 0) {
        after_paint = g_signal_connect(clock, "after-paint", G_CALLBACK(note_marks), nullptr);
    }
    gdk_frame_clock_request_phase(clock, GDK_FRAME_CLOCK_PHASE_AFTER_PAINT);
    return G_SOURCE_REMOVE;
}

// Seen as the message arrives, before GDK hands the program the events queued before it;
// those have run once the main loop (or a box's) is idle, and then the next frame is made.
GdkFilterReturn take_mark(GdkXEvent* native, GdkEvent* /*event*/, gpointer /*data*/) {
    static const Atom mark = gdk_x11_get_xatom_by_name("CASINO_MONKEY_MARK");
    const auto* e = static_cast<XEvent*>(native);
    if (e->type != ClientMessage || e->xclient.message_type != mark) return GDK_FILTER_CONTINUE;
    g_idle_add_full(G_PRIORITY_LOW, wait_for_frame,
                    reinterpret_cast<gpointer>(static_cast<std::intptr_t>(e->xclient.data.l[0])),
                    nullptr);
    return GDK_FILTER_REMOVE;
}

// A press of the Pause key, which the game has no use for, is a mark too, numbered by the
// presses so far: it comes with the player's own keys and in their order, on X11 and on
// Wayland alike. No window sees it.
gint take_mark_key(GtkWidget* /*grab*/, GdkEventKey* event, gpointer /*data*/) {
    static std::intptr_t presses = 0;
    if (event->keyval != GDK_KEY_Pause) return FALSE;
    if (event->type == GDK_KEY_PRESS) {
        g_idle_add_full(G_PRIORITY_LOW, wait_for_frame, reinterpret_cast<gpointer>(++presses),
                        nullptr);
    }
    return TRUE;
}

// The watch on the game's window: wx starts every module it finds, this one too; the watch
// begins once the main loop runs, which is after the program has made and shown its window.
class Watcher final : public wxModule {
   public:
    bool OnInit() override {
        wxTheApp->CallAfter([] { bind(); });
        return true;
    }
    void OnExit() override {}

   private:
    static void bind() {
        auto* frame =
            wxTheApp != nullptr ? dynamic_cast<wxFrame*>(wxTheApp->GetTopWindow()) : nullptr;
        // Shown only once its constructor has made every control.
        if (frame == nullptr || !frame->IsShown()) {
            wxTheApp->CallAfter([] { bind(); });
            return;
        }
        watch_captions(*frame);
        frame->Bind(wxEVT_DESTROY, [frame](wxWindowDestroyEvent& event) {
            if (event.GetEventObject() == frame) {
                menu_items.clear();
                controls.clear();
                main_window = nullptr;
            }
            event.Skip();
        });
        main_window = static_cast<GtkWidget*>(frame->GetHandle());
        // The controls are the children of the client area, the frame's one panel.
        for (wxWindow* child : frame->GetChildren()) {
            if (dynamic_cast<wxPanel*>(child) != nullptr) {
                for (wxWindow* control : child->GetChildren()) controls.push_back(control);
            }
        }
        gdk_window_add_filter(nullptr, take_mark, nullptr);
        G_GNUC_BEGIN_IGNORE_DEPRECATIONS
        gtk_key_snooper_install(take_mark_key, nullptr);
        G_GNUC_END_IGNORE_DEPRECATIONS
        note("watching");
    }

    wxDECLARE_DYNAMIC_CLASS(Watcher);
};
wxIMPLEMENT_DYNAMIC_CLASS(Watcher, wxModule);

// Every box the game opens, shown as usual.
class BoxWatcher final : public wxModalDialogHook {
   public:
    BoxWatcher() { Register(); }
    ~BoxWatcher() override { Unregister(); }
    BoxWatcher(const BoxWatcher&) = delete;
    BoxWatcher& operator=(const BoxWatcher&) = delete;

   protected:
    int Enter(wxDialog* dialog) override {
        note_captions();
        if (auto* ask = dynamic_cast<wxTextEntryDialog*>(dialog)) {
            std::string prompt;
            std::string places;
            // Where the player clicks: the text field, then OK, each by its place in the box.
            const auto place = [&](const char* what, wxWindow* child) {
                const wxRect r = child->GetRect();
                places += std::string(what) + " " + std::to_string(r.x) + " " +
                          std::to_string(r.y) + " " + std::to_string(r.width) + " " +
                          std::to_string(r.height) + "\n";
            };
            for (wxWindow* child : ask->GetChildren()) {
                if (auto* text = dynamic_cast<wxStaticText*>(child))
                    prompt += utf8(text->GetLabel());
                if (dynamic_cast<wxTextCtrl*>(child) != nullptr) place("field", child);
                if (child->GetId() == wxID_OK) place("ok", child);
            }
            note("ask " + prompt);
            if (!places.empty()) note(places.substr(0, places.size() - 1));
        } else if (auto* box = dynamic_cast<wxMessageDialogBase*>(dialog)) {
            note("message " + utf8(box->GetMessage()));
        } else {
            note("dialog " + utf8(dialog->GetTitle()));
        }
        return wxID_NONE;
    }

    void Exit(wxDialog* dialog) override {
        if (auto* ask = dynamic_cast<wxTextEntryDialog*>(dialog)) {
            note("answer " +
                 (ask->GetReturnCode() == wxID_OK ? utf8(ask->GetValue()) : std::string()));
        }
        note("closed");
    }
};

// Made when the library is loaded, after wx's own libraries.
BoxWatcher box_watcher;

}  // namespace
