#!/usr/bin/env bash
# A record 40 days old in Log.dat is gone after the next exit; today's record stays, byte
# for byte.
# Usage: persistence_old_record.sh Soramitsu.exe TOOL_DIR
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
source "$(dirname "${BASH_SOURCE[0]}")/persistence.inc"
e2e_init "$1" "$2" persistence_old_record

e2e_make_app_folder
mkdir -p "$E2E_APP_DIR/Data"
recent=$(date '+%Y/%m/%d 00:00:05')
old=$(date -d '40 days ago' '+%Y/%m/%d 12:00:00')
{
  p_header "$recent"
  printf '今日の記録\r\n'
  p_header "$old"
  printf '四十日前の記録\r\n二行目\r\n'
} | iconv -f UTF-8 -t CP932 >"$E2E_APP_DIR/Data/Log.dat" || e2e_fail "cannot write the history file"

e2e_start_app
e2e_wait_main_window 60000
e2e_close_app 60
p_check_log "$E2E_APP_DIR/Data/Log.dat" "after the exit" "今日の記録"
p_check_slot_copy Bkup2
e2e_finish
