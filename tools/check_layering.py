#!/usr/bin/env python3
"""Checks that no source includes a header of a room that its own room does
not link: each room of platform/ (and the routine in winding/) may include
its own headers and those of the libraries its CMake target links, as
platform/CMakeLists.txt, platform/window/CMakeLists.txt and
winding/CMakeLists.txt state them. So the layering that the build enforces
for symbols holds for headers too.

Usage: check_layering.py SOURCE_DIR
"""

import os
import re
import sys


def room_links(source_dir):
    """{room: set of rooms it may include} from the CMake files."""
    links = {}
    with open(os.path.join(source_dir, "platform", "CMakeLists.txt")) as f:
        for name, arguments in re.findall(r"^platform_room\((\w+)([^)]*)\)", f.read(), re.M):
            links[name] = set(re.findall(r"platform_(\w+)", arguments.split("SOURCES")[0]))
    targets = {"window": os.path.join("platform", "window", "CMakeLists.txt"),
               "winding": os.path.join("winding", "CMakeLists.txt")}
    for room, path in targets.items():
        with open(os.path.join(source_dir, path)) as f:
            text = f.read()
        target = "platform_window" if room == "window" else "winding"
        call = re.search(r"target_link_libraries\(%s\b([^)]*)\)" % target, text)
        links[room] = set(re.findall(r"platform_(\w+)", call.group(1)))
    return links


def room_of(path):
    parts = path.split(os.sep)
    if parts[0] == "platform" and len(parts) > 2:
        return parts[1]
    if parts[0] == "winding":
        return "winding"
    return None


def main():
    source_dir = sys.argv[1] if len(sys.argv) > 1 else "."
    links = room_links(source_dir)
    problems = []
    for top in ("platform", "winding"):
        for folder, _, files in os.walk(os.path.join(source_dir, top)):
            for name in files:
                if not name.endswith((".h", ".cpp")):
                    continue
                path = os.path.relpath(os.path.join(folder, name), source_dir)
                room = room_of(path)
                if room is None:
                    problems.append("%s lies outside every room" % path)
                    continue
                if room not in links:
                    problems.append("%s: the room %s has no library" % (path, room))
                    continue
                with open(os.path.join(source_dir, path)) as f:
                    for number, line in enumerate(f, 1):
                        included = re.match(r'#include "(platform/(\w+)|winding)/', line)
                        if not included:
                            continue
                        other = included.group(2) or "winding"
                        if other != room and other not in links[room]:
                            problems.append("%s:%d includes the room %s, which %s does not link"
                                            % (path, number, other, room))
    for problem in problems:
        print(problem, file=sys.stderr)
    print("%d rooms checked, %d problems" % (len(links), len(problems)))
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
