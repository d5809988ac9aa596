# Shared by the benchmark scripts (sourced): the best wall time of a shell
# command in microseconds over $rounds runs, after one warm-up run.
now() { date +%s%N; }

best_us() {
    sh -c "$1" >/dev/null 2>&1
    b=""
    i=0
    while [ $i -lt "$rounds" ]; do
        t0=$(now); sh -c "$1" >/dev/null 2>&1; t1=$(now)
        t=$(( (t1 - t0) / 1000 ))
        if [ -z "$b" ] || [ $t -lt "$b" ]; then b=$t; fi
        i=$((i + 1))
    done
    echo $b
}

# Holds a connection to the display for the whole run: a server started
# without -noreset (xvfb-run's default) resets whenever its last client
# leaves, and refuses a program that connects meanwhile, which then ends
# at once ("Unable to initialize GTK+"). Sets an EXIT trap.
hold_display() {
    xdotool search --sync --name "^no window has this name$" >/dev/null 2>&1 &
    holder=$!
    trap 'kill $holder 2>/dev/null' EXIT
}

# warm_up_display PROGRAM: one start of the program on a small file, ended
# once its window shows.
warm_up_display() {
    echo warm-up > "$HOME/warm-up.txt"
    measure_start "warm-up" VmRSS "$1" "$HOME/warm-up.txt" >/dev/null
}

# measure_start PATTERN FIELD COMMAND...: starts the command, waits for a
# visible window whose name matches the pattern, then until the program's CPU
# time stops growing; prints "milliseconds-to-window kB", the kB being that
# field of /proc/PID/status (VmHWM, VmRSS), and ends the program (SIGTERM).
measure_start() {
    pattern=$1; field=$2; shift 2
    t0=$(now)
    "$@" >/dev/null 2>&1 &
    pid=$!
    n=0
    until xdotool search --onlyvisible --name "$pattern" >/dev/null 2>&1; do
        sleep 0.005; n=$((n + 1))
        kill -0 $pid 2>/dev/null || {
            status=0; wait $pid || status=$?
            echo "$1 ended (status $status) before a window for $pattern" >&2; exit 1; }
        [ $n -lt 12000 ] || { echo "no window for $pattern" >&2; kill $pid; exit 1; }
    done
    t1=$(now)
    last=-1
    while :; do
        sleep 0.5
        cpu=$(awk '{print $14 + $15}' /proc/$pid/stat)
        [ "$cpu" = "$last" ] && break
        last=$cpu
    done
    kb=$(awk -v f="$field:" '$1 == f {print $2}' /proc/$pid/status)
    kill $pid; wait $pid 2>/dev/null || true
    echo $(( (t1 - t0) / 1000000 )) "$kb"
}

# The file's name as a pattern that matches it anywhere in a window title.
name_pattern() { basename "$1" | sed 's/\./\\./g'; }
