#!/usr/bin/env bash
# The real demo under Xvfb with a window manager: fullscreen over the screen, Escape and a close
# request end it with exit code 0 (a hang is cut after 30 s; how long it took is printed, not
# judged: a busy machine takes seconds); with no display it exits 1 and says why.
# With a shader that does not compile, credits that are no image and music that is text, it shows
# one box captioned with the shader's file name, plays on once Return dismisses it, rebuilds on p
# and on y (the box again) and still ends with 0. Each kind of bad file, byte by byte, is the unit
# and fuzz tests' (tests/gfx, tests/fuzz): here is what only the whole program shows.
#   demo_window_e2e.sh DEMO
set -u
here=$(dirname "$(readlink -f "$0")")
. "$here/../support/x_session.sh"
. "$here/../support/trivial_data.sh"
in_x_session "$@"
demo=$(readlink -f "$1")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
make_trivial_data "$work"
cd "$work"

env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER timeout 20 "$demo" 2> nodisplay.err
code=$?
check "no display exits with 1 (got $code)" '[ $code -eq 1 ]'
check "no display reports window_init()!" 'grep -q "window_init()!" nodisplay.err'

# KEY...: sent to the demo's window, after which it ends with exit code 0.
ends_on() {
    local start code ms
    press "$wid" "$@"
    start=$(date +%s%N)
    timeout 30 tail --pid=$pid -f /dev/null
    kill -9 $pid 2> /dev/null
    wait $pid
    code=$? ms=$((($(date +%s%N) - start) / 1000000))
    check "$*: exit code 0 (got $code after $ms ms)" '[ $code = 0 ]'
    window_gone "avada kedabra!" 30
}
for key in Escape alt+F4; do
    "$demo" 2> demo.err &
    pid=$!
    wid=$(find_window "avada kedabra!" 30)
    wait_for "the window manager left it windowed" $pid \
        eval 'xprop -id "$wid" _NET_WM_STATE | grep -q _NET_WM_STATE_FULLSCREEN'
    eval "$(xwininfo -id "$wid" | awk '/Width:/ { print "w=" $2 } /Height:/ { print "h=" $2 }')"
    check "$key: the fullscreen window covers the 1280x720 screen (${w:-}x${h:-})" \
        '[ "${w:-}x${h:-}" = 1280x720 ]'
    ends_on "$key"
done

shader=data/$(scene_shader_names | sed -n 5p).shader
printf 'this is not GLSL {\n' > "$shader"
head -c 17 /dev/urandom > data/credits.tga
printf 'ID3? no: text, not music\n' > data/tune.mp3
"$demo" 2> broken.err &
pid=$!
dismissed() { # WHAT brought the box
    local box
    box=$(find_window "$shader" 30)
    check "$1: one box, captioned $shader" '[ -n "$box" ] && [ "$(boxes)" = "$shader" ]'
    [ -n "$box" ] && xdotool key --window "$box" Return
    wid=$(find_window "avada kedabra!" 10)
    check "$1: Return dismissed it and the demo plays on" \
        'wait_for "the box stayed" $pid eval "[ -z \"\$(boxes)\" ]" && grab played.rgb &&
         wait_for "the picture stood still" $pid differs played.rgb'
}
dismissed start
press "$wid" p
dismissed p
press "$wid" y
dismissed y
ends_on Escape
exit $fail
