#!/bin/sh
# The hexadecimal view of 1, 10 and 50 MiB of random data in a hidden editor
# against xxd and hexdump -C -v writing their dumps of the same file. The
# dump is checked against hexdump -C -v in its offset and byte columns.
# Each of ROUNDS rounds (default 3) runs qel_hex_bench (a whole process: it
# starts the toolkit and opens the file as a dump in the editor), then xxd,
# then hexdump, these writing their dumps to /dev/null; printed are the
# median whole-process times, the median of the rounds' ratios with their
# range, the open alone as timed inside the program, and memory: the peak
# the open added to the process (VmHWM after less before) against xxd's
# whole peak (/usr/bin/time).
#
#   xvfb-run -a bench/hex/run.sh BUILD_DIR [ROUNDS]
set -eu
build=${1:?usage: run.sh BUILD_DIR [ROUNDS]}
rounds=${2:-3}
here=$(cd "$(dirname "$0")/.." && pwd)
bench=$(cd "$build" && pwd)/bench/hex/qel_hex_bench
[ -x "$bench" ] || { echo "build qel_hex_bench first" >&2; exit 2; }
. "$here/timing.sh"
export HOME=$(mktemp -d)
work=$(mktemp -d)
trap 'rm -rf "$work" "$HOME"' EXIT

# One run of ours: "whole-ms open-ms added-kB".
ours() {
    t=$(wall_us "exec '$bench' '$input' - 2>'$work/log'")
    # "hex open: S s, N lines, peak P kB (B kB before)"
    sed -n 's/^hex open: \([0-9.]*\) s, .* peak \([0-9]*\) kB (\([0-9]*\) kB before).*/\1 \2 \3/p' "$work/log" |
        awk -v t="$t" '{ printf "%d %d %d\n", t / 1000, $1 * 1000, $2 - $3 }'
}

# One run of a peer writing its dump: "whole-ms peak-kB".
peer() {
    t=$(wall_us "/usr/bin/time -f %M -o '$work/mem' $1 '$input' >/dev/null")
    echo "$((t / 1000)) $(tail -1 "$work/mem")"
}

printf '%-7s %5s %8s %8s %8s %16s %8s %9s %9s %7s %9s\n' file dump "ours ms" "xxd ms" "hd ms" \
    "/ xxd (range)" "/ hd" "open ms" "added MB" "/ file" "xxd MB"
for mb in 1 10 50; do
    input="$work/random-$mb.bin"
    head -c $((mb * 1048576)) /dev/urandom >"$input"
    "$bench" "$input" "$work/dump" 2>/dev/null
    # Offset and byte columns; hexdump's closing offset line has no bytes.
    cut -c1-8,11-60 "$work/dump" >"$work/ours"
    hexdump -C -v "$input" | grep '^........  ' | cut -c1-8,11-60 >"$work/theirs"
    if cmp -s "$work/ours" "$work/theirs"; then same=same; else same=DIFFERENT; fi
    i=0
    : >"$work/rows"
    while [ $i -lt "$rounds" ]; do
        echo "$(ours) $(peer xxd) $(peer 'hexdump -C -v')" >>"$work/rows"
        i=$((i + 1))
    done
    # rows: ours-ms open-ms added-kB xxd-ms xxd-kB hd-ms hd-kB
    set -- $(ratio_summary 1 4 <"$work/rows") $(ratio_summary 1 6 <"$work/rows")
    open=$(ratio_summary 2 2 <"$work/rows" | cut -d' ' -f1)
    added=$(ratio_summary 3 5 <"$work/rows")
    printf '%-7s %5s %8s %8s %8s %16s %8s %9s %9.1f %7.2f %9.1f\n' "$mb MiB" "$same" "$1" "$2" "$7" \
        "$3 ($4-$5)" "$8" "$open" "$(echo "$added" | awk '{ print $1 / 1024 }')" \
        "$(echo "$added" | awk -v mb="$mb" '{ print $1 / 1024 / mb }')" \
        "$(echo "$added" | awk '{ print $2 / 1024 }')"
done
