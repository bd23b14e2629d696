# The render farm on this machine: a short range in chunks of 3 frames, one boundary
# on the first scene change, gives frame for frame the video of one capture, with
# the music as its sound, cut to the frames. Uses the build's data directory.
source "$3/lib.sh"
unset DISPLAY
FARM="$3/../../tools/farm/render-farm.sh"
DATA="$(dirname "$DEMO")/data"
RANGE=(--from 21.6 --to 22.8 --fps 10 --size 160x120 --render-width 64)
"$FARM" --demo "$DEMO" --data "$DATA" "${RANGE[@]}" --chunk 0.3 --jobs 2 "$SCRATCH/farm.mkv" \
  >"$SCRATCH/out" 2>"$SCRATCH/err" || fail "render farm failed"
(cd "$DATA" && "$DEMO" --capture "$SCRATCH/one.mkv" "${RANGE[@]}" >>"$SCRATCH/out" 2>>"$SCRATCH/err") ||
  fail "capture failed"
frames() { ffmpeg -v error -i "$1" -map 0:v -f framemd5 - | grep -v '^#' | awk -F, '{print $NF}'; }
frames "$SCRATCH/farm.mkv" >"$SCRATCH/farm.md5"
frames "$SCRATCH/one.mkv" >"$SCRATCH/one.md5"
[ "$(wc -l <"$SCRATCH/one.md5")" -eq 12 ] || fail "the capture has $(wc -l <"$SCRATCH/one.md5") frames, not 12"
cmp -s "$SCRATCH/farm.md5" "$SCRATCH/one.md5" || fail "the farm's frames differ from one capture's"
ffprobe -v error -select_streams a -show_entries stream=codec_name -of csv=p=0 "$SCRATCH/farm.mkv" | grep -q flac ||
  fail "the farm's video has no sound"
# The sound ends with the last frame (12 frames at 10 fps), within Matroska's 1 ms
# timestamps.
audio_end() {
  ffprobe -v error -select_streams a:0 -show_entries packet=pts_time,duration_time -of csv=p=0 "$1" |
    awk -F, 'END { printf "%.6f", $1 + $2 }'
}
for video in farm one; do
  end=$(audio_end "$SCRATCH/$video.mkv")
  awk -v e="$end" 'BEGIN { exit !(e >= 1.199 && e <= 1.201) }' ||
    fail "the sound of $video.mkv ends at $end s, not with the last frame at 1.200 s"
done
grep -qx "Progress: 4 of 4 chunks done (this machine: 4)" "$SCRATCH/out" || fail "no progress line of the whole run"
[ ! -e "$SCRATCH/farm.chunks" ] || fail "the chunks were not removed"
echo "ok"
