#!/usr/bin/env python3
"""Fails when a translation's numbered gaps ("{1}", "{2}") are not those of
its English text: every msgstr has the gaps of its msgid, every msgstr[i]
those of msgid_plural (msgstr[0] those of msgid), so that no value goes
missing and none is left as "{2}" on the screen. Untranslated messages pass.
Usage: check_gaps.py FILE.po..."""

import ast
import re
import sys

GAP = re.compile(r"\{[1-9]\}")


def entries(path):
    """Each message of path as {field: text}, obsolete ones left out."""
    entry, field = {}, None
    with open(path, encoding="utf-8") as po:
        for line in po:
            line = line.strip()
            if line.startswith("#") or not line:
                if entry and not line:
                    yield entry
                    entry, field = {}, None
                continue
            if line.startswith('"'):
                entry[field] += ast.literal_eval(line)
                continue
            field, _, text = line.partition(" ")
            entry[field] = ast.literal_eval(text)
    if entry:
        yield entry


def main(paths):
    wrong = 0
    for path in paths:
        for entry in entries(path):
            for field, text in entry.items():
                if not field.startswith("msgstr") or not text:
                    continue
                english = entry["msgid"]
                if field not in ("msgstr", "msgstr[0]"):
                    english = entry["msgid_plural"]
                if set(GAP.findall(text)) != set(GAP.findall(english)):
                    print("%s: %s %r has other gaps than %r" %
                          (path, field, text, english))
                    wrong += 1
    return 1 if wrong else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
