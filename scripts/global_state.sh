#!/usr/bin/env bash
# The process-wide state of src/, as clang reads it (clang-query over the compile databases):
#   state  every mutable object of static storage (namespace scope, static, or a function's
#          static), per file; const and constexpr objects and references are no state
#   hooks  those among them that hold a function pointer that code can swap: the object itself,
#          an array or std::atomic of them, or a field of its record (three records deep), or an
#          array of such records
# Each build folder at hand lends its database: build/ (Linux), build-web/, build-mingw64/; a
# source of src/ that none of them compiles is named as not counted.
#   scripts/global_state.sh [--totals]
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

queries=$(mktemp)
found=$(mktemp)
trap 'rm -f "$queries" "$found"' EXIT
cat >"$queries" <<'EOF'
set output dump
set bind-root false
let fp pointerType(pointee(ignoringParens(functionType())))
let t0 recordType(hasDeclaration(classTemplateSpecializationDecl(hasAnyTemplateArgument(refersToType(fp)))))
let h0 anyOf(hasCanonicalType(fp), hasCanonicalType(t0), hasCanonicalType(arrayType(hasElementType(fp))), hasCanonicalType(arrayType(hasElementType(t0))))
let r1 recordType(hasDeclaration(recordDecl(has(fieldDecl(hasType(h0))))))
let h1 anyOf(h0, hasCanonicalType(r1), hasCanonicalType(arrayType(hasElementType(r1))))
let r2 recordType(hasDeclaration(recordDecl(has(fieldDecl(hasType(h1))))))
let h2 anyOf(h1, hasCanonicalType(r2), hasCanonicalType(arrayType(hasElementType(r2))))
let r3 recordType(hasDeclaration(recordDecl(has(fieldDecl(hasType(h2))))))
let h3 anyOf(h2, hasCanonicalType(r3), hasCanonicalType(arrayType(hasElementType(r3))))
let state varDecl(isDefinition(), hasGlobalStorage(), unless(hasType(isConstQualified())), unless(isConstexpr()), unless(hasType(referenceType())), isExpansionInFileMatching("/src/"))
match varDecl(state).bind("state")
match varDecl(state, hasType(h3)).bind("hook")
EOF

# Extra arguments for clang where the build's compiler is not clang for this machine.
extra_args() {
  case $1 in
  build-web) echo "--target=wasm32-unknown-emscripten --sysroot=$(em-config CACHE)/sysroot" ;;
  build-mingw64)
    echo "--target=x86_64-w64-mingw32"
    # The cross compiler's own C++ library headers, which clang does not find by itself.
    "$2" -xc++ -E -v - </dev/null 2>&1 | sed -n 's|^ \(/.*/c++.*\)$|-isystem\1|p'
    ;;
  esac
}

covered=()
for build in build build-web build-mingw64; do
  db=$build/compile_commands.json
  [ -f "$db" ] || continue
  mapfile -t sources < <(jq -r '.[].file' "$db" | grep "^$root/src/" | sort -u)
  [ ${#sources[@]} -gt 0 ] || continue
  covered+=("${sources[@]}")
  compiler=$(jq -r '.[0].command' "$db" | cut -d' ' -f1)
  args=()
  for a in $(extra_args "$build" "$compiler"); do args+=("--extra-arg=$a"); done
  clang-query -p "$build" "${args[@]}" -f "$queries" "${sources[@]}" 2>/dev/null |
    awk -v root="$root/" '
      /^Binding for "/ { kind = $3; gsub(/[":]/, "", kind); next }
      kind != "" && /^VarDecl / {
        if (match($0, /<[^<>:, ]+:[0-9]+:/)) {
          where = substr($0, RSTART + 1, RLENGTH - 2); sub(root, "", where)
          head = substr($0, 1, index($0, " '\''") - 1); n = split(head, w, " ")
          if (substr(w[n], 1, 2) != "__") print kind, where, w[n] # "__": a macro of the toolchain
        }
        kind = ""
      }' >>"$found"
done

report() { # KIND: per file, how many and which, then the total
  sort -u "$found" | awk -v kind="$1" '$1 == kind { split($2, at, ":"); names[at[1]] = names[at[1]] " " $3; n[at[1]]++; total++ }
    END { for (f in n) printf "  %-46s %3d %s\n", f, n[f], names[f] | "sort"; close("sort"); printf "%s: %d\n", kind == "hook" ? "hooks" : kind, total }'
}
if [ "${1:-}" = --totals ]; then
  report state | tail -1
  report hook | tail -1
else
  echo "mutable objects of static storage, per file:"
  report state
  echo
  echo "hooks (they hold a function pointer), per file:"
  report hook
fi
missing=$(comm -23 <(git ls-files 'src/*.cpp' | sed "s|^|$root/|" | sort) \
  <(printf '%s\n' "${covered[@]}" | sort -u) | sed "s|^$root/||")
[ -z "$missing" ] || printf '\nnot counted (no build folder compiles them): %s\n' "$(echo $missing)"
