#!/usr/bin/env bash
# Fuzzes the readers of outside input (tests/fuzz/drivers.cpp: projects,
# lexers.xml, vcs.xml, vi mode lines, the command line) with clang's
# libFuzzer under the address and undefined-behaviour sanitizers, each for
# SECONDS (default 10), from the committed corpus and the shipped data files,
# and prints how many inputs each one ran. A crash, a sanitizer report or a
# hang fails, with the input kept under the build folder.
#
#   scripts/fuzz.sh [SECONDS]        FUZZ_RUNS=N runs N inputs each instead
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build-fuzz}
seconds=${1:-10}

if ! command -v clang++ >/dev/null || ! echo 'int main(){}' \
    | clang++ -x c++ -fsanitize=fuzzer-no-link - -o /dev/null 2>/dev/null; then
  [ "$(id -u)" -eq 0 ] || { echo "install clang and libclang-rt-dev for libFuzzer" >&2; exit 1; }
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends clang libclang-rt-dev
fi
"$root/scripts/deps.sh"

drivers=(project lexers vcs modeline cmdline)
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
  -DQEL_FUZZ=ON >/dev/null
cmake --build "$build" -j3 --target "${drivers[@]/#/qel_fuzz_}"

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=0}
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
limit=(-max_total_time="$seconds")
[ -n "${FUZZ_RUNS:-}" ] && limit=(-runs="$FUZZ_RUNS")
mkdir -p "$build/fuzz-artifacts"
for d in "${drivers[@]}"; do
  # What the run finds goes to a folder of its own, not into the corpus.
  work=$(mktemp -d)
  case $d in lexers | vcs) cp "$root/data/$d.xml" "$work/" ;; esac
  if ! out=$("$build/tests/fuzz/qel_fuzz_$d" "${limit[@]}" -timeout=10 -rss_limit_mb=2048 \
      -artifact_prefix="$build/fuzz-artifacts/$d-" "$work" "$root/tests/fuzz/corpus/$d" 2>&1); then
    echo "$out" | tail -40
    echo "$d: FAILED" >&2
    rm -rf "$work"
    exit 1
  fi
  echo "$d: $(echo "$out" | sed -n 's/^Done \([0-9]*\) runs.*/\1/p') inputs, no crash"
  rm -rf "$work"
done
