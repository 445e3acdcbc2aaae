#!/usr/bin/env bash
# Runs the listing parsers' fuzz test longer than the test run does, in the sanitizer build.
#   scripts/fuzz-listing.sh [iterations, default 100000] [seed, default from the clock]
# A failure names the damaged listing it saved under the temporary folder.
set -euo pipefail
cd "$(dirname "$0")/.."
iterations=${1:-100000}
seed=${2:-$(date +%s)}
[ -d build/native-asan ] || cmake --preset native-asan >/dev/null
cmake --build --preset native-asan -j2 --target listing_fuzz_tests >/dev/null
TORVEX_FUZZ_ITERATIONS=$iterations TORVEX_FUZZ_SEED=$seed build/native-asan/bin/listing_fuzz_tests --gtest_brief=1
