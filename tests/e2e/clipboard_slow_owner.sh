#!/usr/bin/env bash
# A program that renders its copy only when asked, and slowly (clipowner slow), as
# spreadsheets and remote sessions do. While it renders, the window still takes typed
# characters (posted WM_CHAR; sent messages would be answered even by a stuck window); the
# late text is recorded once when it arrives. Closing the window while another render is
# pending ends the program with its files written.
# Usage: clipboard_slow_owner.sh Soramitsu.exe TOOL_DIR
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
e2e_init "$1" "$2" clipboard_slow_owner

# The search box, in client coordinates.
SEARCH_X=600
SEARCH_Y=204

start_owner() {  # TEXT RENDER_MS LOG
  "$SORAMITSU_ROOT/scripts/wine-run.sh" "$E2E_TOOLS/clipowner.exe" slow "$1" "$2" >"$3" 2>&1 &
  E2E_CLIP_PIDS+=($!)
}
# Waits until the stand-in has printed LINE.
wait_line() {  # LOG LINE SECONDS
  local deadline=$((SECONDS + $3))
  until grep -q "^$2" "$1" 2>/dev/null; do
    [ "$SECONDS" -ge "$deadline" ] && return 1
    sleep 0.1
  done
}
log_count() {  # TEXT: how often Log.dat holds it
  iconv -f CP932 -t UTF-8 "$E2E_APP_DIR/Data/Log.dat" 2>/dev/null | grep -c -- "^$1" || true
}

e2e_start_app
e2e_wait_main_window 60000
e2e_client_origin
e2e_wait_history_table

late="遅れて届いたテキスト"
start_owner "$late" 8000 "$E2E_DIR/owner1.log"
wait_line "$E2E_DIR/owner1.log" owner 30 || e2e_fail "the stand-in did not take the clipboard"
wait_line "$E2E_DIR/owner1.log" rendering 30 || e2e_fail "the program never asked for the slow text"

e2e_wintool post-chars "$E2E_TITLE" "$SEARCH_X" "$SEARCH_Y" "k" || e2e_fail "cannot post to the search box"
typed=""
until [ "$typed" = "k" ] || grep -q "^rendered" "$E2E_DIR/owner1.log"; do
  typed=$(e2e_wintool get-text "$E2E_TITLE" "$SEARCH_X" "$SEARCH_Y" | tr -d '\r')
  sleep 0.1
done
if [ "$typed" = "k" ] && ! grep -q "^rendered" "$E2E_DIR/owner1.log"; then
  e2e_note "ok: the search box took a key while the stand-in was still rendering"
else
  e2e_soft_fail "the search box took no key until the stand-in had rendered (text \"$typed\")"
fi

wait_line "$E2E_DIR/owner1.log" rendered 60 || e2e_fail "the stand-in never finished rendering"
board=""
for _ in $(seq 1 100); do
  board=$("$SORAMITSU_ROOT/scripts/wine-run.sh" "$E2E_TOOLS/boardtext.exe" "$E2E_TITLE" 2>/dev/null | tr -d '\r')
  [ "$board" = "$late" ] && break
  sleep 0.1
done
[ "$board" = "$late" ] || e2e_soft_fail "the late text never reached the board (board \"$board\")"

# Another slow render, still pending at the close: the exit does not wait for it.
stuck="終了時にまだ描画中のテキスト"
start_owner "$stuck" 120000 "$E2E_DIR/owner2.log"
wait_line "$E2E_DIR/owner2.log" rendering 30 || e2e_fail "the program never asked for the second slow text"
e2e_close_app 30
[ "$(log_count "$late")" = "1" ] || e2e_soft_fail "Log.dat holds the late text $(log_count "$late") times, not once"
[ "$(log_count "$stuck")" = "0" ] || e2e_soft_fail "Log.dat holds the text that never arrived"
[ -s "$E2E_APP_DIR/Soramitsu.ini" ] || e2e_soft_fail "the settings file was not written"
if [ -f "$E2E_APP_DIR/Bkup1/Log.dat" ] || [ -f "$E2E_APP_DIR/Bkup2/Log.dat" ]; then
  e2e_note "ok: the backup was made"
else
  e2e_soft_fail "no backup slot holds Log.dat"
fi
e2e_finish
