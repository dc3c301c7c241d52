#!/usr/bin/env bash
# The numeric core compiled to WebAssembly by emscripten computes, under node, the x86-64 build's
# dumps byte for byte: wasm_node.sh SOURCE_DIR NATIVE_DEMO_CAPTURE
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../win32/wine_session.sh"
source "$here/dumps.sh"
source_dir=$1 native=$2
require_tools emcc node
build_numeric "$source_dir" web-numeric

out=$(mktemp -d /tmp/avada-kedabra-exact.XXXXXX)
trap 'rm -rf "$out"' EXIT
write_dumps "$out/x86-64" "$native" || fail "the x86-64 dumps"
# node 20's own fetch shadows the one emscripten's loader expects.
write_dumps "$out/wasm" node --no-experimental-fetch build-web-numeric/demo-capture.js ||
    fail "the wasm dumps"
compare_dumps "$out/x86-64" "$out/wasm" || fail "wasm under node computes other numbers"
