#!/usr/bin/env bash
# Renders the demo on a Slurm cluster: an array job with one task per part (demo-capture --part
# K/N), then a join job that runs once every task has ended, whatever their outcome. A task that
# finishes leaves a done-marker named for its farm; the join names each part without one, and for
# a video puts the segments together with the music (demo-capture --join). The output's folder and
# the working directory must be shared by the nodes, and each node needs demo-capture.
# One farm at a time works on an output: its work folder names its jobs, and a second farm (or a
# retry) is refused while squeue lists any of them. --retry submits again, with the farm's saved
# options, the parts that left no marker, and a new join.
set -euo pipefail

usage() {
  cat <<'EOF'
usage: capture-farm.sh --parts N --out FILE.mp4|FOLDER [options]
       capture-farm.sh --retry --out FILE.mp4|FOLDER [--sbatch ARG]...
  --parts N          how many array tasks render the span, each a contiguous run of its frames
  --out PATH         the video (FILE.mp4) or the folder of PNG frames, on a shared folder; logs,
                     done-markers and the farm's options go to PATH.farm/ beside it
  --from S, --to S   the span in loop seconds (default: the whole demo)
  --size WxH, --fps N, --tuning "LINE", --preset NAME, --crf N, --png-level N
                     as demo-capture takes them, for every part
  --link URL, --link-file FILE, --any-data
                     a moment's link, as demo-capture takes it: its knobs and edited shaders
                     for every part (its folder links/ID/ is made once, at the submission)
  --data DIR         the data folder (default data, from the working directory)
  --music FILE       the music the join muxes in (default tune.mp3 of the data folder)
  --capture PROGRAM  the capture tool on the nodes (default avada-kedabra-capture, else
                     demo-capture, as found on this machine's PATH)
  --sbatch ARG       one more option for both sbatch calls, e.g. --sbatch --partition=render
                     (repeat it for more)
  --retry            once a farm on PATH has ended: submit again, from the folder and with the
                     options it was submitted with, the parts that did not finish, then a new
                     join; only --sbatch may be added (say, a longer --time)
Bad options and parts (more parts than frames, say) are refused before anything is submitted
(exit code 2), as are a farm on an output whose farm still has jobs in the queue and a retry
with nothing to do. It prints the job ids, how to follow them and where the output will be.
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

parts='' out='' capture='' retry=''
render=() join=() sbatch_extra=()
# Options of the parts (render), of the join, or of both, passed on as given.
read_options() {
  while [ $# -gt 0 ]; do
    case $1 in
    -h | --help) usage && exit 0 ;;
    --retry) retry=yes && shift && continue ;;
    --any-data) render+=("$1") && shift && continue ;;
    --parts | --out | --from | --to | --fps | --data | --size | --tuning | --preset | --crf | \
      --png-level | --music | --capture | --sbatch | --link | --link-file) ;;
    *) refuse "unknown option $1 (see --help)" ;;
    esac
    [ $# -ge 2 ] || refuse "$1 needs a value"
    case $1 in
    --parts) parts=$2 ;;
    --out) out=$2 ;;
    --capture) capture=$2 ;;
    --sbatch) sbatch_extra+=("$2") ;;
    # The nodes read the file from the same folder: its whole path goes.
    --link-file) render+=("$1" "$(realpath -m -- "$2")") ;;
    --music) join+=("$1" "$2") ;;
    --from | --to | --fps | --data) render+=("$1" "$2") join+=("$1" "$2") ;;
    *) render+=("$1" "$2") ;;
    esac
    shift 2
  done
}
read_options "$@"
[ -n "$out" ] || refuse "--out FILE.mp4 or FOLDER is needed"
out=$(realpath -m -- "$out")
work=${out%/}.farm
settings=$work/settings # NUL-separated: the farm's name, its folder, its options

if [ -n "$retry" ]; then
  [ -z "$parts$capture${render[*]}${join[*]}" ] ||
    refuse "--retry takes the options the farm was submitted with: only --out and --sbatch go with it"
  [ -f "$settings" ] || refuse "--retry: no farm was submitted on $out (no $settings)"
  mapfile -d '' -t saved <"$settings"
  run=${saved[0]}
  cd -- "${saved[1]}" || fail "--retry: the farm's folder ${saved[1]} is gone"
  added=("${sbatch_extra[@]}") sbatch_extra=()
  read_options "${saved[@]:2}"
  sbatch_extra+=("${added[@]}")
  out=$(realpath -m -- "$out")
else
  run=$(date +%Y%m%d-%H%M%S)-$$
fi

[[ $parts =~ ^[1-9][0-9]*$ ]] || refuse "--parts: expected a number of parts, 1 or more"
case ${out,,} in
*.mp4) video=yes ;;
*.png | *.csv | -) refuse "--out $out: a .mp4 or a folder of frames" ;;
*) video='' ;;
esac

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

# Submissions on one output take turns: the folder is made by one of them at a time, and while it
# stands the jobs file is read and written by its maker alone.
mkdir -p -- "$work"
turn=$work/submitting
mkdir -- "$turn" 2>/dev/null ||
  refuse "another submission on $out is under way (if none is, remove $turn)"
trap 'rmdir -- "$turn"' EXIT
trap 'exit 130' INT TERM

# True while squeue lists one of the jobs; a job Slurm has forgotten is not listed.
listed() {
  local queue code=0
  queue=$(squeue -h -o %i -j "$1" 2>&1) || code=$?
  if [ $code = 0 ]; then
    [ -n "$queue" ]
    return
  fi
  [[ $queue != *"Invalid job id"* ]] || return 1
  fail "cannot ask squeue about jobs $1: $queue"
}
jobs_file=$work/jobs
if jobs=$(cat -- "$jobs_file" 2>/dev/null) && [ -n "$jobs" ] && listed "$jobs"; then
  refuse "the farm of jobs $jobs still works on $out: follow it with squeue -j $jobs, or end it" \
    "with scancel ${jobs//,/ }"
fi

if [ -n "$retry" ]; then
  missing=()
  for k in $(seq 1 "$parts"); do [ -f "$work/part-$k.$run.done" ] || missing+=("$k"); done
  [ ${#missing[@]} -gt 0 ] ||
    refuse "--retry: every part of $out finished, nothing to submit again (see $work/join.log)"
  tasks=$(IFS=, && echo "${missing[*]}")
else
  tasks=1-$parts
  rm -f -- "$work"/part-*.done
  printf '%s\0' "$run" "$PWD" "$@" >"$settings"
  [ -n "$video" ] || mkdir -p -- "$out"
fi

# sbatch --parsable prints ID or ID;CLUSTER.
job_id() {
  [[ $1 =~ ^([0-9]+)(;[^;[:space:]]+)?$ ]] || return 1
  echo "${BASH_REMATCH[1]}"
}
quoted() { printf '%q ' "$@"; }
# The jobs' scripts, with this run's values written in.
cat >"$work/part.sh" <<EOF
#!/usr/bin/env bash
work=$(printf %q "$work") run=$(printf %q "$run")
k=\$SLURM_ARRAY_TASK_ID
$(quoted "$capture" "${render[@]}") --part "\$k/$parts" --out $(quoted "$out") &&
  touch "\$work/part-\$k.\$run.done"
EOF
common=(--parsable --chdir="$PWD" "${sbatch_extra[@]}")
# A retry's logs follow the earlier attempt's; % is a file name pattern for sbatch.
[ -z "$retry" ] || common+=(--open-mode=append)
logs=${work//'%'/%%}
answer=$(sbatch "${common[@]}" --job-name=capture-parts --array="$tasks" \
  --output="$logs/part-%a.log" "$work/part.sh") || fail "sbatch refused the parts' job"
array=$(job_id "$answer") ||
  fail "sbatch answered '$answer' for the parts, not a job id: see squeue --me for what it queued"
echo "$array" >"$jobs_file"

finish="echo 'capture-farm: every part finished'"
[ -z "$video" ] || finish=$(quoted "$capture" --join "$parts" "${join[@]}" --out "$out")
cat >"$work/join.sh" <<EOF
#!/usr/bin/env bash
work=$(printf %q "$work") run=$(printf %q "$run")
failed=0
for k in \$(seq 1 $parts); do
  [ -f "\$work/part-\$k.\$run.done" ] && continue
  echo "capture-farm: part \$k of $parts did not finish: task ${array}_\$k, see \$work/part-\$k.log" >&2
  failed=1
done
[ \$failed = 0 ] || exit 1
$finish
EOF
cancel_parts() {
  scancel "$array" 2>/dev/null || true
  fail "$1; the parts' job $array was cancelled"
}
answer=$(sbatch "${common[@]}" --job-name=capture-join --dependency="afterany:$array" \
  --output="$logs/join.log" "$work/join.sh") || cancel_parts "sbatch refused the join job"
join_id=$(job_id "$answer") || cancel_parts "sbatch answered '$answer' for the join, not a job id"
echo "$array,$join_id" >"$jobs_file"

echo "parts: job $array, tasks $tasks of $parts, logs $work/part-K.log"
echo "join: job $join_id, log $work/join.log"
echo "follow: squeue -j $array,$join_id    (or: tail -f $work/join.log)"
echo "output: $out, once job $join_id has ended well"
