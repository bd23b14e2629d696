# The benchmark in the build's data directory at a tiny size: its JSON report alone
# on standard output, one entry per scene of the line-up, and, once the show's
# models are built, the passes and uploads of the ray-traced scenes.
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
fi
echo "ok"
