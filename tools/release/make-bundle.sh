#!/usr/bin/env bash
# Packs a built show into an archive that runs from its own folder on a machine
# with a GPU driver and little else:
#   make-bundle.sh <build dir> <archive.tar.gz>
# The archive holds one folder, hornlight-linux-x86_64/, with
#   hornlight            the start script (runs the show from any working directory)
#   RELEASE.txt          what it is, how to run it, the keys, the machine it needs
#   bin/demo             the program, its run path $ORIGIN/../lib
#   lib/                 the shared libraries a bare desktop lacks (run path $ORIGIN)
#   data/                shaders, textures, models and horn.mp3
# Bundled is everything the program loads beyond glibc, the C++ runtime, X11 and
# the GL/EGL drivers, which a desktop has and which must match its own system.
set -euo pipefail
BUILD=$(cd "${1:?usage: make-bundle.sh <build dir> <archive.tar.gz>}" && pwd)
ARCHIVE=${2:?usage: make-bundle.sh <build dir> <archive.tar.gz>}
HERE=$(cd "$(dirname "$0")" && pwd)
NAME=hornlight-linux-x86_64

fail() { echo "ERROR: $*" >&2; exit 1; }
[ -x "$BUILD/demo" ] || fail "no program at $BUILD/demo: build first (./build.sh build)"
for item in horn.mp3 shaders textures models; do
  [ -e "$BUILD/data/$item" ] || fail "the data directory $BUILD/data lacks $item: build first (./build.sh build)"
done
for tool in patchelf ldd objdump strip tar; do
  command -v "$tool" >/dev/null || fail "$tool not found (Debian packages patchelf, libc-bin, binutils, tar)"
done

# What a bare desktop is expected to have: the C library and its loader, the C++
# runtime, X11 and its protocol libraries, and the GL/EGL dispatch libraries whose
# drivers must be the machine's own.
system_library() {
  case $1 in
    linux-vdso.so* | ld-linux*.so* | libc.so* | libm.so* | libdl.so* | libpthread.so* | librt.so* | libresolv.so*) return 0 ;;
    libstdc++.so* | libgcc_s.so*) return 0 ;;
    libX*.so* | libxcb*.so* | libICE.so* | libSM.so* | libbsd.so* | libmd.so*) return 0 ;;
    libGL.so* | libGLX*.so* | libGLdispatch.so* | libEGL*.so* | libOpenGL.so* | libgbm.so* | libdrm.so*) return 0 ;;
  esac
  return 1
}

STAGE=$(mktemp -d "${TMPDIR:-/tmp}/bundle.XXXXXX")
trap 'rm -rf "$STAGE"' EXIT
ROOT=$STAGE/$NAME
mkdir -p "$ROOT/bin" "$ROOT/lib" "$ROOT/data"

echo "Bundling $BUILD/demo"
cp "$BUILD/demo" "$ROOT/bin/demo"
strip --strip-debug "$ROOT/bin/demo"
patchelf --set-rpath '$ORIGIN/../lib' "$ROOT/bin/demo"

# ldd lists the whole closure, so the libraries' own needs come along too.
bundled=()
while read -r soname path; do
  system_library "$soname" && continue
  [ -f "$path" ] || fail "ldd cannot find $soname for $BUILD/demo"
  cp -L "$path" "$ROOT/lib/$soname"
  chmod u+w "$ROOT/lib/$soname"
  strip --strip-debug "$ROOT/lib/$soname"
  patchelf --set-rpath '$ORIGIN' "$ROOT/lib/$soname"
  bundled+=("$soname")
done < <(ldd "$BUILD/demo" | awk '$2 == "=>" && $3 ~ /^\// { print $1, $3 }')
echo "Libraries: ${bundled[*]}"

# The checkout's shaders are linked into the build's data directory: copy the files.
cp -L "$BUILD/data/horn.mp3" "$ROOT/data/"
for dir in shaders textures models; do
  cp -rL "$BUILD/data/$dir" "$ROOT/data/$dir"
done

# The oldest system it runs on: the newest symbol versions of glibc and of the C++
# runtime that the program and its libraries ask for.
newest_version() {  # prefix (GLIBC_, GLIBCXX_)
  objdump -T "$ROOT/bin/demo" "$ROOT"/lib/* 2>/dev/null | grep -o "$1[0-9.]*" | sed "s/^$1//" | sort -V | tail -n1
}
GLIBC=$(newest_version GLIBC_)
GLIBCXX=$(newest_version GLIBCXX_)
[ -n "$GLIBC" ] || fail "could not read the glibc version the program needs"
version_le() { [ "$(printf '%s\n%s\n' "$1" "$2" | sort -V | head -n1)" = "$1" ]; }
# Systems that ship both, for the release note.
if version_le "$GLIBC" 2.34 && version_le "${GLIBCXX:-0}" 3.4.29; then
  SYSTEMS="Debian 12, Ubuntu 22.04 and Fedora 35, or later"
elif version_le "$GLIBC" 2.35 && version_le "${GLIBCXX:-0}" 3.4.30; then
  SYSTEMS="Debian 12, Ubuntu 22.04 and Fedora 36, or later"
elif version_le "$GLIBC" 2.36 && version_le "${GLIBCXX:-0}" 3.4.30; then
  SYSTEMS="Debian 12, Ubuntu 22.10 and Fedora 37, or later"
else
  SYSTEMS="systems of that glibc or later"
fi

install -m 755 "$HERE/hornlight.sh" "$ROOT/hornlight"
install -m 755 "$HERE/bench-gpu.sh" "$ROOT/bench-gpu.sh"
sed -e "s/@GLIBC@/$GLIBC/g" -e "s/@GLIBCXX@/$GLIBCXX/g" -e "s/@LIBRARIES@/${bundled[*]}/g" -e "s/@SYSTEMS@/$SYSTEMS/g" \
  "$HERE/RELEASE.txt.in" >"$ROOT/RELEASE.txt"

mkdir -p "$(dirname "$ARCHIVE")"
tar -C "$STAGE" -czf "$ARCHIVE.partial" "$NAME"
mv "$ARCHIVE.partial" "$ARCHIVE"
echo "Wrote $ARCHIVE ($(du -h "$ARCHIVE" | cut -f1)); it needs glibc $GLIBC or newer and a C++ runtime with GLIBCXX_$GLIBCXX"
