#!/usr/bin/env python3
"""Writes the tables of the characters that the explanation names, from the
Unicode Character Database (Debian's unicode-data, /usr/share/unicode), as a
C++ header: the kind of every code point the explanation names, and around a
joiner, what tells spelling from hiding.

Usage: unicode_tables.py UCD_FOLDER OUTPUT_HEADER
"""

import os
import re
import sys

LAST_CODE_POINT = 0x10FFFF

# Unicode's algorithm for Hangul syllables (chapter 3.12 of the standard)
# composes these vowel and trailing consonant jamo with the syllable before
# them; the database lists no decomposition for the syllables.
HANGUL_V_FIRST, HANGUL_V_COUNT = 0x1161, 21
HANGUL_T_FIRST, HANGUL_T_COUNT = 0x11A8, 27


def ranges(path, wanted=None):
    """(first, last, value) of each line of a UCD property file."""
    with open(path, encoding="utf-8") as data:
        for line in data:
            line = line.split("#", 1)[0].strip()
            if not line:
                continue
            fields = [field.strip() for field in line.split(";")]
            first, _, last = fields[0].partition("..")
            if wanted is None or fields[1] == wanted:
                yield int(first, 16), int(last or first, 16), fields[1]


def code_set(path, wanted=None):
    return {code for first, last, _ in ranges(path, wanted)
            for code in range(first, last + 1)}


def unicode_data(folder):
    """Each code point's fields of UnicodeData.txt, ranges spread out."""
    fields_of = {}
    first = None
    with open(os.path.join(folder, "UnicodeData.txt"), encoding="utf-8") as data:
        for line in data:
            fields = line.rstrip("\n").split(";")
            code = int(fields[0], 16)
            if fields[1].endswith(", First>"):
                first = code
                continue
            if fields[1].endswith(", Last>"):
                for inner in range(first, code + 1):
                    fields_of[inner] = fields
                continue
            fields_of[code] = fields
    return fields_of


def block(folder, name):
    for first, last, value in ranges(os.path.join(folder, "Blocks.txt")):
        if value == name:
            return first, last
    raise SystemExit(f"no block {name} in the database")


def version(folder):
    with open(os.path.join(folder, "DerivedCoreProperties.txt"),
              encoding="utf-8") as data:
        match = re.search(r"-(\d+\.\d+\.\d+)\.txt", data.readline())
    if not match:
        raise SystemExit("no version in DerivedCoreProperties.txt")
    return match.group(1)


def kinds(folder, data):
    """code point -> the name of its Kind."""
    path = lambda name: os.path.join(folder, name)
    white_space = code_set(path("PropList.txt"), "White_Space")
    ignorable = code_set(path("DerivedCoreProperties.txt"),
                         "Default_Ignorable_Code_Point")
    selectors = code_set(path("PropList.txt"), "Variation_Selector")
    direction = code_set(path("PropList.txt"), "Bidi_Control")
    # Format characters that show a sign of their own.
    shown = code_set(path("PropList.txt"), "Prepended_Concatenation_Mark")
    tags = block(folder, "Tags")
    category = lambda code: data[code][2] if code in data else "Cn"
    format_chars = {code for code in data
                    if category(code) == "Cf" and code not in shown}
    controls = {code for code in data if category(code) == "Cc"}
    # U+0020 between words is the text itself; at its ends the scan names it.
    named = (ignorable | white_space | controls | format_chars) - {0x20}

    result = {}
    for code in sorted(named):
        fields = data.get(code, [""] * 15)
        name, bidi, decomposition = fields[1], fields[4], fields[5]
        if code in white_space and (bidi == "B" or category(code) in ("Zl", "Zp")):
            kind = "kLineBreak"
        elif fields[10] == "CHARACTER TABULATION":
            kind = "kTab"
        elif category(code) == "Cc":
            kind = "kControl"
        elif code in white_space and decomposition.startswith("<noBreak>"):
            kind = "kNoBreakSpace"
        elif code in white_space:
            kind = "kOtherWidthSpace"
        elif code in direction:
            kind = "kDirection"
        elif code in selectors:
            kind = "kVariationSelector"
        elif tags[0] <= code <= tags[1]:
            kind = "kTag"
        elif name == "ZERO WIDTH SPACE":
            kind = "kZeroWidthSpace"
        elif name == "ZERO WIDTH NO-BREAK SPACE":
            kind = "kByteOrderMark"
        elif name == "SOFT HYPHEN":
            kind = "kSoftHyphen"
        elif name.startswith("HANGUL") or name.startswith("HALFWIDTH HANGUL"):
            kind = "kHangulFiller"
        else:
            kind = "kZeroWidth"
        result[code] = kind

    # The marks that canonical composition joins with a character before
    # them: the second characters of the primary composites.
    excluded = code_set(path("DerivedNormalizationProps.txt"),
                        "Full_Composition_Exclusion")
    for code, fields in data.items():
        decomposition = fields[5].split()
        if (len(decomposition) == 2 and not decomposition[0].startswith("<")
                and code not in excluded):
            mark = int(decomposition[1], 16)
            assert result.get(mark, "kDetachedMark") == "kDetachedMark", mark
            result[mark] = "kDetachedMark"
    for first, count in ((HANGUL_V_FIRST, HANGUL_V_COUNT),
                         (HANGUL_T_FIRST, HANGUL_T_COUNT)):
        for code in range(first, first + count):
            result[code] = "kDetachedJamo"
    return result


# Flags of what lies around a joiner (U+200C, U+200D).
MARK, JOINING_SCRIPT, PICTOGRAPHIC, EXTEND = 1, 2, 4, 8


def contexts(folder, data):
    """code point -> its flags, where it has any."""
    path = lambda name: os.path.join(folder, name)
    category = lambda code: data[code][2] if code in data else "Cn"
    flags = {}

    def add(codes, flag):
        for code in codes:
            flags[code] = flags.get(code, 0) | flag

    add((code for code in data if category(code).startswith("M")), MARK)
    # Letters and signs of the scripts that spell with the joiners: those
    # that join their letters (Arabic, Syriac, N'Ko, Mongolian...) and
    # the Brahmic ones (Devanagari, Bengali, Tamil...).
    joining = {code for first, last, value in ranges(
        path("extracted/DerivedJoiningType.txt"))
        if value in ("D", "L", "R", "C") for code in range(first, last + 1)}
    indic = {code for first, last, value in ranges(
        path("IndicSyllabicCategory.txt"))
        if value not in ("Other", "Joiner", "Non_Joiner")
        for code in range(first, last + 1)}
    add((code for code in joining | indic
         if category(code)[0] in "LM"), JOINING_SCRIPT)
    add(code_set(path("emoji/emoji-data.txt"), "Extended_Pictographic"),
        PICTOGRAPHIC)
    add(code_set(path("auxiliary/GraphemeBreakProperty.txt"), "Extend"),
        EXTEND)
    return flags


def runs(values, default):
    """The code space as (first, value) runs, each until the next."""
    result = []
    for code in range(LAST_CODE_POINT + 1):
        value = values.get(code, default)
        if not result or result[-1][1] != value:
            result.append((code, value))
    return result


def main():
    folder, output = sys.argv[1], sys.argv[2]
    data = unicode_data(folder)
    kind_runs = runs(kinds(folder, data), "kNone")
    context_runs = runs(contexts(folder, data), 0)
    tags = block(folder, "Tags")
    jamo = block(folder, "Hangul Jamo")
    code_named = {fields[1]: code for code, fields in data.items()}

    lines = [
        f"// Made by ui/unicode_tables.py from the Unicode Character Database "
        f"{version(folder)}",
        f"// ({folder}) at build time.",
        "#pragma once",
        "",
        "#include <cstdint>",
        "",
        '#include "invisible_characters.h"',
        "",
        "namespace ui::unicode_tables {",
        "",
        f'inline constexpr char kUnicodeVersion[] = "{version(folder)}";',
        "",
        "// The kind of each run of code points: a run's first code point and",
        "// kind, in order, each run lasting up to the next.",
        "struct KindRun {",
        "  char32_t first;",
        "  InvisibleCharacters::Kind kind;",
        "};",
        "inline constexpr KindRun kKindRuns[] = {",
    ]
    lines += [f"    {{0x{first:04X}, InvisibleCharacters::Kind::{kind}}},"
              for first, kind in kind_runs]
    lines += [
        "};",
        "",
        "// What a code point tells of a joiner beside it.",
        f"inline constexpr std::uint8_t kMark = {MARK};  // a combining mark",
        f"inline constexpr std::uint8_t kJoiningScript = {JOINING_SCRIPT};",
        f"inline constexpr std::uint8_t kPictographic = {PICTOGRAPHIC};",
        f"inline constexpr std::uint8_t kExtend = {EXTEND};  // within a grapheme",
        "",
        "// Runs of code points with the same flags: first code point << 8 |",
        "// flags.",
        "inline constexpr std::uint32_t kContextRuns[] = {",
    ]
    packed = [f"0x{first << 8 | value:08X}," for first, value in context_runs]
    for start in range(0, len(packed), 6):
        lines.append("    " + " ".join(packed[start:start + 6]))
    lines += [
        "};",
        "",
        "// The joiners, which may be part of the text's spelling.",
        f"inline constexpr char16_t kZeroWidthNonJoiner = "
        f"0x{code_named['ZERO WIDTH NON-JOINER']:04X};",
        f"inline constexpr char16_t kZeroWidthJoiner = "
        f"0x{code_named['ZERO WIDTH JOINER']:04X};",
        "",
        "// The blocks that the explanation names as a whole.",
        f"inline constexpr char32_t kTagsFirst = 0x{tags[0]:04X};",
        f"inline constexpr char32_t kTagsLast = 0x{tags[1]:04X};",
        f"inline constexpr char32_t kHangulJamoFirst = 0x{jamo[0]:04X};",
        f"inline constexpr char32_t kHangulJamoLast = 0x{jamo[1]:04X};",
        "",
        "}  // namespace ui::unicode_tables",
        "",
    ]
    text = "\n".join(lines)
    # Unchanged tables keep their time, and nothing is rebuilt for them.
    if os.path.exists(output):
        with open(output, encoding="utf-8") as old:
            if old.read() == text:
                return
    with open(output, "w", encoding="utf-8") as header:
        header.write(text)


if __name__ == "__main__":
    main()
