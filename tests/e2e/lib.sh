# shellcheck shell=bash
# End-to-end test library: runs the real Soramitsu.exe under Wine in a fresh folder and
# drives it with the Win32 helper tools (wintool.exe, clipformat.exe) and X tools.
# Source it, then call e2e_init. Every wait is bounded and every failure says what it
# waited for. Artefacts (screenshots, the program's output) stay in $E2E_DIR.
#
#   e2e_init EXE TOOL_DIR NAME   prepare $E2E_DIR (= BUILD/e2e/NAME) and a display
#   e2e_make_app_folder          copy EXE into $E2E_APP_DIR (= $E2E_DIR/app)
#   e2e_start_app                start $E2E_APP_DIR/Soramitsu.exe in the background
#   e2e_wait_main_window MS      wait for the visible main window "ソラミツ"
#   e2e_client_origin            set CLIENT_X CLIENT_Y CLIENT_W CLIENT_H (screen pixels)
#   e2e_screenshot FILE          save the whole screen as FILE (.png)
#   e2e_pixel FILE X Y           print "R G B" of a screen pixel of a screenshot
#   e2e_client_pixel FILE CX CY  the same for a client coordinate
#   e2e_expect_client_pixel FILE CX CY R G B WHAT
#   e2e_wait_client_pixel CX CY R G B SECONDS
#   e2e_wait_history_table       wait until the history table has replaced the splash
#   e2e_close_app SECONDS        WM_CLOSE, then wait for the process to end
#   e2e_wait_exit SECONDS        wait for the process to end by itself
#   e2e_wintool ARGS...          run wintool.exe (prints its output)
#   e2e_clip_set TEXT / e2e_clip_get
#   e2e_fail MESSAGE / e2e_pass MESSAGE / e2e_check CONDITION-COMMAND... MESSAGE

E2E_LIB_DIR="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
source "$E2E_LIB_DIR/../../scripts/common.sh"

E2E_TITLE="ソラミツ"
E2E_APP_PID=""
E2E_OWN_XVFB=0
E2E_CLIP_PIDS=()
E2E_FAILURES=0

e2e_note() { printf '[e2e %s] %s\n' "${E2E_NAME:-?}" "$*" >&2; }

e2e_fail() {
  printf '[e2e %s] FAIL: %s\n' "${E2E_NAME:-?}" "$*" >&2
  if [ -n "${E2E_DIR:-}" ] && [ -f "$E2E_DIR/app.log" ] && [ -s "$E2E_DIR/app.log" ]; then
    echo "--- program output ($E2E_DIR/app.log, last lines) ---" >&2
    tail -n 30 "$E2E_DIR/app.log" >&2
  fi
  exit 1
}

# A failed check is counted and reported, and the test goes on to show every mismatch.
e2e_soft_fail() { printf '[e2e %s] FAIL: %s\n' "${E2E_NAME:-?}" "$*" >&2; E2E_FAILURES=$((E2E_FAILURES + 1)); }

e2e_finish() {
  if [ "$E2E_FAILURES" -gt 0 ]; then e2e_fail "$E2E_FAILURES check(s) failed (artefacts in $E2E_DIR)"; fi
  e2e_note "passed (artefacts in $E2E_DIR)"
  exit 0
}

e2e_find_build() {
  local dir="$1"
  while [ "$dir" != "/" ]; do
    if [ -f "$dir/CMakeCache.txt" ]; then echo "$dir"; return 0; fi
    dir="$(dirname "$dir")"
  done
  return 1
}

e2e_init() {
  E2E_EXE="$(cd "$(dirname "$1")" && pwd)/$(basename "$1")"
  E2E_TOOLS="$(cd "$2" && pwd)"
  E2E_NAME="$3"
  [ -f "$E2E_EXE" ] || e2e_fail "program not found: $1"
  [ -f "$E2E_TOOLS/wintool.exe" ] || e2e_fail "wintool.exe not found in $E2E_TOOLS"
  E2E_BUILD="${SORAMITSU_BUILD_DIR:-$(e2e_find_build "$E2E_TOOLS" || true)}"
  [ -n "$E2E_BUILD" ] || e2e_fail "cannot tell the build folder of $E2E_TOOLS"
  E2E_BUILD="$(cd "$E2E_BUILD" && pwd)" || e2e_fail "no build folder $E2E_BUILD"
  export SORAMITSU_BUILD_DIR="$E2E_BUILD"
  E2E_DIR="$E2E_BUILD/e2e/$E2E_NAME"
  rm -rf "$E2E_DIR"
  mkdir -p "$E2E_DIR"
  E2E_APP_DIR="$E2E_DIR/app"
  trap e2e_cleanup EXIT
  trap 'exit 130' INT TERM

  bash "$SORAMITSU_ROOT/scripts/wine-prefix.sh" "$E2E_BUILD" || e2e_fail "the Wine prefix could not be made"
  for tool in import convert xclip; do
    command -v "$tool" >/dev/null || e2e_fail "$tool is missing (run scripts/deps.sh)"
  done
  if [ -z "${DISPLAY:-}" ]; then
    # A wineserver left from earlier runs belongs to another display: let it end first.
    sm_wine_wait "$E2E_BUILD" 15
    sm_xvfb_start
    E2E_OWN_XVFB=1
  fi
}

e2e_cleanup() {
  local rc=$?
  if [ -n "$E2E_APP_PID" ] && kill -0 "$E2E_APP_PID" 2>/dev/null; then
    e2e_note "the program is still running at the end; closing it"
    "$SORAMITSU_ROOT/scripts/wine-run.sh" "$E2E_TOOLS/wintool.exe" close "$E2E_TITLE" >/dev/null 2>&1 || true
    local i
    for i in $(seq 1 50); do
      kill -0 "$E2E_APP_PID" 2>/dev/null || break
      sleep 0.1
    done
    if kill -0 "$E2E_APP_PID" 2>/dev/null; then
      e2e_note "killing the program (pid $E2E_APP_PID)"
      kill -9 "$E2E_APP_PID" 2>/dev/null || true
    fi
  fi
  local pid
  for pid in "${E2E_CLIP_PIDS[@]}"; do kill "$pid" 2>/dev/null || true; done
  if [ "$E2E_OWN_XVFB" -eq 1 ]; then
    sm_wine_kill "$E2E_BUILD"
    sm_xvfb_stop
  fi
  exit $rc
}

# A fresh Wine process now and then fails before the tool runs ("failed to map the shared
# user data"); the tool did nothing then, so it is started again, three tries in all.
e2e_wintool() {
  local errors rc try
  errors=$(mktemp)
  for try in 1 2 3; do
    "$SORAMITSU_ROOT/scripts/wine-run.sh" "$E2E_TOOLS/wintool.exe" "$@" 2>"$errors"
    rc=$?
    cat "$errors" >>"$E2E_DIR/wintool.log"
    grep -q 'failed to map the shared user data' "$errors" || break
  done
  rm -f "$errors"
  return $rc
}

# One record of the history file: its header line with the stamp and the two inverted keys,
# then each text line, all with CR LF (UTF-8 here; callers convert to code page 932).
e2e_history_record() {
  local stamp="$1" day time line
  shift
  day=$(echo "$stamp" | cut -c1-10 | tr -d '/')
  time=$(echo "$stamp" | cut -c12-19 | tr -d ':')
  printf '\\\\内容\\\\=%s %d%d\r\n' "$stamp" $((99999999 - 10#$day)) $((999999 - 10#$time))
  for line in "$@"; do printf '%s\r\n' "$line"; done
}

e2e_make_app_folder() {
  mkdir -p "$E2E_APP_DIR"
  cp -f "$E2E_EXE" "$E2E_APP_DIR/Soramitsu.exe"
}

e2e_start_app() {
  [ -f "$E2E_APP_DIR/Soramitsu.exe" ] || e2e_make_app_folder
  # Started from another folder: the program must find its data beside itself.
  (cd "$E2E_DIR" && exec "$SORAMITSU_ROOT/scripts/wine-run.sh" "$E2E_APP_DIR/Soramitsu.exe") \
    >>"$E2E_DIR/app.log" 2>&1 &
  E2E_APP_PID=$!
  e2e_note "started Soramitsu.exe (pid $E2E_APP_PID) in $E2E_APP_DIR"
}

e2e_app_running() { [ -n "$E2E_APP_PID" ] && kill -0 "$E2E_APP_PID" 2>/dev/null; }

e2e_wait_main_window() {
  local ms="${1:-30000}"
  e2e_wintool wait-window "$E2E_TITLE" "$ms" >/dev/null && return 0
  e2e_app_running || e2e_fail "the program ended before its window appeared"
  e2e_fail "no visible window \"$E2E_TITLE\" within $ms ms"
}

e2e_client_origin() {
  local out
  out=$(e2e_wintool client-origin "$E2E_TITLE") || e2e_fail "cannot read the client area of \"$E2E_TITLE\""
  read -r CLIENT_X CLIENT_Y CLIENT_W CLIENT_H <<<"$(echo "$out" | tr -d '\r')"
  e2e_note "client area at $CLIENT_X,$CLIENT_Y size ${CLIENT_W}x$CLIENT_H"
}

# ImageMagick's import reads what Xvfb really shows; xwd -root paints a window that lies
# wholly inside another one (a dialog or message box over the main window) black.
e2e_screenshot() {
  local file="$1"
  import -window root "$file" || e2e_fail "import could not read the screen $DISPLAY into $file"
}

# Prints "R G B" of pixel X,Y of an image.
e2e_pixel() {
  local line
  line=$(convert "$1" -crop "1x1+$2+$3" +repage -depth 8 txt:- 2>/dev/null | tail -n 1)
  # e.g. "0,0: (166,202,240)  #A6CAF0  srgb(166,202,240)"
  echo "$line" | sed -n 's/^[^(]*(\([0-9]*\),\([0-9]*\),\([0-9]*\).*/\1 \2 \3/p'
}

e2e_client_pixel() { e2e_pixel "$1" $((CLIENT_X + $2)) $((CLIENT_Y + $3)); }

e2e_expect_client_pixel() {
  local file="$1" cx="$2" cy="$3" want="$4 $5 $6" what="$7" got
  got=$(e2e_client_pixel "$file" "$cx" "$cy")
  if [ "$got" = "$want" ]; then
    e2e_note "ok: $what at client ($cx,$cy) is RGB($want)"
  else
    e2e_soft_fail "$what at client ($cx,$cy): expected RGB($want), got RGB(${got:-none}) in $file"
  fi
}

e2e_wait_client_pixel() {
  local cx="$1" cy="$2" want="$3 $4 $5" seconds="$6" got="" shot="$E2E_DIR/.poll.png"
  local deadline=$((SECONDS + seconds))
  while :; do
    e2e_screenshot "$shot"
    got=$(e2e_client_pixel "$shot" "$cx" "$cy")
    rm -f "$shot"
    [ "$got" = "$want" ] && return 0
    [ "$SECONDS" -ge "$deadline" ] && break
    e2e_app_running || break
    sleep 0.2
  done
  e2e_note "client ($cx,$cy) is RGB(${got:-none}), not RGB($want), after ${seconds}s"
  return 1
}

# The table replaces the splash two seconds after the window is shown; the header row's
# colour tells that it is there. Needs e2e_client_origin first.
e2e_wait_history_table() {
  e2e_wait_client_pixel 870 236 192 220 192 20 ||
    { e2e_screenshot "$E2E_DIR/no-table.png"; e2e_fail "the history table did not appear (see no-table.png)"; }
}

e2e_wait_exit() {
  local seconds="$1" deadline=$((SECONDS + $1))
  while e2e_app_running; do
    [ "$SECONDS" -ge "$deadline" ] && return 1
    sleep 0.1
  done
  wait "$E2E_APP_PID" 2>/dev/null
  E2E_APP_EXIT=$?
  E2E_APP_PID=""
  return 0
}

e2e_close_app() {
  local seconds="${1:-30}"
  e2e_wintool close "$E2E_TITLE" >/dev/null || e2e_fail "could not post WM_CLOSE to \"$E2E_TITLE\""
  e2e_wait_exit "$seconds" || e2e_fail "the program did not end within ${seconds}s of WM_CLOSE"
  e2e_note "the program ended (exit code $E2E_APP_EXIT)"
}

e2e_clip_set() {
  printf '%s' "$1" | xclip -selection clipboard -i -quiet >/dev/null 2>&1 &
  E2E_CLIP_PIDS+=($!)
}

e2e_clip_get() { xclip -o -selection clipboard -t UTF8_STRING 2>/dev/null; }
