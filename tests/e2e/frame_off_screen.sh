#!/usr/bin/env bash
# A frame stored while a second monitor was attached (far right of the only screen here),
# or one whose title bar lies above the screen: the window opens at the default place and
# size, and the exit stores that frame. A frame that lies partly on the screen with its
# title bar there is kept.
# Usage: frame_off_screen.sh Soramitsu.exe TOOL_DIR
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
source "$(dirname "${BASH_SOURCE[0]}")/persistence.inc"
e2e_init "$1" "$2" frame_off_screen

# Starts with the stored frame LEFT TOP WIDTH HEIGHT; checks the window's frame, then closes.
start_with_frame() {
  local stored="$1" want="$2" got
  set -- $stored
  printf '[GAMEN]\r\nTOP=%s\r\nLEFT=%s\r\nWIDTH=%s\r\nHEIGHT=%s\r\n' "$2" "$1" "$3" "$4" \
    >"$E2E_APP_DIR/Soramitsu.ini"
  e2e_start_app
  e2e_wintool wait-window "$E2E_TITLE" 60000 >/dev/null || e2e_fail "no main window within 60 s"
  got=$(e2e_wintool window-rect "$E2E_TITLE" | tr -d '\r')
  [ "$got" = "$want" ] && e2e_note "ok: stored [$stored] opens at [$got]" ||
    e2e_soft_fail "stored [$stored]: the window is at [$got], expected [$want]"
  e2e_close_app 60
  got="$(p_ini_value LEFT) $(p_ini_value TOP) $(p_ini_value WIDTH) $(p_ini_value HEIGHT)"
  [ "$got" = "$want" ] || e2e_soft_fail "stored [$stored]: the exit wrote [$got], expected [$want]"
}

e2e_make_app_folder
# The screen is 1280 x 1024.
start_with_frame "2600 150 900 600" "200 200 1088 683"
start_with_frame "1000 -100 900 600" "200 200 1088 683"
start_with_frame "1000 100 900 600" "1000 100 900 600"
e2e_finish
