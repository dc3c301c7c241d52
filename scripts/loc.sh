#!/usr/bin/env bash
# Counts code and test lines by one rule: a line counts when it is neither blank nor only a
# comment (// or /* */ blocks in C++ and GLSL, # in shell; a #! line is code).
# Code: C++ in src/, tools/, bench/; GLSL in data/*.shader; shell in scripts/ and bench/.
# Tests: everything written by hand under tests/ (C++ and shell), not CMake glue or fuzz corpora.
set -euo pipefail
cd "$(dirname "$0")/.."

count_c() { # C++ and GLSL
  [ $# -eq 0 ] && { echo 0; return; }
  awk '
    { line = $0; keep = 0
      while (length(line) > 0) {
        if (inblock) {
          i = index(line, "*/"); if (i == 0) { line = ""; break }
          line = substr(line, i + 2); inblock = 0; continue
        }
        sub(/^[ \t]+/, "", line)
        if (line == "" || substr(line, 1, 2) == "//") break
        if (substr(line, 1, 2) == "/*") { inblock = 1; line = substr(line, 3); continue }
        keep = 1; break
      }
      n += keep }
    END { print n + 0 }' "$@"
}
count_sh() {
  [ $# -eq 0 ] && { echo 0; return; }
  grep -hvcE '^[[:space:]]*(#[^!]|#$|$)' "$@" | awk '{ n += $1 } END { print n + 0 }'
}
files() { git ls-files -- "$@" 2>/dev/null | grep -v '/corpus/' || true; }

mapfile -t code_cpp < <(files 'src/*.cpp' 'src/*.h' 'tools/*.cpp' 'tools/*.h' 'bench/*.cpp' 'bench/*.h')
mapfile -t code_glsl < <(files 'data/*.shader')
mapfile -t code_sh < <(files 'scripts/*.sh' 'bench/*.sh')
mapfile -t test_cpp < <(files 'tests/*.cpp' 'tests/*.h')
mapfile -t test_sh < <(files 'tests/*.sh')

cpp=$(count_c "${code_cpp[@]}")
glsl=$(count_c "${code_glsl[@]}")
sh=$(count_sh "${code_sh[@]}")
tcpp=$(count_c "${test_cpp[@]}")
tsh=$(count_sh "${test_sh[@]}")
code=$((cpp + glsl + sh))
tests=$((tcpp + tsh))
printf 'code  %6d  (C++ %d, GLSL %d, shell %d)\n' "$code" "$cpp" "$glsl" "$sh"
printf 'tests %6d  (C++ %d, shell %d)\n' "$tests" "$tcpp" "$tsh"
awk -v t="$tests" -v c="$code" 'BEGIN { printf "ratio %.3f\n", t / c }'
