#!/usr/bin/env bash
# Configures and builds the sanitized native build of this tree:
#   build-sanitized.sh SOURCE_DIR BUILD_DIR CLANG CLANGXX
# The native tests and the fuzz targets, compiled by clang under
# AddressSanitizer and UndefinedBehaviorSanitizer (VARKEL_SANITIZE), without
# the Windows builds (VARKEL_NATIVE_ONLY). Its compile database also feeds
# clang-tidy.
set -euo pipefail
src=${1:?source dir}; dir=${2:?build dir}; cc=${3:?clang}; cxx=${4:?clang++}
mkdir -p "$dir"
cmake -S "$src" -B "$dir" -G Ninja \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_COMPILER="$cc" -DCMAKE_CXX_COMPILER="$cxx" \
  -DVARKEL_NATIVE_ONLY=ON -DVARKEL_SANITIZE=ON \
  -DCMAKE_EXPORT_COMPILE_COMMANDS=ON >"$dir/configure.log" 2>&1 \
  || { cat "$dir/configure.log"; exit 1; }
cmake --build "$dir" -j"${VARKEL_JOBS:-$(nproc)}"
