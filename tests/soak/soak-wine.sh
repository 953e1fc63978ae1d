#!/usr/bin/env bash
# The soak against the real program under Wine, in the Wine session of the test script,
# driven from outside by the native soak driver. The program serves a player folder inside
# the Wine prefix; its settings are stored where it reads them, and removed afterwards.
#
#   soak-wine.sh PROGRAM SOURCE_ROOT        (SOAK_SECONDS=30; the long form is 300)
set -euo pipefail
program=$1
root=$2
seconds=${SOAK_SECONDS:-30}
: "${WINEPREFIX:?run this inside the Wine session of scripts/test.sh}"

driver=$root/build/linux/tests/soak/kelvo_soak
if [ ! -x "$driver" ]; then
    (cd "$root" && cmake --preset linux >/dev/null && cmake --build --preset linux --target kelvo_soak >&2)
fi

name=kelvo-soak-$$
folder=$WINEPREFIX/drive_c/$name
windows_folder="C:\\$name"
key='HKCU\Software\Kelvo Player Remote Server\KelvoRemoteServer\General'
log=$(mktemp)
pid=
end_program() {
    if [ -n "$pid" ]; then
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
        pid=
    fi
}
cleanup() {
    end_program
    wine reg delete "$key" /f >/dev/null 2>&1 || true
    rm -rf "$folder" "$log"
}
trap cleanup EXIT

mkdir -p "$folder"
head -c 1048576 /dev/urandom >"$folder/guide.zip"
awk 'BEGIN { printf "#EXTM3U\r\n"
             for (i = 1; i <= 4000; i++) printf "#EXTINF:-1,Channel %d\r\nhttp://tv.lan/%d\r\n", i, i }' \
    >"$folder/KelvoPlayer.m3u"
printf '[Settings]\r\nurl-tvg=%s\\guide.zip\r\n' "$windows_folder" >"$folder/KelvoPlayer.User.ini"
wine reg add "$key" /v PlayerLocation /t REG_SZ /d "$windows_folder\\KelvoPlayer.exe" /f >/dev/null
wine reg add "$key" /v PlaylistSource /t REG_DWORD /d 0 /f >/dev/null

# A port below the client port range; another one when something else holds it.
answers() { curl -s -o /dev/null --max-time 2 "http://127.0.0.1:$port/about/"; }
for attempt in $(seq 5); do
    port=$((20000 + RANDOM % 12000))
    wine reg add "$key" /v Port /t REG_DWORD /d "$port" /f >/dev/null
    wine "$program" >"$log" 2>&1 &
    pid=$!
    for _ in $(seq 300); do
        answers && break
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    answers && break
    end_program
done
[ -n "$pid" ] || { echo "the program did not serve"; cat "$log"; exit 1; }

# The sockets of a Windows program are held by the wineserver of its prefix.
wineserver_pid=
for candidate in $(pgrep wineserver); do
    if tr '\0' '\n' <"/proc/$candidate/environ" 2>/dev/null | grep -qx "WINEPREFIX=$WINEPREFIX"; then
        wineserver_pid=$candidate
    fi
done
[ -n "$wineserver_pid" ] || { echo "no wineserver for $WINEPREFIX"; exit 1; }

"$driver" --port "$port" --pid "$pid" --descriptors-of "$wineserver_pid" --folder "$folder" \
    --seconds "$seconds"
