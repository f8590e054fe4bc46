#!/usr/bin/env python3
"""The window on the desktops people use, in a real window under Xvfb, with
a window manager (openbox, a compositor (picom) where said) and without:

- resizes_back_to_back / resize_burst (no manager): two resizes sent back to
  back, and bursts of 50 resizes within a second; each time the window comes
  to rest (no configure event for some seconds) at a size of the picture's
  shape;
- corner_drag (openbox): the window's corner dragged with the mouse; at
  rest at the picture's shape once the button is let go;
- maximize_restore_4_3 / maximize_restore_16_9 (openbox): maximized, and put
  in the manager's full-screen state: at rest while held, the picture
  stretched over the window; restored, back at its earlier size, pixel for
  pixel;
- correction_on_a_small_screen (no manager, 1024 x 768): a correction that
  would leave the screen takes the largest size of the picture's shape that
  fits;
- full_screen_in_and_out (openbox with picom, 1920 x 1080): Alt+Enter into
  full screen and out again at the finished diagram, five times; back in the
  window at 640 x 480 with the finished diagram pixel for pixel;
- full_screen_key_held / full_screen_key_held_managed: Alt+Enter held while
  the key repeats, without and with a manager; the window ends full screen or
  at 640 x 480, never anywhere else;
- paused_window_repaints: while paused the window is covered by another one
  and uncovered, and resized: it shows the held picture again, pixel for
  pixel, and the pause still holds;
- stderr_closed: started with standard error closed and LIBGL_DEBUG=verbose:
  the first prompt is shown and a close ends the process with exit code 0;
- thread_limit: an address-space limit too small for a thread: one line on
  stderr and exit code 1, never a signal;
- keypad_delete: the keypad's Delete (Num Lock off) ends the final key wait;
- window_class / window_class_managed: the window's WM_CLASS, which a
  manager has already seen when it takes the window on.

Usage: desktop.py --program P --probe P --page-dump P --close-window P --watch P CASE
"""

import argparse
import os
import random
import resource
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__))))

import window_harness as harness  # noqa: E402
from window_harness import check, wait_until  # noqa: E402

PICTURE = (640, 480)
# The picture's aspect as a single (4/3 rounded to 24 bits), as the window-size rule takes it.
PICTURE_ASPECT = 1.3333333730697632
WATCH_SECONDS = 600
WIDE_SCREEN = (1920, 1080)
SMALL_SCREEN = (1024, 768)


def has_picture_shape(size):
    """Whether the size is its own correction: following its width or its
    height gives it back (the products are exact in double here)."""
    width, height = size
    return height == int(width / PICTURE_ASPECT) or width == int(height * PICTURE_ASPECT)


def check_at_rest_in_shape(watch, what, screen=None):
    size = watch.wait_for_quiet(what)
    check(size is not None and has_picture_shape(size), "at rest at %s %s, not the picture's shape" % (size, what))
    if screen is not None:
        check(size[0] <= screen[0] and size[1] <= screen[1], "at rest at %s %s, off the %s screen" % (size, what, screen))
    return size


def check_stretched_picture(session, window, size, what):
    def stretched():
        shot = session.screenshot(window)
        return shot is not None and shot[:2] == size and harness.has_intermediate_greys(shot)

    wait_until(stretched, "the picture stretched smoothly over %d x %d %s" % (size + (what,)))


def back_to_picture_size(session, window, expected, what):
    session.tool("xdotool", "windowsize", window, str(PICTURE[0]), str(PICTURE[1]))
    session.wait_for_size(window, PICTURE)
    session.wait_for_picture(window, expected, "the picture pixel for pixel again " + what)


def first_picture(session):
    expected, _ = session.expected_page("winding", [])
    return expected


def end_with_close(session, program, window):
    session.close_window(window)
    harness.expect_clean_end(session, program, window, "after the close box")


def in_session(args, case, **options):
    options.setdefault("window_manager", False)
    session = harness.Session(args, **options)
    try:
        case(session)
    finally:
        session.close()


# --- resizes without a manager ------------------------------------------------

def case_resizes_back_to_back(session):
    # Each try from a new start: the first resizes of a run are the ones
    # whose answers crossed.
    for attempt in range(1, 9):
        program, window = harness.start_winding(session)
        watch = session.watch("window", window, seconds=WATCH_SECONDS)
        session.tool("xdotool", "windowsize", window, "300", "300")
        session.tool("xdotool", "windowsize", window, "1000", "1000")
        check_at_rest_in_shape(watch, "after resizes to 300 x 300 and 1000 x 1000 (try %d)" % attempt)
        watch.stop()
        if attempt == 8:
            back_to_picture_size(session, window, first_picture(session), "after the resizes")
        end_with_close(session, program, window)


def case_resize_burst(session):
    program, window = harness.start_winding(session)
    watch = session.watch("window", window, seconds=WATCH_SECONDS)
    sides = random.Random(20261210)
    for attempt in range(1, 5):
        # One xdotool run: 50 resizes, 20 ms apart.
        command = ["xdotool"]
        for _ in range(50):
            command += ["windowsize", window, str(sides.randint(100, 1500)), str(sides.randint(100, 1100)),
                        "sleep", "0.02"]
        session.tool(*command)
        check_at_rest_in_shape(watch, "after a burst of 50 resizes (try %d)" % attempt, session.screen)
    back_to_picture_size(session, window, first_picture(session), "after the bursts")
    end_with_close(session, program, window)


def case_correction_on_a_small_screen(session):
    program, window = harness.start_winding(session)
    watch = session.watch("window", window, seconds=WATCH_SECONDS)
    for asked in [(333, 801), (5000, 5000), (1023, 900)]:
        session.tool("xdotool", "windowsize", window, str(asked[0]), str(asked[1]))
        # The correction follows the first drawing at the size asked for,
        # which takes a while at 5000 x 5000.
        wait_until(lambda: session.size(window) not in (None, asked), "a correction of %d x %d" % asked)
        size = check_at_rest_in_shape(watch, "after a resize to %d x %d" % asked, session.screen)
        check(size == SMALL_SCREEN, "a resize to %s came to %s, not the largest size that fits, %s"
              % (asked, size, SMALL_SCREEN))
        check_stretched_picture(session, window, size, "on the small screen")
    back_to_picture_size(session, window, first_picture(session), "after the corrections")
    end_with_close(session, program, window)


# --- under a window manager ------------------------------------------------------

def frame_extents(session, window):
    """left, right, top, bottom of the manager's frame around the client."""
    text = session.tool("xprop", "-id", window, "_NET_FRAME_EXTENTS").stdout.decode()
    check("=" in text, "the manager gave the window no frame extents: " + text)
    return [int(v) for v in text.split("=", 1)[1].split(",")]


def case_corner_drag(session):
    program, window = harness.start_winding(session)
    watch = session.watch("window", window, seconds=WATCH_SECONDS)
    for attempt, (dx, dy) in enumerate([(300, 60), (-200, 150), (150, -100), (40, 280)], start=1):
        x, y = session.position(window)
        width, height = session.size(window)
        _, right, _, bottom = frame_extents(session, window)
        # The frame's bottom-right corner grip.
        corner = (x + width + right - 2, y + height + bottom - 2)
        command = ["xdotool", "mousemove", str(corner[0]), str(corner[1]), "mousedown", "1"]
        for step in range(1, 31):
            command += ["mousemove", str(corner[0] + dx * step // 30), str(corner[1] + dy * step // 30),
                        "sleep", "0.02"]
        command += ["mouseup", "1"]
        session.tool(*command)
        size = check_at_rest_in_shape(watch, "after the corner drag %d" % attempt)
        check(size != (width, height), "the drag %d did not resize the window" % attempt)
    check_stretched_picture(session, window, session.size(window), "after the drags")
    end_with_close(session, program, window)


def hold_and_release(session, window, watch, state, expected, what):
    """Puts the window in the manager's state (maximized or full screen) and
    takes it out again."""
    session.tool("wmctrl", "-i", "-r", window, "-b", "add," + state)
    wait_until(lambda: session.size(window) not in (None, PICTURE), "the window %s" % what)
    size = watch.wait_for_quiet("while %s" % what, quiet=3.0)
    check(size == session.size(window) and size != PICTURE, "%s: %s" % (what, size))
    check_stretched_picture(session, window, size, "while " + what)
    session.tool("wmctrl", "-i", "-r", window, "-b", "remove," + state)
    session.wait_for_size(window, PICTURE)
    check(watch.wait_for_quiet("after being " + what) == PICTURE, "not back at 640 x 480 after being " + what)
    session.wait_for_picture(window, expected, "the picture pixel for pixel after being " + what)
    return size


def case_maximize_restore(session):
    program, window = harness.start_winding(session)
    expected = first_picture(session)
    watch = session.watch("window", window, seconds=WATCH_SECONDS)
    for attempt in range(1, 3):
        hold_and_release(session, window, watch, "maximized_vert,maximized_horz", expected,
                         "maximized (try %d)" % attempt)
        full = hold_and_release(session, window, watch, "fullscreen", expected,
                                "in the manager's full-screen state (try %d)" % attempt)
        check(full == session.screen, "full screen at %s on a %s screen" % (full, session.screen))
    end_with_close(session, program, window)


# --- the full-screen switch ---------------------------------------------------------

def finished_diagram(session):
    """The program at the finished diagram of 4/21/1, its window and that picture."""
    program, window = harness.start_winding(session)
    tokens = harness.RUN_TO_END
    info = harness.advance(session, window, program, tokens, stop_at="key_waiting")
    check(info.get("run_end") == "key_waiting", "never reached the finished diagram: %s" % info)
    typed = tokens[:tokens.index("text:x")]
    expected, _ = session.expected_page("winding", typed)
    session.wait_for_picture(window, expected, "the finished diagram")
    return program, window, expected


def case_full_screen_in_and_out(session):
    program, window, expected = finished_diagram(session)
    watch = session.watch("window", window, seconds=WATCH_SECONDS)
    for attempt in range(1, 6):
        session.key("alt+Return")
        session.wait_for_size(window, session.screen)
        check(watch.wait_for_quiet("in full screen (try %d)" % attempt) == session.screen,
              "full screen did not stay at the screen's size (try %d)" % attempt)
        session.key("alt+Return")
        session.wait_for_size(window, PICTURE)
        check(watch.wait_for_quiet("after full screen (try %d)" % attempt) == PICTURE,
              "not back at 640 x 480 after full screen (try %d): %s" % (attempt, session.size(window)))
        session.wait_for_picture(window, expected, "the finished diagram after full screen (try %d)" % attempt)
    # The switch queued no key: the diagram still waits for one.
    session.key("x")
    closing, _ = session.expected_page("winding", harness.RUN_TO_END[:-1])
    session.wait_for_picture(window, closing, "the closing prompt")
    session.key("y")
    harness.expect_clean_end(session, program, window, "after the closing prompt")


def case_full_screen_key_held(session):
    program, window = harness.start_winding(session)
    expected = first_picture(session)
    watch = session.watch("window", window, seconds=WATCH_SECONDS)
    for attempt, seconds in enumerate(["1.0", "1.7", "2.5"], start=1):
        # Return let go before Alt, so that no repeat comes as a plain Return.
        session.tool("xdotool", "keydown", "alt", "keydown", "Return", "sleep", seconds, "keyup", "Return", "keyup",
                     "alt")
        size = watch.wait_for_quiet("after Alt+Enter held %s s" % seconds)
        check(size in (PICTURE, session.screen),
              "after Alt+Enter held %s s the window is %s, neither full screen nor 640 x 480" % (seconds, size))
        if size == session.screen:
            session.key("alt+Return")
            session.wait_for_size(window, PICTURE)
            check(watch.wait_for_quiet("after leaving full screen (try %d)" % attempt) == PICTURE,
                  "not back at 640 x 480 (try %d)" % attempt)
        session.wait_for_picture(window, expected, "the first picture again (try %d)" % attempt)
    # And the switch is still in step with the window: one press, full screen.
    session.key("alt+Return")
    session.wait_for_size(window, session.screen)
    session.key("alt+Return")
    session.wait_for_size(window, PICTURE)
    end_with_close(session, program, window)


# --- a paused window ---------------------------------------------------------------

def case_paused_window_repaints(session):
    program, window = harness.start_winding(session)
    session.send_tokens(["text:4"])
    held, _ = session.expected_page("winding", ["text:4"])
    session.wait_for_picture(window, held, "the 4 typed")
    session.send_tokens(["pause"])
    for attempt in range(1, 3):
        # Another window of the same size over it: without a manager it opens
        # at the same place, on top; it shows a first prompt without the 4.
        cover = session.start(session.args.program)
        covering = wait_until(lambda: [w for w in session.windows_named(harness.WINDING_TITLE) if w != window],
                              "the covering window")[0]
        session.wait_for_size(covering, PICTURE)
        session.wait_for_picture(covering, first_picture(session), "the covering window's picture")
        cover.stop()
        wait_until(lambda: not session.window_exists(covering), "the covering window to go")
        session.wait_for_picture(window, held, "the held picture after being uncovered (try %d)" % attempt)
    # Resized while paused: the held picture at the new size, then again at 640 x 480.
    session.tool("xdotool", "windowsize", window, "800", "480")
    session.wait_for_size(window, (800, 599))
    check_stretched_picture(session, window, (800, 599), "while paused")
    back_to_picture_size(session, window, held, "after a resize while paused")
    # The pause still holds: the next key only ends it.
    session.send_tokens(["text:5", "text:6"])
    expected, _ = session.expected_page("winding", ["text:4", "pause", "text:5", "text:6"])
    session.wait_for_picture(window, expected, "46 typed after the pause (the 5 only ended it)")
    end_with_close(session, program, window)


# --- start-up ------------------------------------------------------------------------

def case_stderr_closed(session):
    env = dict(session.env, LIBGL_DEBUG="verbose")
    process = subprocess.Popen([session.args.program], env=env, stdout=subprocess.DEVNULL,
                               stderr=subprocess.DEVNULL, preexec_fn=lambda: os.close(2))
    try:
        window = session.find_window(harness.WINDING_TITLE)
        session.wait_for_size(window, PICTURE)
        session.wait_for_picture(window, first_picture(session), "the first prompt with stderr closed")
        error_stream = os.readlink("/proc/%d/fd/2" % process.pid)
        check(error_stream == "/dev/null", "descriptor 2 of the program is %s, not /dev/null" % error_stream)
        session.close_window(window)
        try:
            code = process.wait(timeout=harness.WAIT_SECONDS)
        except subprocess.TimeoutExpired:
            raise harness.TestFailure("the program did not end after the close box with stderr closed")
        check(code == 0, "exit code %d after the close box with stderr closed" % code)
    finally:
        if process.poll() is None:
            process.kill()
            process.wait()


def run_limited(session, kilobytes):
    """The program under an address-space limit: (exit code, stderr)."""
    limit = kilobytes * 1024

    def apply_limit():
        resource.setrlimit(resource.RLIMIT_AS, (limit, limit))

    result = subprocess.run([session.args.program], env=session.env, capture_output=True,
                            timeout=harness.WAIT_SECONDS, preexec_fn=apply_limit)
    return result.returncode, result.stderr.decode(errors="replace")


def case_thread_limit(session):
    # From a limit at which the libraries cannot even be loaded upwards: the
    # first limits that let the program start leave no room for a thread.
    loaded = 0
    for kilobytes in range(8000, 80000, 2000):
        code, stderr = run_limited(session, kilobytes)
        check(code >= 0, "died by signal %d under a limit of %d KiB (stderr: %r)" % (-code, kilobytes, stderr))
        if code == 127 and "error while loading shared libraries" in stderr:
            continue
        lines = [line for line in stderr.splitlines() if line.strip()]
        check(code == 1, "exit code %d under a limit of %d KiB (stderr: %r)" % (code, kilobytes, stderr))
        check(lines == ["wave_winding: cannot start a thread: Resource temporarily unavailable"],
              "under a limit of %d KiB stderr was %r" % (kilobytes, stderr))
        loaded += 1
        if loaded == 3:
            return
    raise harness.TestFailure("no limit up to 80000 KiB let the program load and then stopped a thread")


# --- keys and the window's class -------------------------------------------------------

def case_keypad_delete(session):
    program, window = harness.start_winding(session)
    info = harness.advance(session, window, program, harness.RUN_TO_END, stop_at="key_waiting")
    check(info.get("run_end") == "key_waiting", "never reached the final key wait: %s" % info)
    # Num Lock is off on a new Xvfb: the keypad's period key is its Delete.
    session.key("KP_Delete")
    closing, _ = session.expected_page("winding", harness.RUN_TO_END[:-1])
    session.wait_for_picture(window, closing, "the closing prompt after the keypad's Delete")
    session.key("y")
    harness.expect_clean_end(session, program, window, "after the closing prompt")


def window_class(session, managed):
    program, window = harness.start_winding(session)
    text = session.tool("xprop", "-id", window, "WM_CLASS").stdout.decode().strip()
    check(text == 'WM_CLASS(STRING) = "wave_winding", "Wave_winding"', "the window's class: " + text)
    if managed:
        # openbox copies the class when it takes the window on: it was there before the window was mapped.
        seen = session.tool("xprop", "-id", window, "_OB_APP_CLASS", "_OB_APP_NAME").stdout.decode()
        check('_OB_APP_CLASS(UTF8_STRING) = "Wave_winding"' in seen and '_OB_APP_NAME(UTF8_STRING) = "wave_winding"'
              in seen, "the manager saw no class when it took the window on: " + seen)
    end_with_close(session, program, window)


def case_window_class(session):
    window_class(session, managed=False)


def case_window_class_managed(session):
    window_class(session, managed=True)


# Each case with the screen, window manager and compositor it runs on.
CASES = {
    "resizes_back_to_back": (case_resizes_back_to_back, {}),
    "resize_burst": (case_resize_burst, {}),
    "correction_on_a_small_screen": (case_correction_on_a_small_screen, {"screen": SMALL_SCREEN}),
    "corner_drag": (case_corner_drag, {"window_manager": True}),
    "maximize_restore_4_3": (case_maximize_restore, {"window_manager": True}),
    "maximize_restore_16_9": (case_maximize_restore, {"window_manager": True, "screen": WIDE_SCREEN}),
    "full_screen_in_and_out": (case_full_screen_in_and_out,
                               {"window_manager": True, "compositor": True, "screen": WIDE_SCREEN}),
    "full_screen_key_held": (case_full_screen_key_held, {"window_manager": False}),
    "full_screen_key_held_managed": (case_full_screen_key_held, {"window_manager": True, "screen": WIDE_SCREEN}),
    "paused_window_repaints": (case_paused_window_repaints, {"window_manager": False}),
    "stderr_closed": (case_stderr_closed, {}),
    "thread_limit": (case_thread_limit, {}),
    "keypad_delete": (case_keypad_delete, {}),
    "window_class": (case_window_class, {"window_manager": False}),
    "window_class_managed": (case_window_class_managed, {"window_manager": True}),
}


def main():
    parser = argparse.ArgumentParser()
    harness.add_tool_arguments(parser)
    parser.add_argument("case", choices=sorted(CASES))
    args = parser.parse_args()
    case, options = CASES[args.case]
    return harness.report(args.case, lambda: in_session(args, case, **options))


if __name__ == "__main__":
    sys.exit(main())
