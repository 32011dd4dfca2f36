#!/usr/bin/env bash
# The clipboard round trip between the X side and a Windows program under Wine:
#   1. xclip owns a text; the test exe must read exactly that text from the clipboard;
#   2. the test exe sets a text; xclip must read exactly that text back.
# Usage: clipboard_xclip.sh PATH/TO/soramitsu_wine_tests.exe
# Runs the exe through scripts/wine-run.sh (the build folder's prefix); uses DISPLAY when
# set, else starts its own Xvfb for the run.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/common.sh"

[ $# -eq 1 ] || sm_die "usage: clipboard_xclip.sh TEST_EXE"
exe="$1"
[ -f "$exe" ] || sm_die "no test program at $exe"
command -v xclip >/dev/null || sm_die "xclip is not installed (run scripts/deps.sh)"
run="$SORAMITSU_ROOT/scripts/wine-run.sh"

xclip_pid=""
cleanup() {
  if [ -n "$xclip_pid" ]; then kill "$xclip_pid" 2>/dev/null || true; wait "$xclip_pid" 2>/dev/null || true; fi
  sm_xvfb_stop
}
trap cleanup EXIT
if [ -z "${DISPLAY:-}" ]; then sm_xvfb_start; fi

read_x() { timeout 5 xclip -o -selection clipboard -t UTF8_STRING 2>/dev/null || true; }

# Polls (bounded) until the X clipboard holds $1.
wait_for_x() {
  local want="$1" limit="$2" start=$SECONDS
  while [ $((SECONDS - start)) -lt "$limit" ]; do
    [ "$(read_x)" = "$want" ] && return 0
    sleep 0.2
  done
  return 1
}

run_case() {
  local filter="$1" log
  log=$(timeout 120 "$run" "$exe" --gtest_filter="$filter" 2>&1) || {
    printf '%s\n' "$log" >&2
    sm_die "$filter failed"
  }
  grep -qF "[       OK ] $filter" <<<"$log" || {
    printf '%s\n' "$log" >&2
    sm_die "$filter did not run (skipped?)"
  }
}

# 1. X to Windows.
to_wine="ソラミツ X→Wine　テスト $$ ✓"
printf '%s' "$to_wine" | xclip -selection clipboard -i -quiet >/dev/null 2>&1 &
xclip_pid=$!
wait_for_x "$to_wine" 10 || sm_die "xclip did not take the clipboard"
SORAMITSU_XCLIP_EXPECT="$to_wine" run_case ClipboardXclip.ReadsWhatXclipCopied
kill "$xclip_pid" 2>/dev/null || true
wait "$xclip_pid" 2>/dev/null || true
xclip_pid=""
sm_log "X → Wine: the program read the text xclip copied"

# 2. Windows to X. Wine drops the X clipboard when its last program ends, so the writer
# waits for the flag file (its Windows name on drive Z:) until xclip has read the text.
to_x="ソラミツ Wine→X　テスト $$ ✓"
flag_dir=$(mktemp -d)
flag="$flag_dir/done"
writer_log="$flag_dir/writer.log"
SORAMITSU_XCLIP_WRITE="$to_x" SORAMITSU_XCLIP_DONE="Z:${flag//\//\\}" \
  timeout 120 "$run" "$exe" --gtest_filter=ClipboardXclip.WritesForXclip >"$writer_log" 2>&1 &
writer_pid=$!
got_it=0
if wait_for_x "$to_x" 60; then got_it=1; fi
seen="$(read_x)"
touch "$flag"
writer_rc=0
wait "$writer_pid" || writer_rc=$?
if [ "$writer_rc" -ne 0 ] || ! grep -qF "[       OK ] ClipboardXclip.WritesForXclip" "$writer_log"; then
  cat "$writer_log" >&2
  rm -rf "$flag_dir"
  sm_die "ClipboardXclip.WritesForXclip failed or did not run"
fi
rm -rf "$flag_dir"
[ "$got_it" -eq 1 ] || sm_die "xclip read \"$seen\" instead of \"$to_x\""
sm_log "Wine → X: xclip read the text the program set"
