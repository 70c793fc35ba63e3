#!/usr/bin/env python3
"""Checks that the tree's includes run one way.

Two rules, over every C++ file of the tree's code folders:

- No module includes back into one that includes it. A module is a header
  and the source of the same name beside it (x.h and x.cpp): what one
  declares the other defines, so a source that includes a header of a
  module whose own source includes it back is a circle, even when no header
  includes itself.
- No folder includes a folder that includes it, counting the folder of each
  file (a folder includes another when one of its files includes one of the
  other's).

Prints each circle found, with the #include lines that make it, and exits
with status 1; exits with status 0 and one line of counts when there is
none. Usage: check-include-cycles.py [TREE] (default: this script's tree).
"""

import os
import re
import sys
from collections import defaultdict, deque

CODE_FOLDERS = ("platform", "store", "browse", "tools", "ui", "tests", "bench", "fuzz")
SOURCE_ENDINGS = (".h", ".hpp", ".cpp", ".cc", ".inc")
# Where a quoted include is looked for, after the including file's own
# folder: the tree's top and the tests' support roots.
INCLUDE_ROOTS = ("", "tests")
INCLUDE = re.compile(r'^\s*#\s*include\s*"([^"]+)"')


def code_files(tree):
    for top in CODE_FOLDERS:
        for folder, subfolders, names in os.walk(os.path.join(tree, top)):
            subfolders.sort()
            for name in sorted(names):
                if name.endswith(SOURCE_ENDINGS):
                    yield os.path.relpath(os.path.join(folder, name), tree)


def resolve(tree, including, included):
    for root in (os.path.dirname(including),) + INCLUDE_ROOTS:
        candidate = os.path.normpath(os.path.join(root, included))
        if os.path.isfile(os.path.join(tree, candidate)):
            return candidate
    return None  # a generated header, or one of a library outside the tree


def includes_of(tree, files):
    """Maps each file to [(line number, included file)] within the tree."""
    found = {}
    for path in files:
        edges = []
        with open(os.path.join(tree, path), encoding="utf-8", errors="replace") as text:
            for number, line in enumerate(text, 1):
                match = INCLUDE.match(line)
                if match:
                    target = resolve(tree, path, match.group(1))
                    if target is not None and target != path:
                        edges.append((number, target))
        found[path] = edges
    return found


def module_of(path):
    return os.path.splitext(path)[0]


def strongly_connected(nodes, edges):
    """Tarjan's components of more than one node, each a sorted list."""
    index_of, low, on_stack, stack, components = {}, {}, set(), [], []
    counter = [0]

    def visit(start):
        # Iterative, so that a long chain of includes cannot exhaust the stack.
        work = [(start, iter(sorted(edges[start])))]
        index_of[start] = low[start] = counter[0]
        counter[0] += 1
        stack.append(start)
        on_stack.add(start)
        while work:
            node, successors = work[-1]
            advanced = False
            for successor in successors:
                if successor not in index_of:
                    index_of[successor] = low[successor] = counter[0]
                    counter[0] += 1
                    stack.append(successor)
                    on_stack.add(successor)
                    work.append((successor, iter(sorted(edges[successor]))))
                    advanced = True
                    break
                if successor in on_stack:
                    low[node] = min(low[node], index_of[successor])
            if advanced:
                continue
            work.pop()
            if work:
                parent = work[-1][0]
                low[parent] = min(low[parent], low[node])
            if low[node] == index_of[node]:
                component = []
                while True:
                    member = stack.pop()
                    on_stack.discard(member)
                    component.append(member)
                    if member == node:
                        break
                if len(component) > 1:
                    components.append(sorted(component))

    for node in sorted(nodes):
        if node not in index_of:
            visit(node)
    return components


def shortest_circle(component, edges):
    """The shortest circle through the component's first node."""
    members = set(component)
    start = component[0]
    came_from = {start: None}
    queue = deque([start])
    while queue:
        node = queue.popleft()
        for successor in sorted(edges[node]):
            if successor == start:
                path = [node]
                while came_from[path[-1]] is not None:
                    path.append(came_from[path[-1]])
                return list(reversed(path)) + [start]
            if successor in members and successor not in came_from:
                came_from[successor] = node
                queue.append(successor)
    return component + [start]


def report(kind, components, edges, witnesses):
    for component in components:
        circle = shortest_circle(component, edges)
        print(f"include circle among {kind}: " + " -> ".join(circle))
        for here, there in zip(circle, circle[1:]):
            path, number, target = witnesses[(here, there)]
            print(f"  {path}:{number}: includes {target}")
        if len(component) > len(circle) - 1:
            print(f"  (the circle is part of a knot of {len(component)}: {', '.join(component)})")


def main():
    tree = sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    files = list(code_files(tree))
    includes = includes_of(tree, files)

    module_edges, folder_edges = defaultdict(set), defaultdict(set)
    module_witness, folder_witness = {}, {}
    modules, folders = set(), set()
    for path, edges in includes.items():
        modules.add(module_of(path))
        folders.add(os.path.dirname(path))
        for number, target in edges:
            pairs = (
                (module_of(path), module_of(target), module_edges, module_witness),
                (os.path.dirname(path), os.path.dirname(target), folder_edges, folder_witness),
            )
            for here, there, graph, witness in pairs:
                if here != there:
                    graph[here].add(there)
                    witness.setdefault((here, there), (path, number, target))

    module_circles = strongly_connected(modules, module_edges)
    folder_circles = strongly_connected(folders, folder_edges)
    report("modules (a header and its source)", module_circles, module_edges, module_witness)
    report("folders", folder_circles, folder_edges, folder_witness)
    if module_circles or folder_circles:
        print(f"check-include-cycles: {len(module_circles)} circle(s) among modules, "
              f"{len(folder_circles)} among folders")
        return 1
    print(f"check-include-cycles: no circle among {len(modules)} modules in {len(folders)} folders "
          f"({len(files)} files)")
    return 0


if __name__ == "__main__":
    sys.exit(main())
