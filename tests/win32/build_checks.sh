#!/usr/bin/env bash
# Cross-compiles the Windows-side checks: build_checks.sh SOURCE_DIR BUILD_DIR
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/wine_session.sh"
require_tools x86_64-w64-mingw32-g++-posix x86_64-w64-mingw32-windres
cmake -S "$here/checks" -B "$2" -DCMAKE_BUILD_TYPE=Release \
    --toolchain "$1/cmake/toolchain-mingw64.cmake" >/dev/null || fail "configuring the checks"
cmake --build "$2" -j 2 || fail "building the checks"
