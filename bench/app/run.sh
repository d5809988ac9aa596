#!/bin/sh
# Start-up of the program against a peer Scintilla editor (SciTE) on the same
# files and display: wall time from the start to a window titled with the
# file's name, and the resident memory (VmRSS) at rest, once the program's
# CPU time has stopped growing. The program has settings of its own in a
# fresh folder; SciTE runs as installed (its global properties: lexers,
# folding), with a fresh home folder, so no user's settings. Each is ended
# with SIGTERM once measured.
#
#   xvfb-run -a -s "-screen 0 1280x1024x24" bench/app/run.sh BUILD_DIR [ROUNDS]
#
# Inputs: a small C file, and the 50 MB C file of stc/make_inputs.sh (made
# on first use in /tmp/qel-bench-stc). Each round starts tindrel and then
# SciTE; the medians of ROUNDS (default 5) rounds are printed, and the median
# of the rounds' ratios with their range.
set -eu
build=${1:?usage: run.sh BUILD_DIR [ROUNDS]}
rounds=${2:-5}
here=$(cd "$(dirname "$0")" && pwd)
"$here/../stc/make_inputs.sh" /tmp/qel-bench-stc >/dev/null

work=$(mktemp -d)
export HOME="$work/home" XDG_RUNTIME_DIR="$work" LANG=C.UTF-8
unset SciTE_HOME # else SciTE reads its global properties from there
mkdir -p "$HOME" "$work/tindrel"
cp "$build/tindrel" "$build/lexers.xml" "$work/tindrel/"
printf '#include <stdio.h>\n\nint main(void)\n{\n    printf("hello\\n");\n    return 0;\n}\n' >"$work/hello.c"

. "$here/../timing.sh"
hold_display
trap 'kill $holder 2>/dev/null; rm -rf "$work"' EXIT
# The first GTK program on a display pays for probing its OpenGL visuals.
warm_up_display "$work/tindrel/tindrel"

printf '%-8s %10s %10s %16s %12s %12s %16s\n' file tindrel_ms scite_ms "time_x (range)" tindrel_MB scite_MB "mem_x (range)"
for file in "$work/hello.c" /tmp/qel-bench-stc/big.c; do
    name=$(basename "$file")
    pattern=$(name_pattern "$file")
    alternate "$rounds" "measure_start '$pattern' VmRSS '$work/tindrel/tindrel' '$file'" \
        "measure_start '$pattern' VmRSS SciTE -check.if.already.open=0 '$file'" >"$work/rows"
    set -- $(ratio_summary 1 3 <"$work/rows") $(ratio_summary 2 4 <"$work/rows")
    awk -v f="$name" -v a="$1" -v b="$2" -v r="$3 ($4-$5)" -v c="$6" -v d="$7" -v m="$8 ($9-${10})" 'BEGIN {
        printf "%-8s %10d %10d %16s %12.1f %12.1f %16s\n", f, a, b, r, c / 1024, d / 1024, m }'
done
