#!/usr/bin/env bash
# Runs a command (a test under Wine) in a mount namespace of its own where folders are read-only
# as a standard Windows user finds Program Files: tests run as root, whom Unix permissions do
# not stop, so a read-only bind mount stands for the refusal.
#   read-only-run.sh [--ro FOLDER]... COMMAND...
# FOLDERs are read-only from the start. The command may also ask for a folder while it runs: it
# writes "ro <unix path>" or "rw <unix path>" into the file named by TORVEX_MOUNT_REQUEST and waits
# until that file is gone.
set -uo pipefail
if [[ ${1:-} != --inside ]]; then
  exec unshare -m --propagation private "$0" --inside "$@"
fi
shift
ro() { mount --bind "$1" "$1" && mount -o remount,ro,bind "$1"; }

# Wine opens files in its server: the server must live in this namespace to see the read-only
# mounts. Hiding the session's server directory makes the first Wine process start one here.
: "${WINEPREFIX:?WINEPREFIX names the prefix of the build}"
server=server-$(stat -c %D "$WINEPREFIX")-$(printf %x "$(stat -c %i "$WINEPREFIX")")
for dir in /tmp/.wine-"$(id -u)"/"$server" /tmp/wine-*/"$server"; do
  [[ -d $dir && -O $dir ]] && mount -t tmpfs -o mode=0700 tmpfs "$dir"
done
export WINEDEBUG=-all WINEARCH=win64
wineserver -p </dev/null >/dev/null 2>&1
while [[ ${1:-} == --ro ]]; do
  ro "$2" || exit 1
  export TORVEX_READ_ONLY_PROGRAM_FOLDER=1
  shift 2
done
export TORVEX_MOUNT_REQUEST=${TORVEX_MOUNT_REQUEST:-$(mktemp -u /tmp/torvex-mount-XXXXXX)}
"$@" &
child=$!
while kill -0 "$child" 2>/dev/null; do
  if [[ -f $TORVEX_MOUNT_REQUEST ]]; then
    read -r what folder <"$TORVEX_MOUNT_REQUEST"
    # Answered only when done: a request left in place fails the test that made it.
    case $what in
      ro) ro "$folder" && rm -f "$TORVEX_MOUNT_REQUEST" ;;
      rw) umount "$folder" && rm -f "$TORVEX_MOUNT_REQUEST" ;;
    esac
  fi
  sleep 0.1
done
wait "$child"
rc=$?
wineserver -k </dev/null >/dev/null 2>&1
wineserver -w </dev/null >/dev/null 2>&1
exit $rc
