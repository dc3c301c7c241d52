#!/usr/bin/env bash
# MIDI devices end to end: two JACK senders, the real RtMidi input and the process-wide bank of a
# receiver, whose line reaches the X clipboard at exit. With no server: no devices, no output.
#   midi_device_e2e.sh MIDI_SEND MIDI_RECEIVE
set -u
here=$(dirname "$(readlink -f "$0")")
. "$here/../support/x_session.sh"
. "$here/../support/jack_session.sh"
in_x_session "$@"
sender=$(readlink -f "$1") receiver=$(readlink -f "$2")
work=$(mktemp -d)
trap 'end_session; rm -rf "$work"' EXIT
cd "$work"

JACK_DEFAULT_SERVER=no-server env -u DISPLAY "$receiver" > none.out 2> none.err
code=$?
check "no server: exit 0, no devices, empty line, nothing on stderr (exit $code)" \
    '[ $code -eq 0 ] && [ "$(cat none.out)" = "$(printf "devices 0\n")" ] && [ ! -s none.err ]'

start_jack || exit 1
# Sysex first: if it got through, its first bytes would touch controller 0x7d.
start_sender a f0,7d,01,02,f7 b0,07,7f 90,3c,64 c0,05 f8 b3,07,40 || exit 1
start_sender b b5,14,21 || exit 1
expected="0:0.00(0) 5:0.00(0) 7:0.50(64) 20:0.26(33) 60:0.79(100) "
"$receiver" 0=0 5=0 7=64 20=33 60=100 > bank.out 2> bank.err
code=$?
xclip -o -selection clipboard > clipboard.out
cat bank.out
check "receiver exit 0 with nothing on stderr (exit $code)" '[ $code = 0 ] && [ ! -s bank.err ]'
check "both senders opened as devices" '[ "$(head -n 1 bank.out)" = "devices 2" ]'
check "every short message landed, sysex did not" '[ "$(sed -n 2p bank.out)" = "$expected" ]'
check "the clipboard holds exactly the line, no line end" \
    '[ "$(cat clipboard.out)" = "$expected" ] && [ "$(wc -c < clipboard.out)" -eq ${#expected} ]'
for name in a b; do
    wait_sender $name
    code=$?
    check "sender $name found its reader and sent (exit $code)" '[ $code -eq 0 ]'
done
exit $fail
