# Real key presses in the show with its data: every key is echoed, 'F' does
# nothing more, '8' picks an empty slot harmlessly until the timeline takes scene 1
# back, the jumps move the music, a number key picks a scene, and Esc ends the
# demo with 0.
source "$3/lib.sh"
start_windowed_show 30 show
key() {
  xdotool key --window "$WINDOW_ID" "$1" 2>/dev/null
  sleep 0.5
}
key F
key 8
wait_line_after "^Scene 8$" "^Change scene to 1 on beat" 60
kill -0 "$DEMO_PID" 2>/dev/null || fail "demo ended after '8'"
key space
key BackSpace
key 3
wait_line_after "^Scene 3$" "^Change scene to 1 on beat" 60
key Escape
wait_exit 20
[ "$STATUS" -eq 0 ] || fail "exit status $STATUS"
# 'F' (70) is echoed, and the next line is the echo of '8' (56).
grep -A1 "^70 [0-9-]* [0-9-]*$" "$SCRATCH/out" | tail -n1 | grep -q "^56 [0-9-]* [0-9-]*$" \
  || fail "'F' did more than echo its code"
grep -q "^Scene 8$" "$SCRATCH/out" || fail "'8' did not pick scene 8"
grep -A3 "^Scene 8$" "$SCRATCH/out" | grep -q "^Change scene to 1 on beat" || fail "timeline did not take scene 1 back"
grep -q "^32 [0-9-]* [0-9-]*$" "$SCRATCH/out" || fail "space not echoed"
grep -Eq "^[0-9.]+ -> [0-9.]+ $" "$SCRATCH/out" || fail "no jump line"
grep -q "^Scene 3$" "$SCRATCH/out" || fail "number key did not pick scene 3"
grep -A3 "^Scene 3$" "$SCRATCH/out" | grep -q "^Change scene to 1 on beat" || fail "timeline did not take scene 1 back"
grep -q "^27 " "$SCRATCH/out" || fail "Esc not echoed"
errors=$(unexpected_errors)
[ -z "$errors" ] || fail "error lines: $errors"
echo "ok"
