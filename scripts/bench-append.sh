#!/usr/bin/env bash
# Times a small change to a large archive: `ac` of one small file, `a` of another into the last
# chapter, and `d` of it again, on archives of 100 MB, 1 GB and 4 GB of incompressible data,
# natively and under Wine. Prints the median of the runs (and the range) in a table.
#   scripts/bench-append.sh [native build folder] [windows build folder] [runs] [sizes in MB, by 100]
# BEFORE_NATIVE / BEFORE_WINDOWS name an older jar32 (of the first format version), timed the same
# way on the archive turned into that version (BEFORE_RUNS runs of it). One archive per size is
# written by this jar32 and changed by each. Disk: the largest size, twice while an older jar32
# rewrites it; BENCH_DIR says where (default /tmp/torvex-bench-append).
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$(pwd)
native=$(cd "${1:-build/native}" && pwd)
windows=$(cd "${2:-build/windows}" && pwd)
runs=${3:-5}
sizes=${4:-"100 1024 4096"}
work=${BENCH_DIR:-/tmp/torvex-bench-append}
mkdir -p "$work"

[ -x "$native/bin/jar32" ] || cmake --build "$native" -j2 --target jar32 >/dev/null
have_wine=0
if [ -f "$windows/bin/jar32.exe" ] && command -v wine >/dev/null; then
  have_wine=1
  export WINEDEBUG=-all WINEARCH=win64 WINEPREFIX="$windows/wineprefix"
  [ -d "$WINEPREFIX" ] || "$repo/scripts/wine-prefix.sh" "$windows" >/dev/null 2>&1 || true
  wineserver -p </dev/null >/dev/null 2>&1 || true
  wine "$windows/bin/jar32.exe" </dev/null >/dev/null 2>&1 || true # start-up of the prefix
fi

winpath() { echo "Z:${1//\//\\}"; }
# Wall time of one run in milliseconds; the run must succeed.
millis() {
  local start end
  start=$(date +%s%N)
  "$@" </dev/null >/dev/null 2>&1 || echo "FAILED: $*" >&2
  end=$(date +%s%N)
  echo $(((end - start) / 1000000))
}
# "median (min-max)" of the numbers given.
summary() {
  printf '%s\n' "$@" | sort -n | awk '{ v[NR] = $1 } END { printf "%d ms (%d-%d)", v[int((NR + 1) / 2)], v[1], v[NR] }'
}

# Incompressible parts of 100 MB, hard-linked as often as a size needs: no more disk than one.
part="$work/part.bin"
[ -f "$part" ] || head -c $((100 << 20)) /dev/urandom >"$part"
echo "small file" >"$work/small.txt"
echo "another small file" >"$work/small2.txt"

# Runs a jar32 natively or under Wine (paths given as Z:\...).
run() { # kind exe arguments...
  local kind=$1 exe=$2
  shift 2
  if [ "$kind" = wine ]; then
    local args=() a
    for a in "$@"; do [[ "$a" == /* ]] && args+=("$(winpath "$a")") || args+=("$a"); done
    wine "$exe" "${args[@]}"
  else
    "$exe" "$@"
  fi
}

# An archive of this version turned into one of the first version (what an older jar32 wrote and
# reads): the last trailer's 40-byte form, no salt in the header. Its dead space stays dead.
first_version() {
  python3 - "$1" <<'PY'
import struct, sys
with open(sys.argv[1], "r+b") as f:
    f.seek(0, 2); size = f.tell()
    f.seek(size - 56); tail = f.read(56)
    assert tail[:4] == b"TVJA" and tail[16:20] == b"TVJI", "not an archive of version 2"
    base = tail[16:20] + struct.pack("<I", 1) + tail[24:]
    f.seek(size - 56); f.write(base); f.truncate(size - 16)
    f.seek(16); f.write(bytes(8))
PY
}

declare -A RESULT
time_changes() { # label kind exe archive mb
  local label=$1 kind=$2 exe=$3 archive=$4 mb=$5 n=$runs
  [[ $label == *before ]] && n=${BEFORE_RUNS:-$runs}
  local ac=() add=() del=()
  for ((r = 0; r < n; r++)); do
    ac+=("$(millis run "$kind" "$exe" ac -y -jf- "$archive" "$work/small.txt")")
    add+=("$(millis run "$kind" "$exe" a -y -jf- "$archive" "$work/small2.txt")")
    del+=("$(millis run "$kind" "$exe" d -y "$archive" small2.txt)")
  done
  RESULT["$label $mb"]="| $label | $mb MB | $(summary "${ac[@]}") | $(summary "${add[@]}") | $(summary "${del[@]}") |"
  echo "${RESULT["$label $mb"]}" >&2 # as it comes, for long runs
}

for mb in $sizes; do
  src="$work/src-$mb" archive="$work/big-$mb.j"
  rm -rf "$src" "$archive"
  mkdir -p "$src"
  for ((i = 0; i < (mb + 99) / 100; i++)); do ln "$part" "$src/part$i.bin"; done
  "$native/bin/jar32" a -y -m1 -jf- "$archive" "$src/*" >/dev/null
  rm -rf "$src"
  sync "$archive" # the first change's flush must not pay for writing the new archive out
  time_changes native native "$native/bin/jar32" "$archive" "$mb"
  [ $have_wine = 1 ] && time_changes wine wine "$windows/bin/jar32.exe" "$archive" "$mb"
  if [ -n "${BEFORE_NATIVE:-}${BEFORE_WINDOWS:-}" ]; then
    first_version "$archive"
    [ -n "${BEFORE_NATIVE:-}" ] && time_changes native-before native "$BEFORE_NATIVE" "$archive" "$mb"
    [ -n "${BEFORE_WINDOWS:-}" ] && [ $have_wine = 1 ] && time_changes wine-before wine "$BEFORE_WINDOWS" "$archive" "$mb"
  fi
  rm -f "$archive"
done
[ $have_wine = 1 ] && { wineserver -k </dev/null >/dev/null 2>&1 || true; }

echo
echo "$(nproc) cores, load $(cut -d' ' -f1-3 /proc/loadavg); median of $runs runs (range)"
echo
echo "| jar32 | archive | ac of one small file | a of one small file | d of it |"
echo "|---|---|---|---|---|"
for mb in $sizes; do
  for label in native native-before wine wine-before; do
    if [ -n "${RESULT["$label $mb"]:-}" ]; then echo "${RESULT["$label $mb"]}"; fi
  done
done
