#!/usr/bin/env bash
# One fuzz target in CTest:
#   run_fuzz.sh FUZZER CORPUS TARGET [libFuzzer options...]
#     every regression case a hundred times (whole, never cut to max_len: some faults
#     build up over many inputs), then a run over a fresh work directory, the seeds
#     and the regression cases with the options given;
#   run_fuzz.sh --valgrind VALGRIND REPLAY CORPUS TARGET
#     the regression cases and seeds under valgrind, through the uninstrumented replay;
#     any error report fails, also one from a child process.
set -euo pipefail
shopt -s nullglob
if [ "$1" = --valgrind ]; then
    valgrind=$2 replay=$3 corpus=$4 target=$5
    inputs=("$corpus"/regressions/"$target"/* "$corpus"/seeds/"$target"/*)
    logs="$corpus/valgrind/$target"
    rm -rf "$logs" && mkdir -p "$logs"
    "$valgrind" -q --error-exitcode=99 --leak-check=no --log-file="$logs/%p.log" "$replay" "${inputs[@]}"
    for log in "$logs"/*.log; do
        if [ -s "$log" ]; then
            cat "$log"
            exit 1
        fi
    done
    exit 0
fi
fuzzer=$1 corpus=$2 target=$3
shift 3
# Options other than the run's own (leak detection, say) hold for the cases too.
case_options=()
for option in "$@"; do
    case "$option" in -seed=* | -runs=* | -max_len=*) ;; *) case_options+=("$option") ;; esac
done
artifacts="$corpus/artifacts/$target"
mkdir -p "$artifacts"
regressions=("$corpus"/regressions/"$target"/*)
if [ ${#regressions[@]} -gt 0 ]; then
    "$fuzzer" -runs=100 -close_fd_mask=3 -artifact_prefix="$artifacts/" ${case_options[@]+"${case_options[@]}"} \
        "${regressions[@]}"
    echo "${#regressions[@]} regression cases pass"
fi
work="$corpus/work/$target"
rm -rf "$work" && mkdir -p "$work"
exec "$fuzzer" -close_fd_mask=3 -print_final_stats=1 -artifact_prefix="$artifacts/" "$@" "$work" "$corpus/seeds/$target" \
    "$corpus/regressions/$target"
