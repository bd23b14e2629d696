# Closing the window the way a window manager does ends the demo with status 0.
source "$3/lib.sh"
start_windowed_show 30
"$WM_CLOSE" "$WINDOW_ID" || fail "wm_close"
wait_exit 10
[ "$STATUS" -eq 0 ] || fail "exit status $STATUS"
echo "ok"
