#!/usr/bin/env bash
# The capture farm on a real one-node Slurm cluster started here (munged, slurmctld, slurmd; own
# key, ports and state, all stopped at the end): 2 s at 1024x512 and 20 fps in 4 parts, as PNG frames and as
# a video with a moment's link, against a single run of each; a part that cannot write fails the join, which names its
# task and log, and --retry submits it again; bad parts, a second farm on a busy output and an
# answer of sbatch that is no job id are refused.
#   capture_farm_e2e.sh DEMO_CAPTURE CAPTURE_FARM
set -u
here=$(dirname "$(readlink -f "$0")")
. "$here/../support/x_session.sh" # check
. "$here/../support/trivial_data.sh"
capture=$(readlink -f "$1") farm=$(readlink -f "$2")
work=$(mktemp -d) && chmod 755 "$work" && cd "$work" || exit 1
export SLURM_CONF=$work/slurm.conf SDL_VIDEODRIVER=offscreen

# Polls COMMAND... every 0.2 s for up to SECONDS; false if it never succeeds.
wait_for() {
    local end=$((SECONDS + $1)) && shift
    until "$@" > /dev/null 2>&1; do [ $SECONDS -lt $end ] || return 1; sleep 0.2; done
}
stop_cluster() {
    [ -f slurmctld.pid ] && squeue -h -o %i 2> /dev/null | xargs -r scancel --quiet
    for daemon in slurmd slurmctld munged; do
        [ -f "$daemon.pid" ] && pid=$(cat "$daemon.pid") && kill "$pid" 2> /dev/null &&
            wait_for 30 eval "! kill -0 $pid"
    done
    cd / && rm -rf "$work"
}
trap stop_cluster EXIT
free_port() { python3 -c 'import socket; s = socket.socket(); s.bind(("", 0)); print(s.getsockname()[1])'; }
node_idle() { [ "$(sinfo -h -o %t)" = idle ]; }
queue_empty() { local q && q=$(squeue -h -o %i) && [ -z "$q" ]; }

mkdir state spool && head -c 1024 /dev/urandom > munge.key && chmod 600 munge.key
cat > slurm.conf << EOF
ClusterName=farm
SlurmctldHost=localhost
SlurmctldPort=$(free_port)
SlurmdPort=$(free_port)
AuthType=auth/munge
AuthInfo=socket=$work/munge.sock
CredType=cred/munge
SlurmUser=$(id -un)
StateSaveLocation=$work/state
SlurmdSpoolDir=$work/spool
SlurmctldPidFile=$work/slurmctld.pid
SlurmdPidFile=$work/slurmd.pid
SlurmctldLogFile=$work/slurmctld.log
SlurmdLogFile=$work/slurmd.log
ProctrackType=proctrack/linuxproc
TaskPlugin=task/none
SelectType=select/cons_tres
SelectTypeParameters=CR_CPU
ReturnToService=2
AccountingStorageType=accounting_storage/none
JobAcctGatherType=jobacct_gather/none
NodeName=localhost CPUs=2 State=UNKNOWN
PartitionName=farm Nodes=localhost Default=YES MaxTime=INFINITE State=UP
EOF
munged --key-file=munge.key --socket="$work/munge.sock" --pid-file="$work/munged.pid" \
    --seed-file=munge.seed --log-file=munged.log && wait_for 30 munge --socket="$work/munge.sock" -n &&
    slurmctld && wait_for 60 scontrol ping && slurmd -N localhost && wait_for 60 node_idle ||
    { echo "FAIL: the cluster did not start"; tail -n 5 ./*.log; exit 1; }

make_trivial_data "$work"
ffmpeg -nostdin -v error -f lavfi -i sine=f=440:d=10 data/tune.mp3 # a tone all along
span=(--size 1024x512 --fps 20 --from 0 --to 2) # 41 frames
# The runs compared take a moment's link, with a knob and an edit that paints the opening red.
mkdir edits && sed 's/gl_FragColor = .*/gl_FragColor = vec4(1.0, 0.0, 0.0, 1.0); }/' \
    data/verystart.shader > edits/verystart.shader
"$capture" --make-link http://farm/ --tuning "2:0.50(64) " --edits edits > link.txt
linked=(--link-file link.txt)
"$capture" "${span[@]}" "${linked[@]}" --out single &&
    "$capture" "${span[@]}" "${linked[@]}" --out single.mp4 ||
    { echo "FAIL: the single runs"; exit 1; }
farm() { "$farm" --capture "$capture" "${span[@]}" "$@"; }

while IFS='|' read -r args says; do
    farm $args --out refused.mp4 2> refused.err
    check "$args: exit 2 with the reason, nothing submitted" \
        '[ $? = 2 ] && grep -q "$says" refused.err && [ ! -e refused.mp4.farm ] && queue_empty'
done << 'EOF'
--parts 0|a number of parts
--parts 500|more parts than frames
--retry|only --out and --sbatch
EOF
# The broken farm goes first: it ends first, and its retry renders while the others do. Its part 2
# cannot write its segment, and a % in its name is no pattern for Slurm.
broken='broken%j.mp4'
ids() { sed -n 's/^follow: squeue -j \([0-9,]*\) .*/\1/p' "$1"; }
mkdir broken%j.part-2-of-2.mp4 && farm --parts 2 --out $broken > broken.out &&
    farm --parts 4 --out frames "${linked[@]}" > frames.out &&
    farm --parts 4 --out video.mp4 "${linked[@]}" > video.out ||
    { echo "FAIL: submitting"; exit 1; }
farm --parts 2 --out video.mp4 2> second.err
check "a second farm on an output is refused while the first has jobs, naming them" \
    '[ $? = 2 ] && grep -q "squeue -j $(ids video.out)" second.err'
mkdir fake && printf '#!/bin/sh\necho Submitted batch job 7\n' > fake/sbatch && chmod +x fake/sbatch
PATH=$PWD/fake:$PATH farm --parts 2 --out fake.mp4 2> fake.err
check "an answer of sbatch that is no job id is named and ends the submission" \
    '[ $? = 1 ] && grep -q "answered .Submitted batch job 7. for the parts" fake.err'

broken_ended() { [ -z "$(squeue -h -j "$(ids broken.out)")" ]; }
wait_for 300 broken_ended || { echo "FAIL: the broken farm did not end"; squeue; exit 1; }
parts_job=$(sed -n 's/^parts: job \([0-9]*\).*/\1/p' broken.out)
join_job=$(sed -n 's/^join: job \([0-9]*\).*/\1/p' broken.out)
check "a part that cannot write fails the join, which names its task and log" \
    'scontrol show job "$join_job" | grep -q JobState=FAILED &&
     grep "part 2 of 2 did not finish: task ${parts_job}_2, see .*/$broken.farm/part-2.log" $broken.farm/join.log &&
     ! grep "part 1" $broken.farm/join.log && [ ! -e $broken ] && [ -f broken%j.part-1-of-2.mp4 ]'
rmdir broken%j.part-2-of-2.mp4 && "$farm" --retry --out $broken > retry.out
check "--retry submits the part that did not finish, and a join" \
    '[ $? = 0 ] && grep -q "^parts: job [0-9]*, tasks 2 of 2" retry.out'
wait_for 300 queue_empty || { echo "FAIL: the jobs did not end"; squeue; exit 1; }
cat video.out

check "the link's edit, in the one folder made for it, paints the frames" \
    '[ "$(ls links | wc -l)" = 1 ] && cmp -s links/*/verystart.shader edits/verystart.shader &&
     [ "$(ffmpeg -v quiet -i single/frame_000001.png -f rawvideo -pix_fmt rgb24 - |
         od -An -tu1 -j $(((256 * 1024 + 512) * 3)) -N3 | tr -s " ")" = " 255 0 0" ]'
check "the PNG parts are the single run's frames, byte for byte" \
    '[ "$(ls single | wc -l)" = 41 ] && diff -r single frames &&
     grep -q "every part finished" frames.farm/join.log'
packets() { ffprobe -v error -select_streams "$2" -count_packets -show_entries \
    stream=nb_read_packets,duration -of csv=p=0 "$1"; }
check "the joined video has the single run's frame count" \
    '[ "$(packets video.mp4 v)" = "$(packets single.mp4 v)" ] && packets video.mp4 v | grep -q ,41$'
psnr() { ffmpeg -nostdin -i "$1" -framerate 20 -i single/frame_%06d.png -lavfi \
    '[0:v]format=rgb24[a];[1:v]format=rgb24[b];[a][b]psnr' -f null - 2>&1 |
    sed -n 's/.*average:\([0-9.]*\).*/\1/p'; }
single_db=$(psnr single.mp4) joined_db=$(psnr video.mp4)
echo "PSNR against the PNG frames: single run $single_db dB, joined $joined_db dB"
check "the joined video is as close to the frames as the single run's (0.5 dB)" \
    'awk -v a="$single_db" -v b="$joined_db" "BEGIN { exit !(a > 30 && b > a - 0.5) }"'
check "sound all along the joined video" \
    '[ "$(packets video.mp4 a)" = "$(packets single.mp4 a)" ] &&
     ! ffmpeg -nostdin -i video.mp4 -af silencedetect=n=-30dB:d=0.05 -f null - 2>&1 | grep -q silence_start'

check "the retried farm's video is whole" 'packets $broken v | grep -q ,41$'
"$farm" --retry --out $broken 2> retry.err
check "--retry with every part done: refused" '[ $? = 2 ] && grep -q "every part" retry.err'
[ $fail = 0 ] || tail -n 20 ./*.farm/*.log
exit $fail
