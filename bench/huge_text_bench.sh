#!/usr/bin/env bash
# Huge clipboard texts under Wine, with the real edit boxes: for each size (MiB of UTF-16
# text, 4 16 64 unless given), another program copies a text of that size while keys are
# typed into the search box, and the longest wait for a key is taken; then the program
# starts several times with that text as the newest record, timed from the process start to
# the first key taken after the history table is painted, beside the same start with an
# empty history. Keys are posted as a keyboard would (keytimer.exe, tests/e2e/tools).
# Usage: huge_text_bench.sh Soramitsu.exe TOOL_DIR [SIZE...]
#   SIZE: MiB of lines of a log (4), or with "p" of one paragraph without a line break (4p).
# Environment: RUNS (start-ups per case, 3).
set -uo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
source "$here/../tests/e2e/lib.sh"
e2e_init "$1" "$2" huge_text_bench
shift 2
sizes=("$@")
[ ${#sizes[@]} -gt 0 ] || sizes=(4 16 64 4p)
runs="${RUNS:-3}"
for tool in keytimer closetimer; do
  [ -f "$E2E_TOOLS/$tool.exe" ] || e2e_fail "$tool.exe not found in $E2E_TOOLS"
done

e2e_make_app_folder
data="$E2E_APP_DIR/Data"
exe_win="Z:${E2E_APP_DIR//\//\\}\\Soramitsu.exe"

# Its output goes through a file: the program it starts inherits the output, and a pipe
# would stay open until that program ends.
keytimer() {
  "$SORAMITSU_ROOT/scripts/wine-run.sh" "$E2E_TOOLS/keytimer.exe" "$@" \
    >"$E2E_DIR/keytimer.out" 2>>"$E2E_DIR/wintool.log" || return 1
  tr -d '\r' <"$E2E_DIR/keytimer.out"
}
close_program() {
  "$SORAMITSU_ROOT/scripts/wine-run.sh" "$E2E_TOOLS/closetimer.exe" "$E2E_TITLE" 180000 \
    >/dev/null 2>>"$E2E_DIR/wintool.log" || e2e_fail "$1: the program did not end after WM_CLOSE"
}
median() { printf '%s\n' "$@" | sort -n | sed -n "$(( ($# + 1) / 2 ))p"; }

# Start-ups with the data folder as it is: prints the median milliseconds to the first key.
start_ups() {
  local label="$1" r out keys=()
  for ((r = 1; r <= runs; r++)); do
    out=$(keytimer start "$exe_win" "$E2E_TITLE" 180000) || e2e_fail "$label: start-up $r failed"
    e2e_note "$label: start-up $r: table painted ${out% *} ms, first key ${out#* } ms"
    keys+=("${out#* }")
    close_program "$label"
  done
  median "${keys[@]}"
}

rows=()
baseline=$(start_ups "empty history")
for size in "${sizes[@]}"; do
  mib="${size%p}"
  shape=lines label="$mib MiB"
  if [ "$size" != "$mib" ]; then shape=paragraph label="$mib MiB, one paragraph"; fi
  rm -rf "$data" "$E2E_APP_DIR"/Bkup1 "$E2E_APP_DIR"/Bkup2
  e2e_start_app
  e2e_wait_main_window 120000
  e2e_client_origin
  e2e_wait_history_table
  out=$(keytimer record "$E2E_TITLE" "$mib" 300000 "$shape") || e2e_fail "$label: recording failed"
  read -r longest board keys <<<"$out"
  e2e_note "$label copied: longest wait for a key $longest ms, board changed after $board ms, $keys keys"
  close_program "$label"
  e2e_wait_exit 60 || e2e_fail "$label: the program is still running"
  log_bytes=$(stat -c %s "$data/Log.dat" 2>/dev/null || echo 0)
  [ "$log_bytes" -gt $((mib * 1024 * 1024 / 4)) ] || e2e_fail "$label: Log.dat holds $log_bytes bytes"
  startup=$(start_ups "$label newest")
  rows+=("$(printf '| %s | %s | %s | %s | %s |' "$label" "$longest" "$board" "$startup" \
    "$((startup - baseline))")")
done

printf 'start-up with an empty history, to the first key: %s ms (median of %s)\n' "$baseline" "$runs"
printf '| Text | Longest wait for a key, ms | Board shows it after, ms | Start-up to first key, ms | More than an empty history, ms |\n'
printf '|---|---:|---:|---:|---:|\n'
printf '%s\n' "${rows[@]}"
e2e_finish
