#!/usr/bin/env python3
"""Measurements of the program in its real window under Xvfb, taken from
outside as a user would see them.

- stop: the time from a close (WM_DELETE_WINDOW) or Break to the end of the
  process, at the first prompt, while a large diagram is drawn, at the final
  key wait and at the closing prompt, and for Break; each case RUNS times.
- start: the time from starting the process to the window taking the
  picture's 640 x 480 and to its first picture.
- draw: the time from the third Enter to the finished diagram on the screen
  for z = 21, 1000 and 100000.
- cpu: processor time used (all threads) while an entry waits, while the
  final key wait polls and while the closing prompt waits, over 5 s each.
- memory: peak resident memory (VmHWM) at the closing prompt.

A close or a key counts from the moment the helper that sent it returned
(close_window after XSync, xdotool); the end of the process is the moment
waitpid returned. Screen moments come from window_watch, which reads the
window every millisecond.

Usage: window_measurements.py --program P --page-dump P --close-window P --watch P
       [--runs N] [--only stop,start,draw,cpu,memory]
"""

import argparse
import os
import statistics
import subprocess
import sys
import threading
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "window"))

import window_harness as harness  # noqa: E402

SMALL = ["4\\r", "21\\r", "1\\r"]
LARGE = ["2\\r", "2000000\\r", "2\\r"]
CLOCK_TICKS = os.sysconf("SC_CLK_TCK")


class Bench:
    def __init__(self, args):
        self.args = args
        self.session = harness.Session(args)
        self.pages = {}

    def close(self):
        self.session.close()

    def page_file(self, entries):
        """A PGM of the headless page for these keys, made once."""
        key = tuple(entries)
        if key not in self.pages:
            path = os.path.join(self.session.workdir.name, "page%d.pgm" % len(self.pages))
            tokens = ["text:" + entry for entry in entries]
            result = self.session.tool(self.args.page_dump, "winding", path, *tokens, timeout=120)
            with open(path, "rb") as f:
                self.pages[key] = (path, harness.parse_pnm(f.read()), result)
        return self.pages[key]

    def start(self):
        """Starts the program; gives it, its window and the start and first-picture moments."""
        first_path, _, _ = self.page_file([])
        watch = self.session.watch("new", first_path)
        started = time.monotonic()
        program = self.session.start(self.args.program)
        window = watch.wait_for("created", "the program's window")[0]
        pictured = float(watch.wait_for("picture", "the first picture")[0])
        sized = [float(fields[2]) for fields in watch.reports("size") if fields[:2] == ["640", "480"]]
        self.finish(watch)
        self.session.focus(window)
        return program, window, started, sized[0], pictured

    def type_entries(self, window, entries):
        for entry in entries:
            self.session.tool("xdotool", "key", "--delay", "15", *harness.token_keysyms("text:" + entry))

    def wait_for_page(self, window, entries, what):
        _, page, _ = self.page_file(entries)
        self.session.wait_for_picture(window, page, what, timeout=120)

    def finish(self, program):
        program.stop()
        self.session.programs.remove(program)


def timed_end(program):
    """A thread that records when the process ends."""
    ended = {}

    def wait():
        program.process.wait()
        ended["at"] = time.monotonic()

    thread = threading.Thread(target=wait, daemon=True)
    thread.start()
    return thread, ended


def stop_and_time(bench, program, window, how):
    thread, ended = timed_end(program)
    if how == "break":
        bench.session.tool("xdotool", "key", "--delay", "0", "ctrl+Pause")
    else:
        bench.session.close_window(window)
    sent = time.monotonic()
    thread.join(harness.WAIT_SECONDS)
    harness.check("at" in ended, "the program did not end after the %s" % how)
    harness.check(program.process.returncode == 0, "exit code %d" % program.process.returncode)
    return max(0.0, ended["at"] - sent)


def drawing_in_progress(bench, window, before):
    shot = bench.session.screen_indices(window)
    if shot is None or shot[:2] != (640, 480) or shot[2] == before:
        return False
    rows_3_to_5 = shot[2][640 * 32:640 * 80]
    return any(shot[2][640 * 100:640 * 380]) and not any(rows_3_to_5)


def stop_case(bench, case):
    program, window, _, _, _ = bench.start()
    how = "break" if case == "break" else "close"
    if case == "drawing":
        bench.type_entries(window, LARGE[:2])
        bench.wait_for_page(window, LARGE[:2], "the two first entries")
        before = bench.page_file(LARGE[:2])[1][2]
        bench.type_entries(window, LARGE[2:])
        harness.wait_until(lambda: drawing_in_progress(bench, window, before), "the diagram being drawn")
    elif case in ("key_wait", "closing_prompt"):
        bench.type_entries(window, SMALL)
        bench.wait_for_page(window, SMALL, "the finished diagram")
        if case == "closing_prompt":
            bench.session.send_tokens(["text:x"])
            bench.wait_for_page(window, SMALL + ["x"], "the closing prompt")
    seconds = stop_and_time(bench, program, window, how)
    bench.finish(program)
    return seconds


def describe(values, unit_scale=1000.0, unit="ms"):
    return "median %.1f %s, slowest %.1f %s, fastest %.1f %s (n = %d)" % (
        statistics.median(values) * unit_scale, unit, max(values) * unit_scale, unit, min(values) * unit_scale, unit,
        len(values))


def measure_stop(bench, runs):
    cases = [("first_prompt", "close at the first prompt"), ("drawing", "close while 2/2000000/2 is drawn"),
             ("key_wait", "close at the final key wait"), ("closing_prompt", "close at the closing prompt"),
             ("break", "Break at the first prompt")]
    for case, title in cases:
        values = [stop_case(bench, case) for _ in range(runs)]
        print("stop  %-34s %s" % (title, describe(values)), flush=True)


def measure_start(bench, runs):
    sized, pictured = [], []
    for _ in range(runs):
        program, window, started, at_size, at_picture = bench.start()
        sized.append(at_size - started)
        pictured.append(at_picture - started)
        bench.finish(program)
    print("start to 640 x 480 window                %s" % describe(sized), flush=True)
    print("start to first picture                   %s" % describe(pictured), flush=True)


def measure_draw(bench, runs):
    for z in ("21", "1000", "100000"):
        entries = ["4\\r", z + "\\r", "1\\r"] if z == "21" else ["2\\r", z + "\\r", "2\\r"]
        finished_path, _, result = bench.page_file(entries)
        harness.check(b"run_end key_waiting" in result.stdout, "z = %s is not drawn" % z)
        before_enter = entries[:2] + [entries[2][:-2]]
        values, sending = [], []
        for _ in range(runs):
            program, window, _, _, _ = bench.start()
            bench.type_entries(window, before_enter)
            bench.wait_for_page(window, before_enter, "the entries before the third Enter")
            watch = bench.session.watch("window", window, finished_path)
            # The Enter goes out while xdotool runs: counted from its start.
            entered = time.monotonic()
            bench.session.tool("xdotool", "key", "--delay", "0", "Return")
            sending.append(time.monotonic() - entered)
            shown = float(watch.wait_for("picture", "the finished diagram", timeout=120)[0])
            values.append(shown - entered)
            bench.finish(program)
            bench.finish(watch)
        print("draw  third Enter to finished, z = %-6s %s; xdotool itself took median %.1f ms" % (
            z, describe(values), statistics.median(sending) * 1000), flush=True)


def cpu_seconds(pid):
    with open("/proc/%d/stat" % pid) as f:
        fields = f.read().rsplit(")", 1)[1].split()
    # utime and stime are fields 14 and 15; the split starts at field 3.
    return (int(fields[11]) + int(fields[12])) / CLOCK_TICKS


def cpu_share(pid, seconds=5.0):
    start_cpu, start_wall = cpu_seconds(pid), time.monotonic()
    time.sleep(seconds)
    return (cpu_seconds(pid) - start_cpu) / (time.monotonic() - start_wall)


def peak_resident_kib(pid):
    with open("/proc/%d/status" % pid) as f:
        for line in f:
            if line.startswith("VmHWM:"):
                return int(line.split()[1])
    raise harness.TestFailure("no VmHWM")


def measure_cpu(bench, runs):
    entry, key_wait, prompt = [], [], []
    for _ in range(runs):
        program, window, _, _, _ = bench.start()
        entry.append(cpu_share(program.process.pid))
        bench.type_entries(window, SMALL)
        bench.wait_for_page(window, SMALL, "the finished diagram")
        key_wait.append(cpu_share(program.process.pid))
        bench.session.send_tokens(["text:x"])
        bench.wait_for_page(window, SMALL + ["x"], "the closing prompt")
        prompt.append(cpu_share(program.process.pid))
        bench.finish(program)
    for title, values in (("an entry waits", entry), ("the final key wait polls", key_wait),
                          ("the closing prompt waits", prompt)):
        print("cpu   while %-28s %s" % (title, describe(values, 100.0, "% of a core")), flush=True)


def measure_memory(bench, runs):
    for entries in (SMALL, ["2\\r", "1000\\r", "2\\r"], ["2\\r", "100000\\r", "2\\r"], LARGE):
        values = []
        for _ in range(runs):
            program, window, _, _, _ = bench.start()
            bench.type_entries(window, entries)
            bench.wait_for_page(window, entries, "the finished diagram")
            bench.session.send_tokens(["text:x"])
            bench.wait_for_page(window, entries + ["x"], "the closing prompt")
            values.append(peak_resident_kib(program.process.pid))
            bench.finish(program)
        data = "/".join(entry.replace("\\r", "") for entry in entries)
        print("memory peak resident at the closing prompt, %-12s median %d KiB, largest %d KiB (n = %d)" % (
            data, statistics.median(values), max(values), len(values)), flush=True)


def main():
    parser = argparse.ArgumentParser()
    harness.add_tool_arguments(parser, probe=False)
    parser.add_argument("--runs", type=int, default=50, help="runs of each stop case; the others take a fifth")
    parser.add_argument("--only", default="start,draw,cpu,memory,stop")
    args = parser.parse_args()
    args.probe = None
    print("machine: %d processors, %s" % (os.cpu_count(), cpu_model()), flush=True)
    bench = Bench(args)
    few = max(3, args.runs // 5)
    measures = {"stop": (measure_stop, args.runs), "start": (measure_start, args.runs // 2 or 1),
                "draw": (measure_draw, few), "cpu": (measure_cpu, 3), "memory": (measure_memory, 3)}
    try:
        for name in args.only.split(","):
            function, runs = measures[name]
            function(bench, runs)
    except harness.TestFailure as failure:
        print("FAILED: %s" % failure, file=sys.stderr)
        return 1
    finally:
        bench.close()
    return 0


def cpu_model():
    with open("/proc/cpuinfo") as f:
        for line in f:
            if line.startswith("model name"):
                return line.split(":", 1)[1].strip()
    return "unknown processor"


if __name__ == "__main__":
    sys.exit(main())
