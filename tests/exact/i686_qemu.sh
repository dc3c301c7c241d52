#!/usr/bin/env bash
# The numeric core built for i686 with the 32-bit Windows build's flags computes, under qemu-i386,
# the x86-64 build's dumps byte for byte: i686_qemu.sh SOURCE_DIR NATIVE_DEMO_CAPTURE
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../win32/wine_session.sh"
source "$here/dumps.sh"
source_dir=$1 native=$2
require_tools i686-linux-gnu-g++ qemu-i386
build_numeric "$source_dir" i686-numeric

out=$(mktemp -d /tmp/avada-kedabra-exact.XXXXXX)
trap 'rm -rf "$out"' EXIT
write_dumps "$out/x86-64" "$native" || fail "the x86-64 dumps"
write_dumps "$out/i686" qemu-i386 build-i686/demo-capture || fail "the i686 dumps"
compare_dumps "$out/x86-64" "$out/i686" || fail "i686 under qemu computes other numbers"
