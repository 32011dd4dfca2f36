#!/usr/bin/env bash
# From an empty folder: start, copy three texts, close. Log.dat holds the three records
# newest first in code page 932, hozon.dat is empty, Soramitsu.ini holds the default frame,
# FLG=0 and a DATE2 stamp, and Bkup2 holds copies of the data files. Two more runs back up
# into Bkup1 and Bkup2 in turn, and the history survives each restart.
# Usage: persistence_exit.sh Soramitsu.exe TOOL_DIR
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
source "$(dirname "${BASH_SOURCE[0]}")/persistence.inc"
e2e_init "$1" "$2" persistence_exit
[ -f "$E2E_TOOLS/boardtext.exe" ] || e2e_fail "boardtext.exe not found in $E2E_TOOLS"

e2e_make_app_folder
began=$(date '+%Y/%m/%d %H:%M:%S')

e2e_start_app
e2e_wait_main_window 60000
t1="最初のテキスト"
t2="second text"
t3="三番目　全角の空白"
p_copy "$t1"
p_copy "$t2"
p_copy "$t3"
e2e_close_app 60

for d in Data Bkup1 Bkup2; do
  [ -d "$E2E_APP_DIR/$d" ] || e2e_fail "the folder $d was not created"
done
p_check_log "$E2E_APP_DIR/Data/Log.dat" "first exit" "$t3" "$t2" "$t1"
if [ -f "$E2E_APP_DIR/Data/hozon.dat" ] && [ ! -s "$E2E_APP_DIR/Data/hozon.dat" ]; then
  e2e_note "ok: hozon.dat is 0 bytes"
else
  e2e_soft_fail "hozon.dat should exist with 0 bytes"
fi
date2=$(p_ini_value DATE2)
p_is_stamp "$date2" || e2e_soft_fail "DATE2 is \"$date2\", not a stamp"
[[ ! "$date2" < "$began" ]] || e2e_soft_fail "DATE2 $date2 lies before the test began ($began)"
if p_expected_ini 0 "" "$date2" | cmp -s - "$E2E_APP_DIR/Soramitsu.ini"; then
  e2e_note "ok: Soramitsu.ini as expected (FLG=0, DATE2=$date2)"
else
  e2e_soft_fail "Soramitsu.ini is not laid out as expected:"
  od -c "$E2E_APP_DIR/Soramitsu.ini" | head -20 >&2
fi
p_check_slot_copy Bkup2
p_slot_empty Bkup1
cp "$E2E_APP_DIR/Data/Log.dat" "$E2E_DIR/Log-1.dat"

# Second run: nothing copied; the backup goes to slot 1.
e2e_start_app
e2e_wait_main_window 60000
e2e_close_app 60
p_check_log "$E2E_APP_DIR/Data/Log.dat" "second exit" "$t3" "$t2" "$t1"
cmp -s "$E2E_DIR/Log-1.dat" "$E2E_APP_DIR/Data/Log.dat" || e2e_soft_fail "Log.dat changed across a run without copies"
date1=$(p_ini_value DATE1)
p_is_stamp "$date1" || e2e_soft_fail "DATE1 is \"$date1\" after the second exit"
p_expected_ini 1 "$date1" "$date2" | cmp -s - "$E2E_APP_DIR/Soramitsu.ini" ||
  e2e_soft_fail "after the second exit Soramitsu.ini should hold FLG=1, DATE1=$date1, DATE2=$date2"
p_check_slot_copy Bkup1

# Third run: a user's file in slot 2 goes; slot 2 gets this run's data.
printf 'mine' >"$E2E_APP_DIR/Bkup2/users-note.txt"
e2e_start_app
e2e_wait_main_window 60000
e2e_close_app 60
p_check_log "$E2E_APP_DIR/Data/Log.dat" "third exit" "$t3" "$t2" "$t1"
date2b=$(p_ini_value DATE2)
p_is_stamp "$date2b" || e2e_soft_fail "DATE2 is \"$date2b\" after the third exit"
[[ "$date2b" > "$date2" ]] || e2e_soft_fail "DATE2 did not move on ($date2 -> $date2b)"
p_expected_ini 0 "$date1" "$date2b" | cmp -s - "$E2E_APP_DIR/Soramitsu.ini" ||
  e2e_soft_fail "after the third exit Soramitsu.ini should hold FLG=0, DATE1=$date1, DATE2=$date2b"
p_check_slot_copy Bkup2
p_check_slot_copy Bkup1

e2e_finish
