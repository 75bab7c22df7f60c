#!/usr/bin/env python3
"""Fails when the engine's folders include each other in a circle.

Every quoted #include of an engine source (tests left out) is an edge from the including
file's folder to the included file's folder. The folder graph must have no cycle, so each
folder can be read, built and tested on top of the ones below it. On failure the script
prints each circle and, for every edge of it, one include that makes it.

Usage: folder_cycles.py <engine folder>
"""
import os
import re
import sys

INCLUDE = re.compile(r'^\s*#\s*include\s*"([^"]+)"')
SEARCH_PATHS = ("", "include")  # the engine's include directories, below its root


def sources(root):
    for folder, subfolders, names in os.walk(root):
        subfolders[:] = [s for s in subfolders if s != "tests"]
        for name in names:
            if name.endswith((".h", ".cpp")):
                yield os.path.join(folder, name)


def resolve(root, including, name):
    candidates = [os.path.join(os.path.dirname(including), name)]
    candidates += [os.path.join(root, base, name) for base in SEARCH_PATHS]
    for candidate in candidates:
        if os.path.isfile(candidate):
            return os.path.normpath(candidate)
    return None


def folder_edges(root):
    edges = {}
    for path in sources(root):
        with open(path, encoding="utf-8", errors="replace") as text:
            for line in text:
                match = INCLUDE.match(line)
                target = match and resolve(root, path, match.group(1))
                if not target:
                    continue
                source_folder = os.path.relpath(os.path.dirname(path), root)
                target_folder = os.path.relpath(os.path.dirname(target), root)
                if source_folder != target_folder:
                    edges.setdefault(source_folder, {}).setdefault(
                        target_folder, (os.path.relpath(path, root),
                                        os.path.relpath(target, root)))
    return edges


def cycles(edges):
    """Each elementary circle found by depth-first search, reported once per back edge."""
    found = []
    state = {}
    stack = []

    def visit(folder):
        state[folder] = "open"
        stack.append(folder)
        for target in sorted(edges.get(folder, {})):
            if state.get(target) == "open":
                found.append(stack[stack.index(target):] + [target])
            elif target not in state:
                visit(target)
        stack.pop()
        state[folder] = "done"

    for folder in sorted(edges):
        if folder not in state:
            visit(folder)
    return found


def main(argv):
    if len(argv) != 2 or not os.path.isdir(argv[1]):
        print(__doc__.strip().splitlines()[-1], file=sys.stderr)
        return 2
    root = argv[1]
    edges = folder_edges(root)
    if not edges:
        print(f"no includes between folders found under {root}", file=sys.stderr)
        return 2
    circles = cycles(edges)
    for circle in circles:
        print("circle: " + " -> ".join(circle))
        for source, target in zip(circle, circle[1:]):
            including, included = edges[source][target]
            print(f"  {including} includes {included}")
    if circles:
        return 1
    print(f"no circles among {len(set(edges) | {t for e in edges.values() for t in e})} folders")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
