#!/usr/bin/env bash
# Extracts the program's own sentences into the template po/text-to-md5.pot
# and merges it into each translation named in po/LINGUAS. Run it after a
# sentence in the code, the desktop entry or the AppStream file changed;
# then translate what msgmerge marked new or fuzzy in po/*.po.
# Sentences in C++ are the English arguments of ui::Translated,
# ui::TranslatedPlural and the text of a basMD5::NumberedError.
# With --check it changes nothing, and fails when the template's messages are
# not those it would write.
# Usage: scripts/update-po.sh [--check]
set -euo pipefail
cd "$(dirname "$0")/.."

pot=po/text-to-md5.pot
if [ "${1:-}" = --check ]; then
  pot=$(mktemp --suffix=.pot)
  trap 'rm -f "$pot"' EXIT
fi
mapfile -t sources < <(git ls-files 'digest/*.cpp' 'digest/*.h' 'ui/*.cpp' \
  'ui/*.h' | LC_ALL=C sort)
# Places name files, not lines: the template changes with the sentences, not
# with every edit around them.
common=(--from-code=UTF-8 --add-comments=TRANSLATORS: --sort-by-file
  --add-location=file --package-name="Text to MD5" --no-wrap
  --msgid-bugs-address=maintainers@text-to-md5.invalid)

xgettext "${common[@]}" --language=C++ --keyword=Translated \
  --keyword=TranslatedPlural:1,2 --keyword=NumberedError:2 \
  -o "$pot" "${sources[@]}"
# The desktop entry's Name, like the window's caption, stays as it is.
xgettext "${common[@]}" --join-existing --language=Desktop --keyword= \
  --keyword=Comment --keyword=Keywords -o "$pot" \
  resources/linux/text-to-md5.desktop
xgettext "${common[@]}" --join-existing --its=/usr/share/gettext/its/metainfo.its \
  -o "$pot" resources/linux/org.texttomd5.TextToMD5.metainfo.xml.in
# A value that the build fills in (gettext 1.0 takes the developer's name,
# @TTM_AUTHORS@, for a sentence) is nothing to translate.
awk 'BEGIN { RS = "" } !/(^|\n)msgid "@[A-Z_]+@"\n/ {
  printf "%s%s\n", separator, $0; separator = "\n" }' "$pot" >"$pot.new"
mv "$pot.new" "$pot"

# The messages of a template in order, without its header, places and flags,
# which differ between gettext releases (1.0 marks "{1}" as C++ format).
messages() { sed '/^#/d' "$1" | awk 'started; /^$/ { started = 1 }'; }

if [ "${1:-}" = --check ]; then
  if ! diff -u <(messages po/text-to-md5.pot) <(messages "$pot"); then
    echo "po/text-to-md5.pot is stale: run scripts/update-po.sh" >&2
    exit 1
  fi
  exit 0
fi

while read -r language; do
  [ -n "$language" ] || continue
  msgmerge --quiet --update --backup=none --no-wrap --add-location=file \
    "po/$language.po" "$pot"
  # A message the program no longer has is no help to translators.
  msgattrib --no-obsolete --no-wrap -o "po/$language.po" "po/$language.po"
done < <(grep -v '^#' po/LINGUAS)
