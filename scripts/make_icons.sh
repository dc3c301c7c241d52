#!/usr/bin/env bash
# Makes the icon from a frame the demo renders itself: the orb at 122 s, cut to a square around it
# and scaled to the hicolor theme's sizes and to a Windows .ico. The results are committed, so no
# build renders: run it again only when the picture should change. make_icons.sh BUILD_DIR
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath "$1")
icons=$root/packaging/icons
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
SDL_VIDEODRIVER=offscreen "$build/demo-capture" --data "$root/data" --at 122 --size 1024x512 \
    --out "$tmp/frame.png" > "$tmp/capture.log" 2>&1 || { cat "$tmp/capture.log"; exit 1; }
for size in 16 22 24 32 48 64 128 256; do
    mkdir -p "$icons/hicolor/${size}x$size/apps"
    ffmpeg -loglevel error -y -i "$tmp/frame.png" \
        -vf "crop=336:336:352:80,scale=$size:$size:flags=lanczos" -pix_fmt rgb24 \
        "$icons/hicolor/${size}x$size/apps/avada-kedabra.png"
done
# Windows takes 16 to 48 pixels as they are and 256 compressed as PNG.
icotool -c -o "$icons/avada-kedabra.ico" "$icons"/hicolor/{16x16,24x24,32x32,48x48}/apps/avada-kedabra.png \
    -r "$icons/hicolor/256x256/apps/avada-kedabra.png"
