#!/usr/bin/env bash
# Builds Torvex for Windows and starts it under Wine. Without a display it runs under Xvfb, saves
# a screenshot to build/windows/screenshot.png after a few seconds and closes it again.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset windows >/dev/null
cmake --build --preset windows -j "$(nproc)" --target torvex jar32
scripts/wine-prefix.sh build/windows
if [ -n "${DISPLAY:-}" ]; then
  exec scripts/wine-session.sh build/windows scripts/start-torvex.sh "$@"
fi
exec xvfb-run -a -s "-screen 0 1024x768x24" scripts/wine-session.sh build/windows \
  scripts/start-torvex.sh --screenshot build/windows/screenshot.png "$@"
