#!/usr/bin/env bash
# Builds the Windows target and serves the stored settings' port under Wine, with the
# console host, until Ctrl+C. Stores the port 1331 and the player's own sources first
# when nothing is stored yet.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

bash scripts/install-deps.sh

# Wine sets up its desktop once per session with the display it finds then, and the
# player's windows need one: without a display the whole run goes under a virtual one.
if [ -z "${DISPLAY:-}" ]; then
    exec xvfb-run -a "$root/scripts/run.sh" "$@"
fi

cmake --preset windows >/dev/null
cmake --build --preset windows --target kelvo_console_host

source scripts/wine-session.sh
kelvo_wine_begin "$root/build/windows/wineprefix"
trap kelvo_wine_end EXIT

key='HKCU\Software\Kelvo Player Remote Server\KelvoRemoteServer\General'
store_if_absent() {
    wine reg query "$key" /v "$1" >/dev/null 2>&1 ||
        wine reg add "$key" /v "$1" /t REG_DWORD /d "$2" /f >/dev/null
}
store_if_absent Port 1331
store_if_absent PlaylistSource 0

wine build/windows/tools/KelvoConsoleHost.exe
