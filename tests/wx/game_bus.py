"""The real program as a screen reader meets it: read from the accessibility bus, played with
real input.

The bus does not depend on the display, so the same reading serves X11 and Wayland; only the
input differs. On X11 the accessibility layer sends it itself (through XTest). On Wayland a
client may not make input for another, so it comes from the VNC server wayvnc, whose virtual
keyboard and pointer the compositor keeps as its seat's devices, as it keeps a desktop's own:
a keyboard with a whole keymap, there before the game starts. (Not wtype: each run of it
brings a keyboard whose keymap holds only the keys it types, and GTK 3 on Wayland looks a
shortcut's or a binding's key up in the keymap's codes short of the highest; so the last
key of such a keymap reaches a window, but never as F3's menu item or Enter's click.)

Open the bus with open_bus(display) before anything else here is used.
"""

import ctypes
import json
import os
import re
import socket
import struct
import subprocess
import sys
import tempfile
import time

import gi
from gi.repository import Gio, GLib

Atspi = None  # the accessibility library, once open_bus() has pointed it at our bus

# Key symbols.
ENTER, ESCAPE, TAB, DOWN = 0xFF0D, 0xFF1B, 0xFF09, 0xFF54
F1, F2, F3, F5, F10 = 0xFFBE, 0xFFBF, 0xFFC0, 0xFFC2, 0xFFC7
FRAME_NAME = "казино \"Пельтораг\""


class Failed(Exception):
    pass


checks = 0


class Replay:
    """What the game decides for the same input: the replay tool, given the script the test
    has played so far. The real program must show what it prints."""

    def __init__(self, tool):
        self.tool = tool
        self.script = []
        self.said = 0  # how many of the transcript's boxes the test has met

    def play(self, *lines):
        self.script.extend(lines)

    def _run(self, extra=()):
        done = subprocess.run([self.tool], input="\n".join(self.script + list(extra)) + "\n",
                              capture_output=True, text=True, check=True)
        return done.stdout.splitlines()

    def _boxes(self):
        """The boxes in order, each as (text, whether it asks for a text, the cue played
        right before it or None)."""
        boxes, cue = [], None
        for line in self._run():
            kind, _, text = line.partition(" ")
            if kind == "cue":
                cue = text.replace("\\", "/")
            elif kind in ("message", "ask"):
                boxes.append((text, kind == "ask", cue))
                cue = None
            else:
                cue = None
        return boxes

    def next_box(self):
        """The next box the game opens: its text, whether it asks, and the cue before it."""
        boxes = self._boxes()
        if self.said >= len(boxes):
            raise Failed(f"the replay opens no box after {self.script}")
        self.said += 1
        return boxes[self.said - 1]

    def boxes_left(self):
        return len(self._boxes()) - self.said

    def entries(self, list_name):
        """A list's entries as the game holds them now."""
        line = next(line for line in self._run(["show"]) if line.startswith(list_name + " "))
        return re.findall(r"\[([^]]*)\]", line)


# A program started with this environment reads a clock that stands still at noon, UTC, so
# its draws are the replay tool's after "clock 43200".
NOON = 43200
STOPPED_CLOCK = {
    "TZ": "UTC",
    "FAKETIME": "2026-12-07 12:00:00",
    "FAKETIME_DONT_FAKE_MONOTONIC": "1",
    "LD_PRELOAD": "/usr/lib/x86_64-linux-gnu/faketime/libfaketime.so.1",
}


def expect(what, actual, expected):
    global checks
    checks += 1
    if actual != expected:
        raise Failed(f"{what}: heard {actual!r}, expected {expected!r}")


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
    sys.exit("cannot open the X display")


def accessibility_bus():
    """The address of the accessibility bus that this session bus starts for us."""
    session = Gio.bus_get_sync(Gio.BusType.SESSION)
    reply = session.call_sync("org.a11y.Bus", "/org/a11y/bus", "org.a11y.Bus", "GetAddress",
                              None, GLib.VariantType("(s)"), Gio.DBusCallFlags.NONE, 10000)
    return reply.unpack()[0]


def open_bus(display):
    """Points the accessibility library at this session's bus, never at one a desktop left
    behind. display is "x11" or "wayland"."""
    global Atspi
    if display == "x11":
        hold_display()
    os.environ["AT_SPI_BUS_ADDRESS"] = accessibility_bus()
    gi.require_version("Atspi", "2.0")
    from gi.repository import Atspi as library
    Atspi = library


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


def showing(node):
    return has(node, Atspi.StateType.SHOWING)


class Game:
    def __init__(self, app, pid):
        self.app = app
        self.pid = pid

    def fresh(self):
        self.app.clear_cache()
        return self.app

    def frame(self):
        return next(n for n in children(self.fresh()) if n.get_role() == Atspi.Role.FRAME)

    def buttons_showing(self):
        return sorted(n.get_name() for n in descendants(self.frame())
                      if n.get_role() == Atspi.Role.PUSH_BUTTON
                      and has(n, Atspi.StateType.SHOWING))

    def focused_button(self):
        """The caption of the button that holds the keyboard, or None."""
        return next((n.get_name() for n in descendants(self.frame())
                     if n.get_role() == Atspi.Role.PUSH_BUTTON
                     and has(n, Atspi.StateType.FOCUSED)), None)

    def box(self):
        """The open message or input box, or None. The input box is a window of wx's own,
        which the bus calls a frame."""
        windows = list(children(self.fresh()))
        game = next(i for i, w in enumerate(windows) if w.get_role() == Atspi.Role.FRAME)
        return next((box for box in windows[game + 1:]
                     if box.get_role() in (Atspi.Role.ALERT, Atspi.Role.DIALOG, Atspi.Role.FRAME)
                     and showing(box)), None)

    def message(self):
        """The text of the open box, or None: what its labels say. On Wayland GTK draws the
        box's title bar itself, and the title ("казино") is one more label there."""
        box = self.box()
        if box is None:
            return None
        return " ".join(n.get_name() for n in descendants(box)
                        if n.get_role() == Atspi.Role.LABEL and n.get_name()
                        and n.get_name() != box.get_name())

    def asks(self):
        """Whether the open box asks for a text: it has a field to type into."""
        box = self.box()
        return box is not None and any(n.get_role() == Atspi.Role.TEXT
                                       for n in descendants(box))

    def menu_items(self):
        """The captions of every menu item, in the menus' order."""
        return [n.get_name() for n in descendants(self.frame())
                if n.get_role() == Atspi.Role.MENU_ITEM]

    def menu_item_selected(self):
        """The caption of the highlighted item of an open menu, or None."""
        return next((n.get_name() for n in descendants(self.frame())
                     if n.get_role() == Atspi.Role.MENU_ITEM
                     and has(n, Atspi.StateType.SHOWING)
                     and (has(n, Atspi.StateType.SELECTED) or has(n, Atspi.StateType.FOCUSED))),
                    None)

    def list(self, name):
        for node in descendants(self.frame()):
            if node.get_name() == name and node.get_role() in (Atspi.Role.TABLE, Atspi.Role.LIST,
                                                                 Atspi.Role.LIST_BOX):
                return node
        raise Failed(f"the bus has no list named {name!r}")

    def entries(self, name):
        table = self.list(name)
        return [table.get_accessible_at(row, 0).get_name() for row in range(table.get_n_rows())]

    def highlight(self, name):
        """The highlighted entry of an open list, as a screen reader speaks it: selected, and
        the focus inside the focused list. None while that does not hold."""
        table = self.list(name)
        if not (has(table, Atspi.StateType.SHOWING) and has(table, Atspi.StateType.FOCUSED)):
            return None
        if table.get_n_selected_children() != 1:
            return None
        entry = table.get_selected_child(0)
        return entry.get_name() if has(entry, Atspi.StateType.FOCUSED) else None

    def button(self, caption):
        return wait_for(f"a button {caption!r} showing", lambda: next(
            (n for n in descendants(self.frame()) if n.get_role() == Atspi.Role.PUSH_BUTTON
             and n.get_name() == caption and has(n, Atspi.StateType.SHOWING)), None))


# ---- Real input ----

class XInput:
    """Keys and clicks through the accessibility layer, which sends them with XTest."""

    def press(self, key):
        Atspi.generate_keyboard_event(key, None, Atspi.KeySynthType.SYM)

    def type(self, text):
        Atspi.generate_keyboard_event(0, text, Atspi.KeySynthType.STRING)

    def click(self, game, node):
        box = node.get_extents(Atspi.CoordType.SCREEN)
        Atspi.generate_mouse_event(box.x + box.width // 2, box.y + box.height // 2, "b1c")


def sway_windows():
    """Every window the compositor shows: sway's tree, flattened."""
    tree = json.loads(subprocess.run(["swaymsg", "-t", "get_tree", "-r"], check=True,
                                     capture_output=True, text=True).stdout)
    found, todo = [], [tree]
    while todo:
        node = todo.pop()
        if node.get("pid"):
            found.append(node)
        todo += node.get("nodes", []) + node.get("floating_nodes", [])
    return found


class WaylandInput:
    """Keys and clicks through wayvnc's virtual keyboard and pointer, spoken to in the VNC
    protocol (RFB 3.8, no authentication) over its unix socket. A Wayland client does not
    learn where its window lies, so a click's place is the window's, from the compositor,
    plus the control's within it, from the bus."""

    def __init__(self, vnc_socket):
        self.vnc = socket.socket(socket.AF_UNIX)
        self.vnc.connect(vnc_socket)
        version = self.receive(12)
        if not version.startswith(b"RFB "):
            raise Failed(f"{vnc_socket} is no VNC server: {version!r}")
        self.vnc.sendall(b"RFB 003.008\n")
        kinds = self.receive(self.receive(1)[0])
        if 1 not in kinds:
            raise Failed(f"the VNC server wants authentication: {list(kinds)}")
        self.vnc.sendall(bytes([1]))
        if struct.unpack(">I", self.receive(4))[0] != 0:
            raise Failed("the VNC server refused us")
        self.vnc.sendall(bytes([1]))  # shared
        self.receive(20)  # size and pixel format
        self.receive(struct.unpack(">I", self.receive(4))[0])  # the desktop's name

    def receive(self, count):
        data = b""
        while len(data) < count:
            chunk = self.vnc.recv(count - len(data))
            if not chunk:
                raise Failed("the VNC server hung up")
            data += chunk
        return data

    def key(self, down, key):
        self.vnc.sendall(struct.pack(">BBxxI", 4, down, key))

    def press(self, key):
        self.key(1, key)
        self.key(0, key)

    def type(self, text):
        for char in text:  # Latin-1 characters are their own key symbols
            self.press(ord(char))

    def pointer(self, buttons, x, y):
        self.vnc.sendall(struct.pack(">BBHH", 5, buttons, x, y))

    def click(self, game, node):
        top = node  # the window that holds the control, a child of the application
        while (up := top.get_parent()) is not None and up.get_role() != Atspi.Role.APPLICATION:
            top = top.get_parent()
        window = next((w for w in sway_windows()
                       if w["pid"] == game.pid and w["name"] == top.get_name()), None)
        if window is None:
            raise Failed(f"the compositor shows no window {top.get_name()!r} of the game")
        box = node.get_extents(Atspi.CoordType.WINDOW)
        x = window["rect"]["x"] + window["window_rect"]["x"] + box.x + box.width // 2
        y = window["rect"]["y"] + window["window_rect"]["y"] + box.y + box.height // 2
        self.pointer(0, x, y)
        time.sleep(0.05)
        self.pointer(1, x, y)
        time.sleep(0.05)
        self.pointer(0, x, y)


def input_for(display, vnc_socket=None):
    return XInput() if display == "x11" else WaylandInput(vnc_socket)


# ---- The game's run ----

def report(name, failure):
    """The closing line of a test, and its exit status."""
    if failure:
        print(f"{name}: FAILED: {failure}")
        return 1
    print(f"{name}: {checks} checks passed")
    return 0


def run_game(casino, play, env=None):
    """Starts the real program from its own folder (which holds sound/) with its
    accessibility bridge on, finds it on the bus, and calls play(game, process). Returns
    what failed (None when nothing did) and the exit code; the game is ended if play()
    left it running, and anything it wrote on stderr is a failure."""
    environment = {k: v for k, v in (env or os.environ).items() if k != "NO_AT_BRIDGE"}
    failure = None
    with tempfile.TemporaryFile() as stderr:
        process = subprocess.Popen([casino], cwd=os.path.dirname(casino), env=environment,
                                   stderr=stderr)
        try:
            desktop = Atspi.get_desktop(0)

            def started():
                desktop.clear_cache()  # the desktop's children as the registry has them now
                if process.poll() is not None:
                    raise Failed(f"the game ended at once with status {process.returncode}")
                return next((a for a in children(desktop) if a.get_process_id() == process.pid),
                            None)

            app = wait_for("the game on the accessibility bus", started, timeout=20)
            play(Game(app, process.pid), process)
        except (Failed, GLib.Error) as error:
            failure = str(error)
        finally:
            if process.poll() is None:
                process.terminate()
            process.wait(timeout=10)
        stderr.seek(0)
        noise = stderr.read().decode(errors="replace")
    if noise:
        failure = f"{failure or 'the game wrote on stderr'}\n{noise}"
    return failure, process.returncode
