#!/usr/bin/env bash
# The demo itself with a MIDI device: under Xvfb with a window manager and a JACK server of our own,
# a sender's messages tune the running demo; after Escape the clipboard holds exactly the tuned
# line. No server and nothing touched are midi_device_e2e.sh's and clipboard_test.cpp's.
#   demo_midi_e2e.sh MIDI_SEND DEMO        (exit 77: no demo built yet)
set -u
[ -x "$2" ] || { echo "skipped: no demo at $2"; exit 77; }
here=$(dirname "$(readlink -f "$0")")
. "$here/../support/x_session.sh"
. "$here/../support/jack_session.sh"
. "$here/../support/trivial_data.sh"
in_x_session "$@"
sender=$(readlink -f "$1") demo=$(readlink -f "$2")
work=$(mktemp -d)
trap 'end_session; rm -rf "$work"' EXIT
make_trivial_data "$work"
cd "$work"

start_jack || exit 1
start_sender tuning b0,02,40 b1,0d,7f 90,03,64 80,03,00 || exit 1
expected="2:0.50(64) 3:0.00(0) 13:1.00(127) "
printf 'left alone' | xclip -selection clipboard 2> /dev/null
"$demo" > demo.out 2> demo.err &
pid=$!
wid=$(find_window "avada kedabra!" 30)
wait_sender tuning
code=$?
check "sender found the demo and sent (exit $code)" '[ $code -eq 0 ]'
sleep 1
press "$wid" Escape
for _ in $(seq 100); do kill -0 $pid 2> /dev/null || break; sleep 0.05; done
kill -9 $pid 2> /dev/null
wait $pid
code=$?
xclip -o -selection clipboard > clipboard.txt
check "demo exit 0 (got $code)" '[ $code = 0 ]'
check "the clipboard holds exactly the tuned line ($(cat clipboard.txt))" \
    '[ "$(cat clipboard.txt)" = "$expected" ] && [ "$(wc -c < clipboard.txt)" -eq ${#expected} ]'
# The rest of the demo may have its say (audio without a sound card); MIDI and clipboard may not.
check "no MIDI or clipboard output" \
    '! grep -Eiq "jack|midi|seq|xclip|xsel|wl-copy|clipboard" demo.out demo.err'
exit $fail
