#!/bin/sh
# The vi emulation on large documents:
# - ":%s/a/b/g" on a 10 MB text, timed against `sed -i 's/a/b/g'` on the same
#   file, and the result compared byte for byte with sed's;
# - "999999999j" on a text of 1,000,000 lines, which must end on the last
#   line (the empty one after the last line break) at once.
#
#   bench/vi/run.sh BUILD_DIR [ROUNDS]
#
# The inputs are made in /tmp/qel-vi-bench on first use. ROUNDS (default 5)
# runs follow a warm-up; the best time counts. Needs a display (xvfb-run).
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
cp "$text" "$work/copy.txt"
sed_us=$(best_us "sed -i 's/a/b/g' '$work/copy.txt'")
sub_ms=$(sed -n 's/.*: \([0-9.]*\) ms$/\1/p' "$work/sub.time")

last=$("$bench" down "$lines" "$rounds" 2> "$work/down.time")
down_ms=$(sed -n 's/.*: \([0-9.]*\) ms$/\1/p' "$work/down.time")
want=$(( $(wc -l < "$lines") + 1 ))

echo "text:                    $text ($(wc -c < "$text") bytes, $(grep -o a "$text" | wc -l) matches)"
echo "sed -i 's/a/b/g':        $((sed_us / 1000)).$(( (sed_us % 1000) / 100 )) ms (best of $rounds)"
echo ":%s/a/b/g in the editor: $sub_ms ms (best of $rounds)"
echo "ratio vi / sed:          $(awk "BEGIN { printf \"%.2f\", $sub_ms * 1000 / $sed_us }")"
echo "999999999j on 1M lines:  $down_ms ms, caret on line $last (last line $want)"

status=0
cmp -s "$work/vi.txt" "$work/sed.txt" || { echo "SUBSTITUTE DIFFERS FROM SED" >&2; status=1; }
[ "$last" = "$want" ] || { echo "NOT ON THE LAST LINE" >&2; status=1; }
exit $status
