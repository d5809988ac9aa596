#!/bin/sh
# The process runner against a pipe: the same lines through QelProcess (every
# line reported with its link) and through `cat` to /dev/null.
#
#   bench/process/run.sh BUILD_DIR [LINES]
set -eu
build=${1:?usage: run.sh BUILD_DIR [LINES]}
lines=${2:-1000000}
bench="$build/bench/process/qel_process_bench"
[ -x "$bench" ] || { echo "build qel_process_bench first: cmake --build $build --target qel_process_bench" >&2; exit 2; }

program="BEGIN { for (i = 0; i < $lines; i++) if (i % 2) print \"f.c:\" i \": warning\"; else print \"line \" i }"
t0=$(date +%s%N)
awk "$program" | cat >/dev/null
t1=$(date +%s%N)
ms=$(( (t1 - t0) / 1000000 ))
[ "$ms" -gt 0 ] || ms=1
echo "awk | cat:      $lines lines, time: $ms ms, lines/s: $(( lines * 1000 / ms ))"
printf "QelProcess:     "
"$bench" "$lines"
