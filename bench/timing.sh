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
