#!/bin/sh
# Find in files through the hidden frame and its results list
# (qel_findfiles_bench) against `LC_ALL=C grep -rn` on the same tree in the
# same run: a literal with match case on and off and a regular expression,
# over a copy of /usr/include and a tree of 100,000 small files (see
# make_inputs.sh). Fails unless both find the same (file, line) pairs.
# Prints, per case: the rows; grep's and our median wall time over ROUNDS
# rounds, each round running ours and then grep, both as whole processes
# (ours starts the toolkit and a hidden frame; the dump of its rows for the
# comparison is taken out of its time and shown apart; grep writes its rows
# to a file, since against /dev/null it stops reading a file at its first
# match), and the median of the rounds' ratios with its range; our run as
# timed inside the program (from OK to the last row, no start-up); our time to the first row and longest
# event-loop stall (the worst of the rounds), peak memory, and the time a
# Cancel pressed 300 ms into the run takes to stop it.
#
#   bench/findfiles/run.sh BUILD_DIR [ROOT] [ROUNDS]
#
# ROOT defaults to /tmp/qel-fif, ROUNDS to 5. Runs itself under xvfb-run
# when there is no display. grep -r, like the walk, does not follow the
# links it meets inside the tree.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
build=${1:?usage: run.sh BUILD_DIR [ROOT] [ROUNDS]}
root=${2:-/tmp/qel-fif}
rounds=${3:-5}
if [ -z "${DISPLAY:-}" ]; then
    exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$build" "$root" "$rounds"
fi
bench=$(cd "$build" && pwd)/bench/findfiles/qel_findfiles_bench
lexers=$here/../../data/lexers.xml
[ -x "$bench" ] || { echo "build qel_findfiles_bench first" >&2; exit 2; }
"$here/make_inputs.sh" "$root" >/dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
. "$here/../timing.sh"

peak_kb() {
    /usr/bin/time -f '%M' -o "$work/mem" sh -c "exec $1" >/dev/null 2>&1
    tail -1 "$work/mem"
}

printf '%-28s %6s %6s %6s %16s %6s %6s %6s %6s %7s %7s %7s %6s\n' case rows grep ours "ratio (range)" \
    inside dump first stall "grep KB" "our KB" "run KB" cancel
status=0
run_case() { # tree, label, our options, grep options, pattern
    tree=$root/$1 label=$2 opts=$3 pattern=$5
    grep="env LC_ALL=C grep -rn -a $4 -e '$pattern' '$tree'"
    ours="'$bench' -l '$lexers' $opts '$pattern' '$tree' '$work/rows'"
    sh -c "$grep" | cut -d: -f1,2 | sort > "$work/grep"
    grep_kb=$(peak_kb "$grep")
    sh -c "$grep" >/dev/null 2>&1

    first=0 stall=0 peak=0 start=0
    : >"$work/times"
    i=0
    while [ $i -lt "$rounds" ]; do
        t0=$(now); set -- $(sh -c "$ours"); t1=$(now)
        # rows N wall W first F stall S stall_end E cancel C peak_kb P start_kb K dump D
        [ "$6" -gt "$first" ] && first=$6
        [ "$8" -gt "$stall" ] && stall=$8
        [ "${14}" -gt "$peak" ] && peak=${14} start=${16}
        rows=$2
        # The whole process less the dump of the rows, which the program
        # never does; grep writes its rows to a file, as a user's would.
        echo "$(( (t1 - t0) / 1000000 - ${18} )) $4 $(( $(wall_out_us "$grep" "$work/grep-out") / 1000 )) ${18}" >>"$work/times"
        i=$((i + 1))
    done
    set -- $(ratio_summary 1 3 <"$work/times")
    whole=$1 grep_ms=$2 ratio="$3 ($4-$5)"
    inside=$(ratio_summary 2 2 <"$work/times" | cut -d' ' -f1)
    dump=$(ratio_summary 4 4 <"$work/times" | cut -d' ' -f1)
    sort "$work/rows" > "$work/ours"
    if ! cmp -s "$work/ours" "$work/grep"; then
        echo "$label: the (file, line) pairs differ:" >&2
        diff "$work/grep" "$work/ours" | head -10 >&2
        status=1
    fi
    set -- $(sh -c "'$bench' -c 300 -l '$lexers' $opts '$pattern' '$tree' '$work/rows'")
    cancel=${12}
    [ "$cancel" = -1 ] && cancel="ended"
    printf '%-28s %6s %6s %6s %16s %6s %6s %6s %6s %7s %7s %7s %6s\n' "$label" "$rows" "$grep_ms" "$whole" \
        "$ratio" "$inside" "$dump" "$first" "$stall" "$grep_kb" "$peak" "$((peak - start))" "$cancel"
}

run_case include "include: wxString" "" "-F" wxString
run_case include "include: -i wxString" "-i" "-i -F" wxString
run_case include "include: -E wx[A-Z][a-z]+Ctrl" "-E" "-E" 'wx[A-Z][a-z]+Ctrl'
run_case gen "gen: Needle" "" "-F" Needle
run_case gen "gen: -i needle" "-i" "-i -F" needle
run_case gen "gen: -E Need[a-z]+" "-E" "-E" 'Need[a-z]+'
echo "largest file: include $(find "$root/include" -type f -printf '%s\n' | sort -n | tail -1) bytes," \
    "gen $(find "$root/gen" -type f -printf '%s\n' | sort -n | tail -1) bytes; load: $(cut -d' ' -f1-3 /proc/loadavg)"
exit $status
