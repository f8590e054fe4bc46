#!/usr/bin/env python3
"""Acceptance of the program as a user runs it.

For each data set of the table the program is started in a real window
under Xvfb, the three entries are typed with xdotool (each entry as one burst
of keys, the way a user types it), then a key at the finished diagram when
the data were accepted. The finished screen with the closing prompt must
equal, pixel for pixel, the page that the headless routine leaves for the
same keys; one more key must then end the process with exit code 0 and take
the window away. Waits poll the screen and the process.

Usage: acceptance.py --program P --probe P --page-dump P --close-window P --watch P [DATA_SET...]
       acceptance.py --list

With no data set named, every one of the table runs, one after the other,
in one Xvfb; --list prints the names of the data sets.
"""

import argparse
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__))))

import window_harness as harness  # noqa: E402

# name: the three entries as typed ("\r" Enter, "\b" Backspace, "\t" Tab).
DATA_SETS = {
    "accepted_4_21_1": ["4\\r", "21\\r", "1\\r"],
    "accepted_6_25_2": ["6\\r", "25\\r", "2\\r"],
    "pitch_test_4_22_1": ["4\\r", "22\\r", "1\\r"],
    "pole_test_3_21_0": ["3\\r", "21\\r", "0\\r"],
    "never_ending_2_20000000_2": ["2\\r", "20000000\\r", "2\\r"],
    "never_ending_three_empty_entries": ["\\r", "\\r", "\\r"],
    "negative_poles": ["-4\\r", "21\\r", "1\\r"],
    "negative_slots_and_multiplicity": ["4\\r", "-21\\r", "-1\\r"],
    "non_whole_4_22.5_1.5": ["4\\r", "22.5\\r", "1.5\\r"],
    "slots_1000": ["2\\r", "1000\\r", "2\\r"],
    "infinities_and_nan_0_-1_-1": ["0\\r", "-1\\r", "-1\\r"],
    "refused_keys_and_backspace": ["4x\\b\\b4\\r", "2q1\\r", "1-\\r"],
    "exponent_taken_back": ["2.1E\\b\\b\\r", "2E1\\b\\b1\\r", "1e+\\b\\b\\r"],
    "tab_in_entries": ["4\\t\\r", "\\t21\\r", "1\\t\\b\\r"],
    "minus_and_plus_signs": ["+4\\r", "2-1\\r", "--1\\r"],
}

FINAL_KEY = "text:x"
CLOSING_KEY = "text:y"


def keysyms_of(entry):
    return harness.token_keysyms("text:" + entry)


def run_data_set(session, name):
    entries = DATA_SETS[name]
    program, window, _ = harness.start_winding_watched(session)
    typed = []
    info = {}
    for entry in entries:
        typed.append("text:" + entry)
        expected, info = session.expected_page("winding", typed)
        session.tool("xdotool", "key", "--delay", "15", *keysyms_of(entry))
        session.wait_for_picture(window, expected, "the picture after the entries %s" % " ".join(entries[:len(typed)]))
    check_end = info.get("run_end")
    harness.check(check_end in ("key_waiting", "closing_prompt"), "the headless run ended at %s" % info)
    if check_end == "key_waiting":
        typed.append(FINAL_KEY)
        session.send_tokens([FINAL_KEY])
    finished, info = session.expected_page("winding", typed)
    harness.check(info.get("run_end") == "closing_prompt", "no closing prompt in the headless run: %s" % info)
    session.wait_for_picture(window, finished, "the finished screen with the closing prompt")
    session.send_tokens([CLOSING_KEY])
    harness.expect_clean_end(session, program, window, "after the key at the closing prompt")


def main():
    if sys.argv[1:] == ["--list"]:
        print("\n".join(DATA_SETS))
        return 0
    parser = argparse.ArgumentParser()
    harness.add_tool_arguments(parser)
    parser.add_argument("data_sets", nargs="*", metavar="DATA_SET")
    args = parser.parse_args()
    unknown = [name for name in args.data_sets if name not in DATA_SETS]
    if unknown:
        parser.error("unknown data sets %s (known: %s)" % (unknown, ", ".join(DATA_SETS)))
    names = args.data_sets or list(DATA_SETS)
    failed = []
    session = harness.Session(args)
    try:
        for name in names:
            try:
                run_data_set(session, name)
                print("passed: " + name)
            except harness.TestFailure as failure:
                print("FAILED: %s: %s" % (name, failure), file=sys.stderr)
                failed.append(name)
            finally:
                for program in session.programs:
                    program.stop()
                session.programs.clear()
    finally:
        session.close()
    print("%d passed, %d failed" % (len(names) - len(failed), len(failed)))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
