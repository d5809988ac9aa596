#!/usr/bin/env bash
# Builds everything with coverage counters in a folder of its own, runs every
# test there and prints line and function coverage per folder of the sources.
# Arguments go to ctest (e.g. -R Vi to measure what one group of tests runs).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build-coverage}

"$root/scripts/deps.sh" gcovr
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Debug \
  -DCMAKE_CXX_FLAGS="--coverage -fprofile-update=atomic" -DCMAKE_EXE_LINKER_FLAGS=--coverage
cmake --build "$build" -j"$(nproc)"

# Counters of an earlier run would add up with this one's.
find "$build" -name '*.gcda' -delete
run=("$root/scripts/ctest.sh" "$build" "$@")
if [ -z "${DISPLAY:-}" ]; then
  xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" "${run[@]}" || true
else
  "${run[@]}" || true
fi

# gcovr replaces its output file rather than writing into it: it is given a
# file of the build folder, never a device.
report() { # folder filter...
  local name=$1
  shift
  printf '%-14s' "$name"
  gcovr --root "$root" --object-directory "$build" "$@" --exclude-unreachable-branches \
    --print-summary --output "$build/coverage.txt" 2>/dev/null | awk '/^(lines|functions):/ {printf "  %s %s %s/%s", $1, $2, substr($3, 2), substr($6, 1, length($6) - 1)} END {print ""}'
}
cd "$build"
report "src/" --filter "$root/src/[^/]*$" --filter "$root/include/qelkit/[^/]*$"
report "src/report/" --filter "$root/src/report/" --filter "$root/include/qelkit/report/"
report "app/" --filter "$root/app/"
report "all" --filter "$root/src/" --filter "$root/include/" --filter "$root/app/"
