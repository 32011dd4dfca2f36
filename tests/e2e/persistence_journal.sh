#!/usr/bin/env bash
# A killed process loses no history: every recorded text is in Data\Log.journal at once
# (UTF-8 with a byte-order mark). The next start puts them back into the history, says how
# many it recovered, and its clean exit writes them to Log.dat and leaves no journal in
# Data or in either backup slot.
# Usage: persistence_journal.sh Soramitsu.exe TOOL_DIR
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
source "$(dirname "${BASH_SOURCE[0]}")/persistence.inc"
e2e_init "$1" "$2" persistence_journal
[ -f "$E2E_TOOLS/boardtext.exe" ] || e2e_fail "boardtext.exe not found in $E2E_TOOLS"
journal="$E2E_APP_DIR/Data/Log.journal"

e2e_make_app_folder
e2e_start_app
e2e_wait_main_window 60000
t1="落ちる前のテキスト　一つ目"
t2="second text before the crash"
p_copy "$t1"
p_copy "$t2"

[ -f "$journal" ] || e2e_fail "no Log.journal in Data while the program runs"
[ "$(head -c 3 "$journal" | od -An -tx1 | tr -d ' \n')" = "efbbbf" ] ||
  e2e_soft_fail "Log.journal does not begin with the UTF-8 byte-order mark"
for t in "$t1" "$t2"; do
  grep -qF "$t" "$journal" || e2e_soft_fail "Log.journal does not hold \"$t\" in UTF-8"
done

# A crash: no window message reaches the program, its exit does not run.
kill -9 "$E2E_APP_PID" || e2e_fail "could not kill the program (pid $E2E_APP_PID)"
e2e_wait_exit 30 || e2e_fail "the killed program did not end"
e2e_note "killed the program"
[ ! -e "$E2E_APP_DIR/Data/Log.dat" ] || e2e_soft_fail "Log.dat exists although no exit ran"

e2e_start_app
shown=$(p_wait_box_text "2 件復元しました" 60)
e2e_note "notice shown: $shown"
case "$shown" in
  *"前回正しく終了できなかったため保存されていなかった履歴を、2 件復元しました。"*) ;;
  *) e2e_soft_fail "the recovery notice reads differently: $shown" ;;
esac
e2e_wintool press-ok >/dev/null || e2e_fail "could not press OK on the notice"
e2e_wait_main_window 60000
board=$(p_board)
[ "$board" = "$t2" ] || e2e_soft_fail "the board shows \"$board\", expected the newest recovered text"
e2e_close_app 60

p_check_log "$E2E_APP_DIR/Data/Log.dat" "after the recovery and a clean exit" "$t2" "$t1"
for d in Data Bkup1 Bkup2; do
  [ ! -e "$E2E_APP_DIR/$d/Log.journal" ] || e2e_soft_fail "$d holds Log.journal after a clean exit"
done
p_check_slot_copy Bkup2

# The next start recovers nothing and says nothing.
e2e_start_app
e2e_wait_main_window 60000
boxes=$(e2e_wintool list-boxes | tr -d '\r')
[ -z "$boxes" ] || e2e_soft_fail "a box was shown at the start after a clean exit: $boxes"
e2e_close_app 60
p_check_log "$E2E_APP_DIR/Data/Log.dat" "after one more run" "$t2" "$t1"
e2e_finish
