// The Linux program: starts wx, opens the game's window and runs until it is closed.
#include <glib.h>
#include <wx/app.h>

#include "main_frame.h"

namespace casino::wx {

// Not in an anonymous namespace: wxIMPLEMENT_APP gives it an accessor, wxGetApp().
class CasinoApp final : public wxApp {
   public:
    // The desktop matches the window to its desktop entry by the program's name, which
    // becomes the app id on Wayland and the instance part of WM_CLASS on X11. GTK takes it
    // when it starts, after this and before OnInit.
    CasinoApp() { g_set_prgname(CASINO_APP_ID); }

    bool OnInit() override {
        auto* frame = new casino::wx::MainFrame([this] { end_now(); });
        frame_ = frame;
        frame->Show();
        return true;
    }

   private:
    // Exit ends the game at once: the window goes and the main loop stops.
    void end_now() {
        if (frame_ != nullptr) frame_->Destroy();
        frame_ = nullptr;
        ExitMainLoop();
    }

    wxWindow* frame_ = nullptr;
};

}  // namespace casino::wx

wxIMPLEMENT_APP(casino::wx::CasinoApp);
