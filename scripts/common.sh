# shellcheck shell=bash
# Shared settings and helpers for the build, run and test scripts (sourced, not run).

SORAMITSU_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
WINE64=/usr/lib/wine/wine64
WINESERVER=/usr/lib/wine/wineserver
# No Mono or Gecko installers, and no menu entries or links written outside the prefix.
SORAMITSU_WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
MINGW_OBJDUMP=x86_64-w64-mingw32-objdump
MINGW_TOOLCHAIN="$SORAMITSU_ROOT/cmake/mingw-w64-x86_64.cmake"

sm_log() { printf '[%s] %s\n' "$(basename "$0")" "$*" >&2; }
sm_die() { printf '[%s] ERROR: %s\n' "$(basename "$0")" "$*" >&2; exit 1; }

# Two parallel jobs at most: the build machines are small and shared.
sm_jobs() {
  local n
  n=$(nproc 2>/dev/null || echo 2)
  if [ "$n" -gt 2 ]; then n=2; fi
  echo "$n"
}

# The Wine prefix and home of a build folder: every build folder has its own.
sm_wine_dir()    { echo "$1/wine"; }
sm_wine_prefix() { echo "$1/wine/prefix"; }
sm_wine_home()   { echo "$1/wine/home"; }

# Export the environment every Wine process of a build folder runs with.
sm_wine_env() {
  local build="$1"
  export WINEPREFIX="$(sm_wine_prefix "$build")"
  export HOME="$(sm_wine_home "$build")"
  export WINEARCH=win64
  # fixme-all keeps real errors visible; -all would hide a missing DLL (silent exit 53).
  export WINEDEBUG=fixme-all
  export WINEDLLOVERRIDES="$SORAMITSU_WINEDLLOVERRIDES"
  export LANG=ja_JP.UTF-8
  unset LC_ALL LC_CTYPE LC_MESSAGES LANGUAGE
}

# Stops every Wine process of a build folder's prefix, if its server runs.
sm_wine_kill() {
  local build="$1"
  [ -d "$(sm_wine_prefix "$build")" ] || return 0
  WINEPREFIX="$(sm_wine_prefix "$build")" HOME="$(sm_wine_home "$build")" \
    timeout 30 "$WINESERVER" -k >/dev/null 2>&1 || true
}

# Waits (bounded) until the prefix's wineserver has exited.
sm_wine_wait() {
  local build="$1" limit="${2:-120}"
  WINEPREFIX="$(sm_wine_prefix "$build")" HOME="$(sm_wine_home "$build")" \
    timeout "$limit" "$WINESERVER" -w || {
      sm_log "wineserver still running after ${limit}s; killing it"
      sm_wine_kill "$build"
    }
}

# Starts a private Xvfb and exports DISPLAY; SM_XVFB_PID (not exported) holds its pid.
sm_xvfb_start() {
  local geometry="${1:-1280x1024x24}" fifo dir n=0 display=""
  command -v Xvfb >/dev/null || sm_die "Xvfb is not installed (run scripts/deps.sh)"
  dir=$(mktemp -d)
  fifo="$dir/displayfd"
  mkfifo "$fifo"
  Xvfb -displayfd 3 -screen 0 "$geometry" -nolisten tcp -noreset 3>"$fifo" \
    >"$dir/xvfb.log" 2>&1 &
  SM_XVFB_PID=$!
  # The display number arrives on the pipe once the server accepts clients.
  if ! read -r -t 30 display <"$fifo"; then
    kill "$SM_XVFB_PID" 2>/dev/null
    cat "$dir/xvfb.log" >&2
    rm -rf "$dir"
    sm_die "Xvfb did not report a display within 30 s"
  fi
  rm -rf "$dir"
  export DISPLAY=":$display"
  # Not exported: a child script that calls sm_xvfb_stop must not stop this server.
  sm_log "Xvfb running on $DISPLAY (pid $SM_XVFB_PID)"
}

sm_xvfb_stop() {
  if [ -n "${SM_XVFB_PID:-}" ]; then
    kill "$SM_XVFB_PID" 2>/dev/null || true
    local i
    for i in $(seq 1 50); do
      kill -0 "$SM_XVFB_PID" 2>/dev/null || break
      sleep 0.1
    done
    kill -9 "$SM_XVFB_PID" 2>/dev/null || true
    wait "$SM_XVFB_PID" 2>/dev/null || true
    SM_XVFB_PID=""
  fi
}
