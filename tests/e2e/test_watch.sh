# Live editing in a running preview: a broken shader saved the way editors save
# (a new file renamed over the old) is reported with its file and line while the
# scene keeps drawing with the program that linked; the mended file reloads cleanly.
source "$3/lib.sh"
start_xvfb
make_music 60
use_show_data
rm "$SCRATCH/shaders" && cp -rL "$SHOW_DATA/shaders" "$SCRATCH/shaders" || fail "copying the shaders"
start_demo --windowed --watch --scene SceneGLSLTunnel:1
WINDOW_ID=$(wait_window "^Demo" 15) || fail "no window"
wait_for "$SCRATCH/out" "^Watching [1-9][0-9]* data files for changes$" 15
sleep 1
[ "$(lit_pixels)" -gt 100000 ] || fail "the tunnel left the screen dark before the edit"

shader="$SCRATCH/shaders/SquareTunnelFrag.glsl"
cp "$shader" "$SCRATCH/good.glsl"
save() { cp "$1" "$SCRATCH/shaders/.edit.tmp" && mv "$SCRATCH/shaders/.edit.tmp" "$shader" || fail "saving"; }
printf 'uniform float time;\nvoid main() {\n  gl_FragColor = vec4(time) +;\n}\n' >"$SCRATCH/broken.glsl"
save "$SCRATCH/broken.glsl"
wait_for "$SCRATCH/err" "^ERROR: Could not compile shader file shaders/SquareTunnelFrag.glsl:3:$" 10
wait_for "$SCRATCH/out" "^Reload of scene 1 failed; kept the last program$" 10
! grep -q "^Reloaded scene 1$" "$SCRATCH/out" || fail "the failed reload was reported as done"
grep -q "^Reloading scene 1: shaders/SquareTunnelFrag.glsl changed$" "$SCRATCH/out" || fail "no reload line"
grep -q "^Still drawing with the last program of shaders/SquareTunnelVert.glsl and shaders/SquareTunnelFrag.glsl that linked$" \
  "$SCRATCH/out" || fail "no line about the program kept"
sleep 1
lit=$(lit_pixels)
[ "$lit" -gt 100000 ] || fail "the scene stopped drawing after the broken edit ($lit lit pixels)"

save "$SCRATCH/good.glsl"
for _ in $(seq 100); do
  [ "$(grep -c '^Reloaded scene 1$' "$SCRATCH/out")" -ge 1 ] && break
  sleep 0.1
done
[ "$(grep -c '^Reloaded scene 1$' "$SCRATCH/out")" -eq 1 ] || fail "the mended file was not reloaded once"
[ "$(grep -c '^Reload of scene 1 failed' "$SCRATCH/out")" -eq 1 ] || fail "the failure was reported more than once"
[ "$(grep -c '^ERROR' "$SCRATCH/err")" -eq 1 ] || fail "errors beyond the broken edit"
[ "$(grep -c '^Still drawing' "$SCRATCH/out")" -eq 1 ] || fail "the mended program did not take over"
[ "$(lit_pixels)" -gt 100000 ] || fail "the scene is dark after the mended file"
xdotool key --window "$WINDOW_ID" Escape 2>/dev/null
wait_exit 20
[ "$STATUS" -eq 0 ] || fail "exit status $STATUS"
echo "ok"
