#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
# Reads, through AT-SPI, the first list of the application named on the command line and prints
# "list <child count>", then per child "<role> <name> <states>" with the states among selectable,
# selected, focused; "missing" when no such application shows up within 30 s.
import sys
import time

import pyatspi


def find_list(node, depth=0):
    if node is None or depth > 12:
        return None
    if node.getRole() == pyatspi.ROLE_LIST:
        return node
    for i in range(node.childCount):
        found = find_list(node.getChildAtIndex(i), depth + 1)
        if found is not None:
            return found
    return None


def main():
    name = sys.argv[1]
    deadline = time.monotonic() + 30
    view = None
    while view is None and time.monotonic() < deadline:
        desktop = pyatspi.Registry.getDesktop(0)
        for i in range(desktop.childCount):
            app = desktop.getChildAtIndex(i)
            if app is not None and app.name == name:
                view = find_list(app)
        if view is None:
            time.sleep(0.2)
    if view is None:
        print("missing")
        return
    print("list", view.childCount)
    wanted = [("selectable", pyatspi.STATE_SELECTABLE), ("selected", pyatspi.STATE_SELECTED),
              ("focused", pyatspi.STATE_FOCUSED)]
    for i in range(view.childCount):
        child = view.getChildAtIndex(i)
        states = child.getState()
        shown = [word for word, state in wanted if states.contains(state)]
        print(child.getRoleName().replace(" ", "-"), child.name, ",".join(shown) or "-")
    sys.stdout.flush()


main()
