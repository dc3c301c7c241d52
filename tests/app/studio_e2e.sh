#!/usr/bin/env bash
# The studio end to end under Xvfb with a window manager, its music on SDL's dummy driver and a
# JACK sender turning controller 7: a bad option exits 2 with its reason; started at 102 s and
# paused it stands still; key 8 shows the orb scene's first frame as the capture tool renders it;
# S scales that frame and, after 1/4, shows it whole again; it plays on after Space, moves on
# Page Down, and Escape ends it with 0, the tuned line on the clipboard as in a plain run.
#   studio_e2e.sh DEMO DEMO_CAPTURE MIDI_SEND   (from the folder that holds data/)
set -u
here=$(dirname "$(readlink -f "$0")")
. "$here/../support/x_session.sh"
. "$here/../support/jack_session.sh"
in_x_session "$@"
demo=$(readlink -f "$1") capture=$(readlink -f "$2") sender=$(readlink -f "$3")
work=$(mktemp -d)
trap 'end_session; rm -rf "$work"' EXIT
export SDL_AUDIODRIVER=dummy

"$demo" --studio --loop 9:3 > /dev/null 2> "$work/bad.err"
code=$?
check "--loop 9:3: exit 2 with its reason (got $code)" \
    '[ $code -eq 2 ] && [ "$(cat "$work/bad.err")" = "demo: --loop: 9:3 ends before it starts" ]'

orb_ms=$("$capture" --parameters --to 102 2> /dev/null | awk -F, '$3 == 8 { print $1; exit }')

start_jack || exit 1
start_sender a b0,07,40 || exit 1
# Its own tuning file: one the makers left in the working directory must not leak in.
"$demo" --studio --from 102 --tuning-file "$work/t" > "$work/studio.out" 2> "$work/studio.err" &
pid=$!
wid=$(find_window "avada kedabra!" 30) || { echo "FAIL: no studio window"; exit 1; }
grab "$work/first.rgb" && wait_for "the studio drew no frame" $pid differs "$work/first.rgb"
size=$(xwininfo -id "$wid" | awk '/Width:/ { w = $2 } /Height:/ { h = $2 } END { print w "x" h }')
check "a 1024 x 576 window (got $size)" '[ "$size" = 1024x576 ]'
press "$wid" Tab space
check "paused: the picture stands still while the studio draws" 'still "$work/paused.rgb"'

press "$wid" 8
wait_for "key 8 moved nothing" $pid differs "$work/paused.rgb" && still "$work/orb.rgb"
# The window's picture is not bit for bit the capture's offscreen one: the frame it shows must be
# nearer the capture's frame at scene 8's start than the frames either side of it.
"$capture" --from "$(((orb_ms - 17) / 1000)).$(printf %03d $(((orb_ms - 17) % 1000)))" \
    --to "$(((orb_ms + 17) / 1000)).$(printf %03d $(((orb_ms + 17) % 1000)))" --size 1024x576 \
    --out "$work/frames/" > /dev/null 2>&1
psnr() { ffmpeg -f rawvideo -pix_fmt rgb24 -video_size 1024x576 -i "$work/orb.rgb" -i "$1" \
    -lavfi psnr -f null - 2>&1 | sed -n 's/.*average:\([^ ]*\).*/\1/p'; }
scores=$(for frame in "$work"/frames/*.png; do psnr "$frame"; done | tr '\n' ' ')
check "key 8: nearest the capture's first frame of scene 8 at $orb_ms ms (PSNR $scores)" \
    'awk -v s="$scores" "BEGIN { split(s, p, \" \"); exit !(p[2] > p[1] && p[2] > p[3] && p[2] >= 35) }"'

press "$wid" s
check "S: the paused frame at half size" 'wait_for "S changed nothing" $pid differs "$work/orb.rgb"'
press "$wid" s s
check "S twice more: full size, the same frame again" 'back_to "$work/orb.rgb" 20'

press "$wid" space
check "resumed: the picture moves" 'wait_for "still after Space" $pid differs "$work/orb.rgb" &&
    grab "$work/playing.rgb" && wait_for "still after a frame" $pid differs "$work/playing.rgb"'
press "$wid" Next
check "Page Down: another picture" 'wait_for "the same picture" $pid differs "$work/playing.rgb.now"'

press "$wid" Escape
for _ in $(seq 100); do kill -0 $pid 2> /dev/null || break; sleep 0.1; done
kill -9 $pid 2> /dev/null
wait $pid
code=$?
check "Escape: exit code 0 (got $code)" '[ $code -eq 0 ]'
check "the clipboard holds the tuned line" \
    '[ "$(xclip -o -selection clipboard)" = "7:0.50(64) " ]'
check "nothing on stderr" '[ ! -s "$work/studio.err" ]'
check "the overlay's frame figure at the end" \
    'grep -Eq "^studio: frame time, scene [1-9], the last second: [1-9][0-9]* frames, median" "$work/studio.out"'
cat "$work/studio.out"
exit $fail
