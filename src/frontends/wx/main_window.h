// The game's window on Linux: a wx frame built from the control and menu tables, which
// turns native events into the game's Events and carries out what the game asks of it
// through the port.
#pragma once

#include <wx/frame.h>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

#include "core/draws.h"
#include "core/form1.h"
#include "core/port.h"
#include "cue_player.h"

class wxChildFocusEvent;
class wxMenuItem;
class wxPanel;

namespace casino::wx {

class GameList;

// How the program must end when the game quits. Between events the main loop can simply
// stop. While one of the game's boxes is open (the window was closed under it), nothing may
// return into the box's handler: the process ends on the spot.
enum class Ending : std::uint8_t { StopMainLoop, EndProcessNow };

class MainWindow final : public wxFrame, public Port {
   public:
    // quit: ends the program as the game asks (the frame hides itself first). sound: where
    // the cues go; by default libcanberra.
    // The game draws from `draws` and keeps its state in `state`; both outlive the window.
    MainWindow(std::function<void(Ending)> quit, Draws& draws, GameState& state,
               std::unique_ptr<SoundOutput> sound = {});
    ~MainWindow() override;

    [[nodiscard]] wxWindow* control(Control c) const { return controls_[slot(c)]; }
    // A list box as the player sees it.
    [[nodiscard]] GameList& list_box(Control list) const;
    [[nodiscard]] wxMenuItem* menu_item(MenuItem m) const {
        return menu_items_[static_cast<std::size_t>(m)];
    }
    // The client area, on which every control sits.
    [[nodiscard]] wxPanel* client() const { return client_; }

    // ---- Port ----
    void set_shown(Control c, bool shown) override;
    void set_focus(Control c) override;
    void set_menu_caption(MenuItem item, std::string_view caption) override;
    void list_add(Control list, std::string_view text) override;
    void list_remove(Control list, int index) override;
    void list_clear(Control list) override;
    void set_list_highlight(Control list, int index) override;
    void message(std::string_view text) override;
    std::string ask_text(std::string_view prompt) override;
    void play(Cue cue) override;
    double time_of_day() override;
    void quit() override;

   private:
    static std::size_t slot(Control c) { return static_cast<std::size_t>(c); }

    void create_menus();
    void create_controls();
    void apply_tab_order();

    // Runs one Event through the game and gives the keyboard where the game says.
    void dispatch(const Event& event);
    [[nodiscard]] std::optional<Control> control_of(const wxWindow* window) const;

    void OnClick(wxCommandEvent& event);
    void OnMenu(wxCommandEvent& event);
    void OnListKey(Control list, int code);
    // Every way of closing the window is the game's exit, and it is never refused.
    void OnClose();
    void OnChildFocus(wxChildFocusEvent& event);

    wxPanel* client_ = nullptr;
    std::array<wxWindow*, kControlCount> controls_{};
    std::array<wxMenuItem*, kMenuItemCount> menu_items_{};
    std::function<void(Ending)> quit_;
    std::unique_ptr<SoundOutput> sound_;
    std::string data_dir_;  // where an installed game keeps its sound folder
    bool quitting_ = false;
    int boxes_open_ = 0;  // the game's boxes on the screen, each waiting for the player
    // The control that holds the keyboard, or gets it back when the window is active again.
    Keyboard focused_;
    Form1 form_;
};

}  // namespace casino::wx
