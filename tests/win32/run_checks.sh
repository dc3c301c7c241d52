#!/usr/bin/env bash
# Runs the Windows-side checks of the platform layer under Wine: run_checks.sh CHECKS_EXE [GROUP]
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/wine_session.sh"
require_tools wine xvfb-run
[ -f "${1:-}" ] || fail "usage: $0 CHECKS_EXE [GROUP]"
in_x_session "$@"
trap end_session EXIT
wine "$@" 2>/dev/null
