#!/usr/bin/env bash
# Runs a command with a private PulseAudio server as its sound device: with_sound_server.sh CMD...
. "$(dirname "$(readlink -f "$0")")/sound_server.sh"
sound_server_start || exit 1
"$@"
code=$?
sound_server_stop
exit $code
