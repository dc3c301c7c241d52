# shellcheck shell=bash
# A private PulseAudio server with one null sink, for tests that check what a program plays.
# Sourced by test scripts:
#   sound_server_start            starts it; the programs started afterwards play into its sink
#   sound_record SECONDS FILE     records the sink's monitor: raw stereo float32 at SOUND_RATE
#   sound_record_heard SECONDS FILE   the same from the first sound on, however late a player on
#                                 a busy machine starts (the caller's time limit bounds the wait)
#   sound_is_silent FILE          true when the recording holds only zeros
#   sound_compare MATCH REFERENCE FILE [MIN_SECONDS]
#                                 decodes REFERENCE with ffmpeg and runs the sound_match program
#                                 MATCH on both: prints correlation and level, fails if not it
#   sound_server_stop             stops it and removes its files
SOUND_RATE=8000

sound_server_start() {
    SOUND_DIR=$(mktemp -d /tmp/avada-kedabra-sound.XXXXXX) || return 1
    export XDG_RUNTIME_DIR=$SOUND_DIR PULSE_SERVER=unix:$SOUND_DIR/pulse/native
    # -D returns once the server is up.
    pulseaudio -D -n --exit-idle-time=-1 --log-target=file:"$SOUND_DIR/server.log" \
        --load="module-null-sink sink_name=test_sink" \
        --load="module-native-protocol-unix auth-anonymous=1" && pactl info >/dev/null 2>&1 ||
        { echo "no sound server; its log: $SOUND_DIR/server.log" >&2; return 1; }
}

sound_server_stop() {
    [ -n "${SOUND_DIR:-}" ] || return 0
    pulseaudio --kill 2>/dev/null
    # Gone before its folder goes, so that it writes nothing there afterwards.
    for _ in $(seq 1 20); do pulseaudio --check 2>/dev/null || break; sleep 0.1; done
    rm -rf "$SOUND_DIR"
}

sound_record() {
    parec -d test_sink.monitor --raw --format=float32le --rate=$SOUND_RATE --channels=2 2>/dev/null |
        head -c $(($1 * SOUND_RATE * 8)) >"$2"
}

sound_record_heard() {
    local bytes=$(($1 * SOUND_RATE * 8)) raw=$2.all first start pid
    parec -d test_sink.monitor --raw --format=float32le --rate=$SOUND_RATE --channels=2 \
        >"$raw" 2>/dev/null &
    pid=$!
    # cmp names the first byte that is not zero; a whole frame (two floats) starts there.
    until first=$(cmp "$raw" /dev/zero 2>/dev/null | sed -n 's/.* byte \([0-9]*\).*/\1/p')
        [ -n "$first" ]; do sleep 0.1; done
    start=$(((first - 1) / 8 * 8))
    while [ $(($(stat -c %s "$raw") - start)) -lt "$bytes" ]; do sleep 0.1; done
    kill "$pid" && wait "$pid" 2>/dev/null
    tail -c +$((start + 1)) "$raw" | head -c "$bytes" >"$2"
    rm -f "$raw"
}

sound_is_silent() {
    [ -s "$1" ] && [ "$(tr -d '\000' <"$1" | head -c 1 | wc -c)" -eq 0 ]
}

sound_compare() {
    # Both made mono the same way: the server's own downmix is 3 dB below ffmpeg's.
    ffmpeg -v error -y -i "$2" -ac 1 -ar $SOUND_RATE -f f32le "$SOUND_DIR/reference.f32" &&
        ffmpeg -v error -y -f f32le -ar $SOUND_RATE -ac 2 -i "$3" -ac 1 -f f32le \
            "$SOUND_DIR/recording.f32" || return 1
    "$1" "$SOUND_DIR/reference.f32" "$SOUND_DIR/recording.f32" $SOUND_RATE "${4:-10}"
}
