#!/usr/bin/env bash
# Builds the kit and runs the Program job against the built-in simulated
# radio, answering every question with Yes.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
cmake --preset default >/dev/null
cmake --build --preset default
demo_dir=build/default/demo
mkdir -p "$demo_dir"
build/default/tools/patcher-tool/patcher-tool encipher res/demo/patcher.txt "$demo_dir/patcher.dat"
build/default/tools/patcher-tool/patcher-tool decipher "$demo_dir/patcher.dat"

cli=build/default/tools/corvane-cli/corvane-cli
echo
echo "\$ corvane-cli info --dir $demo_dir"
"$cli" info --dir "$demo_dir"
echo
echo "\$ corvane-cli program --dir $demo_dir --simulate --yes --log"
"$cli" program --dir "$demo_dir" --simulate --yes --log
