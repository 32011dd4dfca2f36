#!/usr/bin/env bash
# The installer writes "ソラミツ.lnk" on the desktop, pointing at Soramitsu.exe in its own
# folder, before it says that the installation is complete; after OK it ends by itself.
# A second run from a folder without Soramitsu.exe rewrites the same one link.
# Usage: installer.sh SoramitsuShortcut.exe TOOL_DIR Soramitsu.exe
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
e2e_init "$1" "$2" installer
main_exe="$3"
[ -f "$main_exe" ] || e2e_fail "main program not found: $main_exe"
[ -f "$E2E_TOOLS/shelltool.exe" ] || e2e_fail "shelltool.exe not found in $E2E_TOOLS"

shelltool() {
  "$SORAMITSU_ROOT/scripts/wine-run.sh" "$E2E_TOOLS/shelltool.exe" "$@" 2>>"$E2E_DIR/shelltool.log" | tr -d '\r'
}
unix_path() {
  (sm_wine_env "$E2E_BUILD" && "$WINE64" winepath -u "$1" 2>/dev/null | tr -d '\r')
}
windows_path() {
  (sm_wine_env "$E2E_BUILD" && "$WINE64" winepath -w "$1" 2>/dev/null | tr -d '\r')
}

desk=$(shelltool folder 0) && [ -n "$desk" ] || e2e_fail "cannot tell the desktop folder"
link="$desk\\ソラミツ.lnk"
link_unix=$(unix_path "$link")
[ -n "$link_unix" ] || e2e_fail "cannot map $link to a Unix path"
e2e_note "desktop link: $link ($link_unix)"
rm -f "$link_unix"

# Runs the installer in FOLDER; checks the link (written before the message), the
# message, then presses OK and waits for the program to end.
run_installer() {
  local folder="$1" expect_target="$2" boxes got
  cp -f "$E2E_EXE" "$folder/SoramitsuShortcut.exe"
  (cd "$E2E_DIR" && exec "$SORAMITSU_ROOT/scripts/wine-run.sh" "$folder/SoramitsuShortcut.exe") \
    >>"$E2E_DIR/app.log" 2>&1 &
  E2E_APP_PID=$!
  e2e_note "started SoramitsuShortcut.exe (pid $E2E_APP_PID) in $folder"
  e2e_wintool wait-box 60000 >/dev/null || e2e_fail "no message box within 60 s"

  boxes=$(e2e_wintool list-boxes | tr -d '\r')
  printf '%s\n' "$boxes" >>"$E2E_DIR/boxes.txt"
  if grep -qF "$(printf 'box\tソラミツ\tソラミツの')" <<<"$boxes" &&
     grep -qxF "インストールが完了しました。" <<<"$boxes"; then
    e2e_note "ok: the completion message, titled ソラミツ"
  else
    e2e_soft_fail "unexpected message box: $boxes"
  fi

  [ -f "$link_unix" ] || e2e_fail "no $link while the message shows"
  got=$(shelltool link "$link") || e2e_fail "the desktop link cannot be read"
  if [ "$got" = "$(printf '%s\n%s' "$expect_target\\Soramitsu.exe" "$expect_target\\")" ]; then
    e2e_note "ok: target $expect_target\\Soramitsu.exe, working directory $expect_target\\"
  else
    e2e_soft_fail "link target and working directory: got [$got], expected $expect_target\\Soramitsu.exe"
  fi

  e2e_wintool press-ok >/dev/null || e2e_fail "could not press OK"
  e2e_wait_exit 30 || e2e_fail "the installer did not end within 30 s of OK"
  [ "$E2E_APP_EXIT" -eq 0 ] || e2e_soft_fail "the installer ended with code $E2E_APP_EXIT"
  e2e_wintool wait-gone "ショートカット作成" 5000 >/dev/null ||
    e2e_soft_fail "the installer's window is still there"
}

# The main program's folder.
mkdir -p "$E2E_APP_DIR"
cp -f "$main_exe" "$E2E_APP_DIR/Soramitsu.exe"
run_installer "$E2E_APP_DIR" "$(windows_path "$E2E_APP_DIR")"

# Again, from a folder without the main program: the one link is rewritten.
other="$E2E_DIR/other"
mkdir -p "$other"
run_installer "$other" "$(windows_path "$other")"
count=$(find "$(dirname "$link_unix")/" -maxdepth 1 -iname '*.lnk' | wc -l)
[ "$count" -eq 1 ] || e2e_soft_fail "$count links on the desktop, expected 1"
rm -f "$link_unix"
e2e_finish
