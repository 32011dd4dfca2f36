#!/usr/bin/env bash
# Builds Soramitsu.exe and starts it under Wine, with the manual soramitsu.pdf beside it
# (built by scripts/manual.sh when missing). With a display (DISPLAY set) the program
# runs there until it is closed. Without one, it runs on a private Xvfb display: the script
# waits for the main window, saves a screenshot as build-win/screenshot.png and closes it.
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

win="$SORAMITSU_ROOT/build-win"
bash "$SORAMITSU_ROOT/scripts/deps.sh" || sm_die "installing the packages failed"
bash "$SORAMITSU_ROOT/scripts/build.sh" win Soramitsu SoramitsuShortcut wintool || exit 1
bash "$SORAMITSU_ROOT/scripts/wine-prefix.sh" "$win" || exit 1
export SORAMITSU_BUILD_DIR="$win"

# The program keeps its data beside itself: run a copy in its own folder, so that the
# history and saved entries live in build-win/app and survive rebuilds.
app="$win/app"
mkdir -p "$app"
cp -f "$win/Soramitsu.exe" "$app/Soramitsu.exe"
# Help -> manual opens the file beside the program; under Wine without a PDF viewer the
# program says that it could not open it.
if [ ! -f "$win/manual/soramitsu.pdf" ]; then
  bash "$SORAMITSU_ROOT/scripts/manual.sh" "$win" || sm_die "building the manual failed"
fi
cp -f "$win/manual/soramitsu.pdf" "$app/soramitsu.pdf"

if [ -n "${DISPLAY:-}" ]; then
  sm_log "starting $app/Soramitsu.exe on $DISPLAY"
  "$SORAMITSU_ROOT/scripts/wine-run.sh" "$app/Soramitsu.exe"
  rc=$?
  sm_wine_wait "$win" 30
  exit $rc
fi

# No display: show it on Xvfb and keep a picture of it.
source "$SORAMITSU_ROOT/tests/e2e/lib.sh"
e2e_init "$app/Soramitsu.exe" "$win/tests" run
E2E_APP_DIR="$app"
e2e_start_app
e2e_wait_main_window 60000
e2e_client_origin
# The tables appear when the two-second logo splash ends; take the picture after that.
if ! e2e_wait_client_pixel 700 230 192 220 192 15; then
  sm_log "the history table did not appear within 15 s; taking the screenshot anyway"
fi
shot="$win/screenshot.png"
e2e_screenshot "$E2E_DIR/screen.png"
# Keep the window's frame only.
frame=$(e2e_wintool window-rect "$E2E_TITLE" | tr -d '\r')
read -r fx fy fw fh <<<"$frame"
if [ -n "${fh:-}" ] && convert "$E2E_DIR/screen.png" -crop "${fw}x${fh}+${fx}+${fy}" +repage "$shot"; then
  :
else
  cp -f "$E2E_DIR/screen.png" "$shot"
fi
e2e_close_app 30
echo "Screenshot of the main window saved to $shot"
