#!/usr/bin/env bash
# The Windows build: cross-built with mingw-w64 and tested under wine, the
# command-line kit against the simulated radio of the Linux build (build/default,
# made by the main suite before this one).
set -euo pipefail
cd "$(dirname "$0")/../.."

cmake --preset mingw
cmake --build --preset mingw
ctest --preset mingw
