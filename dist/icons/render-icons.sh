#!/bin/sh
# Renders the PNG sizes of the program icon from its SVG (needs rsvg-convert,
# Debian package librsvg2-bin). The PNGs are checked in so that the build
# does not need it; run this again after changing the SVG.
set -eu
cd "$(dirname "$0")"
for size in 16 24 32 48 64 128 256; do
  rsvg-convert --width "$size" --height "$size" --output "org.chronara.Chronara-$size.png" \
    org.chronara.Chronara.svg
done
