# Real key presses: every key is echoed, the jumps move the music, a number key
# picks a scene until the timeline takes it back, and Esc ends the demo with 0.
source "$3/lib.sh"
start_xvfb
make_music 30
start_demo --windowed
id=$(wait_window "^Demo" 15) || fail "no window"
sleep 1
xdotool key --window "$id" space 2>/dev/null
sleep 0.3
xdotool key --window "$id" BackSpace 2>/dev/null
sleep 0.3
xdotool key --window "$id" 3 2>/dev/null
sleep 0.3
xdotool key --window "$id" Escape 2>/dev/null
wait_exit 10
[ "$STATUS" -eq 0 ] || fail "exit status $STATUS"
grep -q "^32 [0-9-]* [0-9-]*$" "$SCRATCH/out" || fail "space not echoed"
grep -Eq "^[0-9.]+ -> [0-9.]+ $" "$SCRATCH/out" || fail "no jump line"
grep -q "^Scene 3$" "$SCRATCH/out" || fail "number key did not pick scene 3"
grep -q "^Change scene to 1 on beat" "$SCRATCH/out" || fail "timeline did not take scene 1 back"
grep -q "^27 " "$SCRATCH/out" || fail "Esc not echoed"
echo "ok"
