// A game on the fake front end, with the few moves every scenario test needs.
#pragma once

#include <cstdio>
#include <initializer_list>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/form1.h"
#include "core/rules/pawnshop.h"
#include "support/fake_port.h"
#include "support/replay_session.h"

namespace casino::testing {

// A draw that makes floor(r * count + offset) come out as `value`.
inline float roll_for(int value, int count, int offset = 0) {
    return (static_cast<float>(value - offset) + 0.5F) / static_cast<float>(count);
}

struct Spin {
    int number = 7;
    int eventroll = 6;  // no fortune row tests 6
    int priceroll = 5;  // chip price 40; no fortune row tests 5
    int fine = 75;
};

// Every move goes through the replay tool's own script lines, so a scenario reads as a
// replay script would.
class Game {
   public:
    Game() : port(session.port()) {}

    // Runs one script line; a line the replay tool cannot read is a fault of the test.
    void line(const std::string& text) {
        if (const auto error = session.run_line(text)) throw std::logic_error(*error);
    }
    void click(Control c) { line("click " + std::string(name_of(c))); }
    // A key typed in a list, which tells the game what it has highlighted.
    void key(Control list, int code) {
        line("key " + std::string(name_of(list)) + " " + std::to_string(code));
    }
    void menu(MenuItem m) { line("menu " + std::string(name_of(m))); }
    Outcome deliver(const Event& event) { return session.deliver(event); }
    void type(std::initializer_list<std::string> answers) {
        for (const auto& a : answers) line(a.empty() ? "type" : "type " + a);
    }
    void draw(std::initializer_list<float> values) {
        std::string text = "draw";
        for (const float r : values) {
            char buf[32];
            std::snprintf(buf, sizeof buf, " %.9g", static_cast<double>(r));
            text += buf;
        }
        line(text);
    }

    // Fixes the next spin.
    void next_spin(const Spin& s) {
        draw({roll_for(s.number, 37), roll_for(s.eventroll, 16), roll_for(s.priceroll, 18),
              roll_for(s.fine, 50, 50)});
    }

    // Enters the casino and forgets what entering printed.
    Game& entered() {
        click(Control::cmdexit);
        port.take_transcript();
        return *this;
    }
    // Walks from the floor into the pawnshop.
    Game& in_pawnshop() {
        entered();
        click(Control::cmdlom);
        return *this;
    }

    // Places a bet with the given spin and answers, and returns what the player saw.
    std::vector<std::string> bet(Control button, const Spin& s,
                                 std::initializer_list<std::string> answers) {
        port.take_transcript();
        port.forget_answers();
        next_spin(s);
        type(answers);
        click(button);
        return port.take_transcript();
    }

    // Pawns the highlighted wardrobe entry at the given pawn-price draw.
    std::vector<std::string> pawn(int wardrobe_index, float price_roll) {
        port.take_transcript();
        click(Control::cmdpay);
        if (wardrobe_index > 0) highlight(Control::List1, wardrobe_index);
        draw({price_roll});
        key(Control::List1, kEnterKey);
        return port.take_transcript();
    }

    std::vector<std::string> redeem(int pawned_index) {
        port.take_transcript();
        click(Control::cmdre);
        if (pawned_index > 0) highlight(Control::List2, pawned_index);
        key(Control::List2, kEnterKey);
        return port.take_transcript();
    }

    // An index of -1 takes the highlight away, as some platforms let a list do; no script
    // line can say so.
    void highlight(Control list, int index) {
        if (index < 0) return port.move_highlight(list, -1);
        line("highlight " + std::string(name_of(list)) + " " + std::to_string(index));
    }

    [[nodiscard]] const GameState& state() const { return session.state(); }
    TableState& table() { return session.table(); }
    [[nodiscard]] const TableState& table() const { return session.table(); }
    [[nodiscard]] int money() const { return session.table().money; }
    void set_money(int m) { line("money " + std::to_string(m)); }
    [[nodiscard]] const std::vector<std::string>& entries(Control list) const {
        return port.list(list).entries;
    }
    [[nodiscard]] std::vector<std::string> shown() const {
        std::vector<std::string> out;
        for (const auto& row : kControls) {
            if (port.visible(row.id)) out.emplace_back(row.name);
        }
        return out;
    }

    ReplaySession session;
    FakePort& port;
};

using Lines = std::vector<std::string>;

// The wardrobe's entries as a fresh game lists them, from the game's own table.
inline Lines wardrobe_texts() {
    Lines texts;
    for (const auto& item : rules::kWardrobe) texts.emplace_back(item.text);
    return texts;
}

}  // namespace casino::testing
