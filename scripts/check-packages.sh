#!/usr/bin/env bash
# Builds the release packages and checks them as a user would meet them:
#  - the icons regenerate byte for byte and are well-formed;
#  - Linux: a Release build in build/package, its .deb made by CPack; the
#    package's fields, dependencies and file list; its desktop entry and
#    AppStream metainfo validated; the unpacked program started under Xvfb,
#    its window found and closed with "Close";
#  - Windows: a MinGW build in build/package-mingw, its .zip made by CPack;
#    the archive's content, the program's DLL imports and version numbers,
#    and the unzipped program started under Wine and closed like the other.
# Ends with 'packaging: N passed, N failed' and fails when any check failed.
# Usage: scripts/check-packages.sh   (after scripts/setup-deps.sh test)
set -euo pipefail
cd "$(dirname "$0")/.."

linux_build=build/package
windows_build=build/package-mingw
app_id=org.texttomd5.TextToMD5

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
  grep -Eq "$2" <<<"$actual" || { echo "$1: '$actual' does not match '$2'"; return 1; }
}

deb_fields() {
  deb_field_is Package text-to-md5 &&
    deb_field_is Version "$version" &&
    deb_field_is Architecture "$(dpkg --print-architecture)" &&
    deb_field_is Section utils &&
    deb_field_matches Maintainer '^[^<]+ <[^@>]+@[^>]+>$' &&
    deb_field_matches Description '^Calculates the MD5 hash for a text$'
}

deb_depends() {
  local depends names
  depends=$(dpkg-deb -f "$deb" Depends)
  echo "Depends: $depends"
  names=$(sed 's/ *([^)]*)//g; s/, */\n/g' <<<"$depends")
  for lib in libqt6widgets6 libqt6gui6 libqt6core6 libc6 libstdc++6; do
    grep -Fqx "$lib" <<<"$names" || { echo "missing $lib"; return 1; }
  done
}

# Every file with its mode and owner; directories are left out.
deb_files() {
  local hicolor=./usr/share/icons/hicolor data='-rw-r--r-- root/root'
  {
    echo "-rwxr-xr-x root/root ./usr/bin/text-to-md5"
    echo "$data ./usr/share/applications/text-to-md5.desktop"
    for size in 16 32 48 64 128; do
      echo "$data $hicolor/${size}x${size}/apps/text-to-md5.png"
    done
    echo "$data $hicolor/scalable/apps/text-to-md5.svg"
    echo "$data ./usr/share/metainfo/$app_id.metainfo.xml"
  } | sort -k3 >"$work/files.want"
  dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { print $1, $2, $6 }' | sort -k3 >"$work/files.have"
  diff -u "$work/files.want" "$work/files.have"
}

metainfo_release_is_project_version() {
  grep -q "<release version=\"$version\"" "$root/usr/share/metainfo/$app_id.metainfo.xml" ||
    { grep '<release ' "$root/usr/share/metainfo/$app_id.metainfo.xml"; return 1; }
}

desktop_exec_is_packaged() {
  local exec
  exec=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$root/usr/share/applications/text-to-md5.desktop")
  [ -x "$root/usr/bin/$exec" ] || { echo "Exec=$exec is not in /usr/bin"; return 1; }
}

echo "== Linux package ($linux_build)"
check "icons" python3 tests/packaging/check_icons.py
check "release build" build release "$linux_build"
check "cpack DEB" cpack --config "$linux_build/CPackConfig.cmake" -B "$linux_build"
version=$(project_version || true)
deb="$linux_build/text-to-md5_${version}_$(dpkg --print-architecture).deb"
root="$work/root"
if [ -f "$deb" ]; then
  dpkg-deb -I "$deb" | sed 's/^/     /'
  dpkg-deb -x "$deb" "$root"
  check "deb fields" deb_fields
  check "deb depends on its libraries" deb_depends
  check "deb file list" deb_files
  check "apt can install the deb (simulated)" apt-get install --simulate "./$deb"
  check "desktop entry" desktop-file-validate "$root/usr/share/applications/text-to-md5.desktop"
  check "desktop Exec in package" desktop_exec_is_packaged
  check "AppStream metainfo" appstreamcli validate --no-net "$root/usr/share/metainfo/$app_id.metainfo.xml"
  check "AppStream release = $version" metainfo_release_is_project_version
  check "AppStream finds the desktop entry" appstreamcli validate-tree --no-net "$root"
  check "unpacked program opens and closes" \
    tests/with-xvfb.sh tests/packaging/smoke-window.sh "$root/usr/bin/text-to-md5"
else
  check "deb exists" test -f "$deb"
fi

# --- Windows package ----------------------------------------------------------

zip_content() {
  local top=text-to-md5-$version-windows-x86_64
  printf '%s\n' "$top/bin/README.txt" "$top/bin/text-to-md5.exe" >"$work/zip.want"
  python3 -c 'import sys, zipfile; print(*sorted(n for n in zipfile.ZipFile(sys.argv[1]).namelist() if not n.endswith("/")), sep="\n")' \
    "$zip" >"$work/zip.have"
  cat "$work/zip.have"
  diff -u "$work/zip.want" "$work/zip.have"
}

# Windows ships these DLLs; anything else would have to travel in the zip.
exe_imports_system_dlls_only() {
  local imports
  imports=$(x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/^\s*DLL Name: //p')
  echo "imports: ${imports//$'\n'/ }"
  grep -qi '^kernel32\.dll$' <<<"$imports" &&
    ! grep -Eiv '^(kernel32|user32|gdi32|comctl32|comdlg32|advapi32|shell32|ole32|oleaut32|msvcrt|ucrtbase|api-ms-win-.*)\.dll$' <<<"$imports"
}

exe_version_is_project_version() {
  python3 tests/packaging/pe_version.py "$exe" "$version.0"
}

echo "== Windows package ($windows_build)"
check "mingw build" build mingw "$windows_build" -DBUILD_TESTING=OFF
check "cpack ZIP" cpack --config "$windows_build/CPackConfig.cmake" -B "$windows_build"
zip="$windows_build/text-to-md5-$version-windows-x86_64.zip"
if [ -f "$zip" ]; then
  python3 -m zipfile -e "$zip" "$work/zip"
  exe="$work/zip/text-to-md5-$version-windows-x86_64/bin/text-to-md5.exe"
  check "zip content" zip_content
  check "exe needs only system DLLs" exe_imports_system_dlls_only
  check "exe version = $version.0" exe_version_is_project_version
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
