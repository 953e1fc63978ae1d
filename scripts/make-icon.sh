#!/usr/bin/env bash
# Renders the program's icon from its drawings into res/KelvoRemoteServer.ico.
# The .ico is committed, so the build does not need this; run it after editing a drawing.
# The 16-pixel image has its own pixel-aligned drawing; the larger ones share one.
set -euo pipefail
cd "$(dirname "$0")/.."

drawings=res/icon
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

rsvg-convert -w 16 -h 16 "$drawings/KelvoRemoteServer-16.svg" -o "$work/16.png"
for size in 24 32 48 256; do
    rsvg-convert -w "$size" -h "$size" "$drawings/KelvoRemoteServer.svg" -o "$work/$size.png"
done

# The 256-pixel image is stored as PNG inside the icon, as the shell expects for that size.
icotool --create --bit-depth=32 --output=res/KelvoRemoteServer.ico \
    "$work/16.png" "$work/24.png" "$work/32.png" "$work/48.png" --raw="$work/256.png"
