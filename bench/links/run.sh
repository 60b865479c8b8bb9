#!/usr/bin/env bash
# Link checking speed: `vutil links check --jobs 8` beside Debian's linkchecker (8
# threads) over one generated site of 2,000 pages and 20,000 links, whose remote links
# go to the same site served on 127.0.0.1. Prints both times, the ratio and every
# difference between the broken links the two found.
#
#   bench/links/run.sh [path-to-vutil] [pages] [links-per-page]
set -euo pipefail
cd "$(dirname "$0")/../.."
repo="$(pwd)"
pages="${2:-2000}"
per_page="${3:-10}"

if [ -n "${1:-}" ]; then
  vutil="$(realpath "$1")"
else
  scripts/ensure-deps.sh
  cmake --preset default >/dev/null
  cmake --build --preset default --target vutil_cli >/dev/null
  vutil="$repo/build/default/tools/vutil"
fi
# The reference is installed for this benchmark only.
if ! command -v linkchecker >/dev/null; then
  sudo_cmd=""
  [ "$(id -u)" -eq 0 ] || sudo_cmd="sudo"
  $sudo_cmd apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq linkchecker >/dev/null
fi

scratch="$(mktemp -d)"
chmod 755 "$scratch"  # linkchecker run as root reads the site as "nobody"
server_pid=""
cleanup() {
  exec 3>&- 2>/dev/null || true
  [ -n "$server_pid" ] && wait "$server_pid" 2>/dev/null || true
  rm -rf "$scratch"
}
trap cleanup EXIT
site="$scratch/site"
mkdir -p "$site"
mkfifo "$scratch/server-in"
python3 scripts/links-server.py --root "$site" --unthrottled <"$scratch/server-in" >"$scratch/port" &
server_pid=$!
exec 3>"$scratch/server-in"  # the server runs until this closes
for _ in $(seq 100); do [ -s "$scratch/port" ] && break; sleep 0.1; done
port="$(head -1 "$scratch/port")"
python3 bench/links/make_site.py "$site" "$port" "$pages" "$per_page" >"$scratch/planted.tsv"
chmod -R a+rX "$site"
links=$(grep -o 'href="' "$site"/*.html | wc -l)
echo "site: $pages pages, $links links, $(wc -l <"$scratch/planted.tsv") planted broken links; server on 127.0.0.1:$port"

now() { date +%s.%N; }
t0=$(now)
"$vutil" links check "$site" --recursive --external --jobs 8 --format csv >"$scratch/vutil.csv" 2>"$scratch/vutil.err" || true
t1=$(now)
cat >"$scratch/linkcheckerrc" <<EOF
[checking]
threads=8
maxrequestspersecond=1000
[filtering]
checkextern=1
[AnchorCheck]
EOF
linkchecker -f "$scratch/linkcheckerrc" --no-status -o csv "file://$site/index.html" >"$scratch/linkchecker.csv" 2>"$scratch/linkchecker.err" || true
t2=$(now)

python3 - "$site" "$scratch/vutil.csv" "$scratch/linkchecker.csv" "$scratch/planted.tsv" "$t0" "$t1" "$t2" <<'EOF'
import csv, sys, urllib.parse
site, vutil_csv, lc_csv, planted_tsv = sys.argv[1:5]
t0, t1, t2 = map(float, sys.argv[5:8])
base = "file://" + site + "/"

def absolute(page, link):
    return urllib.parse.urljoin(base + page, link)

vutil = {}
with open(vutil_csv, newline="") as f:
    for row in csv.DictReader(f):
        code = int(row["code"])
        if code != 0 and not 200 <= code <= 399:
            vutil.setdefault(absolute(row["page"], row["link"]), (code, row["title"]))
lc = {}
with open(lc_csv, newline="") as f:
    lines = [l for l in f if not l.startswith("#")]
for row in csv.DictReader(lines, delimiter=";"):
    anchor_missing = "Anchor" in (row.get("warningstring") or "") and "not found" in row["warningstring"]
    if row["valid"] == "False" or anchor_missing:
        lc.setdefault(row["url"], row["result"] or row["warningstring"].split(".")[0])
planted = {absolute(p, l): kind for p, l, kind in (line.rstrip("\n").split("\t") for line in open(planted_tsv))}

vt, lt = t1 - t0, t2 - t1
print("vutil links check --jobs 8: %8.2f s  (%d distinct broken targets)" % (vt, len(vutil)))
print("linkchecker -t 8:           %8.2f s  (%d distinct broken targets)" % (lt, len(lc)))
print("ratio vutil / linkchecker:  %8.3f  (target: at most 0.5)" % (vt / lt if lt else float("nan")))
print("planted broken targets: %d; found by vutil %d, by linkchecker %d" % (
    len(planted), len(set(planted) & set(vutil)), len(set(planted) & set(lc))))
reasons = {
    10013: "a page linking to itself: vutil reports the self-reference, linkchecker accepts it",
    10010: "file name in another case: vutil names the case mismatch",
}
only_v = sorted(set(vutil) - set(lc))
only_l = sorted(set(lc) - set(vutil))
print("differences: %d only in vutil, %d only in linkchecker" % (len(only_v), len(only_l)))
for url in only_v:
    code, title = vutil[url]
    print("  vutil only: %s  %d %s -- %s" % (url, code, title, reasons.get(code, "see the code's explanation")))
for url in only_l:
    print("  linkchecker only: %s  %s" % (url, lc[url]))
EOF
