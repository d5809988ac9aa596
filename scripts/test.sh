#!/usr/bin/env bash
# Builds everything and runs every test; GUI tests get a virtual display.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}

"$root/scripts/deps.sh"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=${BUILD_TYPE:-RelWithDebInfo}
cmake --build "$build" -j"$(nproc)"

run=("$root/scripts/ctest.sh" "$build" "$@")
if [ -z "${DISPLAY:-}" ]; then
  # -noreset: the server must not reset between two test processes, when it
  # briefly has no client, or the next one may find no display.
  exec xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" "${run[@]}"
fi
exec "${run[@]}"
