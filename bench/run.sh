#!/bin/sh
# Times QelDir with empty hooks against find(1) on the same tree and checks
# that both count the same files.
#
#   bench/run.sh BUILD_DIR [FOLDER] [ROUNDS]
#
# FOLDER defaults to the generated tree of make_tree.sh. After a warm-up of
# each, ROUNDS rounds (default 10) run find and then the program, both as
# whole processes; their medians are printed with the median of the rounds'
# ratios and its range. The walk alone is timed inside the program (best of
# ROUNDS), beside the whole process.
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

sh -c "$find_cmd" >/dev/null 2>&1; sh -c "$qel_cmd" >/dev/null 2>&1
set -- $(alternate "$rounds" 'wall_us "$qel_cmd"' 'wall_us "$find_cmd"' | ratio_summary 1 2)
qel_us=$1 find_us=$2 process_ratio="$3 (rounds $4 to $5)"
# The walk alone, timed inside the program: "walk: N files, best of R: X ms".
walk_ms=$("$bench" "$folder" '*' "$rounds" 2>&1 >/dev/null | sed -n 's/.*: \([0-9.]*\) ms$/\1/p')

echo "folder:        $folder"
echo "find -L count: $find_count (each folder once: $unique_count)"
echo "QelDir count:  $qel_count"
echo "find -L -type f | wc -l: $(awk "BEGIN { printf \"%.1f\", $find_us / 1000 }") ms (median of $rounds)"
echo "qel_dir_bench process:   $(awk "BEGIN { printf \"%.1f\", $qel_us / 1000 }") ms (median of $rounds, toolkit start-up included)"
echo "QelDir::FindFiles alone: $walk_ms ms (best of $rounds, inside the program: not to be set against find)"
echo "ratio process / find:    $process_ratio"
if [ "$qel_count" != "$unique_count" ]; then
    echo "COUNT MISMATCH" >&2
    exit 1
fi
