#!/usr/bin/env bash
# A log-off query runs the exit sequence and is answered yes: the history, the index, the
# backup and the settings file are written before the answer.
# Usage: persistence_logoff.sh Soramitsu.exe TOOL_DIR
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
source "$(dirname "${BASH_SOURCE[0]}")/persistence.inc"
e2e_init "$1" "$2" persistence_logoff

e2e_make_app_folder
e2e_start_app
e2e_wait_main_window 60000
p_copy "ログオフ前のテキスト"
answer=$(e2e_wintool query-end-session "$E2E_TITLE" | tr -d '\r' | head -n 1)
[ "$answer" = "1" ] || e2e_soft_fail "WM_QUERYENDSESSION was answered \"$answer\", expected 1"
p_check_log "$E2E_APP_DIR/Data/Log.dat" "at the log-off" "ログオフ前のテキスト"
[ "$(p_ini_value FLG)" = "0" ] || e2e_soft_fail "FLG should be 0 after the log-off"
p_check_slot_copy Bkup2
# After WM_ENDSESSION the program ends without running the sequence again.
if e2e_wait_exit 30; then
  [ "$(p_ini_value FLG)" = "0" ] || e2e_soft_fail "the sequence ran a second time (FLG is $(p_ini_value FLG))"
else
  e2e_soft_fail "the program did not end after WM_ENDSESSION"
fi
e2e_finish
