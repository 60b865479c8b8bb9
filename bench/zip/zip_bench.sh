#!/usr/bin/env bash
# `vutil zip` / `vutil unzip` on a generated 200 MB mixed tree (text, source-like files,
# random bytes, already-packed .gz files, many small files), beside Info-ZIP in the
# same run: `zip -r` at level 8 (the library's fixed level) and at -6, and `unzip`.
# Prints the best of three runs per tool: wall seconds, MB/s and the speed ratio
# (reference time / library time; 1.0 = as fast, above 1 = faster).
#   bench/zip/zip_bench.sh [path/to/vutil]
set -euo pipefail
here=$(cd "$(dirname "$0")/../.." && pwd)
cli=${1:-$here/build/release/tools/vutil}
[ -x "$cli" ] || cli=$here/build/default/tools/vutil
[ -x "$cli" ] || { echo "build the vutil program first" >&2; exit 1; }
# The references are benchmark-only packages.
if ! command -v zip >/dev/null || ! command -v unzip >/dev/null; then
  sudo_cmd=""; [ "$(id -u)" -eq 0 ] || sudo_cmd="sudo"
  $sudo_cmd apt-get install -y -qq zip unzip >/dev/null
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

python3 - "$work/tree" <<'PY'
import gzip, os, random, sys
root = sys.argv[1]; rnd = random.Random(7)
words = [''.join(rnd.choice('abcdefghijklmnopqrstuvwxyz') for _ in range(rnd.randint(2, 9))) for _ in range(5000)]
def text(n):
    out, size = [], 0
    while size < n:
        line = ' '.join(rnd.choice(words) for _ in range(rnd.randint(4, 14))) + '\n'
        out.append(line); size += len(line)
    return ''.join(out).encode()[:n]
total = 0
for d in range(20):
    folder = os.path.join(root, f"dir{d:02d}", "sub"); os.makedirs(folder)
    for f in range(200):                       # many small files: 200 * 20 * ~4 KB
        data = text(rnd.randint(100, 8000)); total += len(data)
        open(os.path.join(folder, f"note{f:03d}.txt"), 'wb').write(data)
    data = text(7_000_000); total += len(data)  # large text
    open(os.path.join(root, f"dir{d:02d}", "book.txt"), 'wb').write(data)
    data = rnd.randbytes(2_000_000); total += len(data)  # incompressible
    open(os.path.join(root, f"dir{d:02d}", "noise.bin"), 'wb').write(data)
    data = gzip.compress(text(1_500_000), 6); total += len(data)  # packed: stored by both
    open(os.path.join(root, f"dir{d:02d}", "old.gz"), 'wb').write(data)
print(f"tree: {total / 1e6:.0f} MB")
PY
mb=$(du -sm --apparent-size "$work/tree" | cut -f1)

best() {  # best wall time of three runs of a command
  local t b=""
  for _ in 1 2 3; do
    rm -rf "$work/out" "$work/x.zip"; sync
    t=$( { TIMEFORMAT=%R; time bash -c "$1" >/dev/null 2>&1; } 2>&1 | tail -1)
    if [ -z "$b" ] || awk "BEGIN{exit !($t < $b)}"; then b=$t; fi
  done
  echo "$b"
}
cd "$work"
lib_zip=$(best "'$cli' zip x.zip tree")
ref_zip8=$(best "zip -q -8 -r x.zip tree")
ref_zip6=$(best "zip -q -6 -r x.zip tree")
"$cli" zip lib.zip tree; zip -q -6 -r ref.zip tree
lib_unzip=$(best "'$cli' unzip lib.zip out")
ref_unzip=$(best "unzip -q ref.zip -d out")
row() { awk -v n="$1" -v t="$2" -v r="$3" -v mb="$mb" 'BEGIN{printf "%-26s %7.2f s %8.1f MB/s   ratio %.2f\n", n, t, mb/t, r/t}'; }
echo "tree: $mb MB; lib archive $(du -m lib.zip | cut -f1) MB, zip -6 archive $(du -m ref.zip | cut -f1) MB"
row "vutil zip (level 8)" "$lib_zip" "$ref_zip8"
row "zip -8 -r (reference)" "$ref_zip8" "$ref_zip8"
row "zip -6 -r (reference)" "$ref_zip6" "$ref_zip6"
echo "vutil zip vs zip -6: ratio $(awk -v a="$ref_zip6" -v b="$lib_zip" 'BEGIN{printf "%.2f", a/b}')"
row "vutil unzip" "$lib_unzip" "$ref_unzip"
row "unzip (reference)" "$ref_unzip" "$ref_unzip"
