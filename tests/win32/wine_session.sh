# Helpers for running Windows programs under Wine inside Xvfb with openbox, on top of
# tests/support/x_session.sh; sourced by the test scripts. Missing tools skip the test (exit 77).
source "$(dirname "${BASH_SOURCE[0]}")/../support/x_session.sh"
source "$(dirname "${BASH_SOURCE[0]}")/../support/trivial_data.sh"

require_tools() {
    local tool
    for tool in "$@"; do
        command -v "$tool" > /dev/null 2>&1 && continue
        echo "skipped: $tool is not installed (scripts/setup.sh installs it)" >&2
        exit 77
    done
}
fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# Ends whatever Wine runs in the prefix.
end_session() {
    wineserver -k > /dev/null 2>&1
    wineserver -w > /dev/null 2>&1
    return 0
}

screen_lit() { [ "$(screen gray | tr -d '\000' | head -c 1 | wc -c)" -eq 1 ]; }

# Waits up to $2 seconds for process $1 to end and sets EXIT_CODE; fails if it does not end.
wait_exit() {
    local pid=$1 start=$SECONDS
    while kill -0 "$pid" 2> /dev/null; do
        [ $((SECONDS - start)) -le "$2" ] || fail "process $pid still running after $2 s"
        sleep 0.25
    done
    EXIT_CODE=0
    wait "$pid" || EXIT_CODE=$?
}

# A folder to start the demo in: demo.exe next to data/ holding DATA_DIR's files and a tiny valid
# fragment shader under every scene shader name. Prints its path.
make_demo_folder() {
    local folder
    folder=$(mktemp -d /tmp/avada-kedabra-e2e.XXXXXX)
    cp "$1" "$folder/demo.exe"
    mkdir -p "$folder/data"
    [ -d "$2" ] && cp -r "$2/." "$folder/data/"
    make_trivial_data "$folder"
    echo "$folder"
}

# What Explorer shows of EXE: fails unless it carries the committed icon and a version resource
# with the version of the configured BUILD_DIR, the product and the licence. resources_ok EXE BUILD_DIR
resources_ok() {
    local exe=$1 version strings
    require_tools wrestool
    version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$2/CMakeCache.txt")
    [ -n "$version" ] || fail "$2 names no project version"
    # The version resource's keys and values, one UTF-16 string a line.
    strings=$(wrestool -x --raw -t16 "$exe" | strings -el -n 3)
    field() { grep -A1 -x "$1" <<<"$strings" | sed -n 2p; }
    [ "$(field ProductName)" = "avada kedabra!" ] || fail "$exe: no product name in its version"
    [ "$(field ProductVersion)" = "$version" ] && [ "$(field FileVersion)" = "$version" ] ||
        fail "$exe: its version is not $version"
    [ -n "$(field FileDescription)" ] || fail "$exe: no description in its version"
    field LegalCopyright | grep -q MIT || fail "$exe: no licence in its version"
    # The icon images, in order, are byte for byte those of the committed .ico, whose images
    # follow its 6-byte header and a 16-byte entry per image.
    local ico=$here/../../packaging/icons/avada-kedabra.ico count
    count=$(wrestool -l "$exe" | grep -c -- '--type=3 ')
    [ "$count" -gt 0 ] && cmp -s <(for i in $(seq "$count"); do wrestool -x --raw -t3 -n "$i" "$exe"; done) \
        <(tail -c +$((7 + 16 * count)) "$ico") || fail "$exe does not carry the project's icon"
    echo "$exe: version $version, \"$(field FileDescription)\", an icon of $count images"
}
