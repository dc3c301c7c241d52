# Helpers for running Windows programs under Wine inside Xvfb with openbox; sourced by the test
# scripts. Missing tools skip the test (exit 77) rather than fail it.

require_tools() {
    local tool
    for tool in "$@"; do
        command -v "$tool" >/dev/null 2>&1 && continue
        echo "skipped: $tool is not installed (scripts/setup.sh installs it)" >&2
        exit 77
    done
}

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# Re-runs the calling script inside a fresh virtual screen of 1280 x 720.
run_in_xvfb() {
    if [ -z "${WIN32_TEST_IN_XVFB:-}" ]; then
        export WIN32_TEST_IN_XVFB=1
        exec xvfb-run -a -n $((100 + RANDOM % 800)) -s "-screen 0 1280x720x24" "$0" "$@"
    fi
}

# The window manager, up and answering before anything maps a window.
start_openbox() {
    openbox >/dev/null 2>&1 &
    OPENBOX_PID=$!
    local i
    for i in $(seq 1 100); do
        [[ "$(xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null)" == *"window id"* ]] && return 0
        sleep 0.1
    done
    fail "openbox did not start"
}

# Ends whatever Wine runs in the prefix, then the window manager.
end_session() {
    wineserver -k >/dev/null 2>&1 || true
    wineserver -w >/dev/null 2>&1 || true
    [ -n "${OPENBOX_PID:-}" ] && kill "$OPENBOX_PID" 2>/dev/null
    return 0
}

# Prints the id of the first top-level window whose name is exactly $1; empty after $2 seconds.
find_window() {
    local name=$1 timeout=$2 id="" start=$SECONDS
    while [ $((SECONDS - start)) -le "$timeout" ]; do
        id=$(xdotool search --onlyvisible --name "^${name}\$" 2>/dev/null | head -n 1)
        [ -n "$id" ] && break
        sleep 0.25
    done
    echo "$id"
}

# True once no visible window is named $1, within $2 seconds.
window_gone() {
    local name=$1 timeout=$2 start=$SECONDS
    while [ $((SECONDS - start)) -le "$timeout" ]; do
        xdotool search --onlyvisible --name "^${name}\$" >/dev/null 2>&1 || return 0
        sleep 0.25
    done
    return 1
}

# Types keys into the window $1 as a user would: focus first, then real key events.
press() {
    local id=$1
    shift
    xdotool windowactivate --sync "$id" >/dev/null 2>&1 || xdotool windowfocus --sync "$id"
    xdotool key --clearmodifiers "$@"
}

# A checksum of the screen's pixels, and whether any of them is lit.
screen_checksum() {
    ffmpeg -loglevel error -f x11grab -video_size 1280x720 -i "$DISPLAY" -frames:v 1 \
        -f rawvideo -pix_fmt rgb24 - | md5sum | cut -d' ' -f1
}
screen_lit() {
    [ "$(ffmpeg -loglevel error -f x11grab -video_size 1280x720 -i "$DISPLAY" -frames:v 1 \
        -f rawvideo -pix_fmt gray - 2>/dev/null | tr -d '\000' | head -c 1 | wc -c)" -eq 1 ]
}

# Waits up to $2 seconds for process $1 to end and sets EXIT_CODE; fails if it does not end.
wait_exit() {
    local pid=$1 timeout=$2 start=$SECONDS
    while kill -0 "$pid" 2>/dev/null; do
        [ $((SECONDS - start)) -le "$timeout" ] || fail "process $pid still running after ${timeout}s"
        sleep 0.25
    done
    EXIT_CODE=0
    wait "$pid" || EXIT_CODE=$?
}

# The scene shader files the programs load, as listed in scene_shader_files.inc.
shader_files() {
    grep -o 'data/[A-Za-z0-9_.]*\.shader' "$1"
}

# A folder to start the demo in: demo.exe next to data/ holding the repository's data and a tiny
# valid fragment shader under every scene shader name.
make_demo_folder() {
    local exe=$1 data=$2 programs=$3 folder
    folder=$(mktemp -d /tmp/avada-kedabra-e2e.XXXXXX)
    cp "$exe" "$folder/demo.exe"
    mkdir -p "$folder/data"
    [ -d "$data" ] && cp -r "$data/." "$folder/data/"
    [ -n "$(shader_files "$programs")" ] || fail "no shader file names found in $programs"
    source "$(dirname "${BASH_SOURCE[0]}")/../support/trivial_data.sh"
    make_trivial_data "$folder"
    echo "$folder"
}
