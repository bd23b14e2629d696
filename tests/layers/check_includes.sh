#!/usr/bin/env bash
# Fails when a file includes a header of a layer above its own, when the two scene
# kinds include each other, when a tool or benchmark reaches into the shell, when
# the core includes GL, freeglut or OpenAL, or when anything but the 3D Studio
# adapter includes lib3ds.
# usage: check_includes.sh SOURCE_DIR MANIFEST   (MANIFEST lines: "RANK LIBRARY FOLDER")
set -euo pipefail
root=$1
manifest=$2
declare -A rank library
# Every source and header directly in a layer's folder belongs to that layer.
while read -r r lib folder; do
  for path in "$root/$folder"/*.cpp "$root/$folder"/*.h; do
    [ -e "$path" ] || continue
    path=${path#"$root/"}
    rank[$path]=$r
    library[$path]=$lib
  done
done <"$manifest"

failures=0
fail() {
  echo "$1"
  failures=$((failures + 1))
}

# check FILE RANK LIBRARY: every quoted include that names a layered file must sit
# at a lower rank, or at the same rank in the same library.
check() {
  local file=$1 own_rank=$2 own_lib=$3 header
  while read -r header; do
    [ -n "${rank[$header]+set}" ] || continue
    if [ "${rank[$header]}" -gt "$own_rank" ] ||
      { [ "${rank[$header]}" -eq "$own_rank" ] && [ "${library[$header]}" != "$own_lib" ]; }; then
      fail "$file ($own_lib) includes $header (${library[$header]})"
    fi
  done < <(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^"]*\)".*/\1/p' "$root/$file")
}

for path in "${!rank[@]}"; do
  check "$path" "${rank[$path]}" "${library[$path]}"
done

# Tools and benchmarks use the layers below the shell.
cd "$root"
while read -r file; do
  check "$file" 2 tool
done < <(git ls-files 'tools/*.cpp' 'tools/*.h' 'bench/*.cpp' 'bench/*.h' 2>/dev/null ||
  find tools bench -name '*.cpp' -o -name '*.h')

# The core is plain C++: no GL, no window toolkit, no audio output.
while read -r file; do
  fail "$file (demo_core) includes GL, freeglut or OpenAL"
done < <(grep -lE '#[[:space:]]*include[[:space:]]*<(GL|EGL|AL)/' "$root"/core/*.cpp "$root"/core/*.h 2>/dev/null |
  sed "s|^$root/||" || true)

# Only the adapter talks to lib3ds (generators that write 3D Studio files and the
# tests' fixture writers are outside the show).
while read -r file; do
  case $file in
  core/Studio3ds* | tools/* | tests/*) ;;
  *) fail "$file includes lib3ds" ;;
  esac
done < <(grep -rl --include='*.cpp' --include='*.h' '#include <lib3ds' core scene scenes shell bench 2>/dev/null || true)

if [ "$failures" -ne 0 ]; then
  echo "$failures include(s) cross the layers"
  exit 1
fi
echo "layers: ${#rank[@]} files checked"
