// A front end without a window: it keeps the widgets' state as a real front end would
// (what each control shows, the lists and their highlights), records what the game shows,
// asks and plays, and answers the game's questions from a script.
#pragma once

#include <array>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "core/event.h"
#include "core/port.h"
#include "support/names.h"

namespace casino::testing {

class FakePort final : public Port {
   public:
    struct ListBox {
        std::vector<std::string> entries;
        int highlight = -1;
    };

    FakePort();

    // ---- Script ----
    void type(std::string answer) { answers_.push_back(std::move(answer)); }
    void set_clock(double seconds) { clock_ = seconds; }
    void forget_answers() { answers_.clear(); }
    // The player moves a list's highlight (a click or an arrow key); -1 for none.
    void move_highlight(Control list, int index) { box(list).highlight = index; }
    // Something the platform delivers while the next box (a message or an input box) is
    // open, as another program or an assistive technology can: it runs once that box is up.
    void while_next_box_is_open(std::function<void()> action) { during_box_ = std::move(action); }

    // ---- What happened, one line per thing, in the replay tool's words ----
    [[nodiscard]] const std::vector<std::string>& transcript() const { return transcript_; }
    std::vector<std::string> take_transcript();
    [[nodiscard]] std::vector<std::string> messages() const;  // the texts of "message" lines
    [[nodiscard]] bool quit_called() const { return quit_; }

    // ---- The widgets, as the player would see them ----
    [[nodiscard]] bool visible(Control c) const { return visible_[index(c)]; }
    [[nodiscard]] bool enabled(Control c) const { return enabled_[index(c)]; }
    [[nodiscard]] const ListBox& list(Control c) const { return lists_[slot(c)]; }
    // The highlighted entry's text, empty when none is highlighted.
    [[nodiscard]] std::string highlighted(Control list) const;
    [[nodiscard]] std::string menu_caption(MenuItem m) const {
        return captions_[static_cast<std::size_t>(m)];
    }
    // The control that holds the keyboard, as a window keeps it: the game gives it, a
    // click takes it, and what became of an event may hand it on (see apply).
    [[nodiscard]] Keyboard focused() const { return focused_; }
    void click_into(Control c) { focused_ = c; }
    void apply(const Outcome& outcome) {
        if (outcome.focus) focused_ = outcome.focus;
    }

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
    double time_of_day() override { return clock_; }
    void quit() override;

   private:
    static std::size_t index(Control c) { return static_cast<std::size_t>(c); }
    static std::size_t slot(Control c) { return c == Control::List1 ? 0 : 1; }
    ListBox& box(Control c) { return lists_[slot(c)]; }
    void record(std::string line) { transcript_.push_back(std::move(line)); }
    void box_opened();

    std::array<bool, kControlCount> visible_{};
    std::array<bool, kControlCount> enabled_{};
    std::array<ListBox, 2> lists_;
    std::array<std::string, kMenuItemCount> captions_;
    std::deque<std::string> answers_;
    std::vector<std::string> transcript_;
    std::function<void()> during_box_;
    Keyboard focused_;
    double clock_ = 43200.0;
    bool quit_ = false;
};

}  // namespace casino::testing
