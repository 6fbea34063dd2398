// A single-selection list box on the page, one text line high, driven by the keyboard: the
// page keeps its entries and its highlight, which the player moves, and publishes both to
// the accessibility tree.
#pragma once

#include <string_view>

#include "core/controls.h"

namespace casino::web {

class GameList {
   public:
    // Puts the list on the page at its place in the table, with what a screen reader says of
    // it: its name, and the key that acts on its highlighted entry.
    GameList(const ControlSpec& row, ListVoice voice);

    void append(std::string_view text);
    void clear();
    // As in any list box, removing an entry leaves nothing highlighted.
    void remove(int index);
    // Highlights the entry at index (and brings it into view), or none for -1.
    void set_highlight(int index);
    // The highlighted entry's index, or -1 for none.
    [[nodiscard]] int highlight() const;

   private:
    Control id_;
};

}  // namespace casino::web
