#!/usr/bin/env bash
# Installs what is missing, builds, and runs the whole test suite.
# Extra arguments go to ctest (e.g. -L unit, or -LE soak to skip the long runs).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake --preset default >/dev/null
cmake --build --preset default -j"$(nproc)"
export SDL_AUDIODRIVER=${SDL_AUDIODRIVER:-dummy}
ctest --preset default -j"$(nproc)" "$@"
