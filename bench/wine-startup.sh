#!/usr/bin/env bash
# Times the Windows program from its start under Wine to the moment its port accepts a
# TCP connection, configured as a user would leave it (port stored, player sources). Runs
# it several times in one Wine session, each on a fresh port, and prints the median in ms.
#
#   wine-startup.sh ROOT PROGRAM_IN_WINDOWS_BUILD RUNS BENCH_CLIENT
set -euo pipefail
root=$1
program=$root/build/windows/$2
runs=$3
client=$4

source "$root/scripts/wine-session.sh"
kelvo_wine_begin "$root/build/windows/wineprefix" >&2
key='HKCU\Software\Kelvo Player Remote Server\KelvoRemoteServer\General'
trap 'wine reg delete "$key" /f >/dev/null 2>&1; kelvo_wine_end' EXIT
wine reg add "$key" /v PlaylistSource /t REG_DWORD /d 0 /f >/dev/null 2>&1

# One untimed start first: Wine loads and caches the program's libraries then.
first_port=$((20000 + RANDOM % 20000))
for run in $(seq 0 "$runs"); do
    port=$((first_port + run))
    wine reg add "$key" /v Port /t REG_DWORD /d "$port" /f >/dev/null 2>&1
    result=$("$client" startup "$port" 30 wine "$program")
    [ "$run" -gt 0 ] && echo "$result"
done | awk '$1 == "startup_ms" { print $2 }' | sort -g |
    awk '{ v[NR] = $1 } END { if (NR == 0) print "n/a"; else printf "%.0f\n", v[int((NR + 1) / 2)] }'
