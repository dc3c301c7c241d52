#!/usr/bin/env bash
# Creates (create) or removes (remove) the throwaway Wine prefix named by WINEPREFIX. Creating a
# prefix the first time takes a while; Mono and Gecko are not needed and not asked for.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/wine_session.sh"
: "${WINEPREFIX:?WINEPREFIX must name the prefix}"
case "${1:-}" in
create)
    require_tools wine wineserver xvfb-run
    in_x_session "$@"
    rm -rf "$WINEPREFIX"
    WINEDLLOVERRIDES="mscoree,mshtml=" wineboot -i >/dev/null 2>&1
    wineserver -w
    [ -f "$WINEPREFIX/system.reg" ] || fail "wineboot made no prefix in $WINEPREFIX"
    echo "prefix ready: $WINEPREFIX"
    ;;
remove)
    command -v wineserver >/dev/null 2>&1 && { wineserver -k 2>/dev/null; wineserver -w; }
    rm -rf "$WINEPREFIX"
    ;;
*) fail "usage: $0 create|remove" ;;
esac
