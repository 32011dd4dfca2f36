#!/usr/bin/env bash
# Takes the screenshots of the user manual: the real programs under Wine, on a private
# Xvfb display, with made-up data, in one Wine session. Every picture is cropped to the
# window or message box it shows.
# Usage: manual-screenshots.sh BUILD_WIN_DIR OUT_DIR
#   BUILD_WIN_DIR holds Soramitsu.exe, SoramitsuShortcut.exe and tests/wintool.exe.
# Pictures written to OUT_DIR: main.png search.png editor.png view-category.png
# view-recent.png view-frequent.png backup-info.png version.png installer.png
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

[ $# -eq 2 ] || sm_die "usage: manual-screenshots.sh BUILD_WIN_DIR OUT_DIR"
win="$(cd "$1" && pwd)" || sm_die "no build folder $1"
out="$2"
mkdir -p "$out"
out="$(cd "$out" && pwd)"
for f in Soramitsu.exe SoramitsuShortcut.exe tests/wintool.exe; do
  [ -f "$win/$f" ] || sm_die "$win/$f is missing (build it first)"
done

# The screenshots have a Wine prefix of their own: its windows are drawn with their frame
# and title bar, as on Windows, which the tests' prefix leaves to a window manager.
shots_build="$win/manual-shots"
# Always a private display: nothing may open on the user's screen, and no window manager
# may frame the windows its own way.
unset DISPLAY
mkdir -p "$shots_build"
export SORAMITSU_BUILD_DIR="$shots_build"
source "$SORAMITSU_ROOT/tests/e2e/lib.sh"
e2e_init "$win/Soramitsu.exe" "$win/tests" manual

# Frames and title bars drawn by Wine itself (no window manager runs on Xvfb); the caption
# buttons need the Marlett font, which Debian ships in fonts-wine.
prefix="$(sm_wine_prefix "$shots_build")"
if [ ! -f "$prefix/.soramitsu-decorated" ]; then
  cp -f /usr/share/wine/fonts/marlett.ttf "$prefix/drive_c/windows/Fonts/" 2>/dev/null ||
    sm_log "warning: no marlett.ttf in /usr/share/wine/fonts (package fonts-wine)"
  (
    sm_wine_env "$shots_build"
    for value in Managed Decorated; do
      timeout 120 "$WINE64" reg add 'HKCU\Software\Wine\X11 Driver' /v "$value" /t REG_SZ /d N /f \
        >/dev/null 2>&1 || exit 1
    done
  ) || e2e_fail "could not set the window frames of the screenshot prefix"
  sm_wine_wait "$shots_build" 60
  touch "$prefix/.soramitsu-decorated"
fi

# --- made-up data ----------------------------------------------------------------------
# Installed as a user would, in a folder of its own at the top of drive C:, so that the
# messages show a plain path. Its name is short: Wine makes message boxes narrower than
# Windows does, and the lines of the backup information with C:\Soramitsu\Bkup1\ would
# break inside a word.
E2E_APP_DIR="$prefix/drive_c/ソラミツ"
rm -rf "$E2E_APP_DIR"
app="$E2E_APP_DIR"
mkdir -p "$app/Data"
cp -f "$win/Soramitsu.exe" "$app/Soramitsu.exe"
cp -f "$win/SoramitsuShortcut.exe" "$app/SoramitsuShortcut.exe"

day() { date -d "-$1 days" +%Y/%m/%d; }
key_day() { date -d "-$1 days" +%Y%m%d; }

# One history record: days ago, time hh:nn:ss, text (may hold line breaks).
record() {
  local stamp ymd hms
  stamp="$(day "$1") $2"
  ymd=$(date -d "-$1 days" +%Y%m%d)
  hms=$(tr -d ':' <<<"$2")
  printf '\\\\内容\\\\=%s %d%06d\r\n' "$stamp" $((99999999 - 10#$ymd)) $((999999 - 10#$hms))
  printf '%s' "$3" | sed 's/$/\r/'
  printf '\n'
}
{
  record 0 "10:42:15" "明日の定例会議は 10 時から第 2 会議室で行います。"
  record 0 "10:31:02" "https://www.example.com/oshirase/"
  record 0 "09:58:47" "見積書をお送りいたしますので、ご確認のほどよろしくお願いいたします。"
  record 0 "09:15:30" "会議資料_第3版.xlsx"
  record 1 "17:20:11" "〒000-0000 東京都見本区例町 1-2-3 サンプルビル 5 階"
  record 1 "15:04:56" "買い物メモ：牛乳、卵、食パン、コーヒー豆"
  record 1 "11:47:39" "会議室の予約は前日の 17 時までにお願いします。"
  record 2 "16:33:08" "ありがとうございました。引き続きよろしくお願いいたします。"
  record 3 "14:12:44" "https://example.jp/manual/start.html"
  record 5 "10:05:21" "Meeting notes: review the draft by Friday."
  record 8 "13:26:50" "電話番号 000-0000-0000（代表）"
  record 12 "09:40:03" "来週の出張の新幹線は 8 時 30 分発です。"
} | iconv -f UTF-8 -t CP932 >"$app/Data/Log.dat" || e2e_fail "cannot write the history file"

# Saved entries: index lines "category,title,created key,use count" and one content file each.
entry() {
  local category="$1" title="$2" key="$(key_day "$3") $4" count="$5" text="$6"
  printf '%s,%s,%s,%s\r\n' "$category" "$title" "$key" "$count" >>"$app/Data/hozon.utf8"
  printf '%s' "$text" | sed 's/$/\r/' | head -c -1 | iconv -f UTF-8 -t CP932 >"$app/Data/h$key.dat" ||
    e2e_fail "cannot write a content file"
}
rm -f "$app/Data/hozon.utf8"
entry "あいさつ" "お礼のメール" 20 "091500" 00012 "先日はお忙しいところありがとうございました。
今後ともよろしくお願いいたします。"
entry "あいさつ" "年末のごあいさつ" 6 "101000" 00003 "本年も大変お世話になりました。
来年もどうぞよろしくお願いいたします。"
entry "仕事" "会議室の予約手順" 25 "140000" 00007 "1. 予約表を開く
2. 空いている時間を選ぶ
3. 名前と人数を書く"
entry "仕事" "定例会議の案内文" 4 "083000" 00021 "定例会議を次のとおり行います。
日時：毎週月曜日 10 時から
場所：第 2 会議室"
entry "住所" "会社の所在地" 30 "120000" 00005 "〒000-0000 東京都見本区例町 1-2-3 サンプルビル 5 階"
iconv -f UTF-8 -t CP932 "$app/Data/hozon.utf8" >"$app/Data/hozon.dat" || e2e_fail "cannot write hozon.dat"
rm -f "$app/Data/hozon.utf8"

# The window at the screen's top left (the default place would reach past 1280 pixels), the
# option off, and two backups made at the last two exits.
printf '[GAMEN]\r\nTOP=24\r\nLEFT=24\r\nWIDTH=1088\r\nHEIGHT=683\r\n[BKUP]\r\nFLG=1\r\nDATE1=%s 18:02:11\r\nDATE2=%s 17:45:36\r\n[SET]\r\nCHECKVIEW=0\r\n' \
  "$(day 1)" "$(day 2)" >"$app/Soramitsu.ini"

# --- helpers -----------------------------------------------------------------------------
# Crops a screenshot to LEFT TOP WIDTH HEIGHT and stores it as OUT_DIR/NAME.
crop() {
  local shot="$1" name="$2" x y w h
  read -r x y w h <<<"$(tr -d '\r' <<<"$3")"
  [ -n "${h:-}" ] || e2e_fail "no frame for $name"
  convert "$shot" -crop "${w}x${h}+${x}+${y}" +repage "$out/$name" || e2e_fail "cannot crop $name"
  e2e_note "took $name (${w}x$h)"
}

# Waits (bounded) until the screen has changed from BEFORE and then holds still, so that a
# click has been handled and painted; leaves the last picture in $E2E_DIR/settled.png.
settle() {
  local before="$1" what="$2" deadline=$((SECONDS + 20)) last="" now changed=0
  while :; do
    e2e_screenshot "$E2E_DIR/now.png"
    now=$(convert "$E2E_DIR/now.png" -depth 8 rgb:- | md5sum | cut -d' ' -f1)
    if [ "$now" != "$before" ]; then changed=1; fi
    if [ "$changed" -eq 1 ] && [ "$now" = "$last" ]; then
      mv -f "$E2E_DIR/now.png" "$E2E_DIR/settled.png"
      return 0
    fi
    last="$now"
    [ "$SECONDS" -ge "$deadline" ] && e2e_fail "the screen did not change and settle after: $what"
    sleep 0.3
  done
}
screen_sum() {
  e2e_screenshot "$E2E_DIR/now.png"
  convert "$E2E_DIR/now.png" -depth 8 rgb:- | md5sum | cut -d' ' -f1
}

frame_of() { e2e_wintool window-rect "$1"; }

# Makes the message box active, as it is on the user's screen: under Xvfb a box whose
# program has no active window (the installer's) opens inactive.
activate_box() {
  e2e_wintool activate-box >/dev/null || e2e_fail "cannot activate the message box"
  settle "" "activating the message box"
}

# Menu command ids, in menu order from 1000.
MENU_VERSION=1004
MENU_BACKUP_INFO=1005

# --- the main window ---------------------------------------------------------------------
e2e_start_app
e2e_wait_main_window 60000
e2e_client_origin
e2e_wait_client_pixel 700 230 192 220 192 20 || e2e_fail "the history table did not appear"
before=$(screen_sum)
# A row chosen: its text on the board, the current cell highlighted.
e2e_wintool click "$E2E_TITLE" 600 284 >/dev/null || e2e_fail "cannot click the second history row"
settle "$before" "choosing a history row"
crop "$E2E_DIR/settled.png" main.png "$(frame_of "$E2E_TITLE")"

# --- a search ------------------------------------------------------------------------------
e2e_wintool set-text "$E2E_TITLE" 600 204 "会議" >/dev/null || e2e_fail "cannot type the search text"
before=$(screen_sum)
e2e_wintool click "$E2E_TITLE" 940 202 >/dev/null || e2e_fail "cannot click the search button"
settle "$before" "the search"
# Only what the search shows: the search bar (from 184 in the client area) and the rows
# found (the header and three rows end at 224 + 4 * 24). The whole window is in main.png,
# and the smaller picture keeps the search chapter on one page.
crop "$E2E_DIR/settled.png" search.png "$((CLIENT_X + 340)) $((CLIENT_Y + 180)) $((CLIENT_W - 340)) 150"

# --- the entry editor, new entry -------------------------------------------------------------
e2e_clip_set "定例会議を次のとおり行います。
日時：毎週月曜日 10 時から
場所：第 2 会議室"
e2e_wintool click "$E2E_TITLE" 34 324 >/dev/null || e2e_fail "cannot click the save button"
EDITOR="タイトルを付けて保存"
e2e_wintool wait-window "$EDITOR" 20000 >/dev/null || e2e_fail "the entry editor did not open"
e2e_wintool set-text "$EDITOR" 250 93 "仕事" >/dev/null || e2e_fail "cannot type the category"
before=$(screen_sum)
e2e_wintool set-text "$EDITOR" 400 149 "定例会議の案内文" >/dev/null || e2e_fail "cannot type the title"
settle "$before" "typing into the editor"
crop "$E2E_DIR/settled.png" editor.png "$(frame_of "$EDITOR")"
e2e_wintool close "$EDITOR" >/dev/null || e2e_fail "cannot close the editor"
e2e_wintool wait-gone "$EDITOR" 20000 >/dev/null || e2e_fail "the editor did not close"

# --- the three saved-entry views -------------------------------------------------------------
view_shot() {
  local x="$1" y="$2" name="$3" before
  before=$(screen_sum)
  e2e_wintool click "$E2E_TITLE" "$x" "$y" >/dev/null || e2e_fail "cannot click for $name"
  settle "$before" "$name"
  crop "$E2E_DIR/settled.png" "$name" "$(frame_of "$E2E_TITLE")"
}
# The first switch after start-up opens nothing (the current cell does not move), so the
# category view is shown after choosing the category 仕事 in its list: the entry it lands
# on is opened, and the board shows the text of the highlighted row, as the manual says.
before=$(screen_sum)
e2e_wintool click "$E2E_TITLE" 33 138 >/dev/null || e2e_fail "cannot switch to the category view"
settle "$before" "switching to the category view"
view_shot 230 103 view-category.png
view_shot 33 189 view-recent.png
view_shot 31 243 view-frequent.png

# --- the backup information and the version dialog -------------------------------------------
e2e_wintool menu "$E2E_TITLE" "$MENU_BACKUP_INFO" >/dev/null || e2e_fail "cannot choose バックアップ情報"
e2e_wintool wait-box 20000 >/dev/null || e2e_fail "no backup information box"
settle "" "the backup information box"
activate_box
crop "$E2E_DIR/settled.png" backup-info.png "$(e2e_wintool box-rect)"
e2e_wintool press-ok >/dev/null || e2e_fail "cannot close the backup information box"

VERSION_DIALOG="バージョン情報"
e2e_wintool menu "$E2E_TITLE" "$MENU_VERSION" >/dev/null || e2e_fail "cannot choose バージョン情報"
e2e_wintool wait-window "$VERSION_DIALOG" 20000 >/dev/null || e2e_fail "the version dialog did not open"
settle "" "the version dialog"
crop "$E2E_DIR/settled.png" version.png "$(frame_of "$VERSION_DIALOG")"
e2e_wintool close "$VERSION_DIALOG" >/dev/null || e2e_fail "cannot close the version dialog"
e2e_wintool wait-gone "$VERSION_DIALOG" 20000 >/dev/null || e2e_fail "the version dialog did not close"
e2e_close_app 60

# --- the installer ---------------------------------------------------------------------------
(cd "$E2E_DIR" && exec "$SORAMITSU_ROOT/scripts/wine-run.sh" "$app/SoramitsuShortcut.exe") \
  >>"$E2E_DIR/app.log" 2>&1 &
E2E_APP_PID=$!
e2e_wintool wait-box 60000 >/dev/null || e2e_fail "the installer showed no message"
settle "" "the installer's message"
activate_box
crop "$E2E_DIR/settled.png" installer.png "$(e2e_wintool box-rect)"
e2e_wintool press-ok >/dev/null || e2e_fail "cannot close the installer's message"
e2e_wait_exit 30 || e2e_fail "the installer did not end"

e2e_note "screenshots in $out"
exit 0
