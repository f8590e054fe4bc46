#!/usr/bin/env python3
"""Real-window tests of the program and its probes.

Each test case starts its own Xvfb on a free display (Xvfb -displayfd),
with no window manager or, given --window-manager, under openbox, runs the
program in it, finds its window, types with xdotool, waits by
polling the window or the screen, compares screenshots (mapped back to
colour indices) with the page that page_dump leaves for the same keys,
closes the window as a user's close box does (close_window sends
WM_DELETE_WINDOW) and stops everything it started.

Usage: window_harness.py --program P --probe P --page-dump P --close-window P --watch P CASE
"""

import argparse
import ctypes
import os
import re
import subprocess
import sys
import tempfile
import threading
import time

WINDING_TITLE = "DC MOTOR WINDINGS: TWO LAYER, MULTIPLEX WAVE WINDING"
WAIT_SECONDS = 15.0
POLL_SECONDS = 0.05
SCREEN = (1600, 1200)


# The data that runs the winding routine to its end: 2p = 4, z = 21, m = 1,
# then a key at the finished diagram and one at the closing prompt.
RUN_TO_END = ["text:4", "text:\\r", "text:2", "text:1", "text:\\r", "text:1", "text:\\r", "text:x", "text:y"]


class TestFailure(Exception):
    pass


def check(condition, message):
    if not condition:
        raise TestFailure(message)


def wait_until(predicate, what, timeout=WAIT_SECONDS):
    """Polls predicate until it gives a true value, which is returned."""
    deadline = time.monotonic() + timeout
    while True:
        value = predicate()
        if value:
            return value
        if time.monotonic() > deadline:
            raise TestFailure("timed out waiting for " + what)
        time.sleep(POLL_SECONDS)


class Xvfb:
    def __init__(self, screen=SCREEN):
        read_end, write_end = os.pipe()
        self.process = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "%dx%dx24" % screen, "-nolisten", "tcp",
             "-noreset"],
            pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_end)
        number = b""
        with os.fdopen(read_end, "rb") as reader:
            while not number.endswith(b"\n"):
                chunk = reader.read(1)
                if not chunk:
                    break
                number += chunk
        if not number.strip():
            self.stop()
            raise TestFailure("Xvfb did not start")
        self.display = ":" + number.decode().strip()

    def stop(self):
        if self.process.poll() is None:
            self.process.terminate()
            try:
                self.process.wait(timeout=10)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()


def x_selection_owned(display, selection):
    """Whether some client owns the selection on the display (Xlib through ctypes)."""
    xlib = ctypes.CDLL("libX11.so.6")
    xlib.XOpenDisplay.restype = ctypes.c_void_p
    xlib.XOpenDisplay.argtypes = [ctypes.c_char_p]
    xlib.XInternAtom.restype = ctypes.c_ulong
    xlib.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
    xlib.XGetSelectionOwner.restype = ctypes.c_ulong
    xlib.XGetSelectionOwner.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
    xlib.XCloseDisplay.argtypes = [ctypes.c_void_p]
    connection = xlib.XOpenDisplay(display.encode())
    if not connection:
        return False
    try:
        return xlib.XGetSelectionOwner(connection, xlib.XInternAtom(connection, selection.encode(), 0)) != 0
    finally:
        xlib.XCloseDisplay(connection)


class Session:
    """One Xvfb, the tools run against it and the programs started in it;
    with a window manager (openbox) and a compositor (picom) if asked."""

    def __init__(self, args, screen=SCREEN, window_manager=None, compositor=False):
        self.args = args
        self.screen = screen
        self.xvfb = Xvfb(screen)
        self.env = dict(os.environ, DISPLAY=self.xvfb.display)
        self.programs = []
        self.helpers = []
        self.workdir = tempfile.TemporaryDirectory(prefix="window_test_")
        self._colour_index = None
        if window_manager is None:
            window_manager = getattr(args, "window_manager", False)
        try:
            if window_manager:
                self.start_window_manager()
            if compositor:
                self.start_compositor()
        except BaseException:
            self.close()
            raise

    def close(self):
        for program in self.programs + self.helpers:
            program.stop()
        self.xvfb.stop()
        self.workdir.cleanup()

    def start_helper(self, *command):
        helper = Program(command[0], command[1:], self.env)
        self.helpers.append(helper)
        return helper

    def start_window_manager(self):
        """openbox with its default desktop conventions (maximize, full screen,
        aspect hints), running once it names itself on the root window."""
        manager = self.start_helper("openbox", "--sm-disable")

        def running():
            check(manager.process.poll() is None, "openbox ended at once")
            text = self.tool("xprop", "-root", "_NET_SUPPORTING_WM_CHECK", check_result=False).stdout.decode()
            return "window id" in text

        wait_until(running, "openbox to manage the screen")

    def start_compositor(self):
        """picom, running once it owns the compositing selection."""
        compositor = self.start_helper("picom", "--backend", "xrender", "--no-fading-openclose")

        def running():
            check(compositor.process.poll() is None, "picom ended at once")
            return x_selection_owned(self.xvfb.display, "_NET_WM_CM_S0")

        wait_until(running, "picom to composite the screen")

    def tool(self, *command, check_result=True, timeout=20):
        try:
            result = subprocess.run(command, env=self.env, capture_output=True, timeout=timeout)
        except subprocess.TimeoutExpired:
            raise TestFailure("%s did not finish within %d s" % (" ".join(command), timeout))
        if check_result and result.returncode != 0:
            raise TestFailure("%s failed: %s" % (" ".join(command), result.stderr.decode(errors="replace")))
        return result

    def start(self, executable, *arguments):
        program = Program(executable, arguments, self.env)
        self.programs.append(program)
        return program

    def watch(self, *arguments, seconds=None):
        """window_watch against this screen, listening once this returns; it
        gives up after `seconds` (by default its own 30)."""
        env = self.env if seconds is None else dict(self.env, WINDOW_WATCH_TIMEOUT=str(seconds))
        watch = Watch(self.args.watch, arguments, env)
        self.programs.append(watch)
        return watch

    # --- windows -------------------------------------------------------

    def find_window(self, title):
        pattern = "^" + re.escape(title) + "$"
        result = self.tool("xdotool", "search", "--sync", "--name", pattern, timeout=WAIT_SECONDS)
        ids = result.stdout.decode().split()
        check(ids, "no window named " + title)
        return ids[0]

    def window_exists(self, window):
        return self.tool("xwininfo", "-id", window, check_result=False).returncode == 0

    def windows_named(self, title):
        result = self.tool("xdotool", "search", "--name", "^" + re.escape(title) + "$", check_result=False)
        return result.stdout.decode().split()

    def size(self, window):
        result = self.tool("xwininfo", "-id", window, check_result=False)
        if result.returncode != 0:
            return None
        text = result.stdout.decode()
        width = re.search(r"Width: (\d+)", text)
        height = re.search(r"Height: (\d+)", text)
        return (int(width.group(1)), int(height.group(1))) if width and height else None

    def position(self, window):
        text = self.tool("xwininfo", "-id", window).stdout.decode()
        return (int(re.search(r"Absolute upper-left X:\s+(-?\d+)", text).group(1)),
                int(re.search(r"Absolute upper-left Y:\s+(-?\d+)", text).group(1)))

    def name(self, window):
        return self.tool("xdotool", "getwindowname", window).stdout.decode().rstrip("\n")

    def children(self, window):
        """(id, name) of the direct children, in stacking order from the top."""
        text = self.tool("xwininfo", "-children", "-id", window).stdout.decode()
        found = re.findall(r'^\s+(0x[0-9a-f]+) (?:"(.*)"|\(has no name\))', text, re.MULTILINE)
        return [(child, name) for child, name in found]

    def wait_for_size(self, window, size):
        wait_until(lambda: self.size(window) == size, "window size %d x %d (it is %s)" % (size + (self.size(window),)))

    def focus(self, window):
        self.tool("xdotool", "windowfocus", "--sync", window)

    def key(self, *keysyms):
        self.tool("xdotool", "key", *keysyms)

    def send_tokens(self, tokens):
        for token in tokens:
            for keysym in token_keysyms(token):
                self.key(keysym)

    def close_window(self, window):
        self.tool(self.args.close_window, window)

    # --- pictures ------------------------------------------------------

    def screenshot(self, window):
        """(width, height, rgb bytes) of the client area, or None."""
        result = self.tool("import", "-window", window, "-depth", "8", "ppm:-", check_result=False)
        if result.returncode != 0:
            return None
        return parse_pnm(result.stdout)

    def colour_index(self):
        """{0xRRGGBB: colour number} of the page's 16 colours, as page_dump gives them."""
        if self._colour_index is None:
            lines = self.tool(self.args.page_dump, "--palette").stdout.decode().split()
            self._colour_index = {int(rgb, 16): number for number, rgb in enumerate(lines)}
        return self._colour_index

    def screen_indices(self, window):
        shot = self.screenshot(window)
        if shot is None:
            return None
        width, height, rgb = shot
        indices = bytearray(width * height)
        colour_index = self.colour_index()
        for i in range(width * height):
            colour = (rgb[3 * i] << 16) | (rgb[3 * i + 1] << 8) | rgb[3 * i + 2]
            indices[i] = colour_index.get(colour, 255)
        return width, height, bytes(indices)

    def expected_page(self, routine, tokens):
        """The page of a headless run with these keys, and how the run ended."""
        out = os.path.join(self.workdir.name, "expected.pgm")
        result = self.tool(self.args.page_dump, routine, out, *tokens)
        info = dict(line.split(" ", 1) for line in result.stdout.decode().splitlines() if " " in line)
        with open(out, "rb") as f:
            width, height, pixels = parse_pnm(f.read())
        return (width, height, pixels), info

    def wait_for_picture(self, window, expected, what, timeout=WAIT_SECONDS):
        width, height, pixels = expected
        last = {}

        def matches():
            shot = self.screen_indices(window)
            last["shot"] = shot
            return shot is not None and shot[0] == width and shot[1] == height and shot[2] == pixels

        try:
            wait_until(matches, what, timeout)
        except TestFailure:
            shot = last.get("shot")
            if shot is None:
                detail = "no screenshot"
            elif shot[:2] != (width, height):
                detail = "screen %d x %d, page %d x %d" % (shot[0], shot[1], width, height)
            else:
                differing = sum(1 for a, b in zip(shot[2], pixels) if a != b)
                detail = "%d pixels differ" % differing
            raise TestFailure("the window never showed %s (%s)" % (what, detail))


class Program:
    def __init__(self, executable, arguments, env, cwd=None):
        self.process = subprocess.Popen([executable, *arguments], env=env, cwd=cwd, stdout=subprocess.PIPE,
                                        stderr=subprocess.PIPE)
        self.lines = []
        self.stderr = b""
        self.lock = threading.Lock()
        self.reader = threading.Thread(target=self._read_stdout, daemon=True)
        self.reader.start()

    def _read_stdout(self):
        for line in self.process.stdout:
            with self.lock:
                self.lines.append(line.decode(errors="replace").rstrip("\n"))

    def has_line(self, text):
        with self.lock:
            return text in self.lines

    def clear_lines(self):
        with self.lock:
            self.lines.clear()

    def wait_exit(self, what):
        try:
            code = self.process.wait(timeout=WAIT_SECONDS)
        except subprocess.TimeoutExpired:
            raise TestFailure("the program did not end " + what)
        self.stderr = self.process.stderr.read()
        return code

    def stop(self):
        if self.process.poll() is None:
            self.process.kill()
            self.process.wait()


class Watch(Program):
    """window_watch: its reports ("created", "size", "picture") with their fields."""

    def __init__(self, executable, arguments, env):
        super().__init__(executable, arguments, env)
        wait_until(lambda: self.reports("ready") or self.process.poll() is not None, "window_watch to listen")
        check(self.process.poll() is None, "window_watch ended at once")

    def reports(self, kind):
        with self.lock:
            return [line.split()[1:] for line in self.lines if line.split()[:1] == [kind]]

    def wait_for(self, kind, what, timeout=WAIT_SECONDS):
        def seen():
            found = self.reports(kind)
            if not found and (self.reports("timeout") or self.process.poll() is not None):
                raise TestFailure("window_watch gave up waiting for %s (it saw: %s)" % (what, self.seen()))
            return found

        try:
            return wait_until(seen, what, timeout)[0]
        except TestFailure as failure:
            raise TestFailure("%s (window_watch saw: %s)" % (failure, self.seen()))

    def seen(self):
        with self.lock:
            return "; ".join(self.lines[-6:])

    def sizes(self):
        return [(int(fields[0]), int(fields[1])) for fields in self.reports("size")]

    def configures(self):
        """(width, height, time) of every configure event, a kept size included."""
        return [(int(fields[0]), int(fields[1]), float(fields[2])) for fields in self.reports("configure")]

    def wait_for_quiet(self, what, quiet=2.0, timeout=WAIT_SECONDS):
        """Waits until the window has had no configure event for `quiet`
        seconds, and gives its size then."""
        deadline = time.monotonic() + timeout
        seen = len(self.configures())
        since = time.monotonic()
        while time.monotonic() - since < quiet:
            check(not self.reports("timeout") and self.process.poll() is None,
                  "window_watch gave up before %s" % what)
            if time.monotonic() > deadline:
                raise TestFailure("the window never came to rest %s: %d configure events, the last ones %s"
                                  % (what, len(self.configures()), self.configures()[-4:]))
            time.sleep(POLL_SECONDS)
            count = len(self.configures())
            if count != seen:
                seen = count
                since = time.monotonic()
        sizes = self.sizes()
        return sizes[-1] if sizes else None


def parse_pnm(data):
    """(width, height, samples) of a binary PGM or PPM."""
    fields = []
    position = 0
    while len(fields) < 4:
        while data[position:position + 1].isspace():
            position += 1
        if data[position:position + 1] == b"#":
            position = data.index(b"\n", position) + 1
            continue
        end = position
        while not data[end:end + 1].isspace():
            end += 1
        fields.append(data[position:end])
        position = end
    position += 1
    magic, width, height, maximum = fields[0], int(fields[1]), int(fields[2]), int(fields[3])
    check(maximum < 256, "only images of 8-bit samples are read")
    channels = 3 if magic == b"P6" else 1
    samples = data[position:position + width * height * channels]
    check(len(samples) == width * height * channels, "short image")
    return width, height, samples


KEYSYMS = {"\r": "Return", "\b": "BackSpace", "\t": "Tab", ".": "period", "-": "minus", "+": "plus",
           " ": "space"}
ESCAPES = {"\\r": "\r", "\\b": "\b", "\\t": "\t"}


def unescape(text):
    """The characters of a text token: \\r is Enter, \\b Backspace, \\t Tab."""
    return re.sub(r"\\[rbt]", lambda m: ESCAPES[m.group(0)], text)


def token_keysyms(token):
    if token.startswith("text:"):
        return [KEYSYMS.get(c, c) for c in unescape(token[5:])]
    return {"pause": ["Pause"], "break": ["ctrl+Pause"], "caps": ["Caps_Lock"], "shift_tab": ["shift+Tab"]}[token]


def has_intermediate_greys(shot):
    width, height, rgb = shot
    for i in range(0, width * height * 3, 3):
        r, g, b = rgb[i], rgb[i + 1], rgb[i + 2]
        if 0 < r < 255 and r == g == b and r not in (0x55, 0xAA):
            return True
    return False


# --- the cases -----------------------------------------------------------

def start_winding(session):
    program = session.start(session.args.program)
    window = session.find_window(WINDING_TITLE)
    session.wait_for_size(window, (640, 480))
    expected, _ = session.expected_page("winding", [])
    session.wait_for_picture(window, expected, "the first picture of the routine")
    session.focus(window)
    return program, window


def expect_clean_end(session, program, window, what):
    code = program.wait_exit(what)
    check(code == 0, "exit code %d %s (stderr: %s)" % (code, what, program.stderr.decode(errors="replace")))
    check(not session.window_exists(window), "a window was left " + what)


def advance(session, window, program, tokens, stop_at=None):
    """Types the tokens one by one, each time waiting for the picture of the
    headless run with the same keys. Stops before a token when the headless
    run is at `stop_at`, or after the token that ends the run. Gives back how
    the last headless run ended."""
    typed = []
    info = {}
    for token in tokens:
        if stop_at is not None and info.get("run_end") == stop_at:
            return info
        typed.append(token)
        expected, info = session.expected_page("winding", typed)
        session.send_tokens([token])
        if info.get("program_finished") == "1":
            return info
        session.wait_for_picture(window, expected, "the picture after " + " ".join(typed))
    return info


def case_title_size_and_first_picture(session):
    program, window = start_winding(session)
    check(session.name(window) == WINDING_TITLE, "title is " + session.name(window))
    check(session.size(window) == (640, 480), "client area is %s" % (session.size(window),))
    # Placed by a window manager or by nobody: the whole client area must be on the screen.
    x, y = session.position(window)
    check(x >= 0 and y >= 0 and x + 640 <= session.screen[0] and y + 480 <= session.screen[1],
          "window placed at %d, %d" % (x, y))
    session.close_window(window)
    expect_clean_end(session, program, window, "after the close box")


def case_keys_end_the_run(session):
    program, window = start_winding(session)
    info = advance(session, window, program, RUN_TO_END)
    check(info.get("program_finished") == "1", "the keys did not end the headless run: %s" % info)
    expect_clean_end(session, program, window, "after the keys that end the run")


def close_at(session, stop_at, what):
    """Types the run's keys up to the wait `stop_at`, then closes the window there."""
    program, window = start_winding(session)
    info = advance(session, window, program, RUN_TO_END, stop_at=stop_at)
    check(info.get("run_end") == stop_at, "never reached %s: %s" % (what, info))
    session.close_window(window)
    expect_clean_end(session, program, window, "after the close box at " + what)


def case_close_at_key_wait(session):
    # The final key wait at the finished diagram (the title case closes the
    # window at the first entry).
    close_at(session, "key_waiting", "the final key wait")


def case_close_at_closing_prompt(session):
    close_at(session, "closing_prompt", "the closing prompt")


def case_break_ends_the_run(session):
    program, window = start_winding(session)
    session.send_tokens(["break"])
    expect_clean_end(session, program, window, "after Break")


def case_pause_holds_the_routine(session):
    program, window = start_winding(session)
    tokens = ["pause", "text:4", "text:2"]
    for token in tokens:
        session.send_tokens([token])
    expected, _ = session.expected_page("winding", tokens)
    session.wait_for_picture(window, expected, "the picture after Pause, 4, 2 (4 only ends the pause)")
    session.close_window(window)
    expect_clean_end(session, program, window, "after the close box")


def start_probe(session, routine, title):
    program = session.start(session.args.probe, routine)
    window = session.find_window(title)
    session.wait_for_size(window, (640, 480))
    return program, window


def start_key_probe(session):
    """The key probe, showing its first picture: the program, its window and that picture."""
    program, window = start_probe(session, "keys", "KEY PROBE")
    expected, _ = session.expected_page("keys", [])
    session.wait_for_picture(window, expected, "the key probe's first picture")
    return program, window, expected


def case_aspect_corrections(session):
    program, window, expected = start_key_probe(session)
    corrections = [((800, 480), (800, 599)), ((640, 600), (800, 600)), ((700, 700), (933, 700))]
    for dragged_to, corrected in corrections:
        session.tool("xdotool", "windowsize", window, str(dragged_to[0]), str(dragged_to[1]))
        session.wait_for_size(window, corrected)

        def smooth_picture():
            shot = session.screenshot(window)
            return shot is not None and shot[:2] == corrected and has_intermediate_greys(shot)

        wait_until(smooth_picture, "a smoothly stretched picture at %d x %d" % corrected)
        session.tool("xdotool", "windowsize", window, "640", "480")
        session.wait_for_size(window, (640, 480))
        session.wait_for_picture(window, expected, "the picture pixel for pixel again at 640 x 480")
    session.close_window(window)
    expect_clean_end(session, program, window, "after the close box")


def case_shift_tab_and_caps_lock(session):
    program, window, expected = start_key_probe(session)
    session.focus(window)

    session.send_tokens(["shift_tab"])
    expected, _ = session.expected_page("keys", ["shift_tab"])
    session.wait_for_picture(window, expected, "Shift+Tab read as 00 0F")

    # Caps Lock only shows by what its key-down does: it ends a pause.
    session.send_tokens(["pause"])
    wait_until(lambda: program.has_line("paused 1"), "the pause to be taken up")
    session.send_tokens(["caps"])
    wait_until(lambda: program.has_line("paused 0"), "Caps Lock to end the pause")
    session.send_tokens(["text:5"])
    expected, _ = session.expected_page("keys", ["shift_tab", "pause", "caps", "text:5"])
    session.wait_for_picture(window, expected, "the 5 typed after Caps Lock ended the pause")
    session.close_window(window)
    expect_clean_end(session, program, window, "after the close box")


def open_error_box(session):
    program, window = start_probe(session, "error", "ERROR PROBE")
    box = session.find_window("Unhandled Error #5")
    expected_children = ["Line:7", "Illegal function call", "Continue?", "Yes", "No"]

    def box_contents():
        names = [name for _, name in reversed(session.children(box))]
        return names if names == expected_children else None

    wait_until(box_contents, "the box's three lines and its Yes and No buttons %s" % expected_children)
    children = dict((name, child) for child, name in session.children(box))
    # The lines are drawn, not only named: each shows dark glyph pixels on
    # the box's white. (The screen is large enough for the box, centred on
    # it, to stay clear of the main window, which Xvfb's GL would paint over.)
    for line in expected_children[:3]:
        shot = wait_until(lambda: session.screenshot(children[line]), "a picture of the line " + line)
        check(any(v < 128 for v in shot[2]) and any(v > 128 for v in shot[2]), "the line %s shows no text" % line)
    return program, window, box, children


def case_error_box_yes(session):
    program, window, box, children = open_error_box(session)
    session.tool("xdotool", "mousemove", "--window", children["Yes"], "40", "14", "click", "1")
    wait_until(lambda: not session.windows_named("Unhandled Error #5"), "the box to close")
    expected, info = session.expected_page("error", ["box:yes"])
    session.wait_for_picture(window, expected, "the routine going on after Yes")
    session.focus(window)
    expected, _ = session.expected_page("error", ["box:yes", "text:x"])
    session.send_tokens(["text:x"])
    session.wait_for_picture(window, expected, "the closing prompt")
    session.send_tokens(["text:y"])
    expect_clean_end(session, program, window, "after the closing prompt")


def case_error_box_no(session):
    program, window, box, _ = open_error_box(session)
    session.focus(box)
    # Tab moves from Yes to No, Enter presses it.
    session.key("Tab")
    session.key("Return")
    expect_clean_end(session, program, window, "after No in the error box")
    check(not session.windows_named("Unhandled Error #5"), "the box was left")


def case_close_with_error_box_open(session):
    program, window, box, _ = open_error_box(session)
    session.close_window(window)
    expect_clean_end(session, program, window, "after the close box with the error box open")
    check(not session.window_exists(box), "the box was left")


def start_winding_watched(session):
    """Starts the program with a watch on the screen from before its window
    exists; gives the program, its window and the watch once the window
    shows the routine's first picture."""
    first_page = os.path.join(session.workdir.name, "first.pgm")
    session.tool(session.args.page_dump, "winding", first_page)
    watch = session.watch("new", first_page)
    program = session.start(session.args.program)
    window = watch.wait_for("created", "the program's window")[0]
    watch.wait_for("picture", "the routine's first picture")
    session.focus(window)
    return program, window, watch


def case_window_opens_at_640x400_then_640x480(session):
    program, window, watch = start_winding_watched(session)
    created = watch.reports("created")[0]
    check((int(created[1]), int(created[2])) == (640, 400), "window created at %s x %s" % tuple(created[1:3]))
    check(watch.sizes() and watch.sizes()[-1] == (640, 480), "sizes taken before the first picture: %s" % watch.sizes())
    check(session.size(window) == (640, 480), "client area is %s" % (session.size(window),))
    session.close_window(window)
    expect_clean_end(session, program, window, "after the close box")


def case_window_kept_at_768x480(session):
    # 768 x 480 has the aspect 1.6 that the window starts out asking for, so
    # no aspect correction follows a user's resize to it: the window keeps
    # the size and the picture is stretched smoothly over it.
    program, window, _ = start_winding_watched(session)
    sizes = session.watch("window", window)
    session.tool("xdotool", "windowsize", window, "768", "480")
    session.wait_for_size(window, (768, 480))

    def smooth_picture():
        shot = session.screenshot(window)
        return shot if shot is not None and shot[:2] == (768, 480) and has_intermediate_greys(shot) else None

    stretched = wait_until(smooth_picture, "a smoothly stretched picture at 768 x 480")
    # A key changes the page; once the window shows that change, frames have
    # been drawn at this size since the resize, and none asked for another.
    session.send_tokens(["text:4"])

    def changed_picture():
        shot = smooth_picture()
        return shot if shot is not None and shot[2] != stretched[2] else None

    wait_until(changed_picture, "the typed 4 in the stretched picture")
    check(session.size(window) == (768, 480), "the window left 768 x 480 for %s" % (session.size(window),))
    check(set(sizes.sizes()) == {(640, 480), (768, 480)}, "sizes seen after the resize: %s" % sizes.sizes())
    # Back at the picture's size it is shown pixel for pixel again.
    session.tool("xdotool", "windowsize", window, "640", "480")
    session.wait_for_size(window, (640, 480))
    expected, _ = session.expected_page("winding", ["text:4"])
    session.wait_for_picture(window, expected, "the picture with the 4, pixel for pixel at 640 x 480")
    session.close_window(window)
    expect_clean_end(session, program, window, "after the close box")


# Data whose diagram takes seconds to draw (some 8 million lines), so that a
# close or a pause lands while it is drawn.
LARGE_DIAGRAM = ["text:2\\r", "text:2000000\\r", "text:2\\r"]
DRAWING_SECONDS = 60.0


def text_rows_blank(indices, width, first_row, last_row):
    """Whether the text rows first_row..last_row (1-based) hold background only."""
    return not any(indices[width * 16 * (first_row - 1):width * 16 * last_row])


def wait_for_drawing_in_progress(session, window, program):
    """Types the large data and waits until the window shows the diagram
    being drawn: the entries cleared away and lines drawn, but the results
    line (printed once the diagram is done) not yet there. Gives that
    screen and the page that the finished diagram leaves."""
    info = advance(session, window, program, LARGE_DIAGRAM[:2])
    before, _ = session.expected_page("winding", LARGE_DIAGRAM[:2])
    finished, info = session.expected_page("winding", LARGE_DIAGRAM)
    check(info.get("run_end") == "key_waiting", "the large data did not reach the final key wait: %s" % info)
    session.send_tokens(LARGE_DIAGRAM[2:])

    def drawing():
        shot = session.screen_indices(window)
        if shot is None or shot[:2] != (640, 480) or shot[2] in (before[2], finished[2]):
            return None
        diagram_drawn = any(shot[2][640 * 100:640 * 380])
        return shot if diagram_drawn and text_rows_blank(shot[2], 640, 3, 5) else None

    return wait_until(drawing, "the diagram to be drawn, without the results line yet"), finished


def case_close_while_drawing(session):
    program, window, _ = start_winding_watched(session)
    wait_for_drawing_in_progress(session, window, program)
    session.close_window(window)
    expect_clean_end(session, program, window, "after the close box while the diagram was drawn")


def case_pause_while_drawing(session):
    program, window, _ = start_winding_watched(session)
    _, finished = wait_for_drawing_in_progress(session, window, program)
    session.send_tokens(["pause"])
    last = {}

    def held():
        # Two screenshots some hundreds of milliseconds apart that agree.
        first = session.screen_indices(window)
        time.sleep(0.3)
        second = session.screen_indices(window)
        last["shot"] = second
        return second if first is not None and first == second else None

    held_shot = wait_until(held, "the drawing to be held by Pause")
    check(held_shot[2] != finished[2] and text_rows_blank(held_shot[2], 640, 3, 5),
          "the diagram was finished before Pause held it")
    # Still held a moment later: while it is drawn, the diagram changes the
    # screen every fifth of a second or more often.
    time.sleep(0.6)
    check(session.screen_indices(window) == held_shot, "the screen changed while the drawing was held")
    # The key that ends the pause is not queued: the finished diagram then
    # waits for a key, and the next one brings the closing prompt.
    session.send_tokens(["text:z"])
    wait_until(lambda: session.screen_indices(window) != held_shot, "the drawing to go on after the key")
    session.wait_for_picture(window, finished, "the finished diagram, waiting for a key", timeout=DRAWING_SECONDS)
    expected, info = session.expected_page("winding", LARGE_DIAGRAM + ["text:x"])
    check(info.get("run_end") == "closing_prompt", "the headless run did not reach the closing prompt: %s" % info)
    session.send_tokens(["text:x"])
    session.wait_for_picture(window, expected, "the closing prompt")
    session.send_tokens(["text:y"])
    expect_clean_end(session, program, window, "after the closing prompt")


def case_ctrl_combinations(session):
    # Ctrl combinations as the key translation gives them for the key
    # pressed, not for the control character X makes of it: Ctrl+Backspace
    # is 7F (not 08), Ctrl+3 and Ctrl+8 queue nothing (not Escape, not
    # Delete), Ctrl+space is the space.
    program, window, expected = start_key_probe(session)
    session.focus(window)
    session.key("ctrl+Return", "ctrl+BackSpace", "ctrl+3", "ctrl+8", "ctrl+space", "ctrl+6", "ctrl+minus",
                "ctrl+period", "ctrl+plus", "ctrl+e", "z")
    expected, _ = session.expected_page("keys", ["text:\n\x7f \x1e\x1f\x05z"])
    session.wait_for_picture(window, expected, "0A 7F 20 1E 1F 05 7A read")
    session.close_window(window)
    expect_clean_end(session, program, window, "after the close box")


def start_focus_elsewhere_window(session, program_window):
    """A second window to take the focus away from the one under test: the
    program's own, moved clear of the other window."""
    session.start(session.args.program)
    away = [w for w in wait_until(lambda: session.windows_named(WINDING_TITLE), "the second window")
            if w != program_window][0]
    session.tool("xdotool", "windowmove", "--sync", away, "800", "600")
    return away


def case_modifiers_follow_the_keyboard_across_focus(session):
    # A modifier released while the window has no focus is no longer held
    # when the focus comes back; one pressed elsewhere and still held is.
    program, window, expected = start_key_probe(session)
    away = start_focus_elsewhere_window(session, window)
    session.focus(window)
    session.tool("xdotool", "keydown", "ctrl")
    session.key("e")
    expected, _ = session.expected_page("keys", ["text:\x05"])
    session.wait_for_picture(window, expected, "Ctrl+E read as 05")

    session.focus(away)
    session.tool("xdotool", "keyup", "ctrl")
    session.focus(window)
    session.key("a")
    expected, _ = session.expected_page("keys", ["text:\x05a"])
    session.wait_for_picture(window, expected, "a read as 61 after Ctrl was let go elsewhere")

    session.focus(away)
    session.tool("xdotool", "keydown", "ctrl")
    session.focus(window)
    session.key("e")
    session.tool("xdotool", "keyup", "ctrl")
    session.key("a")
    expected, _ = session.expected_page("keys", ["text:\x05a\x05a"])
    session.wait_for_picture(window, expected, "Ctrl, held on coming back, with E, then a alone")
    session.close_window(window)
    expect_clean_end(session, program, window, "after the close box")


def case_no_display(args):
    env = {k: v for k, v in os.environ.items() if k != "DISPLAY"}
    result = subprocess.run([args.program], env=env, capture_output=True, timeout=WAIT_SECONDS)
    message = result.stderr.decode(errors="replace")
    check(result.returncode != 0, "exit code 0 without a display")
    check("display" in message.lower(), "no clear message on stderr: %r" % message)


CASES = {
    "title_size_and_first_picture": case_title_size_and_first_picture,
    "keys_end_the_run": case_keys_end_the_run,
    "close_at_key_wait": case_close_at_key_wait,
    "close_at_closing_prompt": case_close_at_closing_prompt,
    "break_ends_the_run": case_break_ends_the_run,
    "aspect_corrections": case_aspect_corrections,
    "pause_holds_the_routine": case_pause_holds_the_routine,
    "shift_tab_and_caps_lock": case_shift_tab_and_caps_lock,
    "error_box_yes": case_error_box_yes,
    "error_box_no": case_error_box_no,
    "close_with_error_box_open": case_close_with_error_box_open,
    "window_opens_at_640x400_then_640x480": case_window_opens_at_640x400_then_640x480,
    "window_kept_at_768x480": case_window_kept_at_768x480,
    "close_while_drawing": case_close_while_drawing,
    "pause_while_drawing": case_pause_while_drawing,
    "ctrl_combinations": case_ctrl_combinations,
    "modifiers_follow_the_keyboard_across_focus": case_modifiers_follow_the_keyboard_across_focus,
}


def add_tool_arguments(parser, probe=True):
    """The built programs a session runs, as the CMake tests pass them."""
    parser.add_argument("--program", required=True)
    if probe:
        parser.add_argument("--probe", required=True)
    parser.add_argument("--page-dump", required=True)
    parser.add_argument("--close-window", required=True)
    parser.add_argument("--watch", required=True)
    parser.add_argument("--window-manager", action="store_true", help="run the case under openbox")


def report(case, run):
    """Runs a case, says whether it passed, and gives the exit status."""
    try:
        run()
    except TestFailure as failure:
        print("FAILED: %s" % failure, file=sys.stderr)
        return 1
    print("passed: " + case)
    return 0


def run_in_session(args, case):
    session = Session(args)
    try:
        case(session)
    finally:
        session.close()


def main():
    parser = argparse.ArgumentParser()
    add_tool_arguments(parser)
    parser.add_argument("case", choices=sorted(CASES) + ["no_display"])
    args = parser.parse_args()
    if args.case == "no_display":
        return report(args.case, lambda: case_no_display(args))
    return report(args.case, lambda: run_in_session(args, CASES[args.case]))


if __name__ == "__main__":
    sys.exit(main())
