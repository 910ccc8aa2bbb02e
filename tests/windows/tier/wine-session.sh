#!/usr/bin/env bash
# One Wine session for the Windows-tier tests: a prefix made once and kept in
# the build folder, an Xvfb display (message boxes are real windows only with
# a display) and a persistent wineserver, so each test program starts warm.
#
#   wine-session.sh start DIR         make the prefix if needed, start Xvfb and wineserver
#   wine-session.sh stop DIR          stop them
#   wine-session.sh run64 DIR PROG... run a 64-bit Windows program in the session
#   wine-session.sh run32 DIR PROG... run a 32-bit one (skips, exit 77, where
#                                      the 32-bit loader cannot run here)
#   wine-session.sh list64 DIR PROG... run a 64-bit console program in the
#                                      session's prefix without a display (the
#                                      build lists the test programs' cases
#                                      so), making the prefix if needed
#
# A kept prefix is made again when it cannot run what this machine now can:
# one made while no 32-bit Wine was installed has no 32-bit system files, and
# once the 32-bit loader runs, every 32-bit program in it fails to load
# kernel32.dll (wineboot -u does not add them). A prefix with those files
# stays as it is where the 32-bit loader no longer runs: 64-bit programs do
# not need them. VARKEL_WINE64, VARKEL_WINE32 and VARKEL_WINESERVER name other
# Wine programs (the session's own test uses stand-ins).
set -uo pipefail
cmd=${1:?command}; dir=${2:?session directory}; shift 2
mkdir -p "$dir"
# winemenubuilder.exe is off: a shortcut that a test makes (the installer's)
# must not become a menu entry on the Linux desktop.
export WINEPREFIX="$dir/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
WINE64=${VARKEL_WINE64:-/usr/lib/wine/wine64}
WINE32=${VARKEL_WINE32:-/usr/lib/wine/wine}
WINESERVER=${VARKEL_WINESERVER:-/usr/lib/wine/wineserver64}
[ -x "$WINESERVER" ] || WINESERVER=wineserver

wine32_runs() {
  [ -z "${VARKEL_WINE32_UNAVAILABLE:-}" ] && "$WINE32" --version >/dev/null 2>&1
}

# Prints why the kept prefix has to be made (again); prints nothing for a
# prefix that is fine as it is.
prefix_fault() {
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "none yet"
  elif [ ! -f "$WINEPREFIX/drive_c/windows/syswow64/kernel32.dll" ] && wine32_runs; then
    echo "it has no 32-bit system files, which the 32-bit Wine loader that now runs here needs"
  fi
}

start_display() {
  local n
  for n in $(seq 71 119); do
    if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then
      Xvfb ":$n" -screen 0 1280x1024x24 -s 0 -nolisten tcp >"$dir/xvfb.log" 2>&1 &
      echo $! >"$dir/xvfb.pid"
      for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
      echo ":$n" >"$dir/display"
      return 0
    fi
  done
  echo "no free X display number" >&2
  return 1
}

case "$cmd" in
  start)
    "$0" stop "$dir" >/dev/null 2>&1
    start_display || exit 1
    export DISPLAY=$(cat "$dir/display")
    fault=$(prefix_fault)
    if [ "$fault" = "none yet" ]; then
      echo "creating the Wine prefix in $WINEPREFIX (once per build folder)"
    elif [ -n "$fault" ]; then
      echo "making the Wine prefix in $WINEPREFIX again: $fault"
      rm -rf "$WINEPREFIX"
    fi
    if [ -n "$fault" ]; then
      "$WINE64" wineboot -i >"$dir/wineboot.log" 2>&1 || { cat "$dir/wineboot.log"; exit 1; }
      # wineboot leaves a server behind that ends with its last client, and
      # while it runs a persistent one cannot start: each test program would
      # then start a server of its own, whose helper processes hold the
      # test's output open until CTest's time-out.
      "$WINESERVER" -k >/dev/null 2>&1 || true
      "$WINESERVER" -w >/dev/null 2>&1 || true
    fi
    # Its output must not hold CTest's pipe open, or this step never ends.
    if ! "$WINESERVER" -p >/dev/null 2>&1 </dev/null; then
      echo "cannot start a persistent wineserver for $WINEPREFIX (is another one running for it?)"
      exit 1
    fi
    "$WINE64" cmd /c exit 0 >/dev/null 2>&1
    echo "Wine session ready on display $DISPLAY"
    ;;
  stop)
    "$WINESERVER" -k >/dev/null 2>&1 || true
    if [ -f "$dir/xvfb.pid" ]; then kill "$(cat "$dir/xvfb.pid")" 2>/dev/null || true; rm -f "$dir/xvfb.pid"; fi
    exit 0
    ;;
  run64|run32)
    [ -f "$dir/display" ] || { echo "no Wine session: run 'wine-session.sh start $dir' (CTest does it)" >&2; exit 1; }
    export DISPLAY=$(cat "$dir/display")
    prog=$1; shift
    [ -f "$prog" ] || { echo "test program missing: $prog" >&2; exit 1; }
    if [ "$cmd" = run32 ]; then
      if [ -n "${VARKEL_WINE32_UNAVAILABLE:-}" ]; then
        echo "SKIPPED: the 32-bit tier cannot run on this machine: $VARKEL_WINE32_UNAVAILABLE"
        exit 77
      fi
      if ! "$WINE32" --version >/dev/null 2>&1; then
        echo "SKIPPED: the 32-bit Wine loader cannot run on this machine (install wine32:i386 and qemu-user-static and register qemu-i386 with binfmt_misc: scripts/enable-wine32.sh)"
        exit 77
      fi
      exec "$WINE32" "$prog" "$@"
    fi
    exec "$WINE64" "$prog" "$@"
    ;;
  list64)
    # The prefix is made as the session makes it (with its display), so the
    # tests find the same prefix whichever made it.
    if [ -n "$(prefix_fault)" ]; then
      "$0" start "$dir" >&2 || exit 1
      "$0" stop "$dir"
    fi
    unset DISPLAY
    exec "$WINE64" "$@" </dev/null
    ;;
  *) echo "unknown command $cmd" >&2; exit 2 ;;
esac
