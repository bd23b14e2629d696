# Real key presses: every key is echoed, the jumps move the music, a number key
# picks a scene until the timeline takes it back, and Esc ends the demo with 0.
source "$3/lib.sh"
start_windowed_show 30
xdotool key --window "$WINDOW_ID" space 2>/dev/null
sleep 0.3
xdotool key --window "$WINDOW_ID" BackSpace 2>/dev/null
sleep 0.3
xdotool key --window "$WINDOW_ID" 3 2>/dev/null
sleep 0.3
xdotool key --window "$WINDOW_ID" Escape 2>/dev/null
wait_exit 10
[ "$STATUS" -eq 0 ] || fail "exit status $STATUS"
grep -q "^32 [0-9-]* [0-9-]*$" "$SCRATCH/out" || fail "space not echoed"
grep -Eq "^[0-9.]+ -> [0-9.]+ $" "$SCRATCH/out" || fail "no jump line"
grep -q "^Scene 3$" "$SCRATCH/out" || fail "number key did not pick scene 3"
grep -q "^Change scene to 1 on beat" "$SCRATCH/out" || fail "timeline did not take scene 1 back"
grep -q "^27 " "$SCRATCH/out" || fail "Esc not echoed"
echo "ok"
