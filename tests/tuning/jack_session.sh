# A JACK server of our own for the MIDI end-to-end runs, senders on it, and the cleanup of both.
# Sourced by the scripts beside it; the caller sets $work (a scratch folder) and $sender (midi_send).
export JACK_DEFAULT_SERVER="tuning-e2e-$$"
session_pids=()
declare -A sender_pids

end_session() {
    local pid
    for pid in "${session_pids[@]}"; do kill "$pid" 2>/dev/null; done
    for pid in "${session_pids[@]}"; do wait "$pid" 2>/dev/null; done
    session_pids=()
}

# start_jack [PERIOD_FRAMES]: the dummy driver at 48 kHz, no real-time scheduling needed. The time
# limit ends the server even if this script is killed before its cleanup runs.
start_jack() {
    timeout 300 jackd --no-realtime -n "$JACK_DEFAULT_SERVER" -d dummy -r 48000 -p "${1:-256}" \
        > "$work/jackd.log" 2>&1 &
    session_pids+=($!)
    local _
    for _ in $(seq 100); do
        jack_lsp > /dev/null 2>&1 && return 0
        sleep 0.05
    done
    echo "FAIL: jackd did not start"
    cat "$work/jackd.log"
    return 1
}

# start_sender NAME ARGS...: returns once its port exists; its output goes to $work/NAME.out.
start_sender() {
    local name=$1
    "$sender" "$@" > "$work/$name.out" 2>&1 &
    sender_pids[$name]=$!
    session_pids+=($!)
    local _
    for _ in $(seq 100); do
        grep -q '^ready' "$work/$name.out" && return 0
        sleep 0.05
    done
    echo "FAIL: sender $name has no port"
    cat "$work/$name.out"
    return 1
}

# wait_sender NAME: its exit status, once it has sent everything (or given up waiting for a reader).
wait_sender() {
    wait "${sender_pids[$1]}"
}
