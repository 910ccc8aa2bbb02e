#!/usr/bin/env bash
# The Wine session's start (tests/windows/tier/wine-session.sh) against
# stand-in Wine programs (fake_wine.sh): a kept prefix is made again only when
# it cannot run what this machine now can, and a sound one is left untouched.
# Each case: the prefix before (none, without the 32-bit system files, with
# them), whether the 32-bit loader runs now, the reason the tier was skipped
# (if any), what must happen to the prefix, and a line the start must print.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
session="$here/../windows/tier/wine-session.sh"
work=$(mktemp -d)
mkdir -p "$work/bin"
for tool in wine wine64 wineserver; do ln -s "$here/fake_wine.sh" "$work/bin/$tool"; done
export VARKEL_WINE64="$work/bin/wine64" VARKEL_WINE32="$work/bin/wine" VARKEL_WINESERVER="$work/bin/wineserver"
trap 'for d in "$work"/*/; do "$session" stop "$d" >/dev/null 2>&1; done; rm -rf "$work"' EXIT

# The prefix's files with their modification times: equal before and after
# means the start left the prefix as it was.
snapshot() { find "$1" -printf '%P %T@\n' 2>/dev/null | sort; }

failures=0
check() {  # name before loader-runs skipped-reason want want-line
  local name=$1 before=$2 runs=$3 skipped=$4 want=$5 want_line=$6
  local dir="$work/$name"
  mkdir -p "$dir"
  if [ "$before" != none ]; then
    FAKE_WINE32_RUNS=$([ "$before" = full ] && echo 1 || echo 0) WINEPREFIX="$dir/prefix" "$VARKEL_WINE64" wineboot -i
    touch -d '2026-01-01 00:00' "$dir/prefix" "$dir/prefix"/*
  fi
  local old; old=$(snapshot "$dir/prefix")
  local out status
  out=$(FAKE_WINE32_RUNS=$runs VARKEL_WINE32_UNAVAILABLE=$skipped "$session" start "$dir" 2>&1); status=$?
  "$session" stop "$dir" >/dev/null 2>&1
  local got=kept
  if [ "$old" != "$(snapshot "$dir/prefix")" ]; then got=remade; fi
  [ "$before" = none ] && got=made
  local wow=no; [ -f "$dir/prefix/drive_c/windows/syswow64/kernel32.dll" ] && wow=yes
  if [ "$status" != 0 ] || [ "$got" != "$want" ] || ! grep -qF -- "$want_line" <<<"$out" \
     || { [ "$got" != kept ] && [ "$wow" != "$([ "$runs" = 1 ] && [ -z "$skipped" ] && echo yes || echo no)" ]; }; then
    echo "FAIL $name: status $status, prefix $got (want $want), 32-bit files: $wow, output:"
    sed 's/^/    /' <<<"$out"
    failures=$((failures + 1))
  else
    echo "ok   $name"
  fi
}

check new-machine       none   1 ""           made   "creating the Wine prefix"
check wine32-arrived    hollow 1 ""           remade "making the Wine prefix in $work/wine32-arrived/prefix again: it has no 32-bit system files"
check no-wine32         hollow 0 ""           kept   "Wine session ready"
check wine32-skipped    hollow 1 "no i386 index" kept "Wine session ready"
check wine32-still-runs full   1 ""           kept   "Wine session ready"
check wine32-gone       full   0 ""           kept   "Wine session ready"
exit $((failures > 0))
