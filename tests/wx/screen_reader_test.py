"""What a screen reader hears from the game.

The real program runs with its accessibility bridge on. The test plays through the street,
the casino floor and the pawnshop with real mouse clicks and key presses, and reads all it
checks from the accessibility bus alone: the window's name, the buttons showing on each
screen, the message boxes, both lists' entries and their highlighted entry.

Usage, inside a private session bus of its own:
    dbus-run-session -- /usr/bin/python3 screen_reader_test.py [--display x11|wayland]
        [--vnc SOCKET] <casino>
On Wayland (GDK_BACKEND=wayland, under sway) the input comes from the wayvnc server
listening on SOCKET.
"""

import argparse
import os
import re
import sys

import game_bus
from game_bus import DOWN, ENTER, Failed, expect, hear, showing, wait_for

WARDROBE, PAWNED = "твои вещи", "заложенные вещи"
keys = None  # the input of the display the game runs on


def click(game, caption):
    keys.click(game, game.button(caption))


def press(key):
    keys.press(key)


def read_message(game):
    """Waits for a message box, reads it, and closes it with Enter."""
    text = wait_for("a message box", game.message)
    press(ENTER)
    wait_for("the message box to close", lambda: game.message() is None)
    return text


def screen(game, name, buttons):
    hear(f"buttons showing on the {name}", game.buttons_showing, sorted(buttons))
    print(f"{name}: push buttons {', '.join(buttons)}")


def pawn(game, item):
    """Opens the wardrobe, walks down to the item with the arrow key and pawns it with
    Enter; returns the price the game paid."""
    wardrobe = wait_for("the wardrobe", lambda: game.entries(WARDROBE))
    if item not in wardrobe:
        raise Failed(f"no {item!r} in the wardrobe {wardrobe!r}")
    click(game, "заложить")
    hear("highlighted entry on opening", lambda: game.highlight(WARDROBE), wardrobe[0])
    for _ in range(wardrobe.index(item)):
        press(DOWN)
    hear("highlighted entry", lambda: game.highlight(WARDROBE), item)
    press(ENTER)
    said = read_message(game)
    price = re.fullmatch(f"ты заложил {item.strip()} за (\\d+) баксов\\.", said)
    if price is None:
        raise Failed(f"pawning {item!r}: heard {said!r}")
    hear("the wardrobe after pawning", lambda: showing(game.list(WARDROBE)), False)
    return int(price.group(1))


def play(game):
    hear("window", lambda: game.frame().get_name(), game_bus.FRAME_NAME)
    print("window: frame казино \"Пельтораг\"")
    for name in (WARDROBE, PAWNED):
        hear(f"{name} showing on the street", lambda: showing(game.list(name)), False)
        table = game.list(name)
        print(f"list: {table.get_role_name()} {name}, {table.get_description()}")
    screen(game, "street", ["вход"])
    hear("wardrobe", lambda: game.entries(WARDROBE), ["часы ", "пиджак ", "брюки ", "ботинки "])
    hear("tickets", lambda: game.entries(PAWNED), [])

    click(game, "вход")
    expect("message on entering", read_message(game), "у тебя 60 баксов.")
    screen(game, "casino floor",
           ["красное", "черное", "нечет", "чет", "дюжина", "число", "ломбард"])
    click(game, "ломбард")
    screen(game, "pawnshop", ["заложить", "уйти", "выкупить"])

    jacket = pawn(game, "пиджак ")
    hear("wardrobe after pawning", lambda: game.entries(WARDROBE), ["часы ", "брюки ", "ботинки "])
    hear("tickets after pawning", lambda: game.entries(PAWNED), [f"пиджак {jacket + 200}"])
    watch = pawn(game, "часы ")
    shoes = pawn(game, "ботинки ")
    tickets = [f"пиджак {jacket + 200}", f"часы {watch + 200}", f"ботинки {shoes + 200}"]
    hear("tickets", lambda: game.entries(PAWNED), tickets)

    # Three pawned items always pay for buying the first one back.
    click(game, "выкупить")
    hear("highlighted ticket", lambda: game.highlight(PAWNED), tickets[0])
    press(ENTER)
    expect("message on redeeming", read_message(game), "заходи еще.")
    hear("the pawned list after redeeming", lambda: showing(game.list(PAWNED)), False)
    hear("wardrobe after redeeming", lambda: game.entries(WARDROBE), ["брюки ", "пиджак "])
    hear("tickets after redeeming", lambda: game.entries(PAWNED), tickets[1:])
    print(f"pawnshop lists after play: {game.entries(WARDROBE)} and {game.entries(PAWNED)}")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--display", choices=["x11", "wayland"], default="x11")
    parser.add_argument("--vnc", help="wayvnc's unix socket, for the input on Wayland")
    parser.add_argument("casino")
    args = parser.parse_args()
    global keys
    game_bus.open_bus(args.display)
    keys = game_bus.input_for(args.display, args.vnc)
    failure, _ = game_bus.run_game(os.path.abspath(args.casino), lambda game, _: play(game))
    if failure:
        print(f"screen reader test ({args.display}): FAILED: {failure}")
        return 1
    print(f"screen reader test ({args.display}): {game_bus.checks} checks passed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
