#!/usr/bin/env bash
# The real demo under Xvfb with a window manager, once per bad file: no data/ at all, and each of
# its files missing, empty, truncated, unreadable, random bytes, plus a 10 MB shader, an MP3 that
# is text, and credits images of 17 bytes and 5 MB. A shader that cannot be opened or compiled
# must show one box captioned with its file name; the music and the credits image show none (the
# demo plays silent or with an empty texture). After the box the demo must play on and end on
# Escape with exit code 0: never a crash, a hang or a second box. Prints one line per case.
#   bad_files.sh DEMO DATA_DIR
set -u
demo=$(readlink -f "$1")
data=$(readlink -f "$2")
here=$(dirname "$(readlink -f "$0")")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# The unreadable cases run the demo as nobody (root reads any file): it must reach the files.
chmod 755 "$work"

# A seeded stream of random bytes without NUL, which would end the text before the compiler saw
# any of it.
random_bytes() { LC_ALL=C awk -v n="$1" -v seed="$2" \
    'BEGIN { srand(seed); for (i = 0; i < n; ++i) printf "%c", 1 + int(rand() * 255) }'; }

# Each case is a folder with its own data/; the files that are not under test are small valid
# shaders and the real credits image and music, so each run starts fast.
. "$here/../support/trivial_data.sh"
mapfile -t shaders < <(scene_shader_names)
make_trivial_data "$work/good"
cp "$data/credits.tga" "$work/good/data/"
if [ -f "$data/tune.mp3" ]; then
    cp "$data/tune.mp3" "$work/good/data/"
else
    ffmpeg -v error -f lavfi -i sine=frequency=440:duration=2 -c:a libmp3lame \
        "$work/good/data/tune.mp3" < /dev/null
fi
: > "$work/cases.txt"
add_case() { # NAME EXPECTED_BOX(or -) AS(root|nobody) then the setup runs in the case folder
    local name=$1 box=$2 as=$3
    shift 3
    mkdir -p "$work/$name"
    cp -r "$work/good/data" "$work/$name/"
    (cd "$work/$name" && eval "$*")
    echo "$name|$box|$as" >> "$work/cases.txt"
}

add_case no-data data/verystart.shader root 'rm -rf data'
for s in "${shaders[@]}"; do
    f=data/$s.shader
    real=$data/$s.shader
    [ -f "$real" ] || real=$work/good/$f
    add_case "$s-missing" "$f" root "rm $f"
    add_case "$s-empty" "$f" root ": > $f"
    add_case "$s-truncated" "$f" root "head -c \$((\$(wc -c < $real) / 2)) $real > $f"
    add_case "$s-unreadable" "$f" nobody "chmod 000 $f"
    add_case "$s-random" "$f" root "random_bytes 4096 ${#s} > $f"
done
# Valid code, then comment lines up to 10 MB: the first 199,999 bytes are read and compile.
add_case verystart-10MB - root 'yes "// padding padding padding padding padding padding" |
    head -c 10485760 >> data/verystart.shader'
add_case gras10-folder data/gras10.shader root 'rm data/gras10.shader && mkdir data/gras10.shader'
for f in data/credits.tga data/tune.mp3; do
    n=$(basename "$f")
    add_case "$n-missing" - root "rm $f"
    add_case "$n-empty" - root ": > $f"
    add_case "$n-truncated" - root "head -c \$((\$(wc -c < $f) / 2)) $f > $f.half && mv $f.half $f"
    add_case "$n-unreadable" - nobody "chmod 000 $f"
    add_case "$n-random" - root "random_bytes 65536 7 > $f"
done
add_case credits.tga-17-bytes - root 'head -c 17 data/credits.tga > data/x && mv data/x data/credits.tga'
add_case credits.tga-5MB - root 'random_bytes 5242880 5 > data/credits.tga'
add_case tune.mp3-text - root 'printf "ID3? no: this is a text file, not music\n" > data/tune.mp3'

cat > "$work/session.sh" << 'SESSION'
set -u
demo=$1 work=$2
. "$3/x_windows.sh"
openbox > /dev/null 2>&1 &
sleep 1
nobody=(setpriv --reuid=65534 --regid=65534 --clear-groups)
nobody_ok=1
"${nobody[@]}" test -x "$demo" -a -r "$work/cases.txt" || nobody_ok=0
while IFS='|' read -r name expected as; do
    cd "$work/$name"
    if [ "$as" = nobody ] && [ "$nobody_ok" = 0 ]; then
        echo "$name|$expected|skipped: user nobody cannot run $demo from $work"
        continue
    fi
    run=()
    [ "$as" = nobody ] && run=("${nobody[@]}")
    start=$(date +%s%N)
    SDL_AUDIODRIVER=dummy JACK_DEFAULT_SERVER=bad-files-none \
        "${run[@]}" "$demo" > demo.out 2> demo.err &
    pid=$!
    seen=-
    if [ "$expected" != - ]; then
        box=$(find_window "$expected" 20)
        if [ -n "$box" ]; then
            seen=$expected
            xdotool key --window "$box" Return
        fi
    fi
    wid=$(find_window "avada kedabra!" 20)
    # Long enough for the loading to finish and a box, had there been one, to show.
    sleep 1.5
    extra=$(boxes | tr '\n' ',')
    alive=yes
    kill -0 $pid 2> /dev/null || alive=no
    [ -n "$wid" ] && xdotool key --window "$wid" Escape
    code=
    for _ in $(seq 100); do kill -0 $pid 2> /dev/null || break; sleep 0.05; done
    if kill -0 $pid 2> /dev/null; then
        kill -9 $pid
        code=hang
        # A box left open would hold up the next case.
        for w in $(named_windows | grep -v ' avada kedabra!$' | cut -d' ' -f1); do
            xdotool key --window "$w" Return
        done
    fi
    wait $pid 2> /dev/null
    code=${code:-$?}
    ms=$((($(date +%s%N) - start) / 1000000))
    echo "$name|$expected|seen=$seen extra=${extra:-none} window=${wid:+yes} alive=$alive exit=$code ${ms}ms"
done < "$work/cases.txt"
SESSION

# -ac: the cases run as nobody cannot read root's X authority file. A random first display
# number: two `xvfb-run -a` starting together can pick the same one.
xvfb-run -a -n $((100 + RANDOM % 800)) -s "-screen 0 1280x720x24 -ac" \
    bash "$work/session.sh" "$demo" "$work" "$here" > "$work/results.txt" 2>&1
passed=0 failed=0 skipped=0
while IFS='|' read -r name expected outcome; do
    [ -n "$outcome" ] || { echo "$name$expected"; continue; }
    case $outcome in skipped*)
        echo "skip: $name: $outcome"
        skipped=$((skipped + 1))
        continue
        ;;
    esac
    want="seen=$expected extra=none window=yes alive=yes exit=0 "
    if [ "${outcome#"$want"}" != "$outcome" ]; then
        echo "ok: $name: $outcome"
        passed=$((passed + 1))
    else
        echo "FAIL: $name (want box ${expected}): $outcome"
        failed=$((failed + 1))
    fi
done < "$work/results.txt"
echo "bad files: $passed passed, $failed failed, $skipped skipped"
[ "$failed" -eq 0 ] && [ "$passed" -gt 0 ]
