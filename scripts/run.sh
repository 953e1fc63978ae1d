#!/usr/bin/env bash
# Builds the program and runs it under Wine until Ctrl+C, serving at once: when nothing
# is stored yet, the port 1331 and the player's own channel list are stored first, so
# that the program starts configured instead of opening its settings.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

bash scripts/install-deps.sh

# Wine sets up its desktop once per session with the display it finds then: without a
# display the whole run goes under a virtual one (the icon is then out of sight).
if [ -z "${DISPLAY:-}" ]; then
    exec xvfb-run -a "$root/scripts/run.sh" "$@"
fi

cmake --preset windows >/dev/null
cmake --build --preset windows --target KelvoRemoteServer

# A prefix of its own: the tests reset the program's settings in theirs.
source scripts/wine-session.sh
kelvo_wine_begin "$root/build/windows/run-wineprefix"
trap kelvo_wine_end EXIT

key='HKCU\Software\Kelvo Player Remote Server\KelvoRemoteServer\General'
store_if_absent() {
    wine reg query "$key" /v "$1" >/dev/null 2>&1 ||
        wine reg add "$key" /v "$1" /t REG_DWORD /d "$2" /f >/dev/null
}
store_if_absent Port 1331
store_if_absent PlaylistSource 0

echo "Kelvo Player Remote Server runs; Ctrl+C ends it."
wine build/windows/app/KelvoRemoteServer.exe
