#!/usr/bin/env bash
# Measures and reports, in one table printed here and written into README.md
# between the benchmark markers:
#   - the launcher's own start-up cost under Wine: Varkel-64.exe started to
#     mainVK with a stand-in JVM, against trivial Windows programs, many
#     starts each taken in turn, medians;
#   - SINGLE_INSTANCE=1: a launch that hands over to a running instance,
#     against a normal launch, under Wine;
#   - how the portable code's time grows with input size (natively);
#   - the reading of the Java installers' registry keys with 100 installed
#     versions, natively and under Wine with the real registry;
#   - the sizes of the four deliverables;
#   - the installer's size and the time of a silent install and uninstall
#     under Wine.
# Builds what it needs first (dist/, the native benchmark program, the Windows
# timing programs). Build folder: build/ (BUILD_DIR to change it);
# BENCHMARK_STARTS sets the number of starts of each program (default 100).
# Figures, not assertions: nothing here fails on a slow result.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${BUILD_DIR:-build}
jobs=$(nproc)

scripts/install-deps.sh
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build "$build" -j"$jobs"
cmake --build "$build" -j"$jobs" --target scaling_benchmark
jdk_include=$(sed -n 's/^VARKEL_JDK_INCLUDE:PATH=//p' "$build/CMakeCache.txt")
cmake -S benchmarks/windows -B "$build/benchmarks-windows" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-x86_64.cmake" -DVARKEL_JDK_INCLUDE="$jdk_include" >/dev/null
cmake --build "$build/benchmarks-windows" -j"$jobs"

python3 benchmarks/report_benchmarks.py --build "$build" --dist dist \
  --starts "${BENCHMARK_STARTS:-100}" --readme README.md
