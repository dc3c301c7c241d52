# shellcheck shell=bash
# Sourced by the end-to-end scripts that drive programs under Xvfb with a window manager.
#   check TEXT CONDITION   prints ok/FAIL; a failure sets fail=1, the script's exit status
#   in_x_session "$@"      first call: re-runs the calling script inside a fresh 1280x720 screen
#                          (or X_SESSION_SIZE)
#                          (-ac: a case run as another user reaches it too); inside: starts openbox
#   find_window NAME SECONDS   the id of a window named exactly NAME, waiting up to SECONDS
#   window_gone NAME SECONDS   true once no window is named NAME, within SECONDS (the X server
#                          drops a killed program's windows when it gets to it, late under load)
#   boxes                  the names of the windows other than the demo's, one a line
#   press ID KEY...        keys typed into window ID as a user would: focus first
#   screen FORMAT, screen_checksum   the screen's pixels (rgb24, gray), and a checksum of them
#   grab FILE              window $wid's pixels, raw RGB; differs FILE: true if they are not FILE's
#   still FILE             the studio's picture once it stands still, overlay hidden (see below)
# and wait_for (wait.sh).
. "$(dirname "${BASH_SOURCE[0]}")/wait.sh"
fail=0
check() { if eval "$2"; then echo "ok: $1"; else echo "FAIL: $1"; fail=1; fi; }

in_x_session() {
    if [ -z "${IN_X_SESSION:-}" ]; then
        # A random first display number: two `xvfb-run -a` starting together can pick the same one.
        IN_X_SESSION=1 exec xvfb-run -a -n $((100 + RANDOM % 800)) \
            -s "-screen 0 ${X_SESSION_SIZE:-1280x720}x24 -ac" bash "$0" "$@"
    fi
    unset WAYLAND_DISPLAY
    start_window_manager
}

# Waits for openbox's sign that it manages the screen, however long a busy machine takes (the
# test's time limit bounds the wait); an openbox that exits before that is started again, a few
# times at most.
start_window_manager() {
    local starts=0 pid=
    until [[ "$(xprop -root _NET_SUPPORTING_WM_CHECK 2> /dev/null)" == *"window id"* ]]; do
        if [ -z "$pid" ] || ! kill -0 "$pid" 2> /dev/null; then
            [ $starts -lt 5 ] || { echo "FAIL: openbox did not start ($starts tries)"; exit 1; }
            openbox > /dev/null 2>&1 &
            pid=$! starts=$((starts + 1))
        fi
        sleep 0.1
    done
}

# By name through xwininfo: SDL's message boxes label their WM_NAME with an encoding that
# `xdotool search --name` cannot decode, while xwininfo reads _NET_WM_NAME.
named_windows() {
    xwininfo -root -tree 2> /dev/null |
        sed -n 's/^ *\(0x[0-9a-f]*\) "\(.*\)": .*/\1 \2/p' | grep -v ' Openbox$'
}
find_window() {
    local id _
    for _ in $(seq $(($2 * 10 + 1))); do
        id=$(named_windows | awk -v want="$1" 'substr($0, index($0, " ") + 1) == want {
            print $1; exit }')
        [ -n "$id" ] && { echo "$id"; return 0; }
        sleep 0.1
    done
    return 1
}
window_gone() {
    local _
    for _ in $(seq $(($2 * 4 + 1))); do
        find_window "$1" 0 > /dev/null || return 0
        sleep 0.25
    done
    return 1
}
boxes() { named_windows | cut -d' ' -f2- | grep -v '^avada kedabra!$'; }
press() {
    local id=$1
    shift
    timeout 5 xdotool windowactivate --sync "$id" > /dev/null 2>&1 || xdotool windowfocus "$id"
    xdotool key --clearmodifiers "$@"
}
# A checksum of the screen's pixels in FORMAT (rgb24, gray).
screen() {
    ffmpeg -loglevel error -f x11grab -video_size 1280x720 -i "$DISPLAY" -frames:v 1 \
        -f rawvideo -pix_fmt "$1" -
}
screen_checksum() { screen rgb24 | md5sum | cut -d' ' -f1; }
grab() {
    ffmpeg -loglevel error -f x11grab -draw_mouse 0 -window_id "$wid" -i "$DISPLAY" -frames:v 1 \
        -f rawvideo -pix_fmt rgb24 "$1" -y
}
differs() { grab "$1.now" && ! cmp -s "$1" "$1.now"; }
# back_to FILE MOVES: true once the picture is FILE's again, false once it has moved on MOVES
# times (each a frame of the program $pid at least) without being so, or has stood still in
# another picture for 100 looks (a key handled after FILE was taken: the caller takes a new one).
back_to() {
    local moves=0 stills=0
    grab "$1.then" || return 1
    until cmp -s "$1" "$1.then"; do
        [ $moves -lt "$2" ] && [ $stills -lt 100 ] && kill -0 "$pid" 2> /dev/null || return 1
        if differs "$1.then"; then
            moves=$((moves + 1)) stills=0 && mv "$1.then.now" "$1.then"
        else
            stills=$((stills + 1))
        fi
    done
}
# A picture that comes back across a Tab round trip (the studio's overlay shown, then hidden
# again) stood still while the studio drew: the frame in progress at the second Tab, then the one
# without the overlay. A look taken before an earlier key was handled costs another round; a
# studio that plays on fails within a few frames.
still() {
    local _
    for _ in 1 2; do
        grab "$1" && press "$wid" Tab && wait_for "no frame after Tab" "$pid" differs "$1" &&
            press "$wid" Tab || return 1
        back_to "$1" 2 && return 0
    done
    return 1
}
# A studio opened paused (a link's moment) in window $wid of program $pid: its first frame drawn
# (black before it), Tab taken (bright overlay letters until then), the picture still in FILE.
opened_paused() {
    local look=$1.first
    drawn() { grab "$look" && [ -n "$(tr -d '\000' < "$look" | head -c 1)" ]; }
    bare() { grab "$look" && python3 -c 'import sys; b = open(sys.argv[1], "rb").read()
sys.exit(not (max(b[0::3]) > 0 and max(b[1::3]) < 128))' "$look"; }
    wait_for "the studio drew no frame" "$pid" drawn && press "$wid" Tab &&
        wait_for "the overlay stays" "$pid" bare && still "$1"
}
# red FILE: a picture of which red is most.
red() { python3 -c 'import sys; b = open(sys.argv[1], "rb").read()
r, g, v = (sum(b[i::3]) for i in range(3)); sys.exit(not r > 3 * (g + v))' "$1"; }
