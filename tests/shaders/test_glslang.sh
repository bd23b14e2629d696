# Every shader of the checkout passes the Khronos reference compiler for its stage,
# and the check does fail on a shader that compiler rejects: a copy of the folder
# with one fragment shader broken, and one with a vertex shader whose output the
# fragment shader reads as another type (each compiles alone; the pair does not link).
#   test_glslang.sh <checkout>
ROOT=$1
CHECK=$ROOT/tools/release/validate-shaders.sh
fail() { echo "FAIL: $*" >&2; exit 1; }

"$CHECK" "$ROOT/data/shaders" "$ROOT/scenes" || fail "the checkout's shaders are rejected (above)"

SCRATCH=$(mktemp -d) || fail "no scratch directory"
trap 'rm -rf "$SCRATCH"' EXIT

broken_copy() {  # name: a fresh copy of the shaders in $SCRATCH/name
  rm -rf "${SCRATCH:?}/$1"
  cp -r "$ROOT/data/shaders" "$SCRATCH/$1" || fail "copying the shaders"
}

# A plain type error in a fragment shader.
broken_copy frag
printf '\nvec3 brokenConstant = vec2(1.0);\n' >>"$SCRATCH/frag/PassFrag.glsl"
"$CHECK" "$SCRATCH/frag" "$ROOT/scenes" 2>"$SCRATCH/err" && fail "a broken PassFrag.glsl was accepted"
grep -q "^ERROR: glslangValidator rejects $SCRATCH/frag/PassFrag.glsl" "$SCRATCH/err" ||
  fail "the error does not name PassFrag.glsl: $(cat "$SCRATCH/err")"

# An interface mismatch that only linking the pair finds.
broken_copy link
sed -i 's/^out vec2 texCoord;/out vec3 texCoord;/; s/texCoord = \(.*\);$/texCoord = vec3(\1, 0.0);/' "$SCRATCH/link/PassVert.glsl"
grep -q "out vec3 texCoord" "$SCRATCH/link/PassVert.glsl" || fail "PassVert.glsl no longer declares out vec2 texCoord"
"$CHECK" "$SCRATCH/link" "$ROOT/scenes" 2>"$SCRATCH/err" && fail "a mismatched PassVert.glsl + PassFrag.glsl was accepted"
grep -q "rejects the pair PassVert.glsl + PassFrag.glsl" "$SCRATCH/err" || fail "the error does not name the pair: $(cat "$SCRATCH/err")"
grep -q "rejects .*PassVert.glsl (vert)" "$SCRATCH/err" && fail "PassVert.glsl alone should compile: $(cat "$SCRATCH/err")"

# A benchmark variant that breaks only under its #define.
broken_copy define
sed -i '0,/^#ifdef COUNT_TESTS/s//#ifdef COUNT_TESTS\nundeclaredName = 1;/' "$SCRATCH/define/RaytracerPolygonsFrag.glsl"
"$CHECK" "$SCRATCH/define" "$ROOT/scenes" 2>"$SCRATCH/err" && fail "a ray tracer broken under COUNT_TESTS was accepted"
grep -q "with COUNT_TESTS" "$SCRATCH/err" || fail "the error does not name COUNT_TESTS: $(cat "$SCRATCH/err")"
echo "PASS"
