#!/usr/bin/env bash
# Compiles the locales that the text-conversion tests load into a folder of
# the build tree (point LOCPATH at it), leaving the system's locales alone.
# Locales already compiled are kept. Usage: make-test-locales.sh FOLDER
set -euo pipefail

folder=${1:?usage: $0 FOLDER}
mkdir -p "$folder"

# name, locale source, character set
locales=(
  "de_DE.UTF-8 de_DE UTF-8"
  "de_DE.ISO-8859-1 de_DE ISO-8859-1"
  "ja_JP.EUC-JP ja_JP EUC-JP"
  "ja_JP.UTF-8 ja_JP UTF-8"
  "ru_RU.UTF-8 ru_RU UTF-8"
  "ar_EG.UTF-8 ar_EG UTF-8"
  "zh_HK.UTF-8 zh_HK UTF-8"
  "pt_PT.UTF-8 pt_PT UTF-8"
)

for entry in "${locales[@]}"; do
  read -r name source charset <<<"$entry"
  [ -f "$folder/$name/LC_CTYPE" ] && continue
  # Exit status 1 means warnings only; anything worse, or no LC_CTYPE, fails.
  status=0
  localedef --no-archive -i "$source" -f "$charset" "$folder/$name" || status=$?
  if [ "$status" -gt 1 ] || [ ! -f "$folder/$name/LC_CTYPE" ]; then
    echo "localedef failed for $name (status $status)" >&2
    rm -rf "${folder:?}/$name"
    exit 1
  fi
done
