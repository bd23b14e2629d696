# Without a display the demo says it has no window and exits 1.
source "$3/lib.sh"
unset DISPLAY
start_demo
wait_exit 10
[ "$STATUS" -eq 1 ] || fail "exit status $STATUS"
grep -q "^ERROR: Could not create a new rendering window.$" "$SCRATCH/err" || fail "no window error"
echo "ok"
