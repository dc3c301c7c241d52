# Sourced by the X sessions of the hardening runs. Windows are found by name through xwininfo:
# SDL's message boxes label their WM_NAME with an encoding that `xdotool search --name` cannot
# decode, so xdotool never finds them, while xwininfo reads _NET_WM_NAME.

# named_windows: "ID NAME" for every window with a name, window manager's own left out.
named_windows() {
    xwininfo -root -tree 2> /dev/null |
        sed -n 's/^ *\(0x[0-9a-f]*\) "\(.*\)": .*/\1 \2/p' | grep -v ' Openbox$'
}

# find_window NAME SECONDS: the id of a window named exactly NAME, waiting up to SECONDS for it.
find_window() {
    local id _
    for _ in $(seq $(($2 * 10 + 1))); do
        id=$(named_windows | awk -v want="$1" 'substr($0, index($0, " ") + 1) == want {
            print $1; exit }')
        [ -n "$id" ] && { echo "$id"; return 0; }
        sleep 0.1
    done
    return 1
}

# boxes: the names of the windows that are not the demo's own, one a line.
boxes() {
    named_windows | cut -d' ' -f2- | grep -v '^avada kedabra!$'
}
