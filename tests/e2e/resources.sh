#!/usr/bin/env bash
# The programs carry their icon, manifest, version and every picture their windows load,
# in the formats the windowing layer expects.
# Usage: resources.sh Soramitsu.exe SoramitsuShortcut.exe TOOL_DIR
set -uo pipefail
app="$1" shortcut="$2" tools="$3"
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
# No display needed: resources are read from the files.
DISPLAY="${DISPLAY:-}"
E2E_NAME=resources
E2E_TOOLS="$(cd "$tools" && pwd)"
E2E_BUILD="${SORAMITSU_BUILD_DIR:-$(e2e_find_build "$E2E_TOOLS")}"
export SORAMITSU_BUILD_DIR="$E2E_BUILD"
E2E_DIR="$E2E_BUILD/e2e/resources"
mkdir -p "$E2E_DIR"

info() {
  "$SORAMITSU_ROOT/scripts/wine-run.sh" "$E2E_TOOLS/resinfo.exe" "$1" 2>>"$E2E_DIR/resinfo.log" | tr -d '\r'
}

app_info=$(info "$app") || e2e_fail "resinfo could not read $app"
shortcut_info=$(info "$shortcut") || e2e_fail "resinfo could not read $shortcut"
printf '%s\n' "$app_info" >"$E2E_DIR/Soramitsu.txt"
printf '%s\n' "$shortcut_info" >"$E2E_DIR/SoramitsuShortcut.txt"

expect_line() {
  local text="$1" line="$2" what="$3"
  if grep -qxF "$line" <<<"$text"; then
    e2e_note "ok: $what: $line"
  else
    e2e_soft_fail "$what: no line \"$line\""
  fi
}

# Icons and glyphs: 48 x 48, 32 bits, with soft (anti-aliased) edges in the alpha channel.
for name in ICON_LOG ICON_LIST ICON_NEW ICON_HIGH ICON_SAVE ICON_EDIT ICON_DELETE \
            ICON_CLEAR_HISTORY ICON_CLEAR_CLIPBOARD GLYPH_SEARCH GLYPH_CLEAR GLYPH_ALL \
            ICON_EDITOR_SAVE ICON_EDITOR_CANCEL ICON_EDITOR_BACK; do
  line=$(grep "^bitmap $name " <<<"$app_info")
  if [[ "$line" =~ ^bitmap\ $name\ 48x48\ 32\ alpha=([0-9]+)$ ]] && [ "${BASH_REMATCH[1]}" -gt 0 ]; then
    e2e_note "ok: $line"
  else
    e2e_soft_fail "$name: expected a 48x48 32-bit bitmap with alpha, got \"${line:-nothing}\""
  fi
done
expect_line "$app_info" "bitmap SPLASH 767x409 24 alpha=0" "splash picture"
expect_line "$app_info" "bitmap VERSION_BANNER 577x273 24 alpha=0" "version banner"
expect_line "$app_info" "bitmap PEN 110x123 24 alpha=0" "pen picture"

for which in app shortcut; do
  if [ "$which" = app ]; then text="$app_info"; exe=Soramitsu.exe; else text="$shortcut_info"; exe=SoramitsuShortcut.exe; fi
  expect_line "$text" "icon 1 sizes=16,20,24,32,40,48,64,256" "$exe icon"
  expect_line "$text" "manifest common-controls-6=yes per-monitor-v2=yes as-invoker=yes" "$exe manifest"
  expect_line "$text" "version ソラミツ Ver1.00.0002 $exe" "$exe version"
done
if grep -q '^bitmap' <<<"$shortcut_info"; then
  e2e_soft_fail "SoramitsuShortcut.exe carries pictures it never shows"
fi
e2e_finish
