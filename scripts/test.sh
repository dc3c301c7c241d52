#!/usr/bin/env bash
# Installs what is missing, builds, and runs the whole test suite.
# Extra arguments go to ctest (e.g. -L unit, or -LE soak to skip the long runs).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake --preset default >/dev/null
cmake --build --preset default -j"$(nproc)"
export SDL_AUDIODRIVER=${SDL_AUDIODRIVER:-dummy}
# The soak run belongs to scripts/hardening.sh, the bench runs to whoever measures: left out here
# unless labels are asked for.
labels=(-LE 'soak|bench')
for arg in "$@"; do case $arg in -L* | --label*) labels=() ;; esac; done
ctest --preset default -j"$(nproc)" "${labels[@]}" "$@"
