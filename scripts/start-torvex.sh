#!/usr/bin/env bash
# Starts build/windows/bin/torvex.exe from its own folder (a first start records the folder it
# was started from). With --screenshot FILE it waits, saves the screen to FILE and closes it.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
shot=""
if [ "${1:-}" = "--screenshot" ]; then shot="$root/$2"; shift 2; fi
cd "$root/build/windows/bin"
if [ -z "$shot" ]; then exec wine torvex.exe "$@"; fi
wine torvex.exe "$@" &
pid=$!
sleep "${TORVEX_SHOT_DELAY:-6}"
import -window root "$shot" && echo "Screenshot of the running program: $shot"
kill "$pid" 2>/dev/null
wait "$pid" 2>/dev/null
exit 0
