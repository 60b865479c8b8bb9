#!/usr/bin/env bash
# RecycleBin::GetContent (through `vutil bin list`) on a desktop trash of 20,000 items
# and an older-layout index file of 20,000 records, beside a Python reader of the same
# files in the same run. Prints the best of five interleaved runs (wall seconds) and
# the ratio to the reference.
#   bench/recycle_bin_bench.sh [path/to/vutil]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
cli=${1:-$here/build/release/tools/vutil}
[ -x "$cli" ] || cli=$here/build/default/tools/vutil
[ -x "$cli" ] || { echo "build the vutil program first" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/c" "$work/d" "$work/data"

python3 - "$work" <<'PY'
import os, struct, sys
work = sys.argv[1]
trash = work + "/data/Trash"
os.makedirs(trash + "/files"); os.makedirs(trash + "/info")
for i in range(20000):
    name = f"report {i:05d}.txt"
    open(f"{trash}/files/{name}", "w").write("x" * (i % 50 + 1))
    open(f"{trash}/info/{name}.trashinfo", "w").write(
        f"[Trash Info]\nPath={work}/c/docs/report%20{i:05d}.txt\nDeletionDate=2026-12-06T05:00:00\n")
user = work + "/d/RECYCLER/S-1-5-21-1"
os.makedirs(user)
with open(user + "/INFO2", "wb") as f:
    f.write(b"\x05" * 12 + struct.pack("<I", 800) + b"\0" * 4)
    for i in range(20000):
        path = f"D:\\docs\\old {i:05d}.txt".encode()
        f.write(path.ljust(260, b"\0") + struct.pack("<II", i, 3) + b"\0" * (800 - 268))
        open(f"{user}/DD{i}.txt", "w").write("y")
PY

cat > "$work/ref.py" <<'PY'
# The reference: the same two bins read with the standard library.
import os, struct, sys, urllib.parse
work = sys.argv[1]
out = []
user = work + "/d/RECYCLER/S-1-5-21-1/"
with open(user + "INFO2", "rb") as f:
    f.read(12); size = struct.unpack("<I", f.read(4))[0]; f.read(4)
    while True:
        rec = f.read(size)
        if len(rec) < 268: break
        path = rec[:260].split(b"\0")[0].decode("latin-1")
        idx, drv = struct.unpack("<II", rec[260:268])
        ext = os.path.splitext(path.replace("\\", "/"))[1]
        stored = f"{user}D{chr(65 + drv)}{idx}{ext}"
        if os.path.exists(stored): out.append(f"{path}\t{stored}")
trash = work + "/data/Trash"
for name in sorted(os.listdir(trash + "/info")):
    if not name.endswith(".trashinfo"): continue
    for line in open(f"{trash}/info/{name}", encoding="utf-8"):
        if line.startswith("Path="):
            out.append(urllib.parse.unquote(line[5:].strip()) + "\t" + f"{trash}/files/{name[:-10]}")
sys.stdout.write("\n".join(out) + "\n")
PY

export VUTIL_DRIVES="C=$work/c;D=$work/d" XDG_DATA_HOME="$work/data"
python3 - "$cli" "$work" <<'PY'
import subprocess, sys, time
cli, work = sys.argv[1], sys.argv[2]
cases = {"GetContent (vutil bin list)": [cli, "bin", "list"], "Python reader": ["python3", work + "/ref.py", work]}
best, counts = {}, {}
for _ in range(5):
    for name, cmd in cases.items():
        t0 = time.perf_counter()
        out = subprocess.run(cmd, stdout=subprocess.PIPE, check=True).stdout
        best[name] = min(best.get(name, 1e9), time.perf_counter() - t0)
        counts[name] = out.count(b"\n")
ref = best["Python reader"]
for name in cases:
    print(f"{name:32s} {counts[name]:6d} items  {best[name]:.3f} s  ratio {best[name] / ref:.2f}")
PY
