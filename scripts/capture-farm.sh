#!/usr/bin/env bash
# Renders the demo on a Slurm cluster: an array job with one task per part (demo-capture --part
# K/N), then a join job that runs once every task has ended, whatever their outcome. A task that
# finishes leaves a done-marker; the join names each part without one, and for a video puts the
# segments together with the music (demo-capture --join). The output's folder and the working
# directory must be shared by the nodes, and each node needs demo-capture.
set -euo pipefail

usage() {
  cat <<'EOF'
usage: capture-farm.sh --parts N --out FILE.mp4|FOLDER [options]
  --parts N          how many array tasks render the span, each a contiguous run of its frames
  --out PATH         the video (FILE.mp4) or the folder of PNG frames, on a shared folder; logs
                     and done-markers go to PATH.farm/ beside it
  --from S, --to S   the span in loop seconds (default: the whole demo)
  --size WxH, --fps N, --tuning "LINE", --preset NAME, --crf N, --png-level N
                     as demo-capture takes them, for every part
  --data DIR         the data folder (default data, from the working directory)
  --music FILE       the music the join muxes in (default tune.mp3 of the data folder)
  --capture PROGRAM  the capture tool on the nodes (default avada-kedabra-capture, else
                     demo-capture, as found on this machine's PATH)
  --sbatch ARG       one more option for both sbatch calls, e.g. --sbatch --partition=render
                     (repeat it for more)
Bad options and parts (more parts than frames, say) are refused before anything is submitted
(exit code 2). It prints the job ids, how to follow them and where the output will be.
EOF
}

refuse() {
  echo "capture-farm: $*" >&2
  exit 2
}
fail() {
  echo "capture-farm: $*" >&2
  exit 1
}

parts='' out='' capture=''
render=() join=() sbatch_extra=()
while [ $# -gt 0 ]; do
  case $1 in
  -h | --help) usage && exit 0 ;;
  --parts | --out | --from | --to | --fps | --data | --size | --tuning | --preset | --crf | \
    --png-level | --music | --capture | --sbatch)
    [ $# -ge 2 ] || refuse "$1 needs a value"
    case $1 in
    --parts) parts=$2 ;;
    --out) out=$2 ;;
    --capture) capture=$2 ;;
    --sbatch) sbatch_extra+=("$2") ;;
    --music) join+=("$1" "$2") ;;
    --from | --to | --fps | --data) render+=("$1" "$2") join+=("$1" "$2") ;;
    *) render+=("$1" "$2") ;;
    esac
    shift 2
    ;;
  *) refuse "unknown option $1 (see --help)" ;;
  esac
done

[[ $parts =~ ^[1-9][0-9]*$ ]] || refuse "--parts: expected a number of parts, 1 or more"
[ -n "$out" ] || refuse "--out FILE.mp4 or FOLDER is needed"
case ${out,,} in
*.mp4) video=yes ;;
*.png | *.csv | -) refuse "--out $out: a .mp4 or a folder of frames" ;;
*) video='' ;;
esac
out=$(realpath -m -- "$out")
work=${out%/}.farm

if [ -z "$capture" ]; then
  capture=$(command -v avada-kedabra-capture || command -v demo-capture) ||
    fail "no avada-kedabra-capture or demo-capture on the PATH: name it with --capture"
fi
command -v "$capture" >/dev/null || fail "--capture $capture: no such program"

# The tool checks every option and the parts against the span; 2 is its code for a bad line.
check() {
  local code=0
  "$capture" "$@" --dry-run >/dev/null || code=$?
  case $code in
  0) ;;
  2) exit 2 ;;
  *) fail "$capture failed with exit code $code" ;;
  esac
}
check "${render[@]}" --part "$parts/$parts" --out "$out"
[ -z "$video" ] || check --join "$parts" "${join[@]}" --out "$out"

command -v sbatch >/dev/null || fail "no sbatch on this machine: run it where jobs are submitted to Slurm"

mkdir -p -- "$work"
[ -n "$video" ] || mkdir -p -- "$out"
rm -f -- "$work"/part-*.done

quoted() { printf '%q ' "$@"; }
# The jobs' scripts, with this run's values written in.
cat >"$work/part.sh" <<EOF
#!/usr/bin/env bash
work=$(printf %q "$work")
k=\$SLURM_ARRAY_TASK_ID
$(quoted "$capture" "${render[@]}") --part "\$k/$parts" --out $(quoted "$out") &&
  touch "\$work/part-\$k.done"
EOF
common=(--parsable --chdir="$PWD" "${sbatch_extra[@]}")
array=$(sbatch "${common[@]}" --job-name=capture-parts --array="1-$parts" \
  --output="$work/part-%a.log" "$work/part.sh") || fail "sbatch refused the parts' job"
array=${array%%;*}

finish="echo 'capture-farm: every part finished'"
[ -z "$video" ] || finish=$(quoted "$capture" --join "$parts" "${join[@]}" --out "$out")
cat >"$work/join.sh" <<EOF
#!/usr/bin/env bash
work=$(printf %q "$work")
failed=0
for k in \$(seq 1 $parts); do
  [ -f "\$work/part-\$k.done" ] && continue
  echo "capture-farm: part \$k of $parts did not finish: task ${array}_\$k, see \$work/part-\$k.log" >&2
  failed=1
done
[ \$failed = 0 ] || exit 1
$finish
EOF
join_id=$(sbatch "${common[@]}" --job-name=capture-join --dependency="afterany:$array" \
  --output="$work/join.log" "$work/join.sh") || {
  scancel "$array" 2>/dev/null || true
  fail "sbatch refused the join job; the parts' job $array was cancelled"
}
join_id=${join_id%%;*}

echo "parts: job $array, tasks 1 to $parts, logs $work/part-K.log"
echo "join: job $join_id, log $work/join.log"
echo "follow: squeue -j $array,$join_id    (or: tail -f $work/join.log)"
echo "output: $out, once job $join_id has ended well"
