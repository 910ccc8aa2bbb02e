#!/usr/bin/env bash
# Runs every libFuzzer target for longer than the test command does:
#   scripts/fuzz.sh [SECONDS_PER_TARGET]     (default 300)
# Builds the sanitized native build first (BUILD_DIR/sanitized; BUILD_DIR is
# build/ unless set). Each target starts from its checked-in seeds in
# tests/fuzz/corpus/<target> and keeps what it finds in
# BUILD_DIR/fuzz-long/<target>/corpus, so a second run goes on from there.
# A crash, leak, hang or sanitizer report stops with the input saved in
# BUILD_DIR/fuzz-long/<target>/artifacts. FUZZ_TARGETS limits the targets.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-300}
build=${BUILD_DIR:-build}
targets=${FUZZ_TARGETS:-"startup_config command_line max_memory library_list setup_command_line hand_over_request java_version"}

scripts/install-deps.sh
tests/quality/build-sanitized.sh "$PWD" "$PWD/$build/sanitized" "$(command -v clang)" "$(command -v clang++)"

export ASAN_OPTIONS=detect_leaks=1:strict_string_checks=1:detect_stack_use_after_return=1:check_initialization_order=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
failed=()
for target in $targets; do
  echo "== fuzz_$target for $seconds s"
  log="$build/fuzz-long/$target.log"
  mkdir -p "$build/fuzz-long"
  status=0
  tests/quality/run-fuzzer.sh "$build/sanitized/tests/fuzz/fuzz_$target" "tests/fuzz/corpus/$target" \
    "$build/fuzz-long/$target" "$seconds" >"$log" 2>&1 || status=$?
  grep -E "^(Done|stat::number_of_executed_units|stat::peak_rss_mb|==[0-9]+==ERROR|property broken|SUMMARY)" "$log" || true
  [ "$status" -eq 0 ] || failed+=("$target")
done
if [ ${#failed[@]} -gt 0 ]; then
  echo "fuzzing found problems in: ${failed[*]} (inputs in $build/fuzz-long/<target>/artifacts)"
  exit 1
fi
echo "fuzzing: no crash, hang, leak or sanitizer report in $targets"
