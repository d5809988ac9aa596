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

now() { date +%s%N; }

# Holds a connection to the display for the whole run: a server started
# without -noreset (xvfb-run's default) resets whenever its last client
# leaves, and refuses a program that connects meanwhile, which then ends
# at once ("Unable to initialize GTK+").
xdotool search --sync --name "^no window has this name$" >/dev/null 2>&1 &
holder=$!
trap 'kill $holder 2>/dev/null' EXIT

# The first GTK program on a display probes its OpenGL visuals (44 MB of
# libLLVM's pages) and leaves them on the root window for the later ones,
# as on a desktop: one start before the rounds, so that neither program
# measured pays for it.
echo warm-up > "$HOME/warm-up.txt"
"$tindrel" -q "$HOME/warm-up.txt" >/dev/null 2>&1

# Starts the command, waits for a window whose name starts with the file's
# name or its path, waits until the program's CPU time stops growing, then prints
# "milliseconds-to-window peak-kB" and ends the program.
open_once() {
    name=$1; shift
    t0=$(now)
    "$@" >/dev/null 2>&1 &
    pid=$!
    n=0
    until xdotool search --name "(^|/)$name" >/dev/null 2>&1; do
        sleep 0.005; n=$((n + 1))
        kill -0 $pid 2>/dev/null || {
            status=0; wait $pid || status=$?
            echo "$1 ended (status $status) before a window for $name" >&2; exit 1; }
        [ $n -lt 12000 ] || { echo "no window for $name" >&2; kill $pid; exit 1; }
    done
    t1=$(now)
    last=-1
    while :; do
        sleep 0.5
        cpu=$(awk '{print $14 + $15}' /proc/$pid/stat)
        [ "$cpu" = "$last" ] && break
        last=$cpu
    done
    hwm=$(awk '/VmHWM/ {print $2}' /proc/$pid/status)
    kill $pid; wait $pid 2>/dev/null || true
    echo $(( (t1 - t0) / 1000000 )) $hwm
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
