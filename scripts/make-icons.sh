#!/usr/bin/env bash
# Renders resources/icons/squadlink.svg into the PNG sizes the window, the tray and the desktop
# use (ImageMagick). The PNGs are committed; run this again after changing the drawing.
set -euo pipefail
cd "$(dirname "$0")/../resources/icons"
for size in 16 22 32 48 64 128 256; do
    convert -background none -density 300 squadlink.svg -resize "${size}x${size}" \
        "PNG32:squadlink-${size}.png"
done
