#!/usr/bin/env bash
# Scene cost of the shaders in data/ against those of a git revision, side by side in one run:
# `demo-capture --bench` on each in turn, ROUNDS times, the order swapped every round so that a
# change in the machine's load falls on both. Prints each round, then per scene the median of the
# rounds (old ms, new ms) and the median of the per-round ratios new/old.
set -euo pipefail
usage() {
  echo "usage: $0 [--rev REV] [--rounds N] [--frames N] [--capture PATH] [--data DIR]" >&2
  echo "  defaults: --rev de845e8 --rounds 5 --frames 5 --capture build/demo-capture --data data" >&2
  exit 2
}
here=$(cd "$(dirname "$0")" && pwd)
root=$(git -C "$here" rev-parse --show-toplevel)
rev=de845e8 rounds=5 frames=5 capture=$root/build/demo-capture data=$root/data
while [ $# -gt 0 ]; do
  case $1 in
  --rev) rev=$2 ;;
  --rounds) rounds=$2 ;;
  --frames) frames=$2 ;;
  --capture) capture=$(realpath "$2") ;;
  --data) data=$(realpath "$2") ;;
  *) usage ;;
  esac
  [ $# -ge 2 ] || usage
  shift 2
done
. "$here/old_data.sh"
old_data_scratch "$capture" "$rev"

# One bench run: "scene program ms" a line, the null pass as scene "null".
bench() {
  "$capture" --bench --bench-frames "$frames" --data "$1" |
    awk -F'|' '/^\| *([0-9]|null) *\|/ {
      gsub(/ /, "", $2); gsub(/^ +| +$/, "", $4); gsub(/ /, "", $5); print $2 "\t" $4 "\t" $5 }'
}

echo "demo-capture --bench --bench-frames $frames: old = $rev, new = $data; $rounds rounds"
for r in $(seq 1 "$rounds"); do
  load=$(cut -d' ' -f1 /proc/loadavg)
  if [ $((r % 2)) -eq 1 ]; then
    bench "$scratch/old/data" >"$scratch/old.$r"
    bench "$data" >"$scratch/new.$r"
  else
    bench "$data" >"$scratch/new.$r"
    bench "$scratch/old/data" >"$scratch/old.$r"
  fi
  echo "round $r (load average $load at its start, $(cut -d' ' -f1 /proc/loadavg) at its end):" \
    "old/new ms per scene:" $(paste "$scratch/old.$r" "$scratch/new.$r" | awk -F'\t' '{printf "%s %s/%s  ", $1, $3, $6}')
done

echo
echo "| scene | program | old ms | new ms | new/old |"
echo "|------:|---------|-------:|-------:|--------:|"
for r in $(seq 1 "$rounds"); do paste "$scratch/old.$r" "$scratch/new.$r"; done |
  awk -F'\t' '
    function med(s,   a, n, i, j, x) {
      n = split(s, a, " ")
      for (i = 2; i <= n; i++) { x = a[i]; for (j = i - 1; j > 0 && a[j] > x; j--) a[j + 1] = a[j]; a[j + 1] = x }
      return n % 2 ? a[(n + 1) / 2] : (a[n / 2] + a[n / 2 + 1]) / 2
    }
    !($1 in prog) { order[++n] = $1; prog[$1] = $2 }
    { old[$1] = old[$1] " " $3; new[$1] = new[$1] " " $6; ratio[$1] = ratio[$1] " " ($6 / $3) }
    END {
      for (i = 1; i <= n; i++) {
        s = order[i]
        printf "| %s | %s | %.1f | %.1f | %.2f |\n", s, prog[s], med(old[s]), med(new[s]), med(ratio[s])
      }
    }'
