#!/usr/bin/env bash
# MIDI devices end to end: two JACK senders, the real RtMidi input and the process-wide bank of a
# receiver, whose line reaches the X clipboard at exit. With no server: no devices, no output.
#   midi_device_e2e.sh MIDI_SEND MIDI_RECEIVE
set -u
sender=$(readlink -f "$1")
receiver=$(readlink -f "$2")
here=$(dirname "$(readlink -f "$0")")
work=$(mktemp -d)
. "$here/jack_session.sh"
trap 'end_session; rm -rf "$work"' EXIT
cd "$work"
fail=0
check() { if eval "$2"; then echo "ok: $1"; else echo "FAIL: $1"; fail=1; fi; }

# No server: the bank starts at once with no device and says nothing.
start=$(date +%s%N)
JACK_DEFAULT_SERVER="tuning-no-server-$$" env -u DISPLAY -u WAYLAND_DISPLAY \
    "$receiver" > none.out 2> none.err
code=$?
echo "no server: the receiver ran in $((($(date +%s%N) - start) / 1000000)) ms"
check "no server: exit 0 (got $code)" '[ $code -eq 0 ]'
check "no server: no devices, empty line" '[ "$(cat none.out)" = "$(printf "devices 0\n")" ]'
check "no server: nothing on stderr" '[ ! -s none.err ]'

start_jack || exit 1
# Sysex first: if it got through, its first bytes would touch controller 0x7d.
start_sender "tuning-a-$$" f0,7d,01,02,f7 b0,07,7f 90,3c,64 c0,05 f8 b3,07,40 || exit 1
start_sender "tuning-b-$$" b5,14,21 || exit 1
expected="0:0.00(0) 5:0.00(0) 7:0.50(64) 20:0.26(33) 60:0.79(100) "
env -u WAYLAND_DISPLAY xvfb-run -a -n $((100 + RANDOM % 800)) sh -c \
    '"$0" 0=0 5=0 7=64 20=33 60=100 > bank.out 2> bank.err; echo $? > bank.code
     xclip -o -selection clipboard > clipboard.out' "$receiver"
cat bank.out
check "receiver exit 0" '[ "$(cat bank.code)" = 0 ]'
check "both senders opened as devices" '[ "$(head -n 1 bank.out)" = "devices 2" ]'
check "every short message landed, sysex did not" '[ "$(sed -n 2p bank.out)" = "$expected" ]'
check "nothing on stderr" '[ ! -s bank.err ]'
check "the clipboard holds exactly the line" '[ "$(cat clipboard.out)" = "$expected" ]'
check "the line has no line end" '[ "$(wc -c < clipboard.out)" -eq ${#expected} ]'
for name in "tuning-a-$$" "tuning-b-$$"; do
    wait_sender "$name"
    code=$?
    check "sender $name found its reader and sent (exit $code)" '[ $code -eq 0 ]'
done
exit $fail
