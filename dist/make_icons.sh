#!/bin/sh
# Cuts the application icon from the logo art (the blue ship) at the sizes
# desktops look for. Needs ImageMagick; its output is committed.
set -e
here=$(dirname "$0")
for size in 48 64 128 256; do
    mkdir -p "$here/icons/${size}x${size}"
    convert "$here/../data/logo.png" -crop 124x124+246+236 +repage \
        -resize "${size}x${size}" -strip "$here/icons/${size}x${size}/korvane.png"
done
