# shellcheck shell=bash
# A JACK server of our own for the MIDI end-to-end runs and midi_send senders on it, all ended by
# end_session. The caller sets $work (a scratch folder) and $sender (midi_send).
#   start_jack [PERIOD_FRAMES]   the dummy driver at 48 kHz, no real-time scheduling needed;
#                                synchronous, so a client late for a cycle (a busy machine
#                                without real-time threads) delays it, up to 5 s rather than
#                                0.5, instead of losing its MIDI
#   start_sender NAME ARGS...    returns once its port exists; its output goes to $work/NAME.out
#   wait_sender NAME             its exit status, once it has sent all (or found no reader)
. "$(dirname "${BASH_SOURCE[0]}")/wait.sh"
# A server name from a pool of eight, each held by a lock for the run: JACK keeps the entry of a
# killed server in its registry until a server of the same name starts, and refuses a ninth
# entry, so a name per run would stop every JACK test on the machine after eight kills. The
# registry is per user, and so are the locks: a folder of our own, since another user's lock file
# in /tmp cannot be opened for writing.
jack_locks="${TMPDIR:-/tmp}/avada-kedabra-jack-$(id -u)"
mkdir -p -m 700 "$jack_locks" && [ -O "$jack_locks" ] ||
    { echo "FAIL: $jack_locks is not a folder of ours"; exit 1; }
jack_slot=0
until exec {jack_lock}> "$jack_locks/$jack_slot.lock" && flock -n "$jack_lock"; do
    [ -z "${jack_lock:-}" ] || exec {jack_lock}>&-
    jack_slot=$(((jack_slot + 1) % 8))
    [ $jack_slot -ne 0 ] || sleep 0.1 # all eight in use: one will be free
done
export JACK_DEFAULT_SERVER="e2e-$jack_slot"
session_pids=()
declare -A sender_pids

end_session() {
    local pid
    for pid in "${session_pids[@]}"; do kill "$pid" 2> /dev/null; done
    for pid in "${session_pids[@]}"; do wait "$pid" 2> /dev/null; done
    session_pids=()
}

# The time limits end the server and senders even if the script is killed before its cleanup.
start_jack() {
    timeout 600 jackd --no-realtime --sync --timeout 5000 -n "$JACK_DEFAULT_SERVER" -d dummy \
        -r 48000 -p "${1:-256}" > "$work/jackd.log" 2>&1 &
    session_pids+=($!)
    wait_for "jackd did not start" $! jack_lsp || { cat "$work/jackd.log"; return 1; }
}
start_sender() {
    local name=$1
    timeout 600 "$sender" "$@" > "$work/$name.out" 2>&1 &
    sender_pids[$name]=$!
    session_pids+=($!)
    wait_for "sender $name has no port" $! grep -q '^ready' "$work/$name.out" ||
        { cat "$work/$name.out"; return 1; }
}
wait_sender() { wait "${sender_pids[$1]}"; }
