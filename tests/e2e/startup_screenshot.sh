#!/usr/bin/env bash
# Starting in an empty folder: the main window opens, the logo splash gives way to the
# history table, both panels and the table show their colours, and closing the window
# ends the program with the data and backup folders created beside the exe.
# The screenshot stays in BUILD/e2e/startup_screenshot/startup.png.
# Usage: startup_screenshot.sh Soramitsu.exe TOOL_DIR
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
e2e_init "$1" "$2" startup_screenshot

e2e_make_app_folder
e2e_start_app
e2e_wait_main_window 60000
e2e_client_origin

e2e_wait_history_table
# Let the rest of the window finish painting.
sleep 0.5
shot="$E2E_DIR/startup.png"
e2e_screenshot "$shot"

# Points chosen away from every icon, label and separator.
e2e_expect_client_pixel "$shot" 135 600 166 202 240 "navigation panel (sky blue)"
e2e_expect_client_pixel "$shot" 100 450 166 202 240 "navigation panel (sky blue)"
e2e_expect_client_pixel "$shot" 330 600 192 192 192 "view panel (silver)"
e2e_expect_client_pixel "$shot" 300 200 192 192 192 "view panel (silver)"
# The table's columns: 0 (10 px, empty) at 346, 1 (history text, 528 px), 2 (stamp, 150 px).
e2e_expect_client_pixel "$shot" 350 236 192 220 192 "header row, column 0 (money green)"
e2e_expect_client_pixel "$shot" 870 236 192 220 192 "header row, end of column 1 (money green)"
# An empty history still shows one empty data row; its first text cell is the current cell.
e2e_expect_client_pixel "$shot" 350 260 255 251 240 "first data row, column 0 (cream)"
e2e_expect_client_pixel "$shot" 700 260 255 0 255 "current cell, row 1 column 1 (magenta)"
e2e_expect_client_pixel "$shot" 960 260 255 251 240 "first data row, column 2 (cream)"
# Below the last row the table shows its white background.
e2e_expect_client_pixel "$shot" 350 284 255 255 255 "below the last row (white)"
e2e_expect_client_pixel "$shot" 700 284 255 255 255 "below the last row (white)"

e2e_close_app 60

for folder in Data Bkup1 Bkup2; do
  if [ -d "$E2E_APP_DIR/$folder" ]; then
    e2e_note "ok: folder $folder created beside the exe"
  else
    e2e_soft_fail "folder $folder missing beside the exe ($E2E_APP_DIR)"
  fi
done
# The working folder was another one: nothing may land there.
for folder in Data Bkup1 Bkup2; do
  [ -e "$E2E_DIR/$folder" ] && e2e_soft_fail "folder $folder created in the working folder instead"
done
e2e_finish
