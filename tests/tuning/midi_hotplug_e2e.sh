#!/usr/bin/env bash
# MIDI ports that come and go, with a receiver that rescans as the studio does: the port open at
# its start stays the same open port through the first rescans and loses none of the 40 messages
# sent across them; once that port is gone it is dropped, and a port made after the start is heard.
#   midi_hotplug_e2e.sh MIDI_SEND MIDI_RECEIVE
set -u
here=$(dirname "$(readlink -f "$0")")
. "$here/../support/x_session.sh" # check
. "$here/../support/jack_session.sh"
sender=$(readlink -f "$1") receiver=$(readlink -f "$2")
work=$(mktemp -d)
trap 'end_session; rm -rf "$work"' EXIT
cd "$work" && start_jack || exit 1
# Controllers 20 to 59 get 1 to 40, one every 100 ms; then b sets controller 7.
messages=() wanted=() expected="7:0.50(64) "
for k in $(seq 40); do
    messages+=("$(printf 'b5,%02x,%02x' $((19 + k)) "$k")")
    wanted+=("$((19 + k))=$k")
    expected+=$(awk -v c=$((19 + k)) -v k="$k" 'BEGIN { printf "%d:%.2f(%d) ", c, k / 127, k }')
done
start_sender a --every 100 "${messages[@]}" || exit 1
env -u DISPLAY -u WAYLAND_DISPLAY "$receiver" --rescan 7=64 "${wanted[@]}" > bank.out 2>&1 &
receiver_pid=$!
wait_sender a
code=$?
check "the port open at the start kept its reader while it sent (exit $code)" '[ $code -eq 0 ]'
# Its input port goes with the port it read.
wait_for "the receiver kept the gone port" $receiver_pid eval '! jack_lsp | grep -q "^avada kedabra"'
check "the gone port was dropped" '[ $? -eq 0 ]'
start_sender b b0,07,40 && wait_sender b
check "the port made after the start was heard" '[ $? -eq 0 ]'
wait $receiver_pid
code=$?
cat a.out b.out bank.out
check "the receiver holds every value (exit $code)" \
    '[ $code -eq 0 ] && [ "$(sed -n 2p bank.out)" = "$expected" ]'
exit $fail
