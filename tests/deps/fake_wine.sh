#!/usr/bin/env bash
# Stand-in for wine64, the 32-bit loader "wine" and wineserver (by the name it
# is called with), for the Wine session's prefix checks. Like the real Wine,
# `wineboot -i` makes a prefix whose syswow64 holds the 32-bit system files
# only when the 32-bit loader runs; $FAKE_WINE32_RUNS (1 or 0) says whether
# it does. As the real one, wineboot leaves a server running, and
# `wineserver -p` fails while a server runs (until `wineserver -k`).
set -u
running="$WINEPREFIX.server-running"
case "$(basename "$0")" in
  wine) [ "${FAKE_WINE32_RUNS:-0}" = 1 ] ;;
  wine64)
    if [ "${1:-}" = wineboot ]; then
      mkdir -p "$WINEPREFIX/drive_c/windows/syswow64" "$WINEPREFIX/drive_c/windows/system32"
      touch "$WINEPREFIX/system.reg" "$WINEPREFIX/drive_c/windows/system32/kernel32.dll"
      if [ "${FAKE_WINE32_RUNS:-0}" = 1 ]; then touch "$WINEPREFIX/drive_c/windows/syswow64/kernel32.dll"; fi
      touch "$running"
    fi ;;
  wineserver)
    case "${1:-}" in
      -k) rm -f "$running" ;;
      -p) [ ! -e "$running" ] ;;
    esac ;;
esac
