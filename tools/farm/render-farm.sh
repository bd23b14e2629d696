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
  --sshlogin LOGIN    render on this host (repeatable; GNU parallel's syntax, e.g.
                      4/user@host; ":" is this machine, which renders only when named
                      once any host is). Every host needs ssh access without a password,
                      rsync, and the demo and data directory at the same paths as here.
  --work DIR          where the chunks and their logs go (default: OUT's name with .chunks)
  --keep              keep the chunks and logs after joining

Chunks are lossless (FFV1 in Matroska). OUT.mkv joins them without re-encoding;
OUT.mp4 encodes the joined frames once to H.264. The sound is the music of the range.
Hosts that cannot be reached are left out; a chunk that fails on one host is tried
on the others. Each chunk's video and log come back to the work directory.
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
source "$ROOT/tools/farm/results.sh"

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
    --sshlogin) LOGINS+=("$2"); shift 2 ;;
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
[ ${#LOGINS[@]} -eq 0 ] || command -v rsync >/dev/null ||
  fail "rsync is missing (apt install rsync): GNU parallel copies the chunks back with it, here and on every host"
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
mkdir -p "$WORK" || fail "cannot make the work directory $WORK"
# What an earlier run left here must not be taken for this run's chunks.
rm -f "$WORK"/chunk-[0-9]*.mkv "$WORK"/chunk-[0-9]*.part.mkv "$WORK"/chunk-[0-9]*.log "$WORK"/chunk-[0-9]*.status \
  "$WORK/chunks.txt" "$WORK/list.txt" "$WORK/joblog.txt"

# Chunk boundaries in frames, handed to the demo as k / fps seconds: it takes each
# printed time back to frame k, so neighbouring chunks share no frame and miss none.
# The last chunk runs to --to, or to the end of the track. The fourth column is the
# chunk's number of frames ("any" for one that runs to the end of the track).
LENGTH=$(ffprobe -v error -show_entries format=duration -of csv=p=0 "$DATA/horn.mp3")
awk -v from="$FROM" -v to="${TO:-$LENGTH}" -v bounded="${TO:+1}" -v fps="$FPS" -v chunk="$CHUNK" '
  function ceilf(x) { return (x == int(x)) ? x : (x > 0 ? int(x) + 1 : int(x)) }
  BEGIN {
    first = ceilf(from * fps - 0.001); end = ceilf(to * fps - 0.001); step = int(chunk * fps)
    if (step < 1) step = 1
    n = 0
    for (k = first; k < end; k += step) {
      stop = (k + step < end) ? k + step : end
      open_end = (stop == end && bounded != "1")
      printf "%04d %.6f %s %s\n", ++n, k / fps, open_end ? "end" : sprintf("%.6f", stop / fps), open_end ? "any" : stop - k
    }
  }' >"$WORK/chunks.txt"
[ -s "$WORK/chunks.txt" ] || fail "the range holds no frame"
TOTAL=$(wc -l <"$WORK/chunks.txt")

HOSTS=()
if [ ${#LOGINS[@]} -gt 0 ]; then
  source "$ROOT/tools/farm/hosts.sh"
  mapfile -t HOSTS < <(usable_logins "$DEMO" "$DATA" "${LOGINS[@]}")
  [ ${#HOSTS[@]} -gt 0 ] || fail "none of the hosts can render (see the notes above)"
fi
if [ ${#HOSTS[@]} -eq 0 ]; then
  echo "Rendering $TOTAL chunks of ${CHUNK} s into $WORK on this machine ($JOBS at once, LP_NUM_THREADS=$THREADS)"
else
  echo "Rendering $TOTAL chunks of ${CHUNK} s into $WORK on ${#HOSTS[@]} host(s): $(printf '%s\n' "${HOSTS[@]}" | sed 's/^:$/this machine/' | paste -sd ' ') ($JOBS at once on a host whose login names no number, LP_NUM_THREADS=$THREADS)"
fi

EXTRA="--fps $FPS --size $SIZE ${RENDER_WIDTH:+--render-width $RENDER_WIDTH}"
export LP_NUM_THREADS=$THREADS
# One chunk, in POSIX sh on whichever host runs it ({1} {2} {3}: the chunk's number,
# start and end). The demo's output goes to chunk-NNNN.log, its standard error
# (progress, errors) also through, tagged. Its frames go to chunk-NNNN.part.mkv,
# which becomes chunk-NNNN.mkv only when the demo succeeded, so a broken chunk is
# never taken for a whole one. This machine writes straight into the work
# directory; another host writes into a directory of its own for this job (GNU
# parallel's --workdir ...), from which the video and log are copied back and which
# alone is removed afterwards: even where that host shares the work directory's file
# system, nothing the join needs is deleted. A line "@@farm-done" tells the
# progress filter which host finished the chunk. The lines join into one command.
JOB=$(paste -sd ' ' <<'SH'
w=$(pwd); [ "$PARALLEL_SSHLOGIN" != : ] || w=@WORK@; n={1}; : >"$w/chunk-$n.log";
{ (cd @DATA@ && @DEMO@ --capture "$w/chunk-$n.part.mkv" @EXTRA@ --from {2} $([ {3} = end ] || echo --to {3})
  2>&1 >>"$w/chunk-$n.log"); echo $? >"$w/chunk-$n.status"; } | tee -a "$w/chunk-$n.log";
s=$(cat "$w/chunk-$n.status"); rm -f "$w/chunk-$n.status";
if [ "$s" = 0 ] && mv "$w/chunk-$n.part.mkv" "$w/chunk-$n.mkv"; then echo "@@farm-done $n ${PARALLEL_SSHHOST:-:}";
else rm -f "$w/chunk-$n.part.mkv"; [ "$s" != 0 ] || s=1; exit "$s"; fi
SH
)
shopt -u patsub_replacement 2>/dev/null || true # an "&" in a path stays an "&"
JOB=${JOB//@WORK@/$(printf '%q' "$WORK")}
JOB=${JOB//@DATA@/$(printf '%q' "$DATA")}
JOB=${JOB//@DEMO@/$(printf '%q' "$DEMO")}
JOB=${JOB//@EXTRA@/$EXTRA}

PARALLEL_HOSTS=()
RETRIES=1
if [ ${#HOSTS[@]} -gt 0 ]; then
  for login in "${HOSTS[@]}"; do PARALLEL_HOSTS+=(--sshlogin "$login"); done
  printf '%s\n' "${HOSTS[@]}" | grep -qvx : &&
    PARALLEL_HOSTS+=(--workdir ... --return 'chunk-{1}.mkv' --return 'chunk-{1}.log' --cleanup)
  RETRIES=${#HOSTS[@]}
fi
# Every chunk may be tried once on each host (--retries); one that fails on all of
# them stops the run once the chunks being rendered are done. Standard output goes
# through the progress filter; from standard error, what a failed chunk always
# brings (GNU parallel repeating the whole job, rsync missing the video that was
# not made) is left out: the ERROR line below says which chunk failed and where.
rm -f "$WORK/status.txt"
{ (set +e; cd "$WORK" && parallel --colsep ' ' --jobs "$JOBS" "${PARALLEL_HOSTS[@]}" --env LP_NUM_THREADS \
  --retries "$RETRIES" --halt soon,fail=1 --joblog "$WORK/joblog.txt" --line-buffer --tagstring 'chunk {1}' \
  "$JOB" :::: "$WORK/chunks.txt"; echo $? >"$WORK/status.txt") 2>&1 1>&3 3>&- |
  awk '/^parallel: This job failed:$/ { skip = 1; next }
       skip { skip = 0; next }
       /rsync: \[sender\] link_stat ".*\/chunk-[0-9]+\.mkv" failed/ || /rsync error: some files\/attrs were not transferred/ { next }
       { print; fflush() }' >&2; } 3>&1 | awk -v total="$TOTAL" -f "$ROOT/tools/farm/progress.awk"
STATUS=$(cat "$WORK/status.txt" 2>/dev/null || echo 255)
rm -f "$WORK/status.txt"
[ "$STATUS" -eq 0 ] || report_failure "$STATUS"
FRAMES=$(check_chunks)

LIST="$WORK/list.txt"
while read -r n _; do echo "file '$WORK/chunk-$n.mkv'"; done <"$WORK/chunks.txt" >"$LIST"
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
if [ "$KEEP" = 1 ]; then echo "The chunks and their logs are in $WORK"; else remove_work; fi
echo "Wrote $OUT"
