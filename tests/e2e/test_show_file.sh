# Show files through the real binary. Each kind of bad file ends the program with
# one ERROR line naming file and line and status 2, before anything opens (no
# display is set: a window would fail otherwise). Then a show of two library
# scenes at its own tempo plays in a window under --watch: a broken save is
# reported while the show goes on, a good save moves the scene change to its beat.
source "$3/lib.sh"
make_music 30

# bad NAME TEXT LINE: the show TEXT must fail with one line at LINE.
bad() {
  printf '%b' "$2" >"$SCRATCH/$1.toml"
  (cd "$SCRATCH" && env -u DISPLAY "$DEMO" --show "$1.toml" >"$SCRATCH/out" 2>"$SCRATCH/err")
  local status=$?
  [ "$status" -eq 2 ] || fail "$1: status $status, not 2"
  [ "$(wc -l <"$SCRATCH/err")" -eq 1 ] || fail "$1: not one line on standard error"
  grep -q "^ERROR: $1.toml:$3: " "$SCRATCH/err" || fail "$1: no ERROR line at $1.toml:$3"
  [ ! -s "$SCRATCH/out" ] || fail "$1: start-up ran"
}
head='music = "horn.mp3"\nbpm = 120\n'
scenes='[[scene]]\nslot = 1\nclass = "Scene1"\n'
bad syntax "${head}timeline = [{ beat = 0 slot = 1 }]\n" 3
bad unknown_class "${head}timeline = [{ beat = 0, slot = 1 }]\n[[scene]]\nslot = 1\nclass = \"Scene9\"\n" 6
bad bad_argument "${head}timeline = [{ beat = 0, slot = 1 }]\n[[scene]]\nslot = 1\nclass = \"SceneGLSLTunnel\"\narg = \"round\"\n" 7
bad missing_file "${head}timeline = [{ beat = 0, slot = 1 }]\n[[scene]]\nslot = 1\nclass = \"SceneRaytracerPolygons\"\narg = \"models/none.3ds\"\n" 7
bad missing_music 'music = "none.mp3"\nbpm = 120\n' 1
bad out_of_order "${head}timeline = [{ beat = 4, slot = 1 },\n  { beat = 2, slot = 1 }]\n${scenes}" 4
bad no_scene "${head}timeline = [{ beat = 0, slot = 1 },\n  { beat = 8, slot = 2 }]\n${scenes}" 4
(cd "$SCRATCH" && env -u DISPLAY "$DEMO" --show none.toml >"$SCRATCH/out" 2>"$SCRATCH/err")
[ $? -eq 2 ] || fail "a missing show file should exit 2"
grep -qx "ERROR: none.toml: cannot read the show file: No such file or directory" "$SCRATCH/err" ||
  fail "the missing show file is not named"

# show BEAT: two tunnels at 60 beats per minute, the second from BEAT.
show() {
  printf 'music = "horn.mp3"\nbpm = 60\nbeat_offset = 0\ntimeline = [{ beat = 0, slot = 1 },\n  { beat = %s, slot = 2 }]\n[[scene]]\nslot = 1\nclass = "SceneGLSLTunnel"\narg = 0\n[[scene]]\nslot = 2\nclass = "SceneGLSLTunnel"\narg = 1\n' \
    "$1" >"$SCRATCH/edit.tmp" && mv "$SCRATCH/edit.tmp" "$SCRATCH/show.toml" || fail "saving the show"
}
start_xvfb
use_show_data
show 600
start_demo --windowed --watch --show show.toml
wait_window "^Demo" 15 >/dev/null || fail "no window"
wait_for "$SCRATCH/out" "^Watching [1-9][0-9]* data files for changes$" 15
sleep 1
printf 'bpm = = 60\n' >"$SCRATCH/show.toml"
wait_for "$SCRATCH/err" "^ERROR: show.toml:1: " 10
wait_for "$SCRATCH/out" "^The show file was not applied; the last good line-up keeps playing$" 10
kill -0 "$DEMO_PID" || fail "a broken show file ended the show"
# Scene 2 from 12 s in, at 60 beats per minute: a change on the beat named, not on
# beat 12 of the built-in tempo (5.5 s).
show 12
wait_for "$SCRATCH/out" "^Show reloaded at t=[0-9.]*: 2 timeline entries, rebuilt 0 of 2 scenes, 60 beats per minute" 10
wait_for "$SCRATCH/out" "^Change scene to 2 on beat 12\.[0-9]*$" 20
scene_change=$(grep -m1 "^Scenestart 2: " "$SCRATCH/out")
[ "$scene_change" = "Scenestart 2: 12.000000" ] || fail "scene 2 starts at '$scene_change', not 12 s"
[ "$(grep -c '^ERROR' "$SCRATCH/err")" -eq 1 ] || fail "errors beyond the broken save"
[ "$(lit_pixels)" -gt 100000 ] || fail "the screen is dark"
xdotool search --name "^Demo" key Escape 2>/dev/null
wait_exit 20
[ "$STATUS" -eq 0 ] || fail "exit status $STATUS"
echo "ok"
