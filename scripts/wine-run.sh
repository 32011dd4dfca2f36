#!/usr/bin/env bash
# Runs a Windows program under Wine in the environment of the project's tests:
# the build folder's own prefix and HOME, code page 932 (LANG=ja_JP.UTF-8), no Mono or
# Gecko, real errors on stderr. CTest uses it as the emulator of the Windows build.
# Usage: wine-run.sh PROGRAM.exe [ARGS...]
# The build folder is SORAMITSU_BUILD_DIR when set, else the nearest folder above the
# program that holds a CMakeCache.txt, else build-win. DISPLAY is taken as it is.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

[ $# -ge 1 ] || sm_die "usage: wine-run.sh PROGRAM.exe [ARGS...]"

find_build() {
  local dir
  dir="$(cd "$(dirname "$1")" 2>/dev/null && pwd)" || return 1
  while [ "$dir" != "/" ]; do
    if [ -f "$dir/CMakeCache.txt" ]; then echo "$dir"; return 0; fi
    dir="$(dirname "$dir")"
  done
  return 1
}

build="${SORAMITSU_BUILD_DIR:-}"
if [ -z "$build" ]; then
  build="$(find_build "$1" || find_build "$PWD/x" || echo "$SORAMITSU_ROOT/build-win")"
fi

mkdir -p "$build"
build="$(cd "$build" && pwd)"

if [ ! -f "$(sm_wine_prefix "$build")/.soramitsu-prefix-v2" ]; then
  "$SORAMITSU_ROOT/scripts/wine-prefix.sh" "$build" >&2
fi

keep_display="${DISPLAY:-}"
sm_wine_env "$build"
if [ -n "$keep_display" ]; then export DISPLAY="$keep_display"; fi
exec "$WINE64" "$@"
