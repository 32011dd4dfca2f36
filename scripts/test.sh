#!/usr/bin/env bash
# Builds everything and runs every test: the native tests and benchmarks (build-native), the
# native tests again with AddressSanitizer and UndefinedBehaviorSanitizer (build-asan), the
# fuzz targets for 20 s each (build-fuzz, scripts/fuzz.sh),
# then the Windows build (build-win) with its tests under Wine on a private Xvfb display,
# then the user manual (with fresh screenshots) and the release package, and checks both.
# Exits non-zero when any build step or test fails.
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
exec </dev/null

native="$SORAMITSU_ROOT/build-native"
win="$SORAMITSU_ROOT/build-win"
failed=()
summary=()

step_failed() { failed+=("$1"); sm_log "FAILED: $1"; }

# Runs ctest in a build folder, keeps its output, and remembers its summary lines.
run_ctest() {
  local name="$1" build="$2"; shift 2
  local log="$build/ctest.log"
  ctest --test-dir "$build" --output-on-failure --timeout 600 "$@" 2>&1 | tee "$log"
  local rc=${PIPESTATUS[0]}
  local lines
  lines=$(grep -E 'tests passed|tests failed out of|Total Test time|^[[:space:]]+[0-9]+ - .*\((Failed|Timeout|Not Run|SEGFAULT|Subprocess aborted|Exception)' "$log" || true)
  summary+=("== $name ==" "$lines")
  [ "$rc" -eq 0 ] || step_failed "$name tests"
  return 0
}

bash "$SORAMITSU_ROOT/scripts/deps.sh" || sm_die "installing the packages failed"

# Whatever the manual and the package hold must have been made after this moment.
mkdir -p "$win"
run_start="$win/.test-run-start"
touch "$run_start"

# --- native build, tests and benchmarks -------------------------------------------------
if bash "$SORAMITSU_ROOT/scripts/build.sh" native; then
  run_ctest native "$native" -j "$(sm_jobs)"
  bench="$native/bench/soramitsu_bench"
  if [ -x "$bench" ]; then
    # Only proves that the benchmarks run; their figures are not judged here.
    sm_log "running the benchmarks briefly"
    if "$bench" --benchmark_min_time=0.01 >"$native/bench.log" 2>&1; then
      cat "$native/bench.log"
    else
      cat "$native/bench.log"
      step_failed "benchmarks"
    fi
  else
    sm_log "no benchmark program was built"
  fi
else
  step_failed "native build"
fi

# --- the native tests with AddressSanitizer and UndefinedBehaviorSanitizer ---------------
# Only the test program: benchmarks mean nothing here. Every report ends its test with a failure.
if bash "$SORAMITSU_ROOT/scripts/build.sh" asan soramitsu_native_tests; then
  export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0 UBSAN_OPTIONS=print_stacktrace=1
  run_ctest "native with sanitizers" "$SORAMITSU_ROOT/build-asan" -j "$(sm_jobs)"
  unset ASAN_OPTIONS UBSAN_OPTIONS
else
  step_failed "native build with sanitizers"
fi

# --- the readers of outside bytes, fuzzed ------------------------------------------------
mkdir -p "$SORAMITSU_ROOT/build-fuzz"
fuzz_log="$SORAMITSU_ROOT/build-fuzz/fuzz-summary.log"
bash "$SORAMITSU_ROOT/scripts/fuzz.sh" 20 2>&1 | tee "$fuzz_log"
[ "${PIPESTATUS[0]}" -eq 0 ] || step_failed "fuzzing"
summary+=("== fuzzing ==" "$(sed -n '/^target /,$p' "$fuzz_log")")

# --- Windows build, its imports, and its tests under Wine --------------------------------
if bash "$SORAMITSU_ROOT/scripts/build.sh" win; then
  bash "$SORAMITSU_ROOT/scripts/check-imports.sh" "$win/Soramitsu.exe" "$win/SoramitsuShortcut.exe" \
    || step_failed "Windows imports check"
  if bash "$SORAMITSU_ROOT/scripts/wine-prefix.sh" "$win"; then
    cleanup() { sm_wine_kill "$win"; sm_xvfb_stop; }
    trap cleanup EXIT
    trap 'exit 130' INT TERM
    # Wine processes left from an earlier run belong to another display: stop them first.
    sm_wine_kill "$win"
    sm_xvfb_start
    export SORAMITSU_BUILD_DIR="$win"
    # One test at a time: the Wine tests share one display, clipboard and wineserver.
    run_ctest windows "$win"
    cleanup
    trap - EXIT
  else
    step_failed "Wine prefix"
  fi
else
  step_failed "Windows build"
fi

# --- the manual and the release package ------------------------------------------------
if [ -f "$win/Soramitsu.exe" ]; then
  release_ok=1
  bash "$SORAMITSU_ROOT/scripts/manual.sh" "$win" || { step_failed "manual"; release_ok=0; }
  if [ "$release_ok" -eq 1 ]; then
    bash "$SORAMITSU_ROOT/scripts/package.sh" "$win" || { step_failed "package"; release_ok=0; }
  fi
  if [ "$release_ok" -eq 1 ]; then
    if bash "$SORAMITSU_ROOT/scripts/check-release.sh" "$win" "$run_start" 2>&1 | tee "$win/release-check.log"; then
      summary+=("== manual and package ==" "$(grep -E 'pages|holds|FAIL' "$win/release-check.log")")
    else
      summary+=("== manual and package ==" "$(grep -E 'FAIL' "$win/release-check.log")")
      step_failed "manual and package checks"
    fi
  fi
else
  step_failed "manual and package (no Windows build)"
fi

echo
echo "==================== summary ===================="
for line in "${summary[@]}"; do [ -n "$line" ] && echo "$line"; done
if [ "${#failed[@]}" -gt 0 ]; then
  echo "FAILED: ${failed[*]}"
  exit 1
fi
echo "All builds and tests passed."
