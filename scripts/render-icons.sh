#!/usr/bin/env bash
# Renders the program's icon, res/desktop/icon.svg, to the PNG sizes that are installed beside
# it. Run after changing the SVG; the PNGs are kept in the repository so that builds need no
# SVG renderer. Needs rsvg-convert (Debian: librsvg2-bin).
set -euo pipefail
dir="$(cd "$(dirname "$0")/.." && pwd)/res/desktop"
for size in 48 256; do
    rsvg-convert -w "$size" -h "$size" "$dir/icon.svg" -o "$dir/icon-$size.png"
done
