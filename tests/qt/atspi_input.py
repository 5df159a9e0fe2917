"""Works a running program's window through AT-SPI, as a screen reader does:
with no input event of the window system's. The program must run with
QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 on the same session bus.

Commands:
    text PID WORD     types WORD at the caret of the text box that has the
                      focus in process PID's window
    focus PID NAME    moves the focus to the control named NAME
    press PID [NAME]  presses the button named NAME, or else the one that
                      has the focus
Each waits up to 20 seconds for its control: the program registers a little
after it starts.

Usage: atspi_input.py COMMAND PID [ARGUMENT]
    runs one command; exits 1, saying why, when its control is missing.
Usage: atspi_input.py
    prints "ready" once the accessibility bus is up, then reads commands,
    one a line, and prints "sent" after each, or "failed: REASON".
"""

import sys
import time

import pyatspi
from gi.repository import GLib

PATIENCE = 20  # seconds


def application(pid):
    for app in pyatspi.Registry.getDesktop(0):
        if app is not None and app.get_process_id() == pid:
            return app
    return None


def control(pid, wanted):
    """The first control of process pid's window for which wanted is true,
    looked for again until it is there."""
    deadline = time.monotonic() + PATIENCE
    while True:
        app = application(pid)
        found = app and pyatspi.findDescendant(app, wanted)
        if found or time.monotonic() > deadline:
            return found
        time.sleep(0.05)


def focused(node):
    return node.getState().contains(pyatspi.STATE_FOCUSED)


def do_action(node, name):
    action = node.queryAction()
    for index in range(action.nActions):
        if action.getName(index) == name:
            try:
                action.doAction(index)
            except GLib.Error:
                pass  # "Copy+Close" may end the program before it answers
            return True
    return False


def run(command, pid, argument):
    """Runs one command; returns why it failed, or None."""
    if command == "text":
        box = control(pid, lambda node: focused(node) and node.getState()
                      .contains(pyatspi.STATE_EDITABLE))
        if not box:
            return "no focused text box"
        box.queryEditableText().insertText(box.queryText().caretOffset,
                                           argument, len(argument))
    elif command == "focus":
        named = control(pid, lambda node: node.name == argument)
        if not named or not do_action(named, "SetFocus"):
            return f"no control {argument!r} to focus"
    elif command == "press":
        button = control(
            pid, lambda node: node.getRole() == pyatspi.ROLE_PUSH_BUTTON and
            (node.name == argument if argument else focused(node)))
        if not button or not do_action(button, "Press"):
            return f"no button {argument or 'with the focus'} to press"
    else:
        return f"no command {command!r}"
    return None


def main():
    if len(sys.argv) > 2:
        failure = run(sys.argv[1], int(sys.argv[2]), " ".join(sys.argv[3:]))
        if failure:
            print(failure, file=sys.stderr)
        sys.exit(1 if failure else 0)
    pyatspi.Registry.getDesktop(0)  # starts the accessibility bus
    print("ready", flush=True)
    for line in sys.stdin:
        command, pid, argument = (line.rstrip("\n").split(" ", 2) + [""])[:3]
        failure = run(command, int(pid), argument)
        print(f"failed: {failure}" if failure else "sent", flush=True)


main()
