#!/usr/bin/env bash
# `vutil icons` beside icoutils on the same executable: a program linked by the
# mingw-w64 binutils with 300 icon groups (16, 32 and 48 pixels, 32-bit), all PNGs
# written. The reference is `wrestool -x -t 14` (every group as an .ico) followed by
# `icotool -x` of each group's 32-pixel image. Installs its references (icoutils,
# binutils-mingw-w64-x86-64) when missing; checks both found the same groups; prints
# the best of five interleaved runs and the ratio.
#   bench/icons_peer.sh [path/to/vutil]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
cli=${1:-$here/build/release/tools/vutil}
[ -x "$cli" ] || cli=$here/build/default/tools/vutil
[ -x "$cli" ] || { echo "build the vutil program first" >&2; exit 1; }
need=()
command -v wrestool >/dev/null || need+=(icoutils)
command -v x86_64-w64-mingw32-windres >/dev/null || need+=(binutils-mingw-w64-x86-64)
if [ ${#need[@]} -gt 0 ]; then
  sudo_cmd=""; [ "$(id -u)" -eq 0 ] || sudo_cmd="sudo"
  $sudo_cmd apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq "${need[@]}" >/dev/null
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
groups=300

python3 - "$work" "$groups" <<'PY'
import os, struct, sys
work, groups = sys.argv[1], int(sys.argv[2])
def image(side, seed):
    head = struct.pack('<IiiHHIIiiII', 40, side, side * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    px = bytes(((x * 7 + y * 3 + seed) % 256 if c < 3 else 255) for y in range(side) for x in range(side) for c in range(4))
    return head + px + bytes(((side + 31) // 32 * 4) * side)
rc = []
for g in range(groups):
    imgs = [image(s, g) for s in (16, 32, 48)]
    out, off = struct.pack('<HHH', 0, 1, 3), 6 + 16 * 3
    for s, data in zip((16, 32, 48), imgs):
        out += struct.pack('<BBBBHHII', s, s, 0, 0, 1, 32, len(data), off); off += len(data)
    open(os.path.join(work, f'i{g}.ico'), 'wb').write(out + b''.join(imgs))
    rc.append(f'{g + 1} ICON "i{g}.ico"')
open(os.path.join(work, 'r.rc'), 'w').write('\n'.join(rc) + '\n')
open(os.path.join(work, 'pp.sh'), 'w').write('#!/bin/sh\nfor a; do f="$a"; done; cat "$f"\n')
open(os.path.join(work, 's.s'), 'w').write('.globl start\n.text\nstart:\n ret\n')
PY
(cd "$work" && chmod +x pp.sh && x86_64-w64-mingw32-windres --preprocessor=./pp.sh r.rc -O coff -o r.o &&
 x86_64-w64-mingw32-as s.s -o s.o && x86_64-w64-mingw32-ld -e start -o app.exe s.o r.o)

python3 - "$cli" "$work" "$groups" <<'PY'
import os, shutil, subprocess, sys, time
cli, work, groups = sys.argv[1], sys.argv[2], int(sys.argv[3])
exe = os.path.join(work, 'app.exe')
def fresh(name):
    d = os.path.join(work, name); shutil.rmtree(d, ignore_errors=True); os.makedirs(d); return d
def ours():
    d = fresh('ours')
    subprocess.run([cli, 'icons', exe, d], check=True, stdout=subprocess.DEVNULL)
    return len(os.listdir(d))
def reference():
    d = fresh('ref')
    subprocess.run(['wrestool', '-x', '-t', '14', '-o', d, exe], check=True)
    icos = sorted(os.listdir(d))
    for ico in icos:
        subprocess.run(['icotool', '-x', '-w', '32', '-h', '32', '-o', d, os.path.join(d, ico)], check=True)
    return len(icos)
best = {'lib': 1e9, 'ref': 1e9}
for _ in range(5):
    for name, fn in (('lib', ours), ('ref', reference)):
        t = time.perf_counter(); n = fn(); best[name] = min(best[name], time.perf_counter() - t)
        if n != groups: sys.exit(f'{name} found {n} groups, expected {groups}')
size = os.path.getsize(exe) / 1e6
print(f'{groups} icon groups in a {size:.1f} MB executable, one PNG per group')
print(f'vutil icons        {best["lib"]*1000:8.1f} ms  {groups/best["lib"]:8.0f} groups/s')
print(f'wrestool + icotool {best["ref"]*1000:8.1f} ms  {groups/best["ref"]:8.0f} groups/s')
print(f'ratio lib/ref      {best["lib"]/best["ref"]:8.3f}')
PY
