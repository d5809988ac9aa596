#!/bin/sh
# Makes the long-line benchmark's input in FOLDER (default
# /tmp/qel-bench-longline), the same bytes every time:
#   line20.txt  20,000,000 bytes of numbers and blanks, without a line end
#               (the numbers differ, so that neither editor measures a
#               piece of text it measured before).
set -eu
dir=${1:-/tmp/qel-bench-longline}
mkdir -p "$dir"
cd "$dir"
[ -s line20.txt ] || seq 1 3000000 | tr '\n' ' ' | head -c 20000000 > line20.txt
ls -l line20.txt
