#!/usr/bin/env bash
# The real demo's music through a PulseAudio server: demo_heard.sh DEMO SOUND_MATCH
#   what the null sink's monitor records while the demo plays is data/tune.mp3 (correlation and
#   level); with no music file, and with the server gone, the demo plays on in silence
set -u
here=$(dirname "$(readlink -f "$0")")
. "$here/../support/x_session.sh"
. "$here/../support/trivial_data.sh"
. "$here/../support/sound_server.sh"
in_x_session "$@"
demo=$(readlink -f "$1") match=$(readlink -f "$2") tune=$(readlink -f data/tune.mp3)
work=$(mktemp -d)
trap 'kill $pid 2> /dev/null; sound_server_stop; rm -rf "$work"' EXIT
sound_server_start || exit 1
make_trivial_data "$work" && cp "$tune" "$work/data/" && cd "$work" || exit 1
export SDL_AUDIODRIVER=pulseaudio

play() { # starts the demo and waits for its window
    "$demo" 2>> demo.err &
    pid=$!
    wid=$(find_window "avada kedabra!" 60)
}
stop() { [ -n "$wid" ] && press "$wid" Escape; wait $pid; }

play
sound_record 12 heard.f32
check "what the demo played is the tune: $(sound_compare "$match" "$tune" heard.f32 10 | tail -n 1)" \
    'sound_compare "$match" "$tune" heard.f32 10 > /dev/null'
stop
mv data/tune.mp3 tune.mp3
play
first=$(screen_checksum)
sound_record 3 quiet.f32
check "no music file: silence" 'sound_is_silent quiet.f32'
check "no music file: the picture moves on" '[ "$first" != "$(screen_checksum)" ]'
stop
mv tune.mp3 data/
sound_server_stop
play
first=$(screen_checksum)
sleep 1
check "no server: the demo plays on in silence" 'kill -0 $pid && [ "$first" != "$(screen_checksum)" ]'
stop
exit $fail
