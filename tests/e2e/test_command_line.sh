# The command line outside the show: help, the inspector on a missing file, and
# an unknown option; none of them needs a display.
source "$3/lib.sh"
unset DISPLAY
"$DEMO" --help >"$SCRATCH/out" 2>"$SCRATCH/err" || fail "--help status"
grep -q -- "--inspect FILE \[--frame N\]" "$SCRATCH/out" || fail "--help lacks the inspector"
grep -q "TEXEL REGION X Y Z W" "$SCRATCH/out" || fail "--help lacks the inspector's format"
"$DEMO" --inspect "$SCRATCH/none.3ds" >"$SCRATCH/out" 2>"$SCRATCH/err"
[ $? -eq 1 ] || fail "--inspect on a missing file should exit 1"
grep -q "^ERROR: " "$SCRATCH/err" || fail "no error line for the missing file"
"$DEMO" --fast >"$SCRATCH/out" 2>"$SCRATCH/err"
[ $? -eq 2 ] || fail "unknown option should exit 2"
grep -q "^ERROR: unknown option --fast" "$SCRATCH/err" || fail "unknown option not named"
# Captures that cannot be made say why before any work: an unknown output kind, a
# video without ffmpeg, a directory that cannot be created.
"$DEMO" --capture "$SCRATCH/show.avi" >"$SCRATCH/out" 2>"$SCRATCH/err"
[ $? -eq 2 ] || fail "--capture to .avi should exit 2"
grep -q "^ERROR: --capture needs a directory" "$SCRATCH/err" || fail "no error line for .avi"
(cd "$SCRATCH" && PATH=/nonexistent "$DEMO" --capture show.mp4 >"$SCRATCH/out" 2>"$SCRATCH/err")
[ $? -eq 1 ] || fail "--capture to .mp4 without ffmpeg should exit 1"
grep -q "^ERROR: Capturing a video needs the ffmpeg program" "$SCRATCH/err" || fail "ffmpeg not named"
"$DEMO" --capture "$SCRATCH/no/such/dir/" >"$SCRATCH/out" 2>"$SCRATCH/err"
[ $? -eq 1 ] || fail "--capture into a directory that cannot be made should exit 1"
grep -q "^ERROR: Could not create the directory" "$SCRATCH/err" || fail "no error line for the directory"
[ ! -s "$SCRATCH/out" ] || fail "start-up ran before the output was checked"
echo "ok"
