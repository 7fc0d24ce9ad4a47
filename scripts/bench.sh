#!/usr/bin/env bash
# Builds the benchmarks (preset "bench", Release) and runs them all; prints
# one table. Arguments name the groups to run (all when none is named).
set -euo pipefail
cd "$(dirname "$0")/.."

cmake --preset bench >/dev/null
cmake --build --preset bench >/dev/null
build/bench/bench/corvane-bench "$@"
