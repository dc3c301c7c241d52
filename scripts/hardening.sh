#!/usr/bin/env bash
# CI's second half, after scripts/test.sh: the unit and GL suites under ASan + UBSan, the
# concurrency tests and a MIDI end-to-end run under TSan, each fuzz target for a short while, the
# releases built twice and compared byte for byte, and the soak run of the real demo. FUZZ_SECONDS
# sets the time per fuzz target (default 10).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
root=$PWD
jobs=$(nproc)
export SDL_AUDIODRIVER=${SDL_AUDIODRIVER:-dummy}
stage_start=$SECONDS
stage() {
    echo "== hardening: $1 (after $((SECONDS - stage_start)) s)"
}

stage "ASan + UBSan: unit and GL suites"
cmake --preset asan > /dev/null
cmake --build --preset asan -j"$jobs"
# Mesa unloads its driver at exit, before LeakSanitizer looks: its leaks would have no module
# name to be suppressed by. Preloaded, the driver stays (ASan then need not come first).
libdir=/usr/lib/$(gcc -print-multiarch)
preload=""
for lib in dri/swrast_dri.so libEGL_mesa.so.0 libGLX_mesa.so.0; do
    [ -e "$libdir/$lib" ] && preload="$preload $libdir/$lib"
done
LD_PRELOAD="${preload# }" \
    ASAN_OPTIONS=halt_on_error=1:detect_leaks=1:detect_stack_use_after_return=1:verify_asan_link_order=0 \
    UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
    LSAN_OPTIONS=suppressions=$root/tests/hardening/lsan.supp:print_suppressions=0 \
    ctest --preset asan -L 'unit|gl' -j"$jobs"

stage "TSan: concurrency tests and the MIDI device end-to-end run"
cmake --preset tsan > /dev/null
cmake --build --preset tsan -j"$jobs" --target tuning_stress_test midi_receive frame_pipeline_test
tsan_options=halt_on_error=1:second_deadlock_stack=1:suppressions=$root/tests/hardening/tsan.supp
TSAN_OPTIONS=$tsan_options ctest --preset tsan -L concurrency
# The receiver is the bank and the RtMidi input of the tsan build; the sender is the ordinary one,
# as TSan's slowdown in a JACK client makes it miss its cycles. A client that misses one on a busy
# machine loses that cycle's messages, hence one more try; a race report fails the stage either way.
tsan_logs=$(mktemp -d)
for attempt in 1 2; do
    TSAN_OPTIONS=$tsan_options:log_path=$tsan_logs/report bash tests/tuning/midi_device_e2e.sh \
        build/midi_send build-tsan/midi_receive && break
    [ "$attempt" -eq 2 ] && exit 1
    echo "MIDI end-to-end run under TSan: trying once more"
done
if compgen -G "$tsan_logs/report*" > /dev/null; then
    cat "$tsan_logs"/report*
    exit 1
fi
rm -rf "$tsan_logs"

stage "fuzzing"
cmake --preset fuzz > /dev/null
cmake --build --preset fuzz -j"$jobs"
fuzz_seconds=${FUZZ_SECONDS:-10}
declare -A fuzz_options=([midi_bytes]=-max_len=8 [tuned_values_export]=-max_len=642)
fuzz_work=$(mktemp -d)
fuzz_tmp=$fuzz_work
[ -d /dev/shm ] && [ -w /dev/shm ] && fuzz_tmp=/dev/shm
trap 'rm -rf "$fuzz_work"' EXIT
for corpus in tests/fuzz/corpus/*/; do
    target=$(basename "$corpus")
    mkdir -p "$fuzz_work/$target"
    # New inputs go to a scratch copy; the committed seeds stay as they are. The targets that read
    # files write each input to TMPDIR, in memory where there is a tmpfs.
    env -u DISPLAY -u WAYLAND_DISPLAY JACK_DEFAULT_SERVER=fuzz-no-server TMPDIR="$fuzz_tmp" \
        "build-fuzz/fuzz_$target" -max_total_time="$fuzz_seconds" -print_final_stats=1 \
        -artifact_prefix="$fuzz_work/$target-" ${fuzz_options[$target]:-} \
        "$fuzz_work/$target" "$corpus" > "$fuzz_work/$target.log" 2>&1 || {
        tail -n 40 "$fuzz_work/$target.log"
        echo "fuzz_$target failed; the input is in the log above (base64)" >&2
        exit 1
    }
    echo "fuzz_$target: $(grep -E '^stat::number_of_executed_units' "$fuzz_work/$target.log" |
        awk '{ print $2 }') runs, $(grep -E 'DONE|#[0-9]+ +(pulse|REDUCE|NEW)' \
        "$fuzz_work/$target.log" | tail -n 1 | grep -oE 'cov: [0-9]+ ft: [0-9]+')"
done

stage "reproducible: this commit built again in another folder, every package the same bytes"
# The first build is the suite's own, in scripts/test.sh's folders, when the tree is the commit.
reproducible=0
tests/package/reproducible.sh "$root" || reproducible=$?
[ $reproducible -eq 0 ] || [ $reproducible -eq 77 ]

stage "soak: the whole demo under load"
# Two at a time, as the rest of CI: each run is its own X server, JACK server and sound server;
# the picture-against-sound run keeps the machine to itself.
ctest --preset default -L soak -j"$jobs" --output-on-failure
stage "done"
