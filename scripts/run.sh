#!/usr/bin/env bash
# Builds tindrel and starts it with the given arguments.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}

"$root/scripts/deps.sh"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=${BUILD_TYPE:-RelWithDebInfo}
cmake --build "$build" -j"$(nproc)" --target tindrel
exec "$build/tindrel" "$@"
