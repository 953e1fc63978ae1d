#!/usr/bin/env bash
# Builds and tests everything: the native portable core (with sanitizers) and the
# Windows program (cross-built, tests run through Wine). Installs missing packages.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
jobs=$(nproc)

bash scripts/install-deps.sh

echo "== native (linux preset)"
cmake --preset linux >/dev/null
cmake --build --preset linux -j "$jobs"
ctest --preset linux -j "$jobs"

echo "== windows (cross build, tests through Wine)"
cmake --preset windows >/dev/null
cmake --build --preset windows -j "$jobs"

source scripts/wine-session.sh
kelvo_wine_begin "$root/build/windows/wineprefix"
trap kelvo_wine_end EXIT
xvfb-run -a ctest --preset windows-display -j 1 --no-tests=ignore
ctest --preset windows -j "$jobs"
