#!/usr/bin/env bash
# Help -> 取扱説明書 with no soramitsu.pdf beside the program: the shell cannot open it, and
# the program names the file in its notice instead of doing nothing.
# Usage: manual_notice.sh Soramitsu.exe TOOL_DIR
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
e2e_init "$1" "$2" manual_notice

# Menu items get command ids in menu order from 1000: ヘルプ/取扱説明書 is the seventh.
MANUAL=1006

wine_path() {
  (sm_wine_env "$E2E_BUILD" && "$WINE64" winepath -w "$1" 2>/dev/null | tr -d '\r')
}

e2e_make_app_folder
rm -f "$E2E_APP_DIR/soramitsu.pdf"
e2e_start_app
e2e_wait_main_window 60000

e2e_wintool menu "$E2E_TITLE" "$MANUAL" >/dev/null || e2e_fail "could not choose 取扱説明書"
e2e_wintool wait-box 30000 >/dev/null || e2e_fail "no notice after 取扱説明書 with the manual missing"
pdf="$(wine_path "$E2E_APP_DIR")\\soramitsu.pdf"
# The box's static text joins the lines of the message; list-boxes prints them as they come.
boxes=$(e2e_wintool list-boxes | tr -d '\r')
expected=$(printf 'box\t%s\t%s' "$E2E_TITLE" \
  "取扱説明書を開けませんでした。
$pdf

ファイルがあるか、PDF を表示できるアプリが入っているかを確認してください。")
if [ "$boxes" = "$expected" ]; then
  e2e_note "ok: the notice names $pdf"
else
  e2e_soft_fail "notice: [$boxes], expected [$expected]"
fi
e2e_wintool press-ok >/dev/null || e2e_fail "could not press OK"

e2e_close_app 60
e2e_finish
