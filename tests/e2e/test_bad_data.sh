# A broken data file never stops the show: each file is replaced in a scratch copy
# of the data directory by nothing, an empty file, its first half, random bytes, a
# directory or a FIFO, and a headless capture of one frame per scene must start,
# name the file in "ERROR: " lines (at most one per load of it), name nothing else,
# render every frame and end with status 0 within its time limit.
#
# By default one file of each kind; with --all every data file of the show:
#   tests/e2e/test_bad_data.sh build/demo --all
HERE=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
ALL=no
for arg in "$@"; do [ "$arg" = --all ] && ALL=yes; done
set -- "$(realpath "$1")" none "$HERE"
source "$HERE/lib.sh"

[ -f "$SHOW_DATA/horn.mp3" ] && [ -d "$SHOW_DATA/models" ] || fail "no show data at $SHOW_DATA"
CORRUPTIONS="missing empty truncated random directory fifo"
# Frames 20 to 141 at 1 fps: inside scene 1 first, inside scene 6 last. Under the
# sanitizers (BAD_DATA_LIGHT set) two frames, scenes 1 and 2: start-up still loads
# every file, which is what they are there to watch.
CAPTURE="--fps 1 --size 160x120 --render-width 32 --from 20 --to 142"
FRAMES=122
if [ -n "${BAD_DATA_LIGHT:-}" ]; then
  CAPTURE="--fps 1 --size 160x120 --render-width 32 --from 21 --to 23"
  FRAMES=2
fi

# How often the show loads a shader file: every ray-traced scene (5) builds the
# tracer and both blurs (sharing BlurVert), four of them depth of field, one the
# pass-through; the credits scene its own pair.
shader_loads() {
  case $1 in
    BlurVert.glsl) echo 10 ;;
    RaytracerPolygons*.glsl | BlurHorFrag.glsl | BlurVertFrag.glsl) echo 5 ;;
    DoF*.glsl) echo 4 ;;
    *) echo 1 ;;
  esac
}

# loads FILE: how often the show reads FILE (relative to the data directory);
# material textures are counted from the "textures\NAME--" lines of the run.
loads() {
  case $1 in
    shaders/*) shader_loads "${1#shaders/}" ;;
    textures/credits.bmp) echo 1 ;;
    textures/*) grep -cF "textures\\${1#textures/}--" "$CASE/out" ;;
    *) echo 1 ;;
  esac
}

# make_case FILE: $CASE, a data directory of links to the show's files, less FILE.
make_case() {
  local top=${1%%/*} entry
  rm -rf "$CASE" && mkdir -p "$CASE/data" || fail "making $CASE"
  for entry in "$SHOW_DATA"/*; do
    [ "$(basename "$entry")" = "$top" ] || ln -s "$entry" "$CASE/data/"
  done
  [ "$top" = "$1" ] && return
  mkdir "$CASE/data/$top"
  for entry in "$SHOW_DATA/$top"/*; do
    [ "$top/$(basename "$entry")" = "$1" ] || ln -s "$entry" "$CASE/data/$top/"
  done
}

# corrupt FILE HOW: writes the broken FILE into the case's data directory.
corrupt() {
  local target="$CASE/data/$1" size
  size=$(stat -L -c %s "$SHOW_DATA/$1")
  case $2 in
    missing) ;;
    empty) : >"$target" ;;
    truncated) head -c $((size / 2)) "$SHOW_DATA/$1" >"$target" ;;
    random) head -c "$size" /dev/urandom >"$target" ;;
    directory) mkdir "$target" ;;
    fifo) mkfifo "$target" ;;
  esac
}

# capture WHAT: the capture in $CASE/data; fails unless it ends with status 0
# having built the six scenes and rendered every frame.
capture() {
  local status frames
  (cd "$CASE/data" && exec timeout -k 5 90 "$DEMO" --capture "$CASE/frames/" $CAPTURE \
    >"$CASE/out" 2>"$CASE/err")
  status=$?
  cp "$CASE/out" "$SCRATCH/out"
  cp "$CASE/err" "$SCRATCH/err"
  { [ "$status" -eq 124 ] || [ "$status" -eq 137 ]; } && fail "$1: still running after 90 s"
  [ "$status" -eq 0 ] || fail "$1: exit status $status"
  [ "$(grep -c '^Scene \(poly\|Notes\) init$' "$CASE/out")" -eq 6 ] || fail "$1: not six scenes built"
  frames=$(find "$CASE/frames" -name '*.png' | wc -l)
  [ "$frames" -eq "$FRAMES" ] || fail "$1: $frames frames of $FRAMES"
}

# check_case FILE HOW: one capture with FILE broken by HOW.
check_case() {
  local file=$1 how=$2 named others most
  make_case "$file"
  corrupt "$file" "$how"
  capture "$file $how"
  named=$(grep '^ERROR: ' "$CASE/err" | grep -cF "$(basename "$file")")
  others=$(grep '^ERROR: ' "$CASE/err" | grep -vcF "$(basename "$file")")
  most=$(loads "$file")
  [ "$named" -ge 1 ] || fail "$file $how: no ERROR line names it"
  [ "$named" -le "$most" ] || fail "$file $how: $named ERROR lines for $most loads"
  [ "$others" -eq 0 ] || fail "$file $how: ERROR lines about other files"
  echo "ok: $file $how ($named ERROR lines)"
}

# The intact data first: no ERROR line at all, and the bitmaps the show loads.
CASE="$SCRATCH/case"
make_case none
capture "intact data"
grep -q '^ERROR' "$CASE/err" && fail "ERROR lines with intact data"
if [ "$ALL" = yes ]; then
  FILES="horn.mp3 $(cd "$SHOW_DATA" && ls models/{intro,spheres,ull1,test9,info}.3ds \
    shaders/{RaytracerPolygons,Blur,DoF,Pass,RaytracedNotes}*.glsl)"
  FILES="$FILES textures/credits.bmp $(sed -n 's/^textures\\\(.*\)--$/textures\/\1/p' "$CASE/out" | sort -u)"
else
  FILES="shaders/RaytracerPolygonsFrag.glsl textures/brass.bmp models/ull1.3ds horn.mp3"
fi
for file in $FILES; do
  for how in $CORRUPTIONS; do
    check_case "$file" "$how"
  done
done
echo "ok"
