#!/usr/bin/env bash
# The studio's frame figure (the overlay's "frame ... ms med ... ms p99") for each scene, with the
# shaders of data/ and with those of a git revision, in one go: the real studio in a window under
# Xvfb, SDL's dummy audio driver, each scene's span looped (`--loop`), SECONDS of playing, then
# ended as a window's close would; the figure is the one it prints at exit, the scene's last
# second. Old and new take turns, the order swapped every scene, so that a change in the machine's
# load falls on both. With --scales, data/ alone at each preview scale instead (1, 2, 4: the
# studio's S pressed 0, 1 or 2 times once its window shows), the order turned every scene.
#   bench/studio/frame_figure.sh [--rev REV] [--seconds N] [--scenes "3 4 5"] [--scales "1 2 4"]
#   defaults: --rev de845e8 (the shaders before the real-time work) --seconds 5 --scenes "1 ... 8"
set -euo pipefail
usage() {
  echo "usage: $0 [--rev REV] [--seconds N] [--scenes \"3 4 5\"] [--scales \"1 2 4\"]" >&2
  exit 2
}
rev=de845e8 seconds=5 scenes="1 2 3 4 5 6 7 8" scales=""
while [ $# -gt 0 ]; do
  [ $# -ge 2 ] || usage
  case $1 in
  --rev) rev=$2 ;;
  --seconds) seconds=$2 ;;
  --scenes) scenes=$2 ;;
  --scales)
    scales=$2
    for scale in $scales; do [[ $scale =~ ^[124]$ ]] || usage; done
    ;;
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
    --scenes "$scenes" --scales "$scales"
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

# figure DATA FROM_MS TO_MS [SCALE]: "median p99 frames" of the studio's last second there, with
# the preview at 1/SCALE (default 1) from the start.
figure() {
  local out=$scratch/studio.out pid wid scale=${4:-1} presses
  SDL_AUDIODRIVER=dummy "$demo" --studio --data "$1" --tuning-file "$scratch/none" \
    --loop "$(awk -v a="$2" -v b="$3" 'BEGIN { printf "%.3f:%.3f", a / 1000, b / 1000 - 0.001 }')" \
    >"$out" 2>"$scratch/studio.err" &
  pid=$!
  presses=$((scale / 2)) # S: 1 -> 2 -> 4
  if [ "$presses" -gt 0 ]; then
    wid=$(xdotool search --sync --onlyvisible --name '^avada kedabra!$' | head -1)
    xdotool windowfocus --sync "$wid"
    for _ in $(seq "$presses"); do xdotool key s; done
  fi
  sleep "$seconds"
  kill -TERM $pid
  wait $pid || { echo "the studio failed:" >&2; cat "$scratch/studio.err" >&2; exit 1; }
  sed -n "s/^studio: frame time, scene [0-9]*, the last second: \([0-9]*\) frames, median \([0-9.]*\) ms, 99th percentile \([0-9.]*\) ms, preview 1\/$scale\$/\2 \3 \1/p" "$out" | grep . ||
    { echo "no frame figure at 1/$scale:" >&2; cat "$out" >&2; exit 1; }
}

if [ -n "$scales" ]; then
  echo "studio frame figure, the last of $seconds s in each scene's span, data/ at each preview scale"
  echo
  header="| scene | program |" rule="|------:|---------|"
  for scale in $scales; do header="$header 1/$scale median / p99 ms |" rule="$rule---:|"; done
  echo "$header"
  echo "$rule"
  turn=0
  for scene in $scenes; do
    read -r _ from to < <(awk -v s="$scene" '$1 == s' "$scratch/spans")
    declare -A got=()
    set -- $scales
    for ((k = 0; k < $#; k++)); do # the order turned by one every scene
      scale=${@:$(((k + turn) % $# + 1)):1}
      read -r m p _ < <(figure "$root/data" "$from" "$to" "$scale")
      got[$scale]="$m / $p"
    done
    turn=$((turn + 1))
    row="| $scene | $(awk -v s="$scene" '$1 == s { $1 = ""; print substr($0, 2) }' "$scratch/programs") |"
    for scale in $scales; do row="$row ${got[$scale]} |"; done
    echo "$row"
    unset got
  done
  exit 0
fi

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
