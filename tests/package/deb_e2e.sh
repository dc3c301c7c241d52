#!/usr/bin/env bash
# The release as a user gets it: deb_e2e.sh BUILD_DIR packs the .deb and the .tar.gz, installs the
# .deb, plays it from /tmp through the launcher on the PATH (the data found, Escape ends it with
# 0), renders a frame with the packaged capture tool into the user's folder, and removes it.
set -u
here=$(dirname "$(readlink -f "$0")")
. "$here/../support/x_session.sh"
[ "$(id -u)" -eq 0 ] || { echo "SKIP: dpkg -i needs root"; exit 77; }
in_x_session "$@"
out=$(mktemp -d /tmp/avada-kedabra-release.XXXXXX)
trap 'dpkg -r avada-kedabra > /dev/null 2>&1; rm -rf "$out"' EXIT
(cd "$1" && cpack -G "TGZ;DEB" -B "$out" > "$out/cpack.log") || { cat "$out/cpack.log"; exit 1; }
deb=$(ls "$out"/*.deb) tgz=$(ls "$out"/*.tar.gz)
echo "sizes: $(stat -c '%n %s bytes' "$deb" "$tgz" | sed "s|$out/||" | paste -sd,)"
check "the archive holds the launcher and the data" \
    '[ "$(tar tzf "$tgz" | grep -cE "/(bin/avada-kedabra|share/avada-kedabra/data/tune.mp3)$")" = 2 ]'
dpkg -i "$deb" > "$out/dpkg.log" 2>&1 || { cat "$out/dpkg.log"; exit 1; }

mkdir "$out/home" && cd "$out/home"
SDL_AUDIODRIVER=dummy avada-kedabra 2> demo.err &
pid=$!
wid=$(find_window "avada kedabra!" 60)
sleep 3
check "the installed demo plays with no box (its data found)" \
    '[ -n "$wid" ] && [ -z "$(boxes)" ] && kill -0 $pid'
[ -n "$wid" ] && press "$wid" Escape
for _ in $(seq 100); do kill -0 $pid 2> /dev/null || break; sleep 0.05; done
kill -9 $pid 2> /dev/null
wait $pid
code=$?
check "Escape ends it with 0 (got $code)" '[ $code -eq 0 ]'
avada-kedabra-capture --at 3 --size 1024x512 --out frame.png > capture.log 2>&1
check "the packaged capture renders a frame into the user's folder" \
    '[ "$(head -c 8 frame.png | od -An -tx1 | tr -d " ")" = 89504e470d0a1a0a ]'

dpkg -r avada-kedabra > /dev/null 2>&1
check "dpkg -r removes the launcher and the data" \
    '! command -v avada-kedabra > /dev/null && [ ! -e /usr/share/avada-kedabra ]'
exit $fail
