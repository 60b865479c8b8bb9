#!/usr/bin/env bash
# The X clipboard round trip: `vutil clip copy` then `vutil clip paste` of a text,
# beside `xclip -i` then `xclip -o`, on a private Xvfb display started here. Each
# side runs the pair N times (default 100); prints the time per round trip and the
# ratio to xclip. The text is checked on both sides.
#   bench/clipboard_bench.sh [path/to/vutil] [N]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
cli=${1:-$here/build/release/tools/vutil}
[ -x "$cli" ] || cli=$here/build/default/tools/vutil
[ -x "$cli" ] || { echo "build the vutil program first" >&2; exit 1; }
n=${2:-100}
command -v Xvfb >/dev/null && command -v xclip >/dev/null || { echo "needs Xvfb and xclip" >&2; exit 1; }
work=$(mktemp -d)
Xvfb -displayfd 9 -nolisten tcp 9>"$work/display" >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null; rm -rf "$work"' EXIT
until grep -q . "$work/display" 2>/dev/null; do sleep 0.05; done
export DISPLAY=:$(head -1 "$work/display")
unset VUTIL_CLIPBOARD
text="clipboard round trip $(date +%s)"

lib() {
    for ((i = 0; i < n; i++)); do
        "$cli" clip copy "$text"
        [ "$("$cli" clip paste)" = "$text" ] || { echo "vutil paste differs" >&2; exit 1; }
    done
}
ref() {
    for ((i = 0; i < n; i++)); do
        printf '%s' "$text" | xclip -i -selection clipboard >/dev/null 2>&1
        [ "$(xclip -o -selection clipboard)" = "$text" ] || { echo "xclip paste differs" >&2; exit 1; }
    done
}
seconds() { local s=$(date +%s.%N); "$@"; echo "$(date +%s.%N) - $s" | bc -l; }
tl=$(seconds lib)
tr=$(seconds ref)
printf 'round trips: %d\nvutil clip: %.2f ms each\nxclip:      %.2f ms each\nratio:      %.2f\n' \
    "$n" "$(echo "$tl * 1000 / $n" | bc -l)" "$(echo "$tr * 1000 / $n" | bc -l)" "$(echo "$tl / $tr" | bc -l)"
