#!/usr/bin/env bash
# Runs CTest in a Windows build folder with everything the Wine tests need around it:
# the folder's prefix, a private Xvfb display, and every Wine process stopped at the end.
# Usage: wine-ctest.sh BUILD_DIR [CTEST_ARGS...]
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

[ $# -ge 1 ] || sm_die "usage: wine-ctest.sh BUILD_DIR [CTEST_ARGS...]"
build="$(cd "$1" && pwd)" || sm_die "no build folder $1"
shift

"$SORAMITSU_ROOT/scripts/wine-prefix.sh" "$build" || exit 1

cleanup() {
  sm_wine_kill "$build"
  sm_xvfb_stop
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# Wine processes left from an earlier run belong to another display: stop them first.
sm_wine_kill "$build"
sm_xvfb_start
export SORAMITSU_BUILD_DIR="$build"
ctest --test-dir "$build" --output-on-failure "$@"
