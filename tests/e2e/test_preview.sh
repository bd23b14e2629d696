# One scene alone: bad names are refused with the list of classes, --help lists
# them, the capture mode renders every class alone, and one plays in the window
# with the music, built alone, and so does the model scene.
source "$3/lib.sh"
(unset DISPLAY; "$DEMO" --scene SceneTunnel >"$SCRATCH/out" 2>"$SCRATCH/err")
[ $? -eq 2 ] || fail "an unknown scene class should exit 2"
grep -q '^ERROR: --scene needs 1 to 6 or a scene class (Scene1, SceneGLSLTunnel\[:TYPE\], .*); got "SceneTunnel"' \
  "$SCRATCH/err" || fail "unknown class not explained"
# The classes as that line names them, one a line ("SceneGLSLTunnel[:TYPE]"): the
# program's own table, so a class added there is covered below without naming it here.
classes=$(sed -n 's/^ERROR: --scene needs 1 to 6 or a scene class (\(.*\)); got .*/\1/p' "$SCRATCH/err" |
  sed 's/, /\n/g')
[ "$(printf '%s\n' "$classes" | grep -c .)" -ge 2 ] || fail "no list of classes: $classes"
(unset DISPLAY; "$DEMO" --help >"$SCRATCH/out" 2>"$SCRATCH/err") || fail "--help status"
while IFS= read -r name; do
  sed 's/^ *//' "$SCRATCH/out" | grep -Fxq "$name" || fail "--help does not list $name"
done <<<"$classes"

make_music 20
use_show_data
# The capture mode renders the chosen scene alone, without a display.
(unset DISPLAY; cd "$SCRATCH" && "$DEMO" --capture shots/ --scene SceneRaytracer --size 64x48 --fps 10 --to 0.3 \
  >"$SCRATCH/out" 2>"$SCRATCH/err") || fail "capture of one scene"
[ "$(ls "$SCRATCH/shots" | tr '\n' ' ')" = "000000.png 000001.png 000002.png " ] || fail "not three frames"
[ "$(grep -c 'init$' "$SCRATCH/out")" -eq 1 ] && grep -q '^Scene1 init$' "$SCRATCH/out" || fail "not built alone"
ffmpeg -loglevel error -i "$SCRATCH/shots/000002.png" -f rawvideo -pix_fmt gray -y "$SCRATCH/shot.raw" </dev/null
[ "$(tr -d '\000' <"$SCRATCH/shot.raw" | wc -c)" -gt 1500 ] || fail "the captured frame is dark"
# Every class alone, as the capture mode renders it: its frames, built alone, no
# error line. A class that takes a file gets the truss of the show.
while IFS= read -r name; do
  value=${name%%[[]*}
  case $name in *:FILE) value="${name%%:*}:models/ull1.3ds" ;; esac
  rm -rf "$SCRATCH/each"
  (unset DISPLAY; cd "$SCRATCH" && "$DEMO" --capture each/ --scene "$value" --size 64x48 --fps 10 --to 0.3 \
    >"$SCRATCH/out" 2>"$SCRATCH/err") || fail "capture of $value"
  [ "$(ls "$SCRATCH/each" | wc -l)" -eq 3 ] || fail "$value: not three frames"
  [ "$(grep -c 'init$' "$SCRATCH/out")" -eq 1 ] || fail "$value: not built alone: $(grep 'init$' "$SCRATCH/out")"
  errors=$(unexpected_errors)
  [ -z "$errors" ] || fail "$value: error lines: $errors"
done <<<"$classes"

start_xvfb
start_demo --windowed --scene SceneGLSLTunnel:1
WINDOW_ID=$(wait_window "^Demo" 15) || fail "no window"
wait_for "$SCRATCH/out" "^Sound loaded$" 15
sleep 2
lit=$(lit_pixels)
[ "$lit" -gt 100000 ] || fail "the tunnel left the screen dark ($lit lit pixels)"
xdotool key --window "$WINDOW_ID" Escape 2>/dev/null
wait_exit 20
[ "$STATUS" -eq 0 ] || fail "exit status $STATUS"
# Only the chosen scene was built: the effect's line, once, and no scene of the show.
[ "$(grep -c '^Scene1 init$' "$SCRATCH/out")" -eq 1 ] || fail "the tunnel was not built once"
grep -Eq '^Scene (poly|Notes) init$' "$SCRATCH/out" && fail "a scene of the show was built too"
errors=$(unexpected_errors)
[ -z "$errors" ] || fail "error lines: $errors"

# A cheap preview: --size and --render-width in the window, which stays a window of that size.
start_demo --scene SceneGLSLTunnel:1 --size 320x240 --render-width 64
WINDOW_ID=$(wait_window "^Demo" 15) || fail "no window for a preview of 320x240"
wait_for "$SCRATCH/out" "^Sound loaded$" 15
geometry=$(xdotool getwindowgeometry "$WINDOW_ID" | sed -n 's/^ *Geometry: //p')
[ "$geometry" = "320x240" ] || fail "a preview of 320x240 opened at $geometry"
xdotool key --window "$WINDOW_ID" Escape 2>/dev/null
wait_exit 20
[ "$STATUS" -eq 0 ] || fail "small preview exit status $STATUS"

# The model scene in the window: its init and texture lines, a lit screen, Esc ends it.
start_demo --windowed --scene SceneBrask1
WINDOW_ID=$(wait_window "^Demo" 15) || fail "no window for the model scene"
wait_for "$SCRATCH/out" "^Sound loaded$" 15
sleep 2
lit=$(lit_pixels)
[ "$lit" -gt 100000 ] || fail "the model scene left the screen dark ($lit lit pixels)"
xdotool key --window "$WINDOW_ID" Escape 2>/dev/null
wait_exit 20
[ "$STATUS" -eq 0 ] || fail "model scene exit status $STATUS"
grep -q '^SceneBrask1 init$' "$SCRATCH/out" && grep -q '^textures.checker.bmp 0$' "$SCRATCH/out" || fail "the model scene did not load its model's textures"
errors=$(unexpected_errors)
[ -z "$errors" ] || fail "error lines: $errors"
echo "ok"
