#!/usr/bin/env bash
# A read-only content file in Data (attrib +r), over three exits, as an ordinary user:
# every backup succeeds, the settings file is written each time, the slots hold writable
# copies and the file in Data keeps its attribute. Wine running as root ignores the
# read-only attribute on writes, so the program, its wineserver and every helper run as
# "nobody" (uid 65534) with a prefix and a home of that user; run by an ordinary user, the
# test uses that user instead. The prefix is made here, so a fresh clone needs nothing more.
# Usage: backup_read_only.sh Soramitsu.exe TOOL_DIR
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
source "$(dirname "${BASH_SOURCE[0]}")/persistence.inc"
e2e_init "$1" "$2" backup_read_only

if [ "$(id -u)" -eq 0 ]; then
  command -v setpriv >/dev/null || e2e_fail "setpriv is missing (package util-linux)"
  RUN_AS=(setpriv --reuid=65534 --regid=65534 --clear-groups)
else
  RUN_AS=()
fi
# Under /tmp: the user must reach every folder on the way, which a build folder may not allow.
USER_ROOT=$(mktemp -d /tmp/soramitsu-readonly-XXXXXX) || e2e_fail "no temporary folder"
chmod 755 "$USER_ROOT"
mkdir -p "$USER_ROOT/home" "$USER_ROOT/app" "$USER_ROOT/tools"
E2E_APP_DIR="$USER_ROOT/app"
cp -f "$E2E_EXE" "$E2E_APP_DIR/Soramitsu.exe"
cp -f "$E2E_TOOLS/wintool.exe" "$USER_ROOT/tools/"
[ "$(id -u)" -eq 0 ] && chown -R 65534:65534 "$USER_ROOT"

# The environment of every Wine process of the user (DISPLAY is added where a window opens).
UENV=(env -i PATH=/usr/bin:/bin HOME="$USER_ROOT/home" WINEPREFIX="$USER_ROOT/prefix" WINEARCH=win64
      WINEDEBUG=fixme-all WINEDLLOVERRIDES="$SORAMITSU_WINEDLLOVERRIDES" LANG=ja_JP.UTF-8)
uwine() { "${RUN_AS[@]}" "${UENV[@]}" DISPLAY="$DISPLAY" "$WINE64" "$@"; }
user_cleanup() {
  local rc=$?
  if [ -n "${APP_PID:-}" ] && kill -0 "$APP_PID" 2>/dev/null; then kill -9 "$APP_PID" 2>/dev/null; fi
  timeout 30 "${RUN_AS[@]}" "${UENV[@]}" "$WINESERVER" -k >/dev/null 2>&1
  timeout 30 "${RUN_AS[@]}" "${UENV[@]}" "$WINESERVER" -w >/dev/null 2>&1
  rm -rf "$USER_ROOT"
  (exit "$rc")
  e2e_cleanup
}
trap user_cleanup EXIT

e2e_note "making a Wine prefix for uid $("${RUN_AS[@]}" id -u) in $USER_ROOT/prefix"
timeout 300 "${RUN_AS[@]}" "${UENV[@]}" "$WINE64" wineboot --init >"$E2E_DIR/wineboot.log" 2>&1 ||
  e2e_fail "wineboot --init failed as the user (log: $E2E_DIR/wineboot.log)"
timeout 120 "${RUN_AS[@]}" "${UENV[@]}" "$WINESERVER" -w

winpath() { echo "Z:$(echo "$1" | tr '/' '\\')"; }
uwintool() { uwine "$USER_ROOT/tools/wintool.exe" "$@" 2>>"$E2E_DIR/wintool.log"; }

# A saved entry whose content file is read-only, as a copy from a CD or a user's tool leaves it.
key="20240115 093012"
content="$E2E_APP_DIR/Data/h$key.dat"
"${RUN_AS[@]}" mkdir -p "$E2E_APP_DIR/Data"
printf 'メモ,読み取り専用の内容,%s,00001\r\n' "$key" | iconv -f UTF-8 -t CP932 |
  "${RUN_AS[@]}" tee "$E2E_APP_DIR/Data/hozon.dat" >/dev/null
printf '変更してはいけない内容' | iconv -f UTF-8 -t CP932 | "${RUN_AS[@]}" tee "$content" >/dev/null
uwine cmd /c attrib +r "$(winpath "$content")" >>"$E2E_DIR/attrib.log" 2>&1
# attrib prints the attribute letters, then the path.
read_only() { uwine cmd /c attrib "$(winpath "$1")" 2>/dev/null | tr -d '\r' | sed 's/[A-Za-z]:\\.*//' | grep -q R; }
read_only "$content" || e2e_fail "attrib +r did not make the content file read-only"
e2e_note "Data/h$key.dat is read-only"

run_and_exit() {
  local round="$1"
  (cd "$USER_ROOT" && exec "${RUN_AS[@]}" "${UENV[@]}" DISPLAY="$DISPLAY" "$WINE64" \
     "$(winpath "$E2E_APP_DIR/Soramitsu.exe")") >>"$E2E_DIR/app.log" 2>&1 &
  APP_PID=$!
  uwintool wait-window "$E2E_TITLE" 60000 >/dev/null || e2e_fail "exit $round: no main window within 60 s"
  uwintool close "$E2E_TITLE" >/dev/null || e2e_fail "exit $round: could not post WM_CLOSE"
  local deadline=$((SECONDS + 60))
  while kill -0 "$APP_PID" 2>/dev/null; do
    if [ "$SECONDS" -ge "$deadline" ]; then
      e2e_soft_fail "exit $round: the program did not end within 60 s; boxes: $(uwintool list-boxes | tr -d '\r' | tr '\n' ' ')"
      kill -9 "$APP_PID"
      break
    fi
    sleep 0.2
  done
  APP_PID=""
}

for round in 1 2 3; do
  slot=$([ $((round % 2)) -eq 1 ] && echo Bkup2 || echo Bkup1)
  flag=$([ $((round % 2)) -eq 1 ] && echo 0 || echo 1)
  stamp_key=$([ "$slot" = Bkup2 ] && echo DATE2 || echo DATE1)
  before=$(p_ini_value "$stamp_key" 2>/dev/null)
  run_and_exit "$round"
  [ -f "$E2E_APP_DIR/Soramitsu.ini" ] || e2e_fail "exit $round: no settings file"
  [ "$(p_ini_value FLG)" = "$flag" ] || e2e_soft_fail "exit $round: FLG is \"$(p_ini_value FLG)\", expected $flag"
  stamp=$(p_ini_value "$stamp_key")
  p_is_stamp "$stamp" || e2e_soft_fail "exit $round: $stamp_key is \"$stamp\""
  [ "$stamp" != "$before" ] || e2e_soft_fail "exit $round: $stamp_key was not written again ($stamp)"
  p_check_slot_copy "$slot"
  read_only "$E2E_APP_DIR/$slot/h$key.dat" && e2e_soft_fail "exit $round: the copy in $slot is read-only"
  read_only "$content" || e2e_soft_fail "exit $round: the content file in Data lost its read-only attribute"
  e2e_note "exit $round: backup into $slot, FLG=$flag, $stamp_key=$stamp"
  # Stamps have a resolution of one second.
  sleep 1
done
e2e_finish
