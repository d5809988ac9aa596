#!/bin/sh
# Makes the long-line benchmark's inputs in FOLDER (default
# /tmp/qel-bench-longline), the same bytes every time: numbers and blanks
# without a line end (the numbers differ, so that neither editor measures a
# piece of text it measured before), of
#   line20.txt   20,000,000 bytes;
#   line64.txt   67,108,864 bytes, the longest line the program opens;
#   line512k.txt 524,288 bytes, the heaviest line it shows as text.
set -eu
dir=${1:-/tmp/qel-bench-longline}
mkdir -p "$dir"
cd "$dir"
numbers() { seq 1 12000000 | tr '\n' ' ' | head -c "$1"; }
[ -s line20.txt ] || numbers 20000000 > line20.txt
[ -s line64.txt ] || numbers 67108864 > line64.txt
[ -s line512k.txt ] || numbers 524288 > line512k.txt
ls -l line20.txt line64.txt line512k.txt
