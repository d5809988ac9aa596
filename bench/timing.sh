# Shared by the benchmark scripts (sourced).
now() { date +%s%N; }

# Whole-process wall time of a shell command in microseconds.
wall_us() {
    t0=$(now); sh -c "$1" >/dev/null 2>&1; t1=$(now)
    echo $(( (t1 - t0) / 1000 ))
}

# Whole-process wall time in microseconds of a shell command whose output
# goes to a file, as a user's would: GNU grep writing to /dev/null stops
# reading a file at its first match, so a run against /dev/null times less
# work than the rows it would print.
wall_out_us() {
    t0=$(now); sh -c "$1" >"${2:-${TMPDIR:-/tmp}/qel-bench-out}" 2>/dev/null; t1=$(now)
    echo $(( (t1 - t0) / 1000 ))
}

# alternate ROUNDS A B [C...]: evaluates the shell commands A, B, ... in
# turn, A B A B ..., and prints per round the line of figures A printed
# followed by B's (and C's ...). Taking all in the same round keeps a drift
# of the machine's speed (other builds, the page cache, a CPU's clock) out
# of their ratio. They run in this shell, so they may call the functions of
# this file.
alternate() {
    _n=$1; shift; _i=0
    while [ $_i -lt "$_n" ]; do
        _row=""
        for _command in "$@"; do
            _r=$(eval "$_command") || return 1
            _row="$_row${_row:+ }$_r"
        done
        echo "$_row"
        _i=$((_i + 1))
    done
}

# The machine's load average over the last minute, as uptime gives it.
load_now() { cut -d' ' -f1 /proc/loadavg; }

# ratio_summary COLUMN_A COLUMN_B < ROWS: "median_a median_b ratio low high",
# the ratio being the median of the rounds' ratios a / b, low and high the
# smallest and largest of them.
ratio_summary() {
    awk -v x="$1" -v y="$2" '
        function median(v, n,   i, j, t) {
            for (i = 2; i <= n; ++i) for (j = i; j > 1 && v[j - 1] > v[j]; --j) { t = v[j]; v[j] = v[j - 1]; v[j - 1] = t }
            return n % 2 ? v[(n + 1) / 2] : (v[n / 2] + v[n / 2 + 1]) / 2
        }
        { ++n; a[n] = $x; b[n] = $y; r[n] = $y > 0 ? $x / $y : 0 }
        END {
            if (n == 0) exit 1
            ma = median(a, n); mb = median(b, n); mr = median(r, n)
            printf "%g %g %.2f %.2f %.2f\n", ma, mb, mr, r[1], r[n]
        }'
}

# The best wall time of a shell command in microseconds over $rounds runs,
# after one warm-up run (for a figure with no peer in the same round).

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

# start_window PATTERN COMMAND...: starts the command in the background and
# waits for a visible window of that very process (_NET_WM_PID) whose name
# matches the pattern, so that another program's window of that name cannot
# stop the clock. Sets pid, window and t_window (the time it showed); the
# start's time is t_start.
start_window() {
    pattern=$1; shift
    t_start=$(now)
    "$@" >/dev/null 2>&1 &
    pid=$!
    n=0
    until window=$(xdotool search --all --onlyvisible --pid $pid --name "$pattern" 2>/dev/null | head -1) \
        && [ -n "$window" ]; do
        sleep 0.005; n=$((n + 1))
        kill -0 $pid 2>/dev/null || {
            status=0; wait $pid || status=$?
            echo "$1 ended (status $status) before a window for $pattern" >&2; exit 1; }
        [ $n -lt 12000 ] || { echo "no window for $pattern" >&2; kill $pid; exit 1; }
    done
    t_window=$(now)
}

# The CPU time of process $pid in clock ticks (10 ms).
cpu_ticks() { awk '{print $14 + $15}' /proc/$pid/stat; }

# The CPU time of process $pid in microseconds, the whole process's: the
# kernel's CPU clock of the process (clock_getcpuclockid, to the
# nanosecond), which keeps the time of its threads that ended. A sum over
# /proc/PID/task drops a thread's time once it ends (GLib ends a worker
# thread 10 to 15 s after its last job, which took the figure at rest below
# zero), and /proc/PID/stat counts in ticks of 10 ms, too coarse for a few
# milliseconds at rest or after a key.
cpu_us() {
    perl -MTime::HiRes=clock_gettime -e '
        my $s = clock_gettime((~(0 + $ARGV[0]) << 3) | 2); # the process clock of a pid
        exit 1 if $s < 0;
        printf "%d\n", $s * 1e6' "$pid"
}

# Waits until the CPU time of process $pid stops growing for half a second.
settle() {
    last=-1
    while :; do
        sleep 0.5
        cpu=$(cpu_ticks)
        [ "$cpu" = "$last" ] && break
        last=$cpu
    done
}

# busy_until: after an action started at t_action with the CPU time
# cpu_action, waits until process $pid has been less than half busy for
# 300 ms, and prints "busy-ms cpu-ms": the wall time from the action to the
# end of its last busy 100 ms, and the CPU time taken meanwhile. A toolkit's
# animation that follows (GTK's overlay scroll bars fading, 20-30% of a
# processor) is not the action's work.
busy_until() {
    end=$t_action; prev=$cpu_action; quiet=0
    while [ $quiet -lt 3 ]; do
        sleep 0.1
        c=$(cpu_ticks); t=$(now)
        if [ $((c - prev)) -ge 5 ]; then end=$t; quiet=0; else quiet=$((quiet + 1)); fi
        prev=$c
    done
    echo $(( (end - t_action) / 1000000 )) $(( (prev - cpu_action) * 10 ))
}

# stop_program: ends process $pid (SIGTERM: the program quits without questions).
stop_program() { kill $pid 2>/dev/null; wait $pid 2>/dev/null || true; }

# measure_start PATTERN FIELD COMMAND...: starts the command, waits for its
# visible window whose name matches the pattern, then until the program's CPU
# time stops growing; prints "milliseconds-to-window kB", the kB being that
# field of /proc/PID/status (VmHWM, VmRSS), and ends the program (SIGTERM).
measure_start() {
    _pattern=$1; field=$2; shift 2
    start_window "$_pattern" "$@"
    settle
    kb=$(awk -v f="$field:" '$1 == f {print $2}' /proc/$pid/status)
    stop_program
    echo $(( (t_window - t_start) / 1000000 )) "$kb"
}

# The file's name as a pattern that matches it anywhere in a window title.
name_pattern() { basename "$1" | sed 's/\./\\./g'; }
