#!/usr/bin/env bash
# The soak against the benchmark's host built with the sanitizers, which also looks for
# leaks when the host ends.
#
#   soak-native.sh HOST DRIVER        (SOAK_SECONDS=30; the long form is SOAK_SECONDS=300)
set -euo pipefail
host=$1
driver=$2
seconds=${SOAK_SECONDS:-30}
polls=300 # of 0.1 s

work=$(mktemp -d)
trap 'exec 3>&- 2>/dev/null; rm -rf "$work"' EXIT
mkfifo "$work/in"
# A small quarantine: freed memory is soon reused, so the resident size shows real growth.
ASAN_OPTIONS="quarantine_size_mb=8:${ASAN_OPTIONS:-}" \
    "$host" --tvguide-bytes 1048576 <"$work/in" >"$work/out" 2>"$work/err" &
pid=$!
exec 3>"$work/in"
for _ in $(seq "$polls"); do
    grep -q '^folder ' "$work/out" && break
    sleep 0.1
done
port=$(awk '$1 == "port" { print $2 }' "$work/out")
folder=$(awk '$1 == "folder" { print $2 }' "$work/out")
[ -n "$folder" ] || { echo "the host did not start"; exit 1; }

"$driver" --port "$port" --pid "$pid" --folder "$folder" --seconds "$seconds"

# The host ends when its input closes; the sanitizers report through its exit code.
exec 3>&-
for _ in $(seq "$polls"); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
done
if kill -0 "$pid" 2>/dev/null; then
    echo "the host did not end"
    kill -9 "$pid"
    exit 1
fi
# Oversized datagrams are receive errors, one line each on the standard error stream.
echo "the host wrote $(wc -l <"$work/err") lines to its standard error stream"
wait "$pid" || { grep -v 'Message too long' "$work/err" | tail -n 40; exit 1; }
echo "the host ended cleanly"
