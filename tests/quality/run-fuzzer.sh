#!/usr/bin/env bash
# Runs one libFuzzer target for a bounded time:
#   run-fuzzer.sh FUZZER SEED_CORPUS WORK_DIR SECONDS
# New inputs go to WORK_DIR/corpus (the checked-in seeds are only read); a
# crash, leak, time-out or sanitizer report is written to WORK_DIR/artifacts
# and fails the run. The run stops after SECONDS or after a number of inputs
# that keeps it near that time on a slow machine, whichever comes first.
set -euo pipefail
fuzzer=${1:?fuzzer}; seeds=${2:?seed corpus}; work=${3:?work dir}; seconds=${4:?seconds}
[ -x "$fuzzer" ] || { echo "fuzz target missing: $fuzzer (the sanitized build did not make it)" >&2; exit 1; }
[ -d "$seeds" ] && [ -n "$(ls -A "$seeds")" ] || { echo "empty seed corpus: $seeds" >&2; exit 1; }
mkdir -p "$work/corpus" "$work/artifacts"
# A single input that takes over 10 s counts as a hang; 2 GB as a leak gone wild.
exec "$fuzzer" "$work/corpus" "$seeds" \
  -max_total_time="$seconds" -runs=$((seconds * 200000)) \
  -timeout=10 -rss_limit_mb=2048 -max_len=8192 \
  -artifact_prefix="$work/artifacts/" -print_final_stats=1 -close_fd_mask=1
