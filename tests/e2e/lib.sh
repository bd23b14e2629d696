# Shared by the end-to-end scripts: arguments, a private Xvfb, a scratch data
# directory and a short generated "horn.mp3".
set -u
DEMO=$1
WM_CLOSE=$2
SCRATCH=$(mktemp -d /tmp/demo-e2e.XXXXXX)
XVFB_PID=""
DEMO_PID=""

cleanup() {
  [ -n "$DEMO_PID" ] && kill "$DEMO_PID" 2>/dev/null
  if [ -n "$XVFB_PID" ]; then
    # Stopped under the start lock and waited for, so that no server starts
    # while ours still holds its display number.
    exec 4>/tmp/demo-e2e-xvfb.lock
    flock 4
    kill "$XVFB_PID" 2>/dev/null
    wait "$XVFB_PID" 2>/dev/null
    exec 4>&-
  fi
  rm -rf "$SCRATCH"
}
trap cleanup EXIT

fail() {
  echo "FAIL: $*"
  echo "--- stdout"; cat "$SCRATCH/out" 2>/dev/null
  echo "--- stderr"; cat "$SCRATCH/err" 2>/dev/null
  echo "--- X server on ${DISPLAY:-}"; tail -n 20 "$SCRATCH/xvfb.log" 2>/dev/null
  exit 1
}

# A private X server on a display number that has neither lock nor socket. Ours
# start and stop (in cleanup) one at a time, so they never race for a number.
# -noreset: by default the server resets when its last client leaves, and a
# client connecting during that reset (the demo, right after our xdpyinfo
# check) is refused.
start_xvfb() {
  local n
  exec 4>/tmp/demo-e2e-xvfb.lock
  flock 4
  for n in $(seq 20 99); do
    { [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; } && continue
    Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp -noreset 4>&- >"$SCRATCH/xvfb.log" 2>&1 &
    XVFB_PID=$!
    export DISPLAY=":$n"
    for _ in $(seq 100); do
      xdpyinfo >/dev/null 2>&1 && { exec 4>&-; return 0; }
      kill -0 "$XVFB_PID" 2>/dev/null || break
      sleep 0.1
    done
    kill "$XVFB_PID" 2>/dev/null
    wait "$XVFB_PID" 2>/dev/null
    XVFB_PID=""
  done
  fail "Xvfb did not start"
}

# use_show_data: the data the build made beside the demo binary (shaders,
# bitmaps, models) in the scratch directory, which keeps its own short track.
SHOW_DATA=$(cd "$(dirname "$DEMO")/data" 2>/dev/null && pwd)
use_show_data() {
  [ -d "$SHOW_DATA/shaders" ] && [ -d "$SHOW_DATA/textures" ] || fail "no data directory at $SHOW_DATA"
  ln -s "$SHOW_DATA/shaders" "$SHOW_DATA/textures" "$SCRATCH/" || fail "linking the data"
  # Models come from their own generator; until it has run, the scenes that need
  # them report it and draw black.
  if [ -d "$SHOW_DATA/models" ]; then ln -s "$SHOW_DATA/models" "$SCRATCH/"; else mkdir "$SCRATCH/models"; fi
}

# unexpected_errors: the "ERROR" lines of the demo's standard error, less the
# ones about a model file that the data directory does not have.
unexpected_errors() {
  local line name
  grep '^ERROR' "$SCRATCH/err" | while IFS= read -r line; do
    name=$(printf '%s' "$line" | grep -o 'models[\\/][A-Za-z0-9_.-]*\.3ds' | head -n1 | cut -c8-)
    [ -n "$name" ] && [ ! -e "$SHOW_DATA/models/$name" ] && continue
    printf '%s\n' "$line"
  done
}

# make_music SECONDS: a tone as horn.mp3 in the scratch directory.
make_music() {
  sox -n -r 44100 -c 2 -b 16 "$SCRATCH/tone.wav" synth "$1" sine 440 vol 0.3 || fail "sox"
  lame --quiet -b 192 "$SCRATCH/tone.wav" "$SCRATCH/horn.mp3" || fail "lame"
}

# start_demo [ARGS]: the demo in the scratch directory, output to out/err.
start_demo() {
  (cd "$SCRATCH" && exec "$DEMO" "$@" >"$SCRATCH/out" 2>"$SCRATCH/err") &
  DEMO_PID=$!
}

# start_windowed_show SECONDS [show]: a private X server, a track of SECONDS and
# the demo in a window, with the show's data when "show" is given; sets WINDOW_ID
# once the show has run a second. (Not to be called in a command substitution:
# the server and demo belong to this shell.)
start_windowed_show() {
  start_xvfb
  make_music "$1"
  [ "${2:-}" = show ] && use_show_data
  start_demo --windowed
  WINDOW_ID=$(wait_window "^Demo" 15) || fail "no window"
  sleep 1
}

# wait_exit SECONDS: waits for the demo to end; sets STATUS, or fails on timeout.
wait_exit() {
  local waited=0
  while kill -0 "$DEMO_PID" 2>/dev/null; do
    [ "$waited" -ge $(($1 * 10)) ] && fail "demo still running after $1 s"
    sleep 0.1
    waited=$((waited + 1))
  done
  wait "$DEMO_PID"
  STATUS=$?
  DEMO_PID=""
}

# wait_window PATTERN SECONDS: prints the id of the first window whose name matches.
wait_window() {
  local id
  for _ in $(seq $(($2 * 10))); do
    id=$(xdotool search --name "$1" 2>/dev/null | head -n1)
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.1
  done
  return 1
}

# wait_line_after MARK PATTERN SECONDS: waits until a line matching PATTERN follows
# the first line matching MARK in the demo's standard output (frames of the real
# show take seconds on llvmpipe, so a key's effect shows only on a later frame).
wait_line_after() {
  for _ in $(seq $(($3 * 10))); do
    sed -n "/$1/,\$p" "$SCRATCH/out" 2>/dev/null | grep -q "$2" && return 0
    sleep 0.1
  done
  fail "no line matching '$2' after '$1' within $3 s"
}

# lit_pixels: how many pixels of the X screen are not black, from one grab of it.
lit_pixels() {
  ffmpeg -loglevel error -f x11grab -video_size 1024x768 -i "$DISPLAY" -frames:v 1 \
    -f rawvideo -pix_fmt gray -y "$SCRATCH/grab.raw" </dev/null || fail "grabbing the screen"
  tr -d '\000' <"$SCRATCH/grab.raw" | wc -c
}

# wait_for FILE PATTERN SECONDS: waits until a line of FILE matches the extended regex.
wait_for() {
  for _ in $(seq $(($3 * 10))); do
    grep -Eq -- "$2" "$1" 2>/dev/null && return 0
    kill -0 "$DEMO_PID" 2>/dev/null || fail "demo ended while waiting for '$2'"
    sleep 0.1
  done
  fail "no line '$2' after $3 s"
}
