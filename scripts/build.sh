#!/usr/bin/env bash
# Configures and builds one of the two builds.
# Usage: build.sh native|win|asan [TARGET...]
#   native: g++ build of the portable code, tests and benchmarks in build-native
#   win:    MinGW-w64 build of the Windows programs and their tests in build-win
#   asan:   the native build with AddressSanitizer and UndefinedBehaviorSanitizer (clang) in build-asan
# SORAMITSU_BUILD_DIR overrides the build folder.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

kind="${1:-}"
shift || true
case "$kind" in
  native) build="${SORAMITSU_BUILD_DIR:-$SORAMITSU_ROOT/build-native}"; extra=() ;;
  win)    build="${SORAMITSU_BUILD_DIR:-$SORAMITSU_ROOT/build-win}"
          extra=(-DCMAKE_TOOLCHAIN_FILE="$MINGW_TOOLCHAIN") ;;
  # clang at -O0 compiles the tests about four times as fast as g++ at -O1; asserts stay on.
  asan)   build="${SORAMITSU_BUILD_DIR:-$SORAMITSU_ROOT/build-asan}"
          sanitize="-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer"
          extra=(-DCMAKE_CXX_COMPILER=clang++ -DCMAKE_CXX_FLAGS="$sanitize"
                 -DCMAKE_CXX_FLAGS_RELEASE=-O0 -DCMAKE_EXE_LINKER_FLAGS="$sanitize") ;;
  *) sm_die "usage: build.sh native|win|asan [TARGET...]" ;;
esac

# Keep the generator an existing build folder was made with.
generator=""
if [ -f "$build/CMakeCache.txt" ]; then
  generator=$(sed -n 's/^CMAKE_GENERATOR:INTERNAL=//p' "$build/CMakeCache.txt")
elif command -v ninja >/dev/null; then
  generator="Ninja"
else
  generator="Unix Makefiles"
fi

mkdir -p "$build"
sm_log "configuring $build ($generator)"
cmake -S "$SORAMITSU_ROOT" -B "$build" -G "$generator" -DCMAKE_BUILD_TYPE=Release "${extra[@]}" \
  >"$build/configure.log" 2>&1 || { cat "$build/configure.log" >&2; sm_die "configuring $build failed"; }
rm -f "$build/configure.log"

targets=()
for t in "$@"; do targets+=(--target "$t"); done
sm_log "building $build ${*:-(all)}"
cmake --build "$build" -j "$(sm_jobs)" "${targets[@]}" || sm_die "building $build failed"
