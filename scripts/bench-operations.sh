#!/usr/bin/env bash
# Times Torvex's extract and add operations against jar32 alone, side by side under Wine
# (torvex_operations_bench), on the benchmark corpus (5,000 files, about 200 MB): extracting its
# archive with Full Path and with Partial Path from the sub-folder against "jar32 x"; adding the
# folder against "jar32 a" from a list file; and writing the add list file of 100,000 files.
# The archive is made once by the native jar32 and kept under BENCH_DIR. Prints a table.
#   scripts/bench-operations.sh [runs of each way, default 3]
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$(pwd)
runs=${1:-3}
work=${BENCH_DIR:-/tmp/torvex-bench}
mkdir -p "$work"

[ -x build/native/bin/jar32 ] || { cmake --preset native >/dev/null; cmake --build --preset native -j2 --target jar32 >/dev/null; }
[ -d build/windows ] || cmake --preset windows >/dev/null
cmake --build --preset windows -j2 --target torvex_operations_bench jar32 >/dev/null
[ -d build/windows/wineprefix ] || scripts/wine-prefix.sh build/windows >/dev/null

scripts/bench-corpus.py "$work"
scripts/bench-corpus.py "$work" many
if [ ! -f "$work/corpus.j" ]; then
  (cd "$work" && rm -f partial-corpus.j && "$repo/build/native/bin/jar32" a -y -r partial-corpus.j corpus >/dev/null)
  mv "$work/partial-corpus.j" "$work/corpus.j"
fi

windows_work="Z:${work//\//\\}"
xvfb-run -a -s "-screen 0 1024x768x24" scripts/wine-session.sh build/windows bash -c \
  'wine build/windows/bin/torvex_operations_bench.exe "-archive='"$windows_work"'\\corpus.j" -folder=corpus "-corpus='"$windows_work"'\\corpus" "-many='"$windows_work"'\\many" -runs='"$runs"' 2>&1 | tr -d "\r"'
