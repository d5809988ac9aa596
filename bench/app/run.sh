#!/bin/sh
# Start-up of the program against a peer Scintilla editor (SciTE) on the same
# files and display: wall time from the start to a window titled with the
# file's name, and the resident memory (VmRSS) at rest, once the program's
# CPU time has stopped growing. Each program has settings of its own in a
# fresh folder, and is ended with SIGTERM once measured.
#
#   xvfb-run -a -s "-screen 0 1280x1024x24" bench/app/run.sh BUILD_DIR [ROUNDS]
#
# Inputs: a small C file, and the 50 MB C file of stc/make_inputs.sh (made
# on first use in /tmp/qel-bench-stc). The median of ROUNDS (default 5) runs
# counts, for the time and for the memory.
set -eu
build=${1:?usage: run.sh BUILD_DIR [ROUNDS]}
rounds=${2:-5}
here=$(cd "$(dirname "$0")" && pwd)
"$here/../stc/make_inputs.sh" /tmp/qel-bench-stc >/dev/null

work=$(mktemp -d)
export HOME="$work/home" XDG_RUNTIME_DIR="$work" SciTE_HOME="$work/scite" LANG=C.UTF-8
mkdir -p "$HOME" "$SciTE_HOME" "$work/tindrel"
cp "$build/tindrel" "$build/lexers.xml" "$work/tindrel/"
printf '#include <stdio.h>\n\nint main(void)\n{\n    printf("hello\\n");\n    return 0;\n}\n' >"$work/hello.c"

. "$here/../timing.sh"
hold_display
trap 'kill $holder 2>/dev/null; rm -rf "$work"' EXIT
# The first GTK program on a display pays for probing its OpenGL visuals.
warm_up_display "$work/tindrel/tindrel"

median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

# measure PATTERN COMMAND...: "median-ms median-kB" over the rounds.
measure() {
    p=$1; shift
    out=$(mktemp)
    i=0
    while [ $i -lt "$rounds" ]; do measure_start "$p" VmRSS "$@" >>"$out"; i=$((i + 1)); done
    echo "$(cut -d' ' -f1 "$out" | median) $(cut -d' ' -f2 "$out" | median)"
    rm -f "$out"
}

printf '%-8s %10s %10s %8s %12s %12s %8s\n' file tindrel_ms scite_ms time_x tindrel_MB scite_MB mem_x
for file in "$work/hello.c" /tmp/qel-bench-stc/big.c; do
    name=$(basename "$file")
    pattern=$(name_pattern "$file")
    r=$(measure "$pattern" "$work/tindrel/tindrel" "$file"); t_ms=${r% *}; t_kb=${r#* }
    r=$(measure "$pattern" SciTE -check.if.already.open=0 "$file"); s_ms=${r% *}; s_kb=${r#* }
    awk -v f="$name" -v a="$t_ms" -v b="$t_kb" -v c="$s_ms" -v d="$s_kb" 'BEGIN {
        printf "%-8s %10d %10d %8.2f %12.1f %12.1f %8.2f\n", f, a, c, a / c, b / 1024, d / 1024, b / d }'
done
