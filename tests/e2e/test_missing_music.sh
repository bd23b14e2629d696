# Without a music file the show says so and keeps running on a silent clock.
source "$3/lib.sh"
start_xvfb
start_demo
id=$(wait_window "^Demo" 15) || fail "no window"
sleep 2
kill -0 "$DEMO_PID" 2>/dev/null || fail "demo ended without music"
grep -q "^Error loading sound$" "$SCRATCH/out" || fail "no 'Error loading sound'"
grep -q "^ERROR: horn.mp3: " "$SCRATCH/err" || fail "no reason for the missing music"
"$WM_CLOSE" "$id"
wait_exit 10
[ "$STATUS" -eq 0 ] || fail "exit status $STATUS"
echo "ok"
