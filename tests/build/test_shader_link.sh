# The data directory's shaders are the checkout's files, not copies: a shader saved
# through build/data/shaders is the committed one. An older build's copy is replaced
# by the link when it matches the checkout, and moved aside (never lost) when edited.
#   test_shader_link.sh <checkout> <data dir> <LinkShaders.cmake>
SOURCE=$1/data/shaders DATA=$2 SCRIPT=$3
fail() { echo "FAIL: $*" >&2; exit 1; }
same_file() { [ "$(stat -L -c %d:%i "$1")" = "$(stat -L -c %d:%i "$2")" ]; }

for shader in "$SOURCE"/*.glsl; do
  same_file "$shader" "$DATA/shaders/${shader##*/}" || fail "$DATA/shaders/${shader##*/} is not $shader"
done

SCRATCH=$(mktemp -d) || fail "no scratch directory"
trap 'rm -rf "$SCRATCH"' EXIT
mkdir -p "$SCRATCH/src/shaders" "$SCRATCH/clean" "$SCRATCH/edited" || fail "making the scratch tree"
echo 'void main() {}' >"$SCRATCH/src/shaders/A.glsl"
echo 'void main() { discard; }' >"$SCRATCH/src/shaders/B.glsl"
link() { cmake -DSOURCE="$SCRATCH/src/shaders" -DLINK="$SCRATCH/$1/shaders" -P "$SCRIPT" 2>"$SCRATCH/$1.err"; }

# A copy as an older build left it.
cp -r "$SCRATCH/src/shaders" "$SCRATCH/clean/shaders"
link clean || fail "linking over a clean copy: $(cat "$SCRATCH/clean.err")"
[ -L "$SCRATCH/clean/shaders" ] || fail "the clean copy was not replaced by a link"
echo 'void main() { gl_FragColor = vec4(1.0); }' >"$SCRATCH/clean/shaders/A.glsl"
grep -q vec4 "$SCRATCH/src/shaders/A.glsl" || fail "a write through the link did not reach the checkout"
link clean && [ -L "$SCRATCH/clean/shaders" ] || fail "a second run did not keep the link"
[ ! -s "$SCRATCH/clean.err" ] || fail "a second run complained: $(cat "$SCRATCH/clean.err")"

# A copy someone edited and never carried back.
cp -r "$SCRATCH/src/shaders" "$SCRATCH/edited/shaders"
echo '// tuned' >>"$SCRATCH/edited/shaders/B.glsl"
link edited || fail "linking over an edited copy: $(cat "$SCRATCH/edited.err")"
[ -L "$SCRATCH/edited/shaders" ] || fail "the edited copy was not replaced by a link"
grep -q tuned "$SCRATCH/edited/shaders.edited/B.glsl" || fail "the edit was lost"
grep -q "shaders.edited" "$SCRATCH/edited.err" || fail "no warning naming where the edits went"
echo "PASS"
