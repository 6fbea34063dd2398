"""What a screen reader hears from the game.

The real program runs with its accessibility bridge on. The test plays through the street,
the casino floor and the pawnshop with real mouse clicks and key presses, and reads all it
checks from the accessibility bus alone: the window's name, the buttons showing on each
screen, the message boxes, both lists' entries and their highlighted entry. What the boxes
and the lists must say comes from the replay tool, given the same moves.

Usage, inside a private session bus of its own:
    dbus-run-session -- /usr/bin/python3 screen_reader_test.py [--display x11|wayland]
        [--vnc SOCKET] <replay> <casino>
On Wayland (GDK_BACKEND=wayland, under sway) the input comes from the wayvnc server
listening on SOCKET.
"""

import argparse
import os
import sys

import game_bus
from game_bus import DOWN, ENTER, Failed, expect, hear, showing, wait_for

WARDROBE, PAWNED = "твои вещи", "заложенные вещи"
keys = None  # the input of the display the game runs on
game = None  # what the game decides: game_bus.Replay


def click(game, caption):
    keys.click(game, game.button(caption))


def press(key):
    keys.press(key)


def read_message(window):
    """Waits for a message box, checks it says what the game decided, and closes it with
    Enter."""
    text = wait_for("a message box", window.message)
    expect("message box", text, game.next_box()[0])
    press(ENTER)
    wait_for("the message box to close", lambda: window.message() is None)


def screen(game, name, buttons):
    hear(f"buttons showing on the {name}", game.buttons_showing, sorted(buttons))
    print(f"{name}: push buttons {', '.join(buttons)}")


def lists(window, after):
    """Both lists read from the bus hold what the game holds."""
    for name, control in ((WARDROBE, "List1"), (PAWNED, "List2")):
        hear(f"{name} {after}", lambda: window.entries(name), game.entries(control))


def pawn(window, position):
    """Opens the wardrobe, walks down to the entry at that position with the arrow key and
    pawns it with Enter."""
    wardrobe = wait_for("the wardrobe", lambda: window.entries(WARDROBE))
    click(window, "заложить")
    game.play("click cmdpay")
    hear("highlighted entry on opening", lambda: window.highlight(WARDROBE), wardrobe[0])
    for _ in range(position):
        press(DOWN)
    game.play(f"highlight List1 {position}")
    hear("highlighted entry", lambda: window.highlight(WARDROBE), wardrobe[position])
    press(ENTER)
    game.play("key List1 13")
    read_message(window)
    hear("the wardrobe after pawning", lambda: showing(window.list(WARDROBE)), False)
    lists(window, "after pawning")


def play(window):
    hear("window", lambda: window.frame().get_name(), game_bus.FRAME_NAME)
    print("window: frame казино \"Пельтораг\"")
    for name in (WARDROBE, PAWNED):
        hear(f"{name} showing on the street", lambda: showing(window.list(name)), False)
        table = window.list(name)
        print(f"list: {table.get_role_name()} {name}, {table.get_description()}")
    screen(window, "street", ["вход"])
    lists(window, "on the street")

    click(window, "вход")
    game.play("click cmdexit")
    read_message(window)
    screen(window, "casino floor",
           ["красное", "черное", "нечет", "чет", "дюжина", "число", "ломбард"])
    click(window, "ломбард")
    game.play("click cmdlom")
    screen(window, "pawnshop", ["заложить", "уйти", "выкупить"])

    for position in (1, 0, 1):
        pawn(window, position)

    click(window, "выкупить")
    game.play("click cmdre")
    tickets = game.entries("List2")
    hear("highlighted ticket", lambda: window.highlight(PAWNED), tickets[0])
    press(ENTER)
    game.play("key List2 13")
    read_message(window)
    hear("the pawned list after redeeming", lambda: showing(window.list(PAWNED)), False)
    lists(window, "after redeeming")
    print(f"pawnshop lists after play: {window.entries(WARDROBE)} and {window.entries(PAWNED)}")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--display", choices=["x11", "wayland"], default="x11")
    parser.add_argument("--vnc", help="wayvnc's unix socket, for the input on Wayland")
    parser.add_argument("replay", help="the replay tool, which says what the game decides")
    parser.add_argument("casino")
    args = parser.parse_args()
    global keys, game
    game = game_bus.Replay(os.path.abspath(args.replay))
    game.play(f"clock {game_bus.NOON}")
    game_bus.open_bus(args.display)
    keys = game_bus.input_for(args.display, args.vnc)
    failure, _ = game_bus.run_game(os.path.abspath(args.casino), lambda window, _: play(window),
                                   env={**os.environ, **game_bus.STOPPED_CLOCK})
    return game_bus.report(f"screen reader test ({args.display})", failure)


if __name__ == "__main__":
    sys.exit(main())
