// What the game needs of a platform: every front end, and the tests' fake, implement this.
#pragma once

#include <string>
#include <string_view>

#include "app/controls.h"

namespace casino {

// All texts are UTF-8. Every call is made on the window's one thread, and the blocking
// ones (message, ask_text, play_wav) return only when the player has answered or the
// sound has ended.
class Port {
   public:
    virtual ~Port() = default;

    // Controls: the game always sets visibility and enabled state together (see Form1).
    virtual void set_visible(Control c, bool visible) = 0;
    virtual void set_enabled(Control c, bool enabled) = 0;
    virtual void set_focus(Control c) = 0;
    virtual void set_menu_caption(MenuItem item, std::string_view caption) = 0;

    // List boxes: single selection, unsorted; a new entry goes to the end.
    virtual void list_add(Control list, std::string_view text) = 0;
    virtual void list_clear(Control list) = 0;
    [[nodiscard]] virtual int list_count(Control list) const = 0;
    [[nodiscard]] virtual std::string list_text(Control list, int index) const = 0;
    [[nodiscard]] virtual bool list_selected(Control list, int index) const = 0;
    [[nodiscard]] virtual int list_highlight(Control list) const = 0;  // -1 when none
    virtual void set_list_highlight(Control list, int index) = 0;
    virtual void list_remove(Control list, int index) = 0;

    // A modal message box with an OK button only, titled kAppTitle.
    virtual void message(std::string_view text) = 0;
    // A modal input box with the prompt and an empty field, titled kAppTitle.
    // Returns the typed text, or the empty text when the player cancels.
    virtual std::string ask_text(std::string_view prompt) = 0;
    // Plays a wav synchronously. The path is the game's own ("sound\door.wav"), relative to
    // the current directory; a front end maps the separator for its platform.
    virtual void play_wav(std::string_view path) = 0;
    // Seconds since local midnight, with their fraction.
    virtual double time_of_day() = 0;
    // Ends the program at once.
    virtual void quit() = 0;
};

}  // namespace casino
