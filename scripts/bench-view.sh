#!/usr/bin/env bash
# Times opening a 100,000-entry and a 1,000,000-entry archive in the real window under Wine
# (torvex_view_bench): open to shown, the memory the open takes, against jar32's own listing of
# the same chapter through a plain pipe (read with a large buffer and dropped) and, from the shell,
# `wine jar32.exe v -jb1 archive | cat`. The archives are made once by the native jar32 from generated
# trees (1,000 files a folder) and kept under BENCH_DIR.
#   scripts/bench-view.sh [runs per archive, default 3]
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$(pwd)
runs=${1:-3}
work=${BENCH_DIR:-/tmp/torvex-bench}
mkdir -p "$work/archives"

[ -x build/native/bin/jar32 ] || { cmake --preset native >/dev/null; cmake --build --preset native -j2 --target jar32 >/dev/null; }
[ -d build/windows ] || cmake --preset windows >/dev/null
cmake --build --preset windows -j2 --target torvex_view_bench jar32 >/dev/null
[ -d build/windows/wineprefix ] || scripts/wine-prefix.sh build/windows >/dev/null

for count in 100000 1000000; do
  archive="$work/archives/e$count.j"
  [ -f "$archive" ] && continue
  tree="$work/tree$count"
  rm -rf "$tree"
  python3 - "$tree" "$count" <<'PY'
import os, sys
root, count = sys.argv[1], int(sys.argv[2])
for i in range(count):
    folder = os.path.join(root, 'p%03d' % (i // 1000), 'q%02d' % (i % 100 // 10))
    if i % 10 == 0:
        os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, 'entry%07d.txt' % i), 'w') as f:
        f.write('entry %d\n' % i)
PY
  partial="$work/archives/partial-e$count.j"
  (cd "$tree" && "$repo/build/native/bin/jar32" a -y -r -m1 "$partial" '*' >/dev/null)
  mv "$partial" "$archive"
  rm -rf "$tree"
done

windows_dir="Z:${work//\//\\}\\archives"
xvfb-run -a -s "-screen 0 1024x768x24" scripts/wine-session.sh build/windows bash -c '
  for count in 100000 1000000; do
    for run in $(seq '"$runs"'); do
      echo "== $count entries, run $run (load $(cut -d" " -f1-3 /proc/loadavg))"
      start=$(date +%s%N)
      wine build/windows/bin/jar32.exe v -jb1 "'"$windows_dir"'\\e$count.j" | cat >/dev/null
      echo "  wine jar32.exe v -jb1 | cat: $(( ($(date +%s%N) - start) / 1000000 )) ms"
      wine build/windows/bin/torvex_view_bench.exe "-archive='"$windows_dir"'\\e$count.j" -enter=p000 2>&1 | tr -d "\r"
    done
  done'
