#!/usr/bin/env bash
# Link extraction: CHTMLUtils's page walk beside a link extractor on gumbo, over the HTML
# documents Debian packages install under /usr/share/doc plus a generated 50 MB page.
#
#   bench/html_links_bench.sh [--detail]     (--detail: the differences of every page)
#
# gumbo (libgumbo-dev) is a benchmark-only reference: installed here when missing, never
# linked by the library. Builds the `release` library, collects the corpus into
# build/bench-html/corpus, then prints MB/s of both sides and their link counts.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
work="$root/build/bench-html"
mkdir -p "$work/corpus"

if ! dpkg-query -W -f='${Status}' libgumbo-dev 2>/dev/null | grep -q "install ok installed"; then
  sudo_cmd=""
  [ "$(id -u)" -eq 0 ] || sudo_cmd="sudo"
  $sudo_cmd apt-get install -y -qq libgumbo-dev || { $sudo_cmd apt-get update -qq && $sudo_cmd apt-get install -y -qq libgumbo-dev; }
fi

cmake --preset release >/dev/null
cmake --build --preset release --target vutil >/dev/null

# The corpus: every *.htm / *.html under /usr/share/doc (plain files, symlinks followed),
# copied under a name that keeps the package and the extension.
rm -f "$work/corpus"/*
n=0
while IFS= read -r -d '' f; do
  n=$((n + 1))
  name="$(printf '%04d' "$n")_$(echo "${f#/usr/share/doc/}" | tr '/' '_')"
  cp -L "$f" "$work/corpus/$name" 2>/dev/null || true
done < <(find -L /usr/share/doc -type f \( -name '*.html' -o -name '*.htm' \) -print0 2>/dev/null | sort -z)
echo "corpus: $(ls "$work/corpus" | wc -l) pages, $(du -sh "$work/corpus" | cut -f1)"

g++ -std=c++20 -O2 -DNDEBUG -I"$root" "$root/bench/html_links/gumbo_compare.cpp" \
    "$root/build/release/vutil/libvutil.a" $(pkg-config --cflags --libs gumbo) -o "$work/gumbo_compare"
"$work/gumbo_compare" "$@" "$work/corpus"/*
