#!/usr/bin/env bash
# The data folder is deleted while the program runs: the close reports the write error and
# keeps the window open, then offers to leave without saving. "No" keeps the program
# running; the next close asks again, and "Yes" ends it without writing anything more.
# Usage: persistence_no_data_folder.sh Soramitsu.exe TOOL_DIR
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
source "$(dirname "${BASH_SOURCE[0]}")/persistence.inc"
e2e_init "$1" "$2" persistence_no_data_folder
idyes=6
idno=7

e2e_make_app_folder
e2e_start_app
e2e_wait_main_window 60000
p_copy "保存できないテキスト"
rm -rf "$E2E_APP_DIR/Data"

for answer in $idno $idyes; do
  e2e_wintool close "$E2E_TITLE" >/dev/null || e2e_fail "could not post WM_CLOSE"
  shown=$(p_wait_box_text "Log.dat" 30)
  e2e_note "error shown: $shown"
  e2e_wintool press-ok >/dev/null || e2e_fail "could not press OK on the error box"
  shown=$(p_wait_box_text "保存せずに終了しますか" 30)
  e2e_note "question shown: $shown"
  e2e_wintool press-ok "$answer" >/dev/null || e2e_fail "could not answer the question"
  if [ "$answer" = "$idno" ]; then
    p_wait_no_box 30
    e2e_app_running || e2e_fail "the program ended although the user chose to stay"
    e2e_wintool wait-window "$E2E_TITLE" 10000 >/dev/null || e2e_fail "the main window is gone after \"No\""
    e2e_note "ok: after \"No\" the window stays open"
  fi
done
e2e_wait_exit 30 || e2e_fail "the program did not end after \"Yes\""
e2e_note "ok: after \"Yes\" the program ended"
[ ! -e "$E2E_APP_DIR/Soramitsu.ini" ] || e2e_soft_fail "the settings file was written"
[ ! -e "$E2E_APP_DIR/Data" ] || e2e_soft_fail "the data folder came back"
p_slot_empty Bkup2
e2e_finish
