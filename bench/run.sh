#!/bin/sh
# Times QelDir with empty hooks against find(1) on the same tree and checks
# that both count the same files.
#
#   bench/run.sh BUILD_DIR [FOLDER] [ROUNDS]
#
# FOLDER defaults to the generated tree of make_tree.sh. Each side runs
# ROUNDS times (default 10) after one warm-up run; the best time counts.
set -eu
build=${1:?usage: run.sh BUILD_DIR [FOLDER] [ROUNDS]}
here=$(cd "$(dirname "$0")" && pwd)
folder=${2:-/tmp/qel-bench-tree}
rounds=${3:-10}
bench="$build/bench/qel_dir_bench"

[ -x "$bench" ] || { echo "build qel_dir_bench first: cmake --build $build --target qel_dir_bench" >&2; exit 2; }
[ "$folder" = /tmp/qel-bench-tree ] && "$here/make_tree.sh" "$folder" >/dev/null

. "$here/timing.sh"

find_cmd="find -L '$folder' -type f 2>/dev/null | wc -l"
qel_cmd="'$bench' '$folder'"

find_count=$(sh -c "$find_cmd")
qel_count=$("$bench" "$folder" 2>/dev/null)

# A folder reached through a second link is walked once by QelDir but
# twice by find: the reference count takes each folder (device, inode) once.
dirs=$(mktemp); files=$(mktemp)
find -L "$folder" -type d -printf '%D:%i\t%p\n' 2>/dev/null >"$dirs"
find -L "$folder" -type f -printf '%h\t%f\n' 2>/dev/null >"$files"
unique_count=$(awk -F'\t' 'NR == FNR { id[$2] = $1; next } { print id[$1] "/" $2 }' "$dirs" "$files" | sort -u | wc -l)
rm -f "$dirs" "$files"

find_us=$(best_us "$find_cmd")
qel_us=$(best_us "$qel_cmd")
# The walk alone, timed inside the program: "walk: N files, best of R: X ms".
walk_ms=$("$bench" "$folder" '*' "$rounds" 2>&1 >/dev/null | sed -n 's/.*: \([0-9.]*\) ms$/\1/p')

echo "folder:        $folder"
echo "find -L count: $find_count (each folder once: $unique_count)"
echo "QelDir count:  $qel_count"
echo "find -L -type f | wc -l: $((find_us / 1000)).$(( (find_us % 1000) / 100 )) ms (best of $rounds)"
echo "qel_dir_bench process:   $((qel_us / 1000)).$(( (qel_us % 1000) / 100 )) ms (best of $rounds, toolkit start-up included)"
echo "QelDir::FindFiles alone: $walk_ms ms (best of $rounds)"
echo "ratio walk / find:       $(awk "BEGIN { printf \"%.2f\", $walk_ms * 1000 / $find_us }")"
echo "ratio process / find:    $(awk "BEGIN { printf \"%.2f\", $qel_us / $find_us }")"
if [ "$qel_count" != "$unique_count" ]; then
    echo "COUNT MISMATCH" >&2
    exit 1
fi
