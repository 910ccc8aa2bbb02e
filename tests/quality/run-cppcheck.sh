#!/usr/bin/env bash
# cppcheck over the project's own code, with the checked-in configuration in
# tests/quality/cppcheck/ (suppressions with their reasons, a library file
# for Win32 functions cppcheck does not know):
#   run-cppcheck.sh SOURCE_DIR WORK_DIR
# The product's code (common, VKJavaLauncher, Quellis, QuellisSetup) is checked for
# warnings, style, performance and portability, once with the 64-bit and once
# with the 32-bit build's definitions; the tests for warnings only. Any
# finding fails the run.
set -euo pipefail
src=${1:?source dir}; work=${2:?work dir}
cd "$src"
config=tests/quality/cppcheck
mkdir -p "$work/64" "$work/32" "$work/tests"

common=(--std=c++20 --language=c++ --inline-suppr --error-exitcode=1 --quiet -j"$(nproc)"
        --library=windows --library=$config/win32-console.cfg
        --suppressions-list=$config/suppressions.txt
        -DUNICODE -D_UNICODE -D_WIN32 "-DINVALID_HANDLE_VALUE=((HANDLE)(LONG_PTR)-1)"
        -Icommon/portable -Icommon/win32 -IVKJavaLauncher/core -IQuellis/portable -IQuellisSetup/portable -IQuellis -IQuellisSetup
        --template='{file}:{line}: {severity} {id}: {message}')

status=0
echo "cppcheck: the product's code, 64-bit"
cppcheck "${common[@]}" --cppcheck-build-dir="$work/64" --enable=warning,style,performance,portability \
  -D_WIN64 -DVARKEL_BITS=64 common VKJavaLauncher Quellis QuellisSetup || status=1
echo "cppcheck: the launcher, 32-bit"
cppcheck "${common[@]}" --cppcheck-build-dir="$work/32" --enable=warning,style,performance,portability \
  -DVARKEL_BITS=32 VKJavaLauncher || status=1
echo "cppcheck: the tests"
cppcheck "${common[@]}" --cppcheck-build-dir="$work/tests" --enable=warning,performance,portability \
  --library=googletest -D_WIN64 -DVARKEL_BITS=64 -Itests/unit/support -Itests/windows/support \
  tests/unit tests/jvm tests/fuzz tests/windows || status=1

if [ "$status" -ne 0 ]; then echo "cppcheck: findings above"; exit 1; fi
echo "cppcheck: no findings"
