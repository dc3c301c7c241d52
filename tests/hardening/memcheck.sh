#!/usr/bin/env bash
# Valgrind's memcheck over one headless frame of demo-capture (the demo's own start-up, shader
# build, textures and frame function on llvmpipe): no invalid access, no use of an undefined value
# and nothing definitely or indirectly lost in the project's code. What Mesa, LLVM, SDL and the
# other system libraries do is suppressed by library in valgrind.supp. Run from the folder that
# holds data/.
#   memcheck.sh DEMO_CAPTURE SUPPRESSIONS
set -u
. "$(dirname "$0")/../support/x_session.sh" # check
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# One llvmpipe thread: valgrind serialises threads anyway. The driver is unloaded before the leak
# check, so its debug information is kept for the suppressions to name it.
env -u DISPLAY -u WAYLAND_DISPLAY SDL_VIDEODRIVER=offscreen LP_NUM_THREADS=0 \
    JACK_DEFAULT_SERVER=memcheck-no-server \
    valgrind --tool=memcheck --error-exitcode=99 --leak-check=full \
    --show-leak-kinds=definite,indirect --errors-for-leak-kinds=definite,indirect \
    --track-origins=yes --keep-debuginfo=yes --num-callers=40 --suppressions="$2" \
    --log-file="$work/memcheck.log" \
    "$1" --at 1 --fps 10 --size 1024x512 --out "$work/frame.png" > "$work/capture.out" 2>&1
code=$?
grep -E 'ERROR SUMMARY|definitely lost|indirectly lost|possibly lost|suppressed:' \
    "$work/memcheck.log" | sed 's/^==[0-9]*== *//'
check "demo-capture exits 0 with no memcheck error (got $code) and wrote its frame" \
    '[ $code -eq 0 ] && [ -s "$work/frame.png" ]'
check "no errors" 'grep -q "ERROR SUMMARY: 0 errors" "$work/memcheck.log"'
[ "$fail" -eq 0 ] || { cat "$work/capture.out"; grep -v '^--' "$work/memcheck.log" | head -n 300; }
exit $fail
