#!/usr/bin/env bash
# Installs every package the build, the tests and the run command need, on Debian 12.
# Asks apt only when something is missing.
set -euo pipefail

packages=(
    cmake ninja-build g++ clang
    g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
    wine wine64 xvfb xauth
    libboost1.81-dev googletest
    fonts-dejavu-core imagemagick x11-apps librsvg2-bin icoutils
    curl netcat-openbsd
    nginx-light wrk
)

missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' ||
        missing+=("$package")
done

if ((${#missing[@]})); then
    echo "Installing: ${missing[*]}"
    sudo_cmd=()
    [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
    "${sudo_cmd[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq "${missing[@]}" \
        >/tmp/kelvo-apt.log 2>&1 || { cat /tmp/kelvo-apt.log; exit 1; }
fi
