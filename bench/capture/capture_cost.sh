#!/usr/bin/env bash
# What a capture costs: wall time, CPU seconds of demo-capture and of its ffmpeg child apart, and
# the peak of their resident memory added together (sampled every 50 ms from /proc).
# usage: bench/capture/capture_cost.sh DEMO-CAPTURE [ARGUMENTS...]   (from the repository root)
set -euo pipefail
tool=$1
shift
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
# ffmpeg runs under GNU time through a stand-in found first on the PATH.
real_ffmpeg=$(command -v ffmpeg)
cat > "$scratch/ffmpeg" <<WRAP
#!/bin/sh
exec /usr/bin/time -a -f '%U %S' -o '$scratch/ffmpeg.cpu' '$real_ffmpeg' "\$@"
WRAP
chmod +x "$scratch/ffmpeg"

descendants() {
    local child
    for child in $(ps -o pid= --ppid "$1" 2> /dev/null || true); do
        echo "$child"
        descendants "$child"
    done
}

start=$(date +%s.%N)
PATH="$scratch:$PATH" /usr/bin/time -f '%U %S' -o "$scratch/tool.cpu" "$tool" "$@" &
runner=$!
peak=0
while kill -0 "$runner" 2> /dev/null; do
    total=0
    for p in $(descendants "$runner"); do
        rss=$(awk '/^VmRSS:/ { print $2 }' "/proc/$p/status" 2> /dev/null || true)
        total=$((total + ${rss:-0}))
    done
    ((total > peak)) && peak=$total
    sleep 0.05
done
wait "$runner"
end=$(date +%s.%N)
read -r tu ts < "$scratch/tool.cpu"
fu=0 fs=0
# Every ffmpeg started (the encoder, then the one that muxes the music).
[ -f "$scratch/ffmpeg.cpu" ] && read -r fu fs < <(awk '{ u += $1; s += $2 } END { print u, s }' "$scratch/ffmpeg.cpu")
awk -v w="$(echo "$end - $start" | bc)" -v tu="$tu" -v ts="$ts" -v fu="$fu" -v fs="$fs" -v p="$peak" \
    'BEGIN { printf "wall %.1f s  cpu: ffmpeg %.1f s, demo-capture %.1f s  peak rss %.0f MB\n",
             w, fu + fs, tu + ts - fu - fs, p / 1024 }'
