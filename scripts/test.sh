#!/usr/bin/env bash
# Builds and tests everything: the native portable core (with sanitizers) and the
# Windows program (cross-built, tests run through Wine). Installs missing packages.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
jobs=$(nproc)

bash scripts/install-deps.sh

echo "== fuzzing (fuzz preset, a short bounded run of each target)"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j "$jobs"
for target in http_request datagram; do
    corpus=build/fuzz/corpus/$target
    log=build/fuzz/$target.log
    mkdir -p "$corpus"
    build/fuzz/fuzz/${target}_fuzzer -max_total_time=20 "$corpus" fuzz/seeds/$target \
        >"$log" 2>&1 || { tail -n 40 "$log"; exit 1; }
    tail -n 1 "$log"
done

echo "== native (linux preset)"
cmake --preset linux >/dev/null
cmake --build --preset linux -j "$jobs"
ctest --preset linux -j "$jobs"

echo "== windows (cross build, tests through Wine)"
cmake --preset windows >/dev/null
cmake --build --preset windows -j "$jobs"

# Wine sets up its desktop once per session with the display it finds then: a session
# begun without one cannot create windows later. So the whole session runs under one
# virtual display.
xvfb-run -a -s '-screen 0 1280x1024x24' bash -c '
    set -euo pipefail
    source scripts/wine-session.sh
    kelvo_wine_begin "$1/build/windows/wineprefix"
    trap kelvo_wine_end EXIT
    ctest --preset windows-display -j 1 --no-tests=ignore
    ctest --preset windows -j "$2"' session "$root" "$jobs"
