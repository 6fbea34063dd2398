// A library preloaded into the real Linux program during a monkey run. It changes nothing:
// it notes, one line each, every event that reaches the game's controls and menu, every box
// the game opens with its text, what each input box gave back and every menu caption that
// changed, in the file named by CASINO_MONKEY_LOG. The boxes are shown as always and the
// player answers them. A client message CASINO_MONKEY_MARK n sent to the window is noted as
// "mark n" once the program has handled every event that reached it before, so whoever
// drives it knows when the program is idle (or waits in a box noted before the mark).
#include <wx/app.h>
#include <wx/button.h>
#include <wx/ctrlsub.h>
#include <wx/frame.h>
#include <wx/menu.h>
#include <wx/modalhook.h>
#include <wx/module.h>
#include <wx/msgdlg.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/textdlg.h>
#include <wx/vlbox.h>

#include <gdk/gdkx.h>
#include <gtk/gtk.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <string>
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

// The marks waiting for the window's next frame, and the window.
std::vector<long> marks;
GtkWidget* main_window = nullptr;
gulong after_paint = 0;

// The frame lays out what the events before the mark showed or hid, so that input sent
// after the mark finds every control where it now stands.
void note_marks(GdkFrameClock* clock, gpointer /*data*/) {
    g_signal_handler_disconnect(clock, after_paint);
    after_paint = 0;
    note_captions();
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

// The list's highlighted entry, by index.
int highlight_of(wxWindow* list) {
    if (auto* box = dynamic_cast<wxVListBox*>(list)) return box->GetSelection();
    if (auto* items = dynamic_cast<wxItemContainerImmutable*>(list)) return items->GetSelection();
    return -1;
}

// The events the game's window hands to the game, noted before the game sees them. wx
// starts every module it finds, this one too; the watch begins once the main loop runs,
// which is after the program has made and shown its window.
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
        frame->Bind(wxEVT_MENU, [frame](wxCommandEvent& event) {
            note("event menu " + std::to_string(menu_index(*frame, event.GetId())));
            event.Skip();
        });
        frame->Bind(wxEVT_CLOSE_WINDOW, [](wxCloseEvent& event) {
            note("event close");
            event.Skip();
        });
        watch_children(*frame);
        watch_captions(*frame);
        frame->Bind(wxEVT_DESTROY, [frame](wxWindowDestroyEvent& event) {
            if (event.GetEventObject() == frame) {
                menu_items.clear();
                main_window = nullptr;
            }
            event.Skip();
        });
        main_window = static_cast<GtkWidget*>(frame->GetHandle());
        gdk_window_add_filter(nullptr, take_mark, nullptr);
        note("watching");
    }

    // The game's buttons and lists carry the game's names for them.
    static void watch_children(wxWindow& parent) {
        for (wxWindow* control : parent.GetChildren()) {
            const std::string name = utf8(control->GetName());
            if (dynamic_cast<wxButton*>(control) != nullptr) {
                control->Bind(wxEVT_BUTTON, [name](wxCommandEvent& event) {
                    note("event click " + name);
                    event.Skip();
                });
            } else if (name.starts_with("List")) {
                control->Bind(wxEVT_CHAR, [name, control](wxKeyEvent& event) {
                    int code = static_cast<int>(event.GetUnicodeKey());
                    if (event.GetKeyCode() == WXK_NUMPAD_ENTER) code = WXK_RETURN;
                    if (event.GetKeyCode() > 0 && event.GetKeyCode() < 32)
                        code = event.GetKeyCode();
                    if (code != WXK_NONE) {
                        note("event key " + name + " " + std::to_string(code) + " " +
                             std::to_string(highlight_of(control)));
                    }
                    event.Skip();
                });
                control->Bind(wxEVT_LISTBOX_DCLICK, [name, control](wxCommandEvent& event) {
                    note("event activate " + name + " " + std::to_string(highlight_of(control)));
                    event.Skip();
                });
            } else {
                watch_children(*control);
            }
        }
    }

    // The item's place among all the menu items, in the order of the menus.
    static int menu_index(wxFrame& frame, int id) {
        int index = 0;
        wxMenuBar* bar = frame.GetMenuBar();
        for (std::size_t m = 0; m < bar->GetMenuCount(); ++m) {
            for (const wxMenuItem* item : bar->GetMenu(m)->GetMenuItems()) {
                if (item->GetId() == id) return index;
                ++index;
            }
        }
        return -1;
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

struct AtExit {
    ~AtExit() { note("exit"); }
};

// Made when the library is loaded, after wx's own libraries.
AtExit at_exit;
BoxWatcher box_watcher;

}  // namespace
