// The Linux program: starts wx, opens the game's window and runs until it is closed.
#include <glib.h>
#include <wx/app.h>

#include <cstdio>
#include <cstdlib>

#include "core/random_source.h"
#include "core/game_state.h"
#include "main_window.h"

namespace casino::wx {

// Not in an anonymous namespace: wxIMPLEMENT_APP gives it an accessor, wxGetApp().
class CasinoApp final : public wxApp {
   public:
    // The desktop matches the window to its desktop entry by the program's name, which
    // becomes the app id on Wayland and the instance part of WM_CLASS on X11. GTK takes it
    // when it starts, after this and before OnInit.
    CasinoApp() { g_set_prgname(CASINO_APP_ID); }

    bool OnInit() override {
        auto* frame =
            new casino::wx::MainWindow([this](Ending ending) { end(ending); }, draws_, state_);
        frame_ = frame;
        frame->Show();
        return true;
    }

   private:
    // Exit ends the game at once. Between events the window goes and the main loop stops.
    // Inside a handler's box the process ends where it stands, with the exit code of a
    // clean exit: the game keeps nothing that would need saving or closing, and the system
    // takes the window and the box away with the process.
    void end(Ending ending) {
        if (ending == Ending::EndProcessNow) {
            std::fflush(nullptr);
            std::_Exit(0);
        }
        if (frame_ != nullptr) frame_->Destroy();
        frame_ = nullptr;
        ExitMainLoop();
    }

    RandomSource draws_;
    GameState state_;
    wxWindow* frame_ = nullptr;
};

}  // namespace casino::wx

wxIMPLEMENT_APP(casino::wx::CasinoApp);
