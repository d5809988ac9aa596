#!/bin/sh
# Find in files against grep: qel_find_bench (a QelDir walk running the
# QelTextFile find tool on every file) and `LC_ALL=C grep -Rn` over the same
# tree, for a literal and for a regular expression, match case off. Fails
# unless both find the same (file, line) pairs; prints the median wall time
# of each as whole processes, run in turn in each round, the median of the
# rounds' ratios with its range, and the peak memory.
#
#   bench/find/run.sh BUILD_DIR [SOURCE] [ROUNDS]
#
# The tree is a copy of SOURCE (default /usr/include) in /tmp/qel-find-tree
# with its symbolic links replaced by what they point to, so that grep -R and
# the walk, which enters a folder only once, read the same files. ROUNDS
# (default 5) rounds follow a warm-up of each.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
build=${1:?usage: run.sh BUILD_DIR [SOURCE] [ROUNDS]}
source=${2:-/usr/include}
rounds=${3:-5}
bench=$(cd "$build" && pwd)/bench/find/qel_find_bench
tree=/tmp/qel-find-tree

[ -x "$bench" ] || { echo "build qel_find_bench first: cmake --build $build --target qel_find_bench" >&2; exit 2; }

if [ "$(cat "$tree.source" 2>/dev/null)" != "$source" ]; then
    rm -rf "$tree" "$tree.source"
    cp -rL "$source" "$tree"
    echo "$source" > "$tree.source"
fi
cd "$(dirname "$tree")"
name=$(basename "$tree")
files=$(find "$name" -type f | wc -l)
largest=$(find "$name" -type f -printf '%s\n' | sort -n | tail -1)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

. "$here/../timing.sh"

# Both write their rows to a file: GNU grep writing to /dev/null stops
# reading a file at its first match.
ms() { echo $(( $(wall_out_us "$1" "$work/out") / 1000 )); }

# Peak resident memory in KB of a command.
peak_kb() {
    /usr/bin/time -f '%M' -o "$work/mem" sh -c "exec $1" >/dev/null 2>&1
    tail -1 "$work/mem"
}

mkdir -p "$work/empty"
baseline_kb=$(peak_kb "'$bench' x '$work/empty'")

echo "tree: $name (a copy of $source, links resolved), $files files, largest $largest bytes"
echo "qel_find_bench on an empty folder (toolkit loaded): $baseline_kb KB"
printf '%-34s %8s %8s %8s %16s %9s %9s %7s %9s\n' case lines "grep ms" "ours ms" "ratio (range)" "grep KB" "ours KB" ratio "KB/large"

status=0
run_case() { # label, our options, grep options, pattern
    label=$1
    ours="'$bench' $2 '$4' '$name'"
    grep="env LC_ALL=C grep -Rn $3 -e '$4' '$name'"
    sh -c "$ours" 2>/dev/null | sort > "$work/ours"
    sh -c "$grep" | cut -d: -f1,2 | sort > "$work/grep"
    if ! cmp -s "$work/ours" "$work/grep"; then
        echo "$label: the (file, line) pairs differ:" >&2
        diff "$work/grep" "$work/ours" | head -20 >&2
        status=1
    fi
    lines=$(wc -l < "$work/grep")
    sh -c "$grep" >/dev/null 2>&1; sh -c "$ours" >/dev/null 2>&1
    set -- $(alternate "$rounds" "ms \"\$ours\"" "ms \"\$grep\"" | ratio_summary 1 2)
    ours_ms=$1 grep_ms=$2 ratio="$3 ($4-$5)"
    grep_kb=$(peak_kb "$grep")
    ours_kb=$(peak_kb "$ours")
    printf '%-34s %8s %8s %8s %16s %9s %9s %7s %9s\n' "$label" "$lines" "$grep_ms" "$ours_ms" \
        "$ratio" "$grep_kb" "$ours_kb" \
        "$(awk "BEGIN { printf \"%.1f\", $ours_kb / $grep_kb }")" \
        "$(awk "BEGIN { printf \"%.2f\", $ours_kb * 1024 / $largest }")"
}

run_case "literal: grep -RniF wxString" "-i" "-iF" "wxString"
run_case "regex: grep -RniE wx[A-Z][a-z]+Ctrl" "-i -E" "-iE" "wx[A-Z][a-z]+Ctrl"
run_case "literal, match case: grep -RnF" "" "-F" "include"
exit $status
