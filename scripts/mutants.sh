#!/usr/bin/env bash
# Mutation run: applies each mutant below to the tree, rebuilds what links the mutated file, runs
# the unit and GL tests of the programs that were relinked (and, for platform code, the end-to-end
# tests that start them; for a script, the tests that name it) and says whether a test failed.
# Slow, so not part of CI.
#   scripts/mutants.sh [--list] [ID...]      (no ID: every mutant)
# Environment: MUTANTS_BUILD (build-mutants), MUTANTS_TIMEOUT (60 s a test),
# MUTANTS_E2E_EXCLUDE (hardening_: the bad-file sweep takes minutes a run).
set -uo pipefail
cd "$(dirname "$0")/.." || exit 1
build=${MUTANTS_BUILD:-build-mutants}
per_test=${MUTANTS_TIMEOUT:-60}
e2e_exclude=${MUTANTS_E2E_EXCLUDE:-hardening_}

# ID FILE ORIGINAL ~> REPLACEMENT. ORIGINAL is a unique substring of one line of FILE; where code
# has moved, the one file under src/ or tools/ holding it exactly once is mutated instead.
mutants() {
  cat <<'EOF'
clk-rate src/timeline/demo_clock.cpp 0.001_f / 5.0 ~> 0.001_f / 4.0
clk-history src/timeline/demo_clock.cpp i < 4; ++i) ~> i < 3; ++i)
clk-scene6-origin src/timeline/scene_cuts.h {74.8, 75.2} ~> {74.8, 74.8}
clk-slots-kept src/timeline/demo_clock.cpp for (float &slot : ParameterBlock) slot = 0.0f; ~> for (float &slot : ParameterBlock) (void)slot;
s1-fade-in src/timeline/scene_1.cpp * (12.0_f - a) * 0.05_f ~> * (12.0_f - a) * 0.5_f
s1-row1-end src/timeline/scene_1.cpp a < 9.5_f ~> a < 9.0_f
s1-strip-swap src/timeline/scene_1.cpp row->strip_b, alpha ~> row->strip_a, alpha
s1-fade-width src/timeline/scene_1.cpp / 8.0_f); ~> / 4.0_f);
s1-last-row src/timeline/scene_1.cpp if (a < 32.0_f) ~> if (a <= 32.0_f)
pass-matrix src/timeline/scene_pass.cpp glLoadMatrixf(ParameterBlock); ~> glLoadIdentity();
pass-post src/timeline/scene_pass.cpp gl2::UseProgram(PostProgram); ~> gl2::UseProgram(program);
pass-noise src/timeline/scene_pass.cpp glBindTexture(GL_TEXTURE_2D, NoiseTexture); ~> glBindTexture(GL_TEXTURE_2D, OffscreenTexture);
pass-scaled-height src/timeline/scene_pass.cpp height = OffscreenHeight / divisor; ~> height = OffscreenHeight;
pass-stretch-edge src/gfx/builtin_shaders.cpp min((0.5 * objectPosition.xy + 0.5) * share, last) ~> (0.5 * objectPosition.xy + 0.5) * share
preview-cycle src/studio/preview_scale.cpp preview.divisor < 4 ? ~> preview.divisor < 8 ?
s2-heading-sign src/timeline/scenes_2_to_6.cpp f32(-s - sin_f(k * a) ~> f32(s - sin_f(k * a)
s2-clamp src/timeline/scenes_2_to_6.cpp if (slot[3] > 1.0_f) ~> if (slot[3] > 2.0_f)
s3-flicker-depth src/timeline/scenes_2_to_6.cpp (a - flicker_from) * 0.25_f ~> (a - flicker_from) * 0.2_f
s3-controller src/timeline/scenes_2_to_6.cpp value_or_default(5, 0.4f) ~> value_or_default(4, 0.4f)
s5-floor src/timeline/scenes_2_to_6.cpp if (slot[15] < 0.0_f) ~> if (slot[15] < -1.0_f)
s6-zoom-sign src/timeline/scenes_2_to_6.cpp 4.0_f / (a + 10.0_f) ~> 4.0_f / (a - 10.0_f)
s7-at-most src/timeline/scenes_7_to_9.cpp return value > limit ? ~> return value < limit ?
s7-rise src/timeline/scenes_7_to_9.cpp (a - 8.0_f) * 4.0_f ~> (a - 8.0_f) * 2.0_f
s8-segments src/timeline/scenes_7_to_9.cpp while (segment < 11 && ~> while (segment < 10 &&
s8-quiet-segment src/timeline/scenes_7_to_9.cpp if (segment != 8) { ~> if (segment != 7) {
s8-ramp-origin src/timeline/scenes_7_to_9.cpp value_or_default(13, d[3]) + (a - 22.5_f) ~> value_or_default(13, d[3]) + (a - 18.75_f)
s8-last-gain src/timeline/scenes_7_to_9.cpp value_or_default(5, 0.0f) * 6.14_f ~> value_or_default(5, 0.0f) * 6.24_f
s8-controller src/timeline/scenes_7_to_9.cpp value_or_default(12, d[2]) ~> value_or_default(11, d[2])
prog-capacity src/gfx/programs.cpp static_cast<size_t>(capacity - 1) ~> static_cast<size_t>(capacity)
prog-status src/gfx/programs.cpp if (status != 0) return nullptr; ~> if (status == 0) return nullptr;
prog-give-up src/gfx/build_programs.cpp if (fragment) gl2::DeleteShader(fragment); ~> if (!fragment) gl2::DeleteShader(fragment);
prog-empty-file src/gfx/build_programs.cpp ShaderTextBufferSize) < 0) ~> ShaderTextBufferSize) <= 0)
noise-lcg src/gfx/noise.cpp + 2531011u ~> + 2531013u
noise-scale src/gfx/noise.cpp next_random() / 32767.0 ~> next_random() / 32768.0
noise-top src/gfx/noise.cpp else if (x >= 1.0f) ~> else if (x > 1.0f)
noise-pass-rows src/gfx/noise.cpp NoiseSize + Taps, kernel.get() ~> NoiseSize, kernel.get()
tex-header src/gfx/textures.cpp if (header_read == sizeof header) ~> if (header_read != sizeof header)
tex-format src/gfx/textures.cpp NoiseSize, NoiseSize, GL_BGRA ~> NoiseSize, NoiseSize, GL_RGBA
entry-separator src/gfx/gl_entry_points.cpp if (!missing.empty()) missing += ", "; ~> missing += ", ";
entry-all src/gfx/gl_entry_points.cpp return missing.empty(); ~> return true;
entry-stale src/gfx/gl_entry_points.cpp missing.clear(); ~> ;
res-quadric src/gfx/resources.cpp if (!SceneQuadric) ~> if (SceneQuadric)
bank-range src/tuning/tuning_bank.cpp if (data1 >= ControllerCount) return; ~> if (data1 > ControllerCount) return;
bank-scale src/tuning/tuning_bank.cpp data2 / 127.0 ~> data2 / 128.0
bank-touched src/tuning/tuning_bank.cpp if (!touched[controller]) values ~> if (touched[controller]) values
bank-fallback-range src/tuning/tuning_bank.cpp controller >= 0 && controller < ControllerCount; ~> controller >= 0 && controller <= ControllerCount;
export-byte src/tuning/tuned_values_export.cpp value * 127.0 + ~> value * 128.0 +
export-room src/tuning/tuned_values_export.cpp static_cast<std::size_t>(n) >= size) break; ~> static_cast<std::size_t>(n) > size) break;
export-last src/tuning/tuned_values_export.cpp controller < ControllerCount; ++controller ~> controller < ControllerCount - 1; ++controller
saver-last src/studio/tuning_saver.cpp [this] { save_if_changed(); }, true) ~> [this] { save_if_changed(); }, false)
web-backwards src/platform/music_led_timer.cpp now = std::max(now, timer.last_ms); ~> (void)0;
web-tolerance src/platform/music_led_timer.h MusicLeadToleranceMs = 20.0; ~> MusicLeadToleranceMs = 2000.0;
web-stall src/platform/music_led_timer.cpp if (!reading.playing || std::fabs ~> if (std::fabs
web-mip-round src/platform/web/box_filter_mipmaps.cpp p[row + 4] + 2) / 4) ~> p[row + 4] + 1) / 4)
web-mip-block src/platform/web/box_filter_mipmaps.cpp (x / 4 * 8 + x % 4) ~> (x / 4 * 4 + x % 4)
time-loop-late src/studio/time_control.cpp now >= tc->loop_to_ms) { ~> now >= tc->loop_to_ms + 250) {
main-end src/app/demo_main.cpp if (elapsed > DemoLengthMs) ~> if (elapsed >= DemoLengthMs)
main-quit src/app/demo_main.cpp if (message.quit) run.quit = 1; ~> if (message.quit) run.quit = 0;
main-rebuild-hook src/app/demo_main.cpp WindowRebuildHook = [] { ProgramBuildHook.run(); }; ~> WindowRebuildHook = nullptr;
sdl-stream-range src/platform/sdl/sdl_audio.cpp stream > sizeof Streams / sizeof Streams[0]) ~> stream >= sizeof Streams / sizeof Streams[0])
sdl-rebuild-key src/platform/sdl/sdl_events.cpp *c == 'p') ~> *c == 'P')
sdl-escape src/platform/sdl/sdl_events.cpp == SDLK_ESCAPE) ~> == SDLK_SPACE)
sdl-headless-size src/platform/sdl/sdl_headless_context.cpp HeadlessWindow, &WindowWidth, &WindowHeight ~> HeadlessWindow, &WindowHeight, &WindowWidth
midi-size src/platform/posix/midi_in_rtmidi.cpp size == 0 || size > 3 ~> size == 0 || size > 2
clip-fallthrough src/platform/posix/clipboard_tools.cpp if (outcome != ToolMissing) ~> if (outcome == ToolDone)
fr-mode-kept src/platform/posix/file_replace_posix.cpp fchmod(fd, old.st_mode & 07777) ~> fchmod(fd, 0644)
fr-new-mode src/platform/posix/file_replace_posix.cpp O_EXCL | O_CLOEXEC, 0666) ~> O_EXCL | O_CLOEXEC, 0644)
fr-links src/platform/posix/file_replace_posix.cpp && S_ISLNK(status.st_mode) ~> && false
fr-link-folder src/platform/posix/file_replace_posix.cpp if (link[0] == '/' || slash == std::string::npos) ~> if (true)
fr-beside-target src/platform/posix/file_replace_posix.cpp create_beside(target, temporary) ~> create_beside(path, temporary)
fr-cycle src/platform/posix/file_replace_posix.cpp if (links == 40) { ~> if (links < 0) {
line-byte-max tools/capture/tuning_line.cpp value <= 127; ~> value < 127;
line-value-form tools/capture/tuning_line.cpp entry.size() - pos < 4 ~> entry.size() - pos < 3
line-trailing tools/capture/tuning_line.cpp if (pos + 1 != entry.size()) ~> if (pos + 1 > entry.size())
line-twice tools/capture/tuning_line.cpp seen[entry.controller] = true; ~> seen[entry.controller] = false;
plan-round tools/capture/frame_plan.cpp std::llround(static_cast<double>(frame) ~> std::trunc(static_cast<double>(frame)
plan-to tools/capture/frame_plan.cpp now > to_ms(range.to_s) ~> now >= to_ms(range.to_s)
plan-from tools/capture/frame_plan.cpp now >= to_ms(range.from_s) ~> now > to_ms(range.from_s)
opt-case tools/capture/options.cpp c - 'A' + 'a' ~> c - 'a' + 'A'
opt-int-junk tools/capture/options.cpp *stop != '\0' || errno == ERANGE || parsed ~> errno == ERANGE || parsed
opt-from-to tools/capture/options.cpp o.range.from_s > o.range.to_s ~> o.range.from_s >= o.range.to_s
opt-part-first tools/capture/options.cpp o.part < 1 || o.part > o.parts) ~> o.part < 0 || o.part > o.parts)
plan-part-end tools/capture/frame_plan.cpp kept * index / parts}; ~> kept * index / parts + 1};
link-length src/studio/moment_link.cpp if (link.size() > MomentLinkMaxChars) ~> if (link.size() > MomentLinkMaxChars + 1)
link-bomb src/studio/moment_inflate.cpp if (produced > MomentBodyMaxBytes) { ~> if (produced > MomentBodyMaxBytes + 1) {
link-loop-order src/studio/moment_link.cpp to) || from >= to) ~> to) || from > to)
link-edit-twice src/studio/moment_link.cpp if (edit.slot == slot) return ~> if (edit.slot == slot + 1) return
link-fnv-prime src/studio/moment_link.cpp * 0x100000001b3u; ~> * 0x100000001b5u;
link-other-data src/studio/moment_open.cpp if (fnv1a_64(bytes) == m.served[i]) continue; ~> if (fnv1a_64(bytes) + 1 != m.served[i]) continue;
link-folder-match src/studio/moment_open.cpp || bytes != texts[slot]) ~> )
link-shader-dir src/gfx/data_dir.cpp return *ShaderDir ? ShaderDir : DataDir; ~> return DataDir;
link-at tools/capture/options.cpp given[Link] && !o.has_at && !given[Range]; ~> given[Link] && !o.has_at;
join-longer tools/capture/video_join.cpp } else if (frames != static_cast<long long>(segment.frames)) { ~> } else if (frames < static_cast<long long>(segment.frames)) {
join-uncounted tools/capture/video_join.cpp && frames == expected) return true; ~> ) return true;
part-in-place tools/capture/capture_modes.cpp target.path = scratch_path(segment); ~> target.path = segment;
png-in-place tools/capture/image.cpp const std::string scratch = scratch_path(path); ~> const std::string scratch = path;
farm-busy-output scripts/capture-farm.sh [ -n "$jobs" ] && listed "$jobs"; then ~> [ -n "$jobs" ] && false; then
farm-stale-lock scripts/capture-farm.sh [ -n "$queue" ] ~> true
farm-percent scripts/capture-farm.sh logs=${work//'%'/%%} ~> logs=$work
farm-job-id scripts/capture-farm.sh [[ $1 =~ ^([0-9]+)(;[^;[:space:]]+)?$ ]] || return 1 ~> [[ $1 =~ ([0-9]+) ]] || return 1
farm-retry-all scripts/capture-farm.sh [ -f "$work/part-$k.$run.done" ] || missing+=("$k") ~> missing+=("$k")
farm-retry-none scripts/capture-farm.sh [ ${#missing[@]} -gt 0 ] || ~> true ||
farm-retry-options scripts/capture-farm.sh [ -z "$parts$capture${render[*]}${join[*]}" ] || ~> true ||
EOF
}

# How often TEXT occurs in FILE.
occurrences() {
  local body rest
  IFS= read -rd '' body <"$2"
  rest=${body//"$1"/}
  echo $(((${#body} - ${#rest}) / ${#1}))
}

# The file to mutate: FILE if it holds TEXT once, else the one file under src/ or tools/ that does.
locate() {
  local file=$1 text=$2 found=() f
  if [ -f "$file" ] && [ "$(occurrences "$text" "$file")" = 1 ]; then echo "$file" && return; fi
  while IFS= read -r f; do
    [ "$(occurrences "$text" "$f")" = 1 ] && found+=("$f")
  done < <(grep -rlF --include='*.cpp' --include='*.h' -- "$text" src tools)
  [ ${#found[@]} = 1 ] && echo "${found[0]}"
}

if [ "${1:-}" = --list ]; then
  mutants | while read -r id file rest; do
    printf '%-20s %-40s %s  =>  %s\n' "$id" "$file" "${rest%% ~> *}" "${rest#* ~> }"
  done
  exit 0
fi
wanted=" $* "

export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$PWD/..}
if [ ! -f "$build/CMakeCache.txt" ]; then
  # Tests are listed when ctest runs, not after every link: a rebuild costs compile and link only.
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache \
    -DCMAKE_GTEST_DISCOVER_TESTS_DISCOVERY_MODE=PRE_TEST >/dev/null || exit 1
  # Programs not built yet list their tests without labels: build once so every test is known.
  cmake --build "$build" -j2 >/dev/null || exit 1
fi
bin=$(cd "$build" && pwd)
work=$(mktemp -d)
current=""
restore() { [ -n "$current" ] && cp "$work/original" "$current" && current=""; }
trap 'restore; rm -rf "$work"' EXIT
trap 'exit 130' INT TERM
# Waiting on a background job lets Ctrl+C end the run at once, whatever the child does with it.
run() { "$@" & wait $!; }

# One row per test: name, labels, the programs of the build it starts (basenames) and the scripts
# of scripts/ on its command line (as scripts/NAME). A test whose program is not built yet is
# listed as PROGRAM_NOT_BUILT.
list_tests() {
  ctest --test-dir "$build" --show-only=json-v1 2>/dev/null | jq -r --arg bin "$bin/" --arg src "$PWD/" '
    .tests[] | [.name,
      ([(.properties // [])[] | select(.name == "LABELS") | .value[]] | join(";")),
      ([.command[]? | select(startswith($bin)) | ltrimstr($bin)]
       + [.command[]? | select(startswith($src + "scripts/")) | ltrimstr($src)]
       + (if (.name | endswith("_NOT_BUILT")) then [.name | rtrimstr("_NOT_BUILT")] else [] end)
       | join(" "))] | @tsv' >"$work/tests"
}
# Programs run by a test without appearing on its command line.
also_runs() { case $1 in capture_gl_test) echo demo-capture ;; esac; }

list_tests
targets() { # $1: with the end-to-end programs
  awk -F'\t' -v e2e="$1" -v excl="$e2e_exclude" '$2 ~ /(^|;)(unit|gl)(;|$)/ || (e2e &&
      $2 ~ /(^|;)e2e(;|$)/ && $2 !~ /win32|soak/ && (excl == "" || $1 !~ excl)) {
      n = split($3, p, " "); for (i = 1; i <= n; ++i) if (p[i] !~ /\//) print p[i] }' "$work/tests" |
    sort -u
}
echo "building the unmutated tree in $build ..."
mapfile -t all_targets < <(targets 1)
cmake --build "$build" -j2 --target "${all_targets[@]}" >"$work/build.log" 2>&1 ||
  { tail -20 "$work/build.log"; echo "the unmutated tree does not build"; exit 1; }
list_tests
mapfile -t unit_gl_targets < <(targets 0)
mapfile -t all_targets < <(targets 1)


killed=0 total=0
# The list comes on its own descriptor: a program a test starts may read standard input.
while read -r -u 3 id file rest; do
  [ "$wanted" = "  " ] || [[ "$wanted" == *" $id "* ]] || continue
  original=${rest%% ~> *} replacement=${rest#* ~> }
  start=$SECONDS
  total=$((total + 1))
  target=$(locate "$file" "$original")
  if [ -z "$target" ]; then
    printf '%-20s gone       (text not found once in %s, src/ or tools/)\n' "$id" "$file"
    continue
  fi
  # Platform code and scripts are run by the end-to-end tests too.
  platform=0 script=0
  [[ $target == src/platform/* ]] && platform=1
  [[ $target == scripts/* ]] && platform=1 script=1
  cp -p "$target" "$work/original"
  current=$target
  IFS= read -rd '' body <"$target"
  printf '%s' "${body/"$original"/"$replacement"}" >"$target"

  verdict="" by=""
  targets_now=("${unit_gl_targets[@]}")
  [ $platform = 1 ] && targets_now=("${all_targets[@]}")
  if [ $script = 1 ]; then
    echo "$target" >"$work/relinked" # nothing to build: the tests that name it run it
  elif ! run cmake --build "$bin" -j2 --target "${targets_now[@]}" >"$work/build.log" 2>&1; then
    verdict=stillborn by=$(grep -m1 -E 'error:' "$work/build.log" | cut -c1-100)
  else
    # The tests of every relinked program, and of the programs that run one.
    grep -oE 'Linking CXX executable [^ ]+' "$work/build.log" | awk '{print $4}' |
      xargs -rn1 basename >"$work/relinked"
    while IFS= read -r prog; do
      extra=$(also_runs "$prog")
      [ -n "$extra" ] && grep -qx "$extra" "$work/relinked" && echo "$prog" >>"$work/relinked"
    done < <(cut -f3- "$work/tests" | tr ' \t' '\n' | sort -u)
  fi
  if [ -z "$verdict" ]; then
    regex() { # $1: unit-gl or e2e
      awk -F'\t' -v kind="$1" -v excl="$e2e_exclude" 'NR == FNR { relinked[$1] = 1; next }
        { n = split($3, p, " "); hit = 0
          for (i = 1; i <= n; ++i) if (p[i] in relinked) hit = 1
          ug = $2 ~ /(^|;)(unit|gl)(;|$)/
          e2e = $2 ~ /(^|;)e2e(;|$)/ && $2 !~ /win32|soak/ && (excl == "" || $1 !~ excl)
          if (hit && ((kind == "unit-gl" && ug) || (kind == "e2e" && e2e && !ug))) {
            name = $1; gsub(/[][\\.^$*+?(){}|]/, "\\\\&", name); printf "%s^%s$", sep, name; sep = "|"
          } }' "$work/relinked" "$work/tests"
    }
    kinds=(unit-gl)
    [ $platform = 1 ] && kinds+=(e2e)
    ran=0
    for kind in "${kinds[@]}"; do
      re=$(regex "$kind")
      [ -z "$re" ] && continue
      ran=1
      if ! run ctest --test-dir "$bin" -R "$re" -j2 --timeout "$per_test" --stop-on-failure \
        >"$work/test.log" 2>&1; then
        verdict=killed
        # The status follows the dots: a test's name may hold "Failed" too.
        by=$(grep -m1 -E 'Test +#[0-9]+: [^ ]+ \.+ *(\*\*\*[A-Za-z]+|Failed|Not Run)' "$work/test.log" |
          sed -E 's/.*Test +#[0-9]+: ([^ ]+) \.+ *(\*\*\*[A-Za-z]+|Failed|Not Run).*/\1 (\2)/')
        [ -n "$by" ] || by=$(grep -m1 -iE 'error' "$work/test.log" | cut -c1-100)
        break
      fi
    done
    if [ -z "$verdict" ]; then
      verdict=survived
      [ $ran = 0 ] && by="no test runs a program that links $target"
    fi
  fi
  restore
  [ $verdict = killed ] && killed=$((killed + 1))
  printf '%-20s %-10s %-4ss %s%s\n' "$id" "$verdict" $((SECONDS - start)) \
    "${by:+$by }" "$([ "$target" != "$file" ] && echo "[in $target]")"
done 3< <(mutants)

[ $total -gt 0 ] && echo "killed $killed of $total ($((100 * killed / total)) %)"
