#!/usr/bin/env bash
# A history record of two lines is drawn on one line with one blank where its line break
# is (the program's Tahoma under Wine has no "↵"), never with the boxes of missing glyphs:
# its cell looks exactly like the cell of the same words with a blank between them. The
# save button then opens the entry editor. Screenshots stay in BUILD/e2e/multiline_cells/
# (rows.png: the history table; editor.png: the editor over the main window).
# Usage: multiline_cells.sh Soramitsu.exe TOOL_DIR
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
e2e_init "$1" "$2" multiline_cells

e2e_make_app_folder
mkdir -p "$E2E_APP_DIR/Data"

# A record's header line, then its text lines; code page 932 with CR LF line ends.
today=$(date +%Y/%m/%d)
# Newest first: row 1 (current, magenta), row 2 the two lines, row 3, row 4 the one line.
# Rows 2 and 4 are both white.
{
  e2e_history_record "$today 00:00:04" "current"
  e2e_history_record "$today 00:00:03" "行A" "行B"
  e2e_history_record "$today 00:00:02" "other"
  e2e_history_record "$today 00:00:01" "行A 行B"
} | iconv -f UTF-8 -t CP932 >"$E2E_APP_DIR/Data/Log.dat" || e2e_fail "cannot write the history file"

e2e_start_app
e2e_wait_main_window 60000
e2e_client_origin
e2e_wait_history_table
sleep 0.5
shot="$E2E_DIR/rows.png"
e2e_screenshot "$shot"

# Column 1 (the text) runs from 356 for 528 pixels; row r starts at 224 + 25 r.
cell() {
  local row="$1" out="$2"
  convert "$shot" -crop "500x22+$((CLIENT_X + 358))+$((CLIENT_Y + 224 + 25 * row + 1))" +repage "$out"
}
cell 2 "$E2E_DIR/two-lines.png"
cell 4 "$E2E_DIR/one-line.png"
cell 3 "$E2E_DIR/other.png"
differ() { compare -metric AE "$1" "$2" null: 2>&1 | cut -d' ' -f1; }
same=$(differ "$E2E_DIR/two-lines.png" "$E2E_DIR/one-line.png")
if [ "$same" = "0" ]; then
  e2e_note "ok: the two-line record is drawn as \"行A 行B\""
else
  e2e_soft_fail "the two-line record differs from \"行A 行B\" in ${same:-?} pixels (see two-lines.png, one-line.png)"
fi
other=$(differ "$E2E_DIR/two-lines.png" "$E2E_DIR/other.png")
[ "${other:-0}" != "0" ] || e2e_soft_fail "the cells compared show no text at all (see $shot)"

# The save button (client 8,300, 52 x 48) opens the editor with the clipboard's text.
e2e_clip_set "クリップボードの内容"
sleep 0.5
xdotool mousemove $((CLIENT_X + 34)) $((CLIENT_Y + 324)) click 1 ||
  e2e_fail "xdotool could not click the save button"
editor="タイトルを付けて保存"
e2e_wintool wait-window "$editor" 20000 >/dev/null ||
  { e2e_screenshot "$E2E_DIR/no-editor.png"; e2e_fail "the editor did not open (see no-editor.png)"; }
sleep 1
e2e_screenshot "$E2E_DIR/editor.png"
read -r EX EY _ _ <<<"$(e2e_wintool client-origin "$editor" | tr -d '\r')"
got=$(e2e_pixel "$E2E_DIR/editor.png" $((EX + 100)) $((EY + 400)))
[ "$got" = "192 220 192" ] || e2e_soft_fail "the editor's panel is RGB($got), not money green"
e2e_wintool close "$editor" >/dev/null
e2e_wintool wait-gone "$editor" 20000 >/dev/null || e2e_soft_fail "the editor did not close"

e2e_close_app 60
e2e_finish
