// The game's modal input box on the page (page/boxes.js draws it).
#include "input_box.h"

#include <cstdlib>
#include <memory>

#include "page.h"

namespace casino::web {

std::string ask_text(std::string_view title, std::string_view prompt) {
    const std::unique_ptr<char, decltype(&std::free)> answer(
        casino_page_ask(std::string(title).c_str(), std::string(prompt).c_str()), &std::free);
    return answer ? std::string(answer.get()) : std::string();
}

}  // namespace casino::web
