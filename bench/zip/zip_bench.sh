#!/usr/bin/env bash
# `vutil zip` / `vutil unzip` on a generated 200 MB mixed tree (text, source-like files,
# random bytes, already-packed .gz files, many small files), beside Info-ZIP in the
# same run: `zip -r` at level 8 (the library's fixed level) and at -6, and `unzip`.
# Prints the best of three runs per tool: wall and CPU seconds, MB/s and the speed
# ratios (reference time / library time; 1.0 = as fast, above 1 = faster).
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

# Best of three runs: wall seconds and CPU seconds (user + system). On a shared machine
# the CPU time is the steadier measure; both ratios are printed.
best() {
  local t bw="" bc=""
  for _ in 1 2 3; do
    rm -rf "$work/out" "$work/x.zip"; sync
    t=$( { TIMEFORMAT='%R %U %S'; time bash -c "$1" >/dev/null 2>&1; } 2>&1 | tail -1)
    read -r w u s <<<"$t"
    c=$(awk -v u="$u" -v s="$s" 'BEGIN{print u + s}')
    if [ -z "$bw" ] || awk "BEGIN{exit !($w < $bw)}"; then bw=$w; fi
    if [ -z "$bc" ] || awk "BEGIN{exit !($c < $bc)}"; then bc=$c; fi
  done
  echo "$bw $bc"
}
cd "$work"
lib_zip=$(best "'$cli' zip x.zip tree")
ref_zip8=$(best "zip -q -8 -r x.zip tree")
ref_zip6=$(best "zip -q -6 -r x.zip tree")
"$cli" zip lib.zip tree; zip -q -6 -r ref.zip tree
lib_unzip=$(best "'$cli' unzip lib.zip out")
ref_unzip=$(best "unzip -q ref.zip -d out")
# The library's archive must come back whole, and Info-ZIP must agree it is sound.
"$cli" unzip lib.zip check && diff -r tree check/tree && unzip -tq lib.zip >/dev/null
echo "tree: $mb MB; lib archive $(du -m lib.zip | cut -f1) MB, zip -6 archive $(du -m ref.zip | cut -f1) MB"
printf "%-24s %8s %8s %9s %10s %10s\n" "" "wall s" "CPU s" "MB/s" "ratio wall" "ratio CPU"
row() {  # name, "wall cpu" of the case, "wall cpu" of its reference
  awk -v n="$1" -v a="$2" -v r="$3" -v mb="$mb" 'BEGIN{split(a, x, " "); split(r, y, " ");
    printf "%-24s %8.2f %8.2f %9.1f %10.2f %10.2f\n", n, x[1], x[2], mb / x[1], y[1] / x[1], y[2] / x[2]}'
}
row "vutil zip (level 8)" "$lib_zip" "$ref_zip8"
row "  vs zip -6" "$lib_zip" "$ref_zip6"
row "zip -8 -r" "$ref_zip8" "$ref_zip8"
row "zip -6 -r" "$ref_zip6" "$ref_zip6"
row "vutil unzip" "$lib_unzip" "$ref_unzip"
row "unzip" "$ref_unzip" "$ref_unzip"
