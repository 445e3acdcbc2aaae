#!/usr/bin/env bash
# Runs a command (ctest, the program) with one wineserver kept alive around it, so every Wine
# process after the first starts fast. Meant to run inside xvfb-run.
set -uo pipefail
build=$(cd "${1:?usage: wine-session.sh BUILD_DIR COMMAND...}" && pwd); shift
export WINEDEBUG=-all WINEARCH=win64 WINEPREFIX="$build/wineprefix"
wineserver -p </dev/null >/dev/null 2>&1
wine wineboot </dev/null >/dev/null 2>&1
"$@"
rc=$?
wineserver -k </dev/null >/dev/null 2>&1
wineserver -w </dev/null >/dev/null 2>&1
exit $rc
