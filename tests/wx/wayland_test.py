"""The game on Wayland, played by keyboard.

The real program runs natively on a Wayland compositor (sway), with no X server. The test
checks that the compositor knows the window by the desktop entry's id, then plays by
keyboard alone: the menu's shortcuts (F1, F2, F3, F5), Enter on "вход" (the door cue is
heard and the greeting shown), Tab to "красное" and a whole bet on it, and "выход" from the
menu bar, opened with F10, which must end the program with exit code 0. It reads the
boxes from the accessibility bus, and hears the cues through ALSA's file device, which
writes what is played into a file.

Usage, inside a private session bus of its own, under sway with wayvnc listening:
    dbus-run-session -- /usr/bin/python3 wayland_test.py --vnc SOCKET --app-id ID
        --played FILE [--screenshot PNG] <replay> <casino>
FILE is where HOME's .asoundrc sends what is played. The program's clock stands still at noon,
so the replay tool given the same moves says what every box must say.
"""

import argparse
import os
import subprocess
import sys
import time

import game_bus
from game_bus import DOWN, ENTER, ESCAPE, F1, F2, F3, F5, F10, TAB, Failed, expect, hear, wait_for

keys = None
replay = None  # what the game decides: game_bus.Replay


def pcm(wav):
    """What a cue puts out: its wav less the 44-byte header."""
    with open(wav, "rb") as f:
        return f.read()[44:]


def hear_cue(played, cue):
    """Waits until the cue has been played, sample for sample: the file device starts its
    file afresh for every cue."""
    want = pcm(cue)

    def heard():
        with open(played, "rb") as f:
            return f.read() == want

    wait_for(f"{os.path.basename(cue)} to be played", lambda: os.path.exists(played) and heard())


def next_box(game):
    """Waits for a box and returns what it says and whether it asks for a text."""
    text = wait_for("a box", game.message)
    return text, game.asks()


def close_box(game, key=ENTER, answer=""):
    """Types the answer into the open box, closes it with the key, and waits until it has
    gone: the next box may open at once."""
    box = wait_for("a box", game.box)
    keys.type(answer)
    keys.press(key)
    wait_for("the box to close", lambda: game_bus.ask(lambda: not game_bus.showing(box)) is True)


def boxes_of(game, played, sound, answer="1"):
    """Reads every box the last move opens, in order, against what the game decided: each
    one's text, whether it asks (answered with `answer`), and the cue heard before it."""
    said = []
    while replay.boxes_left():
        want, asks, cue = replay.next_box()
        if cue:
            hear_cue(played, os.path.join(sound, os.path.basename(cue)))
        text, window_asks = next_box(game)
        expect("a box", (text, window_asks), (want, asks))
        close_box(game, answer=answer if asks else "")
        said.append(text)
    return said


def balance(game):
    """The balance as F3 shows it; the box is closed with Escape."""
    keys.press(F3)
    replay.play("menu деньги")
    text, _, _ = replay.next_box()
    expect("F3", wait_for("the balance", game.message), text)
    close_box(game, ESCAPE)
    return text


def game_window(game):
    return wait_for("the game's window in the compositor", lambda: next(
        (w for w in game_bus.sway_windows()
         if w["pid"] == game.pid and w["name"] == game_bus.FRAME_NAME), None))


def screenshot(game, picture):
    """The window with the compositor's frame, from the whole output."""
    w = game_window(game)
    top = w["rect"]["y"] - w["deco_rect"]["height"]
    height = w["rect"]["height"] + w["deco_rect"]["height"]
    subprocess.run(["grim", "-g", f"{w['rect']['x']},{top} {w['rect']['width']}x{height}",
                    picture], check=True)
    print(f"screenshot: {picture}")


def play(game, process, args):
    window = game_window(game)
    print(f"compositor: app_id {window['app_id']!r}, name {window['name']!r}")
    expect("the window's app id", window["app_id"], args.app_id)
    hear("the keyboard on the street", game.focused_button, "вход")

    # The menu's shortcuts on the street.
    played, sound = args.played, os.path.join(os.path.dirname(args.casino), "sound")
    print(f"F3: {balance(game)} (closed with Escape)")
    keys.press(F1)
    replay.play("menu help")
    print(f"F1: {' | '.join(boxes_of(game, played, sound))}")
    captions = wait_for("the menu items", game.menu_items)
    keys.press(F5)
    wait_for("F5 to change a caption", lambda: game.menu_items() != captions)
    changed = [i for i, (a, b) in enumerate(zip(captions, game.menu_items())) if a != b]
    expect("the captions F5 changes", len(changed), 1)
    print(f"F5: {captions[changed[0]]} -> {game.menu_items()[changed[0]]}")
    keys.press(F5)
    hear("the menu after F5 twice", game.menu_items, captions)

    keys.press(ENTER)
    replay.play("click cmdexit")
    print(f"Enter on вход: {' | '.join(boxes_of(game, played, sound))}, door.wav heard")

    hear("the keyboard on the casino floor", game.focused_button, "число")
    if args.screenshot:
        screenshot(game, args.screenshot)
    keys.press(TAB)
    hear("the keyboard on the bet", game.focused_button, "красное")
    keys.press(ENTER)
    replay.play("type 1", "click cmdred")
    print(f"a bet on красное by keyboard: {' | '.join(boxes_of(game, played, sound))}")

    print(f"F3: {balance(game)}")
    keys.press(F2)
    replay.play("menu new")
    print(f"F2, F3: {balance(game)}")

    keys.press(F10)
    for _ in range(8):
        if game.menu_item_selected() == "выход alt+f4":
            break
        keys.press(DOWN)
        time.sleep(0.1)
    expect("the menu item reached by keyboard", game.menu_item_selected(), "выход alt+f4")
    keys.press(ENTER)
    try:
        process.wait(timeout=5)
    except subprocess.TimeoutExpired:
        raise Failed("the game still runs 5 s after выход") from None
    expect("exit code after выход", process.returncode, 0)
    print("F10, выход: exit code 0")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--vnc", required=True, help="wayvnc's unix socket")
    parser.add_argument("--app-id", required=True, help="the desktop entry's id")
    parser.add_argument("--played", required=True, help="the file ALSA writes cues into")
    parser.add_argument("--screenshot", help="where to put a picture of the casino floor")
    parser.add_argument("replay", help="the replay tool, which says what the game decides")
    parser.add_argument("casino")
    args = parser.parse_args()
    args.casino = os.path.abspath(args.casino)
    global keys, replay
    replay = game_bus.Replay(os.path.abspath(args.replay))
    replay.play(f"clock {game_bus.NOON}")
    game_bus.open_bus("wayland")
    keys = game_bus.WaylandInput(args.vnc)
    failure, _ = game_bus.run_game(args.casino, lambda game, process: play(game, process, args),
                                   env={**os.environ, **game_bus.STOPPED_CLOCK})
    return game_bus.report("wayland test", failure)


if __name__ == "__main__":
    sys.exit(main())
