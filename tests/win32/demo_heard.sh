#!/usr/bin/env bash
# The Windows demo's music, heard under Wine through a sound server (Wine's MCI decodes the MP3
# with GStreamer): demo_heard.sh DEMO_EXE DATA_DIR SOUND_MATCH
#   what the demo plays is data/tune.mp3; with no music file it plays on in silence
set -uo pipefail
source "$(dirname "$0")/wine_session.sh"
source "$(dirname "$0")/../support/sound_server.sh"
require_tools wine xvfb-run openbox xdotool ffmpeg pulseaudio pactl parec
[ $# -eq 3 ] || fail "usage: $0 DEMO_EXE DATA_DIR SOUND_MATCH"
in_x_session "$@"
data=$(realpath "$2") match=$(realpath "$3")
folder=$(make_demo_folder "$1" "$data")
trap 'end_session; sound_server_stop; rm -rf "$folder"' EXIT
sound_server_start || fail "the sound server did not start"
# A busy test machine can starve Wine's audio thread for longer than its usual buffer lasts, and
# the recording then skips and stalls.
export PULSE_LATENCY_MSEC=400
cd "$folder" || exit 1
start_demo() {
    wine demo.exe >> wine.log 2>&1 &
    find_window "avada kedabra!" 180 > /dev/null || fail "no window 'avada kedabra!' within 180 s"
}

# Recording begins once the window shows and the music is heard (late on a busy machine); where
# the tune then is, sound_match finds out.
start_demo
sound_record_heard 12 heard.f32
sound_compare "$match" "$data/tune.mp3" heard.f32 6 || fail "what the demo played is not the tune"
end_session
rm data/tune.mp3
start_demo
first=$(screen_checksum)
sound_record 3 quiet.f32
sound_is_silent quiet.f32 || fail "sound with no music file"
[ "$first" != "$(screen_checksum)" ] || fail "the picture stopped with no music file"
echo "PASS"
