#!/bin/sh
# The program as a user runs it, against a peer in the same run, alternated
# within each round (tindrel first, then the peer), on inputs made here:
#
#   ctrlend  Ctrl+End on the 50 MB C file of stc/make_inputs.sh, vs SciTE:
#            from the key to the end of the last busy 100 ms, and CPU time
#   quit     Ctrl+Q with 1, 10, 100 and 500 unchanged files open, vs Geany:
#            from the key to the end of the process
#   open     500 files on the command line, vs Geany: from the start to the
#            end of the last busy 100 ms after the window showed
#   idle     CPU time over 10 s with 1, 200 and 500 files open, the window
#            given the focus (its caret blinking) and nothing done, vs Geany
#            with the same files, from 5 s after the program came to rest;
#            the whole process's CPU time, threads that ended included
#   bigc     the 50 MB C file of stc/make_inputs.sh opened, vs SciTE: from
#            the start to the end of the last busy 100 ms (the last repaint)
#            and the CPU time meanwhile; then, at rest and with the focus,
#            the CPU time of Ctrl+Home up to the end of its work, less the
#            CPU time of as long at rest just after (the caret's blinking)
#   fif      find in files of "struct" over /usr/include: the menu (Edit, Find
#            And Replace, Find In Files) opens the dialog, filled in by the
#            settings of an earlier search, and OK is clicked; from the click
#            to the end of the last busy 100 ms, vs `grep -rn` writing its
#            rows to a file (match case on both sides); then Cancel
#            clicked 300 ms after OK, from Cancel to the end of the work
#   findbar  "struct_x" typed into the find bar (clicked) on the 50 MB C file, a key
#            every 150 ms: the longest time the program was busy without a
#            break (a stall of typing)
#   replace  replace all of 500,000 matches in a 52 MB file (a hidden editor
#            in a whole process, qel_stc_bench) vs vim's :%s and sed, whole
#            processes; the outputs must be equal
#
#   xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" bench/app/goals.sh BUILD_DIR [ROUNDS] [GOAL...]
#
# ROUNDS defaults to 5, the goals to all. BEFORE=FOLDER names a second
# program's folder (tindrel, lexers.xml, vcs.xml: a copy of a build made
# before a change), run in the same rounds as the first in the quit, open
# and idle goals, so that both are measured in the same conditions: each
# round runs the two, one round the program before first and the next
# BUILD_DIR's first (so that a place in the round goes into neither side of
# their ratio), then the peer. IDLE=SECONDS sets the idle
# window (10). Each row ends with the load average (1 minute, the lowest
# and highest of its rounds). SHOT=FILE takes a screenshot at
# the end of the find in files and find bar runs, to see what was driven. Each row gives the medians, the
# median of the rounds' ratios and its range. Peers run as installed, with
# a fresh home folder; tindrel runs from a fresh folder of its own (its
# settings are kept beside it). Needs scite, geany, vim, xdotool.
set -eu
build=$(cd "${1:?usage: goals.sh BUILD_DIR [ROUNDS] [GOAL...]}" && pwd)
rounds=${2:-5}
shift $(($# < 2 ? $# : 2))
goals=${*:-ctrlend quit open idle bigc fif findbar replace}
here=$(cd "$(dirname "$0")" && pwd)
"$here/../stc/make_inputs.sh" /tmp/qel-bench-stc >/dev/null

work=$(mktemp -d)
export HOME="$work/home" XDG_RUNTIME_DIR="$work" LANG=C.UTF-8
unset SciTE_HOME
mkdir -p "$HOME" "$work/tindrel"
# copy_program FOLDER TO: the program with the files it reads beside it.
copy_program() {
    mkdir -p "$2"
    cp "$1/tindrel" "$1/lexers.xml" "$2/"
    [ ! -f "$1/vcs.xml" ] || cp "$1/vcs.xml" "$2/"
}
copy_program "$build" "$work/tindrel"
tindrel=$work/tindrel/tindrel
before=""
if [ -n "${BEFORE:-}" ]; then
    copy_program "$BEFORE" "$work/before"
    before=$work/before/tindrel
fi
idle_s=${IDLE:-10}

. "$here/../timing.sh"
hold_display
trap 'kill $holder 2>/dev/null; rm -rf "$work"' EXIT
warm_up_display "$tindrel"
[ -z "$before" ] || warm_up_display "$before"

# 500 small C files, the same bytes every time.
files=/tmp/qel-bench-files
if [ ! -e "$files/499.c" ]; then
    mkdir -p "$files"
    awk -v dir="$files" 'BEGIN {
        for (f = 0; f < 500; ++f) {
            out = sprintf("%s/%d.c", dir, f)
            for (i = 0; i < 40; ++i) printf "static int f%d_%d(int a) { return a + %d; }\n", f, i, i > out
            close(out)
        } }'
fi
# The first N files as arguments.
some_files() { i=0; while [ $i -lt "$1" ]; do printf '%s/%d.c ' "$files" $i; i=$((i + 1)); done; }

scite="SciTE -check.if.already.open=0"
geany="geany -i -s -c $work/geany"

report() { # label unit: reads rows "a b"
    r=$(ratio_summary 1 2) || { echo "$1: no round finished" >&2; exit 1; }
    set -- "$1" "$2" $r
    printf '%-26s %10s %10s %6s %18s\n' "$1" "$3" "$4" "$2" "$5 ($6-$7)"
}

# with_before LABEL UNIT COMMAND PEER: rounds of COMMAND with the program
# (and BEFORE's, each first in every other round) and with the peer's
# command line, and the load; the row of the program against the peer, and
# with BEFORE those of the program before against the peer and after
# against before.
with_before() {
    if [ -z "$before" ]; then
        alternate "$rounds" "$3 '$tindrel'" "$3 $4" load_now >"$work/rows"
        report "$1" "$2" <"$work/rows"
        load_range 3 <"$work/rows"
        return
    fi
    # Rows "before after peer load" whichever ran first.
    _i=0
    while [ $_i -lt "$rounds" ]; do
        if [ $((_i % 2)) -eq 0 ]; then
            _b=$(eval "$3 '$before'") && _a=$(eval "$3 '$tindrel'") || return 1
        else
            _a=$(eval "$3 '$tindrel'") && _b=$(eval "$3 '$before'") || return 1
        fi
        _p=$(eval "$3 $4") || return 1
        echo "$_b $_a $_p $(load_now)"
        _i=$((_i + 1))
    done >"$work/rows"
    awk '{ print $2, $3 }' "$work/rows" | report "$1" "$2"
    awk '{ print $1, $3 }' "$work/rows" | report "  before vs peer" "$2"
    awk '{ print $2, $1 }' "$work/rows" | report "  after/before" "$2"
    load_range 4 <"$work/rows"
}

# load_range COLUMN < ROWS: the lowest and highest load average of the rounds.
load_range() {
    sort -n -k"$1" | awk -v c="$1" 'NR == 1 { low = $c } { high = $c } END { printf "%-26s %10s\n", "  load average", low "-" high }'
}

# press KEY: types the key into $window, given the focus first (a key sent to
# a window without it is ignored by GTK).
press() { xdotool windowfocus --sync "$window" 2>/dev/null; xdotool key "$1"; }

# Ctrl+End: "busy-ms cpu-ms".
ctrl_end() {
    start_window "$(name_pattern big.c)" "$@" /tmp/qel-bench-stc/big.c
    settle
    cpu_action=$(cpu_ticks); t_action=$(now)
    press ctrl+End
    r=$(busy_until); stop_program; echo "$r"
}

# Quit with the files: milliseconds from Ctrl+Q to the end of the process.
quit() {
    n=$1; shift
    start_window . "$@" $(some_files "$n")
    settle
    t0=$(now)
    press ctrl+q
    k=0
    while kill -0 $pid 2>/dev/null && [ -z "$(awk '$3 == "Z"' /proc/$pid/stat 2>/dev/null)" ]; do
        sleep 0.002; k=$((k + 1))
        [ $k -lt 30000 ] || { echo "did not quit" >&2; stop_program; return 1; }
    done
    t1=$(now); wait $pid 2>/dev/null || true
    echo $(( (t1 - t0) / 1000000 ))
}

# Opening 500 files: milliseconds from the start to the end of the work.
open_files() {
    start_window . "$@" $(some_files 500)
    t_action=$t_start cpu_action=0
    r=$(busy_until); stop_program; echo "${r% *}"
}

# CPU time in ms over $idle_s s with N files open, 5 s after the program
# came to rest with the focus (the caret blinks only in a focused editor).
idle() {
    n=$1; shift
    start_window . "$@" $(some_files "$n")
    settle
    xdotool windowfocus --sync "$window" 2>/dev/null || true
    sleep 5
    c0=$(cpu_us); sleep "$idle_s"; c1=$(cpu_us)
    stop_program; awk -v us=$((c1 - c0)) 'BEGIN { printf "%.1f\n", us / 1000 }'
}

# The 50 MB C file: "window-ms rest-ms cpu-ms key-cpu-ms", the times from
# the start to the window and to the end of the last busy 100 ms, the CPU
# time until then, and the CPU time of Ctrl+Home pressed at rest, from the
# key to the end of its work (the scheduler's count, to a tenth of a ms),
# less that of as long a time at rest after it.
big_c() {
    start_window "$(name_pattern big.c)" "$@" /tmp/qel-bench-stc/big.c
    t_action=$t_start cpu_action=0
    r=$(busy_until)
    shown=$(( (t_window - t_start) / 1000000 ))
    settle
    xdotool windowfocus --sync "$window" 2>/dev/null || true
    sleep 0.5
    c0=$(cpu_us); cpu_action=$(cpu_ticks); t_action=$(now)
    xdotool key ctrl+Home
    busy_until >/dev/null; c1=$(cpu_us); t1=$(now)
    # Less what the program takes at rest in as long (the caret blinking).
    sleep "$(awk -v ns=$((t1 - t_action)) 'BEGIN { printf "%.3f", ns / 1e9 }')"; c2=$(cpu_us)
    stop_program
    awk -v a="$shown $r" -v us=$((2 * c1 - c0 - c2)) 'BEGIN { printf "%s %.1f\n", a, (us > 0 ? us : 0) / 1000 }'
}

# Find in files through the menu and dialog; "ok-ms cancel-ms": the time
# from OK to the end of the run, and from a Cancel 300 ms after OK to the
# end of the work.
find_in_files() {
    # Match case on, as grep -rn runs; no whole word, no expression.
    printf 'Find what=struct\013\nIn files=*\013\nIn folder=/usr/include\013\nMatch case=1\nMatch whole word=0\nRegular expression=0\n' \
        >"$work/tindrel/tindrel.ini"
    ok=$(fif_once) && cancel=$(fif_once cancel) && echo "$ok $cancel"
}
fif_once() {
    start_window . "$tindrel"
    settle
    xdotool windowfocus --sync "$window"
    xdotool key alt+e; sleep 0.3; xdotool key f; sleep 0.3; xdotool key i
    k=0
    until d=$(xdotool search --all --onlyvisible --pid $pid --name "Find In Files" | head -1) && [ -n "$d" ]; do
        sleep 0.01; k=$((k + 1)); [ $k -lt 500 ] || { echo "no find dialog" >&2; stop_program; return 1; }
    done
    sleep 0.5
    eval "$(xdotool getwindowgeometry --shell "$d")"
    cpu_action=$(cpu_ticks); t_action=$(now)
    xdotool mousemove $((X + WIDTH - 60)) $((Y + HEIGHT - 28)) click 1 # OK
    # A click that missed OK would time nothing: the run must get busy.
    sleep 0.1
    [ $(($(cpu_ticks) - cpu_action)) -ge 3 ] || { echo "OK did not start a run" >&2; stop_program; return 1; }
    if [ $# -gt 0 ]; then
        sleep 0.3
        cpu_action=$(cpu_ticks); t_action=$(now)
        xdotool mousemove $((X + WIDTH - 152)) $((Y + HEIGHT - 28)) click 1 # Cancel
    fi
    r=$(busy_until)
    [ -z "${SHOT:-}" ] || import -window root "$SHOT.$#.png" || true
    stop_program; echo "${r% *}"
}

# The longest busy stretch in ms while "struct_x" is typed into the find bar
# of the 50 MB C file, sampled every 50 ms.
find_bar() {
    start_window "$(name_pattern big.c)" "$tindrel" /tmp/qel-bench-stc/big.c
    settle
    # The find bar's entry, on the tool bar row right of the "Sync" box.
    eval "$(xdotool getwindowgeometry --shell "$window")"
    xdotool mousemove $((X + 320)) $((Y + 42)) click 1; sleep 0.5
    xdotool type --delay 150 struct_x &
    typist=$!
    longest=0 run=0 prev=$(cpu_ticks) quiet=0
    while [ $quiet -lt 6 ]; do
        sleep 0.05; c=$(cpu_ticks)
        if [ $((c - prev)) -ge 4 ]; then run=$((run + 50)); quiet=0; else run=0; kill -0 $typist 2>/dev/null || quiet=$((quiet + 1)); fi
        [ $run -gt $longest ] && longest=$run
        prev=$c
    done
    wait $typist
    [ -z "${SHOT:-}" ] || import -window root "$SHOT.png" || true
    stop_program; echo "$longest"
}

printf '%-26s %10s %10s %6s %18s\n' goal tindrel peer unit "ratio (range)"
for goal in $goals; do
    case $goal in
    ctrlend)
        alternate "$rounds" "ctrl_end '$tindrel'" "ctrl_end $scite" >"$work/rows"
        awk '{ print $1, $3 }' "$work/rows" | report "Ctrl+End big.c vs SciTE" ms
        awk '{ print $2, $4 }' "$work/rows" | report "  CPU time" ms ;;
    quit)
        for n in 1 10 100 500; do
            with_before "quit, $n files vs Geany" ms "quit $n" "$geany"
        done ;;
    open)
        with_before "open 500 files vs Geany" ms open_files "$geany" ;;
    idle)
        for n in 1 200 500; do
            with_before "idle $idle_s s, $n files/Geany" "ms cpu" "idle $n" "$geany"
        done ;;
    bigc)
        alternate "$rounds" "big_c '$tindrel'" "big_c $scite" >"$work/rows"
        awk '{ print $1, $5 }' "$work/rows" | report "big.c vs SciTE, window" ms
        awk '{ print $2, $6 }' "$work/rows" | report "  last repaint" ms
        awk '{ print $3, $7 }' "$work/rows" | report "  CPU to rest" ms
        awk '{ print $4, $8 }' "$work/rows" | report "  Ctrl+Home, CPU" ms ;;
    fif)
        # grep writes its rows to a file: to /dev/null it would stop reading
        # each file at its first match.
        grep_ms() { echo $(( $(wall_out_us "grep -rn struct /usr/include" "$work/grep-out") / 1000 )); }
        alternate "$rounds" find_in_files grep_ms >"$work/rows"
        awk '{ print $1, $3 }' "$work/rows" | report "find in files vs grep -rn" ms
        printf '%-26s %10s\n' "  Cancel (median, max)" "$(cut -d' ' -f2 "$work/rows" | sort -n |
            awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] ", " v[NR] " ms" }')" ;;
    findbar)
        i=0; while [ $i -lt "$rounds" ]; do find_bar; i=$((i + 1)); done | sort -n |
            awk '{ v[NR] = $1 } END { printf "%-26s %10s\n", "find bar, longest stall", v[int((NR + 1) / 2)] " ms (max " v[NR] ")" }' ;;
    replace)
        big=/tmp/qel-bench-stc/foo52.txt
        [ -s "$big" ] || awk 'BEGIN {
            for (i = 0; i < 500000; ++i)
                printf "word%d foo x%d %s\n", i % 97, i, "abcdefghijklmnopqrstuvwxyz0123456789abcdefghijklmnopqrstuvwxyz0123456789abcdefgh" }' >"$big"
        sed 's/foo/barbaz/g' "$big" >"$work/sed.txt"
        ours() { echo $(( $(wall_us "exec '$build/bench/stc/qel_stc_bench' foo barbaz '$big' '$work/ours.txt'") / 1000 )); }
        vim_s() { echo $(( $(wall_us "vim -u NONE -i NONE -N -es -c '%s/foo/barbaz/g' -c 'w! $work/vim.txt' -c 'q!' '$big'") / 1000 )); }
        sed_s() { echo $(( $(wall_us "sed 's/foo/barbaz/g' '$big' >'$work/sed2.txt'") / 1000 )); }
        alternate "$rounds" ours vim_s >"$work/rows"
        report "replace all 52 MB vs vim" ms <"$work/rows"
        alternate "$rounds" ours sed_s | report "replace all 52 MB vs sed" ms
        for f in ours vim; do
            cmp -s "$work/$f.txt" "$work/sed.txt" || { echo "$f: output differs from sed's" >&2; exit 1; }
        done
        echo "replace all: outputs of tindrel, vim and sed equal ($(grep -c foo "$big") lines with a match)" ;;
    *) echo "unknown goal $goal" >&2; exit 2 ;;
    esac
done
