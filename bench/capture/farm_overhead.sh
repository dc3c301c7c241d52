#!/usr/bin/env bash
# What a part of a split capture costs beyond its frames (start-up, the clock replayed to its first
# frame, the shader build, the encoder's start): one span rendered whole as an .mp4, then as 2, 4
# and 8 parts run one after another, each a process of its own, and the join of each split. A part
# costs (sum of the parts - whole) / (parts - 1), in wall time and in CPU time (demo-capture and
# its ffmpeg children, user and system). On a machine shared with other jobs the CPU time is the
# figure that holds; the wall time is what an idle node would take near it, start-up being mostly
# one thread. Rounds take the runs in turn, so a change in the load falls on all alike.
# usage: bench/capture/farm_overhead.sh DEMO-CAPTURE ROUNDS WxH [SPAN OPTIONS...]
#   e.g. bench/capture/farm_overhead.sh build/demo-capture 3 1920x1080 --from 60 --to 61
#   (from the repository root: the tool reads data/)
set -euo pipefail
tool=$(realpath "$1") rounds=$2 size=$3
shift 3
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
now() { date +%s.%N; }
# CPU seconds of this shell's finished children in FILE, as the times builtin wrote them.
children_cpu() { tail -n 1 "$1" | awk '{ split($0, t, /[ms ]+/); print t[1] * 60 + t[2] + t[3] * 60 + t[4] }'; }
# COMMAND...: runs it; leaves its wall and CPU seconds in $wall and $used. The times builtin runs
# in this shell: a subshell would count its own children only.
measure() {
  local start
  start=$(now)
  times >"$scratch/before"
  "$@" >/dev/null
  times >"$scratch/after"
  wall=$(echo "$(now) - $start" | bc)
  used=$(echo "$(children_cpu "$scratch/after") - $(children_cpu "$scratch/before")" | bc)
}
parts() { # N: the N parts one after another
  local k
  for k in $(seq 1 "$1"); do "$tool" --size "$size" "${span[@]}" --part "$k/$1" --out "$scratch/v.mp4"; done
}
span=("$@")

echo "| round (load) | parts | whole: wall s, CPU s | parts: wall s, CPU s | a part: wall s, CPU s | join: wall s, CPU s |"
echo "|---|---:|---:|---:|---:|---:|"
for round in $(seq 1 "$rounds"); do
  load=$(cut -d' ' -f1 /proc/loadavg)
  measure "$tool" --size "$size" "${span[@]}" --out "$scratch/whole.mp4"
  whole_wall=$wall whole_cpu=$used
  for n in 2 4 8; do
    measure parts "$n"
    parts_wall=$wall parts_cpu=$used
    measure "$tool" --join "$n" "${span[@]}" --out "$scratch/v.mp4"
    printf '| %s (%s) | %d | %.1f, %.1f | %.1f, %.1f | %.2f, %.2f | %.2f, %.2f |\n' "$round" "$load" \
      "$n" "$whole_wall" "$whole_cpu" "$parts_wall" "$parts_cpu" \
      "$(echo "($parts_wall - $whole_wall) / ($n - 1)" | bc -l)" \
      "$(echo "($parts_cpu - $whole_cpu) / ($n - 1)" | bc -l)" "$wall" "$used"
    rm -f "$scratch"/v.*
  done
done
