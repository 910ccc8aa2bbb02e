#!/usr/bin/env bash
# clang-tidy over the project's own sources, with the checked-in .clang-tidy
# files (the product's profile at the top, a lighter one in tests/):
#   run-clang-tidy.sh portable SOURCE_DIR SANITIZED_BUILD_DIR
#       the portable code and the native tests and fuzz targets, as the
#       sanitized native build (clang) compiles them;
#   run-clang-tidy.sh windows SOURCE_DIR WIN64_BUILD_DIR
#       the Windows-only sources of the 64-bit MinGW build: clang parses them
#       for the MinGW target with MinGW's own C++ library headers.
# Any finding fails the run (WarningsAsErrors).
set -euo pipefail
which=${1:?portable or windows}; src=${2:?source dir}; build=${3:?build dir}
database=$build/compile_commands.json
[ -f "$database" ] || { echo "no compile database: $database" >&2; exit 1; }

extra=()
case "$which" in
  portable)
    # Everything the native build compiles from this tree, tests included.
    pattern="^$src/(common/portable|VKJavaLauncher/core|Quellis/portable|QuellisSetup/portable|tests/(unit|jvm|fuzz))/.*\.cpp$"
    ;;
  windows)
    # What only the cross build compiles: the portable files are checked above.
    # The Windows-side test programs are left to cppcheck: parsing windows.h
    # and GoogleTest for each of them would double this gate's time.
    pattern="^$src/(common/win32|VKJavaLauncher/win|Quellis|QuellisSetup)/.*\.cpp$"
    exclude="^$src/(Quellis/portable|QuellisSetup/portable)/"
    extra+=(--extra-arg=--target=x86_64-w64-mingw32 --extra-arg=-nostdinc++)
    # MinGW's libstdc++ headers, where its g++ finds them.
    while read -r dir; do extra+=("--extra-arg=-isystem$dir"); done < <(
      x86_64-w64-mingw32-g++-posix -E -x c++ -v - </dev/null 2>&1 | sed -n 's|^ \(/.*/include/c++[^ ]*\)$|\1|p')
    ;;
  *) echo "unknown profile $which" >&2; exit 2 ;;
esac

mapfile -t files < <(python3 - "$database" "$pattern" "${exclude:-^$}" <<'PY'
import json, re, sys
entries = json.load(open(sys.argv[1]))
wanted, unwanted = re.compile(sys.argv[2]), re.compile(sys.argv[3])
for name in sorted({e["file"] for e in entries}):
    if wanted.search(name) and not unwanted.search(name):
        print(name)
PY
)
[ ${#files[@]} -gt 0 ] || { echo "no sources matched $pattern in $database" >&2; exit 1; }
echo "clang-tidy ($which): ${#files[@]} files"

log=$(mktemp)
trap 'rm -f "$log"' EXIT
status=0
printf '%s\n' "${files[@]}" | xargs -P"$(nproc)" -I{} \
  clang-tidy -p "$build" --quiet "${extra[@]}" {} >"$log" 2>&1 || status=$?
# clang-tidy's own counters ("N warnings generated") are about system headers
# it was told to ignore; the findings are the lines with a check name.
grep -E "(warning|error): .*\[[a-z0-9.,-]+\]$" -A3 "$log" || true
if [ "$status" -ne 0 ]; then
  echo "clang-tidy ($which): findings above (exit status $status)"
  exit 1
fi
echo "clang-tidy ($which): no findings"
