#!/usr/bin/env bash
# Installs the Debian packages the build, run and test scripts need, when missing,
# and generates the ja_JP.UTF-8 locale that the Windows tests run under.
# Quick and silent when everything is already present.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

PACKAGES=(
  cmake g++ ninja-build pkg-config
  clang libclang-rt-14-dev
  libgtest-dev googletest libgmock-dev libbenchmark-dev
  g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64
  wine64 xvfb xclip xdotool x11-apps imagemagick
  fonts-ipafont-gothic fonts-wine locales
  pandoc weasyprint poppler-utils zip unzip
)

as_root() {
  if [ "$(id -u)" -eq 0 ]; then
    "$@"
  elif command -v sudo >/dev/null; then
    sudo "$@"
  else
    sm_die "need root rights for: $* (install sudo or run as root)"
  fi
}

missing=()
for pkg in "${PACKAGES[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null || true)
  case "$status" in
    *"install ok installed"*) ;;
    *) missing+=("$pkg") ;;
  esac
done

if [ "${#missing[@]}" -gt 0 ]; then
  sm_log "installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  # The package lists of a fresh machine may be empty or stale: refresh them once.
  # Recommended packages stay in: Wine's X11 driver loads libxrender, libxrandr and the
  # like only when present, and the tests are checked with them.
  as_root apt-get update -q </dev/null
  as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -q \
    "${missing[@]}" </dev/null
fi

# Code page 932 under Wine needs the ja_JP.UTF-8 locale on the Linux side.
if ! locale -a 2>/dev/null | grep -qiE '^ja_JP\.utf-?8$'; then
  sm_log "generating the ja_JP.UTF-8 locale"
  as_root localedef -i ja_JP -f UTF-8 ja_JP.UTF-8
  locale -a 2>/dev/null | grep -qiE '^ja_JP\.utf-?8$' || sm_die "ja_JP.UTF-8 could not be generated"
fi

[ -x "$WINE64" ] || sm_die "$WINE64 is missing although wine64 is installed"
command -v x86_64-w64-mingw32-g++-posix >/dev/null || sm_die "x86_64-w64-mingw32-g++-posix is missing"
exit 0
