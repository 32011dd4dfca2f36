#!/usr/bin/env bash
# Creates (or refreshes) the Wine prefix of a build folder: BUILD/wine/prefix with its
# own HOME, Japanese font replacements, Tahoma, and no crash dialog.
# Usage: wine-prefix.sh [--force] [BUILD_DIR]   (default BUILD_DIR: build-win)
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

force=0
if [ "${1:-}" = "--force" ]; then force=1; shift; fi
build="${1:-$SORAMITSU_ROOT/build-win}"
mkdir -p "$build"
build="$(cd "$build" && pwd)"
wine_dir="$(sm_wine_dir "$build")"
prefix="$(sm_wine_prefix "$build")"
# v2: Japanese text in Tahoma (font link and Uniscribe fallback); older prefixes are refreshed.
marker="$prefix/.soramitsu-prefix-v2"

[ -x "$WINE64" ] || sm_die "$WINE64 not found (run scripts/deps.sh)"
mkdir -p "$wine_dir"

# Several test processes may ask for the prefix at the same moment: one builds it.
exec 9>"$wine_dir/.lock"
flock -w 300 9 || sm_die "timed out waiting for another process building $prefix"

if [ "$force" -eq 0 ] && [ -f "$marker" ]; then
  exit 0
fi

sm_wine_env "$build"
mkdir -p "$HOME"
# The prefix is built without any display, so that no window opens anywhere.
unset DISPLAY WAYLAND_DISPLAY

if [ "$force" -eq 1 ] || [ ! -f "$prefix/system.reg" ]; then
  sm_wine_kill "$build"
  rm -rf "$prefix"
  sm_log "creating the Wine prefix $prefix"
  timeout 300 "$WINE64" wineboot --init >"$wine_dir/wineboot.log" 2>&1 || {
    tail -n 40 "$wine_dir/wineboot.log" >&2
    sm_die "wineboot --init failed (log: $wine_dir/wineboot.log)"
  }
else
  sm_log "refreshing the Wine prefix $prefix"
fi

# One Wine command of the set-up. A fresh Wine process now and then fails to start at all
# ("failed to map the shared user data"); a second start succeeds, so each gets three tries.
wine_step() {
  local try
  for try in 1 2 3; do
    timeout 120 "$WINE64" "$@" >>"$wine_dir/wineboot.log" 2>&1 && return 0
  done
  return 1
}

# Tahoma: Debian ships it in fonts-wine but Wine does not load it from there.
fonts="$prefix/drive_c/windows/Fonts"
mkdir -p "$fonts"
found_tahoma=0
for f in /usr/share/wine/fonts/tahoma*.ttf; do
  [ -f "$f" ] || continue
  cp -f "$f" "$fonts/"
  found_tahoma=1
done
[ "$found_tahoma" -eq 1 ] || sm_log "warning: no Tahoma in /usr/share/wine/fonts (package fonts-wine)"

# Registry settings: regedit reads Unicode .reg files only as UTF-16LE with BOM and CR LF.
reg_utf8="$wine_dir/soramitsu.reg.txt"
reg_file="$wine_dir/soramitsu.reg"
cat >"$reg_utf8" <<'REG'
Windows Registry Editor Version 5.00

[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]
"ＭＳ Ｐゴシック"="IPAPGothic"
"ＭＳ ゴシック"="IPAGothic"
"MS UI Gothic"="IPAPGothic"

[HKEY_CURRENT_USER\Software\Wine\WineDbg]
"ShowCrashDialog"=dword:00000000

[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows\CurrentVersion\RunServices]
"winemenubuilder"=-
REG
{ printf '\xff\xfe'; sed 's/$/\r/' "$reg_utf8" | iconv -f UTF-8 -t UTF-16LE; } >"$reg_file"
rm -f "$reg_utf8"
wine_step regedit /S "$(cd "$wine_dir" && pwd)/soramitsu.reg" || sm_die "regedit failed (log: $wine_dir/wineboot.log)"

# --- Japanese text in Tahoma -------------------------------------------------------------
# On Windows, Tahoma falls back to a Japanese font by font linking (Tahoma -> MS UI Gothic).
# Wine's own links name Windows' font files, which are absent here: link Tahoma to the IPA
# fonts by their file names (Wine finds fontconfig's fonts by file name). Text drawn with
# DrawText/ExtTextOut follows these links.
wine_step reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink' \
  /v Tahoma /t REG_MULTI_SZ /d 'ipagp.ttf,IPAPGothic\0ipag.ttf,IPAGothic' /f || sm_die "could not set the Tahoma font link (log: $wine_dir/wineboot.log)"
# EDIT controls draw through Uniscribe, which ignores font links and instead picks a fallback
# font per script (kana: tag 616e616b, han: tag 696e6168); the defaults are absent fonts.
for script_tag in 616e616b 696e6168; do
  wine_step reg add 'HKCU\Software\Wine\Uniscribe\Fallback' \
    /v "$script_tag" /t REG_SZ /d IPAPGothic /f ||
    sm_die "could not set the Uniscribe fallback font (log: $wine_dir/wineboot.log)"
done
# --- end of Japanese text in Tahoma -------------------------------------------------------

# The registry reaches user.reg only when the server ends; fonts are read at its next start.
sm_wine_wait "$build" 120

grep -q 'xff30' "$prefix/user.reg" || sm_die "font replacements missing from $prefix/user.reg"
grep -q '"ShowCrashDialog"=dword:00000000' "$prefix/user.reg" || sm_die "ShowCrashDialog missing from $prefix/user.reg"
grep -q '"Tahoma"=str(7):"ipagp.ttf,IPAPGothic' "$prefix/system.reg" || sm_die "Tahoma font link missing from $prefix/system.reg"
grep -q '"616e616b"="IPAPGothic"' "$prefix/user.reg" || sm_die "Uniscribe fallback font missing from $prefix/user.reg"
fonts_known="$(fc-list 2>/dev/null || true)"
grep -qi 'IPAPGothic' <<<"$fonts_known" || sm_log "warning: IPAPGothic not found by fontconfig (package fonts-ipafont-gothic)"

touch "$marker"
sm_log "Wine prefix ready: $prefix"
