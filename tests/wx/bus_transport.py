# bus_transport: the monkey's transport that meets the real Linux program as a screen reader
# does (tests/support/monkey.h tells the lines it reads and writes).
#
# Every box, menu caption, control, list and the keyboard are read from the accessibility bus
# alone, and there the window must bear the game's caption, the menus their captions and every
# box its title. The input is real: on X11 the accessibility layer sends it through XTest; on
# Wayland a client may not make input for another, so it comes from wayvnc's virtual keyboard
# and pointer, which the compositor keeps as its seat's devices, as a desktop's own, with a
# whole keymap. What the bus cannot tell comes from the observer library preloaded into the
# game: the cues the sound system opened, in their place among the boxes, and when the game has
# handled the input, which a press of the Pause key (no key of the game's) tells as a mark.
#
#     dbus-run-session -- /usr/bin/python3 bus_transport.py [--wayland VNC-SOCKET APP-ID]
#         TABLES CASINO OBSERVER
#
# TABLES prints the core's tables; on Wayland the window must carry APP-ID as its app id.

import argparse
import json
import os
import shutil
import socket
import struct
import subprocess
import sys
import tempfile
import time

import gi
from gi.repository import Gio, GLib

ENTER, ESCAPE, SPACE, HOME, DOWN, RIGHT, PAUSE, F1, F10 = (
    0xFF0D, 0xFF1B, 0x20, 0xFF50, 0xFF54, 0xFF53, 0xFF13, 0xFFBE, 0xFFC7)
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


# Points the accessibility library at this session's bus, never at one a desktop left behind. A
# virtual X server resets itself when its last client leaves, so on X11 the display is held open
# for the whole run.
def open_bus(x11):
    global Atspi
    if x11:
        import ctypes
        xlib = ctypes.CDLL("libX11.so.6")
        xlib.XOpenDisplay.restype = ctypes.c_void_p
        wait_for("the X display", lambda: xlib.XOpenDisplay(None), timeout=5)
    bus = Gio.bus_get_sync(Gio.BusType.SESSION).call_sync(
        "org.a11y.Bus", "/org/a11y/bus", "org.a11y.Bus", "GetAddress", None,
        GLib.VariantType("(s)"), Gio.DBusCallFlags.NONE, 10000)
    os.environ["AT_SPI_BUS_ADDRESS"] = bus.unpack()[0]
    gi.require_version("Atspi", "2.0")
    from gi.repository import Atspi as library
    Atspi = library


# Keys and clicks through the accessibility layer, which sends them with XTest.
class XInput:

    def press(self, key):
        Atspi.generate_keyboard_event(key, None, Atspi.KeySynthType.SYM)

    def type(self, text):
        Atspi.generate_keyboard_event(0, text, Atspi.KeySynthType.STRING)

    def click(self, node, pid):
        box = node.get_extents(Atspi.CoordType.SCREEN)
        Atspi.generate_mouse_event(box.x + box.width // 2, box.y + box.height // 2, "b1c")


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
# socket. A Wayland client does not learn where its window lies, so a click's place is the
# window's, from the compositor, plus the control's within it, from the bus.
class WaylandInput:

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

    def press(self, key):
        for down in (1, 0):
            self.vnc.sendall(struct.pack(">BBxxI", 4, down, key))

    def type(self, text):
        for char in text:  # Latin-1 characters are their own key symbols
            self.press(ord(char))

    def click(self, node, pid):
        top = node  # the window that holds the control, a child of the application
        while (up := top.get_parent()) is not None and up.get_role() != Atspi.Role.APPLICATION:
            top = up
        window = wait_for("the window in the compositor", lambda: sway_window(pid, top.get_name()))
        box = node.get_extents(Atspi.CoordType.WINDOW)
        x = window["rect"]["x"] + window["window_rect"]["x"] + box.x + box.width // 2
        y = window["rect"]["y"] + window["window_rect"]["y"] + box.y + box.height // 2
        for buttons in (0, 1, 0):
            self.vnc.sendall(struct.pack(">BBHH", 5, buttons, x, y))
            time.sleep(0.03)


class Transport:
    def __init__(self, args):
        self.args = args
        self.tables = json.loads(subprocess.run([args.tables], check=True, capture_output=True,
                                                text=True).stdout)
        self.items = [item for menu in self.tables["menus"] for item in menu["items"]]
        self.folder = tempfile.mkdtemp(prefix="bus_transport.")
        self.input = WaylandInput(args.wayland[0]) if args.wayland else XInput()
        self.process, self.answers, self.turn = None, [], 0
        self.set_clock(43200)

    # ---- The program ----

    def set_clock(self, seconds):
        with open(f"{self.folder}/clock.part", "w") as f:
            f.write(time.strftime("2026-12-07 %H:%M:%S\n", time.gmtime(seconds)))
        os.replace(f"{self.folder}/clock.part", f"{self.folder}/clock")

    def start(self):
        self.stop()
        log = f"{self.folder}/log"
        open(log, "w").close()
        self.log, self.pending, self.marks, self.box = open(log), "", 0, None
        env = {k: v for k, v in os.environ.items() if k != "NO_AT_BRIDGE"}
        env.update(TZ="UTC", FAKETIME_TIMESTAMP_FILE=f"{self.folder}/clock", FAKETIME_NO_CACHE="1",
                   FAKETIME_DONT_FAKE_MONOTONIC="1", CASINO_MONKEY_LOG=log,
                   LD_PRELOAD=f"{FAKETIME} {self.args.observer}")
        self.errors = tempfile.TemporaryFile()
        self.process = subprocess.Popen([self.args.casino], cwd=os.path.dirname(self.args.casino),
                                        env=env, stderr=self.errors)
        wait_for("the game's window", lambda: "watching" in self.read_log(), timeout=20)
        desktop = Atspi.get_desktop(0)

        def on_bus():
            desktop.clear_cache()
            return next((a for a in children(desktop) if a.get_process_id() == self.process.pid), None)
        self.app = wait_for("the game on the accessibility bus", on_bus, timeout=20)
        frame = wait_for("the game's window on the bus", lambda: next(
            (n for n in children(self.app) if n.get_role() == Atspi.Role.FRAME), None))
        if frame.get_name() != self.tables["title"]:
            raise Finding(f"the bus calls the window {frame.get_name()!r}")
        # The controls by what a screen reader calls them: a button by its caption, a list by
        # its name; the menu items in the menus' order.
        called = {(n.get_role_name(), n.get_name()): n for n in descendants(frame)}
        self.nodes = {c["name"]: called.get(("push button" if c["role"] == "button" else "table",
                                             c["caption"])) for c in self.tables["controls"]}
        if missing := [name for name, node in self.nodes.items() if node is None]:
            raise Finding(f"the bus has no {missing}")
        self.menu = [n for n in descendants(frame) if n.get_role() == Atspi.Role.MENU_ITEM]
        self.captions = [n.get_name() for n in self.menu]
        if self.captions != [item["label"].partition("\t")[0] for item in self.items]:
            raise Finding(f"the bus calls the menu items {self.captions}")
        if self.args.wayland:
            window = wait_for("the window in the compositor",
                              lambda: sway_window(self.process.pid, self.tables["title"]))
            if window["app_id"] != self.args.wayland[1]:
                raise Finding(f"the window's app id is {window['app_id']!r}")
        self.settle()

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

    # ---- What the game did ----

    # The observer's lines since the last call: cues are reported in their place, and boxes as
    # the bus shows them.
    def read_log(self):
        self.pending += self.log.read()
        lines, _, self.pending = self.pending.rpartition("\n")
        for line in lines.splitlines():
            kind = line.split(" ", 1)[0]
            if kind == "cue":
                self.out.append(line)
            elif kind in ("message", "ask"):
                self.box = kind
                self.out.append(f"{kind} {self.hear_box()}")
            elif kind == "closed":
                self.box = None
            elif kind == "mark":
                self.marks = int(line[5:])
        return lines

    # What the box that has just opened says: its labels, but for the title, which GTK's own
    # title bar on Wayland shows as one more label. The input box is a window of wx's own, which
    # the bus calls a frame.
    def hear_box(self):
        def box():
            self.app.clear_cache()
            return next((w for w in list(children(self.app))[1:] if has(w, "SHOWING") and w.get_role()
                         in (Atspi.Role.ALERT, Atspi.Role.DIALOG, Atspi.Role.FRAME)), None)
        shown = wait_for("the box on the bus", box)
        if shown.get_name() != self.tables["boxTitle"]:
            raise Finding(f"a box is titled {shown.get_name()!r}")
        return " ".join(n.get_name() for n in descendants(shown) if n.get_role() == Atspi.Role.LABEL
                        and n.get_name() not in ("", shown.get_name()))

    # Presses the mark key and waits until the game has handled it, and so all before it; False
    # when the game has ended. A key pressed while the keyboard passes from a closing box to the
    # next may reach neither, so it is pressed again each second.
    def mark(self):
        wanted, start = self.marks + 1, time.monotonic()
        pressed = start - 1
        while self.marks < wanted:
            if self.ended():
                return False
            if time.monotonic() > start + 12:
                raise Finding("the game did not finish handling the input within 12 s")
            if time.monotonic() > pressed + 1:
                self.input.press(PAUSE)
                pressed = time.monotonic()
            self.read_log()
            time.sleep(0.005)
        return True

    # Until the game is idle, answers every box it opens (an empty answer cancels); then
    # notes the menu captions the bus shows changed. A close is the other transport's: the
    # walk closes the window through x_transport.
    def settle(self):
        while self.mark() and self.box:
            answer = self.answers.pop(0) if self.box == "ask" and self.answers else ""
            if answer:
                self.input.type(answer)
            self.input.press(ESCAPE if self.box == "ask" and not answer else ENTER)
            until = time.monotonic() + 2
            while self.box and not self.ended() and time.monotonic() < until:
                self.read_log()
                time.sleep(0.005)
        self.check_stderr()
        for i, node in enumerate(self.menu):
            if self.process.poll() is None and (caption := node.get_name()) != self.captions[i]:
                self.captions[i] = caption
                self.out.append(f"caption {self.items[i]['name']} {caption}")

    # ---- The lines ----

    # The controls and lists as the bus shows them, in the replay tool's words.
    def show(self):
        self.app.clear_cache()
        names = [c["name"] for c in self.tables["controls"]]
        for kind, state in (("visible", "SHOWING"), ("enabled", "ENABLED")):
            self.out.append(" ".join([kind] + [n for n in names if has(self.nodes[n], state)]))
        for name in ("List1", "List2"):
            table = self.nodes[name]
            entries = [f"[{table.get_accessible_at(row, 0).get_name()}]" for row in range(table.get_n_rows())]
            rows = table.get_selected_rows()
            self.out.append(" ".join([name] + entries + [f"highlight={rows[0] if rows else -1}"]))
        # The window has the keyboard again once it is active again after a box.
        holder = wait_for("a control with the keyboard", lambda: next(
            (name for name, node in self.nodes.items() if has(node, "FOCUSED")), None), timeout=2)
        self.out.append(f"keyboard {holder}")
        self.photograph()

    # With CASINO_SCREENSHOTS naming a folder, the casino floor on Wayland is photographed with
    # the compositor's frame the first time it shows, for the README.
    def photograph(self):
        picture = f"{os.environ.get('CASINO_SCREENSHOTS')}/linux-wayland-floor.png"
        if (not os.environ.get("CASINO_SCREENSHOTS") or not self.args.wayland
                or "cmdred" not in self.out[-5].split() or os.path.exists(picture)):
            return
        w = sway_window(self.process.pid, self.tables["title"])
        top, frame = w["rect"]["y"] - w["deco_rect"]["height"], w["deco_rect"]["height"]
        subprocess.run(["grim", "-g", f"{w['rect']['x']},{top} {w['rect']['width']}x"
                        f"{w['rect']['height'] + frame}", picture], check=True)

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
        elif word == "show":
            if self.mark():
                self.show()
        else:
            self.act(word, rest.split())
            self.settle()

    def act(self, word, words):
        node = self.nodes.get(words[0])
        if word == "click":
            # The control that holds the keyboard takes Enter and space too, in turn.
            self.turn += 1
            if has(node, "FOCUSED") and self.turn % 3:
                self.input.press(ENTER if self.turn % 3 == 1 else SPACE)
            else:
                self.input.click(node, self.process.pid)
        elif word in ("key", "highlight"):
            if not has(node, "FOCUSED"):
                self.input.click(node, self.process.pid)
                self.mark()
            if word == "key":
                self.input.press(ENTER if words[1] == "13" else int(words[1]))
            for key in [HOME] + [DOWN] * int(words[1]) if word == "highlight" else []:
                self.input.press(key)
        elif word == "menu":
            self.choose(next(i for i, item in enumerate(self.items) if item["name"] == words[0]))
        else:
            raise Finding(f"cannot perform {word}")

    # An item by its key, or through the menu bar from the keyboard: F10 opens the first menu,
    # the arrows walk to the item, which the bus must show highlighted, Enter takes it.
    def choose(self, index):
        label, _, key = self.items[index]["label"].partition("\t")
        if key:
            return self.input.press(F1 + int(key[1:]) - 1)
        self.input.press(F10)
        menu = next(m for m, menu in enumerate(self.tables["menus"]) if self.items[index] in menu["items"])
        for _ in range(menu):
            self.input.press(RIGHT)
        for _ in range(8):
            time.sleep(0.1)
            self.app.clear_cache()
            if has(self.menu[index], "SELECTED"):
                return self.input.press(ENTER)
            self.input.press(DOWN)
        raise Finding(f"the menu bar never highlights {label!r}")

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
    parser.add_argument("--wayland", nargs=2, metavar=("VNC_SOCKET", "APP_ID"))
    parser.add_argument("tables")
    parser.add_argument("casino")
    parser.add_argument("observer")
    args = parser.parse_args()
    args.casino = os.path.abspath(args.casino)
    open_bus(x11=not args.wayland)
    return Transport(args).run()


if __name__ == "__main__":
    sys.exit(main())
