#!/usr/bin/env bash
# Longer fuzz runs of jar32's readers in the sanitizer build than the test suite makes.
# Usage: scripts/fuzz.sh [iterations] [seed]   (defaults: 20000 iterations, a seed from the clock)
# A failure prints the seed that repeats it, and the last runs' error output (where a sanitizer
# report lands).
set -euo pipefail
cd "$(dirname "$0")/.."
iterations=${1:-20000}
seed=${2:-$(date +%s)}
cmake --preset native-asan >/dev/null
cmake --build --preset native-asan -j "$(nproc)" --target jar32_fuzz_tests
echo "fuzzing jar32's readers: $iterations iterations, seed $seed"
if ! JAR32_FUZZ_ITERATIONS=$iterations JAR32_FUZZ_SEED=$seed build/native-asan/bin/jar32_fuzz_tests; then
  echo "FAILED with seed $seed; error output of the runs:"
  tail -n 60 /tmp/jar32fuzz*/stderr.txt 2>/dev/null || true
  exit 1
fi
