#!/usr/bin/env bash
# A history of three records, stored out of order, loads newest first, is painted in
# alternating rows (cream, white, cream under the money-green header, the first text cell
# current), and is written back newest first, byte for byte, at the exit.
# Usage: history_rows.sh Soramitsu.exe TOOL_DIR
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
e2e_init "$1" "$2" history_rows

e2e_make_app_folder
mkdir -p "$E2E_APP_DIR/Data"

# Three records of today in code page 932 with CR LF line ends.
today=$(date +%Y/%m/%d)
{
  e2e_history_record "$today 00:00:02" "second record"
  e2e_history_record "$today 00:00:01" "最初の記録"
  e2e_history_record "$today 00:00:03" "三番目の記録"
} | iconv -f UTF-8 -t CP932 >"$E2E_APP_DIR/Data/Log.dat" || e2e_fail "cannot write the history file"
{
  e2e_history_record "$today 00:00:03" "三番目の記録"
  e2e_history_record "$today 00:00:02" "second record"
  e2e_history_record "$today 00:00:01" "最初の記録"
} | iconv -f UTF-8 -t CP932 >"$E2E_DIR/expected-Log.dat"

e2e_start_app
e2e_wait_main_window 60000
e2e_client_origin
e2e_wait_history_table
sleep 0.5
shot="$E2E_DIR/rows.png"
e2e_screenshot "$shot"

# Rows are 24 pixels high from the table's top at 224. Column 0 (x 346-355) holds no
# text, so it shows each row's colour; column 1 ends far right of the short texts.
e2e_expect_client_pixel "$shot" 350 236 192 220 192 "header row (money green)"
e2e_expect_client_pixel "$shot" 350 260 255 251 240 "row 1 (cream)"
e2e_expect_client_pixel "$shot" 350 284 255 255 255 "row 2 (white)"
e2e_expect_client_pixel "$shot" 350 308 255 251 240 "row 3 (cream)"
e2e_expect_client_pixel "$shot" 860 260 255 0 255 "current cell, row 1 column 1 (magenta)"
e2e_expect_client_pixel "$shot" 860 284 255 255 255 "row 2, column 1 (white)"
e2e_expect_client_pixel "$shot" 860 308 255 251 240 "row 3, column 1 (cream)"
e2e_expect_client_pixel "$shot" 350 332 255 255 255 "below the last row (white)"

e2e_close_app 60
if cmp -s "$E2E_APP_DIR/Data/Log.dat" "$E2E_DIR/expected-Log.dat"; then
  e2e_note "ok: Log.dat written back newest first"
else
  e2e_soft_fail "Log.dat after the exit differs from expected-Log.dat (both in $E2E_DIR)"
  cp -f "$E2E_APP_DIR/Data/Log.dat" "$E2E_DIR/actual-Log.dat" 2>/dev/null
fi
e2e_finish
