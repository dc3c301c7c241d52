#!/usr/bin/env bash
# The Windows studio under Wine, heard through a sound server: studio_e2e.sh DEMO_EXE DATA_DIR MATCH
#   a bad option exits 2 with its reason on standard error; --studio --from 102 opens a 1024 x 576
#   window whose music MCI has moved to 102 s; Tab and Space stand the picture still, S scales it
#   and, after 1/4, shows it whole again, Space plays on, Page Down moves, Escape ends with 0
set -uo pipefail
source "$(dirname "$0")/wine_session.sh"
source "$(dirname "$0")/../support/sound_server.sh"
require_tools wine xvfb-run openbox xdotool xwininfo ffmpeg pulseaudio pactl parec
[ $# -eq 3 ] || fail "usage: $0 DEMO_EXE DATA_DIR SOUND_MATCH"
in_x_session "$@"
data=$(realpath "$2") match=$(realpath "$3")
folder=$(make_demo_folder "$1" "$data")
trap 'end_session; sound_server_stop; rm -rf "$folder"' EXIT
sound_server_start || fail "the sound server did not start"
export PULSE_LATENCY_MSEC=400 # as demo_heard.sh: Wine's audio thread on a busy machine
cd "$folder" || exit 1

wine demo.exe --studio --from 200 > bad.out 2> bad.err
code=$?
[ "$code" -eq 2 ] || fail "--from 200: exit code $code, not 2"
grep -q '^demo: --from: "200" is not a time from 0 to 152 s' bad.err || fail "no reason: $(cat bad.err)"
end_session

wine demo.exe --studio --from 102 >> wine.log 2>&1 &
pid=$!
window=$(find_window "avada kedabra!" 180) || fail "no studio window within 180 s"
sound_record_heard 10 heard.f32
heard=$(sound_compare "$match" "$data/tune.mp3" heard.f32 5) || fail "not the tune: $heard"
echo "$heard"
from=$(sed -n 's/^recording from \([0-9.]*\) s.*/\1/p' <<< "$heard")
awk -v s="$from" 'BEGIN { exit !(s >= 101 && s <= 120) }' || fail "the music is at $from s, not 102"
geometry=$(xwininfo -id "$window")
for want in 'Width: 1024' 'Height: 576'; do
    grep -q "$want\$" <<< "$geometry" || fail "window not $want: $geometry"
done
wid=$window
press "$wid" Tab space
still paused.rgb || fail "the paused picture moves"
press "$wid" s
wait_for "S changed nothing" $pid differs paused.rgb || exit 1
press "$wid" s s
back_to paused.rgb 20 || fail "S twice more: not the paused picture whole again"
press "$wid" space
wait_for "the picture stands still after Space" $pid differs paused.rgb || exit 1
press "$wid" Next
press "$wid" Escape
wait_exit $pid 60
[ "$EXIT_CODE" -eq 0 ] || fail "exit code $EXIT_CODE after Escape"
echo "PASS"
