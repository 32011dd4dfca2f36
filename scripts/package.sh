#!/usr/bin/env bash
# Builds the release package dist/Soramitsu-<version>.zip: Soramitsu.exe and
# SoramitsuShortcut.exe without debug information, the manual soramitsu.pdf and a Japanese
# README.txt (UTF-8 with byte-order mark, CR LF), all at the top of the zip.
# The manual is built by scripts/manual.sh when BUILD_WIN_DIR/manual/soramitsu.pdf is missing.
# Usage: package.sh [BUILD_WIN_DIR]   (default build-win)
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

win="${1:-$SORAMITSU_ROOT/build-win}"
STRIP=x86_64-w64-mingw32-strip
command -v "$STRIP" >/dev/null || sm_die "$STRIP is missing (run scripts/deps.sh)"
command -v zip >/dev/null || sm_die "zip is missing (run scripts/deps.sh)"

version=$(bash "$SORAMITSU_ROOT/scripts/version.sh")
# The version dialog lists the versions itself: its newest row must be this version.
grep -q "{u\"Ver$version\"" "$SORAMITSU_ROOT/ui/ver_form.cpp" ||
  sm_die "the version dialog (ui/ver_form.cpp) does not list Ver$version of assets/version.rcinc"

bash "$SORAMITSU_ROOT/scripts/build.sh" win Soramitsu SoramitsuShortcut
win="$(cd "$win" && pwd)"
manual="$win/manual/soramitsu.pdf"
if [ ! -f "$manual" ]; then
  bash "$SORAMITSU_ROOT/scripts/manual.sh" "$win"
fi

dist="$SORAMITSU_ROOT/dist"
stage="$dist/Soramitsu-$version"
zipfile="$dist/Soramitsu-$version.zip"
rm -rf "$stage" "$zipfile"
mkdir -p "$stage"

for exe in Soramitsu.exe SoramitsuShortcut.exe; do
  "$STRIP" --strip-all -o "$stage/$exe" "$win/$exe"
done
bash "$SORAMITSU_ROOT/scripts/check-imports.sh" "$stage/Soramitsu.exe" "$stage/SoramitsuShortcut.exe" ||
  sm_die "the stripped programs import DLLs that Windows does not have"
cp -f "$manual" "$stage/soramitsu.pdf"

# Notepad on every Windows version reads UTF-8 with a byte-order mark and CR LF line ends.
{
  printf '\xEF\xBB\xBF'
  sed -e "s/\\\$SORAMITSU_VERSION\\\$/$version/" -e 's/$/\r/' "$SORAMITSU_ROOT/docs/package/README.txt"
} >"$stage/README.txt"

# Fixed order, no folder entries, no extra attributes.
(cd "$stage" && zip -q -X -9 "$zipfile" Soramitsu.exe SoramitsuShortcut.exe soramitsu.pdf README.txt)

sm_log "package ready: $zipfile ($(stat -c %s "$zipfile") bytes)"
for f in Soramitsu.exe SoramitsuShortcut.exe soramitsu.pdf README.txt; do
  sm_log "  $f: $(stat -c %s "$stage/$f") bytes"
done
