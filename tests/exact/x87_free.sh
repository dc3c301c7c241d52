#!/usr/bin/env bash
# No x87 arithmetic in the numeric core of the 32-bit Windows build, only SSE2: x87_free.sh
# MINGW32_BUILD_DIR. The x87 loads and stores the i386 convention needs to return a float are fine,
# and so are fabs and fchs between them: they only set the sign bit, which rounds nothing.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../win32/wine_session.sh"
build=$1
require_tools i686-w64-mingw32-objdump
objects=$(find "$build/src/CMakeFiles/demo_core.dir" -name '*.obj' \
    \( -path '*/timeline/*' -o -path '*/tuning/*' -o -name 'noise.cpp.obj' \))
[ -n "$objects" ] || fail "no objects of the numeric core in $build (build the mingw32 preset)"

x87=$'\tf(i?(add|subr?|mul|divr?)[sl]?p?|sqrt|sin|cos|sincos|prem1?|p?tan|patan|yl2x(p1)?|2xm1|scale|rndint|xtract)( |$)'
sse=$'\t(add|sub|mul|div|sqrt)s[sd] '
found=0 used_sse=0
for object in $objects; do
    code=$(i686-w64-mingw32-objdump -d --no-show-raw-insn "$object")
    hits=$(grep -cE "$x87" <<<"$code")
    [ "$hits" -gt 0 ] && echo "$(basename "$object"): $hits x87 arithmetic instructions" &&
        grep -E "$x87" <<<"$code" | head -n 3
    found=$((found + hits))
    used_sse=$((used_sse + $(grep -cE "$sse" <<<"$code")))
done
echo "$(wc -w <<<"$objects") objects: $found x87 arithmetic, $used_sse SSE2 arithmetic instructions"
[ "$found" -eq 0 ] || fail "x87 arithmetic in the numeric core"
[ "$used_sse" -gt 0 ] || fail "no SSE2 arithmetic found: is the pattern still right?"
