#!/usr/bin/env bash
# The real demo on native Wayland, in a wlroots compositor on its headless backend with pixman:
# its picture covers the whole output, and the controllers a JACK MIDI sender turned reach the
# Wayland clipboard through wl-copy when it ends, where wl-paste reads them after it has gone.
# cage gives wl-copy no way to own a selection (no data-control protocol, no keyboard on its
# headless seat): there the clipboard is left unchecked; sway has both.
#   demo_wayland_e2e.sh cage|sway DEMO MIDI_SEND
set -u
if [ -z "${IN_CAGE:-}" ]; then
    work=$(mktemp -d /tmp/avada-kedabra-wayland.XXXXXX)
    trap 'rm -rf "$work"' EXIT
    mkdir -m 700 "$work/run"
    as=() # cage refuses to run as root
    [ "$(id -u)" -eq 0 ] && chown nobody "$work" "$work/run" &&
        as=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
    inner=(bash "$(readlink -f "$0")" "$1" "$(readlink -f "$2")" "$(readlink -f "$3")")
    echo "${inner[*]}; swaymsg exit" > "$work/session.sh"
    echo "exec sh $work/session.sh" > "$work/sway.config"
    [ "$1" = cage ] && run=(cage -- "${inner[@]}") || run=(sway -c "$work/sway.config")
    "${as[@]}" env -i PATH="$PATH" HOME="$work" IN_CAGE=1 work="$work" XDG_RUNTIME_DIR="$work/run" \
        WLR_BACKENDS=headless WLR_RENDERER=pixman WLR_LIBINPUT_NO_DEVICES=1 \
        timeout 120 "${run[@]}" > "$work/compositor.log" 2>&1
    cat "$work/result.log" 2> /dev/null || cat "$work/compositor.log"
    exit "$(cat "$work/status" 2> /dev/null || echo 1)"
fi
exec > "$work/result.log" 2>&1
. "${0%/*}/../support/x_session.sh"
. "${0%/*}/../support/trivial_data.sh"
. "${0%/*}/../support/jack_session.sh"
compositor=$1 demo=$2 sender=$3
trap 'code=$?; end_session; echo $((fail || code)) > "$work/status"' EXIT
cd "$work" && make_trivial_data "$work"
start_jack && start_sender knobs b0,02,40 b0,0d,7f || exit 1

SDL_VIDEODRIVER=wayland SDL_AUDIODRIVER=dummy "$demo" 2> demo.err &
pid=$!
covered() { # the trivial picture, red rising to the right and green to the top through the post
    # pass's vignette, and nine in ten pixels lit (the blue is a parameter's fraction, black at
    # whole values). A compositor's empty desktop (sway's is grey) and the demo's first, black,
    # frame are not.
    grim -t ppm shot.ppm 2> /dev/null && read -r w h < <(sed -n 2p shot.ppm) && python3 - "$w" "$h" <<'PY'
import sys
w, h = int(sys.argv[1]), int(sys.argv[2])
data = open("shot.ppm", "rb").read().split(b"\n", 3)[3]
lit = sum(1 for i in range(0, len(data) - 2, 3) if data[i : i + 3] != b"\0\0\0")
def mean(channel, rows, cols):
    return sum(data[(y * w + x) * 3 + channel] for y in rows for x in cols) / len(rows) / len(cols)
left, right = mean(0, [h // 2], range(w // 10)), mean(0, [h // 2], range(w - w // 10, w))
top, bottom = mean(1, range(h // 10), [w // 2]), mean(1, range(h - h // 10, h), [w // 2])
sys.exit(not (right - left > 64 and top - bottom > 64 and lit * 10 >= len(data) // 3 * 9))
PY
}
# Until it is covered or the demo has gone: it has the compositor's time limit.
until covered; do
    kill -0 $pid 2> /dev/null || break
    sleep 0.2
done
check "the picture covers the ${w:-?}x${h:-?} output" covered
wait_sender knobs
kill -TERM $pid # as the window's close would: the demo ends its loop and exports
wait $pid
code=$?
check "SIGTERM ends it with 0 (got $code)" '[ $code -eq 0 ]'
[ "$compositor" = cage ] || check "wl-paste reads the tuned line after exit: '$(wl-paste -n)'" \
    '[ "$(wl-paste -n)" = "2:0.50(64) 13:1.00(127) " ]'
