#!/usr/bin/env bash
# Files held for a moment by another program at the exit, as a virus scanner or a sync
# client holds a file just written: Log.dat is held (opened without sharing) for 2.5 s
# from the close of the window, and the settings file a little longer. The exit waits for
# them and ends without a message; Log.dat holds the texts, the backup and the settings
# file are written.
# Usage: persistence_held_file.sh Soramitsu.exe TOOL_DIR
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
source "$(dirname "${BASH_SOURCE[0]}")/persistence.inc"
e2e_init "$1" "$2" persistence_held_file
winpath() { echo "Z:$(echo "$1" | tr '/' '\\')"; }

e2e_make_app_folder
mkdir -p "$E2E_APP_DIR/Data"
t1="前回のテキスト"
{ p_header "$(date -d '-1 minute' '+%Y/%m/%d %H:%M:%S')"; printf '%s\r\n' "$t1"; } | iconv -f UTF-8 -t CP932 \
  >"$E2E_APP_DIR/Data/Log.dat"
p_expected_ini 1 "" "2016/03/05 21:07:09" >"$E2E_APP_DIR/Soramitsu.ini"

e2e_start_app
e2e_wait_main_window 60000
t2="保持されたファイル"
p_copy "$t2"

# The settings file is written after the 1.2 s pause of the backup, so its hold outlasts
# the one on Log.dat: both are still held when the program first reaches them.
e2e_wintool close-holding "$E2E_TITLE" "$(winpath "$E2E_APP_DIR/Data/Log.dat")" 2500 \
  "$(winpath "$E2E_APP_DIR/Soramitsu.ini")" 4500 >/dev/null ||
  e2e_fail "could not hold the files and close the window"
if ! e2e_wait_exit 30; then
  e2e_screenshot "$E2E_DIR/still-open.png"
  e2e_fail "the program did not end after the files were let go (shown: $(e2e_wintool list-boxes | tr -d '\r'))"
fi
e2e_note "the program ended (exit code $E2E_APP_EXIT)"

p_check_log "$E2E_APP_DIR/Data/Log.dat" "after the held exit" "$t2" "$t1"
p_check_slot_copy Bkup2
[ "$(p_ini_value FLG)" = "0" ] || e2e_soft_fail "FLG is $(p_ini_value FLG), expected 0"
p_is_stamp "$(p_ini_value DATE2)" && [ "$(p_ini_value DATE2)" != "2016/03/05 21:07:09" ] ||
  e2e_soft_fail "DATE2 is not this run's stamp: $(p_ini_value DATE2)"
leftover=$(cd "$E2E_APP_DIR" && ls -A Data . | grep -i '\.tmp' || true)
[ -z "$leftover" ] || e2e_soft_fail "temporary files were left: $leftover"
e2e_finish
