#!/usr/bin/env bash
# A moment as a link under Wine: studio_link_e2e.sh DEMO_EXE DATA_DIR DEMO_CAPTURE (the native one)
#   a cut link (--link-file) exits 2 with its reason and writes nothing; --link URL opens the
#   moment paused, red from its edit of scene 2's shader, read from links/ID/ with its tuning
#   there; data/ untouched; Escape ends with 0
set -uo pipefail
source "$(dirname "$0")/wine_session.sh"
require_tools wine xvfb-run openbox xdotool xwininfo ffmpeg python3
[ $# -eq 3 ] || fail "usage: $0 DEMO_EXE DATA_DIR DEMO_CAPTURE"
in_x_session "$@"
capture=$(realpath "$3")
folder=$(make_demo_folder "$1" "$(realpath "$2")")
trap 'end_session; rm -rf "$folder"' EXIT
cd "$folder" || exit 1
mkdir edits && printf '#version 120\nvoid main(void) { gl_FragColor = vec4(1.0, 0.0, 0.0, 1.0); }\n' \
    > edits/Background.shader
"$capture" --make-link http://127.0.0.1:8000/ --at 45 --paused --tuning "2:0.50(64) " \
    --edits edits > link.txt
before=$(cat data/* | md5sum)

head -c 300 link.txt > cut.txt
wine demo.exe --studio --link-file cut.txt > bad.out 2> bad.err
code=$?
[ "$code" -eq 2 ] || fail "a cut link: exit code $code, not 2"
grep -q '^demo: the link is cut short' bad.err || fail "no reason: $(cat bad.err)"
[ ! -e links ] || fail "a refused link wrote links/"
end_session

wine demo.exe --studio --link "$(cat link.txt)" >> wine.log 2>&1 &
pid=$!
wid=$(find_window "avada kedabra!" 180) || fail "no studio window within 180 s"
opened_paused paused.rgb || fail "the link's paused moment moves"
red paused.rgb || fail "the link's edit is not drawn"
id=$(ls links)
cmp -s "links/$id/Background.shader" edits/Background.shader || fail "links/$id/ lacks the edit"
[ "$(cat "links/$id/tuning.txt")" = "2:0.50(64) " ] || fail "links/$id/ lacks the tuning"
press "$wid" Escape
wait_exit $pid 60
[ "$EXIT_CODE" -eq 0 ] || fail "exit code $EXIT_CODE after Escape"
[ "$(cat data/* | md5sum)" = "$before" ] || fail "data/ changed"
echo "PASS"
