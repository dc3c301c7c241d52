#!/usr/bin/env bash
# The studio's frame figure (the overlay's "frame ... ms med ... ms p99") for each scene, with the
# shaders of data/ and with those of a git revision, in one go: the real studio in a window under
# Xvfb, SDL's dummy audio driver, each scene's span looped (`--loop`), SECONDS of playing, then
# ended as a window's close would; the figure is the one it prints at exit, the scene's last
# second. Old and new take turns, the order swapped every scene, so that a change in the machine's
# load falls on both.
#   bench/studio/frame_figure.sh [--rev REV] [--seconds N] [--scenes "3 4 5"]
#   defaults: --rev de845e8 (the shaders before the real-time work) --seconds 5 --scenes "1 ... 8"
set -euo pipefail
usage() {
  echo "usage: $0 [--rev REV] [--seconds N] [--scenes \"3 4 5\"]" >&2
  exit 2
}
rev=de845e8 seconds=5 scenes="1 2 3 4 5 6 7 8"
while [ $# -gt 0 ]; do
  [ $# -ge 2 ] || usage
  case $1 in
  --rev) rev=$2 ;;
  --seconds) seconds=$2 ;;
  --scenes) scenes=$2 ;;
  *) usage ;;
  esac
  shift 2
done
here=$(cd "$(dirname "$0")" && pwd)
root=$(git -C "$here" rev-parse --show-toplevel)
demo=$root/build/demo capture=$root/build/demo-capture
[ -x "$demo" ] || { echo "no demo at $demo (build the default preset)" >&2; exit 2; }
if [ -z "${IN_XVFB:-}" ]; then
  IN_XVFB=1 exec xvfb-run -a -s "-screen 0 1280x720x24" "$0" --rev "$rev" --seconds "$seconds" \
    --scenes "$scenes"
fi

. "$root/bench/shaders/old_data.sh"
old_data_scratch "$capture" "$rev"

# Each scene's span of loop time, from its first frame to the next scene's (the 60 fps grid; the
# last scene's to the run's last frame).
"$capture" --parameters 2>/dev/null |
  awk -F, 'NR > 1 && $3 != s { if (s) print s, from, $1; s = $3; from = $1 }
    NR > 1 { last = $1 } END { print s, from, last }' >"$scratch/spans"
"$capture" --bench --bench-frames 1 --data "$root/data" 2>/dev/null |
  awk -F'|' '{ gsub(/ /, "", $2); gsub(/^ +| +$/, "", $4) } $2 ~ /^[0-9]$/ { print $2, $4 }' >"$scratch/programs"

# figure DATA FROM_MS TO_MS: "median p99 frames" of the studio's last second there.
figure() {
  local out=$scratch/studio.out pid
  SDL_AUDIODRIVER=dummy "$demo" --studio --data "$1" --tuning-file "$scratch/none" \
    --loop "$(awk -v a="$2" -v b="$3" 'BEGIN { printf "%.3f:%.3f", a / 1000, b / 1000 - 0.001 }')" \
    >"$out" 2>"$scratch/studio.err" &
  pid=$!
  sleep "$seconds"
  kill -TERM $pid
  wait $pid || { echo "the studio failed:" >&2; cat "$scratch/studio.err" >&2; exit 1; }
  sed -n 's/^studio: frame time, scene [0-9]*, the last second: \([0-9]*\) frames, median \([0-9.]*\) ms, 99th percentile \([0-9.]*\) ms$/\2 \3 \1/p' "$out"
}

echo "studio frame figure, the last of $seconds s in each scene's span: old = $rev, new = data/"
echo
echo "| scene | program | old median / p99 ms | new median / p99 ms | new/old, median |"
echo "|------:|---------|---:|---:|---:|"
turn=0
for scene in $scenes; do
  read -r _ from to < <(awk -v s="$scene" '$1 == s' "$scratch/spans")
  if [ $((turn++ % 2)) -eq 0 ]; then
    old=$(figure "$scratch/old/data" "$from" "$to") new=$(figure "$root/data" "$from" "$to")
  else
    new=$(figure "$root/data" "$from" "$to") old=$(figure "$scratch/old/data" "$from" "$to")
  fi
  program=$(awk -v s="$scene" '$1 == s { $1 = ""; print substr($0, 2) }' "$scratch/programs")
  read -r om op _ <<<"$old"
  read -r nm np _ <<<"$new"
  echo "| $scene | $program | $om / $op | $nm / $np | $(awk -v a="$om" -v b="$nm" 'BEGIN { printf "%.2f", b / a }') |"
done
