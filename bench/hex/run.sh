#!/bin/sh
# The hexadecimal view of 1, 10 and 50 MB of random data in a hidden editor:
# open time and peak memory, the dump checked against hexdump -C -v in its
# offset and byte columns, and hexdump writing the same dump timed beside.
#
#   xvfb-run -a bench/hex/run.sh BUILD_DIR [ROUNDS]
set -eu
build=${1:?usage: run.sh BUILD_DIR [ROUNDS]}
rounds=${2:-3}
here=$(cd "$(dirname "$0")/.." && pwd)
bench="$build/bench/hex/qel_hex_bench"
[ -x "$bench" ] || { echo "build qel_hex_bench first" >&2; exit 2; }
. "$here/timing.sh"
export HOME=$(mktemp -d)
work=$(mktemp -d)
trap 'rm -rf "$work" "$HOME"' EXIT

for mb in 1 10 50; do
  input="$work/random-$mb.bin"
  head -c $((mb * 1048576)) /dev/urandom >"$input"
  "$bench" "$input" "$work/dump" 2>"$work/log"
  grep "hex open" "$work/log"
  # Offset and byte columns; hexdump's closing offset line has no bytes.
  cut -c1-8,11-60 "$work/dump" >"$work/ours"
  hexdump -C -v "$input" | grep '^........  ' | cut -c1-8,11-60 >"$work/theirs"
  if cmp -s "$work/ours" "$work/theirs"; then same=same; else same=DIFFERENT; fi
  hd=$(best_us "hexdump -C -v '$input' >/dev/null")
  echo "$mb MB: dump $same as hexdump; hexdump -C -v alone $((hd / 1000)) ms"
done
