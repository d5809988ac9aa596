#!/usr/bin/env bash
# Runs the tests of a build folder, the whole run bounded in time.
set -euo pipefail
build=$1
shift
cd "$build"
exec timeout "${TEST_TIMEOUT:-1200}" ctest --output-on-failure -j"$(nproc)" "$@"
