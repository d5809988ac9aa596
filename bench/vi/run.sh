#!/bin/sh
# The vi emulation on large documents:
# - ":%s/a/b/g" on a 10 MB text against `sed -i 's/a/b/g'` on the same file,
#   and the result compared byte for byte with sed's. Each round runs the
#   whole benchmark program (toolkit start-up, reading the file into a hidden
#   editor, the substitute, writing the result) and then sed; the ratio of
#   those whole processes is the one to judge by, as the median of the rounds'
#   ratios. The substitute alone, timed inside the program, is printed too;
# - "999999999j" on a text of 1,000,000 lines, which must end on the last
#   line (the empty one after the last line break) at once.
#
#   bench/vi/run.sh BUILD_DIR [ROUNDS]
#
# The inputs are made in /tmp/qel-vi-bench on first use. ROUNDS defaults to
# 5. Needs a display (xvfb-run).
set -eu
here=$(cd "$(dirname "$0")" && pwd)
build=${1:?usage: run.sh BUILD_DIR [ROUNDS]}
rounds=${2:-5}
bench=$(cd "$build" && pwd)/bench/vi/qel_vi_bench
dir=/tmp/qel-vi-bench

[ -x "$bench" ] || { echo "build qel_vi_bench first: cmake --build $build --target qel_vi_bench" >&2; exit 2; }

mkdir -p "$dir"
text=$dir/text-10mb.txt
lines=$dir/lines-1m.txt
# Header files as text: every line kind a source file has, about 5% "a".
[ -s "$text" ] || find /usr/include -name "*.h" | sort | xargs cat 2>/dev/null | head -c 10000000 > "$text"
[ -s "$lines" ] || seq 1 1000000 > "$lines"

. "$here/../timing.sh"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

sed 's/a/b/g' "$text" > "$work/sed.txt"
"$bench" substitute "$text" "$work/vi.txt" "$rounds" 2> "$work/sub.time"
sub_ms=$(sed -n 's/.*: \([0-9.]*\) ms$/\1/p' "$work/sub.time")
ours() { echo $(( $(wall_us "exec '$bench' substitute '$text' '$work/whole.txt' 1") / 1000 )); }
theirs() { cp "$text" "$work/copy.txt"; echo $(( $(wall_us "sed -i 's/a/b/g' '$work/copy.txt'") / 1000 )); }
alternate "$rounds" ours theirs >"$work/rows"
set -- $(ratio_summary 1 2 <"$work/rows")

last=$("$bench" down "$lines" "$rounds" 2> "$work/down.time")
down_ms=$(sed -n 's/.*: \([0-9.]*\) ms$/\1/p' "$work/down.time")
want=$(( $(wc -l < "$lines") + 1 ))

echo "text:                    $text ($(wc -c < "$text") bytes, $(grep -o a "$text" | wc -l) matches)"
echo "sed -i 's/a/b/g':        $2 ms (whole process, median of $rounds)"
echo ":%s/a/b/g program:       $1 ms (whole process, median of $rounds)"
echo "ratio program / sed:     $3 (rounds $4 to $5)"
echo ":%s/a/b/g alone:         $sub_ms ms (inside the program, best of $rounds)"
echo "999999999j on 1M lines:  $down_ms ms, caret on line $last (last line $want)"

status=0
cmp -s "$work/vi.txt" "$work/sed.txt" || { echo "SUBSTITUTE DIFFERS FROM SED" >&2; status=1; }
[ "$last" = "$want" ] || { echo "NOT ON THE LAST LINE" >&2; status=1; }
exit $status
