#!/usr/bin/env bash
# Builds everything and runs every test: natively, with sanitizers, and under Wine with Xvfb.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
# Includes against the directions of the layers fail before anything builds.
python3 scripts/check-includes.py
jobs=$(nproc)

for preset in native native-asan; do
  cmake --preset $preset >/dev/null
  cmake --build --preset $preset -j "$jobs"
  ctest --preset $preset -j "$jobs"
done

cmake --preset windows >/dev/null
cmake --build --preset windows -j "$jobs"
scripts/wine-prefix.sh build/windows
xvfb-run -a -s "-screen 0 1024x768x24" scripts/wine-session.sh build/windows \
  ctest --preset windows
