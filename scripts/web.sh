#!/usr/bin/env bash
# Installs what is missing, builds the page and serves it on this machine: open the address it
# prints in a browser. build-web/site/ is a static folder: any web server can host it as it is.
# web.sh [PORT] (default 8000)
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh web
export NODE_PATH=/usr/share/nodejs # Debian's emcc runs its tools with Debian's node modules
cmake --preset web >/dev/null
cmake --build --preset web -j"$(nproc)"
port=${1:-8000}
echo "Open http://127.0.0.1:$port/ in a browser (Ctrl+C stops the server)."
exec python3 -m http.server "$port" --bind 127.0.0.1 --directory build-web/site
