#!/usr/bin/env bash
# MIDI ports that come and go: a receiver that rescans as the studio does hears a JACK port
# created after its start, drops it once it is gone, and hears the next one.
#   midi_hotplug_e2e.sh MIDI_SEND MIDI_RECEIVE
set -u
here=$(dirname "$(readlink -f "$0")")
. "$here/../support/x_session.sh" # check
. "$here/../support/jack_session.sh"
sender=$(readlink -f "$1") receiver=$(readlink -f "$2")
work=$(mktemp -d)
trap 'end_session; rm -rf "$work"' EXIT
cd "$work"

start_jack || exit 1
env -u DISPLAY -u WAYLAND_DISPLAY "$receiver" --rescan 20=33 7=64 > bank.out 2> bank.err &
receiver_pid=$!
sleep 0.5
start_sender a b5,14,21 && wait_sender a
check "a port made after the start was opened and heard" '[ $? -eq 0 ]'
sleep 0.5 # rescans meanwhile find port a gone
start_sender b b0,07,40 && wait_sender b
check "so was the next one" '[ $? -eq 0 ]'
wait $receiver_pid
code=$?
cat bank.out bank.err
check "receiver exit 0 with nothing on stderr (exit $code)" '[ $code = 0 ] && [ ! -s bank.err ]'
check "both messages landed" '[ "$(sed -n 2p bank.out)" = "7:0.50(64) 20:0.26(33) " ]'
check "the port that went away was dropped" '[ "$(head -n 1 bank.out)" = "devices 1" ]'
exit $fail
