#!/usr/bin/env bash
# One backup slot per run: the settings file cannot be written at the first close (it is
# read-only), the user stays; the next close backs up into the same slot again, so the
# other slot keeps the older generation, and FLG and DATE1 are as after one exit.
# Usage: persistence_retry_slot.sh Soramitsu.exe TOOL_DIR
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
source "$(dirname "${BASH_SOURCE[0]}")/persistence.inc"
e2e_init "$1" "$2" persistence_retry_slot
idno=7
ini="$E2E_APP_DIR/Soramitsu.ini"

e2e_make_app_folder
p_expected_ini 1 "2016/03/06 08:00:00" "2016/03/05 21:07:09" >"$ini"
mkdir -p "$E2E_APP_DIR/Bkup1"
printf 'older generation\r\n' >"$E2E_APP_DIR/Bkup1/Log.dat"
printf 'older index\r\n' >"$E2E_APP_DIR/Bkup1/hozon.dat"
cp -a "$E2E_APP_DIR/Bkup1" "$E2E_DIR/bkup1-before"

e2e_start_app
e2e_wait_main_window 60000
p_copy "再試行のテキスト"
# Read-only for Wine whoever runs it: the program refuses to write over it.
chmod a-w "$ini"
e2e_wintool close "$E2E_TITLE" >/dev/null || e2e_fail "could not post WM_CLOSE"
shown=$(p_wait_box_text "に書き込めません" 60)
e2e_note "error shown: $shown"
e2e_wintool press-ok >/dev/null || e2e_fail "could not press OK on the error box"
shown=$(p_wait_box_text "保存せずに終了しますか" 30)
e2e_wintool press-ok "$idno" >/dev/null || e2e_fail "could not answer the question"
p_wait_no_box 30
e2e_app_running || e2e_fail "the program ended although the user chose to stay"
e2e_note "the first exit failed at the settings file; the window stays"

chmod u+w "$ini"
# The backup ran before the settings write failed: the caption still says so.
e2e_wintool close "只今、自動バックアップ中です。" >/dev/null || e2e_fail "could not post WM_CLOSE to the window"
e2e_wait_exit 60 || e2e_fail "the program did not end after the second close"

diff -r "$E2E_DIR/bkup1-before" "$E2E_APP_DIR/Bkup1" >/dev/null ||
  e2e_soft_fail "Bkup1 changed: the older generation is gone ($(ls -A "$E2E_APP_DIR/Bkup1" | tr '\n' ' '))"
p_check_slot_copy Bkup2
p_check_log "$E2E_APP_DIR/Data/Log.dat" "after the retry" "再試行のテキスト"
[ "$(p_ini_value FLG)" = "0" ] || e2e_soft_fail "FLG is $(p_ini_value FLG), expected 0"
[ "$(p_ini_value DATE1)" = "2016/03/06 08:00:00" ] || e2e_soft_fail "DATE1 was re-stamped: $(p_ini_value DATE1)"
p_is_stamp "$(p_ini_value DATE2)" && [ "$(p_ini_value DATE2)" != "2016/03/05 21:07:09" ] ||
  e2e_soft_fail "DATE2 is not this run's stamp: $(p_ini_value DATE2)"
e2e_finish
