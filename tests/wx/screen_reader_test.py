"""What a screen reader hears from the game.

The real program runs with its accessibility bridge on. The test plays through the street,
the casino floor and the pawnshop with real mouse clicks and key presses, and reads all it
checks from the accessibility bus alone: the window's name, the buttons showing on each
screen, the message boxes, both lists' entries and their highlighted entry.

Usage, inside a private session bus of its own:
    dbus-run-session -- /usr/bin/python3 screen_reader_test.py <casino>
"""

import os
import re
import subprocess
import sys
import tempfile
import time

import gi
from gi.repository import Gio, GLib


def accessibility_bus():
    """The address of the accessibility bus that this session bus starts for us."""
    session = Gio.bus_get_sync(Gio.BusType.SESSION)
    reply = session.call_sync("org.a11y.Bus", "/org/a11y/bus", "org.a11y.Bus", "GetAddress",
                              None, GLib.VariantType("(s)"), Gio.DBusCallFlags.NONE, 10000)
    return reply.unpack()[0]


# The game and this test must meet on this session's bus, never on one a desktop left
# behind on the display.
os.environ["AT_SPI_BUS_ADDRESS"] = accessibility_bus()
gi.require_version("Atspi", "2.0")
from gi.repository import Atspi  # noqa: E402

Role = Atspi.Role
State = Atspi.StateType
ENTER, DOWN = 0xFF0D, 0xFF54  # key symbols
WARDROBE, PAWNED = "твои вещи", "заложенные вещи"


class Failed(Exception):
    pass


checks = 0


def expect(what, actual, expected):
    global checks
    checks += 1
    if actual != expected:
        raise Failed(f"{what}: heard {actual!r}, expected {expected!r}")


def wait_for(what, probe, timeout=8.0):
    """Polls probe() until it gives something true, and returns that."""
    until = time.monotonic() + timeout
    while True:
        value = probe()
        if value:
            return value
        if time.monotonic() > until:
            raise Failed(f"gave up waiting for {what}")
        time.sleep(0.05)


# ---- Reading the bus ----

def children(node):
    for i in range(node.get_child_count()):
        child = node.get_child_at_index(i)
        if child is not None:
            yield child


def descendants(node):
    for child in children(node):
        yield child
        yield from descendants(child)


def has(node, state):
    return node.get_state_set().contains(state)


class Game:
    def __init__(self, app):
        self.app = app

    def fresh(self):
        self.app.clear_cache()
        return self.app

    def frame(self):
        return next(n for n in children(self.fresh()) if n.get_role() == Role.FRAME)

    def buttons_showing(self):
        return sorted(n.get_name() for n in descendants(self.frame())
                      if n.get_role() == Role.PUSH_BUTTON and has(n, State.SHOWING))

    def message(self):
        """The text of the open message box, or None."""
        for box in children(self.fresh()):
            if box.get_role() in (Role.ALERT, Role.DIALOG) and has(box, State.SHOWING):
                return " ".join(n.get_name() for n in descendants(box)
                                if n.get_role() == Role.LABEL and n.get_name())
        return None

    def list(self, name):
        for node in descendants(self.frame()):
            if node.get_name() == name and node.get_role() in (Role.TABLE, Role.LIST,
                                                                 Role.LIST_BOX):
                return node
        raise Failed(f"the bus has no list named {name!r}")

    def entries(self, name):
        table = self.list(name)
        return [table.get_accessible_at(row, 0).get_name() for row in range(table.get_n_rows())]

    def highlight(self, name):
        """The highlighted entry of an open list, as a screen reader speaks it: selected, and
        the focus inside the focused list. None while that does not hold."""
        table = self.list(name)
        if not (has(table, State.SHOWING) and has(table, State.FOCUSED)):
            return None
        if table.get_n_selected_children() != 1:
            return None
        entry = table.get_selected_child(0)
        return entry.get_name() if has(entry, State.FOCUSED) else None


# ---- Real input ----

def click(game, caption):
    button = wait_for(f"a button {caption!r} showing", lambda: next(
        (n for n in descendants(game.frame()) if n.get_role() == Role.PUSH_BUTTON
         and n.get_name() == caption and has(n, State.SHOWING)), None))
    box = button.get_extents(Atspi.CoordType.SCREEN)
    Atspi.generate_mouse_event(box.x + box.width // 2, box.y + box.height // 2, "b1c")


def press(key):
    Atspi.generate_keyboard_event(key, None, Atspi.KeySynthType.SYM)


def read_message(game):
    """Waits for a message box, reads it, and closes it with Enter."""
    text = wait_for("a message box", game.message)
    press(ENTER)
    wait_for("the message box to close", lambda: game.message() is None)
    return text


def screen(game, name, buttons):
    heard = wait_for(f"the {name} buttons", lambda: (lambda b: b if b == sorted(buttons) else
                                                     None)(game.buttons_showing()))
    expect(f"buttons showing on the {name}", heard, sorted(buttons))
    print(f"{name}: push buttons {', '.join(buttons)}")


def pawn(game, downs, item):
    click(game, "заложить")
    wait_for("the wardrobe list open", lambda: game.highlight(WARDROBE))
    for _ in range(downs):
        press(DOWN)
    expect("highlighted entry", wait_for(f"{item!r} highlighted", lambda: (
        lambda h: h if h == item else None)(game.highlight(WARDROBE))), item)
    press(ENTER)
    said = read_message(game)
    price = re.fullmatch(f"ты заложил {item.strip()} за (\\d+) баксов\\.", said)
    if price is None:
        raise Failed(f"pawning {item!r}: heard {said!r}")
    return int(price.group(1))


def play(game):
    expect("window", game.frame().get_name(), "казино \"Пельтораг\"")
    print(f"window: frame {game.frame().get_name()}")
    for name in (WARDROBE, PAWNED):
        table = game.list(name)
        print(f"list: {table.get_role_name()} {name}, {table.get_description()}")
        expect(f"{name} showing on the street", has(table, State.SHOWING), False)
    screen(game, "street", ["вход"])
    expect("wardrobe", game.entries(WARDROBE), ["часы ", "пиджак ", "брюки ", "ботинки "])
    expect("tickets", game.entries(PAWNED), [])

    click(game, "вход")
    expect("message on entering", read_message(game), "у тебя 60 баксов.")
    screen(game, "casino floor",
           ["красное", "черное", "нечет", "чет", "дюжина", "число", "ломбард"])
    click(game, "ломбард")
    screen(game, "pawnshop", ["заложить", "уйти", "выкупить"])

    jacket = pawn(game, 1, "пиджак ")
    expect("wardrobe after pawning", game.entries(WARDROBE), ["часы ", "брюки ", "ботинки "])
    expect("tickets after pawning", game.entries(PAWNED), [f"пиджак {jacket + 200}"])
    expect("wardrobe closed", has(game.list(WARDROBE), State.SHOWING), False)
    watch = pawn(game, 0, "часы ")
    shoes = pawn(game, 1, "ботинки ")
    tickets = [f"пиджак {jacket + 200}", f"часы {watch + 200}", f"ботинки {shoes + 200}"]
    expect("tickets", game.entries(PAWNED), tickets)

    # Three pawned items always pay for buying the first one back.
    click(game, "выкупить")
    expect("highlighted ticket", wait_for("the pawned list open", lambda: game.highlight(PAWNED)),
           tickets[0])
    press(ENTER)
    expect("message on redeeming", read_message(game), "заходи еще.")
    expect("wardrobe after redeeming", game.entries(WARDROBE), ["брюки ", "пиджак "])
    expect("tickets after redeeming", game.entries(PAWNED), tickets[1:])
    print(f"pawnshop lists after play: {game.entries(WARDROBE)} and {game.entries(PAWNED)}")


def main():
    casino = os.path.abspath(sys.argv[1])
    env = {k: v for k, v in os.environ.items() if k != "NO_AT_BRIDGE"}
    with tempfile.TemporaryFile() as stderr:
        process = subprocess.Popen([casino], cwd=os.path.dirname(casino), env=env,
                                   stderr=stderr)
        try:
            desktop = Atspi.get_desktop(0)
            app = wait_for("the game on the accessibility bus", lambda: next(
                (a for a in children(desktop) if a.get_process_id() == process.pid),
                None), timeout=20)
            play(Game(app))
        except (Failed, GLib.Error) as failure:
            print(f"screen reader test: FAILED: {failure}")
            return 1
        finally:
            process.terminate()
            process.wait(timeout=10)
        stderr.seek(0)
        noise = stderr.read().decode(errors="replace")
    if noise:
        print(f"screen reader test: FAILED: the game wrote on stderr:\n{noise}")
        return 1
    print(f"screen reader test: {checks} checks passed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
