#!/usr/bin/env bash
# The 64-bit Windows demo-capture under Wine writes Linux's dumps byte for byte:
# wine_win64.sh WINDOWS_DEMO_CAPTURE_EXE NATIVE_DEMO_CAPTURE
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../win32/wine_session.sh"
source "$here/dumps.sh"
exe=$1 native=$2
require_tools wine wineserver
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-};winealsa.drv=" # no sound card here: keep the log quiet
[ -f "$exe" ] || fail "no $exe (build the mingw64 preset)"

out=$(mktemp -d /tmp/avada-kedabra-exact.XXXXXX)
trap 'end_session; rm -rf "$out"' EXIT
write_dumps "$out/linux" "$native" || fail "the Linux dumps"
write_dumps "$out/windows" wine "$exe" || fail "the Windows dumps"
compare_dumps "$out/linux" "$out/windows" || fail "Windows computes other numbers"
