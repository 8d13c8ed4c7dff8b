#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Holds every include of a project header in src/ to the declared target graph.

The build writes targets.json (cmake/ZeltaroTargets.cmake): each target in layer order, bottom
first, with its folder, its sources and the project targets it links. From that:

  * a file belongs to the target that compiles it; a header to the target that compiles the
    .cpp of the same name beside it, else to the first target of its folder (a header-only
    interface is registered before its implementation);
  * an include of another target's header must be covered by a declared dependency, direct or
    transitive, of the including file's target;
  * no target may include or link a target of a layer above its own (an upward edge).

Reading the graph from the build rather than from a table of its own means the check sees the
dependencies the compiler and linker see, and cannot drift from them.

Usage: check_includes.py TARGETS_JSON [SOURCE_ROOT]   (SOURCE_ROOT holds src/; default: the
repository this script is in). Exit status 1 with one line per fault.
"""

import json
import os
import re
import sys

INCLUDE = re.compile(r'^\s*#\s*include\s+"([a-z0-9_]+)/([^"]+)"', re.MULTILINE)


def load(targets_json):
    with open(targets_json, encoding="utf-8") as f:
        targets = json.load(f)
    return {t["name"]: t for t in targets}, [t["name"] for t in targets]


def closure(name, targets):
    seen, todo = set(), [name]
    while todo:
        for dep in targets[todo.pop()]["deps"]:
            if dep in targets and dep not in seen:
                seen.add(dep)
                todo.append(dep)
    return seen


def owners(root, targets, order):
    """Maps each file under src/ (relative path) to the target that owns it."""
    owner = {}
    compiled = {}  # .cpp -> targets compiling it
    for name in order:
        for src in targets[name]["sources"]:
            compiled.setdefault(src, []).append(name)
            owner.setdefault(src, name)
    first_in_folder = {}
    for name in order:
        first_in_folder.setdefault(targets[name]["folder"], name)
    src_root = os.path.join(root, "src")
    for folder, _, files in os.walk(src_root):
        for f in files:
            rel = os.path.relpath(os.path.join(folder, f), root)
            if not f.endswith(".h") or rel in owner:
                continue
            twin = rel[:-2] + ".cpp"
            if twin in compiled:
                owner[rel] = compiled[twin][0]
            elif os.path.dirname(rel) in first_in_folder:
                owner[rel] = first_in_folder[os.path.dirname(rel)]
    return owner, compiled


def check(root, targets_json):
    targets, order = load(targets_json)
    layer = {name: i for i, name in enumerate(order)}
    owner, compiled = owners(root, targets, order)
    faults = []

    for name in order:
        for dep in targets[name]["deps"]:
            if dep in layer and layer[dep] >= layer[name]:
                faults.append(f"{name} links {dep}: an upward dependency (a layer above its own)")

    reach = {name: closure(name, targets) for name in order}
    for rel in sorted(owner):
        including = owner[rel]
        # A file compiled into several targets (a program that builds a library's file itself)
        # is checked as part of its first owner.
        with open(os.path.join(root, rel), encoding="utf-8", errors="replace") as f:
            text = f.read()
        for m in INCLUDE.finditer(text):
            header = f"src/{m.group(1)}/{m.group(2)}"
            if not os.path.exists(os.path.join(root, header)):
                continue  # not a project header
            included = owner.get(header)
            if included is None or included == including:
                continue
            twin = header[:-2] + ".cpp"
            if including in compiled.get(twin, []):
                continue  # the target compiles that header's source itself
            line = text.count("\n", 0, m.start()) + 1
            where = f"{rel}:{line}: {header}"
            if layer[included] > layer[including]:
                faults.append(f"{where}: upward include ({including} is below {included})")
            elif included not in reach[including]:
                faults.append(f"{where}: {including} does not depend on {included}")
    return faults


def main(argv):
    if len(argv) < 2:
        print(__doc__, file=sys.stderr)
        return 2
    root = argv[2] if len(argv) > 2 else os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    faults = check(root, argv[1])
    for fault in faults:
        print(fault)
    if faults:
        print(f"{len(faults)} include(s) or link(s) outside the declared graph", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
