#!/usr/bin/env bash
# A hozon.dat written by hand whose created keys are no "yyyymmdd hhnnss" (one climbs out
# of Data with "\..\..\secret", one is empty): at start-up both lines are set aside in
# Data\読み込めなかった保存データ.txt with one notice, the proper entry stays, and across a
# start and an exit no file outside Data (but the settings file and the backup slots)
# is written or created: secret.dat beside the program keeps its bytes and its time.
# Usage: saved_key_outside_data.sh Soramitsu.exe TOOL_DIR
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
source "$(dirname "${BASH_SOURCE[0]}")/persistence.inc"
e2e_init "$1" "$2" saved_key_outside_data

e2e_make_app_folder
mkdir -p "$E2E_APP_DIR/Data"
good='仕事,挨拶文,20240115 093012,00003'
escape='外,秘密,\..\..\secret,00001'
nokey='鍵なし,題,,00002'
printf '%s\r\n%s\r\n%s\r\n' "$good" "$escape" "$nokey" | iconv -f UTF-8 -t CP932 \
  >"$E2E_APP_DIR/Data/hozon.dat" || e2e_fail "cannot write hozon.dat"
printf 'お世話になっております。' | iconv -f UTF-8 -t CP932 \
  >"$E2E_APP_DIR/Data/h20240115 093012.dat" || e2e_fail "cannot write the content file"
# The files the crafted key points at, beside the program and one folder up.
printf 'secret beside the program' >"$E2E_APP_DIR/secret.dat"
printf 'secret one folder up' >"$E2E_DIR/secret.dat"
touch -d '2020-01-01 00:00:00' "$E2E_APP_DIR/secret.dat" "$E2E_DIR/secret.dat"
cp -p "$E2E_APP_DIR/secret.dat" "$E2E_DIR/secret-app.expected"
cp -p "$E2E_DIR/secret.dat" "$E2E_DIR/secret-up.expected"

# Every file outside Data and the slots, with size and time; the settings file is expected
# to appear, everything else must stay as it was.
outside() {
  (cd "$E2E_APP_DIR" && find . -path ./Data -prune -o -path ./Bkup1 -prune -o -path ./Bkup2 -prune \
    -o -type f ! -name Soramitsu.ini -printf '%p %s %T@\n' | sort)
}
outside >"$E2E_DIR/outside-before"

e2e_start_app
boxes=$(p_wait_box_text "2 行を読み込めませんでした" 60)
e2e_note "shown: $boxes"
case "$boxes" in
  *"読み込めなかった保存データ.txt"*) e2e_note "ok: the notice names the side file" ;;
  *) e2e_soft_fail "the notice does not name the side file: $boxes" ;;
esac
e2e_wintool press-ok >/dev/null || e2e_fail "could not press OK"
e2e_wait_main_window 60000
p_wait_no_box 10
e2e_close_app 60

kept="$E2E_APP_DIR/Data/読み込めなかった保存データ.txt"
if [ -f "$kept" ] && printf '%s\r\n%s\r\n' "$escape" "$nokey" | iconv -f UTF-8 -t CP932 | cmp -s - "$kept"; then
  e2e_note "ok: both lines are kept in the side file"
else
  e2e_soft_fail "the side file does not hold exactly the two lines"
  [ -f "$kept" ] && od -c "$kept" | head -10 >&2
fi
if printf '%s\r\n' "$good" | iconv -f UTF-8 -t CP932 | cmp -s - "$E2E_APP_DIR/Data/hozon.dat"; then
  e2e_note "ok: hozon.dat holds the proper entry"
else
  e2e_soft_fail "hozon.dat should hold the proper entry alone"
  od -c "$E2E_APP_DIR/Data/hozon.dat" | head -10 >&2
fi
for pair in "$E2E_APP_DIR/secret.dat:$E2E_DIR/secret-app.expected" "$E2E_DIR/secret.dat:$E2E_DIR/secret-up.expected"; do
  file="${pair%%:*}" expected="${pair#*:}"
  if cmp -s "$file" "$expected" && [ "$(stat -c %Y "$file")" = "$(stat -c %Y "$expected")" ]; then
    e2e_note "ok: $file is untouched"
  else
    e2e_soft_fail "$file was changed"
  fi
done
outside >"$E2E_DIR/outside-after"
if cmp -s "$E2E_DIR/outside-before" "$E2E_DIR/outside-after"; then
  e2e_note "ok: no file outside Data was written or created"
else
  e2e_soft_fail "files outside Data changed:"
  diff "$E2E_DIR/outside-before" "$E2E_DIR/outside-after" >&2
fi
found=$(find "$E2E_DIR" -name '*secret*' ! -name 'secret-*.expected' | sort | tr '\n' ' ')
[ "$found" = "$E2E_DIR/app/secret.dat $E2E_DIR/secret.dat " ] || e2e_soft_fail "unexpected files: $found"
e2e_finish
