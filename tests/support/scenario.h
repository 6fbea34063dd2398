// A game on the fake front end, with the few moves every scenario test needs.
#pragma once

#include <initializer_list>
#include <string>
#include <vector>

#include "core/form1.h"
#include "support/fake_port.h"

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

class Game {
   public:
    Game() : form(port) { form.handle(Event::load()); }

    void click(Control c) { form.handle(Event::click(c)); }
    // A key typed in a list, which tells the game what it has highlighted.
    void key(Control list, int code) {
        form.handle(Event::key_press(list, code, port.list(list).highlight));
    }
    void menu(MenuItem m) { form.handle(Event::menu_item(m)); }
    void type(std::initializer_list<std::string> answers) {
        for (const auto& a : answers) port.type(a);
    }

    // Fixes the next spin.
    void next_spin(const Spin& s) {
        form.random().queue(roll_for(s.number, 37));
        form.random().queue(roll_for(s.eventroll, 16));
        form.random().queue(roll_for(s.priceroll, 18));
        form.random().queue(roll_for(s.fine, 50, 50));
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
        if (wardrobe_index > 0) port.move_highlight(Control::List1, wardrobe_index);
        form.random().queue(price_roll);
        key(Control::List1, kEnterKey);
        return port.take_transcript();
    }

    std::vector<std::string> redeem(int pawned_index) {
        port.take_transcript();
        click(Control::cmdre);
        if (pawned_index > 0) port.move_highlight(Control::List2, pawned_index);
        key(Control::List2, kEnterKey);
        return port.take_transcript();
    }

    [[nodiscard]] int money() const { return form.state().money; }
    void set_money(int m) { form.state().money = static_cast<std::int16_t>(m); }
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

    FakePort port;
    Form1 form;
};

using Lines = std::vector<std::string>;

}  // namespace casino::testing
