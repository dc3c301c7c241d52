#!/usr/bin/env bash
# The real demo under Xvfb with a window manager: fullscreen over the screen, Escape and a close
# request end it with exit code 0 within two seconds; with no display it exits 1 and says why.
set -u
demo=$(readlink -f "$1")
here=$(dirname "$(readlink -f "$0")")
. "$here/../support/trivial_data.sh"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
make_trivial_data "$work"
cd "$work"
fail=0
check() { if eval "$2"; then echo "ok: $1"; else echo "FAIL: $1"; fail=1; fi; }

# No display at all: exit code 1, the failure on stderr.
env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER timeout 20 "$demo" 2> nodisplay.err
code=$?
check "no display exits with 1 (got $code)" '[ $code -eq 1 ]'
check "no display reports window_init()!" 'grep -q "window_init()!" nodisplay.err'

cat > session.sh <<'SESSION'
set -u
demo=$1
openbox >/dev/null 2>&1 &
sleep 1
run_until() { # $1: what ends the run (Escape or close)
    "$demo" 2>demo.err &
    pid=$!
    wid=$(timeout 30 xdotool search --sync --name "avada kedabra!" | head -n 1)
    [ -n "$wid" ] || { echo "FAIL: no window"; kill $pid; return 1; }
    sleep 1
    eval "$(xwininfo -id "$wid" | awk '/Width:/{print "w="$2} /Height:/{print "h="$2}')"
    echo "geometry ${w}x${h}"
    start=$(date +%s%N)
    if [ "$1" = Escape ]; then xdotool key --window "$wid" Escape
    else xdotool key alt+F4; fi
    for _ in $(seq 1 100); do kill -0 $pid 2>/dev/null || break; sleep 0.05; done
    wait $pid
    echo "exit $? after $(( ($(date +%s%N) - start) / 1000000 )) ms"
}
run_until Escape
run_until close
SESSION
# A random first display number: two `xvfb-run -a` starting together can pick the same one.
xvfb-run -a -n $((100 + RANDOM % 800)) -s "-screen 0 1280x720x24" bash session.sh "$demo" > session.log 2>&1
cat session.log
check "the fullscreen window covers the 1280x720 screen" '[ "$(grep -c "geometry 1280x720" session.log)" -eq 2 ]'
mapfile -t exits < <(grep '^exit ' session.log)
for e in "${exits[@]}"; do
    read -r _ code _ ms _ <<< "$e"
    check "run ends with exit code 0 within 2 s ($e)" '[ "$code" -eq 0 ] && [ "$ms" -le 2000 ]'
done
check "both runs (Escape, close) ended" '[ "${#exits[@]}" -eq 2 ]'
exit $fail
