#!/usr/bin/python3
"""Finds a control of a running program by its accessible name, through AT-SPI, as a
screen reader would, and prints where it is on the screen: "cx cy x y width height"
(its centre, then its box).

  a11y_find.py <pid> <window-x> <window-y> <role> <name> [timeout-seconds]

The control is looked for in the top-level window of process <pid> whose top-left
corner lies nearest (<window-x>, <window-y>); only controls that are showing count.
Exits 1 when nothing matches before the timeout.
"""
import sys
import time

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi  # noqa: E402


def extents(node):
    try:
        return node.get_component_iface().get_extents(Atspi.CoordType.SCREEN)
    except Exception:  # a node without a place on screen
        return None


def showing(node):
    try:
        return node.get_state_set().contains(Atspi.StateType.SHOWING)
    except Exception:
        return False


def find(node, role, name, depth=0):
    if depth > 40:
        return None
    try:
        if node.get_role_name() == role and node.get_name() == name and showing(node):
            return node
        count = node.get_child_count()
    except Exception:
        return None
    for i in range(count):
        child = node.get_child_at_index(i)
        if child is not None:
            hit = find(child, role, name, depth + 1)
            if hit is not None:
                return hit
    return None


def windows_of(pid):
    desktop = Atspi.get_desktop(0)
    for i in range(desktop.get_child_count()):
        app = desktop.get_child_at_index(i)
        try:
            if app is None or app.get_process_id() != pid:
                continue
            for j in range(app.get_child_count()):
                window = app.get_child_at_index(j)
                if window is not None:
                    yield window
        except Exception:
            continue


def main():
    pid, wx, wy = int(sys.argv[1]), int(sys.argv[2]), int(sys.argv[3])
    role, name = sys.argv[4], sys.argv[5]
    timeout = float(sys.argv[6]) if len(sys.argv) > 6 else 10.0
    deadline = time.monotonic() + timeout
    while True:
        candidates = []
        for window in windows_of(pid):
            box = extents(window)
            if box is not None and showing(window):
                candidates.append((abs(box.x - wx) + abs(box.y - wy), window))
        for _, window in sorted(candidates, key=lambda c: c[0]):
            hit = find(window, role, name)
            box = extents(hit) if hit is not None else None
            if box is not None and box.width > 0 and box.height > 0:
                print(box.x + box.width // 2, box.y + box.height // 2, box.x, box.y, box.width,
                      box.height)
                return 0
            break  # only the nearest window
        if time.monotonic() > deadline:
            return 1
        time.sleep(0.2)


if __name__ == "__main__":
    sys.exit(main())
