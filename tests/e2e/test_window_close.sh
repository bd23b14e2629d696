# Closing the window the way a window manager does ends the demo with status 0.
source "$3/lib.sh"
start_xvfb
make_music 30
start_demo --windowed
id=$(wait_window "^Demo" 15) || fail "no window"
sleep 1
"$WM_CLOSE" "$id" || fail "wm_close"
wait_exit 10
[ "$STATUS" -eq 0 ] || fail "exit status $STATUS"
echo "ok"
