#!/usr/bin/env bash
# Installs what is missing, builds, and plays the demo from the repository root.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake --preset default >/dev/null
cmake --build --preset default -j"$(nproc)" --target demo
exec build/demo
