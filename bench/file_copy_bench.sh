#!/usr/bin/env bash
# CFileUtils::CopyFileA (through `vutil cp`: temporary file, fsync, rename) beside
# GNU `cp` followed by `sync -f` on the copy (the same durability), on a 256 MiB file
# and on 500 files of 16 KiB. Prints the best of five interleaved runs and the ratio.
#   bench/file_copy_bench.sh [path/to/vutil]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
cli=${1:-$here/build/release/tools/vutil}
[ -x "$cli" ] || cli=$here/build/default/tools/vutil
[ -x "$cli" ] || { echo "build the vutil program first" >&2; exit 1; }
work=$(mktemp -d "${TMPDIR:-/tmp}/vutil-copy-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT
head -c $((256 << 20)) /dev/urandom > "$work/big.bin"
mkdir "$work/small"
python3 - "$work/small" <<'PY'
import os, sys
for i in range(500):
    with open(os.path.join(sys.argv[1], f"f{i:04d}.bin"), "wb") as f:
        f.write(os.urandom(16384))
PY

python3 - "$cli" "$work" <<'PY'
import glob, os, subprocess, sys, time
cli, work = sys.argv[1], sys.argv[2]
small = sorted(glob.glob(work + "/small/*.bin"))

def big_lib():
    subprocess.run([cli, "cp", work + "/big.bin", work + "/out.bin"], check=True)
def big_ref():
    subprocess.run(["cp", work + "/big.bin", work + "/out.bin"], check=True)
    subprocess.run(["sync", "-f", work + "/out.bin"], check=True)
def small_lib():
    for f in small:
        subprocess.run([cli, "cp", f, work + "/out.bin"], check=True)
def small_ref():
    for f in small:
        subprocess.run(["cp", f, work + "/out.bin"], check=True)
        subprocess.run(["sync", "-f", work + "/out.bin"], check=True)

cases = [("256 MiB file", big_lib, big_ref, 256), ("500 x 16 KiB", small_lib, small_ref, 500 * 16 / 1024)]
for name, lib, ref, mib in cases:
    best = [1e9, 1e9]
    for _ in range(5):
        for i, fn in enumerate((lib, ref)):
            t0 = time.perf_counter()
            fn()
            best[i] = min(best[i], time.perf_counter() - t0)
    print(f"{name:16s} vutil cp {best[0]:7.3f} s ({mib / best[0]:8.1f} MiB/s)   "
          f"cp+sync {best[1]:7.3f} s ({mib / best[1]:8.1f} MiB/s)   ratio {best[0] / best[1]:.2f}")
PY
