#!/usr/bin/env python3
"""Fails when a translation is not whole: a message of the template that it
lacks (one that only it has, translated ahead of the sources, passes and
goes unused), a message without a translation, a plural without each of the
forms that the language's rule can pick (the header's nplurals, and the
rule picks every one of them and none beyond), or a translation whose
numbered gaps ("{1}", "{2}") are not those of its English text: every msgstr
has the gaps of its msgid, every msgstr[i] those of msgid_plural (msgstr[0]
those of msgid, and a language with one form those of msgid_plural), so that
no value goes missing and none is left as "{2}" on the screen. A fuzzy
message counts as untranslated, as msgfmt leaves it out.
Usage: check_gaps.py TEMPLATE.pot FILE.po..."""

import ast
import gettext
import re
import sys

GAP = re.compile(r"\{[1-9]\}")


def entries(path):
    """Each message of path as {field: text}, obsolete ones left out."""
    entry, field = {}, None
    with open(path, encoding="utf-8") as po:
        for line in po:
            line = line.strip()
            if line.startswith("#,") and "fuzzy" in line:
                entry["fuzzy"] = True
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


def plural_rule(header):
    """The header's nplurals and its rule as a function of n."""
    fields = dict(field.strip().partition("=")[::2]
                  for line in header.splitlines()
                  if line.startswith("Plural-Forms:")
                  for field in line.partition(":")[2].split(";") if field.strip())
    try:
        return (int(fields.get("nplurals", "2")),
                gettext.c2py(fields.get("plural", "n != 1")))
    except ValueError:
        return 0, lambda n: None


def main(template, paths):
    wrong = 0
    keys = {(e["msgid"], e.get("msgid_plural")) for e in entries(template)}

    def fail(path, why):
        nonlocal wrong
        print("%s: %s" % (path, why))
        wrong += 1

    for path in paths:
        messages = list(entries(path))
        header = next((e for e in messages if e.get("msgid") == ""), {})
        forms, rule = plural_rule(header.get("msgstr", ""))
        for english, _ in keys - {(e["msgid"], e.get("msgid_plural"))
                                  for e in messages}:
            fail(path, "%r of the template is missing" % english)
        picked = {rule(n) for n in range(10000)}
        if picked != set(range(forms)):
            fail(path, "nplurals=%d, but the rule picks the forms %s"
                 % (forms, sorted(picked)))
        for entry in messages:
            english = entry["msgid"]
            if entry.get("fuzzy"):
                fail(path, "%r is marked fuzzy" % english)
            if not english:
                continue
            wanted = (["msgstr[%d]" % i for i in range(forms)]
                      if "msgid_plural" in entry else ["msgstr"])
            had = sorted(field for field in entry if field.startswith("msgstr"))
            if had != sorted(wanted):
                fail(path, "%r has %s, not %s" % (english, had, wanted))
            for field in wanted:
                text = entry.get(field, "")
                if not text:
                    fail(path, "%r has no %s" % (english, field))
                    continue
                source = english
                if field not in ("msgstr", "msgstr[0]") or (
                        field == "msgstr[0]" and forms == 1):
                    source = entry["msgid_plural"]
                if set(GAP.findall(text)) != set(GAP.findall(source)):
                    fail(path, "%s %r has other gaps than %r" %
                         (field, text, source))
    return 1 if wrong else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1], sys.argv[2:]))
