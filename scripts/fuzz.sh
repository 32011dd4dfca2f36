#!/usr/bin/env bash
# Builds the libFuzzer targets of tests/fuzz with clang in build-fuzz and runs each in turn
# for the given seconds (default 20), starting from its seeds in tests/fuzz/corpus/<target>
# (which hold every input that ever failed, so those run first each time). Prints per target
# the executions per second and the coverage reached (libFuzzer's final cov: and ft:).
# Fails when a target finds a crash, a hang, a leak, undefined behaviour or a broken round
# trip; the input is left in build-fuzz/findings/. Keep it as a seed once the fault is mended.
# Usage: fuzz.sh [seconds] [TARGET...]
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

seconds="${1:-20}"
shift || true
build="${SORAMITSU_FUZZ_BUILD_DIR:-$SORAMITSU_ROOT/build-fuzz}"
seeds="$SORAMITSU_ROOT/tests/fuzz/corpus"

command -v clang++ >/dev/null || sm_die "clang++ is missing (run scripts/deps.sh)"
sm_log "configuring and building $build"
mkdir -p "$build"
cmake -S "$SORAMITSU_ROOT/tests/fuzz" -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_BUILD_TYPE= >"$build/configure.log" 2>&1 \
  || { cat "$build/configure.log" >&2; sm_die "configuring $build failed"; }
rm -f "$build/configure.log"
cmake --build "$build" -j "$(sm_jobs)" || sm_die "building the fuzz targets failed"

targets=("$@")
if [ "${#targets[@]}" -eq 0 ]; then
  for dir in "$seeds"/*/; do targets+=("$(basename "$dir")"); done
fi

mkdir -p "$build/findings"
# As many targets at a time as there are cores to use (two): each runs on one.
for t in "${targets[@]}"; do
  [ -x "$build/fuzz_$t" ] || sm_die "no fuzz target $t"
  while [ "$(jobs -rp | wc -l)" -ge "$(sm_jobs)" ]; do wait -n; done
  mkdir -p "$build/corpus/$t"
  sm_log "fuzzing $t for $seconds s"
  # New inputs go to the build folder's corpus (first folder); the seeds stay as they are.
  rm -f "$build/$t.rc"
  { "$build/fuzz_$t" -max_total_time="$seconds" -timeout=10 -print_final_stats=1 \
      -artifact_prefix="$build/findings/$t-" "$build/corpus/$t" "$seeds/$t" >"$build/$t.log" 2>&1
    echo $? >"$build/$t.rc"; } &
done
wait

rows=()
failed=()
for t in "${targets[@]}"; do
  log="$build/$t.log"
  execs=$(sed -n 's/^stat::average_exec_per_sec:[[:space:]]*//p' "$log" | tail -1)
  cov=$(grep -oE 'cov: [0-9]+' "$log" | tail -1 | cut -d' ' -f2)
  ft=$(grep -oE 'ft: [0-9]+' "$log" | tail -1 | cut -d' ' -f2)
  result=ok
  if [ "$(cat "$build/$t.rc" 2>/dev/null)" != 0 ]; then
    result="FAILED ($(grep -oE '(round trip broken: .*|SUMMARY: [A-Za-z]+: [^ ]+( [^ ]+)?)' "$log" | head -1))"
    grep -E 'Test unit written to|round trip broken|SUMMARY' "$log" >&2
    failed+=("$t")
  fi
  rows+=("$(printf '%-14s %9s %6s %7s  %s' "$t" "${execs:--}" "${cov:--}" "${ft:--}" "$result")")
done

echo "fuzzing, $seconds s per target:"
printf '%-14s %9s %6s %7s  %s\n' target exec/s cov ft result
for row in "${rows[@]}"; do echo "$row"; done
if [ "${#failed[@]}" -gt 0 ]; then
  sm_log "failing inputs are in $build/findings (logs: $build/<target>.log)"
  exit 1
fi
