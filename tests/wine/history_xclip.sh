#!/usr/bin/env bash
# Texts copied with xclip, one after another, are each recorded by the clipboard monitor of
# the main window under Wine. The test exe (HistoryClipboardTest.RecordsTextsCopiedWithXclip)
# ticks the monitor; this script copies the next text once the exe reports the last one
# recorded, through flag files in a scratch folder.
# Usage: history_xclip.sh PATH/TO/soramitsu_wine_tests.exe
# Runs the exe through scripts/wine-run.sh; uses DISPLAY when set, else starts its own Xvfb.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/common.sh"

[ $# -eq 1 ] || sm_die "usage: history_xclip.sh TEST_EXE"
exe="$1"
[ -f "$exe" ] || sm_die "no test program at $exe"
command -v xclip >/dev/null || sm_die "xclip is not installed (run scripts/deps.sh)"
run="$SORAMITSU_ROOT/scripts/wine-run.sh"
test_name=HistoryClipboardTest.RecordsTextsCopiedWithXclip

flag_dir=$(mktemp -d)
xclip_pids=()
exe_pid=""
cleanup() {
  local pid
  for pid in "${xclip_pids[@]}"; do
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  done
  if [ -n "$exe_pid" ]; then kill "$exe_pid" 2>/dev/null || true; wait "$exe_pid" 2>/dev/null || true; fi
  rm -rf "$flag_dir"
  sm_xvfb_stop
}
trap cleanup EXIT
if [ -z "${DISPLAY:-}" ]; then sm_xvfb_start; fi

texts=(
  "xclip 一つ目のテキスト $$"
  "second text from xclip $$"
  "三行の
テキスト　全角スペース
$$"
  "絵文字 😀 と 𠮷 $$"
)

export SORAMITSU_HISTORY_XCLIP_DIR="Z:${flag_dir//\//\\}"
export SORAMITSU_HISTORY_XCLIP_COUNT=${#texts[@]}
for i in "${!texts[@]}"; do
  # The program records texts with CR LF line breaks, as Windows programs copy them.
  export "SORAMITSU_HISTORY_XCLIP_TEXT$((i + 1))=${texts[$i]//$'\n'/$'\r\n'}"
done

log="$flag_dir/test.log"
timeout 180 "$run" "$exe" --gtest_filter="$test_name" >"$log" 2>&1 &
exe_pid=$!

fail() {
  cat "$log" >&2 || true
  sm_die "$*"
}

# Waits (bounded) for the exe's flag file $1; fails at once when the exe has ended.
wait_for_flag() {
  local name="$1" limit="$2" start=$SECONDS
  while [ $((SECONDS - start)) -lt "$limit" ]; do
    [ -e "$flag_dir/$name" ] && return 0
    kill -0 "$exe_pid" 2>/dev/null || { [ -e "$flag_dir/$name" ] && return 0; fail "the test ended before '$name'"; }
    sleep 0.1
  done
  fail "no '$name' from the test within ${limit}s"
}

wait_for_flag started 120
for i in "${!texts[@]}"; do
  text="${texts[$i]//$'\n'/$'\r\n'}"
  printf '%s' "$text" | xclip -selection clipboard -i -quiet >/dev/null 2>&1 &
  xclip_pids+=($!)
  wait_for_flag "recorded-$((i + 1))" 40
  sm_log "text $((i + 1)) of ${#texts[@]} recorded"
done

rc=0
wait "$exe_pid" || rc=$?
exe_pid=""
if [ "$rc" -ne 0 ] || ! grep -qF "[       OK ] $test_name" "$log"; then
  fail "$test_name failed (exit $rc)"
fi
sm_log "every text copied with xclip was recorded, newest first"
