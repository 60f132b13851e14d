#!/usr/bin/python3
"""Finds a showing control of a running program by role and accessible name, through
AT-SPI as a screen reader does, in the top-level window of <pid> whose corner lies
nearest (<x>, <y>); prints "cx cy x y width height" (its centre, then its box).

  a11y_find.py <pid> <x> <y> <role> <name> [timeout-seconds]

Exits 1 when nothing matches before the timeout.
"""
import sys
import time

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi  # noqa: E402


def safe(call, default=None):
    try:
        return call()
    except Exception:  # a node that went away or has no place on screen
        return default


def extents(node):
    return safe(lambda: node.get_component_iface().get_extents(Atspi.CoordType.SCREEN))


def showing(node):
    return safe(lambda: node.get_state_set().contains(Atspi.StateType.SHOWING), False)


def find(node, role, name, depth=0):
    if node is None or depth > 40:
        return None
    if safe(lambda: node.get_role_name() == role and node.get_name() == name) and showing(node):
        return node
    for i in range(safe(node.get_child_count, 0)):
        hit = find(safe(lambda: node.get_child_at_index(i)), role, name, depth + 1)
        if hit is not None:
            return hit
    return None


def main():
    pid, wx, wy = int(sys.argv[1]), int(sys.argv[2]), int(sys.argv[3])
    role, name = sys.argv[4], sys.argv[5]
    deadline = time.monotonic() + (float(sys.argv[6]) if len(sys.argv) > 6 else 10.0)
    while time.monotonic() < deadline:
        desktop = Atspi.get_desktop(0)
        apps = [desktop.get_child_at_index(i) for i in range(desktop.get_child_count())]
        windows = [app.get_child_at_index(j) for app in apps
                   if app is not None and safe(app.get_process_id) == pid
                   for j in range(safe(app.get_child_count, 0))]
        placed = [(abs(box.x - wx) + abs(box.y - wy), i) for i, w in enumerate(windows)
                  if w is not None and showing(w) and (box := extents(w)) is not None]
        if placed:
            box = extents(find(windows[min(placed)[1]], role, name))
            if box is not None and box.width > 0 and box.height > 0:
                print(box.x + box.width // 2, box.y + box.height // 2, box.x, box.y, box.width,
                      box.height)
                return 0
        time.sleep(0.2)
    return 1


if __name__ == "__main__":
    sys.exit(main())
