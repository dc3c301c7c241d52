#!/usr/bin/env bash
# Two builds of one commit in two folders make the same bytes: reproducible.sh SOURCE_DIR [PRESET...]
# Builds SOURCE_DIR's commit in a clone under a temporary folder, with another umask and time zone
# and packed by another user when run as root, and again in SOURCE_DIR's own build folders when its
# tree is that commit unchanged (else in a second clone); packs each preset's release in both
# (default: the .deb and the .tar.gz; mingw64, mingw32: the zip; web: the page's folder) and
# compares them file for file with cmp. A difference is shown by diffoscope where it is installed,
# else by the differing lines of both archives' members: name, mode, owners, time, a hash of the
# bytes. Presets default to all four; one whose compiler is missing is skipped.
set -uo pipefail
src=$(cd "$1" && pwd -P) && shift
presets=("$@")
[ $# -gt 0 ] || presets=(default mingw64 mingw32 web)
[ "$(git -C "$src" rev-parse --show-toplevel 2> /dev/null)" = "$src" ] &&
    commit=$(git -C "$src" rev-parse HEAD) || { echo "skipped: $src is no git checkout"; exit 77; }
work=$(mktemp -d /tmp/avada-kedabra-reproducible.XXXXXX)
trap 'rm -rf "$work"' EXIT
export NODE_PATH=/usr/share/nodejs
clone() { git clone -q --no-hardlinks "$src" "$1" && git -C "$1" checkout -q --detach "$commit"; }
(umask 0002 && clone "$work/b") || exit 1
first=$src
if [ -n "$(git -C "$src" status --porcelain)" ]; then
    echo "$src has changes: building the commit in a second clone"
    first=$work/a && { clone "$first" || exit 1; }
fi

# The members of an archive, a .deb's inner archives included, one a line.
tar_members() { # a tar file, read twice: its headers, then its files' bytes
    tar --full-time --numeric-owner -tvf "$1"
    tar -xf "$1" --to-command='echo "$(sha256sum | cut -c1-16) $TAR_FILENAME"'
}
members() {
    local file=$1 part inner
    inner=$(mktemp -p "$work")
    case $file in
    *.deb)
        ar tv "$file"
        for part in ctrl fsys; do
            dpkg-deb --$part-tarfile "$file" > "$inner" && tar_members "$inner"
        done ;;
    *.tar.gz)
        echo "gzip header time: $(od -An -tu4 -j4 -N4 "$file")"
        zcat "$file" > "$inner" && tar_members "$inner" ;;
    *.zip) zipinfo -l -T "$file" && unzip -v "$file" ;;
    esac | grep -v '^Archive:' # the archive's own path
}
show_difference() {
    if command -v diffoscope > /dev/null; then
        diffoscope "$1" "$2"
    else
        # The two lines of each member that differs, side by side by its name (the last field).
        diff <(members "$1") <(members "$2") | grep '^[<>]' | awk '{ print $NF "\t" $0 }' |
            sort -s -k1,1 | cut -f2- | head -n 60
    fi
}

# Builds $preset in SOURCE and puts its release in OUT, packed by PACKER (a command prefix) if given.
release() {
    local build=$1/$folder out=$2 packer=("${@:3}")
    (cd "$1" && cmake --preset "$preset" > /dev/null &&
        cmake --build --preset "$preset" -j 2 "${targets[@]}" > "$out.log" 2>&1 && mkdir -p "$out" &&
        { [ ${#packer[@]} -eq 0 ] || chown -R 65534:65534 "$build" "$out"; } &&
        if [ "$preset" = web ]; then cp -r "$build/site" "$out/"; else cd "$build" &&
            "${packer[@]}" cpack -G "$generators" -B "$out" >> "$out.log" 2>&1; fi) ||
        { tail -n 20 "$out.log"; return 1; }
}
# The second build differs in what a release must not depend on: the umask, the time zone and, run
# as root, who packs it.
other=()
[ "$(id -u)" -eq 0 ] && other=(setpriv --reuid=65534 --regid=65534 --clear-groups) &&
    chmod 755 "$work"
second() { (umask 0002 && export TZ=XYZ-14 && release "$@" "${other[@]}"); }

fail=0
for preset in "${presets[@]}"; do
    folder=build-$preset targets=(--target demo) generators=ZIP
    case $preset in
    default) tool=cpack folder=build targets+=(demo-capture man_pages) generators="DEB;TGZ" ;;
    mingw64) tool=x86_64-w64-mingw32-g++-posix ;;
    mingw32) tool=i686-w64-mingw32-g++-posix ;;
    web) tool=emcc targets=() ;;
    *) echo "unknown preset $preset"; exit 2 ;;
    esac
    command -v $tool > /dev/null || { echo "skipped $preset: no $tool"; continue; }
    start=$SECONDS
    release "$first" "$work/a-$preset" && second "$work/b" "$work/b-$preset" ||
        { echo "FAIL: $preset does not build"; fail=1; continue; }
    # Every file of the release, its path relative to the output folder: archives, or the page.
    files=$(cd "$work/a-$preset" && find . -type f ! -path './_CPack_Packages/*' | sort)
    [ "$files" = "$(cd "$work/b-$preset" && find . -type f ! -path './_CPack_Packages/*' | sort)" ] ||
        { echo "FAIL: $preset: the two builds made different files"; fail=1; continue; }
    for file in $files; do
        if cmp -s "$work/a-$preset/$file" "$work/b-$preset/$file"; then
            echo "same bytes: $preset ${file#./} ($(sha256sum < "$work/a-$preset/$file" | cut -c1-16))"
        else
            echo "FAIL: $preset ${file#./} differs between the two builds"
            show_difference "$work/a-$preset/$file" "$work/b-$preset/$file"
            fail=1
        fi
    done
    echo "$preset: $((SECONDS - start)) s"
done
exit $fail
