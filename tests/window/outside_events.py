#!/usr/bin/env python3
"""What the program does when something happens to it from outside, in a
real window under Xvfb:

- display_lost_while_drawing / display_lost_at_prompt: the X server dies
  (Xvfb killed) while a large diagram is drawn, several times, and once at
  the first prompt: the process ends with exit code 1 and one line on
  stderr, never by a signal;
- key_before_pause: "4", Pause, "9", Enter, "21", Enter, "1", Enter sent
  in one burst with no delay, ten times: the 9 only ends the pause, so the
  data are 4/21/1 every time;
- window_destroyed: another client destroys the window (xdotool
  windowclose) at the first prompt and while a diagram is drawn: the
  process ends as after the close box, with exit code 0;
- close_during_check: the window is closed right after the third Enter of
  2/16777216/0, while the data are checked; the process ends with exit
  code 0. The time from the close to the end is printed beside that of a
  close at the first prompt (a measurement, not a pass condition);
- working_directory: started from another folder, the program runs in the
  folder of its executable.

Usage: outside_events.py --program P --probe P --page-dump P --close-window P --watch P CASE
"""

import argparse
import os
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__))))

import window_harness as harness  # noqa: E402
from window_harness import check  # noqa: E402

DISPLAY_LOST_TRIES = 6
KEY_BURST_TRIES = 10
LOST_DISPLAY_LINE = "wave_winding: the connection to the X display was lost"


def expect_display_lost_ending(program, what):
    code = program.wait_exit(what)
    stderr = program.stderr.decode(errors="replace")
    check(code >= 0, "the process died by signal %d %s (stderr: %r)" % (-code, what, stderr))
    check(code == 1, "exit code %d %s (stderr: %r)" % (code, what, stderr))
    lines = [line for line in stderr.splitlines() if line.strip()]
    check(lines == [LOST_DISPLAY_LINE], "stderr %s was %r, not the one line %r" % (what, stderr, LOST_DISPLAY_LINE))


def kill_display(session):
    session.xvfb.process.kill()
    session.xvfb.process.wait()


def case_display_lost_while_drawing(args):
    for attempt in range(1, DISPLAY_LOST_TRIES + 1):
        session = harness.Session(args)
        try:
            program, window, _ = harness.start_winding_watched(session)
            harness.wait_for_drawing_in_progress(session, window, program)
            kill_display(session)
            expect_display_lost_ending(program, "after the display was lost while drawing (try %d)" % attempt)
        finally:
            session.close()


def case_display_lost_at_prompt(args):
    session = harness.Session(args)
    try:
        program, _ = harness.start_winding(session)
        kill_display(session)
        expect_display_lost_ending(program, "after the display was lost at the first prompt")
    finally:
        session.close()


def case_key_before_pause(args):
    session = harness.Session(args)
    try:
        # The 9 typed after Pause only ends it: the data are those of 4/21/1.
        expected, info = session.expected_page("winding", ["text:4", "pause", "text:9\\r21\\r1\\r"])
        plain, _ = session.expected_page("winding", ["text:4\\r21\\r1\\r"])
        check(expected == plain, "the headless run of the burst does not give the page of 4/21/1")
        check(info.get("run_end") == "key_waiting", "the headless burst did not reach the final key wait: %s" % info)
        for attempt in range(1, KEY_BURST_TRIES + 1):
            program, window = harness.start_winding(session)
            session.tool("xdotool", "key", "--delay", "0", "4", "Pause", "9", "Return", "2", "1", "Return", "1",
                         "Return")
            session.wait_for_picture(window, expected, "the finished diagram of 4/21/1 (try %d)" % attempt)
            session.close_window(window)
            harness.expect_clean_end(session, program, window, "after the close box (try %d)" % attempt)
    finally:
        session.close()


def destroy_window(session, window):
    session.tool("xdotool", "windowclose", window)


def case_window_destroyed(args):
    session = harness.Session(args)
    try:
        program, window = harness.start_winding(session)
        destroy_window(session, window)
        harness.expect_clean_end(session, program, window, "after the window was destroyed at the first prompt")

        program, window, _ = harness.start_winding_watched(session)
        harness.wait_for_drawing_in_progress(session, window, program)
        destroy_window(session, window)
        harness.expect_clean_end(session, program, window, "after the window was destroyed while drawing")
    finally:
        session.close()


def seconds_to_end(session, program, window, what):
    start = time.monotonic()
    session.close_window(window)
    harness.expect_clean_end(session, program, window, what)
    return time.monotonic() - start


def case_close_during_check(args):
    session = harness.Session(args)
    try:
        program, window = harness.start_winding(session)
        at_prompt = seconds_to_end(session, program, window, "after the close box at the first prompt")

        program, window = harness.start_winding(session)
        harness.advance(session, window, program, ["text:2\\r", "text:16777216\\r"])
        session.send_tokens(["text:0\\r"])
        during_check = seconds_to_end(session, program, window, "after the close box during the check")
        print("close to end of process: at the first prompt %.0f ms, right after the third Enter of 2/16777216/0 "
              "%.0f ms" % (1000 * at_prompt, 1000 * during_check))
    finally:
        session.close()


def case_working_directory(args):
    session = harness.Session(args)
    try:
        with tempfile.TemporaryDirectory(prefix="elsewhere_") as elsewhere:
            program = harness.Program(args.program, [], session.env, cwd=elsewhere)
            session.programs.append(program)
            window = session.find_window(harness.WINDING_TITLE)
            folder = os.path.dirname(os.path.realpath(args.program))
            cwd = os.readlink("/proc/%d/cwd" % program.process.pid)
            check(cwd == folder, "working directory %s, not the executable's folder %s" % (cwd, folder))
            session.close_window(window)
            harness.expect_clean_end(session, program, window, "after the close box")
    finally:
        session.close()


CASES = {
    "display_lost_while_drawing": case_display_lost_while_drawing,
    "display_lost_at_prompt": case_display_lost_at_prompt,
    "key_before_pause": case_key_before_pause,
    "window_destroyed": case_window_destroyed,
    "close_during_check": case_close_during_check,
    "working_directory": case_working_directory,
}


def main():
    parser = argparse.ArgumentParser()
    harness.add_tool_arguments(parser)
    parser.add_argument("case", choices=sorted(CASES))
    args = parser.parse_args()
    return harness.report(args.case, lambda: CASES[args.case](args))


if __name__ == "__main__":
    sys.exit(main())
