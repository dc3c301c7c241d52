#!/usr/bin/env bash
# Does data/ draw the same picture as a git revision's shaders? For every scene, five frames spread
# over its span are rendered with `demo-capture --at` at 1024x512, old and new, with the defaults
# and with every controller the scenes read at 0 and at 1; psnr.py compares them (PSNR of the
# frame, and of its worst 64 x 64 tile). Exit 1 when a frame is under 38 dB or a tile under 30.
set -euo pipefail
usage() {
  echo "usage: $0 [--rev REV] [--scenes \"3 5\"] [--capture PATH] [--data DIR] [--keep DIR] [--sheet FILE.png] [-j N]" >&2
  echo "  --sheet: old | new, the middle frame of each scene with its defaults, one scene a row" >&2
  echo "  defaults: --rev de845e8, scenes 1 to 8, --capture build/demo-capture --data data -j 2" >&2
  exit 2
}
here=$(cd "$(dirname "$0")" && pwd)
root=$(git -C "$here" rev-parse --show-toplevel)
rev=de845e8 scenes="1 2 3 4 5 6 7 8" capture=$root/build/demo-capture data=$root/data keep="" sheet="" jobs=2
while [ $# -gt 0 ]; do
  case $1 in
  --rev) rev=$2 ;;
  --scenes) scenes=$2 ;;
  --capture) capture=$(realpath "$2") ;;
  --data) data=$(realpath "$2") ;;
  --keep) keep=$2 ;;
  --sheet) sheet=$2 ;;
  -j) jobs=$2 ;;
  *) usage ;;
  esac
  [ $# -ge 2 ] || usage
  shift 2
done
. "$here/old_data.sh"
old_data_scratch "$capture" "$rev"
frames=${keep:-$scratch/frames}
mkdir -p "$frames"

# The controllers the scene scripts read (2 to 6, 8, 9, 12, 13), all at one end of their range.
all_at() {
  local c line=""
  for c in 2 3 4 5 6 8 9 12 13; do line+="$c:$1.00($2) "; done
  echo "$line"
}
declare -A tuning=([default]="" [knobs0]="$(all_at 0 0)" [knobs1]="$(all_at 1 127)")

# Each scene's span in loop time, from the scene scripts themselves (10 rows a second); five
# frames at the middles of its fifths.
"$capture" --parameters --fps 10 --out "$scratch/params.csv"
for s in $scenes; do
  awk -F, -v s="$s" 'NR > 1 && $3 == s { if (!n++) a = $1; b = $1 }
    END { if (n < 10) exit 1; for (i = 0; i < 5; i++) printf "%.3f\n", (a + (b - a) * (i + 0.5) / 5) / 1000 }' \
    "$scratch/params.csv" >"$scratch/times.$s" || { echo "scene $s: no span to sample" >&2; exit 2; }
done

for s in $scenes; do
  i=0
  while read -r at; do
    i=$((i + 1))
    for tn in default knobs0 knobs1; do
      for side in old new; do
        dir=$data
        [ $side = old ] && dir=$scratch/old/data
        printf '%s\0' "$capture --data '$dir' --at $at --size 1024x512 --out '$frames/s$s-$tn-$i-$side.png' ${tuning[$tn]:+--tuning '${tuning[$tn]}'} >/dev/null"
      done
    done
  done <"$scratch/times.$s"
done | xargs -0 -P "$jobs" -I{} sh -c {}

for s in $scenes; do
  i=0
  while read -r at; do
    i=$((i + 1))
    for tn in default knobs0 knobs1; do echo "$s $tn $at $frames/s$s-$tn-$i-old.png $frames/s$s-$tn-$i-new.png"; done
  done <"$scratch/times.$s"
done >"$scratch/pairs"

if [ -n "$sheet" ]; then
  inputs=() filter="" n=0
  for s in $scenes; do
    for side in old new; do
      inputs+=(-i "$frames/s$s-default-3-$side.png")
      filter+="[$n:v]scale=512:256[c$n];"
      n=$((n + 1))
    done
  done
  layout=""
  for ((k = 0; k < n; k++)); do layout+="${layout:+|}$(((k % 2) * 512))_$((k / 2 * 256))"; done
  cells=""
  for ((k = 0; k < n; k++)); do cells+="[c$k]"; done
  ffmpeg -nostdin -v error -y "${inputs[@]}" -filter_complex "$filter${cells}xstack=inputs=$n:layout=$layout" -frames:v 1 "$sheet"
fi

/usr/bin/python3 "$here/psnr.py" <"$scratch/pairs" # Debian's, beside its python3-numpy
