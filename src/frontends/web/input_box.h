// The game's modal input box on the page: a prompt, one empty field, OK and Cancel.
#pragma once

#include <string>
#include <string_view>

namespace casino::web {

// Shows the box over the window, which takes no input until it has closed.
// Returns the typed text on OK or Enter, and the empty text on Cancel or Esc.
std::string ask_text(std::string_view title, std::string_view prompt);

}  // namespace casino::web
