#!/usr/bin/env bash
# Builds the release packages and checks them as a user would meet them:
#  - the icons regenerate byte for byte and are well-formed;
#  - Linux: the Release build in build/release, its .deb made by CPack; the
#    package's fields, dependencies and file list; lintian; its copyright
#    file, changelog and manual page; its desktop entry and AppStream
#    metainfo validated; the unpacked program started under Xvfb, its window
#    found and closed with "Close";
#  - Windows: the MinGW build in build/mingw, its .zip made by CPack;
#    the archive's content and licence, the program's DLL imports, version
#    numbers and copyright, and the unzipped program started under Wine and
#    closed like the other.
# Ends with 'packaging: N passed, N failed' and fails when any check failed.
# Usage: scripts/check-packages.sh   (after scripts/setup-deps.sh test)
set -euo pipefail
cd "$(dirname "$0")/.."

linux_build=build/release
windows_build=build/mingw
desktop_file=usr/share/applications/text-to-md5.desktop
metainfo_file=usr/share/metainfo/org.texttomd5.TextToMD5.metainfo.xml
doc_dir=usr/share/doc/text-to-md5
man_page=usr/share/man/man1/text-to-md5.1.gz
# The German catalogue, and the German lines that po/de.po gives the desktop
# entry and the metainfo.
german_catalogue=usr/share/locale/de/LC_MESSAGES/text-to-md5.mo
german_desktop_lines='Comment[de]=Berechnet den MD5-Hash eines Textes
Keywords[de]=MD5;Hash;Digest;Prüfsumme;Zwischenablage;'
german_metainfo_summary='<summary xml:lang="de">Berechnet den MD5-Hash eines Textes</summary>'
# The licence's copyright line, which every package repeats.
copyright=$(grep '^Copyright (c) ' LICENSE)

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
passed=0
failed=0

# check NAME COMMAND...: runs COMMAND, counts and reports the outcome, and
# shows the command's output when it failed.
check() {
  local name=$1
  shift
  if "$@" >"$work/check.log" 2>&1; then
    passed=$((passed + 1))
    echo "ok   $name"
  else
    failed=$((failed + 1))
    echo "FAIL $name"
    sed 's/^/     /' "$work/check.log"
  fi
}

build() { # PRESET DIR [CMAKE ARGS...]
  local preset=$1 dir=$2
  shift 2
  cmake --preset "$preset" -B "$dir" "$@" >/dev/null &&
    cmake --build "$dir"
}

project_version() {
  sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$linux_build/CMakeCache.txt"
}

# --- Linux package ------------------------------------------------------------

deb_field_is() { # FIELD VALUE
  local actual
  actual=$(dpkg-deb -f "$deb" "$1")
  [ "$actual" = "$2" ] || { echo "$1: '$actual', want '$2'"; return 1; }
}

deb_field_matches() { # FIELD REGEX
  local actual
  actual=$(dpkg-deb -f "$deb" "$1")
  grep -Eq "$2" <<<"$actual" ||
    { echo "$1: '$actual' does not match '$2'"; return 1; }
}

deb_fields() {
  deb_field_is Package text-to-md5 &&
    deb_field_is Version "$version" &&
    deb_field_is Architecture "$(dpkg --print-architecture)" &&
    deb_field_is Section utils &&
    deb_field_matches Maintainer '^[^<]+ <[^@>]+@[^>]+>$' &&
    deb_field_matches Description '^Calculates the MD5 hash for a text$' &&
    deb_field_matches Recommends '(^|, )qt6-translations-l10n(,|$)'
}

# Every library the program links comes from a package named in Depends,
# whatever this release calls it (libqt6core6 on Debian 12, libqt6core6t64
# on Debian 13).
deb_depends_cover_linked_libraries() {
  local depends names sonames soname owner multiarch
  depends=$(dpkg-deb -f "$deb" Depends)
  echo "Depends: $depends"
  names=$(sed 's/ *([^)]*)//g; s/, */\n/g' <<<"$depends")
  multiarch=$(dpkg-architecture -qDEB_HOST_MULTIARCH)
  sonames=$(objdump -p "$root/usr/bin/text-to-md5" |
    awk '$1 == "NEEDED" { print $2 }')
  grep -q '^libQt6Widgets\.so' <<<"$sonames" ||
    { echo "links no Qt Widgets"; return 1; }
  for soname in $sonames; do
    owner=$(dpkg-query -S "*/$multiarch/$soname" | sed -n '1s/[:,].*//p')
    echo "$soname: $owner"
    grep -Fqx "$owner" <<<"$names" || { echo "  not in Depends"; return 1; }
  done
}

# Every file with its mode and owner; directories are left out.
deb_files() {
  local icons=usr/share/icons/hicolor data='-rw-r--r-- root/root'
  {
    echo "-rwxr-xr-x root/root ./usr/bin/text-to-md5"
    echo "$data ./$desktop_file"
    for size in $(grep -E '^[0-9]+$' resources/icon-sizes.txt); do
      echo "$data ./$icons/${size}x${size}/apps/text-to-md5.png"
    done
    echo "$data ./$icons/scalable/apps/text-to-md5.svg"
    echo "$data ./$metainfo_file"
    echo "$data ./$doc_dir/copyright"
    echo "$data ./$doc_dir/changelog.gz"
    echo "$data ./$man_page"
    local language
    for language in $(grep -v '^#' po/LINGUAS); do
      echo "$data ./usr/share/locale/$language/LC_MESSAGES/text-to-md5.mo"
    done
    # Only where the metainfo draws that warning; see cmake/install.cmake.
    if grep -q url-homepage-missing <<<"$(appstreamcli validate --no-net \
      "$root/$metainfo_file" 2>&1)"; then
      echo "$data ./usr/share/lintian/overrides/text-to-md5"
    fi
  } | sort -k3 >"$work/files.want"
  dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { print $1, $2, $6 }' |
    sort -k3 >"$work/files.have"
  diff -u "$work/files.want" "$work/files.have"
}

# The catalogue is one msgfmt compiled, with German in it.
german_catalogue_translates() {
  msgunfmt "$root/$german_catalogue" | grep -Fx 'msgstr "Fehler {1}: {2}"'
}

desktop_entry_has_german() {
  grep -Fx "$german_desktop_lines" "$root/$desktop_file" |
    diff - <(echo "$german_desktop_lines")
}

metainfo_has_german() {
  grep -F "$german_metainfo_summary" "$root/$metainfo_file" &&
    [ "$(grep -c '<p xml:lang="de">' "$root/$metainfo_file")" -eq 2 ]
}

# No error and no warning; its infos are shown, not counted.
lintian_accepts() {
  lintian --fail-on error,warning --info --display-info "$deb" 2>&1 |
    grep -v 'running with root privileges is not recommended'
  return "${PIPESTATUS[0]}"
}

copyright_file_is_dep5_of_licence() {
  local format=https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/
  local want="Copyright: ${copyright#Copyright (c) }"
  head -n 1 "$root/$doc_dir/copyright" | grep -Fqx "Format: $format" &&
    grep -Fqx "$want" "$root/$doc_dir/copyright" &&
    grep -Fqx 'License: Expat' "$root/$doc_dir/copyright" ||
    { echo "want the DEP-5 format, '$want' and 'License: Expat'"; return 1; }
}

changelog_is_for_version() {
  local top
  top=$(dpkg-parsechangelog -l "$root/$doc_dir/changelog.gz" -S Version)
  [ "$top" = "$version" ] ||
    { echo "newest entry $top, want $version"; return 1; }
}

# man reports every formatting problem on stderr, as lintian's check does.
man_page_formats_cleanly() {
  local warnings
  warnings=$(LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 \
    man --warnings -E UTF-8 -l -Tutf8 -Z "$root/$man_page" 2>&1 >/dev/null)
  [ -z "$warnings" ] || { echo "$warnings"; return 1; }
}

# The metainfo validates, with no issue but these, each at most once: no
# public homepage exists yet (AppStream 1.0), and AppStream before 1.0 does
# not know the developer element yet.
accepted_appstream_issues='W url-homepage-missing
I unknown-tag developer'

appstream_validates() { # validate|validate-tree PATH
  local status=0 issues
  appstreamcli "$1" --no-net --no-color "$2" >"$work/appstream.log" 2>&1 ||
    status=$?
  cat "$work/appstream.log"
  # "  W: org.example.App:12: tag-name argument" -> "W tag-name argument"
  issues=$(sed -n 's/^ *\([EWI]\): [^ ]* \(.*\)$/\1 \2/p' \
    "$work/appstream.log" | sort)
  if grep -Fvx "$accepted_appstream_issues" <<<"$issues" | grep -q .; then
    return 1
  fi
  if uniq -d <<<"$issues" | grep -q .; then
    return 1
  fi
  # A failure other than through the issues accepted above.
  [ "$status" -eq 0 ] || [ -n "$issues" ]
}

metainfo_release_is_project_version() {
  grep -q "<release version=\"$version\"" "$root/$metainfo_file" ||
    { grep '<release ' "$root/$metainfo_file"; return 1; }
}

desktop_exec_is_packaged() {
  local exec
  exec=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$root/$desktop_file")
  [ -x "$root/usr/bin/$exec" ] ||
    { echo "Exec=$exec is not in /usr/bin"; return 1; }
}

echo "== Linux package ($linux_build)"
check "icons" python3 tests/packaging/check_icons.py
check "release build" build release "$linux_build"
rm -f "$linux_build"/*.deb
check "cpack DEB" \
  cpack --config "$linux_build/CPackConfig.cmake" -B "$linux_build"
version=$(project_version || true)
deb="$linux_build/text-to-md5_${version}_$(dpkg --print-architecture).deb"
root="$work/root"
if [ -f "$deb" ]; then
  dpkg-deb -I "$deb" | sed 's/^/     /'
  dpkg-deb -x "$deb" "$root"
  check "deb fields" deb_fields
  check "deb depends on what it links" deb_depends_cover_linked_libraries
  check "deb file list" deb_files
  check "lintian: no error, no warning" lintian_accepts
  check "copyright file in DEP-5 with the licence's holders" \
    copyright_file_is_dep5_of_licence
  check "changelog's newest entry = $version" changelog_is_for_version
  check "manual page formats without warnings" man_page_formats_cleanly
  check "apt can install the deb (simulated)" \
    apt-get install --simulate "./$deb"
  check "desktop entry" desktop-file-validate "$root/$desktop_file"
  check "desktop Exec in package" desktop_exec_is_packaged
  check "German catalogue in package" german_catalogue_translates
  check "desktop entry in German too" desktop_entry_has_german
  check "AppStream summary and description in German too" metainfo_has_german
  check "AppStream metainfo" \
    appstream_validates validate "$root/$metainfo_file"
  check "AppStream release = $version" metainfo_release_is_project_version
  check "AppStream finds the desktop entry" \
    appstream_validates validate-tree "$root"
  check "unpacked program opens and closes" tests/with-xvfb.sh \
    tests/packaging/smoke-window.sh "$root/usr/bin/text-to-md5"
else
  check "deb exists" test -f "$deb"
fi

# --- Windows package ----------------------------------------------------------

zip_content() {
  printf '%s\n' "$zip_top/bin/LICENSE.txt" "$zip_top/bin/README.txt" \
    "$zip_top/bin/text-to-md5.exe" >"$work/zip.want"
  python3 -m zipfile -l "$zip" | awk 'NR > 1 && $1 !~ /\/$/ { print $1 }' |
    sort >"$work/zip.have"
  diff -u "$work/zip.want" "$work/zip.have"
}

# DLLs that Windows ships; anything else would have to travel in the zip.
system_dlls='kernel32|user32|gdi32|comctl32|comdlg32|advapi32|shell32|ole32'
system_dlls+='|oleaut32|uxtheme|msvcrt|ucrtbase|api-ms-win-[a-z0-9-]+'

exe_imports_system_dlls_only() {
  local imports
  imports=$(x86_64-w64-mingw32-objdump -p "$exe" |
    sed -n 's/^\s*DLL Name: //p')
  echo "imports: ${imports//$'\n'/ }"
  grep -qi '^kernel32\.dll$' <<<"$imports" &&
    ! grep -Eiv "^($system_dlls)\.dll\$" <<<"$imports"
}

zip_licence_is_the_licence() {
  sed 's/$/\r/' LICENSE | cmp - "$work/zip/$zip_top/bin/LICENSE.txt"
}

exe_version_and_copyright() {
  python3 tests/packaging/pe_version.py "$exe" "$version.0" "$copyright"
}

echo "== Windows package ($windows_build)"
check "mingw build" build mingw "$windows_build"
rm -f "$windows_build"/*.zip
check "cpack ZIP" \
  cpack --config "$windows_build/CPackConfig.cmake" -B "$windows_build"
zip_top=text-to-md5-$version-windows-x86_64
zip="$windows_build/$zip_top.zip"
if [ -f "$zip" ]; then
  python3 -m zipfile -e "$zip" "$work/zip"
  exe="$work/zip/$zip_top/bin/text-to-md5.exe"
  check "zip content" zip_content
  check "exe needs only system DLLs" exe_imports_system_dlls_only
  check "zip LICENSE.txt is the licence, CRLF" zip_licence_is_the_licence
  check "exe version = $version.0, copyright from the licence" \
    exe_version_and_copyright
  check "unzipped program opens and closes under Wine" \
    tests/with-xvfb.sh tests/packaging/smoke-window.sh \
    scripts/wine-run.sh "$windows_build/wine" "$exe"
else
  check "zip exists" test -f "$zip"
fi

echo "== Packages"
for package in "$deb" "$zip"; do
  [ -f "$package" ] && echo "  $package"
done
echo "packaging: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
