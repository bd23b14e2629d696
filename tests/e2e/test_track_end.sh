# With the show's data and a short track (long enough for a few of its slow
# llvmpipe frames) the show starts, loads its six scenes in
# order, titles its window with the frame rate, and exits 0 by itself once the
# track has played.
source "$3/lib.sh"
start_xvfb
make_music 15
use_show_data
start_demo
wait_window "^Demo: [0-9]* Frames Per Second @ 1024 x 768$" 120 >/dev/null \
  || fail "no frame-rate title"
wait_exit 120
[ "$STATUS" -eq 0 ] || fail "exit status $STATUS"
grep -q "GameMode" "$SCRATCH/out" && fail "game mode is never possible under Xvfb"
# Start-up in order: GL, music, then each scene's loading ending in its line.
expected=$(printf '%s\n' "^INFO: OpenGL Version: " "^Sound loaded$" \
  '^models\\intro.3ds$' "^Scene poly init$" '^models\\spheres.3ds$' "^Scene poly init$" \
  '^models\\ull1.3ds$' "^Scene poly init$" '^models\\test9.3ds$' "^Scene poly init$" \
  "^Scene Notes init$" '^models\\info.3ds$' "^Scene poly init$")
at=0
while IFS= read -r pattern; do
  line=$(tail -n +$((at + 1)) "$SCRATCH/out" | grep -n -m1 -e "$pattern" | cut -d: -f1)
  [ -n "$line" ] || fail "start-up line '$pattern' missing or out of order"
  at=$((at + line))
done <<<"$expected"
[ "$(grep -c '^Scene .* init$' "$SCRATCH/out")" -eq 6 ] || fail "not six scenes"
# Only the models' generator being absent may be reported.
errors=$(unexpected_errors)
[ -z "$errors" ] || fail "error lines: $errors"
echo "ok"
