#!/usr/bin/env bash
# Fails unless every given Windows program is a GUI-subsystem program that imports only
# DLLs shipping with Windows (no libstdc++, libgcc or winpthread: they are linked statically).
# Usage: check-imports.sh PROGRAM.exe...
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

command -v "$MINGW_OBJDUMP" >/dev/null || sm_die "$MINGW_OBJDUMP is missing (run scripts/deps.sh)"

# DLLs present on every Windows 10/11 installation that the programs may use.
system_dlls=" advapi32.dll comctl32.dll comdlg32.dll crypt32.dll dwmapi.dll gdi32.dll gdiplus.dll
  imm32.dll kernel32.dll msimg32.dll msvcrt.dll ntdll.dll oleacc.dll ole32.dll oleaut32.dll
  rpcrt4.dll shell32.dll shlwapi.dll ucrtbase.dll user32.dll uxtheme.dll version.dll winmm.dll
  ws2_32.dll "
# One blank between names, so that a name at the end of a line above matches too.
system_dlls=" $(tr -s '[:space:]' ' ' <<<"$system_dlls")"

status=0
for exe in "$@"; do
  [ -f "$exe" ] || { sm_log "FAIL: $exe does not exist"; status=1; continue; }
  headers=$("$MINGW_OBJDUMP" -p "$exe")
  # A windowed program: no console opens beside it.
  if ! grep -qE '^Subsystem[[:space:]]+0+2[[:space:]]+\(Windows GUI\)' <<<"$headers"; then
    sm_log "FAIL: $(basename "$exe") is not a Windows GUI program: $(grep '^Subsystem' <<<"$headers")"
    status=1
  fi
  dlls=$(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$headers" | tr '[:upper:]' '[:lower:]' | tr -d '\r')
  bad=()
  for dll in $dlls; do
    case "$dll" in
      api-ms-win-*) continue ;;
    esac
    case "$system_dlls" in
      *" $dll "*) ;;
      *) bad+=("$dll") ;;
    esac
  done
  if [ "${#bad[@]}" -gt 0 ]; then
    sm_log "FAIL: $(basename "$exe") imports non-system DLLs: ${bad[*]}"
    status=1
  else
    sm_log "ok: $(basename "$exe") imports only Windows DLLs: $(echo "$dlls" | tr '\n' ' ')"
  fi
done
exit $status
