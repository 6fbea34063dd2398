// The window's tables, what became of each event and where the keyboard goes, the menu on
// every screen, the exit, and events that come while a handler runs. What each screen shows
// and says is the goldens' business.
#include <gtest/gtest.h>

#include <array>

#include "core/rules/table.h"
#include "support/scenario.h"

namespace casino::testing {
namespace {

TEST(Menu, LabelsCarryTheirShortcutsAfterATab) {
    EXPECT_EQ(menu_label(MenuItem::balance, "деньги"), "деньги\tF3");
    EXPECT_EQ(menu_label(MenuItem::sound, kSoundOnCaption), "включить звук\tF5");
    EXPECT_EQ(menu_label(MenuItem::exit, "выход alt+f4"), "выход alt+f4");
}

TEST(Load, WindowAndControlTablesHoldTheLayout) {
    EXPECT_EQ(kWindow.caption, "казино \"Пельтораг\"");
    EXPECT_EQ(twips_to_pixels(kWindow.client_width, 96), 312);
    EXPECT_EQ(twips_to_pixels(kWindow.client_height, 96), 210);
    EXPECT_EQ(twips_to_pixels(255, 96), 17);
    EXPECT_EQ(twips_to_pixels(1871, 96), 125);
    EXPECT_EQ(twips_to_pixels(1871, 192), 249);

    // Every tab position is used once, and the table is in creation order.
    std::array<int, kControlCount> tab_used{};
    for (int i = 0; i < kControlCount; ++i) {
        EXPECT_EQ(static_cast<int>(kControls[static_cast<std::size_t>(i)].id), i);
        ++tab_used[static_cast<std::size_t>(kControls[static_cast<std::size_t>(i)].tab_order)];
    }
    for (const int used : tab_used) EXPECT_EQ(used, 1);
    EXPECT_EQ(tab_order().front(), Control::cmdnum);
    EXPECT_EQ(tab_order()[1], Control::cmdexit);
    EXPECT_EQ(tab_order().back(), Control::List2);
    EXPECT_EQ(spec_of(Control::cmdexit).caption, "вход");
}

// What became of each event, and where the keyboard goes when the control holding it is
// hidden: to the next shown control after it in the tab order, wrapping round, once the
// handler has finished; unless the handler gave it to a control itself.
TEST(Keyboard, GoesToTheNextShownControlWhenItsHolderIsHidden) {
    struct Step {
        const char* what;
        Event event;
        Outcome outcome;
    };
    const auto handled = [](Keyboard focus) { return Outcome{Result::Handled, focus}; };
    const Outcome refused{Result::Refused, {}};
    using C = Control;
    Game game;
    EXPECT_EQ(game.session.last_outcome(), handled(C::cmdexit)) << "the window opens";
    for (const Step& step : {
             Step{"a hidden button", Event::click(C::cmdred, C::cmdexit), refused},
             Step{"a click in a list", Event::click(C::List1, C::cmdexit), refused},
             Step{"a closed list", Event::key_press(C::List1, kEnterKey, 0, C::cmdexit), refused},
             Step{"a second load", Event::load(), refused},
             Step{"the door gives the keyboard itself", Event::click(C::cmdexit, C::cmdexit),
                  handled({})},
             Step{"the pawnshop hides its door", Event::click(C::cmdlom, C::cmdlom),
                  handled(C::cmdwent)},
             Step{"a hidden holder it did not hide", Event::click(C::cmdre, C::cmdexit),
                  handled({})},
             Step{"the wardrobe takes it", Event::click(C::cmdpay, C::cmdpay), handled({})},
             Step{"a pawn closes the wardrobe, wrapping round",
                  Event::key_press(C::List1, kEnterKey, 0, C::List1), handled(C::cmdwent)},
             Step{"nothing hidden holds it", Event::menu_item(MenuItem::balance, C::cmdre),
                  handled({})},
             Step{"leaving hides the holder", Event::click(C::cmdwent, C::cmdwent),
                  handled(C::cmdnum)},
             Step{"the menu with no holder", Event::menu_item(MenuItem::start_over, {}),
                  handled({})},
             Step{"the exit", Event::menu_item(MenuItem::exit, C::cmdnum),
                  Outcome{Result::Ended, {}}},
             Step{"after the end", Event::menu_item(MenuItem::help, C::cmdnum), refused},
         }) {
        EXPECT_EQ(game.deliver(step.event), step.outcome) << step.what;
    }
    // The greeting, the pawn and the balance: the events taken really ran.
    EXPECT_EQ(game.port.messages().size(), 3U);
}

TEST(Keyboard, StartingOverWithAnOpenListHandsItToThePawnshop) {
    Game game;
    game.in_pawnshop();
    game.click(Control::cmdpay);
    EXPECT_EQ(game.deliver(Event::menu_item(MenuItem::start_over, Control::List1)),
              (Outcome{Result::Handled, Control::cmdwent}));
}

TEST(Menu, WorksOnEveryScreen) {
    Game street;
    Game floor;
    floor.entered();
    Game pawnshop;
    pawnshop.in_pawnshop();
    // What the menu says is the goldens' business; here it says the same on every screen.
    Lines on_the_street;
    for (Game* game : {&street, &floor, &pawnshop}) {
        const Lines before = game->shown();
        game->port.take_transcript();
        game->menu(MenuItem::help);
        game->menu(MenuItem::balance);
        game->menu(MenuItem::sound);
        const Lines said = game->port.take_transcript();
        if (game == &street) on_the_street = said;
        EXPECT_EQ(said.size(), 3U);
        EXPECT_EQ(said, on_the_street);
        EXPECT_EQ(game->shown(), before);
    }
}

TEST(Exit, EndsTheGameAndNothingRunsAfterIt) {
    for (const Event closing : {Event::menu_item(MenuItem::exit, {}), Event::unload()}) {
        Game game;
        game.entered();
        game.deliver(closing);
        EXPECT_TRUE(game.port.quit_called());
        game.menu(MenuItem::help);
        game.click(Control::cmdred);
        EXPECT_EQ(game.port.take_transcript(), (Lines{"quit"}));
    }
}

// While a handler waits in a box, the platform can still deliver events (another program
// posting them, an assistive technology). Only a close is taken; everything else is
// refused, and the game goes on as if it had never come.
TEST(OneHandlerAtATime, EventsArrivingWhileABoxIsOpenAreRefused) {
    struct Nested {
        const char* what;
        Event event;
    };
    for (const Nested& nested :
         {Nested{"start over", Event::menu_item(MenuItem::start_over, {})},
          Nested{"a bet", Event::click(Control::cmdred, {})},
          Nested{"the balance", Event::menu_item(MenuItem::balance, {})},
          Nested{"Enter in the wardrobe",
                 Event::key_press(Control::List1, kEnterKey, 0, Control::List1)}}) {
        // The same pawn and redemption twice: once alone, once with the event delivered
        // while the box that ends each is open.
        Game alone;
        Game disturbed;
        std::vector<Result> nested_results;
        const auto disturb = [&] {
            disturbed.port.while_next_box_is_open(
                [&] { nested_results.push_back(disturbed.deliver(nested.event).result); });
        };
        for (Game* game : {&alone, &disturbed}) {
            game->in_pawnshop();
            if (game == &disturbed) disturb();
            game->pawn(1, 0.27F);
            if (game == &disturbed) disturb();
            game->redeem(0);
        }
        EXPECT_EQ(nested_results, (std::vector<Result>{Result::Refused, Result::Refused}))
            << nested.what;
        EXPECT_EQ(disturbed.state(), alone.state()) << nested.what;
    }
}

TEST(OneHandlerAtATime, AGreetingCannotBeInterruptedByABet) {
    Game game;
    game.next_spin({});
    game.port.while_next_box_is_open([&] { game.click(Control::cmdred); });
    game.click(Control::cmdexit);
    EXPECT_EQ(game.port.take_transcript(),
              (Lines{"cue sound\\door.wav", "message " + rules::greeting(), "focus cmdnum"}));
}

TEST(OneHandlerAtATime, ACloseWhileABoxIsOpenStillEndsTheGame) {
    Game game;
    game.entered();
    game.next_spin({});
    game.port.while_next_box_is_open(
        [&] { EXPECT_EQ(game.deliver(Event::unload()).result, Result::Ended); });
    game.type({"1"});
    EXPECT_EQ(game.deliver(Event::click(Control::cmdred, {})).result, Result::Ended);
    EXPECT_TRUE(game.port.quit_called());
    EXPECT_EQ(game.port.take_transcript().back(), "quit");
    game.menu(MenuItem::help);
    EXPECT_TRUE(game.port.take_transcript().empty());
}

}  // namespace
}  // namespace casino::testing
