#!/usr/bin/env bash
# Measures the Windows demo's start-up under Wine, from starting the process to its first
# SwapBuffers (seen through Wine's wgl trace), and prints each run and the median. Not a test:
# startup_time.sh DEMO_EXE DATA_DIR SHADER_LIST [RUNS] [tiny|repo]
#   tiny (default): the test's tiny shaders; repo: the repository's own data/ as it stands
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/wine_session.sh"
require_tools wine xvfb-run openbox xdotool
[ $# -ge 3 ] || fail "usage: $0 DEMO_EXE DATA_DIR SHADER_LIST [RUNS] [tiny|repo]"
exe=$(realpath "$1") data=$(realpath -m "$2") programs=$(realpath "$3")
runs=${4:-5} shaders=${5:-tiny}
run_in_xvfb "$@"

start_openbox
folder=$(make_demo_folder "$exe" "$data" "$programs") || exit 1
[ "$shaders" = repo ] && cp -r "$data/." "$folder/data/"
trap 'end_session; rm -rf "$folder"' EXIT
cd "$folder"

# Milliseconds from starting wine to its WGL context and to the first swap, as "context swap";
# the process is ended right after the swap.
startup_ms() {
    local t0 line context=""
    t0=$(date +%s%N)
    WINEDEBUG=+wgl wine demo.exe 2>&1 >/dev/null | while IFS= read -r line; do
        if [[ -z $context && $line == *wglCreateContext* ]]; then
            context=$((($(date +%s%N) - t0) / 1000000))
        elif [[ $line == *wglSwapBuffers* ]]; then
            echo "${context:-?} $((($(date +%s%N) - t0) / 1000000))"
            wineserver -k >/dev/null 2>&1
            break
        fi
    done
    wineserver -w
}

contexts=() swaps=()
for i in $(seq 1 "$runs"); do
    read -r context swap <<<"$(startup_ms)"
    [ -n "${swap:-}" ] || fail "run $i: no swap seen (is a box waiting?)"
    echo "run $i: context after $context ms, first swap after $swap ms"
    contexts+=("$context") swaps+=("$swap")
done
median() { printf '%s\n' "$@" | sort -n | sed -n "$(($# / 2 + 1))p"; }
echo "median of $runs: context $(median "${contexts[@]}") ms, first swap $(median "${swaps[@]}") ms"
