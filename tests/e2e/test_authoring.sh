# Authoring in a running preview (--watch brings --edit): a pause holds the music
# time, the right arrow lands on the next bar starts, Tab takes the overlay off the
# picture and puts it back, a broken shader's error shows in the overlay until the
# file is mended while the scene keeps drawing, a click on the timeline strip
# seeks, and the loop repeats the entry instead of ending at the end of the track.
source "$3/lib.sh"
start_xvfb
make_music 40
use_show_data
rm "$SCRATCH/shaders" && cp -rL "$SHOW_DATA/shaders" "$SCRATCH/shaders" || fail "copying the shaders"
start_demo --windowed --watch --scene SceneGLSLTunnel:1
WINDOW_ID=$(wait_window "^Demo" 15) || fail "no window"
wait_for "$SCRATCH/out" "^Editing: " 15
sleep 1

# key NAME PATTERN: presses a key and waits for the first new line matching PATTERN; sets LINE.
key() {
  local before
  before=$(wc -l <"$SCRATCH/out")
  xdotool key --window "$WINDOW_ID" "$1" 2>/dev/null
  wait_new_line "$before" "$2"
}
wait_new_line() {
  for _ in $(seq 150); do
    LINE=$(tail -n +$(($1 + 1)) "$SCRATCH/out" | grep -E -m1 -- "$2")
    [ -n "$LINE" ] && return 0
    kill -0 "$DEMO_PID" 2>/dev/null || fail "demo ended while waiting for '$2'"
    sleep 0.1
  done
  fail "no line '$2' within 15 s"
}
t_of() { printf '%s\n' "$1" | sed -n 's/.* t=\([0-9.]*\)$/\1/p'; }
# grab NAME X Y W H: one region of the screen as raw RGB; differ A B: bytes that differ.
grab() {
  ffmpeg -loglevel error -f x11grab -video_size 1024x768 -i "$DISPLAY" -frames:v 1 -vf "crop=$4:$5:$2:$3" \
    -f rawvideo -pix_fmt rgb24 -y "$SCRATCH/$1.raw" </dev/null || fail "grabbing the screen"
}
differ() { cmp -l "$SCRATCH/$1.raw" "$SCRATCH/$2.raw" | wc -l; }
# Overlay panel (top left) and a part of the picture it never covers.
grab_both() { grab "$1.panel" 0 0 490 140; grab "$1.scene" 520 200 300 300; }
settle() { sleep 1.5; } # a few frames at llvmpipe's pace

# Paused for 3 s, the music time moves less than 0.1 s.
key p "^Paused t="
paused=$(t_of "$LINE")
sleep 3
key p "^Playing t="
resumed=$(t_of "$LINE")
awk -v a="$paused" -v b="$resumed" 'BEGIN { exit !(b >= a && b - a < 0.1) }' ||
  fail "paused at $paused s, resumed at $resumed s"

# Paused again, three bars on: bars N, N+1, N+2, each at its start ((4N - 0.11) * 60 / 130 s).
key p "^Paused t="
paused=$(t_of "$LINE")
bars=""
for _ in 1 2 3; do
  key Right "^Bar [0-9]+ t="
  bars="$bars $(printf '%s\n' "$LINE" | sed 's/^Bar \([0-9]*\) t=\([0-9.]*\)$/\1 \2/')"
done
awk -v p="$paused" -v list="$bars" 'BEGIN {
  n = split(list, f, " "); first = int((p * 130 / 60 + 0.11) / 4) + 1
  for (i = 1; i <= n; i += 2) {
    bar = f[i]; t = f[i + 1]; start = (4 * bar - 0.11) * 60 / 130
    if (bar != first + (i - 1) / 2 || t < start - 0.006 || t > start + 0.006) exit 1
  }
}' || fail "right arrow from $paused s gave bars and times:$bars"

# Tab: the overlay region changes, the rest of the (paused) picture does not.
settle
grab_both shown
key Tab "^Overlay hidden$"
settle
grab_both hidden
[ "$(differ shown.panel hidden.panel)" -gt 20000 ] || fail "Tab left the overlay region as it was"
[ "$(differ shown.scene hidden.scene)" -lt 100 ] || fail "Tab changed the picture outside the overlay"
key Tab "^Overlay shown$"

# A broken shader: its error joins the overlay, the scene keeps its picture; mended, the error goes.
settle
grab_both before
shader="$SCRATCH/shaders/SquareTunnelFrag.glsl"
cp "$shader" "$SCRATCH/good.glsl"
save() { cp "$1" "$SCRATCH/shaders/.edit.tmp" && mv "$SCRATCH/shaders/.edit.tmp" "$shader" || fail "saving"; }
printf 'uniform float time;\nvoid main() {\n  gl_FragColor = vec4(time) +;\n}\n' >"$SCRATCH/broken.glsl"
lines=$(wc -l <"$SCRATCH/out")
save "$SCRATCH/broken.glsl"
wait_new_line "$lines" "^Reload of scene 1 failed; kept the last program$"
settle
grab_both broken
lines=$(wc -l <"$SCRATCH/out")
save "$SCRATCH/good.glsl"
wait_new_line "$lines" "^Reloaded scene 1$"
settle
grab_both mended
with_error=$(differ before.panel broken.panel)
after_mend=$(differ before.panel mended.panel)
echo "overlay bytes changed: Tab $(differ shown.panel hidden.panel), error $with_error, mended $after_mend"
[ "$with_error" -gt 10000 ] || fail "the error did not show in the overlay ($with_error bytes changed)"
[ "$after_mend" -lt $((with_error / 5)) ] || fail "the error stayed in the overlay after the mend ($after_mend bytes)"
[ "$(differ before.scene broken.scene)" -lt 100 ] || fail "the broken shader changed the scene's picture"

# Playing on: the picture moves; a click at three quarters of the strip seeks to
# three quarters of the track.
key p "^Playing t="
grab moving1 520 200 300 300
settle
grab moving2 520 200 300 300
[ "$(differ moving1 moving2)" -gt 1000 ] || fail "the scene stopped after the edits"
geometry=$(xdotool getwindowgeometry --shell "$WINDOW_ID") || fail "no window geometry"
eval "$geometry"
# The strip: from 18 to WIDTH - 18, its middle 31 pixels above the bottom.
x=$(awk -v w="$WIDTH" 'BEGIN { printf "%d", 18 + 0.75 * (w - 36) }')
lines=$(wc -l <"$SCRATCH/out")
xdotool mousemove --window "$WINDOW_ID" "$x" $((HEIGHT - 31)) click 1 2>/dev/null
wait_new_line "$lines" "^Seek t="
seek=$(t_of "$LINE")
awk -v t="$seek" 'BEGIN { exit !(t > 29.5 && t < 30.5) }' || fail "a click at 3/4 of the strip sought to $seek s"

# The loop: the one entry runs to the end of the track and starts again.
key l "^Looping entry 1 \(0\.00 s to 40\.[0-9]+ s\) t="
lines=$(wc -l <"$SCRATCH/out")
wait_new_line "$lines" "^Loop back t=0\.00$"
sleep 1
kill -0 "$DEMO_PID" 2>/dev/null || fail "the demo ended at the end of a looped track"

xdotool key --window "$WINDOW_ID" Escape 2>/dev/null
wait_exit 20
[ "$STATUS" -eq 0 ] || fail "exit status $STATUS"
[ "$(grep -c '^ERROR' "$SCRATCH/err")" -eq 1 ] || fail "errors beyond the broken edit"
echo "ok"
