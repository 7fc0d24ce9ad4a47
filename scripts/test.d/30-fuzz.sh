#!/usr/bin/env bash
# Builds the libFuzzer targets (preset "fuzz") and runs each one for a short
# while from its seed corpus in fuzz/corpus/<target>. The run works on a copy
# of the corpus, so the repository stays as it is. A crash, a leak, a
# sanitizer report or a broken expectation fails the script; the input that
# caused it is kept in the printed artifact directory.
# FUZZ_SECONDS sets the time per target (30 by default).
set -euo pipefail
cd "$(dirname "$0")/../.."
root=$PWD
seconds=${FUZZ_SECONDS:-30}

cmake --preset fuzz
cmake --build --preset fuzz

work=$(mktemp -d /tmp/corvane-fuzz-run-XXXXXX)
artifacts="$root/build/fuzz/artifacts"
mkdir -p "$artifacts"
trap 'rm -rf "$work"' EXIT

export ASAN_OPTIONS="halt_on_error=1:abort_on_error=1:detect_leaks=1"
export UBSAN_OPTIONS="halt_on_error=1:abort_on_error=1:print_stacktrace=1"

failed=0
for seeds in fuzz/corpus/*/; do
  target=$(basename "$seeds")
  program="build/fuzz/fuzz/fuzz_$target"
  [ -x "$program" ] || { echo "no fuzz target for corpus $target"; failed=1; continue; }
  mkdir -p "$work/$target"
  cp -r "$seeds." "$work/$target/"
  echo "--- $target: ${seconds}s"
  if ! "$program" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
       -print_final_stats=1 -artifact_prefix="$artifacts/$target-" \
       "$work/$target" > "$work/$target.log" 2>&1; then
    tail -n 40 "$work/$target.log"
    echo "FAILED: $target (input kept under $artifacts)"
    failed=1
  else
    grep -E '^(stat::number_of_executed_units|Done)' "$work/$target.log" || true
  fi
done
exit $failed
