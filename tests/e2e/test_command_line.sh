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
echo "ok"
