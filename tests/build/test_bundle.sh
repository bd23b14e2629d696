# The release bundle runs from its own folder: made from this build, unpacked into
# an empty folder, the program finds lib3ds, GLEW, freeglut, libmpg123 and OpenAL
# inside it, and the start script, run from another working directory, captures a
# frame that is not black into that directory.
#   test_bundle.sh <checkout> <build dir>
SOURCE=$1 BUILD=$2
fail() { echo "FAIL: $*" >&2; exit 1; }

SCRATCH=$(mktemp -d) || fail "no scratch directory"
trap 'rm -rf "$SCRATCH"' EXIT
ARCHIVE=$SCRATCH/hornlight-linux-x86_64.tar.gz
bash "$SOURCE/tools/release/make-bundle.sh" "$BUILD" "$ARCHIVE" >"$SCRATCH/make.log" 2>&1 ||
  fail "make-bundle.sh failed: $(cat "$SCRATCH/make.log")"

mkdir "$SCRATCH/unpacked" "$SCRATCH/elsewhere"
tar -C "$SCRATCH/unpacked" -xzf "$ARCHIVE" || fail "the archive does not unpack"
ROOT=$SCRATCH/unpacked/hornlight-linux-x86_64
for file in hornlight RELEASE.txt bin/demo data/horn.mp3 data/shaders/RaytracerPolygonsFrag.glsl data/models/intro.3ds; do
  [ -e "$ROOT/$file" ] || fail "the bundle lacks $file"
done
[ ! -L "$ROOT/data/shaders" ] || fail "data/shaders is a link, not the files"
grep -q "glibc [0-9]" "$ROOT/RELEASE.txt" || fail "RELEASE.txt does not name the glibc it needs"
grep -q "@" "$ROOT/RELEASE.txt" && fail "RELEASE.txt keeps a placeholder: $(grep @ "$ROOT/RELEASE.txt")"

ldd "$ROOT/bin/demo" >"$SCRATCH/ldd" || fail "ldd failed"
for lib in lib3ds libGLEW libglut libmpg123 libopenal; do
  line=$(grep "^[[:space:]]*$lib[-.]" "$SCRATCH/ldd") || fail "the program does not load $lib: $(cat "$SCRATCH/ldd")"
  case $line in
    *"=> $ROOT/bin/../lib/"*) ;;
    *) fail "$lib resolves outside the bundle: $line" ;;
  esac
done
grep -q "not found" "$SCRATCH/ldd" && fail "unresolved libraries: $(grep 'not found' "$SCRATCH/ldd")"
# A bundled library's own needs resolve inside too (its run path is $ORIGIN).
for lib in "$ROOT"/lib/*; do
  ldd "$lib" | grep -q "not found" && fail "$lib needs what is missing: $(ldd "$lib" | grep 'not found')"
done

# One frame in the second scene, through the start script, from another directory,
# with a relative output path; the system's own lib3ds and the rest are hidden by
# nothing here, so the run path is what ldd showed above.
(cd "$SCRATCH/elsewhere" && ALSOFT_DRIVERS=null "$ROOT/hornlight" --capture shots/ --fps 10 --size 64x48 \
  --render-width 96 --from 30 --to 30.1 >"$SCRATCH/out" 2>"$SCRATCH/err") ||
  fail "the capture failed: $(cat "$SCRATCH/err")"
frame=$(ls "$SCRATCH/elsewhere/shots/"*.png 2>/dev/null | head -n1)
[ -n "$frame" ] || fail "no frame in the caller's shots/: $(ls -R "$SCRATCH") $(cat "$SCRATCH/out" "$SCRATCH/err")"
ffmpeg -v error -i "$frame" -f rawvideo -pix_fmt gray - >"$SCRATCH/gray" || fail "ffmpeg cannot read $frame"
lit=$(tr -d '\000-\017' <"$SCRATCH/gray" | wc -c)
[ "$lit" -gt $((64 * 48 / 10)) ] || fail "the frame is black: $lit of $((64 * 48)) pixels above 15"
echo "PASS: bundle of $(du -h "$ARCHIVE" | cut -f1), frame with $lit of $((64 * 48)) pixels lit"
