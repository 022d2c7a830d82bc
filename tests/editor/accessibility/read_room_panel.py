"""Reads the editor's room panel and a List Data line as a screen reader does, through the
accessibility tree (AT-SPI). Run inside a D-Bus session with an X display:
    read_room_panel.py EDITOR ROM DATAFILE
Exit 0: read as expected; 1: not; 77: this machine has no Python binding of AT-SPI."""

import os
import re
import subprocess
import sys
import time

SKIP = 77

try:
    import pyatspi
except ImportError:
    print("no Python AT-SPI binding (python3-pyatspi): skipped")
    sys.exit(SKIP)


def walk(node, depth=0):
    """Every accessible below `node`, breadth first, to a limited depth."""
    if node is None or depth > 25:
        return
    yield node
    for k in range(node.childCount):
        try:
            child = node.getChildAtIndex(k)
        except Exception:  # a child that went away while it was read
            continue
        yield from walk(child, depth + 1)


def find(app, wanted, timeout=20.0):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        for node in walk(app):
            try:
                if wanted(node):
                    return node
            except Exception:
                pass
        time.sleep(0.3)
    return None


def main():
    editor, rom, data_file = (os.path.abspath(path) for path in sys.argv[1:4])
    env = dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_ACCESSIBILITY="1")
    process = None
    try:
        app = None
        # A display that has only just come up may turn the first connection away: the editor then
        # ends at once and is started again.
        for _ in range(3):
            process = subprocess.Popen([editor, rom, data_file], env=env, cwd=os.path.dirname(rom))
            deadline = time.monotonic() + 30
            while app is None and process.poll() is None and time.monotonic() < deadline:
                desktop = pyatspi.Registry.getDesktop(0)
                for k in range(desktop.childCount):
                    candidate = desktop.getChildAtIndex(k)
                    if candidate is not None and candidate.name == "CorvaneText":
                        app = candidate
                time.sleep(0.3)
            if app is not None or process.poll() is None:
                break
            print("the editor ended with", process.returncode, "before it showed; started again")
            time.sleep(1)
        if app is None:
            print("the editor never showed in the accessibility tree")
            return 1

        # What a screen reader says of a label: its name (the text shown) and its description.
        room = find(app, lambda n: n.getRoleName() == "label" and n.description == "Room of the current block")
        if room is None:
            print("no label described as the room of the current block")
            return 1
        print("Room:", room.name)
        if not re.fullmatch(r"[0-9A-F]{6}: [0-9,]+ of [0-9,]+ bytes, [0-9,]+ left", room.name):
            print("the room panel does not read as the block's fit")
            return 1

        progress = find(app, lambda n: n.getRoleName() == "label" and
                        n.description == "Strings translated in the current block")
        print("Progress:", progress and progress.name)
        if progress is None or not re.fullmatch(r"[0-9,]+ of [0-9,]+ strings translated", progress.name):
            print("no progress panel reading \"n of m strings translated\"")
            return 1

        line = find(app, lambda n: n.getRoleName() in ("list item", "table cell") and n.name.strip() == "String# 0")
        if line is None:
            print("no List Data line \"String# 0\"")
            return 1
        print("String# 0:", line.description)
        if line.description != "not translated yet":  # the demo's script is not translated yet
            print("the line's description is not its state")
            return 1
        return 0
    finally:
        if process is not None:
            process.terminate()
            try:
                process.wait(timeout=10)
            except subprocess.TimeoutExpired:
                process.kill()


if __name__ == "__main__":
    sys.exit(main())
