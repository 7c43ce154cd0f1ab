#!/usr/bin/env bash
# setup.sh: installs what building, testing and running the client needs on a
# Debian 12 machine, when it is missing. Safe to run again.
set -euo pipefail

packages=(
    cmake ninja-build g++ googletest libbenchmark-dev clang libclang-rt-14-dev clang-format-14
    mingw-w64 g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
    wine wine64 xvfb xauth x11-utils xdotool imagemagick
    microsocks
    libgif-dev giflib-tools
    python3 python3-pil python3-numpy fonts-wqy-zenhei fonts-noto-cjk
    espeak-ng sox
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done

if [ ${#missing[@]} -gt 0 ]; then
    echo "setup: installing ${missing[*]}"
    sudo_cmd=()
    [ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
    "${sudo_cmd[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
else
    echo "setup: all packages present"
fi
