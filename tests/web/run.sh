#!/usr/bin/env bash
# Runs one of the page's tests with a Python that has the DevTools client: run.sh TEST.py ARGS...
# Skips (77) without chromium, python3-websocket or ffmpeg; "build" builds the page first.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
if [ "$1" = build ]; then
    command -v emcc >/dev/null || { echo "skipped: no emcc (scripts/setup.sh installs it)"; exit 77; }
    cd "$2" && export NODE_PATH=/usr/share/nodejs &&
        cmake --preset web >/dev/null && cmake --build --preset web -j 2 >/dev/null
    exit
fi
[ -f "$2/demo.wasm" ] || { echo "skipped: no page in $2 (web.build makes it)"; exit 77; }
for tool in chromium ffmpeg; do
    command -v $tool >/dev/null || { echo "skipped: no $tool (scripts/setup.sh installs it)"; exit 77; }
done
for python in python3 /usr/bin/python3; do
    if "$python" -c 'import websocket, numpy' 2>/dev/null; then
        exec "$python" "$here/$1" "${@:2}"
    fi
done
echo "skipped: no python3-websocket or python3-numpy (scripts/setup.sh installs them)"
exit 77
