#!/usr/bin/env bash
# Packs the built Windows demo with CPack and checks the archive: package.sh BUILD_DIR
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/wine_session.sh"
build=$(realpath "$1")
[ -f "$build/CPackConfig.cmake" ] || fail "$build is not a configured Windows build"
out=$(mktemp -d /tmp/avada-kedabra-package.XXXXXX)
trap 'rm -rf "$out"' EXIT
(cd "$build" && cpack -G ZIP -B "$out" >/dev/null) || fail "cpack failed"
archive=$(ls "$out"/*.zip 2>/dev/null | head -n 1)
[ -n "$archive" ] || fail "cpack made no .zip"
listing=$(cd "$out" && cmake -E tar tf "$archive")
echo "$(basename "$archive"): $(stat -c %s "$archive") bytes"
echo "$listing"
top=$(echo "$listing" | head -n 1 | cut -d/ -f1)
grep -qx "$top/demo.exe" <<<"$listing" || fail "no demo.exe at the top of the archive"
grep -q "^$top/data/" <<<"$listing" || fail "no data/ beside demo.exe"
# Everything under data/ in the source goes along.
for file in $(cd "$here/../../data" && find . -type f | sed 's|^\./||'); do
    grep -qx "$top/data/$file" <<<"$listing" || fail "data/$file is missing from the archive"
done
# The licences: the project's, and the notices of what the .exe links in.
for file in LICENSE.txt THIRD-PARTY-NOTICES.txt; do
    grep -qx "$top/$file" <<<"$listing" || fail "no $file beside demo.exe"
done
(cd "$out" && cmake -E tar xf "$archive") || fail "cannot unpack $archive"
grep -q "^License: ZPL-2.1" "$out/$top/THIRD-PARTY-NOTICES.txt" &&
    grep -q "^License: Zlib" "$out/$top/THIRD-PARTY-NOTICES.txt" &&
    grep -q "^License: GPL-3+ with GCC-exception-3.1" "$out/$top/THIRD-PARTY-NOTICES.txt" ||
    fail "the notices lack the MinGW-w64 runtime's, zlib's or libstdc++'s licence"
resources_ok "$out/$top/demo.exe" "$build"
