#!/bin/sh
# Makes the inputs of the find in files benchmark, once:
#   ROOT/include  a copy of /usr/include, links kept as links;
#   ROOT/gen      100,000 small text files (1 to 3 KB of C-like lines) in
#                 1,000 folders of 100; "needle" on one line in 1 file of
#                 10, "Needle" on one line in 1 file of 100. The same
#                 bytes every time.
#
#   bench/findfiles/make_inputs.sh [ROOT]      (default /tmp/qel-fif)
set -eu
root=${1:-/tmp/qel-fif}
mkdir -p "$root"
if [ ! -e "$root/include.done" ]; then
    rm -rf "$root/include"
    cp -a /usr/include "$root/include"
    touch "$root/include.done"
fi
if [ ! -e "$root/gen.done" ]; then
    rm -rf "$root/gen"
    python3 - "$root/gen" <<'PY'
import os, random, sys
root = sys.argv[1]
rnd = random.Random(12)
words = ["int", "return", "value", "static", "const", "char", "buffer", "count",
         "index", "struct", "void", "size_t", "while", "for", "if", "else"]
for d in range(1000):
    folder = os.path.join(root, "d%03d" % (d // 100), "s%02d" % (d % 100))
    os.makedirs(folder, exist_ok=True)
    for f in range(100):
        n = d * 100 + f
        lines = []
        for i in range(rnd.randint(30, 90)):
            lines.append("    " + " ".join(rnd.choice(words) for _ in range(rnd.randint(3, 8))) + ";")
        if n % 10 == 0:
            lines[rnd.randrange(len(lines))] += " /* needle */"
        if n % 100 == 7:
            lines[rnd.randrange(len(lines))] += " // Needle"
        with open(os.path.join(folder, "f%03d.c" % f), "w") as out:
            out.write("\n".join(lines) + "\n")
PY
    touch "$root/gen.done"
fi
for t in include gen; do
    echo "$root/$t: $(find "$root/$t" -type f | wc -l) files, $(du -sh "$root/$t" | cut -f1)"
done
