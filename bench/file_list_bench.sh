#!/usr/bin/env bash
# CFileUtils::GetFileList (through `vutil ls --recursive`) on a generated tree of
# 100,000 files in 1,000 folders, beside `find <dir> -type f` and a
# std::filesystem::recursive_directory_iterator walk, in the same run. Prints the best
# of several interleaved runs: wall and CPU (user+sys) seconds, and the ratio to find
# (for the "*.htm" case, to a find that lists the same files).
#   bench/file_list_bench.sh [path/to/vutil]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
cli=${1:-$here/build/release/tools/vutil}
[ -x "$cli" ] || cli=$here/build/default/tools/vutil
[ -x "$cli" ] || { echo "build the vutil program first" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The std::filesystem reference, built here: it is a benchmark-only program.
cat > "$work/fswalk.cpp" <<'CPP'
#include <cstdio>
#include <filesystem>
int main(int, char** argv) {
    namespace fs = std::filesystem;
    for (const auto& e : fs::recursive_directory_iterator(argv[1]))
        if (e.is_regular_file()) std::printf("%s\n", e.path().c_str());
}
CPP
g++ -O2 -std=c++20 -o "$work/fswalk" "$work/fswalk.cpp"

python3 - "$work/tree" <<'PY'
import os, sys
root = sys.argv[1]
for top in range(10):
    for sub in range(100):
        d = os.path.join(root, f"top{top:02d}", f"folder{sub:03d}")
        os.makedirs(d)
        for f in range(100):
            ext = ("txt", "htm", "jpg", "cpp")[f % 4]
            open(os.path.join(d, f"file{f:03d}.{ext}"), "w").close()
PY

python3 - "$cli" "$work" <<'PY'
import resource, subprocess, sys, time
cli, work = sys.argv[1], sys.argv[2]
tree = work + "/tree"
cases = {
    "GetFileList (vutil ls -r --hidden)": [cli, "ls", tree, "--recursive", "--hidden"],
    "GetFileList, attributes read (vutil ls -r)": [cli, "ls", tree, "--recursive"],
    "find -type f": ["find", tree, "-type", "f"],
    "std::filesystem walk": [work + "/fswalk", tree],
    "*.htm, attributes read (ls -r --include)": [cli, "ls", tree, "--recursive", "--include", "*.htm"],
    "find -type f -name '*.htm'": ["find", tree, "-type", "f", "-name", "*.htm"],
}
# Each case's reference: the find that lists the same files.
refs = {name: "find -type f -name '*.htm'" if "htm" in name else "find -type f" for name in cases}
counts = {}
best = {name: [1e9, 1e9] for name in cases}
for round in range(7):
    for name, cmd in cases.items():
        before = resource.getrusage(resource.RUSAGE_CHILDREN)
        t0 = time.perf_counter()
        out = subprocess.run(cmd, stdout=subprocess.PIPE, check=True).stdout
        wall = time.perf_counter() - t0
        after = resource.getrusage(resource.RUSAGE_CHILDREN)
        cpu = (after.ru_utime - before.ru_utime) + (after.ru_stime - before.ru_stime)
        counts[name] = out.count(b"\n")
        best[name][0] = min(best[name][0], wall)
        best[name][1] = min(best[name][1], cpu)
print(f"{'case':46} {'files':>7} {'wall s':>8} {'cpu s':>8} {'wall/find':>9} {'cpu/find':>9}")
for name in cases:
    w, c = best[name]
    ref = best[refs[name]]
    print(f"{name:46} {counts[name]:7d} {w:8.3f} {c:8.3f} {w / ref[0]:9.2f} {c / ref[1]:9.2f}")
PY
