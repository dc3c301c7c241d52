#!/usr/bin/env bash
# Usage: bench/startup/first_swap.sh [runs]   (from the repository root, after a build)
# Median milliseconds from process start to the demo's first buffer swap under Xvfb.
set -euo pipefail
runs=${1:-5}
root=$(pwd)
cat > /tmp/first_swap_session.sh <<'SESSION'
openbox >/dev/null 2>&1 &
sleep 1
for i in $(seq 1 "$1"); do
    rm -f /tmp/first_swap.out
    FIRST_SWAP_OUT=/tmp/first_swap.out LD_PRELOAD="$2/build/bench/startup/libfirst_swap_probe.so" "$2/build/demo" &
    pid=$!
    for _ in $(seq 1 200); do [ -s /tmp/first_swap.out ] && break; sleep 0.05; done
    kill -TERM $pid; wait $pid || true
    cat /tmp/first_swap.out
done
SESSION
SDL_AUDIODRIVER=dummy xvfb-run -a -s "-screen 0 1920x1080x24" bash /tmp/first_swap_session.sh "$runs" "$root" |
    sort -n | awk '{v[NR]=$1} END {printf "first swap: median %.1f ms over %d runs (min %.1f, max %.1f)\n", v[int((NR+1)/2)], NR, v[1], v[NR]}'
