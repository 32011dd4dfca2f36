#!/usr/bin/env bash
# One copy per folder: a copy runs and is minimised; a second start in the same folder ends
# by itself without touching any file, and the first window is restored and in front. The
# second start comes twice: through the folder's path in other letter case, and through a
# second drive letter made after the first copy started (Wine then tells the two paths
# apart, as Windows does for subst and mapped drives). A copy in another folder starts
# normally beside it.
# Usage: single_instance.sh Soramitsu.exe TOOL_DIR
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
e2e_init "$1" "$2" single_instance
[ -f "$E2E_TOOLS/winstate.exe" ] || e2e_fail "winstate.exe not found in $E2E_TOOLS"

winstate() {
  "$SORAMITSU_ROOT/scripts/wine-run.sh" "$E2E_TOOLS/winstate.exe" "$@" 2>>"$E2E_DIR/wintool.log" | tr -d '\r'
}

# Waits until the windows' fields (awk's, e.g. '$2, $3' for iconic and foreground) read
# exactly WANT, lines joined by "|".
wait_state() {
  local fields="$1" want="$2" seconds="$3" deadline=$((SECONDS + $3)) got
  while :; do
    got=$(winstate "$E2E_TITLE" | awk "{print $fields}" | paste -sd'|')
    [ "$got" = "$want" ] && return 0
    [ "$SECONDS" -ge "$deadline" ] && break
    sleep 0.2
  done
  e2e_soft_fail "windows \"$E2E_TITLE\" ($fields of pid iconic foreground): [$got], expected [$want] within ${seconds}s"
  return 1
}

# Every file and folder below the app folder with its size and modification time.
snapshot() { (cd "$E2E_APP_DIR" && find . -printf '%p %s %T@\n' | sort); }

# Minimises the first copy, starts Soramitsu.exe as WIN_PATH and checks that this start
# ended by itself, leaving the first copy running, restored, in front and its files as
# they were.
second_start() {
  local win_path="$1" before after second_pid second_rc deadline
  winstate minimize "$E2E_TITLE" >/dev/null || e2e_fail "could not minimise the first window"
  # A minimised window may stay the active one; only its state is waited for.
  wait_state '$2' "1" 15 || e2e_fail "the first window was not minimised"
  before=$(snapshot)
  e2e_note "second start as $win_path"
  (cd "$E2E_DIR" && exec "$SORAMITSU_ROOT/scripts/wine-run.sh" "$win_path") >>"$E2E_DIR/second.log" 2>&1 &
  second_pid=$!
  deadline=$((SECONDS + 30))
  while kill -0 "$second_pid" 2>/dev/null; do
    [ "$SECONDS" -ge "$deadline" ] && { kill -9 "$second_pid"; e2e_fail "the start as $win_path did not end within 30 s"; }
    sleep 0.1
  done
  wait "$second_pid"
  second_rc=$?
  [ "$second_rc" -eq 0 ] || e2e_soft_fail "the start as $win_path ended with code $second_rc"
  e2e_app_running || e2e_fail "the first copy ended"
  wait_state '$2, $3' "0 1" 15 && e2e_note "ok: one window, restored and in front"
  after=$(snapshot)
  if [ "$before" = "$after" ]; then
    e2e_note "ok: the start as $win_path touched no file"
  else
    e2e_soft_fail "the start as $win_path changed the app folder:"
    diff <(echo "$before") <(echo "$after") >&2
  fi
  [ "$(winstate "$E2E_TITLE" | awk '{print $1}' | sort -u | wc -l)" -eq 1 ] || e2e_soft_fail "more than one process shows a window"
}

# The prefix is shared with the other tests: the drive goes however this test ends.
drive_link="$(sm_wine_prefix "$E2E_BUILD")/dosdevices/y:"
rm -f "$drive_link"
trap 'rc=$?; rm -f "$drive_link"; (exit $rc); e2e_cleanup' EXIT

e2e_make_app_folder
e2e_start_app
e2e_wait_main_window 60000
first_pid=$E2E_APP_PID

# The same folder, named in upper case as a Windows path (Wine finds files case-blind).
second_start "Z:$(dirname "$E2E_APP_DIR" | tr '/' '\\')\\$(basename "$E2E_APP_DIR" | tr '[:lower:]' '[:upper:]')\\Soramitsu.exe"
# The same folder as drive Y:, which the prefix keeps only for this part.
ln -s "$E2E_APP_DIR" "$drive_link" || e2e_fail "could not make $drive_link"
second_start 'Y:\Soramitsu.exe'
rm -f "$drive_link"

# Another folder: an independent copy with its own data folders.
other_dir="$E2E_DIR/other"
mkdir -p "$other_dir"
cp -f "$E2E_EXE" "$other_dir/Soramitsu.exe"
(cd "$E2E_DIR" && exec "$SORAMITSU_ROOT/scripts/wine-run.sh" "$other_dir/Soramitsu.exe") >>"$E2E_DIR/other.log" 2>&1 &
other_pid=$!
deadline=$((SECONDS + 60))
until [ "$(winstate "$E2E_TITLE" | wc -l)" -eq 2 ]; do
  [ "$SECONDS" -ge "$deadline" ] && { kill -9 "$other_pid"; e2e_fail "the copy in another folder showed no window within 60 s"; }
  kill -0 "$other_pid" 2>/dev/null || e2e_fail "the copy in another folder ended by itself"
  sleep 0.2
done
e2e_note "ok: a copy in another folder runs beside the first"
[ -d "$other_dir/Data" ] || e2e_soft_fail "the copy in another folder made no Data folder"

winstate close-all "$E2E_TITLE" >/dev/null
deadline=$((SECONDS + 60))
while kill -0 "$other_pid" 2>/dev/null || e2e_app_running; do
  [ "$SECONDS" -ge "$deadline" ] && e2e_fail "the copies did not end within 60 s of WM_CLOSE"
  sleep 0.2
done
E2E_APP_PID=""
[ -f "$other_dir/Soramitsu.ini" ] && [ -f "$E2E_APP_DIR/Soramitsu.ini" ] ||
  e2e_soft_fail "each copy should have written its own settings file at exit"
e2e_note "first copy was pid $first_pid"
e2e_finish
