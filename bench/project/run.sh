#!/bin/sh
# A project of FILES files (default 50,000) loaded, saved and followed in a
# hidden frame on a virtual display, and the same tree added through
# AddItems, counted against find; QEL_LEXERS= (empty) runs without lexers:
#
#   bench/project/run.sh BUILD_DIR [FILES] [ROUNDS]
set -eu
build=${1:?usage: run.sh BUILD_DIR [FILES] [ROUNDS]}
files=${2:-50000}
rounds=${3:-5}
bench="$build/bench/project/qel_project_bench"
[ -x "$bench" ] || { echo "build qel_project_bench first: cmake --build $build --target qel_project_bench" >&2; exit 2; }

here=$(cd "$(dirname "$0")" && pwd)
# The application's lexers: every file name looks its lexer up.
export QEL_LEXERS=${QEL_LEXERS-$here/../../data/lexers.xml}
prj=$("$here/make_project.sh" "$files")
tree=$(dirname "$prj")/tree
t0=$(date +%s%N)
found=$(find "$tree" -type f | wc -l)
t1=$(date +%s%N)
echo "find -type f | wc -l: $found files in $(( (t1 - t0) / 1000000 )) ms"
echo "project: $prj ($(grep -c '<file>' "$prj") files, $(grep -c '<folder' "$prj") folders)"
if [ -n "${DISPLAY:-}" ]; then
  exec "$bench" "$prj" "$tree" "$found" "$rounds"
fi
exec xvfb-run -a -s "-screen 0 1280x1024x24" "$bench" "$prj" "$tree" "$found" "$rounds"
