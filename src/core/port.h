// What the game needs of a platform: every front end, and the tests' fake, implement this.
#pragma once

#include <string>
#include <string_view>

#include "core/controls.h"
#include "core/rules/cue.h"

namespace casino {

using rules::Cue;

// The game speaks; the front end shows. Nothing here reads a widget back: the core keeps
// every control's state and both lists' entries itself, and the one thing a widget owns,
// the highlight of an open list, reaches the core inside the key press Event.
//
// All texts are UTF-8. Every call is made on the window's one thread, and the blocking
// ones (message, ask_text, play) return only when the player has answered or the
// sound has ended.
class Port {
   public:
    virtual ~Port() = default;

    // Controls: shown is visible and enabled, hidden is neither; the game always sets the
    // two together.
    virtual void set_shown(Control c, bool shown) = 0;
    virtual void set_focus(Control c) = 0;
    virtual void set_menu_caption(MenuItem item, std::string_view caption) = 0;

    // List boxes, a mirror of the core's lists: single selection, unsorted. Removing an
    // entry leaves the highlight on the same entry if it stays, and on none if it goes.
    virtual void list_add(Control list, std::string_view text) = 0;
    virtual void list_remove(Control list, int index) = 0;
    virtual void list_clear(Control list) = 0;
    virtual void set_list_highlight(Control list, int index) = 0;

    // A modal message box with an OK button only, titled kAppTitle.
    virtual void message(std::string_view text) = 0;
    // A modal input box with the prompt and an empty field, titled kAppTitle.
    // Returns the typed text, or the empty text when the player cancels.
    virtual std::string ask_text(std::string_view prompt) = 0;
    // Plays a cue synchronously; core/cue_files tells where its file is looked for.
    virtual void play(Cue cue) = 0;
    // Seconds since local midnight, with their fraction.
    virtual double time_of_day() = 0;
    // Ends the program at once.
    virtual void quit() = 0;
};

}  // namespace casino
