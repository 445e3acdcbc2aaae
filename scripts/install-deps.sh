#!/usr/bin/env bash
# Installs what building and testing Torvex needs on Debian 12; safe to run again.
set -euo pipefail
packages=(cmake ninja-build g++ googletest libbenchmark-dev zlib1g-dev
          mingw-w64 g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix libz-mingw-w64-dev
          wine wine64 xvfb xauth fonts-wine imagemagick x11-utils nsis strace)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
echo "Installing: ${missing[*]}"
$sudo apt-get update -q
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q "${missing[@]}"
