#!/usr/bin/env bash
# Renders the show (or a range of it) as independent chunks with GNU parallel, on
# this machine's cores or on several hosts, and joins them into one video with the
# music laid over the whole. Every frame depends only on its time, so the chunks
# can be rendered anywhere, in any order.
set -euo pipefail

usage() {
  cat <<'TEXT'
Usage: tools/farm/render-farm.sh [options] OUT.mkv|OUT.mp4

  --demo PATH         the demo program (default: build/demo of this checkout)
  --data DIR          its data directory (default: build/data of this checkout)
  --fps N             frames per second (default 60)
  --size WxH          frame size (default 1024x768)
  --render-width N    side of the ray-traced scenes' render targets (default: the demo's)
  --from S, --to S    the range in seconds of music (default: the whole track)
  --chunk S           seconds of music per chunk (default 10)
  --jobs N            chunks rendered at once on each host (default: this machine's cores)
  --threads N         llvmpipe threads per chunk, LP_NUM_THREADS (default 1)
  --sshlogin LOGIN    render on this host too (repeatable; GNU parallel's syntax, e.g.
                      4/user@host; ":" is this machine). Every host needs the demo and the
                      data directory at the same paths as here.
  --work DIR          where the chunks go (default: OUT's name with .chunks)
  --keep              keep the chunks after joining

Chunks are lossless (FFV1 in Matroska). OUT.mkv joins them without re-encoding;
OUT.mp4 encodes the joined frames once to H.264. The sound is the music of the range.
TEXT
}

ROOT=$(cd "$(dirname "$0")/../.." && pwd)
DEMO=$ROOT/build/demo
DATA=$ROOT/build/data
FPS=60
SIZE=1024x768
RENDER_WIDTH=""
FROM=0
TO=""
CHUNK=10
JOBS=$(nproc)
THREADS=1
LOGINS=()
WORK=""
KEEP=0

fail() { echo "ERROR: $*" >&2; exit 1; }

while [ $# -gt 0 ]; do
  case "$1" in
    --demo) DEMO=$2; shift 2 ;;
    --data) DATA=$2; shift 2 ;;
    --fps) FPS=$2; shift 2 ;;
    --size) SIZE=$2; shift 2 ;;
    --render-width) RENDER_WIDTH=$2; shift 2 ;;
    --from) FROM=$2; shift 2 ;;
    --to) TO=$2; shift 2 ;;
    --chunk) CHUNK=$2; shift 2 ;;
    --jobs) JOBS=$2; shift 2 ;;
    --threads) THREADS=$2; shift 2 ;;
    --sshlogin) LOGINS+=(--sshlogin "$2"); shift 2 ;;
    --work) WORK=$2; shift 2 ;;
    --keep) KEEP=1; shift ;;
    -h|--help) usage; exit 0 ;;
    -*) usage >&2; fail "unknown option $1" ;;
    *) [ -z "${OUT:-}" ] || fail "one output only"; OUT=$1; shift ;;
  esac
done

[ -n "${OUT:-}" ] || { usage >&2; fail "no output named"; }
case "$OUT" in *.mkv|*.mp4) ;; *) fail "the output must end in .mkv or .mp4: $OUT" ;; esac
command -v parallel >/dev/null || fail "GNU parallel is missing (apt install parallel)"
command -v ffmpeg >/dev/null || fail "ffmpeg is missing (apt install ffmpeg)"
[ -x "$DEMO" ] || fail "no demo program at $DEMO (build it first: ./build.sh build)"
[ -f "$DATA/horn.mp3" ] || fail "no horn.mp3 in the data directory $DATA"
for n in "$FPS" "$JOBS" "$THREADS"; do
  [[ "$n" =~ ^[1-9][0-9]*$ ]] || fail "not a positive whole number: $n"
done
for s in "$FROM" "$CHUNK" ${TO:+"$TO"}; do
  [[ "$s" =~ ^[0-9]+([.][0-9]+)?$ ]] || fail "not a number of seconds: $s"
done

OUT=$(realpath -m "$OUT")
DEMO=$(realpath "$DEMO")
DATA=$(realpath "$DATA")
WORK=$(realpath -m "${WORK:-${OUT%.*}.chunks}")
mkdir -p "$WORK"

# Chunk boundaries in frames, handed to the demo as k / fps seconds: it takes each
# printed time back to frame k, so neighbouring chunks share no frame and miss none.
# The last chunk runs to --to, or to the end of the track.
LENGTH=$(ffprobe -v error -show_entries format=duration -of csv=p=0 "$DATA/horn.mp3")
awk -v from="$FROM" -v to="${TO:-$LENGTH}" -v bounded="${TO:+1}" -v fps="$FPS" -v chunk="$CHUNK" '
  function ceilf(x) { return (x == int(x)) ? x : (x > 0 ? int(x) + 1 : int(x)) }
  BEGIN {
    first = ceilf(from * fps - 0.001); end = ceilf(to * fps - 0.001); step = int(chunk * fps)
    if (step < 1) step = 1
    n = 0
    for (k = first; k < end; k += step) {
      last = (k + step >= end)
      printf "%04d %.6f %s\n", ++n, k / fps, (last && bounded != "1") ? "end" : sprintf("%.6f", ((k + step < end) ? k + step : end) / fps)
    }
  }' >"$WORK/chunks.txt"
[ -s "$WORK/chunks.txt" ] || fail "the range holds no frame"
echo "Rendering $(wc -l <"$WORK/chunks.txt") chunks of ${CHUNK} s into $WORK ($JOBS at once per host, LP_NUM_THREADS=$THREADS)"

EXTRA="--fps $FPS --size $SIZE ${RENDER_WIDTH:+--render-width $RENDER_WIDTH}"
export LP_NUM_THREADS=$THREADS
# Each chunk: its frames to chunk-NNNN.mkv, the scene lines to chunk-NNNN.log; the
# progress lines come through tagged with the chunk.
# Remote hosts send their chunk back and delete their copy.
REMOTE=()
[ ${#LOGINS[@]} -gt 0 ] && REMOTE=("${LOGINS[@]}" --return "$WORK/chunk-{1}.mkv" --cleanup)
parallel --colsep ' ' --jobs "$JOBS" "${REMOTE[@]}" --env LP_NUM_THREADS --halt now,fail=1 \
  --line-buffer --tagstring 'chunk {1}' \
  "mkdir -p '$WORK' && cd '$DATA' && '$DEMO' --capture '$WORK/chunk-{1}.mkv' $EXTRA --from {2} \$( [ {3} = end ] || echo --to {3} ) >'$WORK/chunk-{1}.log'" \
  :::: "$WORK/chunks.txt" || fail "a chunk failed; see its log in $WORK"

LIST="$WORK/list.txt"
: >"$LIST"
FRAMES=0
while read -r n _; do
  echo "file '$WORK/chunk-$n.mkv'" >>"$LIST"
  count=$(ffprobe -v error -count_packets -select_streams v:0 -show_entries stream=nb_read_packets -of csv=p=0 \
    "$WORK/chunk-$n.mkv") || fail "ffprobe could not read $WORK/chunk-$n.mkv"
  FRAMES=$((FRAMES + count))
done <"$WORK/chunks.txt"
# The sound is cut to the frames' time to the sample: -shortest stops the mux only
# at a packet boundary, which left up to a FLAC block (0.1 s) of music after the
# last frame.
SECONDS_OF_VIDEO=$(awk -v n="$FRAMES" -v fps="$FPS" 'BEGIN { printf "%.6f", n / fps }')
START=$(head -n1 "$WORK/chunks.txt" | cut -d' ' -f2)
case "$OUT" in
  *.mkv) VIDEO=(-c:v copy -c:a flac) ;;
  *.mp4) VIDEO=(-c:v libx264 -crf 18 -pix_fmt yuv420p -c:a aac -b:a 192k -movflags +faststart) ;;
esac
echo "Joining into $OUT"
ffmpeg -hide_banner -loglevel error -y -f concat -safe 0 -i "$LIST" -ss "$START" -i "$DATA/horn.mp3" \
  -map 0:v:0 -map 1:a:0 -af "atrim=duration=$SECONDS_OF_VIDEO" "${VIDEO[@]}" "$OUT" ||
  fail "ffmpeg could not join the chunks"
[ "$KEEP" = 1 ] || rm -rf "$WORK"
echo "Wrote $OUT"
