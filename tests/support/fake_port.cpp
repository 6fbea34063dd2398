// The recording fake front end.
#include "support/fake_port.h"

#include <utility>

namespace casino::testing {

// The widgets start as the control and menu tables create them.
FakePort::FakePort() {
    for (const auto& row : kControls) {
        visible_[index(row.id)] = row.visible;
        enabled_[index(row.id)] = row.enabled;
    }
    for (const auto& item : kMenuItems) {
        captions_[static_cast<std::size_t>(item.id)] = std::string(item.caption);
    }
}

std::vector<std::string> FakePort::take_transcript() {
    std::vector<std::string> out;
    out.swap(transcript_);
    return out;
}

std::vector<std::string> FakePort::messages() const {
    std::vector<std::string> out;
    const std::string prefix = "message ";
    for (const auto& line : transcript_) {
        if (line.starts_with(prefix)) out.push_back(line.substr(prefix.size()));
    }
    return out;
}

std::string FakePort::highlighted(Control list) const {
    const ListBox& b = lists_[slot(list)];
    if (b.highlight < 0 || b.highlight >= static_cast<int>(b.entries.size())) return {};
    return b.entries[static_cast<std::size_t>(b.highlight)];
}

void FakePort::set_shown(Control c, bool shown) {
    visible_[index(c)] = shown;
    enabled_[index(c)] = shown;
}

void FakePort::set_focus(Control c) {
    focused_ = c;
    record("focus " + std::string(name_of(c)));
}

void FakePort::set_menu_caption(MenuItem item, std::string_view caption) {
    captions_[static_cast<std::size_t>(item)] = std::string(caption);
    record("caption " + std::string(name_of(item)) + " " + std::string(caption));
}

void FakePort::list_add(Control list, std::string_view text) {
    box(list).entries.emplace_back(text);
}

void FakePort::list_clear(Control list) {
    box(list).entries.clear();
    box(list).highlight = -1;
}

void FakePort::set_list_highlight(Control list, int index) {
    ListBox& b = box(list);
    if (index >= -1 && index < static_cast<int>(b.entries.size())) b.highlight = index;
}

void FakePort::list_remove(Control list, int index) {
    ListBox& b = box(list);
    if (index < 0 || index >= static_cast<int>(b.entries.size())) return;
    b.entries.erase(b.entries.begin() + index);
    // As a real list box does: removing the highlighted entry leaves none highlighted.
    if (b.highlight == index) {
        b.highlight = -1;
    } else if (b.highlight > index) {
        --b.highlight;
    }
}

void FakePort::box_opened() {
    if (auto action = std::exchange(during_box_, nullptr)) action();
}

void FakePort::message(std::string_view text) {
    record("message " + std::string(text));
    box_opened();
}

std::string FakePort::ask_text(std::string_view prompt) {
    record("ask " + std::string(prompt));
    box_opened();
    if (answers_.empty()) return {};
    std::string answer = std::move(answers_.front());
    answers_.pop_front();
    return answer;
}

void FakePort::play(Cue cue) { record("cue " + std::string(rules::cue_name(cue))); }

void FakePort::quit() {
    quit_ = true;
    record("quit");
}

}  // namespace casino::testing
