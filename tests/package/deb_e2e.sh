#!/usr/bin/env bash
# The release as a user gets it: deb_e2e.sh BUILD_DIR packs the .deb and the .tar.gz, has Debian's
# checkers pass them, installs the .deb, plays it from /tmp as its desktop entry starts it (the
# data found, Escape ends it with 0), reads the manual pages, renders a frame with the packaged
# capture tool into the user's folder, and removes it.
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
check "the archive holds the launcher, the data and the licences" \
    '[ "$(tar tzf "$tgz" | grep -cE "/(bin/avada-kedabra|share/avada-kedabra/data/tune.mp3|share/doc/avada-kedabra/copyright)$")" = 3 ]'
lintian --no-cfg --fail-on error,warning "$deb" > "$out/lintian.log" 2>&1
lint=$?
sed 's/^/lintian: /' "$out/lintian.log"
check "lintian reports no error and no warning" '[ $lint -eq 0 ]'
dpkg -i "$deb" > "$out/dpkg.log" 2>&1 || { cat "$out/dpkg.log"; exit 1; }

desktop=/usr/share/applications/org.avadakedabra.demo.desktop
metainfo=/usr/share/metainfo/org.avadakedabra.demo.metainfo.xml
check "the desktop entry validates" 'desktop-file-validate "$desktop"'
check "the AppStream record validates" 'appstreamcli validate --no-net "$metainfo" > "$out/appstream.log"'
icon=$(sed -n 's/^Icon=//p' "$desktop")
check "the entry's icon is installed in every size" \
    '[ "$(ls /usr/share/icons/hicolor/*/apps/"$icon".png | wc -l)" -ge 8 ]'
check "the record launches the installed entry" \
    'grep -q "<launchable type=\"desktop-id\">$(basename "$desktop")</launchable>" "$metainfo"'
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$1/CMakeCache.txt")
check "the package, the record and the pages carry version $version" \
    '[ "$(dpkg-query -W -f="\${Version}" avada-kedabra)" = "$version" ] &&
     grep -q "<release version=\"$version\"" "$metainfo" &&
     [ "$(zcat /usr/share/man/man1/avada-kedabra*.1.gz | grep -c "^\.TH .* \"[^ ]* $version\"")" = 2 ]'
# Every option the programs' --help names is in their manual pages as man renders them.
for program in avada-kedabra avada-kedabra-capture; do
    man --nh --nj -l "/usr/share/man/man1/$program.1.gz" 2> /dev/null | col -b > "$out/$program.man"
    missing=$("$program" --help | grep -oE -- "--[a-z-]+" | sort -u | while read -r option; do
        grep -qF -- "$option" "$out/$program.man" || echo "$option"; done)
    check "man -l reads $program's page, which has every option of its --help" \
        '[ -s "$out/$program.man" ] && [ -z "$missing" ]'
done

mkdir "$out/home" && cd "$out/home"
# The command line the desktop starts: Exec with its field codes dropped.
exec_line=$(sed -n '/^\[Desktop Entry\]/,/^\[/s/^Exec=//p' "$desktop" | sed 's/ %[a-zA-Z]//g')
echo "desktop entry runs: $exec_line"
SDL_AUDIODRIVER=dummy sh -c "exec $exec_line" 2> demo.err &
pid=$!
wid=$(find_window "avada kedabra!" 60)
# Its frames come once its data is read; a missing file would bring a box instead.
played_or_box() { [ -n "$(boxes)" ] || differs first.rgb; }
[ -n "$wid" ] && grab first.rgb && wait_for "neither frames nor a box" $pid played_or_box
check "the desktop entry's command plays the demo with no box (its data found)" \
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
check "dpkg -r removes the launcher, the data and the desktop entry" \
    '! command -v avada-kedabra > /dev/null && [ ! -e /usr/share/avada-kedabra ] && [ ! -e "$desktop" ]'
exit $fail
