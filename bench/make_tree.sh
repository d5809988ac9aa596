#!/bin/sh
# Makes the traversal benchmark's input: a tree of 100,000 empty files in
# 2,221 folders (20 x 10 x 10 leaves of 50 files each, plus folders above),
# with mixed-case names and extensions. The same layout every time.
#
#   bench/make_tree.sh [FOLDER]      (default /tmp/qel-bench-tree)
set -eu
root=${1:-/tmp/qel-bench-tree}
if [ -e "$root.done" ]; then
    echo "$root exists"
    exit 0
fi
rm -rf "$root" "$root.done"
mkdir -p "$root"
cd "$root"
for a in $(seq -w 1 20); do
    for b in $(seq 0 9); do
        for c in $(seq 0 9); do
            mkdir -p "Top$a/sub$b/Leaf$c"
        done
    done
done
# 50 names per leaf folder: 10 stems x 5 extensions.
for dir in Top*/sub*/Leaf*; do
    for stem in alpha Beta gamma DELTA eps zeta Eta theta Iota kappa; do
        printf '%s\n' "$dir/$stem.cpp" "$dir/$stem.H" "$dir/$stem.txt" "$dir/$stem.Log" "$dir/$stem"
    done
done | xargs touch
touch "$root.done"
echo "$root: $(find "$root" -type f | wc -l) files"
