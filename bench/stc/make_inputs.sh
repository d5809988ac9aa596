#!/bin/sh
# Makes the editor benchmark's inputs in FOLDER (default /tmp/qel-bench-stc),
# the same bytes every time:
#   big.c    about 50 MB of C functions (folds, keywords, comments, strings);
#   big.log  about 50 MB of log lines;
#   foo.txt  about 10 MB of words with 500,000 "foo" among them.
set -eu
dir=${1:-/tmp/qel-bench-stc}
mkdir -p "$dir"
cd "$dir"

[ -s big.c ] || awk 'BEGIN {
    for (i = 0; size < 50000000; ++i) {
        s = sprintf("/* function %d: adds its arguments */\nstatic int f%d(int a, int b)\n{\n    if (a > b) {\n        return a - b; // %d\n    }\n    printf(\"%%d\\n\", a + b);\n    return a + b;\n}\n\n", i, i, i);
        printf "%s", s; size += length(s);
    } }' > big.c

[ -s big.log ] || awk 'BEGIN {
    for (i = 0; size < 50000000; ++i) {
        s = sprintf("2026-12-06 10:%02d:%02d.%03d INFO worker-%d request %d served in %d ms\n", (i / 60000) % 60, (i / 1000) % 60, i % 1000, i % 16, i, (i * 7) % 500);
        printf "%s", s; size += length(s);
    } }' > big.log

[ -s foo.txt ] || awk 'BEGIN {
    for (i = 0; i < 500000; ++i) {
        printf "word%d foo x%d", i % 97, i;
        printf (i % 5 == 4) ? "\n" : " ";
    } }' > foo.txt

ls -l big.c big.log foo.txt
