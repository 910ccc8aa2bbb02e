#!/usr/bin/env bash
# Builds the four deliverables into dist/ and runs the launcher's main job
# under Wine: Varkel-64.exe starts a Java program and reports its exit code.
# Installs what it needs first. Build folder: build/ (BUILD_DIR to change it).
#
# With VARKEL_WINDOWS_JAVA_HOME naming a Windows Java runtime (a Linux path to
# its home folder, e.g. an unpacked Windows JDK), the demo runs a real Java
# program with it; otherwise it runs the launcher against the test stand-in JVM.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${BUILD_DIR:-build}

scripts/install-deps.sh
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build "$build" -j"$(nproc)"
echo
echo "dist/:"
ls -l dist/
echo
scripts/demo.sh "$build"
