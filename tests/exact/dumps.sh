# What two builds of demo-capture are compared by: the parameters over the whole run at 60 fps,
# over irregular frame times with stalls and with a tuning line, and the noise texture's bytes.
# Sourced by the scripts beside it.

# Every controller the scene scripts read, turned.
TUNING_LINE="2:0.50(64) 3:0.13(17) 4:0.87(111) 5:0.01(1) 6:0.99(126) 8:0.42(53) 9:0.30(38) \
12:0.75(95) 13:1.00(127) "

# build_numeric SOURCE_DIR PRESET: the numeric-only build of PRESET, made in SOURCE_DIR.
build_numeric() {
    cd "$1" || fail "no $1"
    cmake --preset "$2" >/dev/null || fail "configuring $2"
    cmake --build --preset "$2" -j 2 >/dev/null || fail "building $2"
}

# write_dumps OUT_DIR COMMAND...: COMMAND is a demo-capture, perhaps behind an emulator.
write_dumps() {
    local out=$1
    shift
    mkdir -p "$out" || return 1
    # Frames of 15 to 18 ms with a stall of 0.15 to 0.6 s now and then, past the end of the run.
    awk 'BEGIN { s = 12345; for (t = 0; t < 152000;) { print t
        s = (s * 1103515245 + 12345) % 2147483648; r = s % 1000
        t += r < 8 ? 150 + r * 60 : 15 + r % 4 } }' >"$out/times.txt"
    "$@" --parameters --out "$out/fixed.csv" &&
        "$@" --parameters --times "$out/times.txt" --out "$out/times.csv" &&
        "$@" --parameters --tuning "$TUNING_LINE" --out "$out/tuning.csv" &&
        "$@" --noise "$out/noise.bin"
}

# compare_dumps REFERENCE_DIR OTHER_DIR: prints the differing rows of each dump; false unless
# every dump is the same bytes.
compare_dumps() {
    local a=$1 b=$2 name rows same=0
    for name in fixed times tuning; do
        rows=$(diff "$a/$name.csv" "$b/$name.csv" | grep -c '^>')
        echo "$name.csv: $(($(wc -l <"$a/$name.csv") - 1)) rows, $rows differ"
        cmp -s "$a/$name.csv" "$b/$name.csv" || same=1
    done
    [ "$(wc -l <"$a/fixed.csv")" -gt 9000 ] || { echo "the reference dump is short"; same=1; }
    echo "noise.bin: $(cmp -l "$a/noise.bin" "$b/noise.bin" 2>&1 | wc -l) of $(stat -c %s "$a/noise.bin") bytes differ"
    [ "$(stat -c %s "$a/noise.bin")" -eq 262144 ] && cmp -s "$a/noise.bin" "$b/noise.bin" || same=1
    return $same
}
