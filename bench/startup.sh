#!/bin/sh
# Start-up from exec to the first frame: the wall time of `demo --capture` of one
# tiny frame (so the frame itself costs next to nothing), run twice so the second
# run finds Mesa's shader cache warm; then the split that `demo --bench` reports.
# Usage: bench/startup.sh [build directory]   (default: build)
build=$(cd "${1:-build}" && pwd) || exit 1
out=$(mktemp -d) || exit 1
trap 'rm -rf "$out"' EXIT
cd "$build/data" || { echo "ERROR: Could not enter $build/data" >&2; exit 1; }
for run in 1 2; do
    start=$(date +%s.%N)
    if ! ../demo --capture "$out/" --fps 30 --to 0.03 --size 64x48 --render-width 16 >"$out/log" 2>&1; then
        echo "ERROR: demo --capture failed:" >&2
        cat "$out/log" >&2
        exit 1
    fi
    end=$(date +%s.%N)
    echo "run $run: exec to exit after one frame: $(echo "$end - $start" | bc) s"
done
echo "goal: under 3 s on llvmpipe (second run)"
../demo --bench --size 64x48 --render-width 16 2>/dev/null | grep '^Start-up'
