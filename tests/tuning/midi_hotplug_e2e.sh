#!/usr/bin/env bash
# MIDI ports that come and go: a receiver that rescans as the studio does hears a JACK port made
# after its start, drops it once it is gone, and hears the next one.
#   midi_hotplug_e2e.sh MIDI_SEND MIDI_RECEIVE
set -u
here=$(dirname "$(readlink -f "$0")")
. "$here/../support/x_session.sh" # check
. "$here/../support/jack_session.sh"
sender=$(readlink -f "$1") receiver=$(readlink -f "$2")
work=$(mktemp -d)
trap 'end_session; rm -rf "$work"' EXIT
cd "$work" && start_jack || exit 1
env -u DISPLAY -u WAYLAND_DISPLAY "$receiver" --rescan 20=33 7=64 > bank.out 2>&1 &
receiver_pid=$!
start_sender a b5,14,21 && wait_sender a && sleep 0.5 && start_sender b b0,07,40 && wait_sender b
check "each port was heard, the second made once the first had gone" '[ $? -eq 0 ]'
wait $receiver_pid
check "the receiver holds both values and dropped the gone port" \
    '[ $? -eq 0 ] && [ "$(cat bank.out)" = "$(printf "devices 1\n7:0.50(64) 20:0.26(33) ")" ]'
exit $fail
