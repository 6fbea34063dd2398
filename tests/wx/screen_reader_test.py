"""What a screen reader hears from the game.

The real program runs with its accessibility bridge on. The test plays through the street,
the casino floor and the pawnshop with real mouse clicks and key presses, and reads all it
checks from the accessibility bus alone: the window's name, the buttons showing on each
screen, the message boxes, both lists' entries and their highlighted entry.

Usage, inside a private session bus of its own:
    dbus-run-session -- /usr/bin/python3 screen_reader_test.py <casino>
"""

import ctypes
import os
import re
import subprocess
import sys
import tempfile
import time

import gi
from gi.repository import Gio, GLib


def hold_display():
    """Connects to the X display for the whole test. A virtual X server resets itself when
    its last client leaves, and drops newcomers while it does; the accessibility bus's
    launcher comes and goes just as the game starts."""
    xlib = ctypes.CDLL("libX11.so.6")
    xlib.XOpenDisplay.restype = ctypes.c_void_p
    for _ in range(50):
        if xlib.XOpenDisplay(None):
            return
        time.sleep(0.1)
    sys.exit("screen reader test: FAILED: cannot open the display")


def accessibility_bus():
    """The address of the accessibility bus that this session bus starts for us."""
    session = Gio.bus_get_sync(Gio.BusType.SESSION)
    reply = session.call_sync("org.a11y.Bus", "/org/a11y/bus", "org.a11y.Bus", "GetAddress",
                              None, GLib.VariantType("(s)"), Gio.DBusCallFlags.NONE, 10000)
    return reply.unpack()[0]


hold_display()
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


def ask(probe):
    """What probe() reads from the bus. The window changes while it is read: an object
    that went away in between reads as the error."""
    try:
        return probe()
    except GLib.Error as error:
        return f"error: {error.message}"


def wait_for(what, probe, timeout=8.0):
    """Polls probe() until it gives something true, and returns that."""
    until = time.monotonic() + timeout
    while not (value := ask(probe)) or str(value).startswith("error: "):
        if time.monotonic() > until:
            raise Failed(f"gave up waiting for {what} (last heard {value!r})")
        time.sleep(0.05)
    return value


def hear(what, probe, expected, timeout=8.0):
    """Polls probe() until it gives the expected value, and checks what it gave last."""
    until = time.monotonic() + timeout
    while (heard := ask(probe)) != expected and time.monotonic() < until:
        time.sleep(0.05)
    expect(what, heard, expected)


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
    hear("the wardrobe after pawning", lambda: has(game.list(WARDROBE), State.SHOWING), False)
    return int(price.group(1))


def play(game):
    hear("window", lambda: game.frame().get_name(), "казино \"Пельтораг\"")
    print("window: frame казино \"Пельтораг\"")
    for name in (WARDROBE, PAWNED):
        hear(f"{name} showing on the street", lambda: has(game.list(name), State.SHOWING), False)
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
    hear("the pawned list after redeeming", lambda: has(game.list(PAWNED), State.SHOWING), False)
    hear("wardrobe after redeeming", lambda: game.entries(WARDROBE), ["брюки ", "пиджак "])
    hear("tickets after redeeming", lambda: game.entries(PAWNED), tickets[1:])
    print(f"pawnshop lists after play: {game.entries(WARDROBE)} and {game.entries(PAWNED)}")


def main():
    casino = os.path.abspath(sys.argv[1])
    env = {k: v for k, v in os.environ.items() if k != "NO_AT_BRIDGE"}
    failure = None
    with tempfile.TemporaryFile() as stderr:
        process = subprocess.Popen([casino], cwd=os.path.dirname(casino), env=env,
                                   stderr=stderr)
        try:
            desktop = Atspi.get_desktop(0)

            def started():
                desktop.clear_cache()  # the desktop's children as the registry has them now
                if process.poll() is not None:
                    raise Failed(f"the game ended at once with status {process.returncode}")
                return next((a for a in children(desktop) if a.get_process_id() == process.pid),
                            None)

            play(Game(wait_for("the game on the accessibility bus", started, timeout=20)))
        except (Failed, GLib.Error) as error:
            failure = str(error)
        finally:
            process.terminate()
            process.wait(timeout=10)
        stderr.seek(0)
        noise = stderr.read().decode(errors="replace")
    if noise:
        failure = f"{failure or 'the game wrote on stderr'}\n{noise}"
    if failure:
        print(f"screen reader test: FAILED: {failure}")
        return 1
    print(f"screen reader test: {checks} checks passed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
