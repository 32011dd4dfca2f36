#!/usr/bin/env bash
# A Log.dat saved by a current text editor: UTF-8 without a byte-order mark, Japanese
# records. Start-up reads it as UTF-8 (the board shows the newest text), and the exit
# keeps every record: the file afterwards is the same text, now with the mark.
# Usage: history_utf8_without_mark.sh Soramitsu.exe TOOL_DIR
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
source "$(dirname "${BASH_SOURCE[0]}")/persistence.inc"
e2e_init "$1" "$2" history_utf8_without_mark
[ -f "$E2E_TOOLS/boardtext.exe" ] || e2e_fail "boardtext.exe not found in $E2E_TOOLS"

e2e_make_app_folder
mkdir -p "$E2E_APP_DIR/Data"
newest=$(date '+%Y/%m/%d 00:00:05')
middle=$(date -d '3 days ago' '+%Y/%m/%d 18:30:00')
oldest=$(date -d '20 days ago' '+%Y/%m/%d 07:15:42')
{
  p_header "$newest"
  printf '今日の会議は十時からです。\r\n'
  p_header "$middle"
  printf '住所：東京都千代田区丸の内一丁目\r\n電話 03-1234-5678\r\n'
  p_header "$oldest"
  printf 'ｶﾀｶﾅ と English と 絵文字😀\r\n'
} >"$E2E_DIR/Log-utf8.dat"
cp "$E2E_DIR/Log-utf8.dat" "$E2E_APP_DIR/Data/Log.dat"
[ "$(head -c 3 "$E2E_APP_DIR/Data/Log.dat" | od -An -tx1 | tr -d ' ')" != "efbbbf" ] ||
  e2e_fail "the test file must not begin with a byte-order mark"

e2e_start_app
e2e_wait_main_window 60000
board=$(p_board | tr -d '\r')
if [ "$board" = "今日の会議は十時からです。" ]; then
  e2e_note "ok: the board shows the newest record, read as UTF-8"
else
  e2e_soft_fail "the board shows \"$board\", not the newest record"
fi
boxes=$(e2e_wintool list-boxes | tr -d '\r')
[ -z "$boxes" ] || e2e_soft_fail "a message box is shown at start-up: $boxes"
e2e_close_app 60

if { printf '\xEF\xBB\xBF'; cat "$E2E_DIR/Log-utf8.dat"; } | cmp -s - "$E2E_APP_DIR/Data/Log.dat"; then
  e2e_note "ok: every record kept, written as UTF-8 with the mark"
else
  e2e_soft_fail "Log.dat after the exit is not the same records with the mark:"
  od -c "$E2E_APP_DIR/Data/Log.dat" | head -20 >&2
fi
p_check_slot_copy Bkup2

# The next run reads the file it wrote and writes it back unchanged.
cp "$E2E_APP_DIR/Data/Log.dat" "$E2E_DIR/Log-after-first-exit.dat"
e2e_start_app
e2e_wait_main_window 60000
e2e_close_app 60
cmp -s "$E2E_DIR/Log-after-first-exit.dat" "$E2E_APP_DIR/Data/Log.dat" ||
  e2e_soft_fail "Log.dat changed across a second run without copies"
e2e_finish
