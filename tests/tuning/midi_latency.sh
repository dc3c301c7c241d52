#!/usr/bin/env bash
# Callback-to-visible latency: a JACK sender stamps each control change as it sends it, the
# receiver stamps the moment value_or_default returns it. Prints the median and spread in ms.
#   midi_latency.sh MIDI_SEND MIDI_RECEIVE [COUNT [PERIOD_FRAMES]]
set -u
sender=$(readlink -f "$1")
receiver=$(readlink -f "$2")
count=${3:-300}
period=${4:-256}
here=$(dirname "$(readlink -f "$0")")
work=$(mktemp -d)
. "$here/jack_session.sh"
trap 'end_session; rm -rf "$work"' EXIT

start_jack "$period" || exit 1
name="tuning-latency-$$"
start_sender "$name" --latency "$count" 1 || exit 1
env -u DISPLAY -u WAYLAND_DISPLAY "$receiver" --latency "$count" 1 > "$work/seen" || exit 1
wait_sender "$name" || exit 1
grep -E '^[0-9]+ [0-9]+$' "$work/$name.out" > "$work/sent"
awk 'NR == FNR { sent[$1] = $2; next } $1 in sent { print ($2 - sent[$1]) / 1e6 }' \
    "$work/sent" "$work/seen" | sort -n > "$work/ms"
awk -v period="$period" -v count="$count" '{ ms[NR] = $1 } END {
    printf "%d of %d messages seen, JACK period %d frames at 48 kHz (%.2f ms)\n", NR, count,
        period, period / 48
    printf "latency ms: median %.3f  p10 %.3f  p90 %.3f  min %.3f  max %.3f\n",
        ms[int((NR + 1) / 2)], ms[int(NR * 0.1) + 1], ms[int(NR * 0.9)], ms[1], ms[NR] }' "$work/ms"
