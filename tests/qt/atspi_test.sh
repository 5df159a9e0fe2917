#!/usr/bin/env bash
# The running program as a screen reader meets it over AT-SPI (run it under
# tests/with-xvfb.sh), in the locale LOCALE (LC_ALL; default C.UTF-8; others
# from LOCPATH, with the build tree's catalogues from TEXTDOMAINDIR): after
# text is typed, the two text boxes have two different names, the output
# box holds the digest of the text's bytes in the locale's character set,
# and its description says in the locale's language which bytes were
# hashed. In a language written right to left the window is mirrored:
# "Copy+Close" lies right of "Close". Runs its own session bus, on which the
# accessibility bus starts.
# Usage: atspi_test.sh PROGRAM [LOCALE]
set -euo pipefail

if [ -z "${TTM_ATSPI_SESSION:-}" ]; then
  TTM_ATSPI_SESSION=1 exec dbus-run-session -- "$0" "$@"
fi

program=$1
locale=${2:-C.UTF-8}
export LC_ALL=C.UTF-8 # for the tools; the program gets the locale under test
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 # no desktop here to turn it on
XDG_RUNTIME_DIR=$(mktemp -d)
export XDG_RUNTIME_DIR

source "$(dirname "$0")/../e2e_lib.sh"
LC_ALL=$locale "$program" &
program_pid=$!
started_pids+=("$program_pid")
trap 'stop_started; rm -rf "$XDG_RUNTIME_DIR"' EXIT

focus_window >/dev/null

# Debian's python, for which python3-pyatspi is built.
/usr/bin/python3 - "$program_pid" "$locale" \
  "$(dirname "$0")/atspi_input.py" <<'PYTHON'
import hashlib
import subprocess
import sys
import time

import pyatspi

pid, locale, atspi_input = int(sys.argv[1]), sys.argv[2], sys.argv[3]

# locale: (text typed, its bytes' character set, the description, mirrored)
SESSIONS = {
    "C.UTF-8": ("aä", "utf-8", "MD5 of 3 bytes: the text in UTF-8, the "
                "character set of the locale.", False),
    "ja_JP.UTF-8": ("日本語", "utf-8", "9 バイトの MD5: UTF-8 (ロケールの文字"
                    "セット)で表したテキスト。", False),
    "ja_JP.EUC-JP": ("日本語", "euc-jp", "6 バイトの MD5: EUC-JP (ロケールの文字"
                     "セット)で表したテキスト。\nUTF-8 でのテキストの MD5 (ほかの"
                     "ほとんどのツールや Web ページが計算する値): "
                     "00110AF8B4393EF3F72C50BE5B332BEC", False),
    "ru_RU.UTF-8": ("Чай", "utf-8", "MD5 от 6 байтов: текст в UTF-8, кодировке "
                    "локали.", False),
    "ar_EG.UTF-8": ("شاي", "utf-8", "ملخص MD5 لـ6 بايتات: النص محوّلًا إلى "
                    "UTF-8، مجموعة أحرف الإعدادات المحلية.", True),
}
text, charset, expected, mirrored = SESSIONS[locale]
digest = hashlib.md5(text.encode(charset)).hexdigest().upper()

# Typed through AT-SPI: X11 keys for these characters would reach a legacy
# locale's program as Latin-1.
subprocess.run(["/usr/bin/python3", atspi_input, "text", str(pid), text],
               check=True)


def controls():
    for app in pyatspi.Registry.getDesktop(0):
        if app is not None and app.get_process_id() == pid:
            return pyatspi.findAllDescendants(
                app, lambda node: node.getRole() in (
                    pyatspi.ROLE_TEXT, pyatspi.ROLE_ENTRY,
                    pyatspi.ROLE_PUSH_BUTTON))
    return []


def contents(node):
    text = node.queryText()
    return text.getText(0, text.characterCount)


# The program registers, and its description follows the typing, a little
# after the keys: look again for up to 20 seconds.
deadline = time.monotonic() + 20
while True:
    nodes = controls()
    boxes = [node for node in nodes
             if node.getRole() != pyatspi.ROLE_PUSH_BUTTON]
    descriptions = [box.description for box in boxes]
    if expected in descriptions or time.monotonic() > deadline:
        break
    time.sleep(0.5)

for box in boxes:
    print(f"text box {box.name!r}: {contents(box)!r}, "
          f"description {box.description!r}")
names = [box.name for box in boxes]
failures = []
if len(boxes) != 2:
    failures.append(f"{len(boxes)} text boxes, not 2")
if "" in names or len(set(names)) != len(names):
    failures.append("the text boxes' names are missing or alike")
if expected not in descriptions:
    failures.append(f"no text box is described as {expected!r}")
if digest not in [contents(box) for box in boxes]:
    failures.append(f"no text box holds the digest {digest}")
left = {node.name: node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS).x
        for node in nodes if node.getRole() == pyatspi.ROLE_PUSH_BUTTON}
print(f"buttons' left edges: {left}")
if len(left) != 2 or (left["Copy+Close"] > left["Close"]) != mirrored:
    failures.append("the buttons are not in the locale's direction")
for failure in failures:
    print("FAIL:", failure, file=sys.stderr)
sys.exit(1 if failures else 0)
PYTHON
