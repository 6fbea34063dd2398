// A front end without a window: it records what the game shows, asks and plays, and
// answers the game's questions from a script.
#pragma once

#include <array>
#include <deque>
#include <string>
#include <vector>

#include "platform/port.h"

namespace casino::testing {

class FakePort final : public Port {
   public:
    struct ListBox {
        std::vector<std::string> entries;
        int highlight = -1;
    };

    // ---- Script ----
    void type(std::string answer) { answers_.push_back(std::move(answer)); }
    void set_clock(double seconds) { clock_ = seconds; }
    void forget_answers() { answers_.clear(); }

    // ---- What happened, one line per thing, in the replay tool's words ----
    [[nodiscard]] const std::vector<std::string>& transcript() const { return transcript_; }
    std::vector<std::string> take_transcript();
    [[nodiscard]] std::vector<std::string> messages() const;  // the texts of "message" lines
    [[nodiscard]] const ListBox& list(Control c) const { return lists_[slot(c)]; }
    [[nodiscard]] bool quit_called() const { return quit_; }
    [[nodiscard]] std::size_t unanswered() const { return answers_.size(); }
    [[nodiscard]] std::string menu_caption(MenuItem m) const {
        return captions_[static_cast<std::size_t>(m)];
    }

    // ---- Port ----
    void set_visible(Control, bool) override {}
    void set_enabled(Control, bool) override {}
    void set_focus(Control c) override;
    void set_menu_caption(MenuItem item, std::string_view caption) override;
    void list_add(Control list, std::string_view text) override;
    void list_clear(Control list) override;
    [[nodiscard]] int list_count(Control list) const override;
    [[nodiscard]] std::string list_text(Control list, int index) const override;
    [[nodiscard]] bool list_selected(Control list, int index) const override;
    [[nodiscard]] int list_highlight(Control list) const override;
    void set_list_highlight(Control list, int index) override;
    void list_remove(Control list, int index) override;
    void message(std::string_view text) override;
    std::string ask_text(std::string_view prompt) override;
    void play_wav(std::string_view path) override;
    double time_of_day() override { return clock_; }
    void quit() override;

   private:
    static std::size_t slot(Control c) { return c == Control::List1 ? 0 : 1; }
    ListBox& box(Control c) { return lists_[slot(c)]; }
    void record(std::string line) { transcript_.push_back(std::move(line)); }

    std::array<ListBox, 2> lists_;
    std::array<std::string, kMenuItemCount> captions_ = {
        std::string(kMenuItems[0].caption), std::string(kMenuItems[1].caption),
        std::string(kMenuItems[2].caption), std::string(kMenuItems[3].caption),
        std::string(kMenuItems[4].caption)};
    std::deque<std::string> answers_;
    std::vector<std::string> transcript_;
    double clock_ = 43200.0;
    bool quit_ = false;
};

}  // namespace casino::testing
