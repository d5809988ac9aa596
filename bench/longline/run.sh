#!/bin/sh
# A file of one line of 20 MB, in the program and in SciTE (Scintilla 5.3, as
# installed, with a fresh home folder), alternated round by round, whole
# process against whole process:
#   rest   the CPU time from the start until the program is at rest with the
#          file shown (less than half busy for 300 ms, as timing.sh's
#          busy_until says), and the CPU time of the 5 seconds after that;
#   key    the wall time from the start to the window showing, and from
#          then to its answer to a key: Ctrl+N, pressed as soon as the window
#          shows, whose new page renames the window.
#
#   xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" bench/longline/run.sh BUILD_DIR [ROUNDS]
#
# The input is made on first use by make_inputs.sh in /tmp/qel-bench-longline.
# Printed: the medians of ROUNDS (default 3) rounds and the median of the
# rounds' ratios with their range.
set -eu
build=${1:?usage: run.sh BUILD_DIR [ROUNDS]}
rounds=${2:-3}
here=$(cd "$(dirname "$0")" && pwd)
"$here/make_inputs.sh" /tmp/qel-bench-longline >/dev/null
file=/tmp/qel-bench-longline/line20.txt

work=$(mktemp -d)
export HOME="$work/home" XDG_RUNTIME_DIR="$work" LANG=C.UTF-8
unset SciTE_HOME # else SciTE reads its global properties from there
mkdir -p "$HOME" "$work/tindrel"
cp "$build/tindrel" "$build/lexers.xml" "$work/tindrel/"
tindrel="$work/tindrel/tindrel"
scite="SciTE -check.if.already.open=0"

. "$here/../timing.sh"
hold_display
trap 'kill $holder 2>/dev/null; rm -rf "$work"' EXIT
warm_up_display "$tindrel"

# rest COMMAND...: prints "cpu-ms-to-rest cpu-ms-of-the-next-5-s".
rest() {
    start_window "$(name_pattern "$file")" "$@" "$file"
    t_action=$t_start; cpu_action=0
    set -- $(busy_until)
    shown=$(cpu_ticks); sleep 5; after=$(cpu_ticks)
    stop_program
    echo "$2" $(( (after - shown) * 10 ))
}

# key COMMAND...: prints the milliseconds from the start to the window, and
# from the window showing to the window's new name after Ctrl+N.
key() {
    start_window "$(name_pattern "$file")" "$@" "$file"
    xdotool windowfocus "$window" 2>/dev/null || true
    xdotool key --window "$window" ctrl+n
    n=0
    while xdotool getwindowname "$window" 2>/dev/null | grep -q "$(name_pattern "$file")"; do
        sleep 0.01; n=$((n + 1))
        [ $n -lt 12000 ] || { echo "no answer to the key" >&2; stop_program; exit 1; }
    done
    t=$(now)
    stop_program
    echo $(( (t_window - t_start) / 1000000 )) $(( (t - t_window) / 1000000 ))
}

alternate "$rounds" "rest $tindrel" "rest $scite" >"$work/rest"
alternate "$rounds" "key $tindrel" "key $scite" >"$work/key"

printf '%-28s %10s %10s %16s\n' measure tindrel SciTE "ratio (range)"
row() {
    awk -v m="$1" -v a="$2" -v b="$3" -v r="$4 ($5-$6)" 'BEGIN {
        printf "%-28s %10d %10d %16s\n", m, a, b, r }'
}
row "CPU to rest, ms" $(ratio_summary 1 3 <"$work/rest")
row "CPU in 5 s at rest, ms" $(ratio_summary 2 4 <"$work/rest")
row "start to window, ms" $(ratio_summary 1 3 <"$work/key")
row "window to key answered, ms" $(ratio_summary 2 4 <"$work/key")
