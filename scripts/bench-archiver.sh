#!/usr/bin/env bash
# Times jar32 against Info-ZIP zip/unzip and 7z on one generated corpus (about 5,000 files,
# 200 MB of text and binary data), and times the verbose listing of a 100,000-entry archive,
# natively and under Wine through a pipe (the way Torvex reads it). Prints a table.
#   scripts/bench-archiver.sh [native build folder] [windows build folder]
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$(pwd)
native=${1:-build/native}
windows=${2:-build/windows}
work=${BENCH_DIR:-/tmp/torvex-bench}
mkdir -p "$native" "$windows"
native=$(cd "$native" && pwd)
windows=$(cd "$windows" && pwd)

need=()
command -v zip >/dev/null || need+=(zip)
command -v unzip >/dev/null || need+=(unzip)
command -v 7z >/dev/null || command -v 7zz >/dev/null || need+=(7zip)
command -v taskset >/dev/null || need+=(util-linux)
if [ ${#need[@]} -gt 0 ]; then
  sudo=""; [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get update -q >/dev/null
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${need[@]}" >/dev/null
fi

sevenzip=$(command -v 7z || command -v 7zz)

[ -x "$native/bin/jar32" ] || { cmake --preset native -B "$native" >/dev/null; cmake --build "$native" -j2 --target jar32 >/dev/null; }
jar="$native/bin/jar32"

mkdir -p "$work"
corpus="$work/corpus"
scripts/bench-corpus.py "$work"

seconds() { # runs a command, prints its wall time in seconds
  local start end
  start=$(date +%s.%N)
  "$@" >/dev/null 2>&1 || echo "FAILED: $*" >&2
  end=$(date +%s.%N)
  awk -v s="$start" -v e="$end" 'BEGIN { printf "%.2f", e - s }'
}
size_of() { stat -c %s "$@" 2>/dev/null | awk '{ s += $1 } END { print s + 0 }'; }

cd "$work"
bytes=$(du -sb corpus | cut -f1)
files=$(find corpus -type f | wc -l)
rm -rf out-* a-*.j* z-*.zip s-*.zip s-*.7z
declare -A T S
one="taskset -c 0"

T[jar4]=$(seconds "$jar" a -y -r -m4 a-m4.j corpus);            S[jar4]=$(size_of a-m4.j)
T[jar4one]=$(seconds $one "$jar" a -y -r -m4 a-m4one.j corpus)
T[jar1]=$(seconds "$jar" a -y -r -m1 a-m1.j corpus);            S[jar1]=$(size_of a-m1.j)
T[jar1one]=$(seconds $one "$jar" a -y -r -m1 a-m1one.j corpus)
T[jar3]=$(seconds "$jar" a -y -r -m3 a-m3.j corpus);            S[jar3]=$(size_of a-m3.j)
T[jar3one]=$(seconds $one "$jar" a -y -r -m3 a-m3one.j corpus)
T[zip9]=$(seconds zip -q -r -9 z-9.zip corpus);                 S[zip9]=$(size_of z-9.zip)
T[zip1]=$(seconds zip -q -r -1 z-1.zip corpus);                 S[zip1]=$(size_of z-1.zip)
T[zip6]=$(seconds zip -q -r -6 z-6.zip corpus);                 S[zip6]=$(size_of z-6.zip)
T[sz9]=$(seconds $sevenzip a -tzip -mx=9 s-9.zip corpus);              S[sz9]=$(size_of s-9.zip)
T[sz1]=$(seconds $sevenzip a -tzip -mx=1 s-1.zip corpus);              S[sz1]=$(size_of s-1.zip)

T[jarv]=$(seconds "$jar" v a-m4.j)
T[zipv]=$(seconds unzip -v z-9.zip)
T[szv]=$(seconds $sevenzip l z-9.zip)
T[jart]=$(seconds "$jar" t a-m4.j)
T[zipt]=$(seconds unzip -tq z-9.zip)
T[szt]=$(seconds $sevenzip t z-9.zip)
T[jarx]=$(seconds "$jar" x -y -oout-jar a-m4.j)
T[zipx]=$(seconds unzip -q z-9.zip -d out-zip)
T[szx]=$(seconds $sevenzip x -y -oout-7z z-9.zip)
diff -r corpus out-jar/corpus >/dev/null && same="identical" || same="DIFFERENT"

# 100,000 entries: small files in nested folders.
many="$work/many"
"$repo/scripts/bench-corpus.py" "$work" many
rm -f many.j many.zip
"$jar" a -y -r -m1 many.j many >/dev/null
(cd "$work" && zip -q -r -1 many.zip many)
T[manyv]=$(seconds "$jar" v many.j)
T[many7]=$(seconds $sevenzip l many.zip)
lines=$("$jar" v many.j | wc -l)

wine_note="not run (no $windows/bin/jar32.exe)"
if [ -f "$windows/bin/jar32.exe" ] && command -v wine >/dev/null; then
  export WINEDEBUG=-all WINEARCH=win64 WINEPREFIX="$windows/wineprefix"
  [ -d "$WINEPREFIX" ] || "$repo/scripts/wine-prefix.sh" "$windows" >/dev/null 2>&1 || true
  wineserver -p </dev/null >/dev/null 2>&1 || true
  exe="$windows/bin/jar32.exe"
  wine "$exe" lc "Z:$work/many.j" </dev/null >/dev/null 2>&1 || true   # start-up of the prefix
  start=$(date +%s.%N)
  wine "$exe" v -jb1 "Z:${work//\//\\}\\many.j" </dev/null 2>&1 | cat > "$work/many-wine.txt"
  end=$(date +%s.%N)
  T[manywine]=$(awk -v s="$start" -v e="$end" 'BEGIN { printf "%.2f", e - s }')
  wine_lines=$(wc -l < "$work/many-wine.txt")
  wine_note="${T[manywine]} s, $wine_lines lines through a pipe"
  start=$(date +%s.%N)
  wine "$exe" lc "Z:$work/many.j" </dev/null >/dev/null 2>&1 || true
  end=$(date +%s.%N)
  T[winestart]=$(awk -v s="$start" -v e="$end" 'BEGIN { printf "%.2f", e - s }')
  wine_note="$wine_note (a bare run costs ${T[winestart]} s)"
  wineserver -k </dev/null >/dev/null 2>&1 || true
fi

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b > 0) printf "%.2f", a / b; else print "-" }'; }
pct() { awk -v a="$1" -v b="$bytes" 'BEGIN { printf "%.1f%%", 100 * a / b }'; }
echo
echo "Corpus: $files files, $bytes bytes; $(nproc) cores; extraction $same"
echo
echo "| Operation | jar32 (2 threads) | jar32 (1 core) | zip | 7z | jar32 / zip | size jar32 | size zip | size 7z |"
echo "|---|---|---|---|---|---|---|---|---|"
echo "| add -m4 vs zip -9, 7z zip -mx9 | ${T[jar4]} s | ${T[jar4one]} s | ${T[zip9]} s | ${T[sz9]} s | $(ratio ${T[jar4]} ${T[zip9]}) (1 core $(ratio ${T[jar4one]} ${T[zip9]})) | ${S[jar4]} ($(pct ${S[jar4]})) | ${S[zip9]} ($(pct ${S[zip9]})) | ${S[sz9]} ($(pct ${S[sz9]})) |"
echo "| add -m3 vs zip -6 | ${T[jar3]} s | ${T[jar3one]} s | ${T[zip6]} s | - | $(ratio ${T[jar3]} ${T[zip6]}) (1 core $(ratio ${T[jar3one]} ${T[zip6]})) | ${S[jar3]} ($(pct ${S[jar3]})) | ${S[zip6]} ($(pct ${S[zip6]})) | - |"
echo "| add -m1 vs zip -1, 7z zip -mx1 | ${T[jar1]} s | ${T[jar1one]} s | ${T[zip1]} s | ${T[sz1]} s | $(ratio ${T[jar1]} ${T[zip1]}) (1 core $(ratio ${T[jar1one]} ${T[zip1]})) | ${S[jar1]} ($(pct ${S[jar1]})) | ${S[zip1]} ($(pct ${S[zip1]})) | ${S[sz1]} ($(pct ${S[sz1]})) |"
echo "| list (v / unzip -v / 7z l) | ${T[jarv]} s | - | ${T[zipv]} s | ${T[szv]} s | $(ratio ${T[jarv]} ${T[zipv]}) | | | |"
echo "| test (t / unzip -t / 7z t) | ${T[jart]} s | - | ${T[zipt]} s | ${T[szt]} s | $(ratio ${T[jart]} ${T[zipt]}) | | | |"
echo "| extract (x / unzip / 7z x) | ${T[jarx]} s | - | ${T[zipx]} s | ${T[szx]} s | $(ratio ${T[jarx]} ${T[zipx]}) | | | |"
echo "| v of 100,000 entries vs 7z l of the zip | ${T[manyv]} s ($lines lines) | - | - | ${T[many7]} s | jar32 / 7z $(ratio ${T[manyv]} ${T[many7]}) | | | |"
echo "| v of 100,000 entries under Wine, piped | $wine_note | | | | | | | |"
