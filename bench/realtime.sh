#!/usr/bin/env bash
# The ray pass of each show scene with the content and shader from before the
# real-time work (commit 944f6e6) against the current ones, in one run:
#   bench/realtime.sh [BUILD_DIR] [SIZE] [PASSES]
# Builds the earlier models generator in a scratch worktree, makes an earlier data
# directory from it (textures are the same), and runs RealTimeBench on both.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
size=${2:-800}
passes=${3:-3}
before=944f6e6
scratch=$(mktemp -d)
trap 'git -C "$root" worktree remove --force "$scratch/src" >/dev/null 2>&1 || true; rm -rf "$scratch"' EXIT

echo "Building the models generator of $before ..."
git -C "$root" worktree add --detach "$scratch/src" "$before" >/dev/null 2>&1
cmake -S "$scratch/src" -B "$scratch/build" >/dev/null
cmake --build "$scratch/build" --target models -j"$(nproc)" >/dev/null
data="$scratch/data"
mkdir -p "$data/models" "$data/shaders"
"$scratch/build/tools/models/models" "$data/models" >/dev/null
cp "$scratch/src/data/shaders/"*.glsl "$data/shaders/"
cp -r "$build/data/textures" "$data/textures"
"$build/bench/RealTimeBench" "$data" "$build/data" "$size" "$passes"
