#!/bin/sh
# The editor against a peer Scintilla editor (SciTE) on the same inputs and
# display: wall time from start to a window titled with the file's name, and
# the peak resident memory (VmHWM) once the program has settled. Then
# replace-all of 500,000 matches in a hidden editor, checked against sed.
#
#   xvfb-run -a bench/stc/run.sh BUILD_DIR [INPUTS] [ROUNDS]
#
# INPUTS defaults to the folder of make_inputs.sh (made on first use). Each
# of ROUNDS rounds (default 5) opens the file in tindrel and then in SciTE;
# the median times and highest peaks are printed, and the median of the
# rounds' time ratios with its range.
set -eu
build=${1:?usage: run.sh BUILD_DIR [INPUTS] [ROUNDS]}
inputs=${2:-/tmp/qel-bench-stc}
rounds=${3:-5}
here=$(cd "$(dirname "$0")" && pwd)
"$here/make_inputs.sh" "$inputs" >/dev/null
tindrel=$(cd "$build" && pwd)/tindrel
export HOME=$(mktemp -d)

. "$here/../timing.sh"
hold_display

# The first GTK program on a display probes its OpenGL visuals (44 MB of
# libLLVM's pages) and leaves them on the root window for the later ones,
# as on a desktop: one start before the rounds, so that neither program
# measured pays for it.
warm_up_display "$tindrel"

work=$(mktemp -d)
trap 'kill $holder 2>/dev/null; rm -rf "$work"' EXIT
printf '%-8s %10s %12s %10s %12s %16s %8s\n' file tindrel_ms tindrel_MB scite_ms scite_MB "time_x (range)" mem_x
for file in big.c big.log; do
    path=$inputs/$file
    p=$(name_pattern "$path")
    alternate "$rounds" "measure_start '$p' VmHWM '$tindrel' '$path'" \
        "measure_start '$p' VmHWM SciTE -check.if.already.open=0 '$path'" >"$work/rows"
    set -- $(ratio_summary 1 3 <"$work/rows")
    t_kb=$(sort -n -k2 "$work/rows" | tail -1 | cut -d' ' -f2)
    s_kb=$(sort -n -k4 "$work/rows" | tail -1 | cut -d' ' -f4)
    awk -v f=$file -v a=$1 -v b=$t_kb -v c=$2 -v d=$s_kb -v r="$3 ($4-$5)" 'BEGIN {
        printf "%-8s %10d %12.1f %10d %12.1f %16s %8.2f\n", f, a, b / 1024, c, d / 1024, r, b / d }'
done

out=$(mktemp)
"$build/bench/stc/qel_stc_bench" foo barbaz "$inputs/foo.txt" "$out" 2>&1 | grep "^replace all"
sed 's/foo/barbaz/g' "$inputs/foo.txt" | cmp - "$out" && echo "replace-all output equals sed's"
rm -f "$out"
