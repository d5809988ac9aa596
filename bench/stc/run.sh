#!/bin/sh
# The editor against a peer Scintilla editor (SciTE) on the same inputs and
# display: wall time from start to a window titled with the file's name, and
# the peak resident memory (VmHWM) once the program has settled. Then
# replace-all of 500,000 matches in a hidden editor, checked against sed.
#
#   xvfb-run -a bench/stc/run.sh BUILD_DIR [INPUTS] [ROUNDS]
#
# INPUTS defaults to the folder of make_inputs.sh (made on first use); each
# program opens each file ROUNDS times (default 3), the best time counts.
set -eu
build=${1:?usage: run.sh BUILD_DIR [INPUTS] [ROUNDS]}
inputs=${2:-/tmp/qel-bench-stc}
rounds=${3:-3}
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

# One start of the command on the file: "milliseconds-to-window peak-kB".
open_once() {
    file=$1; shift
    measure_start "$(name_pattern "$file")" VmHWM "$@"
}

best() {
    bt=""; bm=""
    i=0
    while [ $i -lt "$rounds" ]; do
        r=$(open_once "$@")
        t=${r% *}; m=${r#* }
        if [ -z "$bt" ] || [ "$t" -lt "$bt" ]; then bt=$t; fi
        if [ -z "$bm" ] || [ "$m" -gt "$bm" ]; then bm=$m; fi
        i=$((i + 1))
    done
    echo "$bt $bm"
}

printf '%-8s %10s %12s %10s %12s %8s %8s\n' file tindrel_ms tindrel_MB scite_ms scite_MB time_x mem_x
for file in big.c big.log; do
    path=$inputs/$file
    r=$(best "$file" "$tindrel" "$path"); t_ms=${r% *}; t_kb=${r#* }
    r=$(best "$file" SciTE "$path"); s_ms=${r% *}; s_kb=${r#* }
    awk -v f=$file -v a=$t_ms -v b=$t_kb -v c=$s_ms -v d=$s_kb 'BEGIN {
        printf "%-8s %10d %12.1f %10d %12.1f %8.2f %8.2f\n", f, a, b / 1024, c, d / 1024, a / c, b / d }'
done

out=$(mktemp)
"$build/bench/stc/qel_stc_bench" foo barbaz "$inputs/foo.txt" "$out" 2>&1 | grep "^replace all"
sed 's/foo/barbaz/g' "$inputs/foo.txt" | cmp - "$out" && echo "replace-all output equals sed's"
rm -f "$out"
