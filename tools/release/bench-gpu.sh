#!/bin/sh
# The show's numbers on a headless GPU machine, from the unpacked bundle:
#   ./bench-gpu.sh [results folder]        (default: ./gpu-bench-results)
# Runs `hornlight --bench` (start-up split, then 30 frames of each scene: frame
# times, GPU time per pass) at the show's 1024x768 and at 1920x1080, as a table
# and as JSON, on the GPU's EGL device: the program asks EGL for the devices it
# lists and takes the first that is not Mesa's software one, with no display.
#
# A GPU machine often has the driver and nothing of the desktop: where the program
# lacks libraries (the GL/EGL dispatch libraries of libglvnd, or X11's client
# libraries, which freeglut loads even when no window opens), put their Debian
# packages (.deb) in the bundle's extra/ folder; they are unpacked there, without
# root, and found through LD_LIBRARY_PATH. See RELEASE.txt for the list.
HERE=$(dirname "$(readlink -f "$0")")
RESULTS=$(mkdir -p "${1:-gpu-bench-results}" && cd "${1:-gpu-bench-results}" && pwd) || exit 1

if ls "$HERE"/extra/*.deb >/dev/null 2>&1; then
  mkdir -p "$HERE/extra/root"
  for deb in "$HERE"/extra/*.deb; do
    dpkg-deb -x "$deb" "$HERE/extra/root" 2>/dev/null || dpkg -x "$deb" "$HERE/extra/root" || {
      echo "ERROR: cannot unpack $deb (needs dpkg-deb)" >&2
      exit 1
    }
  done
  for dir in "$HERE"/extra/root/usr/lib/x86_64-linux-gnu "$HERE"/extra/root/lib/x86_64-linux-gnu; do
    [ -d "$dir" ] && LD_LIBRARY_PATH=$dir${LD_LIBRARY_PATH:+:$LD_LIBRARY_PATH}
  done
  export LD_LIBRARY_PATH
fi
missing=$(ldd "$HERE/bin/demo" | grep "not found")
if [ -n "$missing" ]; then
  echo "ERROR: the program lacks libraries on this machine; put their .deb packages in $HERE/extra/:" >&2
  echo "$missing" >&2
  exit 1
fi

# glvnd finds the NVIDIA EGL driver through its vendor file; container runtimes
# mount it where the system's glvnd does not look.
if [ -z "${__EGL_VENDOR_LIBRARY_FILENAMES:-}" ]; then
  for vendor in /usr/share/glvnd/egl_vendor.d/10_nvidia.json /etc/glvnd/egl_vendor.d/10_nvidia.json \
    /usr/local/nvidia/share/glvnd/egl_vendor.d/10_nvidia.json; do
    if [ -e "$vendor" ]; then
      export __EGL_VENDOR_LIBRARY_FILENAMES=$vendor
      break
    fi
  done
fi

unset DISPLAY WAYLAND_DISPLAY
# No sound card on a server: OpenAL's null device keeps real time.
export ALSOFT_DRIVERS=${ALSOFT_DRIVERS:-null}

{
  echo "machine: $(uname -n), $(nproc) cores"
  command -v nvidia-smi >/dev/null && nvidia-smi --query-gpu=name,driver_version --format=csv,noheader
  echo "EGL vendor file: ${__EGL_VENDOR_LIBRARY_FILENAMES:-(glvnd's default search)}"
} | tee "$RESULTS/machine.txt"

status=0
# HORNLIGHT_BENCH_SIZES="WxH ..." runs other sizes.
for size in ${HORNLIGHT_BENCH_SIZES:-1024x768 1920x1080}; do
  echo "== --bench --size $size"
  "$HERE/hornlight" --bench --size "$size" >"$RESULTS/bench-$size.txt" 2>"$RESULTS/bench-$size.err"
  code=$?
  cat "$RESULTS/bench-$size.txt"
  grep -E "^(INFO|ERROR)" "$RESULTS/bench-$size.err" >&2
  [ "$code" -eq 0 ] || status=$code
  "$HERE/hornlight" --bench --json --size "$size" >"$RESULTS/bench-$size.json" 2>/dev/null || status=$?
done
# Figures from Mesa's software renderer say nothing about a GPU.
if grep -qi "OpenGL Version:.*Mesa" "$RESULTS"/bench-*.err; then
  echo "ERROR: the benchmark ran on Mesa, not on the GPU: is the NVIDIA EGL driver installed and its vendor file found?" >&2
  status=1
fi
echo "Results in $RESULTS"
exit $status
