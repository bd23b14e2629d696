# The benchmark in the build's data directory at a tiny size: its JSON report alone
# on standard output, one entry per scene of the line-up, and, once the show's
# models are built, the passes, uploads and content of the ray-traced scenes; the
# credits' ray pass; one scene alone labelled with its number in the show.
source "$3/lib.sh"
unset DISPLAY
DATA="$(dirname "$DEMO")/data"
(cd "$DATA" && "$DEMO" --bench --json --fps 30 --size 64x48 --render-width 16 >"$SCRATCH/out" 2>"$SCRATCH/err") ||
  fail "--bench failed"
head -c1 "$SCRATCH/out" | grep -q "{" || fail "the report is not alone on standard output"
tail -n1 "$SCRATCH/out" | grep -qx "}" || fail "the report does not end its JSON"
grep -q "^INFO: OpenGL Version" "$SCRATCH/err" || fail "the show's lines did not go to standard error"
grep -q '"startupSeconds": {"music": [0-9.]*, "shaders": [0-9.]*, "models": [0-9.]*, "textures": [0-9.]*' \
  "$SCRATCH/out" || fail "no start-up split"
for n in 1 2 3 4 5 6; do
  grep -q "{\"scene\": $n, \"class\": \"[A-Za-z]*\", \"frames\": 30, \"medianMs\": [0-9.]*[1-9]" "$SCRATCH/out" ||
    fail "scene $n missing or without frame times"
done
if [ -f "$DATA/models/intro.3ds" ]; then
  grep '"class": "SceneRaytracerPolygons"' "$SCRATCH/out" >"$SCRATCH/poly"
  [ "$(wc -l <"$SCRATCH/poly")" -eq 5 ] || fail "not five ray-traced scenes"
  grep -v '"ray": [0-9.]*[1-9].*"uploadBytes": [1-9]' "$SCRATCH/poly" && fail "a ray-traced scene without passes or uploads"
  grep -v '"model": "models\\\\[a-z0-9]*\.3ds", "triangles": [1-9][0-9]*, "volumes": [0-9]*, "reflections": [1-9], "renderSize": \[16, 16\]' \
    "$SCRATCH/poly" && fail "a ray-traced scene without its model, counts or render size"
fi
grep '"class": "SceneRaytracedNotes"' "$SCRATCH/out" | grep -q '"ray": [0-9.]*[1-9]' || fail "the credits' ray pass is not timed"
# One scene alone, its frames across the whole track: the row keeps the show's number.
(cd "$DATA" && "$DEMO" --scene 5 --bench --spread --json --fps 30 --size 64x48 >"$SCRATCH/one" 2>>"$SCRATCH/err") ||
  fail "--scene 5 --bench --spread failed"
grep -q '{"scene": 5, "class": "SceneRaytracedNotes", "frames": 30,' "$SCRATCH/one" || fail "--scene 5 is not labelled scene 5"
echo "ok"
