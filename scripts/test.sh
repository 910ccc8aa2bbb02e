#!/usr/bin/env bash
# Runs every test of the project and ends with CTest's summary line:
#   1. native unit tests of the portable code (both launcher bitnesses),
#   2. the JVM hosting tests against the real OpenJDK JVM,
#   3. the Windows tier: the real binaries under 64-bit Wine on an Xvfb display,
#   4. the 32-bit tier under the 32-bit Wine loader (skips itself with a
#      message where this machine cannot run it),
#   5. the quality gates (cmake/Quality.cmake): the native tests under
#      AddressSanitizer and UndefinedBehaviorSanitizer, a few seconds of each
#      fuzz target, clang-tidy and cppcheck, checks of the four binaries.
# Installs what it needs first. Build folder: build/ (BUILD_DIR to change it).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${BUILD_DIR:-build}
jobs=$(nproc)

# The 32-bit tier is optional: when its packages cannot be installed or its
# loader cannot run, its tests skip themselves and say why (the first line
# that install-deps.sh or enable-wine32.sh gave).
deps_log=$(mktemp); trap 'rm -f "$deps_log"' EXIT
VARKEL_WITH_WINE32=${VARKEL_WITH_WINE32:-1} scripts/install-deps.sh 2>&1 | tee "$deps_log"
wine32_reason=$(sed -n 's/^install-deps: 32-bit tier unavailable: //p' "$deps_log" | head -n1)
if [ -z "$wine32_reason" ] && ! enable_log=$(scripts/enable-wine32.sh 2>&1); then
  wine32_reason=$(head -n1 <<<"${enable_log#enable-wine32: }")
fi
[ -z "${enable_log:-}" ] || echo "$enable_log"
if [ -n "$wine32_reason" ]; then
  echo "test: the 32-bit tier will be skipped: $wine32_reason"
  export VARKEL_WINE32_UNAVAILABLE="$wine32_reason"
fi

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build "$build" -j"$jobs"
ctest --test-dir "$build" -j"$jobs" --output-on-failure --timeout 900
