// A library preloaded into the real Linux program by its monkey transport (bus_transport.py).
// It changes nothing: it notes, one line each, in the file named by CASINO_MONKEY_LOG, what the
// accessibility bus cannot tell the transport: every cue file the sound system opens, each box
// the game opens ("message" or "ask"; the bus tells what it says) and closes, what an input box
// gave back, and where each control lies in the client area, shown or not. The nth press of the
// Pause key is noted as "mark n" once the program has handled every event that reached it
// before, so whoever drives it knows when the program is idle (or waits in a box noted before
// the mark).
#include <wx/app.h>
#include <wx/frame.h>
#include <wx/modalhook.h>
#include <wx/module.h>
#include <wx/textdlg.h>

#include <gtk/gtk.h>

#include <dlfcn.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

void note(const std::string& line) {
    static std::FILE* const file = [] {
        const char* path = std::getenv("CASINO_MONKEY_LOG");
        return path != nullptr ? std::fopen(path, "a") : nullptr;
    }();
    if (file != nullptr) {
        std::fputs((line + "\n").c_str(), file);
        std::fflush(file);
    }
}

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

// ---- Marks ----

// The window, and the marks waiting for its next frame.
GtkWidget* main_window = nullptr;
gulong after_paint = 0;
std::intptr_t marks_waiting = 0;

// The frame lays out what the events before the mark showed or hid, so that input sent after
// the mark finds every control where it now stands.
void note_marks(GdkFrameClock* clock, gpointer /*data*/) {
    static std::intptr_t noted = 0;
    if (clock != nullptr) g_signal_handler_disconnect(clock, after_paint);
    after_paint = 0;
    while (noted < marks_waiting) note("mark " + std::to_string(++noted));
}

gboolean wait_for_frame(gpointer /*data*/) {
    ++marks_waiting;
    GdkFrameClock* clock =
        main_window != nullptr ? gtk_widget_get_frame_clock(main_window) : nullptr;
    if (clock == nullptr) {
        note_marks(nullptr, nullptr);
    } else if (after_paint == 0) {
        after_paint = g_signal_connect(clock, "after-paint", G_CALLBACK(note_marks), nullptr);
        gdk_frame_clock_request_phase(clock, GDK_FRAME_CLOCK_PHASE_AFTER_PAINT);
    }
    return G_SOURCE_REMOVE;
}

// A press of the Pause key, which the game has no use for, is a mark, numbered by the presses
// so far: it comes with the player's own keys and in their order, on X11 and on Wayland alike.
// It is seen as it arrives; the events queued before it have run once the main loop (or a
// box's) is idle, and then the next frame is made. No window sees it.
gint take_mark_key(GtkWidget* /*grab*/, GdkEventKey* event, gpointer /*data*/) {
    if (event->keyval != GDK_KEY_Pause) return FALSE;
    if (event->type == GDK_KEY_PRESS) {
        g_idle_add_full(G_PRIORITY_LOW, wait_for_frame, nullptr, nullptr);
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
        frame->Bind(wxEVT_DESTROY, [frame](wxWindowDestroyEvent& event) {
            if (event.GetEventObject() == frame) main_window = nullptr;
            event.Skip();
        });
        main_window = static_cast<GtkWidget*>(frame->GetHandle());
        // The controls are the children of the client area, the frame's one child window.
        for (const wxWindow* client : frame->GetChildren()) {
            for (const wxWindow* control : client->GetChildren()) {
                const wxRect r = control->GetRect();
                note("place " + std::string(control->GetName().utf8_str()) + " " +
                     std::to_string(r.x) + " " + std::to_string(r.y) + " " +
                     std::to_string(r.width) + " " + std::to_string(r.height));
            }
        }
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
        note(dynamic_cast<wxTextEntryDialog*>(dialog) != nullptr ? "ask" : "message");
        return wxID_NONE;
    }

    void Exit(wxDialog* dialog) override {
        if (auto* ask = dynamic_cast<wxTextEntryDialog*>(dialog)) {
            note("answer " + (ask->GetReturnCode() == wxID_OK
                                  ? std::string(ask->GetValue().utf8_str())
                                  : std::string()));
        }
        note("closed");
    }
};

// Made when the library is loaded, after wx's own libraries.
BoxWatcher box_watcher;

}  // namespace
