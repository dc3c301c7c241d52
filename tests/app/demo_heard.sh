#!/usr/bin/env bash
# The real demo's music through a PulseAudio server: demo_heard.sh DEMO SOUND_MATCH AUDIO_TEST
#   what the null sink's monitor records while the demo plays is data/tune.mp3 (correlation and
#   level), and the audio layer's tests pass on that server. No device at all is audio_test's own
#   case; a missing or broken music file, demo_window_e2e's.
set -u
here=$(dirname "$(readlink -f "$0")")
. "$here/../support/x_session.sh"
. "$here/../support/trivial_data.sh"
. "$here/../support/sound_server.sh"
in_x_session "$@"
demo=$(readlink -f "$1") match=$(readlink -f "$2") audio_test=$(readlink -f "$3") tune=$(readlink -f data/tune.mp3)
work=$(mktemp -d) pid=
trap 'kill $pid 2> /dev/null; sound_server_stop; rm -rf "$work"' EXIT
sound_server_start || exit 1
make_trivial_data "$work" && cp "$tune" "$work/data/" && cd "$work" || exit 1
export SDL_AUDIODRIVER=pulseaudio

"$demo" 2> demo.err &
pid=$!
wid=$(find_window "avada kedabra!" 60)
sound_record 12 heard.f32
check "what the demo played is the tune: $(sound_compare "$match" "$tune" heard.f32 6 | tail -n 1)" \
    'sound_compare "$match" "$tune" heard.f32 6 > /dev/null'
[ -n "$wid" ] && press "$wid" Escape
wait $pid
check "the audio layer's tests pass on the server" '"$audio_test" > audio_test.log'
exit $fail
