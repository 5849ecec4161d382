#!/usr/bin/python3
"""Puts the real Linux Tessel through long and unfriendly runs.

    robustness_test.py PROGRAM SCENARIO

soak            2,000 random edits, each checked; memory must stay flat
display-lost    the X server goes away under the running program
two-instances   two programs on one display keep to their own state
nothing-stored  a whole session under strace: no file written, no network

Each run starts its own Xvfb, session bus and accessibility bus (see
gui_test.py, whose helpers these scenarios share) and ends every process it
started by its process ID.
"""

import ctypes
import os
import random
import re
import shlex
import signal
import subprocess
import sys
import tempfile
import threading
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import gui_test  # noqa: E402
from gui_test import CALCULATE, CHECKSUM, LENGTH, RECORD, check, stop  # noqa: E402


def end(process):
    """Ends a process started here (if it still runs) and reaps it. Once
    reaped, a PID may be someone else's, so it is only signalled before."""
    if process.poll() is None:
        stop(process.pid)
    process.wait()


class RobustSession(gui_test.Session):
    """gui_test's session, with one X client connected all along.

    Xvfb resets itself whenever its last client leaves, and refuses
    connections while it does. Tools that connect and leave before the
    program starts (the accessibility bus launcher, a keyboard mapping)
    would otherwise make the program's start race that reset, and fail with
    "cannot open the display" now and then."""

    def __init__(self):
        super().__init__()
        self.keeper = subprocess.Popen(["xprop", "-root", "-spy", "TESSEL_TEST_KEEPS_DISPLAY"],
                                       stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
        self.keeper.stdout.readline()  # its first answer: it is connected

    def close(self):
        end(self.keeper)
        super().close()


def fail(message):
    gui_test.failures.append(message)
    print(f"FAIL: {message}", file=sys.stderr)


def utf16_length(text):
    return len(text.encode("utf-16-le", "surrogatepass")) // 2


# The checksum rule, written out independently of the program's code --------

HEX_DIGITS = "0123456789abcdefABCDEF"
C_SPACE = " \t\n\v\f\r"


def strtol16(raw):
    """What C's strtol(raw, NULL, 16) gives for a string of bytes."""
    text = raw.split(b"\0", 1)[0].decode("latin-1")
    i = 0
    while i < len(text) and text[i] in C_SPACE:
        i += 1
    sign = 1
    if i < len(text) and text[i] in "+-":
        sign = -1 if text[i] == "-" else 1
        i += 1
    if text[i:i + 2] in ("0x", "0X") and i + 2 < len(text) and text[i + 2] in HEX_DIGITS:
        i += 2
    value = 0
    while i < len(text) and text[i] in HEX_DIGITS:
        value = value * 16 + int(text[i], 16)
        i += 1
    return sign * value


def expected_checksum(text):
    """The checksum field's text after Calculate on a record field with text."""
    data = text.encode("utf-16-le", "surrogatepass")
    low_bytes = data[0::2]  # little-endian: the low byte of each code unit comes first
    if len(low_bytes) % 2:
        return "Error"
    total = 0
    for i in range(0, len(low_bytes), 2):
        total = (total + strtol16(low_bytes[i:i + 2])) & 0xFFFFFFFF
    return f"{-total & 0xFF:02X}"


# Input, without the fixed pauses of gui_test's helpers ---------------------
#
# 2,000 edits with gui_test's 0.3 s after every xdotool call would take far
# too long; here each step waits only until the window shows its outcome.

KEY_DELAY = "8"  # ms between X events within one xdotool call


def xdo(*args):
    subprocess.run(["xdotool", *args], check=True)


def press(*names):
    xdo("key", "--delay", KEY_DELAY, *names)


def type_now(text):
    xdo("type", "--delay", KEY_DELAY, "--", text)


def click_at(x, y):
    xdo("mousemove", str(x), str(y), "click", "1")


def centre(app, accessible):
    x, y, w, h = accessible.queryComponent().getExtents(app.pyatspi.DESKTOP_COORDS)
    return x + w // 2, y + h // 2


def offer_clipboard(text):
    """Starts xclip holding text as the clipboard; returns once it serves it.

    The caller presses Ctrl+V, waits for the paste to land and then hands the
    returned process to end_clipboard()."""
    owner = subprocess.Popen(["xclip", "-selection", "clipboard", "-quiet"],
                             stdin=subprocess.PIPE, stdout=subprocess.DEVNULL,
                             stderr=subprocess.DEVNULL)
    owner.stdin.write(text.encode())
    owner.stdin.close()
    deadline = time.time() + 5
    while time.time() < deadline:
        served = subprocess.run(["xclip", "-o", "-selection", "clipboard", "-t", "UTF8_STRING"],
                                capture_output=True, timeout=5).stdout
        if served == text.encode():
            return owner
        time.sleep(0.005)
    end(owner)
    raise AssertionError(f"xclip never offered {text!r} on the clipboard")


def end_clipboard(owner):
    end(owner)


def bind_keys(chars):
    """Gives chars keys of their own in the display's keyboard mapping.

    xdotool types a character its keyboard lacks by mapping it onto a spare
    key for a moment and mapping it back; a program that reads the key after
    that has typed something else. With the key mapped for good, xdotool
    just presses it."""
    x11 = ctypes.CDLL("libX11.so.6")
    x11.XOpenDisplay.restype = ctypes.c_void_p
    x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
    x11.XDisplayKeycodes.argtypes = [ctypes.c_void_p, ctypes.POINTER(ctypes.c_int),
                                     ctypes.POINTER(ctypes.c_int)]
    x11.XGetKeyboardMapping.restype = ctypes.POINTER(ctypes.c_ulong)
    x11.XGetKeyboardMapping.argtypes = [ctypes.c_void_p, ctypes.c_ubyte, ctypes.c_int,
                                        ctypes.POINTER(ctypes.c_int)]
    x11.XChangeKeyboardMapping.argtypes = [ctypes.c_void_p, ctypes.c_int, ctypes.c_int,
                                           ctypes.POINTER(ctypes.c_ulong), ctypes.c_int]
    x11.XFree.argtypes = [ctypes.c_void_p]
    x11.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
    x11.XCloseDisplay.argtypes = [ctypes.c_void_p]
    display = x11.XOpenDisplay(os.environ["DISPLAY"].encode())
    assert display, "cannot open the display to map keys"
    try:
        low, high, per_key = ctypes.c_int(), ctypes.c_int(), ctypes.c_int()
        x11.XDisplayKeycodes(display, ctypes.byref(low), ctypes.byref(high))
        count = high.value - low.value + 1
        mapping = x11.XGetKeyboardMapping(display, low.value, count, ctypes.byref(per_key))
        unused = [low.value + key for key in range(count)
                  if not any(mapping[key * per_key.value + i] for i in range(per_key.value))]
        x11.XFree(mapping)
        assert len(unused) >= len(chars) + 1, f"only {len(unused)} unused keys"
        # From the top: xdotool takes the lowest unused key for its own use.
        for char, key in zip(chars, reversed(unused)):
            keysym = 0x01000000 | ord(char)  # the Unicode keysym
            both = (ctypes.c_ulong * 2)(keysym, keysym)  # without and with Shift
            x11.XChangeKeyboardMapping(display, key, 2, both, 1)
        x11.XSync(display, 0)
    finally:
        x11.XCloseDisplay(display)


def rss_kib(pid):
    with open(f"/proc/{pid}/status") as status:
        for line in status:
            if line.startswith("VmRSS:"):
                return int(line.split()[1])
    raise AssertionError(f"no VmRSS for process {pid}")


class Launched(gui_test.Tessel):
    """A Tessel started from any command line (a wrapper, arguments, pipes).

    pid is the Tessel process itself, found below a wrapper if there is one."""

    def __init__(self, session, command, find_pid=None, own_session=True, **popen):
        self.process = subprocess.Popen(command, **popen)
        if own_session:
            session.program = self.process
        import pyatspi  # connects to the session's bus, so imported late
        self.pyatspi = pyatspi
        self.pid = self.process.pid
        if find_pid:
            self.pid = self.wait_for(lambda: find_pid(self.process),
                                     "the program below its wrapper")
        try:
            self.app = self.wait_for(self.find_app, "the application on the accessibility bus",
                                     30)
        except AssertionError:
            self.explain_missing()
            raise
        self.main = self.wait_for(lambda: self.frame("Tessel"), "the main window", 30)

    def explain_missing(self):
        """Prints what the accessibility bus offers instead of the program."""
        print(f"process {self.pid} running: {gui_test.alive(self.pid)}", file=sys.stderr)
        if self.process.poll() is not None:
            output = [pipe.read().decode(errors="replace") for pipe in
                      (self.process.stdout, self.process.stderr) if pipe is not None]
            print(f"it ended with status {self.process.returncode}: {output}", file=sys.stderr)
        desktop = self.pyatspi.Registry.getDesktop(0)
        print("applications seen here: " + ", ".join(
            f"{app.name!r} ({app.get_process_id()})" for app in desktop if app is not None),
            file=sys.stderr)
        fresh = subprocess.run(
            [sys.executable, "-c", "import pyatspi; print([(a.name, a.get_process_id()) for a "
             "in pyatspi.Registry.getDesktop(0) if a is not None])"],
            capture_output=True, text=True, timeout=30)
        print(f"applications a new client sees: {fresh.stdout.strip()} {fresh.stderr.strip()}",
              file=sys.stderr)

    def find_app(self):
        if self.process.poll() is not None:
            raise AssertionError(f"the program ended with status {self.process.returncode} "
                                 "before it showed up on the accessibility bus")
        desktop = self.pyatspi.Registry.getDesktop(0)
        for app in desktop:
            if app is not None and app.get_process_id() == self.pid:
                return app
        return None


# soak -------------------------------------------------------------------------

SEED = 20261211
EDITS = 2000
TYPED = HEX_DIGITS + " +-:xXG" + "\u0131\u0141\uff10"  # ı, Ł, fullwidth 0
PASTED = TYPED + "\U0001F600"  # an emoji: two UTF-16 code units, pasted only
LONGEST = 190  # characters kept in the field before it is cleared
RSS_GROWTH_LIMIT_KIB = 2048


class Entry:
    """What a single-line GTK entry holds after the keys the soak sends:
    the text, the cursor and the other end of the selection (character
    offsets, as GTK and AT-SPI count them)."""

    def __init__(self):
        self.text, self.cursor, self.anchor = "", 0, 0

    def selection(self):
        return min(self.cursor, self.anchor), max(self.cursor, self.anchor)

    def insert(self, chars):
        start, end = self.selection()
        self.text = self.text[:start] + chars + self.text[end:]
        self.cursor = self.anchor = start + len(chars)

    def erase(self, backwards):
        start, end = self.selection()
        if start == end:
            if backwards and start > 0:
                start -= 1
            elif not backwards and end < len(self.text):
                end += 1
        self.text = self.text[:start] + self.text[end:]
        self.cursor = self.anchor = start

    def move(self, key, extend):
        start, end = self.selection()
        if key == "Home":
            position = 0
        elif key == "End":
            position = len(self.text)
        elif not extend and start != end:  # an arrow first collapses the selection
            position = start if key == "Left" else end
        else:
            position = self.cursor + (-1 if key == "Left" else 1)
        self.cursor = max(0, min(len(self.text), position))
        if not extend:
            self.anchor = self.cursor

    def apply_key(self, name):
        if name == "BackSpace":
            self.erase(True)
        elif name == "Delete":
            self.erase(False)
        else:
            extend = name.startswith("shift+")
            self.move(name.split("+")[-1], extend)


class Soak:
    def __init__(self, app, rng):
        self.app, self.rng = app, rng
        self.entry = Entry()
        self.record = app.control(RECORD).queryText()
        self.length = app.control(LENGTH).queryText()
        self.checksum = app.control(CHECKSUM).queryText()
        self.calculate_at = centre(app, app.control(CALCULATE))
        self.record_at = centre(app, app.control(RECORD))
        self.focused = lambda n: app.state(n, app.pyatspi.STATE_FOCUSED)
        self.record_accessible = app.control(RECORD)
        self.resyncs = self.late_lengths = 0
        self.counts = {}

    def shown(self):
        selections = [self.record.getSelection(i) for i in range(self.record.getNSelections())]
        selected = [tuple(s) for s in selections if s[0] != s[1]]
        return self.record.getText(0, -1), self.record.caretOffset, selected

    def expected(self):
        start, end = self.entry.selection()
        return self.entry.text, self.entry.cursor, [(start, end)] if start != end else []

    def settle(self, what, seconds=5, length_shown=True):
        """Waits until the record field shows what the keys sent should give;
        then checks the length field against the text the field really has."""
        deadline = time.time() + seconds
        expected = self.expected()
        while True:
            shown = self.shown()
            if shown == expected:
                break
            if time.time() > deadline:
                if shown[0] != expected[0]:
                    fail(f"{what}: the record field shows {shown[0]!r}, "
                         f"expected {expected[0]!r}")
                else:
                    print(f"note: {what}: cursor/selection {shown[1:]} "
                          f"where {expected[1:]} was expected; following the field")
                self.entry.text, self.entry.cursor = shown[0], shown[1]
                self.entry.anchor = shown[1]
                if shown[2]:
                    start, end = shown[2][0]
                    self.entry.anchor = start if shown[1] == end else end
                self.resyncs += 1
                break
            time.sleep(0.003)
        if not length_shown:
            return
        text = shown[0]
        want = str(utf16_length(text))
        deadline = time.time() + 1
        length = self.length.getText(0, -1)
        if length != want:
            self.late_lengths += 1
            while length != want and time.time() < deadline:
                time.sleep(0.01)
                length = self.length.getText(0, -1)
        if length != want:
            fail(f"{what}: the length field shows {length!r} for the "
                 f"{want} code units of {text!r}")

    def chars(self, alphabet, most):
        return "".join(self.rng.choice(alphabet) for _ in range(self.rng.randint(1, most)))

    def keys(self, names):
        press(*names)
        for name in names:
            self.entry.apply_key(name)

    def type(self, chars):
        type_now(chars)
        self.entry.insert(chars)

    def paste(self, chars, what):
        owner = offer_clipboard(chars)
        try:
            press("ctrl+v")
            self.entry.insert(chars)
            self.settle(what)
        finally:
            end_clipboard(owner)

    def edit(self, number):
        rng = self.rng
        kind = rng.choices(["type", "backspace", "delete", "paste", "select", "move"],
                           [26, 12, 10, 16, 22, 14])[0]
        self.counts[kind] = self.counts.get(kind, 0) + 1
        what = f"edit {number} ({kind})"
        if kind == "type":
            self.type(self.chars(TYPED, 5))
        elif kind == "backspace":
            self.keys(["BackSpace"] * rng.randint(1, 3))
        elif kind == "delete":
            self.keys(["Left"] * rng.randint(0, 4) + ["Delete"] * rng.randint(1, 2))
        elif kind == "paste":
            self.paste(self.chars(PASTED, 4), what)
            return
        elif kind == "select":
            way = rng.choice(["shift+Left", "shift+Right", "shift+Home", "shift+End"])
            names = [way] * (rng.randint(1, 6) if way in ("shift+Left", "shift+Right") else 1)
            if way in ("shift+Right", "shift+End"):
                names = ["Left"] * rng.randint(1, 8) + names
            self.keys(names)
            replacement = rng.random()
            if replacement < 0.7:
                self.type(self.chars(TYPED, 5))
            elif replacement < 0.85:
                self.paste(self.chars(PASTED, 3), what)
                return
            else:
                self.keys([rng.choice(["BackSpace", "Delete"])])
        else:
            way = rng.choice(["Left", "Right", "Home", "End"])
            self.keys([way] * (rng.randint(1, 5) if way in ("Left", "Right") else 1))
            self.type(self.chars(TYPED, 3))
        self.settle(what)

    def calculate(self, number):
        want = expected_checksum(self.entry.text)
        click_at(*self.calculate_at)
        deadline = time.time() + 5
        while self.checksum.getText(0, -1) != want and time.time() < deadline:
            time.sleep(0.005)
        # Back to the record field, cursor at the end. The field takes the
        # focus back only after the click on Calculate has been handled, so
        # the checksum read after that is the one this Calculate wrote.
        click_at(*self.record_at)
        press("End")
        self.entry.move("End", False)
        deadline = time.time() + 5
        while not self.focused(self.record_accessible) and time.time() < deadline:
            time.sleep(0.005)
        self.settle(f"back in the record field after Calculate {number}")
        check(f"checksum after edit {number} of {self.entry.text!r}",
              self.checksum.getText(0, -1), want)

    def clear(self, number):
        press("ctrl+a", "Delete")
        self.entry = Entry()
        self.settle(f"clearing before edit {number}")


def scenario_soak(session, program):
    for text, value in [("0300300002337A", "1E"), ("GG", "00"), (" A", "F6"), ("-F", "0F"),
                        ("0x", "00"), ("x5", "00"), ("+5", "FB"), ("5\0", "FB"),
                        ("\u0131\u0141", "E6"), ("\U0001F600", "00"), ("0", "Error")]:
        assert expected_checksum(text) == value, f"the test's own checksum of {text!r}"
    print(f"seed {SEED}, {EDITS} edits")
    rng = random.Random(SEED)
    bind_keys([char for char in TYPED if not char.isascii()])
    app = gui_test.Tessel(session, program)
    soak = Soak(app, rng)
    # Clicking the field both gives it the focus and puts the pointer over
    # the window, where it stays for the keys that follow.
    click_at(*soak.record_at)
    soak.settle("the first click", length_shown=False)  # empty until the first edit
    started = time.time()
    rss_early = None
    for number in range(1, EDITS + 1):
        if len(soak.entry.text) > LONGEST:
            soak.clear(number)
        soak.edit(number)
        if number % 10 == 0:
            soak.calculate(number)
        if number == 100:
            rss_early = rss_kib(app.process.pid)
            print(f"VmRSS after {number} edits: {rss_early} KiB")
        if number % 250 == 0:
            print(f"{number} edits, {time.time() - started:.0f} s")
        if len(gui_test.failures) > 20:
            raise AssertionError(f"stopped after edit {number}: too many failures")
    rss_end = rss_kib(app.process.pid)
    print(f"VmRSS after {number} edits: {rss_end} KiB "
          f"({rss_end - rss_early:+d} KiB since edit 100)")
    print(f"{number} edits in {time.time() - started:.0f} s: "
          + ", ".join(f"{kind} {count}" for kind, count in sorted(soak.counts.items()))
          + f"; {soak.resyncs} resyncs, {soak.late_lengths} late length updates")
    check(f"VmRSS grew by more than {RSS_GROWTH_LIMIT_KIB} KiB",
          rss_end - rss_early > RSS_GROWTH_LIMIT_KIB, False)


# display-lost -----------------------------------------------------------------


class DisplaySession(RobustSession):
    """A session whose X server the scenario ends while the program runs."""

    def end_display(self, signal_number):
        os.kill(self.xvfb.pid, signal_number)
        self.xvfb.wait()


def start_accessibility_bus():
    """Has the session bus start the accessibility bus now, so that the files
    its launcher keeps in XDG_RUNTIME_DIR exist before the program starts."""
    subprocess.run(["dbus-send", "--session", "--print-reply", "--dest=org.a11y.Bus",
                    "/org/a11y/bus", "org.a11y.Bus.GetAddress"],
                   check=True, stdout=subprocess.DEVNULL, timeout=15)


def listing(folder, skip=lambda name: False):
    """Every path below folder (directories end in /), relative to it."""
    found = set()
    for root, dirs, files in os.walk(folder):
        relative = os.path.relpath(root, folder)
        if relative == ".":
            dirs[:] = [d for d in dirs if not skip(d)]
            files = [f for f in files if not skip(f)]
        for name in dirs:
            found.add(os.path.normpath(os.path.join(relative, name)) + "/")
        for name in files:
            found.add(os.path.normpath(os.path.join(relative, name)))
    return found


def xvfb_entry(name):
    return name == ".X11-unix" or re.fullmatch(r"\.X[0-9]+-lock", name) is not None


def private_tmp_works():
    try:
        return subprocess.run(["unshare", "--mount", "--propagation", "private", "--", "true"],
                              stderr=subprocess.DEVNULL).returncode == 0
    except OSError:
        return False


def with_private_tmp(private, shared, command):
    """command, run with the folder private mounted over /tmp (in a mount
    namespace of its own), the entries of /tmp named in shared still reaching
    the real ones. What the program puts into /tmp then lands in private,
    untouched by anyone else using /tmp meanwhile. unshare execs without
    forking, so the process started is the program itself."""
    script = ["set -e"]
    for name in shared:
        if os.path.isdir("/tmp/" + name):
            os.makedirs(os.path.join(private, name))
        else:  # a socket, such as the session bus's: bound onto an empty file
            open(os.path.join(private, name), "w").close()
        script.append(f"mount --bind {shlex.quote('/tmp/' + name)} "
                      f"{shlex.quote(os.path.join(private, name))}")
    script.append(f"mount --rbind {shlex.quote(private)} /tmp")  # with the binds inside
    script.append('exec "$@"')
    return ["unshare", "--mount", "--propagation", "private", "--",
            "/bin/sh", "-c", "; ".join(script), "sh", *command]


class Drain:
    """Collects a pipe's output in the background, so that a program that
    writes a lot never blocks on it."""

    def __init__(self, pipe):
        self.data = b""
        self.thread = threading.Thread(target=self.read, args=(pipe,), daemon=True)
        self.thread.start()

    def read(self, pipe):
        for chunk in iter(lambda: pipe.read1(65536), b""):
            self.data += chunk
        pipe.close()

    def text(self, seconds=5):
        self.thread.join(seconds)
        return self.data.decode(errors="replace")


def display_lost_once(program, signal_name, reader):
    """One display loss: Xvfb ended with signal_name; with reader "read" the
    window is found and its fields read through AT-SPI first, as a screen
    reader would, otherwise only xdotool looks at it."""
    signal_number = signal.Signals[signal_name]
    how = f"{signal_name}, {'after AT-SPI reads' if reader == 'read' else 'no AT-SPI client'}"
    session = DisplaySession()
    base = tempfile.mkdtemp(prefix="tessel-robust-")
    process = None
    try:
        home, private = os.path.join(base, "home"), os.path.join(base, "tmp")
        os.makedirs(home)
        os.makedirs(private)
        env = dict(os.environ, HOME=home)
        for name in ("XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_DATA_HOME", "XDG_STATE_HOME"):
            env.pop(name, None)
        # What the program must still reach in /tmp: the display's socket, the
        # session's runtime folder, the session bus, the fresh HOME, and the
        # program itself if it was built below /tmp.
        needed = ["/tmp/.X11-unix", session.tmp, base, program,
                  bus_socket(os.environ["DBUS_SESSION_BUS_ADDRESS"])]
        shared = sorted({path.split("/")[2] for path in needed if path.startswith("/tmp/")})
        folders = {"XDG_RUNTIME_DIR": lambda: listing(session.tmp), "HOME": lambda: listing(home)}
        if private_tmp_works():
            command = with_private_tmp(private, shared, [program])
            folders["/tmp"] = lambda: listing(private, lambda name: name in shared)
        else:
            print("note: no mount namespace here; comparing the top of the shared /tmp, "
                  "where others' files may show up")
            command = [program]
            folders["/tmp"] = lambda: {name for name in os.listdir("/tmp")
                                       if not xvfb_entry(name) and name not in shared}
        start_accessibility_bus()
        before = {what: list_now() for what, list_now in folders.items()}

        if reader == "read":
            app = Launched(session, command, env=env, stderr=subprocess.PIPE)
            process = app.process
            stderr = Drain(process.stderr)
            check(f"Xvfb {how}: fields before", app.fields(), ("", "", ""))
        else:
            process = subprocess.Popen(command, env=env, stderr=subprocess.PIPE)
            session.program = process
            stderr = Drain(process.stderr)
        try:
            subprocess.run(["xdotool", "search", "--sync", "--all", "--onlyvisible", "--pid",
                            str(process.pid), "--name", "^Tessel$"],
                           capture_output=True, timeout=15)
        except subprocess.TimeoutExpired:
            raise AssertionError("the window never came up") from None

        session.end_display(signal_number)
        ended = time.time()
        try:
            status = process.wait(timeout=2)
            took = time.time() - ended
        except subprocess.TimeoutExpired:
            status, took = None, None
        message = stderr.text(1 if status is None else 5)
        if status is None:
            fail(f"Xvfb {how}: the program still runs 2 s after the display went away")
            end(process)
        else:
            print(f"Xvfb {how}: the program ended {took:.3f} s later with status {status}")
        print(f"Xvfb {how}: its stderr: {message!r}")
        if status is not None:
            check(f"Xvfb {how}: exit status is non-zero", status != 0, True)
        check(f"Xvfb {how}: a message on stderr", bool(message.strip()), True)
        for what, list_now in folders.items():
            check(f"Xvfb {how}: entries added to {what}", sorted(list_now() - before[what]), [])
    finally:
        if process is not None:
            end(process)
        session.close()
        subprocess.run(["rm", "-rf", base])


def scenario_display_lost(program):
    # Xvfb ended politely (it closes its clients' connections) and killed
    # outright (the connections just break); each with and without an AT-SPI
    # client having talked to the program. Each in a process of its own, as
    # the AT-SPI library stays with the first session bus it was given.
    for signal_name in ("SIGTERM", "SIGKILL"):
        for reader in ("plain", "read"):
            done = subprocess.run([sys.executable, os.path.abspath(__file__), program,
                                   "display-lost-once", signal_name, reader])
            if done.returncode != 0:
                fail(f"display lost ({signal_name}, {reader}): see above")


def scenario_display_lost_once(program, signal_name, reader):
    display_lost_once(program, signal_name, reader)


# two-instances ----------------------------------------------------------------


def shown_text(app, control_id, want, seconds=5):
    """The control's text once it shows want, or what it shows after seconds."""
    accessible = app.control(control_id).queryText()
    deadline = time.time() + seconds
    while True:
        text = accessible.getText(0, -1)
        if text == want or time.time() > deadline:
            return text
        time.sleep(0.01)


def main_window_id(app):
    found = subprocess.run(["xdotool", "search", "--all", "--onlyvisible", "--pid",
                            str(app.pid), "--name", "^Tessel$"],
                           capture_output=True, text=True).stdout.split()
    assert len(found) == 1, f"X windows of process {app.pid} named Tessel: {found}"
    return found[0]


def focus_record(app, window):
    """Clicks the record field. With no window manager on the display, nobody
    turns that click into keyboard focus for the window, so the X focus is
    moved as a window manager would on a click."""
    click_at(*centre(app, app.control(RECORD)))
    xdo("windowfocus", "--sync", window)
    deadline = time.time() + 5
    while not app.state(app.control(RECORD), app.pyatspi.STATE_FOCUSED):
        assert time.time() < deadline, "the record field never got the focus"
        time.sleep(0.01)


def scenario_two_instances(session, program):
    first = Launched(session, [program], own_session=False)
    programs = [first.process]
    try:
        second = Launched(session, [program], own_session=False)
        programs.append(second.process)
        windows = {}
        # Both open at the centre of the screen; put them side by side.
        for app, x in ((first, 20), (second, 660)):
            windows[app] = main_window_id(app)
            xdo("windowmove", "--sync", windows[app], str(x), "100")
            deadline = time.time() + 5
            while app.main.queryComponent().getExtents(app.pyatspi.DESKTOP_COORDS)[0] != x:
                assert time.time() < deadline, f"window {windows[app]} never moved to x={x}"
                time.sleep(0.01)
        records = {first: ("0300300002337A", "1E"),
                   second: ("10010000214601360121470136007EFE09D21901", "40")}
        for app, name in ((first, "first"), (second, "second")):
            focus_record(app, windows[app])
            type_now(records[app][0])
            check(f"{name}: record typed", shown_text(app, RECORD, records[app][0]),
                  records[app][0])
        for app, name in ((first, "first"), (second, "second")):
            click_at(*centre(app, app.control(CALCULATE)))
        for app, name in ((first, "first"), (second, "second")):
            record, checksum = records[app]
            check(f"{name}: checksum", shown_text(app, CHECKSUM, checksum), checksum)
            check(f"{name}: its fields", app.fields(), (record, str(len(record)), checksum))

        focus_record(second, windows[second])
        press("Escape")
        check("second: exit status after Escape", second.exit_status(), 0)
        check("first: fields once the second has gone", first.fields(),
              (records[first][0], str(len(records[first][0])), records[first][1]))

        focus_record(first, windows[first])
        press("End")
        type_now("1E")
        check("first: record after more typing", shown_text(first, RECORD, "0300300002337A1E"),
              "0300300002337A1E")
        check("first: length after more typing", shown_text(first, LENGTH, "16"), "16")
        click_at(*centre(first, first.control(CALCULATE)))
        check("first: checksum of the completed record", shown_text(first, CHECKSUM, "00"),
              "00")
        focus_record(first, windows[first])
        press("Escape")
        check("first: exit status after Escape", first.exit_status(), 0)
    finally:
        for process in programs:
            end(process)


# nothing-stored ---------------------------------------------------------------

TRACED = "%file,%network,write,writev,pwrite64,pwritev,pwritev2"
# Calls in TRACED that change the file system when they succeed. Opening
# for writing is judged by its flags.
CHANGING = {"creat", "mkdir", "mkdirat", "rename", "renameat", "renameat2", "unlink",
            "unlinkat", "rmdir", "link", "linkat", "symlink", "symlinkat", "mknod", "mknodat",
            "truncate", "chmod", "fchmodat", "fchmodat2", "chown", "lchown", "fchownat",
            "utime", "utimes", "utimensat", "futimesat", "setxattr", "lsetxattr",
            "removexattr", "lremovexattr"}
OPENS = {"open", "openat", "openat2", "creat"}
WRITES = {"write", "writev", "pwrite64", "pwritev", "pwritev2"}
WRITING_FLAGS = {"O_WRONLY", "O_RDWR", "O_CREAT", "O_TRUNC"}


def trace_calls(path):
    """(pid, call name, arguments, result) for each finished call in an
    strace -f log, with calls split by other threads put back together."""
    pending = {}
    with open(path, errors="replace") as log:
        for line in log:
            pid, _, rest = line.rstrip("\n").strip().partition(" ")
            rest = rest.strip()
            if not pid.isdigit() or rest.startswith(("+++", "---")):
                continue
            if rest.endswith("<unfinished ...>"):
                pending[pid] = rest[:-len("<unfinished ...>")]
                continue
            resumed = re.match(r"<\.\.\. \w+ resumed>", rest)
            if resumed:
                rest = pending.pop(pid, "") + rest[resumed.end():]
            call, paren, arguments = rest.partition("(")
            if not paren or " = " not in arguments:
                continue
            arguments, result = arguments.rsplit(" = ", 1)
            yield int(pid), call, arguments.rstrip().removesuffix(")"), result.strip()


def fd_of(text):
    """The descriptor and what strace -yy says it is, from '3</path>'. The
    description may hold a '>' of its own, as in UNIX-STREAM:[12->34]."""
    found = re.match(r"\s*(-?\d+)(?:<(.*?)>(?=[,)\s]|$))?", text)
    return (int(found.group(1)), found.group(2)) if found else (None, None)


def quoted(arguments):
    return [re.sub(r"\\(.)", r"\1", s) for s in re.findall(r'"((?:[^"\\]|\\.)*)"', arguments)]


def sun_path(arguments):
    found = re.search(r'sun_path=(@?)"((?:[^"\\]|\\.)*)"', arguments)
    return (found.group(1) + found.group(2)) if found else None


def bus_socket(address):
    """The socket (path, or @name if abstract) a D-Bus address names."""
    for part in address.split(";"):
        kind, _, keys = part.partition(":")
        values = dict(key.split("=", 1) for key in keys.split(",") if "=" in key)
        if kind == "unix" and "path" in values:
            return values["path"]
        if kind == "unix" and "abstract" in values:
            return "@" + values["abstract"]
    raise AssertionError(f"no unix socket in bus address {address!r}")


def accessibility_bus_address():
    reply = subprocess.run(["dbus-send", "--session", "--print-reply=literal",
                            "--dest=org.a11y.Bus", "/org/a11y/bus", "org.a11y.Bus.GetAddress"],
                           check=True, capture_output=True, text=True, timeout=15).stdout
    return reply.strip()


def regular_file(kind):
    """Whether an strace -yy descriptor description names a file on disk."""
    return bool(kind) and kind.startswith("/") and not kind.startswith("/memfd:") and (
        kind.startswith("/dev/shm/") or not kind.startswith(("/dev/", "/proc/", "/sys/")))


def judge_trace(path, cache, allowed_peers, bridge_socket, cwd):
    """Goes through the trace; returns the list of what the program must not
    have done, and prints what it saw."""
    wrong = []
    seen = {"calls": 0, "pids": set(), "read-only opens": 0, "cache opens": [],
            "writes": {}, "connections": {}, "bridge": []}
    sockets = {}  # descriptor -> [family, connected to an allowed peer]
    files = {}    # descriptor -> what it was opened as, where strace gave no -yy name

    def absolute(name, dirfd=None):
        if name.startswith("/"):
            return os.path.normpath(name)
        base = dirfd if dirfd and dirfd.startswith("/") else cwd
        return os.path.normpath(os.path.join(base, name))

    def inside_cache(name):
        return name == cache or name.startswith(cache + "/")

    for pid, call, arguments, result in trace_calls(path):
        seen["calls"] += 1
        seen["pids"].add(pid)
        ok = not result.startswith("-1")
        if call in OPENS:
            names = quoted(arguments)
            if not names:
                continue
            dirfd = re.match(r"\s*AT_FDCWD<(.*?)>", arguments) or re.match(
                r"\s*-?\d+<(.*?)>", arguments)
            name = absolute(names[0], dirfd.group(1) if dirfd else None)
            fd, kind = fd_of(result)
            if ok:
                files[fd] = kind or name
                name = kind if kind and kind.startswith("/") else name
            flags = set(re.findall(r"\bO_[A-Z]+\b", arguments))
            writing = call == "creat" or bool(flags & WRITING_FLAGS)
            if not writing:
                seen["read-only opens"] += ok
            elif name.startswith("/dev/") and not name.startswith("/dev/shm/"):
                seen.setdefault("devices", []).append(f"{call} {name} {result}")
            elif inside_cache(name):
                seen["cache opens"].append(name)
            elif ok:
                wrong.append(f"{call} for writing: {name} ({'|'.join(sorted(flags))})")
            else:
                seen.setdefault("failed attempts", []).append(f"{call} {name}: {result}")
        elif call in CHANGING:
            names = [absolute(n) for n in quoted(arguments)]
            if bridge_socket in names and call in ("chmod", "unlink"):
                seen["bridge"].append(f"{call} -> {result}")
            elif all(inside_cache(n) for n in names):
                if ok:
                    seen["cache opens"].append(f"{call} {' '.join(names)}")
            elif ok:
                wrong.append(f"{call} {' '.join(names)} = {result}")
            else:
                seen.setdefault("failed attempts", []).append(f"{call} {' '.join(names)}: {result}")
        elif call in WRITES:
            fd, kind = fd_of(arguments)
            kind = kind or files.get(fd)
            if regular_file(kind) and not inside_cache(kind):
                wrong.append(f"{call} to the file {kind} (fd {fd})")
            label = re.sub(r"[:\[].*", "", kind or "?") if not regular_file(kind) else kind
            seen["writes"][label] = seen["writes"].get(label, 0) + 1
        elif call in ("socket", "socketpair"):
            family = re.match(r"\s*(\w+)", arguments).group(1)
            if call == "socketpair":
                seen.setdefault("socket pairs", []).append(family)
                if family not in ("AF_UNIX", "AF_LOCAL"):
                    wrong.append(f"socketpair({family})")
            elif ok:
                fd, kind = fd_of(result)
                sockets[fd], files[fd] = [family, False, pid], kind
        elif call == "connect":
            fd, _ = fd_of(arguments)
            peer = sun_path(arguments) or re.sub(r"^\s*-?\d+(<.*?>)?,\s*|,\s*\d+\s*$", "",
                                                 arguments)
            seen["connections"][peer] = seen["connections"].get(peer, 0) + 1
            if peer in allowed_peers and fd in sockets:
                sockets[fd][1] = sockets[fd][1] or ok
            else:
                wrong.append(f"connect to {peer} = {result}")
        elif call == "bind":
            fd, _ = fd_of(arguments)
            where = sun_path(arguments)
            if where == bridge_socket and ok:
                seen["bridge"].append("bind")
                if fd in sockets:
                    sockets[fd][1] = True
            else:
                wrong.append(f"bind to {where or arguments} = {result}")
        elif call in ("accept", "accept4") and ok:
            seen["bridge"].append(call)
            accepted, kind = fd_of(result)
            sockets.pop(accepted, None)
            files[accepted] = kind
        elif call == "execve" and len(seen["pids"]) > 1:
            seen.setdefault("programs started", []).append(quoted(arguments)[:1])

    for fd, (family, allowed, pid) in sorted(sockets.items()):
        if not allowed:
            wrong.append(f"socket {family} (fd {fd}, thread {pid}) never connected to "
                         "the display or a bus")
    if "bind" in seen["bridge"] and not any(b.startswith("unlink -> 0") for b in seen["bridge"]):
        wrong.append(f"the accessibility socket {bridge_socket} was never removed")

    print(f"trace: {seen['calls']} calls in {len(seen['pids'])} threads; "
          f"{seen['read-only opens']} files opened for reading")
    for peer, count in sorted(seen["connections"].items()):
        print(f"  connect {peer}: {count}x")
    print(f"  accessibility bridge's own socket {bridge_socket}: "
          f"{', '.join(seen['bridge']) or 'not made'}")
    print(f"  writes by kind of descriptor: {seen['writes']}")
    print(f"  written or made inside {cache}: {sorted(set(seen['cache opens'])) or 'nothing'}")
    for key in ("devices", "failed attempts", "socket pairs", "programs started"):
        if key in seen:
            print(f"  {key}: {seen[key]}")
    return wrong


def strace_child(strace):
    """The traced program's PID, once strace has started it."""
    try:
        with open(f"/proc/{strace.pid}/task/{strace.pid}/children") as children:
            found = children.read().split()
    except OSError:
        return None
    return int(found[0]) if found else None


def scenario_nothing_stored(session, program):
    base = tempfile.mkdtemp(prefix="tessel-robust-")
    home, runtime, cwd = (os.path.join(base, name) for name in ("home", "runtime", "work"))
    cache = os.path.join(home, ".cache")
    for folder in (home, runtime, cwd):
        os.makedirs(folder, mode=0o700)
    env = dict(os.environ, HOME=home, XDG_CACHE_HOME=cache,
               XDG_CONFIG_HOME=os.path.join(home, ".config"),
               XDG_DATA_HOME=os.path.join(home, ".local", "share"),
               XDG_STATE_HOME=os.path.join(home, ".local", "state"),
               XDG_RUNTIME_DIR=runtime)
    display = int(os.environ["DISPLAY"].lstrip(":"))
    elsewhere = 99 if display != 99 else 98  # a display the arguments point at, not ours
    arguments = ["--help", "foo.hex", f"--display=:{elsewhere}"]
    x_socket = f"/tmp/.X11-unix/X{display}"
    accessibility = accessibility_bus_address()
    allowed = {x_socket, "@" + x_socket, bus_socket(os.environ["DBUS_SESSION_BUS_ADDRESS"]),
               bus_socket(accessibility)}
    trace = os.path.join(base, "trace")
    try:
        app = Launched(session, ["strace", "-f", "-yy", "-e", f"trace={TRACED}", "-o", trace,
                                 program, *arguments], find_pid=strace_child,
                       env=env, cwd=cwd, stdout=subprocess.PIPE, stderr=subprocess.PIPE)
        strace = app.process
        stdout, stderr = Drain(strace.stdout), Drain(strace.stderr)
        window = subprocess.run(["xdotool", "search", "--all", "--onlyvisible", "--pid",
                                 str(app.pid), "--name", "^Tessel$"],
                                capture_output=True, text=True).stdout.split()
        check(f"windows on display :{display} despite {' '.join(arguments)}", len(window), 1)

        app.click(app.control(RECORD))
        gui_test.type_text("0300300002337A")
        app.click(app.control(CALCULATE))
        check("fields under strace", app.fields(), ("0300300002337A", "14", "1E"))
        gui_test.keys("alt+space")
        gui_test.keys("Up", "Return")
        app.wait_for(lambda: app.frame(gui_test.ABOUT), "the About box", 10)
        gui_test.keys("Return")
        app.wait_for(lambda: not app.frame(gui_test.ABOUT), "the About box to close", 10)
        gui_test.keys("Escape")
        check("exit status after Escape", app.exit_status(15), 0)
        for name, output in (("stdout", stdout), ("stderr", stderr)):
            if output.text().strip():
                print(f"{name}: {output.text().strip()}")

        bridge_socket = os.path.join(runtime, f"at-spi2-socket-{app.pid}")
        for what in judge_trace(trace, cache, allowed, bridge_socket, cwd):
            fail(f"under strace: {what}")
        left = sorted(path for path in listing(home) | {
            os.path.join("runtime", path) for path in listing(runtime)}
            if not (path == ".cache/" or path.startswith(".cache/")))
        check("files left in HOME and XDG_RUNTIME_DIR (outside ~/.cache)", left, [])
    finally:
        # The program first (strace would pass it the signal too), then strace.
        strace = session.program
        if strace is not None:
            traced = strace_child(strace) if strace.poll() is None else None
            if traced:
                stop(traced)
            end(strace)
        subprocess.run(["rm", "-rf", base])


# Scenarios that start their sessions themselves.
OWN_SESSIONS = {"display-lost", "display-lost-once"}


def main():
    sys.stdout.reconfigure(line_buffering=True)
    program, scenario = os.path.realpath(sys.argv[1]), sys.argv[2]
    run = globals()["scenario_" + scenario.replace("-", "_")]
    if scenario in OWN_SESSIONS:
        try:
            run(program, *sys.argv[3:])
        except AssertionError as error:
            fail(str(error))
    else:
        session = RobustSession()
        try:
            run(session, program)
        except AssertionError as error:
            fail(str(error))
        finally:
            session.close()
    if gui_test.failures:
        print(f"{len(gui_test.failures)} check(s) failed", file=sys.stderr)
        sys.exit(1)
    print("all checks passed")


if __name__ == "__main__":
    main()
