#!/usr/bin/env bash
# Checks the manual and the release package that manual.sh and package.sh built:
#  - soramitsu.pdf: A4, a sane page count, every chapter heading of the source in its text;
#  - its screenshots: all there, and taken in this run (newer than SINCE_FILE);
#  - dist/Soramitsu-<version>.zip: exactly the four files, ASCII names, stripped programs
#    that import only Windows DLLs, README.txt in UTF-8 with byte-order mark and CR LF.
# Usage: check-release.sh BUILD_WIN_DIR SINCE_FILE
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

[ $# -eq 2 ] || sm_die "usage: check-release.sh BUILD_WIN_DIR SINCE_FILE"
win="$(cd "$1" && pwd)" || sm_die "no build folder $1"
since="$2"
[ -f "$since" ] || sm_die "no start marker $since"
src="$SORAMITSU_ROOT/docs/manual/soramitsu.md"
pdf="$win/manual/soramitsu.pdf"
images="$win/manual/images"
failures=0
fail() { sm_log "FAIL: $*"; failures=$((failures + 1)); }
ok() { sm_log "ok: $*"; }

# --- the manual ----------------------------------------------------------------------------
if [ ! -s "$pdf" ]; then
  fail "no manual at $pdf"
else
  info=$(pdfinfo "$pdf" 2>/dev/null)
  pages=$(sed -n 's/^Pages:[[:space:]]*//p' <<<"$info")
  if [ -n "$pages" ] && [ "$pages" -ge 15 ] && [ "$pages" -le 60 ]; then
    ok "the manual has $pages pages"
  else
    fail "the manual has ${pages:-no} pages, expected 15 to 60"
  fi
  grep -qE '^Page size:[[:space:]]+595(\.[0-9]+)? x 841(\.[0-9]+)? pts \(A4\)' <<<"$info" &&
    ok "the manual is A4" || fail "the manual is not A4: $(grep '^Page size' <<<"$info")"

  # Japanese text comes out of pdftotext with spaces and breaks of its own: compare without.
  text=$(pdftotext -enc UTF-8 "$pdf" - 2>/dev/null | tr -d ' \n\t\f\r')
  chapters=0
  while IFS= read -r heading; do
    chapters=$((chapters + 1))
    needle=$(tr -d ' \t' <<<"$heading")
    grep -qF -- "$needle" <<<"$text" || fail "chapter heading \"$heading\" not found in the manual's text"
  done < <(sed -n 's/^# \(.*\)$/\1/p' "$src")
  [ "$chapters" -ge 8 ] && ok "$chapters chapter headings checked" ||
    fail "only $chapters chapter headings in $src"
  grep -qF '目次' <<<"$text" && ok "the manual has a table of contents" || fail "no table of contents"
  version=$(bash "$SORAMITSU_ROOT/scripts/version.sh")
  grep -qF "Ver$version" <<<"$text" && ! grep -qF 'SORAMITSU_VERSION' <<<"$text" &&
    ok "the manual names Ver$version" || fail "the manual does not name Ver$version in every place"
fi

# Every picture the manual shows was taken in this run.
pictures=$(grep -o 'images/[A-Za-z0-9_-]*\.png' "$src" | sort -u)
[ "$(wc -l <<<"$pictures")" -ge 9 ] || fail "the manual shows fewer than nine screenshots"
for picture in $pictures; do
  file="$win/manual/$picture"
  if [ ! -s "$file" ]; then
    fail "screenshot $picture is missing"
  elif [ ! "$file" -nt "$since" ]; then
    fail "screenshot $picture was not taken in this run"
  else
    size=$(identify -format '%w %h' "$file" 2>/dev/null)
    read -r w h <<<"$size"
    if [ "${w:-0}" -ge 150 ] && [ "${h:-0}" -ge 80 ]; then ok "screenshot $picture (${w}x$h)"
    else fail "screenshot $picture is only ${size:-unreadable}"; fi
  fi
done

# --- the package -----------------------------------------------------------------------------
version=$(bash "$SORAMITSU_ROOT/scripts/version.sh") || fail "no version"
zipfile="$SORAMITSU_ROOT/dist/Soramitsu-$version.zip"
if [ ! -s "$zipfile" ]; then
  fail "no package $zipfile"
else
  [ "$zipfile" -nt "$since" ] || fail "the package was not built in this run"
  names=$(unzip -Z1 "$zipfile" | tr '\n' ' ')
  [ "$names" = "Soramitsu.exe SoramitsuShortcut.exe soramitsu.pdf README.txt " ] &&
    ok "the package holds $names" || fail "the package holds [$names]"
  LC_ALL=C grep -q '[^ -~]' <<<"$names" && fail "file names in the package are not ASCII"
  unpacked=$(mktemp -d)
  unzip -q "$zipfile" -d "$unpacked" || fail "the package cannot be unpacked"
  for exe in Soramitsu.exe SoramitsuShortcut.exe; do
    [ -f "$unpacked/$exe" ] || continue
    if x86_64-w64-mingw32-objdump -h "$unpacked/$exe" | grep -qE '\.debug_|\.stab'; then
      fail "$exe in the package carries debug information"
    fi
  done
  bash "$SORAMITSU_ROOT/scripts/check-imports.sh" "$unpacked/Soramitsu.exe" "$unpacked/SoramitsuShortcut.exe" ||
    fail "the packaged programs import more than Windows DLLs"
  cmp -s "$unpacked/soramitsu.pdf" "$pdf" && ok "the packaged manual is this run's" ||
    fail "the packaged soramitsu.pdf differs from $pdf"
  readme="$unpacked/README.txt"
  if [ -f "$readme" ]; then
    [ "$(head -c 3 "$readme" | od -An -tx1 | tr -d ' ')" = "efbbbf" ] &&
      ok "README.txt starts with the UTF-8 byte-order mark" || fail "README.txt has no UTF-8 byte-order mark"
    lines=$(tr -cd '\n' <"$readme" | wc -c)
    crlf=$(grep -c $'\r$' "$readme")
    crs=$(tr -cd '\r' <"$readme" | wc -c)
    [ "$lines" -gt 10 ] && [ "$lines" -eq "$crlf" ] && [ "$crs" -eq "$lines" ] &&
      ok "README.txt: $lines lines, each ending in CR LF" || fail "README.txt: $crlf of $lines lines end in CR LF"
    iconv -f UTF-8 -t UTF-8 "$readme" >/dev/null 2>&1 || fail "README.txt is not valid UTF-8"
    grep -qF "Ver$version" "$readme" || fail "README.txt does not name Ver$version"
  fi
  rm -rf "$unpacked"
fi

[ "$failures" -eq 0 ] || { sm_log "$failures check(s) of the manual and package failed"; exit 1; }
sm_log "the manual and the package are as they should be"
