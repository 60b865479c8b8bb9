#!/usr/bin/env python3
"""Refuses includes that break the library's layering.

Layers, bottom up: vutil/platform < vutil/framework < the other vutil/ folders (the
subsystems, which may use each other) < tools/. A file may include headers of its own
layer and the ones below. Only vutil/platform/ may include OS headers; tests, benches and
fuzz targets drive the OS from outside (fork, wait) and are not checked for that. Public
headers may not include private ones (*_internal.h, platform/<backend>/*.h), which are
not installed, and headers may not include each other in a cycle.
Usage: check_layers.py <source root>. Exit status 1 lists every violation.
"""
import os
import re
import sys

INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]', re.M)
OS_HEADER = re.compile(
    r'^(unistd|fcntl|dirent|pwd|grp|langinfo|poll|spawn|dlfcn|termios|windows|winreg|'
    r'shlobj|shellapi)\.h$|^(sys|X11|curl)/')
PRIVATE = re.compile(r'(_internal\.h$)|(^vutil/platform/[^/]+/)')


def layer(path):
    """0 platform, 1 framework, 2 subsystem (and the umbrella header), 3 tools."""
    if path.startswith('vutil/platform/'):
        return 0
    if path.startswith('vutil/framework/'):
        return 1
    if path.startswith('vutil/'):
        return 2
    if path.startswith('tools/'):
        return 3
    return None


NAMES = ['platform', 'framework', 'subsystem', 'tools']


def main(root):
    problems = []
    graph = {}
    for top in ('vutil', 'tools', 'tests', 'bench', 'fuzz'):
        for folder, _, files in os.walk(os.path.join(root, top)):
            for name in sorted(files):
                if not name.endswith(('.h', '.cpp')):
                    continue
                full = os.path.join(folder, name)
                rel = os.path.relpath(full, root).replace(os.sep, '/')
                with open(full, encoding='utf-8', errors='replace') as f:
                    text = f.read()
                own = layer(rel)
                for m in INCLUDE.finditer(text):
                    kind, target = m.group(1), m.group(2)
                    line = text.count('\n', 0, m.start()) + 1
                    where = f'{rel}:{line}'
                    if kind == '<':
                        if OS_HEADER.search(target) and own is not None and own > 0:
                            problems.append(f'{where}: OS header <{target}> outside vutil/platform/')
                        continue
                    theirs = layer(target)
                    if own is not None and theirs is not None and theirs > own:
                        problems.append(f'{where}: {NAMES[own]} file includes {NAMES[theirs]} '
                                        f'header "{target}"')
                    if (rel.startswith('vutil/') and rel.endswith('.h')
                            and not PRIVATE.search(rel) and PRIVATE.search(target)):
                        problems.append(f'{where}: public header includes private "{target}"')
                    if rel.startswith('vutil/') and rel.endswith('.h') and target.startswith('vutil/'):
                        graph.setdefault(rel, []).append(target)

    # Header include cycles, by depth-first search.
    state = {}

    def visit(node, stack):
        state[node] = 1
        stack.append(node)
        for nxt in graph.get(node, []):
            if state.get(nxt) == 1:
                cycle = stack[stack.index(nxt):] + [nxt]
                problems.append('include cycle: ' + ' -> '.join(cycle))
            elif nxt not in state:
                visit(nxt, stack)
        stack.pop()
        state[node] = 2

    for node in sorted(graph):
        if node not in state:
            visit(node, [])

    for p in problems:
        print(p)
    if problems:
        print(f'{len(problems)} layering problem(s)')
        return 1
    print('layers: ok')
    return 0


if __name__ == '__main__':
    sys.exit(main(sys.argv[1] if len(sys.argv) > 1 else '.'))
