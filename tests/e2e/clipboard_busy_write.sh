#!/usr/bin/env bash
# Another program holds the clipboard open for a moment (clipowner hold, 0.6 s) when a
# history row is clicked: the program tries again until it is free and puts the row's text
# on the clipboard, with no message.
# Usage: clipboard_busy_write.sh Soramitsu.exe TOOL_DIR
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
e2e_init "$1" "$2" clipboard_busy_write

e2e_make_app_folder
mkdir -p "$E2E_APP_DIR/Data"
today=$(date +%Y/%m/%d)
{
  e2e_history_record "$today 00:00:02" "newest row"
  e2e_history_record "$today 00:00:01" "二番目の行"
} | iconv -f UTF-8 -t CP932 >"$E2E_APP_DIR/Data/Log.dat" || e2e_fail "cannot write the history file"

e2e_start_app
e2e_wait_main_window 60000
e2e_client_origin
e2e_wait_history_table

# Row 2 of the history table, column 1; the click is posted once the clipboard is held.
"$SORAMITSU_ROOT/scripts/wine-run.sh" "$E2E_TOOLS/clipowner.exe" hold 600 "$E2E_TITLE" 860 284 \
  >"$E2E_DIR/holder.log" 2>&1 || e2e_fail "the stand-in could not hold the clipboard ($(cat "$E2E_DIR/holder.log"))"
grep -q "^held" "$E2E_DIR/holder.log" || e2e_fail "the stand-in never held the clipboard"

clip=""
for _ in $(seq 1 100); do
  clip=$(e2e_clip_get | tr -d '\r')
  [ "$clip" = "二番目の行" ] && break
  sleep 0.1
done
[ "$clip" = "二番目の行" ] || e2e_soft_fail "the row's text never reached the clipboard (\"$clip\")"
boxes=$(e2e_wintool list-boxes | tr -d '\r')
[ -z "$boxes" ] || e2e_soft_fail "a message was shown: $boxes"
e2e_close_app 60
e2e_finish
