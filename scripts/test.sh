#!/usr/bin/env bash
# Builds everything and runs every test; GUI tests get a virtual display.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}

"$root/scripts/deps.sh"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=${BUILD_TYPE:-RelWithDebInfo}
cmake --build "$build" -j"$(nproc)"

jobs=$(nproc)
run_ctest() {
  cd "$build" && timeout ${TEST_TIMEOUT:-1200} ctest --output-on-failure -j"$jobs" "$@"
}
if [ -z "${DISPLAY:-}" ]; then
  export -f run_ctest
  export build jobs
  xvfb-run -a -s "-screen 0 1280x1024x24" bash -c 'run_ctest "$@"' _ "$@"
else
  run_ctest "$@"
fi
