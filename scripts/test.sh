#!/usr/bin/env bash
# Installs what is missing, builds the kit and runs every test suite.
# Each further suite (other targets, sanitizers, fuzzing) is a script in
# scripts/test.d, run in name order after the main suite.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh

cmake --preset default
cmake --build --preset default
ctest --preset default

for suite in scripts/test.d/*.sh; do
  [ -e "$suite" ] || continue
  echo "=== $(basename "$suite")"
  bash "$suite"
done
