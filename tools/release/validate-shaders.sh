#!/usr/bin/env bash
# Compiles every GLSL file of a shader folder with the Khronos reference compiler
# (glslangValidator) for the stage the program gives it, and links each pair the
# scenes load together. GPU drivers reject what Mesa's compiler lets pass; the
# reference compiler is the nearest stand-in for them on a machine without a GPU.
#   validate-shaders.sh <shader folder> <folder of the scene sources>
# The pairs come from the scene sources' load calls ("shaders\\XVert.glsl",
# "shaders\\XFrag.glsl"), so the stage of a file is the one GL compiles it for.
# The sources reach GL unchanged (no #version or defines added), except that the
# benchmarks add one #define after the ray tracer's #version line: those variants
# are compiled as well. Exits 1 with one "ERROR: " line per rejected file.
set -uo pipefail
SHADERS=${1:?usage: validate-shaders.sh <shader folder> <scene sources>}
SOURCES=${2:?usage: validate-shaders.sh <shader folder> <scene sources>}
command -v glslangValidator >/dev/null || { echo "ERROR: glslangValidator not found (Debian package glslang-tools)" >&2; exit 1; }
[ -d "$SHADERS" ] || { echo "ERROR: no shader folder $SHADERS" >&2; exit 1; }

SCRATCH=$(mktemp -d) || exit 1
trap 'rm -rf "$SCRATCH"' EXIT
failures=0
reject() {  # what, log file
  echo "ERROR: glslangValidator rejects $1:" >&2
  grep -E "ERROR|error" "$2" | grep -v "compilation terminated\|No code generated" | sed 's/^/    /' >&2
  failures=$((failures + 1))
}

# "vertex fragment" per line, from every two-file load in the scene sources.
grep -rhoE 'shaders\\\\[A-Za-z0-9_]+\.glsl", *"shaders\\\\[A-Za-z0-9_]+\.glsl' "$SOURCES" |
  sed -E 's/shaders\\\\([A-Za-z0-9_]+\.glsl)", *"shaders\\\\([A-Za-z0-9_]+\.glsl)/\1 \2/' | sort -u >"$SCRATCH/pairs"
[ -s "$SCRATCH/pairs" ] || { echo "ERROR: no shader pairs found in $SOURCES" >&2; exit 1; }

# The stage each file is compiled for, by its pairs, else by its name.
stage_of() {
  local name=$1
  if awk -v n="$name" '$1 == n { found = 1 } END { exit !found }' "$SCRATCH/pairs"; then
    echo vert
  elif awk -v n="$name" '$2 == n { found = 1 } END { exit !found }' "$SCRATCH/pairs"; then
    echo frag
  else
    case $name in
      *Frag.glsl | frag*) echo frag ;;
      *Vert.glsl | vert*) echo vert ;;
    esac
  fi
}

# glslangValidator reads the stage from the file name's extension when linking.
checked=0
for file in "$SHADERS"/*.glsl; do
  [ -e "$file" ] || continue
  name=${file##*/}
  stage=$(stage_of "$name")
  if [ -z "$stage" ]; then
    echo "ERROR: $file: no scene loads it and its name says no stage (…Vert.glsl or …Frag.glsl)" >&2
    failures=$((failures + 1))
    continue
  fi
  cp "$file" "$SCRATCH/${name%.glsl}.$stage"
  glslangValidator "$SCRATCH/${name%.glsl}.$stage" >"$SCRATCH/log" 2>&1 || reject "$file ($stage)" "$SCRATCH/log"
  checked=$((checked + 1))
done

while read -r vertex fragment; do
  for name in "$vertex" "$fragment"; do
    [ -e "$SHADERS/$name" ] || { echo "ERROR: a scene loads $name, which is not in $SHADERS" >&2; failures=$((failures + 1)); continue 2; }
  done
  glslangValidator -l "$SCRATCH/${vertex%.glsl}.vert" "$SCRATCH/${fragment%.glsl}.frag" >"$SCRATCH/log" 2>&1 ||
    reject "the pair $vertex + $fragment" "$SCRATCH/log"
done <"$SCRATCH/pairs"

# The benchmarks' variants of the ray tracer: one #define after the #version line.
RAY=RaytracerPolygonsFrag.glsl
if [ -e "$SHADERS/$RAY" ]; then
  for define in BRUTE_FORCE CHECK_WALKS COUNT_TESTS; do
    sed "1a #define $define" "$SHADERS/$RAY" >"$SCRATCH/$define.frag"
    glslangValidator "$SCRATCH/$define.frag" >"$SCRATCH/log" 2>&1 || reject "$SHADERS/$RAY with $define" "$SCRATCH/log"
  done
fi

if [ "$failures" -gt 0 ]; then
  echo "ERROR: $failures shader check(s) failed" >&2
  exit 1
fi
echo "glslangValidator: $checked shader files and $(wc -l <"$SCRATCH/pairs") pairs accepted"
