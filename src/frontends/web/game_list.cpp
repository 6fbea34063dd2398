// A single-selection list box on the page (page/game_list.js draws it and moves its highlight).
#include "game_list.h"

#include <string>

#include "css_pixels.h"
#include "page.h"

namespace casino::web {
namespace {

int id_of(Control c) { return static_cast<int>(c); }

}  // namespace

GameList::GameList(const ControlSpec& row, ListVoice voice) : id_(row.id) {
    casino_page_add_list(id_of(id_), std::string(row.name).c_str(), std::string(voice.name).c_str(),
                         std::string(voice.hint).c_str(), css_pixels(row.left), css_pixels(row.top),
                         css_pixels(row.width), css_pixels(row.height));
}

void GameList::append(std::string_view text) {
    casino_page_list_add(id_of(id_), std::string(text).c_str());
}

void GameList::clear() { casino_page_list_clear(id_of(id_)); }

void GameList::remove(int index) { casino_page_list_remove(id_of(id_), index); }

void GameList::set_highlight(int index) { casino_page_list_set_highlight(id_of(id_), index); }

int GameList::highlight() const { return casino_page_list_highlight(id_of(id_)); }

}  // namespace casino::web
