# With a short track the show starts, titles its window with the frame rate, and
# exits 0 by itself once the track has played.
source "$3/lib.sh"
start_xvfb
make_music 4
start_demo
wait_window "^Demo: [0-9]* Frames Per Second @ 1024 x 768$" 15 >/dev/null \
  || fail "no frame-rate title"
wait_exit 20
[ "$STATUS" -eq 0 ] || fail "exit status $STATUS"
grep -q "^INFO: OpenGL Version: " "$SCRATCH/out" || fail "no OpenGL version line"
[ "$(grep -n -m1 '^INFO: OpenGL Version: ' "$SCRATCH/out" | cut -d: -f1)" -lt \
  "$(grep -n -m1 '^Sound loaded$' "$SCRATCH/out" | cut -d: -f1)" ] || fail "lines out of order"
grep -q "GameMode" "$SCRATCH/out" && fail "game mode is never possible under Xvfb"
grep -q "^ERROR" "$SCRATCH/err" && fail "error lines"
echo "ok"
