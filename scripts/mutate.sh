#!/usr/bin/env bash
# Measures what the suite catches: applies each mutation of a list to the
# sources, one at a time, rebuilds incrementally and runs the tests; a
# mutation is killed when a test fails (or the build breaks: "invalid").
#
#   scripts/mutate.sh [list] [first-row [last-row]]
#
# The list (default tests/mutations/list.tsv) has one mutation a row, tab
# separated: file, line, original text, mutated text, and an optional note;
# "equivalent" in the note marks a mutation that cannot change behaviour,
# left out of the kill rate. The original text is looked for on the line
# given, then on the nearest line that holds it (within 40 lines), so the
# list survives small edits above it. Lines starting with "#" are comments.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build-mutate}
list=${1:-$root/tests/mutations/list.tsv}
first=${2:-1}
last=${3:-1000000}

"$root/scripts/deps.sh"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j"$(nproc)" >/dev/null

display=()
if [ -z "${DISPLAY:-}" ]; then
  display=(xvfb-run -a -s "-screen 0 1280x1024x24 -noreset")
fi

# apply FILE LINE ORIGINAL MUTATED: edits FILE in place; fails when the
# original text is not found near LINE.
apply() {
  python3 - "$@" <<'PY'
import sys
path, line, original, mutated = sys.argv[1], int(sys.argv[2]), sys.argv[3], sys.argv[4]
lines = open(path, encoding="utf-8").read().split("\n")
for distance in range(0, 41):
    for at in {line - 1 - distance, line - 1 + distance}:
        if 0 <= at < len(lines) and original in lines[at]:
            lines[at] = lines[at].replace(original, mutated, 1)
            open(path, "w", encoding="utf-8").write("\n".join(lines))
            sys.exit(0)
sys.exit(1)
PY
}

# An interrupted run must not leave a mutation in the sources.
src=
restore() {
  if [ -n "$src" ]; then
    cp -p "$build/mutation.orig" "$src"
    touch "$src"
    src=
  fi
}
trap restore EXIT
trap 'exit 130' INT TERM

killed=0 survived=0 invalid=0 equivalent=0 row=0
report=$build/mutations.txt
: >"$report"
while IFS=$'\t' read -r file line original mutated note || [ -n "$file" ]; do
  case "$file" in ''|'#'*) continue ;; esac
  row=$((row + 1))
  [ "$row" -lt "$first" ] || [ "$row" -gt "$last" ] && continue
  cp -p "$root/$file" "$build/mutation.orig"
  src=$root/$file
  verdict=
  if ! apply "$src" "$line" "$original" "$mutated"; then
    verdict=missing
  elif ! cmake --build "$build" -j"$(nproc)" >/dev/null 2>&1; then
    verdict=invalid
  elif (cd "$build" && timeout 900 "${display[@]}" ctest -j"$(nproc)" --stop-on-failure \
          --timeout 120 >/dev/null 2>&1); then
    verdict=survived
  else
    verdict=killed
  fi
  restore
  case "$note" in *equivalent*) [ "$verdict" = survived ] && verdict=equivalent ;; esac
  case "$verdict" in
    killed) killed=$((killed + 1)) ;;
    survived) survived=$((survived + 1)) ;;
    equivalent) equivalent=$((equivalent + 1)) ;;
    *) invalid=$((invalid + 1)) ;;
  esac
  printf '%3d %-10s %s:%s  %s -> %s\n' "$row" "$verdict" "$file" "$line" "$original" "$mutated" | tee -a "$report"
done <"$list"
cmake --build "$build" -j"$(nproc)" >/dev/null 2>&1 || true

counted=$((killed + survived))
rate=$(awk -v k="$killed" -v c="$counted" 'BEGIN { if (c) printf "%.1f", 100 * k / c; else print "n/a" }')
echo "killed $killed, survived $survived, equivalent $equivalent, missing or invalid $invalid: kill rate $rate%" \
  | tee -a "$report"
