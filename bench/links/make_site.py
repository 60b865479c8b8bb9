#!/usr/bin/env python3
"""Writes the benchmark site: PAGES pages of LINKS links each (page 0 is index.html),
a tenth of them broken in known ways, and half the remote links pointing at the same
site served on 127.0.0.1:PORT. Prints the broken links it planted, one per line:
page<TAB>link<TAB>kind."""
import os
import random
import sys

root, port = sys.argv[1], int(sys.argv[2])
pages = int(sys.argv[3]) if len(sys.argv) > 3 else 2000
per_page = int(sys.argv[4]) if len(sys.argv) > 4 else 10
rng = random.Random(17)
os.makedirs(os.path.join(root, "img"), exist_ok=True)
with open(os.path.join(root, "img", "logo.png"), "wb") as f:
    f.write(b"\x89PNG\r\n\x1a\n")


def name(i):
    return "index.html" if i == 0 else "p%04d.html" % i


remote = "http://127.0.0.1:%d/" % port
planted = []
for i in range(pages):
    links = [name((i + 1) % pages)]  # a chain, so a crawler from index.html sees every page
    while len(links) < per_page:
        r = rng.random()
        j = rng.randrange(1, pages)
        if r < 0.40:
            links.append(name(j))
        elif r < 0.50:
            links.append(name(j) + "#s%d" % rng.randrange(3))
        elif r < 0.55:
            links.append("img/logo.png")
        elif r < 0.85:
            links.append(remote + name(j))
        elif r < 0.90:
            links.append(remote + name(j) + "#s1")
        elif r < 0.93:
            link = "gone%04d.html" % j
            links.append(link)
            planted.append((name(i), link, "local file missing"))
        elif r < 0.96:
            link = remote + "gone%04d.html" % j
            links.append(link)
            planted.append((name(i), link, "remote 404"))
        else:
            link = name(j) + "#nowhere"
            links.append(link)
            planted.append((name(i), link, "local anchor missing"))
    body = ["<html><head><title>Page %d</title></head><body>" % i]
    for k in range(3):
        body.append('<h2><a name="s%d">Section %d</a></h2>' % (k, k))
        body.append("<p>Some text of section %d of page %d.</p>" % (k, i))
    body.append("<ul>")
    for link in links:
        body.append('<li><a href="%s">%s</a></li>' % (link, link))
    body.append("</ul></body></html>")
    with open(os.path.join(root, name(i)), "w") as f:
        f.write("\n".join(body) + "\n")
for p in planted:
    print("\t".join(p))
