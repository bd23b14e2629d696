#!/usr/bin/env bash
# Keeps a crashing input as a regression case: appends its bytes to a header under
# fuzz/regressions/, which the corpus writer turns back into a file at test time.
#   fuzz/add_regression.sh TARGET NAME CRASH-FILE HEADER
# e.g. fuzz/add_regression.sh 3ds self-parent crash-1234 Studio3ds.h
set -euo pipefail
[ $# -eq 4 ] || { echo "usage: $0 TARGET NAME CRASH-FILE HEADER" >&2; exit 2; }
header="$(dirname "$0")/regressions/$4"
{
    printf 'FUZZ_REGRESSION("%s", "%s",\n' "$1" "$2"
    xxd -i < "$3"
    printf ')\n'
} >> "$header"
clang-format -i "$header" # the tree's format check covers it
echo "added $2 ($(stat -c %s "$3") bytes) to $header"
