#!/usr/bin/env bash
# Configures and builds one MinGW preset, then checks the result is a self-contained Windows
# GUI program with the project's icon and version: build_preset.sh SOURCE_DIR mingw64|mingw32
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/wine_session.sh"
source_dir=$1 preset=$2
case "$preset" in
mingw64) triple=x86_64-w64-mingw32 ;;
mingw32) triple=i686-w64-mingw32 ;;
*) fail "unknown preset $preset" ;;
esac
require_tools "$triple-g++-posix" "$triple-windres" "$triple-objdump"
cd "$source_dir" || fail "no $source_dir"
cmake --preset "$preset" >/dev/null || fail "configuring $preset"
cmake --build --preset "$preset" -j 2 || fail "building $preset"

exe=build-$preset/demo.exe
headers=$("$triple-objdump" -p "$exe")
grep -q 'Subsystem.*Windows GUI' <<<"$headers" || fail "$exe is not a GUI program"
# Only what every Windows ships: no libstdc++, libgcc or winpthread DLL beside the .exe.
for dll in $(echo "$headers" | sed -n 's/.*DLL Name: //p' | tr 'A-Z' 'a-z'); do
    case " gdi32.dll glu32.dll kernel32.dll msvcrt.dll opengl32.dll user32.dll winmm.dll " in
    *" $dll "*) ;;
    *) fail "$exe needs $dll" ;;
    esac
done
resources=$("$triple-windres" -i "$exe" -O rc 2>/dev/null)
grep -q 'level=""asInvoker"" uiAccess=""false""' <<<"$resources" ||
    fail "$exe carries no asInvoker manifest"
resources_ok "$exe" "build-$preset"
resources_ok "build-$preset/demo-capture.exe" "build-$preset"
echo "$exe: $(stat -c %s "$exe") bytes"
