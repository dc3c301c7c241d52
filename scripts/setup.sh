#!/usr/bin/env bash
# Installs every Debian package the project needs, or with "web" only what building and serving the
# page takes (scripts/web.sh). Idempotent: installs nothing when all is present.
#   setup.sh [web]
set -euo pipefail

# The page: CMake drives Debian's emscripten; python3 serves the folder.
web_packages=(cmake make emscripten python3)

packages=(
  # build
  cmake g++ make pkg-config clang-format
  ninja-build jq ccache # the mutation run
  clang-tools # scripts/global_state.sh: clang-query
  # the Linux build: window, GL, music, MIDI
  libsdl2-dev libsdl2-mixer-dev libgl-dev libglu1-mesa-dev libgl1-mesa-dri librtmidi-dev
  # tests: GoogleTest, benchmarks, headless X, window manager, keys, JACK, shader validator
  libgtest-dev libgmock-dev libbenchmark-dev xvfb xauth openbox xdotool x11-utils jackd2 glslang-tools
  libjack-jackd2-dev # the MIDI test sender asks JACK who listens
  # hardening: clang with libFuzzer and its sanitizer runtimes, memcheck, shader-file watching
  clang libclang-rt-14-dev valgrind inotify-tools
  # clipboard at exit
  xclip xsel wl-clipboard
  # tools: PNG/TrueType, fonts, MP3 encoding, WAV and loudness for the music, video
  libstb-dev zlib1g-dev fonts-dejavu-core libmp3lame-dev libsndfile1-dev libebur128-dev ffmpeg
  # the Windows build: MinGW-w64 cross compilers, Wine (64-bit) to run it under Xvfb, and the
  # host's 64-bit GStreamer plugins through which Wine's MCI decodes the MP3 (mpg123 is in -good)
  g++-mingw-w64-x86-64 g++-mingw-w64-i686 libz-mingw-w64-dev wine wine64 gstreamer1.0-plugins-base gstreamer1.0-plugins-good
  # sound tests: a PulseAudio server with a null sink, recorded with parec
  pulseaudio pulseaudio-utils libfftw3-dev # the recording against the tune: cross-correlation
  # native Wayland: wlroots compositors on their headless backend, X clients beside, screenshots
  cage sway xwayland grim
  x11-xserver-utils # xsetroot: the picture and sound harness's calibration flashes
  # the Linux release: CPack's .deb reads the libraries' package dependencies with dpkg-shlibdeps;
  # manual pages from --help; Debian's, the desktop's and AppStream's checkers, man and col to
  # read the pages; the icon file's tools (the .ico made, the Windows programs' resources read)
  dpkg-dev help2man lintian desktop-file-utils appstream man-db bsdextrautils icoutils
  # the Windows zips packed again in name order with no owner; unzip lists a zip that differs
  zip unzip
  # the 32-bit numbers checked here: the i686 code generator, run under user-mode emulation
  qemu-user g++-i686-linux-gnu
  # the shader comparison's picture check (bench/shaders): PSNR per frame and per tile
  python3-numpy
  # the browser: the WebAssembly build, and the page's tests in headless Chromium over DevTools
  emscripten chromium python3-websocket
  # the capture farm's test: a one-node Slurm cluster and its authentication
  slurm-wlm munge
)
case ${1:-} in
web) packages=("${web_packages[@]}") ;;
"") ;;
*) echo "usage: setup.sh [web]" >&2 && exit 2 ;;
esac
if [ -n "${DEMO_SETUP_EXTRA:-}" ]; then
  # shellcheck disable=SC2206
  packages+=($DEMO_SETUP_EXTRA)
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
echo "setup: installing ${missing[*]}" >&2
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
