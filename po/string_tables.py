#!/usr/bin/env python3
"""Writes compiled gettext catalogues as Windows string-table resources.

Usage: string_tables.py --rc RC --index HEADER LANGUAGE=CATALOGUE.mo...

RC gets one string table with every translation; HEADER tells the Windows
translation seam (ui/platform/translation_win32.cpp) where each one lies:
string kFirstStringId + (language * messages + message) * kMaxForms + form,
for the language's place in kLanguages, the English text's place in
kMessages and the plural form that the language's rule picks. A text without a
translation has no string and stays English.
"""
import argparse
import gettext

FIRST_STRING_ID = 1000
MAX_FORMS = 8  # more than any language's plural forms
LAST_STRING_ID = 65535


def rc_string(text):
    """text as an .rc wide-string literal, every character safe for windres."""
    out = []
    units = text.encode("utf-16-le")
    for i in range(0, len(units), 2):
        code = units[i] | units[i + 1] << 8
        char = chr(code)
        if char == '"':
            out.append('""')
        elif char == "\\":
            out.append("\\\\")
        elif 0x20 <= code < 0x7F:
            out.append(char)
        else:
            out.append("\\x%04x" % code)
    return 'L"' + "".join(out) + '"'


def cpp_string(text):
    return '"' + text.replace("\\", "\\\\").replace('"', '\\"').replace(
        "\n", "\\n") + '"'


def read_catalogue(path):
    """{English text: [forms]} and the plural rule, a C expression in n."""
    with open(path, "rb") as file:
        catalogue = gettext.GNUTranslations(file)
    forms = {}
    for key, text in catalogue._catalog.items():
        english, form = key if isinstance(key, tuple) else (key, 0)
        if english:
            forms.setdefault(english, {})[form] = text
    rule = "n != 1"
    for field in catalogue.info().get("plural-forms", "").split(";"):
        name, _, value = field.strip().partition("=")
        if name == "plural" and value:
            rule = value
    return {english: [by_form[i] for i in sorted(by_form)]
            for english, by_form in forms.items()}, rule


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--rc", required=True)
    parser.add_argument("--index", required=True)
    parser.add_argument("catalogues", nargs="*", metavar="LANGUAGE=MO")
    args = parser.parse_args()

    languages = []
    for entry in args.catalogues:
        language, _, path = entry.partition("=")
        languages.append((language.replace("_", "-"), *read_catalogue(path)))
    messages = sorted({english for _, forms, _ in languages for english in forms})

    table = []
    for place, (_, forms, _) in enumerate(languages):
        for message, english in enumerate(messages):
            for form, text in enumerate(forms.get(english, [])):
                if form >= MAX_FORMS:
                    raise SystemExit("more than %d plural forms" % MAX_FORMS)
                number = FIRST_STRING_ID + (
                    place * len(messages) + message) * MAX_FORMS + form
                if number > LAST_STRING_ID:
                    raise SystemExit("too many translations for string IDs")
                table.append("  %d, %s" % (number, rc_string(text)))

    notice = "// Written by po/string_tables.py from po/; do not edit.\n"
    with open(args.rc, "w", encoding="ascii") as rc:
        rc.write(notice + "LANGUAGE 0, 0  // neutral: picked by the program\n")
        if table:
            rc.write("STRINGTABLE\nBEGIN\n" + "\n".join(table) + "\nEND\n")

    rules = "".join("    case %d:\n      return static_cast<unsigned>(%s);\n"
                    % (place, rule) for place, (_, _, rule) in enumerate(languages))
    with open(args.index, "w", encoding="utf-8") as index:
        index.write(notice + """#pragma once

#include <array>
#include <cstddef>

namespace ui::catalogue {

inline constexpr unsigned kFirstStringId = %d;
inline constexpr unsigned kMaxForms = %d;

// The languages with a translation, as Windows names them.
inline constexpr std::array<const char16_t*, %d> kLanguages = {%s};

// The English texts with a translation; a plural's by its singular.
inline constexpr std::array<const char*, %d> kMessages = {
%s};

// The plural form for n in the language kLanguages[language].
inline unsigned PluralForm([[maybe_unused]] std::size_t language,
                           [[maybe_unused]] std::size_t n) {
  switch (language) {
%s  }
  return 0;
}

}  // namespace ui::catalogue
""" % (FIRST_STRING_ID, MAX_FORMS, len(languages),
       ", ".join('u"%s"' % name for name, _, _ in languages), len(messages),
       "".join("    %s,\n" % cpp_string(m) for m in messages), rules))


if __name__ == "__main__":
    main()
