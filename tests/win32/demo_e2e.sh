#!/usr/bin/env bash
# The Windows demo end to end under Wine: demo_e2e.sh DEMO_EXE DATA_DIR MODE
#   play:     with a shader file that does not compile, its box shows; Return dismisses it and a
#             borderless window over the screen plays on; y rebuilds (the box again); Escape ends
#             with 0 and the window goes with the process
#   full_run: with no sound device the demo plays all its length, silent, and exits with 0
# What the window procedure does with each message is the Windows-side checks' (checks/).
set -uo pipefail
source "$(dirname "$0")/wine_session.sh"
require_tools wine xvfb-run openbox xdotool xwininfo xprop ffmpeg
[ $# -eq 3 ] || fail "usage: $0 DEMO_EXE DATA_DIR play|full_run"
in_x_session "$@"
[ -f "$1" ] || fail "$1 not built"
folder=$(make_demo_folder "$1" "$2")
trap 'end_session; rm -rf "$folder"' EXIT
cd "$folder" || exit 1

# Frames keep coming: the window's picture changes.
playing() { grab before.rgb && wait_for "$1" $pid differs before.rgb; }
dismiss() { # WHAT brought the box
    local box
    box=$(find_window "$broken" 180) || fail "$1: no box captioned '$broken'"
    # A key can reach the box before Wine has given it the focus: press again, as a user would.
    for _ in 1 2 3; do
        press "$box" Return
        window_gone "$broken" 10 && return 0
    done
    fail "$1: Return did not dismiss the box"
}

case $3 in
play)
    broken=data/$(scene_shader_names | sed -n 5p).shader
    echo "this is not a shader" > "$broken"
    wine demo.exe >> wine.log 2>&1 &
    pid=$!
    dismiss start
    wid=$(find_window "avada kedabra!" 10) || fail "the box came without the demo's window"
    playing "the demo does not play on after the box" || exit 1
    geometry=$(xwininfo -id "$wid")
    for want in 'upper-left X: *0' 'upper-left Y: *0' 'Width: 1280' 'Height: 720'; do
        grep -q "$want\$" <<< "$geometry" || fail "window not at $want: $geometry"
    done
    # Borderless: the window manager drew no frame around it.
    [[ "$(xprop -id "$wid" _NET_FRAME_EXTENTS 2> /dev/null)" =~ (= 0, 0, 0, 0$|not found|^$) ]] ||
        fail "the window has a frame"
    screen_lit || fail "the screen stays black"
    press "$wid" y
    dismiss y
    playing "the picture stopped changing after y" || exit 1
    press "$wid" Escape
    wait_exit $pid 60
    [ "$EXIT_CODE" -eq 0 ] || fail "exit code $EXIT_CODE after Escape"
    window_gone "avada kedabra!" 10 || fail "the window outlived the process"
    ;;
full_run)
    # A real MP3 where the demo looks for its music; with no sound device it is never heard.
    ffmpeg -y -loglevel error -f lavfi -i sine=frequency=440:duration=5 -codec:a libmp3lame \
        data/tune.mp3 || fail "could not make data/tune.mp3"
    start=$SECONDS
    wine demo.exe >> wine.log 2>&1 &
    wait_exit $! 400
    echo "ran $((SECONDS - start)) s, exit code $EXIT_CODE"
    [ "$EXIT_CODE" -eq 0 ] || fail "exit code $EXIT_CODE at the end of the run"
    [ $((SECONDS - start)) -ge 151 ] || fail "ended before the demo's 151 s"
    ;;
*) fail "unknown mode $3" ;;
esac
echo "PASS"
