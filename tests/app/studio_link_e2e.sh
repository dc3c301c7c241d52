#!/usr/bin/env bash
# A moment as a link end to end, the link made as the page makes it, with an edit of the orb's
# shader that tints it red: demo-capture --link renders the frame of --at with the link's tuning
# and a data folder holding the edit; demo --studio refuses a link made against other data (exit
# 2, one line, nothing written; the form's refusals are the unit tests'), then opens the moment paused at
# its time, red, from links/ID/, rebuilds on a save there and keeps its tuning there; data/ and
# tuning.txt are untouched. What links/ID/ holds, kept or matched, is the unit tests'.
#   studio_link_e2e.sh DEMO DEMO_CAPTURE   (from the folder that holds data/)
set -u
here=$(dirname "$(readlink -f "$0")")
. "$here/../support/x_session.sh"
in_x_session "$@"
demo=$(readlink -f "$1") capture=$(readlink -f "$2")
work=$(mktemp -d) pid=
trap '[ -n "$pid" ] && kill -9 $pid 2> /dev/null; rm -rf "$work"' EXIT
export SDL_AUDIODRIVER=dummy
ln -s "$PWD/data" "$work/data" && cd "$work" || exit 1
data_sum() { cat data/* | md5sum; }
before=$(data_sum)
sed 's/gl_FragColor = vec4(col, 1.0);/gl_FragColor = vec4(col.r + 0.4, col.gb * 0.2, 1.0);/' \
    data/ball8.shader > red.shader
line="2:0.50(64) "
mkdir edited && cp data/* edited/ && cp red.shader edited/ball8.shader
"$capture" --make-link http://127.0.0.1:8000/ --at 110 --from 105 --to 115 --paused \
    --tuning "$line" --edits edited > link.txt

refused() { # WHAT REASON ARGS...: exit 2 with the one line "demo: REASON..." and nothing written
    local what=$1 reason=$2
    shift 2
    "$demo" --studio "$@" > /dev/null 2> refused.err
    local code=$?
    check "$what: exit 2 with its reason, nothing written (got $code: $(cat refused.err))" \
        '[ $code -eq 2 ] && [ "$(wc -l < refused.err)" = 1 ] && grep -q "^demo: $reason" refused.err &&
        [ ! -e links ]'
}
refused "a link made against other data" "the link was made against other data: edited/ball8.shader" \
    --link-file link.txt --data edited

"$capture" --link-file link.txt --size 1024x512 --out link.png &&
    "$capture" --at 110 --tuning "$line" --data edited --size 1024x512 --out at.png
check "capture --link: the frame of --at 110 --tuning LINE --data with the edit" 'cmp -s link.png at.png'
id=$(ls links)

rm -r links # the studio makes it anew
"$demo" --studio --link-file link.txt > studio.out 2> studio.err &
pid=$!
wid=$(find_window "avada kedabra!" 30) || { echo "FAIL: no studio window"; exit 1; }
check "paused from its first frame: the picture stands still" 'opened_paused paused.rgb'
check "the link's edit tints it red" 'red paused.rgb'
# Nearer the link's frame (the capture's, window-sized) than the frames either side of it.
"$capture" --link-file link.txt --from 109.983 --to 110.017 --size 1024x576 --out frames/ \
    > /dev/null 2>&1
psnr() { ffmpeg -f rawvideo -pix_fmt rgb24 -video_size 1024x576 -i paused.rgb -i "$1" \
    -lavfi psnr -f null - 2>&1 | sed -n 's/.*average:\([^ ]*\).*/\1/p'; }
scores=$(for frame in frames/*.png; do psnr "$frame"; done | tr '\n' ' ')
check "at the link's time, 110 s (PSNR $scores)" \
    'awk -v s="$scores" "BEGIN { split(s, p, \" \"); exit !(p[2] > p[1] && p[2] > p[3] && p[2] >= 35) }"'

cp data/ball8.shader links/"$id"/ball8.shader.new && mv links/"$id"/ball8.shader.new links/"$id"/ball8.shader
check "a save in the link's folder rebuilds: red no more" \
    'wait_for "no rebuild" $pid differs paused.rgb && still mended.rgb && ! red mended.rgb'
press "$wid" shift+r
check "Shift+R: the tuning kept in the link's folder" \
    'wait_for "not saved" $pid eval "[ \"\$(cat links/$id/tuning.txt)\" = \"\" ]"'
press "$wid" Escape
for _ in $(seq 100); do kill -0 $pid 2> /dev/null || break; sleep 0.1; done
wait $pid
code=$? pid=
check "Escape: exit code 0 (got $code), nothing on stderr" '[ $code -eq 0 ] && [ ! -s studio.err ]'
said="demo: the link's moment: 110.000 s, loop 105.000 to 115.000 s, paused; its shaders and \
tuning in links/$id/"
check "it says what it opened" 'grep -qxF "$said" studio.out'
check "data/ untouched, no tuning.txt here" '[ "$(data_sum)" = "$before" ] && [ ! -e tuning.txt ]'
exit $fail
