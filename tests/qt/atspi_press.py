"""Presses a button of a running program through AT-SPI, as a screen reader
does: with no input event of the window system's.

Usage: atspi_press.py PID CAPTION
Waits up to 20 seconds for the program to register; exits 1 when it has no
button of that caption.
"""

import sys
import time

import pyatspi


def button(pid, caption):
    for app in pyatspi.Registry.getDesktop(0):
        if app is not None and app.get_process_id() == pid:
            found = pyatspi.findDescendant(
                app, lambda node: node.getRole() == pyatspi.ROLE_PUSH_BUTTON
                and node.name == caption)
            if found is not None:
                return found
    return None


def main():
    pid, caption = int(sys.argv[1]), sys.argv[2]
    deadline = time.monotonic() + 20
    while (found := button(pid, caption)) is None:
        if time.monotonic() > deadline:
            print(f"no button {caption!r}", file=sys.stderr)
            sys.exit(1)
        time.sleep(0.2)
    found.queryAction().doAction(0)


main()
