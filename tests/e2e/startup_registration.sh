#!/usr/bin/env bash
# The Settings menu registers the program in the Startup folder ("Soramitsu.lnk" to the
# running exe, working directory its folder) and removes the registration again, each
# confirmed by its message.
# Usage: startup_registration.sh Soramitsu.exe TOOL_DIR
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
e2e_init "$1" "$2" startup_registration
[ -f "$E2E_TOOLS/shelltool.exe" ] || e2e_fail "shelltool.exe not found in $E2E_TOOLS"

# Menu items get command ids in menu order from 1000: ファイル/終了 1000, 設定/カテゴリー… 1001,
# 設定/スタートアップに登録する 1002, 設定/スタートアップの登録を解除する 1003.
REGISTER=1002
UNREGISTER=1003

shelltool() {
  "$SORAMITSU_ROOT/scripts/wine-run.sh" "$E2E_TOOLS/shelltool.exe" "$@" 2>>"$E2E_DIR/shelltool.log" | tr -d '\r'
}
wine_path() {
  (sm_wine_env "$E2E_BUILD" && "$WINE64" winepath "$1" "$2" 2>/dev/null | tr -d '\r')
}

startup=$(shelltool folder 7) && [ -n "$startup" ] || e2e_fail "cannot tell the Startup folder"
link="$startup\\Soramitsu.lnk"
link_unix=$(wine_path -u "$link")
[ -n "$link_unix" ] || e2e_fail "cannot map $link to a Unix path"
rm -f "$link_unix"

# Chooses a menu item and expects one message box with TEXT, then presses OK.
menu_expect_message() {
  local id="$1" text="$2" boxes
  e2e_wintool menu "$E2E_TITLE" "$id" >/dev/null || e2e_fail "could not choose menu item $id"
  e2e_wintool wait-box 30000 >/dev/null || e2e_fail "no message box after menu item $id"
  boxes=$(e2e_wintool list-boxes | tr -d '\r')
  if [ "$boxes" = "$(printf 'box\t%s\t%s' "$E2E_TITLE" "$text")" ]; then
    e2e_note "ok: \"$text\""
  else
    e2e_soft_fail "after menu item $id: [$boxes], expected \"$text\""
  fi
  e2e_wintool press-ok >/dev/null || e2e_fail "could not press OK"
}

wait_no_box() {
  local deadline=$((SECONDS + 10))
  while [ -n "$(e2e_wintool list-boxes | tr -d '\r')" ]; do
    [ "$SECONDS" -ge "$deadline" ] && e2e_fail "the message box did not close"
    sleep 0.1
  done
}

e2e_make_app_folder
e2e_start_app
e2e_wait_main_window 60000

menu_expect_message "$REGISTER" "スタートアップに登録しました。"
wait_no_box
app_dir=$(wine_path -w "$E2E_APP_DIR")
got=$(shelltool link "$link") || e2e_fail "no readable $link after registering"
expected=$(printf '%s\n%s' "$app_dir\\Soramitsu.exe" "$app_dir\\")
[ "$got" = "$expected" ] && e2e_note "ok: $link points at $app_dir\\Soramitsu.exe" ||
  e2e_soft_fail "link target and working directory: [$got], expected [$expected]"

menu_expect_message "$UNREGISTER" "スタートアップから登録の解除をしました。"
wait_no_box
[ -e "$link_unix" ] && e2e_soft_fail "$link is still there after unregistering"

e2e_close_app 60
e2e_finish
