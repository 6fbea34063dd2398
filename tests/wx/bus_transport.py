# bus_transport: the monkey's transport for the real Linux program, which meets it as a screen
# reader does (tests/support/monkey.h tells the lines it reads and writes). It plays the walk
# and the screen reader's walk, and serves the random monkey.
#
# Every box, menu caption, control, list and the keyboard are read from the accessibility bus
# alone, and there the window must bear the game's caption, the menus their captions and every
# box its title. The input is real: on X11 x_monkey sends it through XTest, as it does for the
# Windows program; on Wayland a client may not make input for another, so it comes from
# wayvnc's virtual keyboard and pointer, which the compositor keeps as its seat's devices, as a
# desktop's own, with a whole keymap. A close is the window manager's (on Wayland the
# compositor's) close. What the bus cannot tell comes from the observer library preloaded into
# the game: the cues the sound system opened, in their place among the boxes; what an input box
# gave back; where each control lies, shown or not, so that a click can land where a hidden
# one would be; and when the game has handled the input, which a press of the Pause key (no key
# of the game's) tells as a mark.
#
# The ways of doing one thing take turns, from a start that SEED picks: a click, or Enter or
# space on the control that holds the keyboard; an F-key or the menu bar; a list's highlight
# moved by the arrows, or first by a double-click; a message closed by Escape, its close box,
# Enter or space; an answer typed (pasted when long) into the field and taken by Enter or OK.
#
# Findings: the game ended with a status other than 0, wrote on standard error, did not answer
# the bus within 2 s when idle, did not finish handling the input within 12 s (a handler with
# its cue; with --blocked-sound its sound device never takes a sound, and the game must still
# be idle within MS), used the processor while idle, a close did not end it within 2 s, a box
# did not appear, did not close or opened over another, or an input box gave back other than
# what was typed. (That the game ended where it should not shows as a "quit" the replay does
# not.)
#
#     dbus-run-session -- /usr/bin/python3 bus_transport.py (--x11 X_MONKEY | --wayland
#         VNC-SOCKET APP-ID) [--seed N] [--sound-device FILE] [--blocked-sound MS]
#         TABLES CASINO OBSERVER
#
# TABLES prints the core's tables; on Wayland the window must carry APP-ID as its app id. The
# game's sound device writes what it plays into FILE (by default nowhere).

import argparse
import json
import os
import random
import shutil
import socket
import struct
import subprocess
import sys
import tempfile
import time

import gi
from gi.repository import Gio, GLib

FAKETIME = "/usr/lib/x86_64-linux-gnu/faketime/libfaketime.so.1"
Atspi = None  # the accessibility library, once pointed at this session's bus


class Finding(Exception):
    pass


# Polls probe() until it gives something true, and returns that. The window changes while it is
# read: an object gone in between reads as nothing.
def wait_for(what, probe, timeout=8.0):
    until = time.monotonic() + timeout
    while True:
        try:
            if value := probe():
                return value
        except GLib.Error:
            pass
        if time.monotonic() > until:
            raise Finding(f"gave up waiting for {what}")
        time.sleep(0.02)


def children(node):
    return (c for i in range(node.get_child_count()) if (c := node.get_child_at_index(i)))


def descendants(node):
    for child in children(node):
        yield child
        yield from descendants(child)


def has(node, state):
    return node.get_state_set().contains(getattr(Atspi.StateType, state))


# Points the accessibility library at this session's bus, never at one a desktop left behind.
def open_bus():
    global Atspi
    bus = Gio.bus_get_sync(Gio.BusType.SESSION).call_sync(
        "org.a11y.Bus", "/org/a11y/bus", "org.a11y.Bus", "GetAddress", None,
        GLib.VariantType("(s)"), Gio.DBusCallFlags.NONE, 10000)
    os.environ["AT_SPI_BUS_ADDRESS"] = bus.unpack()[0]
    gi.require_version("Atspi", "2.0")
    from gi.repository import Atspi as library
    Atspi = library
    Atspi.set_timeout(2000, 15000)  # for a call to the game; its start may take longer


# The processor time a process has used, user and system, in milliseconds.
def cpu_ms(pid):
    with open(f"/proc/{pid}/stat") as stat:
        fields = stat.read().rpartition(")")[2].split()
    return (int(fields[11]) + int(fields[12])) * 1000 / os.sysconf("SC_CLK_TCK")


# Keys, clicks and the close box on X11, through x_monkey; keys by their X names. A virtual X
# server resets itself when its last client leaves; x_monkey holds the display for the whole run.
class XInput:

    def __init__(self, x_monkey, folder):
        self.server = subprocess.Popen([x_monkey, "serve"], cwd=folder, text=True,
                                       stdin=subprocess.PIPE, stdout=subprocess.DEVNULL)

    def send(self, *words):
        self.server.stdin.write(" ".join(["XINPUT 0", *map(str, words)]) + "\n")
        self.server.stdin.flush()

    # A point of the node on the screen: `at` from its top left corner, or its middle.
    def point(self, node, at=None):
        box = node.get_extents(Atspi.CoordType.SCREEN)
        x, y = at or (box.width // 2, box.height // 2)
        return box.x + x, box.y + y

    def move(self, node, at=None):
        self.send("move", *self.point(node, at))

    def click(self, node, at=None):
        self.send("click", *self.point(node, at))

    def press(self, key):
        self.send("key", key, 0, 0)

    def type(self, text):
        self.send("type", text)

    def paste(self, text):
        self.send("paste", text)

    def close(self, title):
        self.send("close", self.pid, title)

    def photograph(self, frame, picture):
        box = frame.get_extents(Atspi.CoordType.SCREEN)
        subprocess.run(["import", "-window", "root", "-crop",
                        f"{box.width}x{box.height}+{box.x}+{box.y}", picture], check=True)


def sway(*command):
    return subprocess.run(["swaymsg", *command], check=True, capture_output=True, text=True).stdout


def sway_window(pid, name):
    todo = [json.loads(sway("-t", "get_tree", "-r"))]
    while todo:
        if (node := todo.pop()).get("pid") == pid and node.get("name") == name:
            return node
        todo += node.get("nodes", []) + node.get("floating_nodes", [])
    return None


# Keys and clicks through wayvnc, in the VNC protocol (RFB 3.8, no authentication) over its unix
# socket; the close box through the compositor. A Wayland client does not learn where its window
# lies, so a point is the window's, from the compositor, plus the control's within it, from the
# bus.
class WaylandInput:
    KEYS = {"Return": 0xFF0D, "Escape": 0xFF1B, "space": 0x20, "Home": 0xFF50, "Down": 0xFF54,
            "Right": 0xFF53, "Pause": 0xFF13, "F10": 0xFFC7}

    def __init__(self, vnc_socket):
        self.vnc = socket.socket(socket.AF_UNIX)
        self.vnc.connect(vnc_socket)
        self.receive(12)  # the server's version
        self.vnc.sendall(b"RFB 003.008\n")
        if 1 not in self.receive(self.receive(1)[0]):
            raise Finding("the VNC server wants authentication")
        self.vnc.sendall(bytes([1]))
        if self.receive(4) != bytes(4):
            raise Finding("the VNC server refused us")
        self.vnc.sendall(bytes([1]))  # shared
        self.receive(20)  # size and pixel format
        self.receive(struct.unpack(">I", self.receive(4))[0])  # the desktop's name

    def receive(self, count):
        data = b""
        while len(data) < count:
            if not (chunk := self.vnc.recv(count - len(data))):
                raise Finding("the VNC server hung up")
            data += chunk
        return data

    # The game's window in the compositor by its name, which is its name on the bus too.
    def window(self, name):
        return wait_for("the window in the compositor", lambda: sway_window(self.pid, name))

    def point(self, node, at=None):
        top = node  # the window that holds the node, a child of the application on the bus
        while (up := top.get_parent()) is not None and up.get_role() != Atspi.Role.APPLICATION:
            top = up
        window = self.window(top.get_name())
        box = node.get_extents(Atspi.CoordType.WINDOW)
        x, y = at or (box.width // 2, box.height // 2)
        return (window["rect"]["x"] + window["window_rect"]["x"] + box.x + x,
                window["rect"]["y"] + window["window_rect"]["y"] + box.y + y)

    def pointer(self, node, at, *buttons):
        x, y = self.point(node, at)
        for button in buttons:
            self.vnc.sendall(struct.pack(">BBHH", 5, button, x, y))
            time.sleep(0.03)

    def move(self, node, at=None):
        self.pointer(node, at, 0)

    def click(self, node, at=None):
        self.pointer(node, at, 0, 1, 0)

    # A key by its X name: an F-key, one of KEYS, or a character, which (Latin-1) is its own
    # key symbol.
    def press(self, key):
        sym = 0xFFBD + int(key[1:]) if key[0] == "F" and key[1:].isdigit() else self.KEYS.get(key)
        for down in (1, 0):
            self.vnc.sendall(struct.pack(">BBxxI", 4, down, sym or ord(key)))

    def type(self, text):
        for char in text:
            self.press(char)

    paste = type  # a virtual keyboard has no clipboard; only the random monkey pastes

    def close(self, title):
        sway(f"[con_id={self.window(title)['id']}]", "kill")

    def photograph(self, frame, picture):
        w = self.window(frame.get_name())
        top, deco = w["rect"]["y"] - w["deco_rect"]["height"], w["deco_rect"]["height"]
        subprocess.run(["grim", "-g", f"{w['rect']['x']},{top} {w['rect']['width']}x"
                        f"{w['rect']['height'] + deco}", picture], check=True)


class Transport:
    def __init__(self, args):
        self.args = args
        self.tables = json.loads(subprocess.run([args.tables], check=True, capture_output=True,
                                                text=True).stdout)
        self.items = [item for menu in self.tables["menus"] for item in menu["items"]]
        self.folder = tempfile.mkdtemp(prefix="bus_transport.")
        self.input = WaylandInput(args.wayland[0]) if args.wayland else XInput(args.x11,
                                                                                self.folder)
        self.process, self.close_in, self.actions = None, None, 0
        seeds = random.Random(args.seed)
        self.turns = {way: seeds.randrange(12)
                      for way in ("press", "menu", "highlight", "close", "answer")}
        self.longest = args.blocked_sound / 1000 if args.blocked_sound else 12
        # A home of the game's own, whose sound device takes every cue at once: the sound system
        # then reads each cue's file, which the observer sees. A blocked device writes into a pipe
        # that nobody reads, so that opening it never ends.
        device = args.sound_device
        if args.blocked_sound:
            os.mkfifo(device := f"{self.folder}/blocked")
        os.mkdir(f"{self.folder}/home")
        with open(f"{self.folder}/home/.asoundrc", "w") as f:
            f.write(f'pcm.!default {{\n type file\n slave.pcm "null"\n file "{device}"\n'
                    ' format "raw"\n}\n')
        self.set_clock(43200)

    # The ways of doing one thing take their turns.
    def way(self, choice, ways):
        self.turns[choice] += 1
        return self.turns[choice] % ways

    # ---- The program ----

    def set_clock(self, seconds):
        with open(f"{self.folder}/clock.part", "w") as f:
            f.write(time.strftime("2026-12-07 %H:%M:%S\n", time.gmtime(seconds)))
        os.replace(f"{self.folder}/clock.part", f"{self.folder}/clock")

    def start(self):
        self.stop()
        log = f"{self.folder}/log"
        open(log, "w").close()
        self.log, self.pending, self.marks, self.box, self.places = open(log), "", 0, None, {}
        self.answers, self.typed = [], ""
        env = {k: v for k, v in os.environ.items() if k != "NO_AT_BRIDGE"}
        env.update(TZ="UTC", HOME=f"{self.folder}/home", CASINO_MONKEY_LOG=log,
                   FAKETIME_TIMESTAMP_FILE=f"{self.folder}/clock", FAKETIME_NO_CACHE="1",
                   FAKETIME_DONT_FAKE_MONOTONIC="1", LD_PRELOAD=f"{FAKETIME} {self.args.observer}")
        self.errors = tempfile.TemporaryFile()
        self.process = subprocess.Popen([self.args.casino], cwd=os.path.dirname(self.args.casino),
                                        env=env, stderr=self.errors)
        self.pid = self.input.pid = self.process.pid
        wait_for("the game's window", lambda: self.ended() or "watching" in self.read_log(), 20)
        if self.process.poll() is not None:
            raise Finding("the game ended as it started")
        desktop = Atspi.get_desktop(0)

        def on_bus():
            desktop.clear_cache()
            return next((a for a in children(desktop) if a.get_process_id() == self.pid), None)
        self.app = wait_for("the game on the accessibility bus", on_bus, timeout=20)
        self.frame = wait_for("the game's window on the bus", lambda: next(
            (n for n in children(self.app) if n.get_role() == Atspi.Role.FRAME), None))
        if self.frame.get_name() != self.tables["title"]:
            raise Finding(f"the bus calls the window {self.frame.get_name()!r}")
        # The controls by what a screen reader calls them: a button by its caption, a list by
        # its name; the menus and their items in the menu bar's order.
        inside = list(descendants(self.frame))
        called = {(n.get_role_name(), n.get_name()): n for n in inside}
        self.nodes = {c["name"]: called.get(("push button" if c["role"] == "button" else "table",
                                             c["caption"])) for c in self.tables["controls"]}
        if missing := [name for name, node in self.nodes.items() if node is None]:
            raise Finding(f"the bus has no {missing}")
        self.client = self.nodes["cmdexit"].get_parent()
        self.menu = [n for n in inside if n.get_role() == Atspi.Role.MENU_ITEM]
        self.captions = [n.get_name() for n in self.menu]
        menus = [n.get_name() for n in inside if n.get_role() == Atspi.Role.MENU]
        if menus + self.captions != [m["caption"] for m in self.tables["menus"]] + [
                item["label"].partition("\t")[0] for item in self.items]:
            raise Finding(f"the bus calls the menus and their items {menus + self.captions}")
        if self.args.wayland:
            app_id = self.input.window(self.tables["title"])["app_id"]
            if app_id != self.args.wayland[1]:
                raise Finding(f"the window's app id is {app_id!r}")
        # Where the pointer rests between clicks, away from every control: without a window
        # manager the keyboard follows it.
        box = self.frame.get_extents(Atspi.CoordType.WINDOW)
        self.rest_at = (box.width - 3, box.height - 3)
        self.rest()
        self.settle()
        self.check_health()

    def stop(self):
        if self.process and self.process.poll() is None:
            self.process.kill()
            self.process.wait()

    # Whether the game has ended; it must have ended cleanly, and it then has quit.
    def ended(self):
        if self.process.poll() is None:
            return False
        if self.process.returncode != 0:
            raise Finding(f"the game ended with status {self.process.returncode}")
        self.check_stderr()
        if "quit" not in self.out:
            self.out.append("quit")
        return True

    def check_stderr(self):
        self.errors.seek(0)
        if noise := self.errors.read().decode(errors="replace"):
            raise Finding(f"the game wrote on stderr: {noise.splitlines()[0]}")

    # Nothing on stderr; the game's main loop answers the bus within 2 s (as a window manager's
    # ping is answered); and every tenth time no processor time is spent while idle.
    def check_health(self):
        self.check_stderr()
        if self.process.poll() is not None:
            return
        try:
            self.frame.clear_cache()
            self.frame.get_name()
        except GLib.Error:
            raise Finding("the game did not answer the accessibility bus within 2 s")
        self.actions += 1
        if self.actions % 10 == 0:
            before = cpu_ms(self.pid)
            time.sleep(0.3)
            if (used := cpu_ms(self.pid) - before) > 150:
                raise Finding(f"the game used {used:.0f} ms of processor time in 300 ms idle")

    # As a window manager closes the window; the game must end within 2 s.
    def close(self):
        self.input.close(self.tables["title"])
        wait_for("the game to end within 2 s of the close", self.ended, timeout=2)

    # ---- What the game did ----

    # The observer's lines since the last call: cues are reported in their place, and boxes as
    # the bus shows them.
    def read_log(self):
        self.pending += self.log.read()
        lines, _, self.pending = self.pending.rpartition("\n")
        for line in lines.splitlines():
            kind, _, rest = line.partition(" ")
            if kind == "cue":
                self.out.append(line)
            elif kind in ("message", "ask"):
                if self.box:
                    raise Finding(f"a box opened over the box [{self.box['text']}]")
                self.box = self.hear_box(kind)
                self.out.append(f"{kind} {self.box['text']}")
            elif kind == "answer" and rest != self.typed:
                raise Finding(f"the input box gave [{rest}] for [{self.typed}]")
            elif kind == "closed":
                self.box = None
            elif kind == "mark":
                self.marks = int(rest)
            elif kind == "place":
                name, *place = rest.split()
                self.places[name] = [int(n) for n in place]
        return lines

    # The box that has just opened, the newest window shown, and what it says: its labels, but
    # for the title, which GTK's own title bar on Wayland shows as one more label. The input box
    # is a window of wx's own, which the bus calls a frame.
    def hear_box(self, kind):
        def box():
            self.app.clear_cache()
            return [w for w in list(children(self.app))[1:] if has(w, "SHOWING") and w.get_role()
                    in (Atspi.Role.ALERT, Atspi.Role.DIALOG, Atspi.Role.FRAME)][-1:]
        shown = wait_for("the box on the bus", box)[0]
        if shown.get_name() != self.tables["boxTitle"]:
            raise Finding(f"a box is titled {shown.get_name()!r}")
        inside = list(descendants(shown))
        return {"kind": kind, "node": shown, "tries": 0, "text": " ".join(
            n.get_name() for n in inside
            if n.get_role() == Atspi.Role.LABEL and n.get_name() not in ("", shown.get_name())),
            "field": next((n for n in inside if n.get_role() == Atspi.Role.TEXT), None),
            "ok": next((n for n in inside if n.get_role() == Atspi.Role.PUSH_BUTTON
                        and n.get_name() == "OK"), None)}

    # Presses the mark key and waits until the game has handled it, and so all before it; False
    # when the game has ended. A key pressed while the keyboard passes from a closing box to the
    # next may reach neither, so it is pressed again each second.
    def mark(self):
        wanted, start = self.marks + 1, time.monotonic()
        pressed = start - 1
        while self.marks < wanted:
            if self.ended():
                return False
            if time.monotonic() > start + self.longest:
                raise Finding(f"the game did not finish handling the input within {self.longest} s")
            if time.monotonic() > pressed + 1:
                self.input.press("Pause")
                pressed = time.monotonic()
            self.read_log()
            time.sleep(0.002)
        return True

    # Until the game is idle, answers every box it opens; then notes the menu captions the bus
    # shows changed.
    def settle(self):
        while self.mark() and self.box:
            box = self.box
            self.answer(box)
            until = time.monotonic() + 2
            while self.box is box and not self.ended() and time.monotonic() < until:
                self.read_log()
                time.sleep(0.005)
        self.app.clear_cache()
        for i, node in enumerate(self.menu):
            if self.process.poll() is None and (caption := node.get_name()) != self.captions[i]:
                self.captions[i] = caption
                self.out.append(f"caption {self.items[i]['name']} {caption}")

    # The box as a player answers it, with the queued answer, unless the window is to be closed
    # under it; a box tried again is dismissed with Escape.
    def answer(self, box):
        box["tries"] += 1
        if box["tries"] > 3:
            raise Finding(f"the box [{box['text']}] does not close")
        # The keyboard follows the pointer into the box.
        self.input.move(box["node"])
        if self.close_in == box["kind"]:
            self.close_in, self.typed = None, ""
            return self.close()
        if box["tries"] == 1:
            self.typed = self.answers.pop(0) if box["kind"] == "ask" and self.answers else ""
            if self.typed:
                self.input.click(box["field"])
                (self.input.paste if len(self.typed) > 100 else self.input.type)(self.typed)
                if self.way("answer", 2):
                    return self.input.click(box["ok"])
                return self.input.press("Return")
        way = 0 if box["tries"] > 1 else self.way("close", 3 if box["kind"] == "ask" else 4)
        if way == 1:
            return self.input.close(self.tables["boxTitle"])
        self.input.press(("Escape", None, "Return", "space")[way])

    # ---- The lines ----

    # The controls and lists as the bus shows them, in the replay tool's words.
    def show(self):
        self.app.clear_cache()
        names = [c["name"] for c in self.tables["controls"]]
        for kind, state in (("visible", "SHOWING"), ("enabled", "ENABLED")):
            self.out.append(" ".join([kind] + [n for n in names if has(self.nodes[n], state)]))
        for name in ("List1", "List2"):
            table = self.nodes[name]
            entries = [f"[{table.get_accessible_at(row, 0).get_name()}]"
                       for row in range(table.get_n_rows())]
            rows = table.get_selected_rows()
            self.out.append(" ".join([name] + entries + [f"highlight={rows[0] if rows else -1}"]))
        # The window has the keyboard again once it is active again after a box.
        until = time.monotonic() + 2
        while not (holder := [n for n, node in self.nodes.items() if has(node, "FOCUSED")]):
            if time.monotonic() > until:
                break
            time.sleep(0.02)
            self.app.clear_cache()
        self.out.append(" ".join(["keyboard"] + holder))
        self.photograph(self.out[-5].split())

    # With CASINO_SCREENSHOTS naming a folder, the window is photographed the first time it shows
    # each of its screens (the pawnshop with the wardrobe open), for the README.
    def photograph(self, visible):
        screen = "pawnshop" if "List1" in visible else "floor" if "cmdred" in visible else "street"
        folder = os.environ.get("CASINO_SCREENSHOTS")
        picture = f"{folder}/linux-{'wayland-' * bool(self.args.wayland)}{screen}.png"
        if folder and not os.path.exists(picture):
            self.input.photograph(self.frame, picture)

    def perform(self, line):
        word, _, rest = line.partition(" ")
        if word == "type":
            self.answers.append(rest)
        elif word == "clock":
            self.set_clock(int(rest))
        elif line == "start":
            self.start()
        elif self.process is None or self.ended():
            raise Finding(f"asked to {line!r} with no game running")
        elif line == "close":
            self.close()
        elif word == "close":  # "close in message", "close in ask"
            self.close_in = rest.split()[-1]
        elif word == "show":  # the game is idle since the last line's mark
            self.show()
        else:
            self.app.clear_cache()
            self.act(word, rest.split())
            self.settle()
            self.check_health()

    # A click in the middle of the control, shown or not: at its place in the client area.
    def click(self, name):
        x, y, width, height = self.places[name]
        self.input.click(self.client, (x + width // 2, y + height // 2))

    def rest(self):
        self.input.move(self.frame, self.rest_at)

    def act(self, word, words):
        if word == "menu":
            return self.choose([item["name"] for item in self.items].index(words[0]))
        node = self.nodes[words[0]]
        # A player types in a list only while it is shown, and moves its highlight only to an
        # entry it has; the game hears of nothing else.
        if word != "click" and (not has(node, "SHOWING") or
                                word == "highlight" and int(words[1]) >= node.get_n_rows()):
            return None
        if word == "click":
            # The control that holds the keyboard takes Enter and space too.
            if (press := self.way("press", 3) if has(node, "FOCUSED") else 0) == 0:
                return self.click(words[0])
            self.rest()
            return self.input.press(("Return", "space")[press - 1])
        # A double-click on the list only moves the highlight, to the entry in its line; the
        # game gives an open list the keyboard, or a click on its line does.
        if word == "highlight" and self.way("highlight", 2) == 0:
            self.click(words[0])
            self.click(words[0])
            self.mark()
        if not has(node, "FOCUSED"):
            self.click(words[0])
            self.mark()
        if word == "key":
            code = int(words[1])
            return self.input.press("Return") if code == 13 else self.input.type(chr(code))
        for key in ["Home"] + ["Down"] * int(words[1]):
            self.input.press(key)
        # The monkey asks only for an entry the game's list has: the arrows must reach it.
        if self.mark() and (rows := node.get_selected_rows()) != [int(words[1])]:
            raise Finding(f"the list highlights {rows} for {words[1]} (are entries missing?)")

    # An item by its key, or through the menu bar from the keyboard: F10 opens the first menu,
    # the arrows walk to the item, which the bus must show highlighted, Enter takes it.
    def choose(self, index):
        label, _, key = self.items[index]["label"].partition("\t")
        self.rest()
        if key and self.way("menu", 3):
            return self.input.press(key)
        self.input.press("F10")
        self.mark()
        menus = [menu["items"] for menu in self.tables["menus"]]
        menu = next(m for m, items in enumerate(menus) if self.items[index] in items)
        for key in ["Right"] * menu + ["Down"] * (1 + menus[menu].index(self.items[index])):
            self.input.press(key)
        self.mark()
        self.app.clear_cache()
        if not has(self.menu[index], "SELECTED"):
            raise Finding(f"the menu bar does not highlight {label!r}")
        self.input.press("Return")

    def run(self):
        print("observes message ask cue caption quit visible enabled List1 List2 keyboard\nready",
              flush=True)
        try:
            for line in sys.stdin:
                if (line := line.rstrip("\n")) == "stop":
                    break
                self.out = []
                self.perform(line)
                print("\n".join(self.out + ["ready"]), flush=True)
        except (Finding, GLib.Error) as finding:
            print(f"finding {finding}", flush=True)
            return 1
        finally:
            self.stop()
            shutil.rmtree(self.folder)
        return 0


def main():
    parser = argparse.ArgumentParser()
    where = parser.add_mutually_exclusive_group(required=True)
    where.add_argument("--x11", metavar="X_MONKEY")
    where.add_argument("--wayland", nargs=2, metavar=("VNC_SOCKET", "APP_ID"))
    parser.add_argument("--seed", type=int, default=1)
    parser.add_argument("--sound-device", default="/dev/null")
    parser.add_argument("--blocked-sound", type=int, metavar="MS")
    parser.add_argument("tables")
    parser.add_argument("casino")
    parser.add_argument("observer")
    args = parser.parse_args()
    args.casino, args.observer = os.path.abspath(args.casino), os.path.abspath(args.observer)
    args.x11 = args.x11 and os.path.abspath(args.x11)
    open_bus()
    return Transport(args).run()


if __name__ == "__main__":
    sys.exit(main())
