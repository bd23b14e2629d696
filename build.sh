#!/usr/bin/env bash
# One entry point for a fresh Debian 12 machine:
#   ./build.sh show   install what is missing, build, and play the show (without a
#                     display: render a preview video of it instead)
#   ./build.sh test   install what is missing, build, and run every test
#   ./build.sh build  install what is missing and build
#   ./build.sh fuzz   install what is missing, build the fuzz targets with clang and run them briefly
#   ./build.sh bundle install what is missing, build, and pack the show into
#                     build/hornlight-linux-x86_64.tar.gz, which runs from its own folder
set -euo pipefail
cd "$(dirname "$0")"
ROOT=$(pwd)

PACKAGES=(
  cmake g++ make pkg-config
  freeglut3-dev libglew-dev libgl-dev libglu1-mesa-dev libegl-dev libgl1-mesa-dri libegl-mesa0 libx11-dev
  lib3ds-dev libmpg123-dev libopenal-dev libstb-dev libtoml11-dev libimgui-dev libmeshoptimizer-dev glslang-tools patchelf
  libgtest-dev xvfb xauth xdotool x11-utils mesa-utils lame ffmpeg sox clang-format fonts-dejavu-core
  parallel rsync openssh-client # the render farm: GNU parallel reaches other hosts with ssh, copies with rsync
)

# What the tests need beyond that: the render farm's ssh test starts sshds of its own.
TEST_PACKAGES=(openssh-server)

# The fuzz tree: libFuzzer comes with clang's runtime; valgrind watches lib3ds.
FUZZ_PACKAGES=(clang libclang-rt-14-dev valgrind)

install_packages() {  # [more packages...]
  local missing=()
  for p in "${PACKAGES[@]}" "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo=sudo
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

build() {  # build DIR [cmake options...]
  local dir=$1; shift
  cmake -S "$ROOT" -B "$dir" "$@" >/dev/null
  cmake --build "$dir" -j"$(nproc)"
}

# Every C++ file follows the root .clang-format.
check_format() {
  local files
  mapfile -t files < <(git ls-files '*.cpp' '*.h' 2>/dev/null || find . -path ./build\* -prune -o \( -name '*.cpp' -o -name '*.h' \) -print)
  clang-format --dry-run --Werror "${files[@]}"
  echo "clang-format: ${#files[@]} files follow .clang-format"
}

# The fuzz targets over their regression cases and a short fixed-seed run each.
fuzz() {
  install_packages "${FUZZ_PACKAGES[@]}"
  CC=clang CXX=clang++ build build-fuzz -DDEMO_FUZZ=ON
  (cd build-fuzz && ctest --output-on-failure -j2 -L fuzz)
}

# sanitized COMMAND...: runs a command with leak detection on. Mesa's software driver
# is kept resident (preloaded) so that the leaks it makes at exit have a module name
# for tests/sanitizers/lsan.supp, which names only Mesa, LLVM and X11 libraries.
sanitized() {
  local swrast
  swrast=$(ls /usr/lib/*/dri/swrast_dri.so 2>/dev/null | head -n1)
  LD_PRELOAD=$swrast ASAN_OPTIONS=detect_leaks=1:verify_asan_link_order=0 \
    LSAN_OPTIONS=suppressions=$ROOT/tests/sanitizers/lsan.supp "$@"
}

cmd=${1:-show}
[ $# -gt 0 ] && shift
case "$cmd" in
  build)
    install_packages
    build build
    ;;
  show)
    install_packages
    build build
    cd build/data
    if [ -z "${DISPLAY:-}" ]; then
      # Nothing to open a window on: render the whole show, small, to a video instead.
      preview="$ROOT/build/preview.mp4"
      echo "No DISPLAY: rendering a preview video of the show (10 fps, 320x240) to $preview;"
      echo "about 3 to 6 minutes on 2 cores without a GPU."
      ../demo --capture "$preview" --fps 10 --size 320x240 --render-width 192 "$@"
      echo "The preview is in $preview"
      exit 0
    fi
    # A software renderer cannot trace the show at full size in real time: let the
    # window trace smaller while frames are too slow.
    if glxinfo -B 2>/dev/null | grep -qiE "renderer string:.*(llvmpipe|softpipe|software)"; then
      echo "OpenGL renders in software here: passing --target-fps 30, so the ray-traced scenes trace a smaller picture to keep the frame rate."
      exec ../demo --target-fps 30 "$@"
    fi
    exec ../demo "$@"
    ;;
  test)
    install_packages "${TEST_PACKAGES[@]}"
    check_format
    build build
    (cd build && ctest --output-on-failure -j2)
    # The unit, GL and end-to-end tests and a short capture once more under
    # AddressSanitizer and UndefinedBehaviorSanitizer, leak detection on.
    build build-sanitize -DDEMO_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug
    (cd build-sanitize && sanitized ctest --output-on-failure -j2 -L 'unit|gl|e2e' &&
      sanitized ctest --output-on-failure -R 'CaptureShowTest.ALateChunk')
    fuzz
    ;;
  fuzz)
    fuzz
    ;;
  bundle)
    install_packages
    build build
    tools/release/make-bundle.sh build build/hornlight-linux-x86_64.tar.gz
    ;;
  *)
    echo "usage: ./build.sh [show|test|build|fuzz|bundle] [demo options]" >&2
    exit 2
    ;;
esac
