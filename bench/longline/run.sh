#!/bin/sh
# Files of one line, in the program and in SciTE (Scintilla 5.3, as
# installed, with a fresh home folder), alternated round by round, whole
# process against whole process. The program shows the lines of 20 MB and
# 64 MiB in its hexadecimal view, SciTE as text.
#   rest   20 MB: the CPU time from the start until the program is at rest
#          with the file shown (less than half busy for 300 ms, as
#          timing.sh's busy_until says), and the CPU time of the 5 seconds
#          after that;
#   key    20 MB and 64 MiB: the wall time from the start to the window
#          showing, and from then to its answer to a key: Ctrl+N, pressed as
#          soon as the window shows, whose new page renames the window;
#   type   512 KB, the heaviest line the program shows as text: once the
#          program is at rest, the wall time from a typed letter (into the
#          line, at its start) to the title's mark of a changed document.
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
inputs=/tmp/qel-bench-longline

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

# rest FILE COMMAND...: prints "cpu-ms-to-rest cpu-ms-of-the-next-5-s".
rest() {
    file=$1; shift
    start_window "$(name_pattern "$file")" "$@" "$file"
    t_action=$t_start; cpu_action=0
    set -- $(busy_until)
    shown=$(cpu_ticks); sleep 5; after=$(cpu_ticks)
    stop_program
    echo "$2" $(( (after - shown) * 10 ))
}

# key FILE COMMAND...: prints the milliseconds from the start to the window,
# and from the window showing to the window's new name after Ctrl+N.
key() {
    file=$1; shift
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

# type FILE COMMAND...: prints the milliseconds from a letter typed once the
# program is at rest to the mark of a changed document in the window's name.
type_letter() {
    file=$1; shift
    start_window "$(name_pattern "$file")" "$@" "$file"
    t_action=$t_start; cpu_action=0
    busy_until >/dev/null
    xdotool windowfocus "$window" 2>/dev/null || true
    t=$(now)
    xdotool key --window "$window" a
    n=0
    until xdotool getwindowname "$window" 2>/dev/null | grep -q '\*'; do
        sleep 0.01; n=$((n + 1))
        [ $n -lt 12000 ] || { echo "no answer to the letter" >&2; stop_program; exit 1; }
    done
    t_end=$(now)
    stop_program
    echo $(( (t_end - t) / 1000000 ))
}

alternate "$rounds" "rest $inputs/line20.txt $tindrel" "rest $inputs/line20.txt $scite" \
    >"$work/rest"
alternate "$rounds" "key $inputs/line20.txt $tindrel" "key $inputs/line20.txt $scite" \
    >"$work/key"
alternate "$rounds" "key $inputs/line64.txt $tindrel" "key $inputs/line64.txt $scite" \
    >"$work/key64"
alternate "$rounds" "type_letter $inputs/line512k.txt $tindrel" \
    "type_letter $inputs/line512k.txt $scite" >"$work/type"

printf '%-28s %10s %10s %16s\n' measure tindrel SciTE "ratio (range)"
row() {
    awk -v m="$1" -v a="$2" -v b="$3" -v r="$4 ($5-$6)" 'BEGIN {
        printf "%-28s %10d %10d %16s\n", m, a, b, r }'
}
row "20 MB: CPU to rest, ms" $(ratio_summary 1 3 <"$work/rest")
row "20 MB: CPU in 5 s at rest, ms" $(ratio_summary 2 4 <"$work/rest")
row "20 MB: start to window, ms" $(ratio_summary 1 3 <"$work/key")
row "20 MB: window to key, ms" $(ratio_summary 2 4 <"$work/key")
row "64 MiB: start to window, ms" $(ratio_summary 1 3 <"$work/key64")
row "64 MiB: window to key, ms" $(ratio_summary 2 4 <"$work/key64")
row "512 KB: letter answered, ms" $(ratio_summary 1 2 <"$work/type")
