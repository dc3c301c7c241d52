#!/usr/bin/env bash
# The studio's session end to end under Xvfb with JACK senders: bad tuning input exits 2 naming
# it; a JACK port made after the start is heard; after kill -9 the tuning file holds the knobs
# whole and starts the next run; a broken shader keeps the last picture, no box, its file and
# line told; mended, the picture changes (the time it took is printed).
#   studio_keep_e2e.sh DEMO MIDI_SEND
set -u
here=$(dirname "$(readlink -f "$0")")
. "$here/../support/x_session.sh"
. "$here/../support/jack_session.sh"
. "$here/../support/trivial_data.sh"
in_x_session "$@"
demo=$(readlink -f "$1") sender=$(readlink -f "$2")
work=$(mktemp -d)
trap 'end_session; rm -rf "$work"' EXIT
export SDL_AUDIODRIVER=dummy
make_trivial_data "$work"
cd "$work" && mkdir keep
studio() { # LOG: a studio run at 102 s keeping its tuning in keep/
    "$demo" --studio --from 102 --tuning-file keep/tuning.txt > "$1" 2>&1 &
    pid=$!
    wid=$(find_window "avada kedabra!" 30) || { echo "FAIL: no studio window"; exit 1; }
}

"$demo" --tuning "2:0.50(6x)" 2> bad.err
check "a malformed --tuning: exit 2 naming the entry" '[ $? -eq 2 ] && grep -q "(6x)" bad.err'
"$demo" --studio --tuning-file keep 2> bad.err
check "an unreadable --tuning-file: exit 2 naming it" '[ $? -eq 2 ] && grep -q "keep" bad.err'

start_jack && start_sender a b0,0d,7f || exit 1
studio first.out
start_sender b b0,02,40 && wait_sender b
check "a JACK port made after the start was heard" '[ $? -eq 0 ]'
knobs="2:0.50(64) 13:1.00(127) "
wait_for "the knobs were never saved" $pid eval '[ "$(cat keep/tuning.txt)" = "$knobs" ]'
kill -9 $pid
wait $pid
check "kill -9: the tuning file holds the knobs whole" \
    '[ "$(cat keep/tuning.txt)" = "$knobs" ] && [ "$(ls keep)" = tuning.txt ]'
# A synchronous JACK server holds its cycles for a killed client, one 5 s timeout after another,
# until it has dropped it (and would take as long to stop): a fresh one serves the next studio.
kill -9 $(pgrep -P "${session_pids[0]}")
end_session
start_jack || exit 1
window_gone "avada kedabra!" 30 || { echo "FAIL: the killed studio's window stayed"; exit 1; }

studio second.out
grab first.rgb && wait_for "the studio drew no frame" $pid differs first.rgb
press "$wid" Tab space
still good.rgb
printf '#version 120\nvoid main(void) { oops; }\n' > data/ball8.shader
check "the broken shader's file and line were told" \
    'wait_for "not told" $pid grep -q "^studio: data/ball8.shader:2: " second.out'
check "a broken shader: the last good picture stays, not black, and no box" \
    'still broken.rgb && cmp -s good.rgb broken.rgb &&
     [ -n "$(tr -d "\000-\040" < good.rgb | head -c 1)" ] && [ -z "$(boxes)" ]'
printf '#version 120\nvoid main(void) { gl_FragColor = vec4(1.0); }\n' > ball8.new
start=$(date +%s%N)
mv ball8.new data/ball8.shader
check "mended: the picture changes" 'wait_for "the mended shader never showed" $pid differs good.rgb'
echo "mended: the picture changed after $((($(date +%s%N) - start) / 1000000)) ms, grabs included"
press "$wid" Escape
wait $pid
check "Escape: exit 0, the preloaded knobs on the clipboard" \
    '[ $? -eq 0 ] && [ "$(xclip -o -selection clipboard)" = "$knobs" ]'
cat second.out
exit $fail
