#!/usr/bin/env bash
# The Windows demo end to end under Wine: demo_e2e.sh DEMO_EXE DATA_DIR SHADER_LIST MODE
#   play:     a borderless window over the screen, y rebuilds harmlessly, Escape ends with 0;
#             then a broken shader file shows its box, Return dismisses it, the demo plays on
#   full_run: with no sound device the demo plays all its length, silent, and exits with 0
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/wine_session.sh"
require_tools wine xvfb-run openbox xdotool xwininfo xprop ffmpeg
[ $# -eq 4 ] || fail "usage: $0 DEMO_EXE DATA_DIR SHADER_LIST play|full_run"
exe=$(realpath "$1") data=$(realpath -m "$2") programs=$(realpath "$3") mode=$4
[ -f "$exe" ] || fail "$exe not built"
run_in_xvfb "$@"

start_openbox
folder=$(make_demo_folder "$exe" "$data" "$programs") || exit 1
trap 'end_session; rm -rf "$folder"' EXIT
cd "$folder"

start_demo() {
    wine demo.exe >>"$folder/wine.log" 2>&1 &
    DEMO_PID=$!
    DEMO_WINDOW=$(find_window "avada kedabra!" 180)
    [ -n "$DEMO_WINDOW" ] || fail "no window named 'avada kedabra!' within 180 s"
}

no_shader_box() {
    local file
    for file in $(shader_files "$programs"); do
        [ -z "$(find_window "$file" 0)" ] || fail "unexpected box '$file'"
    done
}

# Frames keep coming: two looks at the screen a moment apart differ.
playing() {
    local first
    first=$(screen_checksum)
    sleep 1.5
    [ "$first" != "$(screen_checksum)" ]
}

play() {
    echo "run 1: valid shaders"
    start_demo
    sleep 2
    local geometry
    geometry=$(xwininfo -id "$DEMO_WINDOW")
    grep -q 'Absolute upper-left X: *0$' <<<"$geometry" || fail "window not at x 0: $geometry"
    grep -q 'Absolute upper-left Y: *0$' <<<"$geometry" || fail "window not at y 0: $geometry"
    grep -q 'Width: 1280$' <<<"$geometry" || fail "window not 1280 wide: $geometry"
    grep -q 'Height: 720$' <<<"$geometry" || fail "window not 720 high: $geometry"
    # Borderless: the window manager drew no frame around it.
    local extents
    extents=$(xprop -id "$DEMO_WINDOW" _NET_FRAME_EXTENTS 2>/dev/null)
    case "$extents" in
    *"= 0, 0, 0, 0" | *"not found"* | "") ;;
    *) fail "window has a frame: $extents" ;;
    esac
    no_shader_box
    screen_lit || fail "the screen stays black"
    playing || fail "the picture does not change"

    press "$DEMO_WINDOW" y
    sleep 3
    kill -0 "$DEMO_PID" 2>/dev/null || fail "the demo ended after y"
    no_shader_box
    playing || fail "the picture stopped changing after y"

    press "$DEMO_WINDOW" Escape
    wait_exit "$DEMO_PID" 60
    [ "$EXIT_CODE" -eq 0 ] || fail "exit code $EXIT_CODE after Escape"
    window_gone "avada kedabra!" 10 || fail "the window outlived the process"
    wineserver -w

    local broken
    broken=$(shader_files "$programs" | sed -n 5p)
    echo "run 2: $broken broken"
    echo "this is not a shader" >"$folder/$broken"
    wine demo.exe >>"$folder/wine.log" 2>&1 &
    DEMO_PID=$!
    local box
    box=$(find_window "$broken" 180)
    [ -n "$box" ] || fail "no box captioned '$broken' within 180 s"
    DEMO_WINDOW=$(find_window "avada kedabra!" 10)
    [ -n "$DEMO_WINDOW" ] || fail "the box came without the demo's window"
    press "$box" Return
    window_gone "$broken" 15 || fail "Return did not dismiss the box"
    sleep 2
    kill -0 "$DEMO_PID" 2>/dev/null || fail "the demo ended after the box"
    playing || fail "the demo does not play on after the box"

    # The rebuild reads the files again, so the same box comes back.
    press "$DEMO_WINDOW" y
    box=$(find_window "$broken" 60)
    [ -n "$box" ] || fail "y did not rebuild: no box for '$broken'"
    press "$box" Return
    window_gone "$broken" 15 || fail "Return did not dismiss the second box"

    press "$DEMO_WINDOW" Escape
    wait_exit "$DEMO_PID" 60
    [ "$EXIT_CODE" -eq 0 ] || fail "exit code $EXIT_CODE after Escape with a broken shader"
}

full_run() {
    # A real MP3 where the demo looks for its music; with no sound device it is never heard.
    ffmpeg -y -loglevel error -f lavfi -i sine=frequency=440:duration=5 -codec:a libmp3lame \
        "$folder/data/tune.mp3" || fail "could not make data/tune.mp3"
    local start=$SECONDS
    start_demo
    wait_exit "$DEMO_PID" 400
    local took=$((SECONDS - start))
    echo "ran ${took}s, exit code $EXIT_CODE"
    [ "$EXIT_CODE" -eq 0 ] || fail "exit code $EXIT_CODE at the end of the run"
    [ "$took" -ge 151 ] || fail "ended after ${took}s, before the demo's 151 s"
}

case "$mode" in
play) play ;;
full_run) full_run ;;
*) fail "unknown mode $mode" ;;
esac
echo "PASS"
