#!/usr/bin/env bash
# The running program as a screen reader meets it over AT-SPI (run it under
# tests/with-xvfb.sh): after text is typed, the two text boxes have two
# different names, and the output box's description says which bytes were
# hashed. Runs its own session bus, on which the accessibility bus starts.
# Usage: atspi_test.sh PROGRAM
set -euo pipefail

if [ -z "${TTM_ATSPI_SESSION:-}" ]; then
  TTM_ATSPI_SESSION=1 exec dbus-run-session -- "$0" "$@"
fi

program=$1
export LC_ALL=C.UTF-8
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 # no desktop here to turn it on
XDG_RUNTIME_DIR=$(mktemp -d)
export XDG_RUNTIME_DIR

source "$(dirname "$0")/../e2e_lib.sh"
"$program" &
program_pid=$!
started_pids+=("$program_pid")
trap 'stop_started; rm -rf "$XDG_RUNTIME_DIR"' EXIT

focus_window >/dev/null
send_text 'aä' # 1 + 2 bytes in UTF-8

# Debian's python, for which python3-pyatspi is built.
/usr/bin/python3 - "$program_pid" <<'PYTHON'
import sys
import time

import pyatspi

pid = int(sys.argv[1])
expected = ("MD5 of 3 bytes: the text in UTF-8, the character set of the "
            "locale.")


def text_boxes():
    for app in pyatspi.Registry.getDesktop(0):
        if app is not None and app.get_process_id() == pid:
            return pyatspi.findAllDescendants(
                app, lambda node: node.getRole() in (pyatspi.ROLE_TEXT,
                                                     pyatspi.ROLE_ENTRY))
    return []


# The program registers, and its description follows the typing, a little
# after the keys: look again for up to 20 seconds.
deadline = time.monotonic() + 20
while True:
    boxes = [(box.name, box.description) for box in text_boxes()]
    descriptions = [description for _, description in boxes]
    if expected in descriptions or time.monotonic() > deadline:
        break
    time.sleep(0.5)

for name, description in boxes:
    print(f"text box {name!r}: description {description!r}")
names = [name for name, _ in boxes]
failures = []
if len(boxes) != 2:
    failures.append(f"{len(boxes)} text boxes, not 2")
if "" in names or len(set(names)) != len(names):
    failures.append("the text boxes' names are missing or alike")
if expected not in descriptions:
    failures.append(f"no text box is described as {expected!r}")
for failure in failures:
    print("FAIL:", failure, file=sys.stderr)
sys.exit(1 if failures else 0)
PYTHON
