#!/usr/bin/env bash
# The backup slot is deleted while the program runs: at the exit the data files are
# written, the backup error is shown, the settings file stays as it was, and the program ends.
# Usage: persistence_slot_deleted.sh Soramitsu.exe TOOL_DIR
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
source "$(dirname "${BASH_SOURCE[0]}")/persistence.inc"
e2e_init "$1" "$2" persistence_slot_deleted

e2e_make_app_folder
printf '[GAMEN]\r\nTOP=200\r\nLEFT=200\r\nWIDTH=1088\r\nHEIGHT=683\r\n[BKUP]\r\nFLG=1\r\nDATE1=2016/03/06 08:00:00\r\nDATE2=2016/03/05 21:07:09\r\n[SET]\r\nCHECKVIEW=0\r\n' \
  >"$E2E_APP_DIR/Soramitsu.ini"
cp "$E2E_APP_DIR/Soramitsu.ini" "$E2E_DIR/ini-before"

e2e_start_app
e2e_wait_main_window 60000
p_copy "消えないテキスト"
rm -rf "$E2E_APP_DIR/Bkup2"
e2e_wintool close "$E2E_TITLE" >/dev/null || e2e_fail "could not post WM_CLOSE"
e2e_wintool wait-box 30000 >/dev/null || e2e_fail "no message box after the close"
boxes=$(e2e_wintool list-boxes | tr -d '\r')
e2e_note "shown: $boxes"
case "$boxes" in
  *"自動バックアップ中にエラーが発生しました"*) e2e_note "ok: the backup error is shown" ;;
  *) e2e_soft_fail "expected the backup error message, got: $boxes" ;;
esac
e2e_wintool press-ok >/dev/null || e2e_fail "could not press OK"
e2e_wait_exit 60 || e2e_fail "the program did not end after the backup error"

p_check_log "$E2E_APP_DIR/Data/Log.dat" "after the failed backup" "消えないテキスト"
[ -f "$E2E_APP_DIR/Data/hozon.dat" ] || e2e_soft_fail "hozon.dat was not written"
cmp -s "$E2E_DIR/ini-before" "$E2E_APP_DIR/Soramitsu.ini" || e2e_soft_fail "Soramitsu.ini changed after a failed backup"
[ ! -d "$E2E_APP_DIR/Bkup2" ] || e2e_soft_fail "Bkup2 came back during the run"
p_slot_empty Bkup1
e2e_finish
