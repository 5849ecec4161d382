#!/usr/bin/python3
"""Drives the real Linux Tessel the way a person does and checks what it shows.

    gui_test.py PROGRAM SCENARIO

Each run starts its own Xvfb (on a free display), session bus and
accessibility bus, and ends them again by process ID. Input is real X events
from xdotool (keys, typing, mouse clicks at the places AT-SPI reports); what
the windows show is read through AT-SPI, as a screen reader reads it.
Controls are found by their accessible ID, which is the dialog control ID.
"""

import os
import signal
import subprocess
import sys
import tempfile
import time

RECORD, CHECKSUM, CALCULATE, LENGTH = "1000", "1001", "1002", "1004"
ABOUT = "关于 Tessel"
ABOUT_ITEM = "关于 Tessel(A)..."

failures = []


def check(what, actual, expected):
    if actual != expected:
        failures.append(f"{what}: got {actual!r}, expected {expected!r}")
        print(f"FAIL: {failures[-1]}", file=sys.stderr)


def alive(pid):
    try:
        with open(f"/proc/{pid}/stat") as stat:
            return stat.read().rsplit(")", 1)[1].split()[0] != "Z"
    except OSError:
        return False


def stop(pid):
    """Ends one process we started: SIGTERM, a grace period, then SIGKILL."""
    if not alive(pid):
        return
    os.kill(pid, signal.SIGTERM)
    for _ in range(200):
        if not alive(pid):
            return
        time.sleep(0.01)
    os.kill(pid, signal.SIGKILL)


class Session:
    """An X display, a session bus and the accessibility bus it starts."""

    def __init__(self):
        self.tmp = tempfile.mkdtemp(prefix="tessel-gui-")
        read_end, write_end = os.pipe()
        self.xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1280x800x24",
             "-nolisten", "tcp", "-noreset"], pass_fds=[write_end],
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_end)
        with os.fdopen(read_end) as pipe:
            display = pipe.readline().strip()
        if not display:
            raise SystemExit("Xvfb did not start")
        os.environ["DISPLAY"] = ":" + display
        os.environ["XDG_RUNTIME_DIR"] = self.tmp
        os.environ["GDK_BACKEND"] = "x11"
        os.environ.pop("WAYLAND_DISPLAY", None)
        os.environ.pop("NO_AT_BRIDGE", None)
        bus = subprocess.run(
            ["dbus-daemon", "--session", "--fork", "--print-address=1", "--print-pid=1"],
            capture_output=True, text=True, check=True).stdout.split()
        os.environ["DBUS_SESSION_BUS_ADDRESS"], self.bus_pid = bus[0], int(bus[1])
        self.program = None

    def close(self):
        if self.program and self.program.poll() is None:
            stop(self.program.pid)
            self.program.wait()
        # The bus forks into a session of its own (ID = its PID); the
        # accessibility services it started stay in that session.
        started = [self.bus_pid] + [
            int(pid) for pid in subprocess.run(
                ["pgrep", "-s", str(self.bus_pid)], capture_output=True,
                text=True).stdout.split() if int(pid) != self.bus_pid]
        for pid in started:
            stop(pid)
        # A scenario may have ended the X server itself; once reaped, its
        # PID may belong to someone else and must not be signalled.
        if self.xvfb.poll() is None:
            stop(self.xvfb.pid)
        self.xvfb.wait()
        subprocess.run(["rm", "-rf", self.tmp])


def xdotool(*args):
    subprocess.run(["xdotool", *args], check=True)
    time.sleep(0.3)


def keys(*names):
    xdotool("key", "--delay", "50", *names)


def type_text(text):
    xdotool("type", "--delay", "30", text)


class Tessel:
    """The running program, seen through AT-SPI."""

    def __init__(self, session, program, env=None):
        self.process = subprocess.Popen([program], env=env)
        session.program = self.process
        import pyatspi  # connects to the session's bus, so imported late
        self.pyatspi = pyatspi
        self.app = self.wait_for(self.find_app, "the application on the accessibility bus")
        self.main = self.wait_for(lambda: self.frame("Tessel"), "the main window")

    def wait_for(self, probe, what, seconds=15):
        deadline = time.time() + seconds
        while time.time() < deadline:
            found = probe()
            if found:
                return found
            time.sleep(0.05)
        raise AssertionError(f"timed out waiting for {what}")

    def find_app(self):
        desktop = self.pyatspi.Registry.getDesktop(0)
        for app in desktop:
            if app is not None and app.get_process_id() == self.process.pid:
                return app
        return None

    def frame(self, title):
        for window in self.app:
            if window is not None and window.name == title and self.showing(window):
                return window
        return None

    def showing(self, accessible):
        return accessible.getState().contains(self.pyatspi.STATE_SHOWING)

    def all(self, root, predicate):
        found = []
        def walk(node):
            if node is None:
                return
            if predicate(node):
                found.append(node)
            for child in node:
                walk(child)
        walk(root)
        return found

    def control(self, control_id, window=None):
        matches = self.all(window or self.main, lambda n: n.accessibleId == control_id)
        assert matches, f"no control {control_id}"
        return matches[0]

    def text(self, control_id, window=None):
        accessible = self.control(control_id, window)
        return accessible.queryText().getText(0, -1)

    def fields(self):
        return (self.text(RECORD), self.text(LENGTH), self.text(CHECKSUM))

    def click(self, accessible):
        x, y, w, h = accessible.queryComponent().getExtents(self.pyatspi.DESKTOP_COORDS)
        xdotool("mousemove", str(x + w // 2), str(y + h // 2), "click", "1")

    def state(self, accessible, state):
        return accessible.getState().contains(state)

    def close_box(self, window):
        buttons = self.all(window, lambda n: n.getRoleName() == "push button"
                           and n.name == "Close")
        assert buttons, "no close box"
        return buttons[0]

    def menu_items(self):
        """The items of the open popup menu, in order ("-" for separators)."""
        items = self.all(self.app, lambda n: n.getRoleName() in ("menu item", "separator")
                         and self.showing(n))
        return ["-" if item.getRoleName() == "separator" else item.name for item in items]

    def exit_status(self, seconds=5):
        try:
            return self.process.wait(timeout=seconds)
        except subprocess.TimeoutExpired:
            return "still running"


def paste(text):
    """Puts text on the clipboard and presses Ctrl+V."""
    clip = subprocess.Popen(["xclip", "-selection", "clipboard", "-quiet", "-loops", "1"],
                            stdin=subprocess.PIPE, stdout=subprocess.DEVNULL,
                            stderr=subprocess.DEVNULL)
    clip.stdin.write(text.encode())
    clip.stdin.close()
    time.sleep(0.2)
    keys("ctrl+v")
    try:
        clip.wait(timeout=5)
    except subprocess.TimeoutExpired:
        stop(clip.pid)
        clip.wait()


def clear():
    keys("ctrl+a", "Delete")


# Scenarios ---------------------------------------------------------------


def scenario_editing(session, program):
    app = Tessel(session, program)
    check("fields at start", app.fields(), ("", "", ""))
    check("focus at start", app.state(app.control(RECORD), app.pyatspi.STATE_FOCUSED), True)
    typed = ""
    for unit in "0300":
        type_text(unit)
        typed += unit
        check(f"length after typing {typed!r}", app.text(LENGTH), str(len(typed)))
    keys("BackSpace")
    check("length after Backspace", app.text(LENGTH), "3")
    paste("0300002337A")
    check("record after paste", app.text(RECORD), "0300300002337A")
    check("length after paste", app.text(LENGTH), "14")
    paste("😀")  # one character, two UTF-16 code units
    check("length after an emoji", app.text(LENGTH), "16")
    keys("ctrl+a", "ctrl+x")
    check("length after cutting all", app.text(LENGTH), "0")
    check("checksum untouched by editing", app.text(CHECKSUM), "")


def scenario_calculate(session, program):
    app = Tessel(session, program)
    calculate = app.control(CALCULATE)
    for record, expected in [
            ("10010000214601360121470136007EFE09D21901", "40"),
            ("0300300002337A", "1E"), ("0300300002337A1E", "00"), ("0100", "FF"),
            ("ff", "01"), ("0", "Error"), (":10000", "00"), ("", "00")]:
        app.click(app.control(RECORD))
        clear()
        if record:
            paste(record)
        app.click(calculate)
        check(f"checksum of {record!r}", app.text(CHECKSUM), expected)
    app.click(app.control(RECORD))
    clear()
    paste("0100")
    app.click(calculate)
    app.click(app.control(RECORD))
    keys("End")
    type_text("0")
    check("old checksum kept after more typing", app.text(CHECKSUM), "FF")
    keys("Tab", "Tab", "space")  # Space on the focused Calculate button
    check("checksum after Calculate by keyboard", app.text(CHECKSUM), "Error")
    check("record untouched by Calculate", app.text(RECORD), "01000")


def scenario_fields(session, program):
    app = Tessel(session, program)
    pyatspi = app.pyatspi
    # Tab: record field, checksum field, Calculate, and round again; never
    # the hidden buttons or the disabled length field.
    order = []
    for _ in range(4):
        keys("Tab")
        focused = app.all(app.main, lambda n: app.state(n, pyatspi.STATE_FOCUSED))
        order.append(focused[0].accessibleId if focused else None)
    check("Tab order", order, [CHECKSUM, CALCULATE, RECORD, CHECKSUM])
    app.click(app.control(CHECKSUM))
    type_text("ZZ")
    check("text typed into the checksum field", app.text(CHECKSUM), "ZZ")
    app.click(app.control(CALCULATE))
    check("Calculate replaces it", app.text(CHECKSUM), "00")
    length = app.control(LENGTH)
    check("length field enabled", app.state(length, pyatspi.STATE_ENABLED), False)
    check("length field editable", app.state(length, pyatspi.STATE_EDITABLE), False)
    check("checksum field editable",
          app.state(app.control(CHECKSUM), pyatspi.STATE_EDITABLE), True)
    for hidden in ("1", "2"):
        check(f"button {hidden} showing", app.showing(app.control(hidden)), False)
    for control in (RECORD, CHECKSUM, LENGTH):
        check(f"control {control} has a name", bool(app.control(control).name), True)
    check("Calculate's name", app.control(CALCULATE).name, "Calculate")


def scenario_ending(session, program):
    for way in ("Enter", "Esc", "Alt+F4", "close box", "system menu Close"):
        app = Tessel(session, program)
        if way == "Enter":
            type_text("0300")
            keys("Return")
        elif way == "Esc":
            keys("Escape")
        elif way == "Alt+F4":
            keys("alt+F4")
        elif way == "close box":
            app.click(app.close_box(app.main))
        else:
            keys("alt+space")
            keys("c")
        check(f"exit status after {way}", app.exit_status(), 0)


def scenario_system_menu(session, program):
    app = Tessel(session, program)
    expected = ["Move", "Size", "-", "Close", "-", ABOUT_ITEM]
    keys("alt+space")
    check("system menu from Alt+Space", app.menu_items(), expected)
    keys("Escape")
    check("menu closed", app.menu_items(), [])
    # A right click on the title bar, and a click on its icon, open it too.
    x, y, w, _ = app.main.queryComponent().getExtents(app.pyatspi.DESKTOP_COORDS)
    xdotool("mousemove", str(x + w // 2), str(y + 12), "click", "3")
    check("system menu from a right click", app.menu_items(), expected)
    keys("Escape")
    xdotool("mousemove", str(x + 16), str(y + 16), "click", "1")
    check("system menu from the icon", app.menu_items(), expected)
    keys("Escape")
    # The last item opens the About box.
    keys("alt+space")
    keys("Up", "Return")
    about = app.wait_for(lambda: app.frame(ABOUT), "the About box", 5)
    check("About opened from the menu", about.name, ABOUT)
    keys("Return")
    app.wait_for(lambda: not app.frame(ABOUT), "the About box to close", 5)


def scenario_about(session, program):
    app = Tessel(session, program)
    paste("0100")
    app.click(app.control(CALCULATE))
    app.click(app.control(RECORD))
    type_text("ab")
    before = app.fields()
    for way in ("OK", "Enter", "Esc", "close box"):
        keys("alt+space")
        keys("Up", "Return")
        about = app.wait_for(lambda: app.frame(ABOUT), "the About box", 5)
        # Besides the title bar's caption: the name line, then the copyright.
        labels = [n.name for n in app.all(about, lambda n: n.getRoleName() == "label"
                                          and n.name and n.name != ABOUT)]
        check(f"{way}: name and version", labels[:1], ["Tessel，1.0 版"])
        check(f"{way}: copyright line", len(labels) >= 2 and labels[1].startswith("Copyright"),
              True)
        icons = app.all(about, lambda n: n.getRoleName() == "icon")
        sizes = [tuple(i.queryComponent().getSize()) for i in icons]
        check(f"{way}: a 32 x 32 icon", (32, 32) in sizes, True)
        buttons = [n.name for n in app.all(about, lambda n: n.getRoleName() == "push button")]
        check(f"{way}: buttons", "确定" in buttons, True)
        # The main window takes no input meanwhile: not keys, not clicks.
        type_text("77")
        app.click(app.control(CALCULATE))
        if way == "OK":
            ok = [n for n in app.all(about, lambda n: n.getRoleName() == "push button"
                                     and n.name == "确定")]
            app.click(ok[0])
        elif way == "Enter":
            keys("Return")
        elif way == "Esc":
            keys("Escape")
        else:
            app.click(app.close_box(about))
        app.wait_for(lambda: not app.frame(ABOUT), f"{way} to close the About box", 5)
        check(f"{way}: main window afterwards", app.fields(), before)


def scenario_long_paste(session, program):
    app = Tessel(session, program)
    paste("0123456789ABCDEF" * 2500)  # 40,000 characters
    record = app.text(RECORD)
    check("code units kept of a 40,000-character paste", len(record), 32767)
    check("length of the long text", app.text(LENGTH), "32767")
    app.click(app.control(CALCULATE))
    check("checksum of an odd-length text", app.text(CHECKSUM), "Error")
    app.click(app.control(RECORD))
    keys("End", "BackSpace")
    check("length after Backspace", app.text(LENGTH), "32766")
    app.click(app.control(CALCULATE))
    pairs = ("0123456789ABCDEF" * 2500)[:32766]
    total = sum(int(pairs[i:i + 2], 16) for i in range(0, len(pairs), 2))
    check("checksum of the long text", app.text(CHECKSUM), f"{-total & 0xFF:02X}")


def scenario_icon(session, program):
    app = Tessel(session, program)
    window = subprocess.run(["xdotool", "search", "--pid", str(app.process.pid), "--name",
                             "^Tessel$"], capture_output=True, text=True).stdout.split()
    assert window, "no X window for the main window"
    raw = ""
    for candidate in window:
        raw = subprocess.run(["xprop", "-len", "100000000", "-id", candidate, "-notype", "32c",
                              "_NET_WM_ICON"],
                             capture_output=True, text=True).stdout
        if "=" in raw:
            break
    assert "=" in raw, "no window carries _NET_WM_ICON"
    values = [int(v) for v in raw.split("=", 1)[1].replace(",", " ").split()]
    sizes, i = [], 0
    while i + 1 < len(values):
        sizes.append(values[i])
        i += 2 + values[i] * values[i + 1]
    check("sizes in the window's icon list", sorted(sizes), [16, 24, 32, 48, 256])


def scenario_no_session_bus(session, program):
    # A bus address where nothing listens: the window must still come up
    # at once, without waiting for a bus.
    env = dict(os.environ, DBUS_SESSION_BUS_ADDRESS="unix:path=/nonexistent/bus")
    started = time.time()
    process = subprocess.Popen([program], env=env, stderr=subprocess.DEVNULL)
    session.program = process
    found = subprocess.run(["xdotool", "search", "--sync", "--onlyvisible", "--pid",
                            str(process.pid), "--name", "^Tessel$"],
                           capture_output=True, text=True, timeout=10).stdout.split()
    elapsed = time.time() - started
    check("window shown without a session bus", bool(found), True)
    check(f"shown within 3 s (took {elapsed:.2f} s)", elapsed < 3, True)


def main():
    program, scenario = os.path.realpath(sys.argv[1]), sys.argv[2]
    session = Session()
    try:
        globals()["scenario_" + scenario.replace("-", "_")](session, program)
    except AssertionError as error:
        failures.append(str(error))
        print(f"FAIL: {error}", file=sys.stderr)
    finally:
        session.close()
    if failures:
        print(f"{len(failures)} check(s) failed", file=sys.stderr)
        sys.exit(1)
    print("all checks passed")


if __name__ == "__main__":
    main()
