# shellcheck shell=bash
# Sourced by the end-to-end scripts: they wait for what they need, never for a fixed time.
#   wait_for TEXT PID COMMAND...   polls COMMAND until it succeeds, however busy the machine;
#                                  fails saying TEXT once process PID has ended, or after a minute
#                                  (what the tests wait for comes in seconds even under load)
wait_for() {
    local what=$1 pid=$2 end=$((SECONDS + 60))
    shift 2
    until "$@" > /dev/null 2>&1; do
        kill -0 "$pid" 2> /dev/null && [ $SECONDS -lt $end ] || { echo "FAIL: $what"; return 1; }
        sleep 0.05
    done
}
