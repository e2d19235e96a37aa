#!/usr/bin/env python3
"""The family tree of a run, both parents drawn, as an SVG or PNG picture (Graphviz).

From the run's births table (Proto/Births-TASK.csv), its first genome dump
(data/Genom-TASK-0.dat: the founders) and, when there, its deaths table (age and
cause of death under each mouse that died). A solid edge leads from the mother
to the child, a dashed one from the father.

usage: tools/lineage.py FOLDER [--task TASK] [--mouse ID] [--generations N] --out FILE.svg|png
  FOLDER         the run's output folder (with Proto/ and data/)
  --mouse ID     only this mouse's ancestors and descendants
  --generations  with --mouse: N generations up and down; without: generations 0 to N
"""

import argparse
import csv
import os
import shutil
import subprocess
import sys
import tempfile
from collections import defaultdict
from pathlib import Path


def fail(message):
    sys.exit(f"lineage.py: {message}")


def read_table(path):
    try:
        with open(path, newline="") as f:
            return list(csv.DictReader(f))
    except OSError as e:
        fail(f"{path}: cannot read the table ({e.strerror})")


def founders(path):
    """The IDs of the first genome dump, the mice the run began with."""
    try:
        lines = Path(path).read_text().splitlines()
    except OSError as e:
        fail(f"{path}: cannot read the first genome dump ({e.strerror})")
    ids = []
    for number, line in enumerate(lines[3:], start=4):
        if line.strip():
            try:
                ids.append(int(line.split()[0]))
            except ValueError:
                fail(f"{path}:{number}: expected a mouse ID at the start of the line")
    return ids


def reachable(start, links, depth):
    """The mice `depth` links (None: any number) away from `start` along `links`."""
    seen, frontier, step = set(), [start], 0
    while frontier and (depth is None or step < depth):
        step += 1
        frontier = [n for m in frontier for n in links.get(m, ()) if n not in seen]
        seen.update(frontier)
    return seen


def dot_text(mice, births, deaths, founder_ids):
    born = {int(b["id"]): b for b in births}
    died = {int(d["id"]): d for d in deaths}
    lines = ["digraph lineage {", "  rankdir=TB;", '  node [shape=box, fontname="DejaVu Sans", fontsize=10];',
             '  edge [arrowsize=0.6];']
    for mouse in sorted(mice):
        if mouse in born:
            b = born[mouse]
            label = f"{mouse}\\ngen {b['generation']}, born {b['tick']}"
            style = ""
        else:
            label = f"{mouse}\\nfounder" if mouse in founder_ids else f"{mouse}\\n(not in this run)"
            style = ', style=filled, fillcolor="#e8e8e8"'
        if mouse in died:
            label += f"\\ndied aged {died[mouse]['age']} ({died[mouse]['cause']})"
        lines.append(f'  m{mouse} [label="{label}"{style}];')
    for mouse in sorted(mice):
        if mouse in born:
            b = born[mouse]
            for parent, style in ((int(b["mother"]), "solid"), (int(b["father"] or 0), "dashed")):
                if parent in mice:
                    lines.append(f"  m{parent} -> m{mouse} [style={style}];")
    lines.append("}")
    return "\n".join(lines) + "\n"


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("folder")
    parser.add_argument("--task", default="NN")
    parser.add_argument("--mouse", type=int)
    parser.add_argument("--generations", type=int)
    parser.add_argument("--out", required=True)
    args = parser.parse_args()
    kind = Path(args.out).suffix.lstrip(".").lower()
    if kind not in ("svg", "png"):
        fail(f"--out {args.out}: the picture must end in .svg or .png")
    if args.generations is not None and args.generations < 0:
        fail("--generations must be 0 or more")
    if not shutil.which("dot"):
        fail("Graphviz's dot is not installed (scripts/setup installs it)")
    folder = Path(args.folder)
    births = read_table(folder / "Proto" / f"Births-{args.task}.csv")
    deaths_path = folder / "Proto" / f"Deaths-{args.task}.csv"
    deaths = read_table(deaths_path) if deaths_path.exists() else []
    founder_ids = set(founders(folder / "data" / f"Genom-{args.task}-0.dat"))

    parents, children = defaultdict(list), defaultdict(list)
    for b in births:
        child = int(b["id"])
        for parent in (int(b["mother"]), int(b["father"] or 0)):
            if parent:
                parents[child].append(parent)
                children[parent].append(child)
    known = founder_ids | {int(b["id"]) for b in births}
    if args.mouse is not None:
        if args.mouse not in known:
            fail(f"mouse {args.mouse} is neither a founder nor born in the run of {folder}")
        mice = ({args.mouse} | reachable(args.mouse, parents, args.generations)
                | reachable(args.mouse, children, args.generations))
    else:
        limit = args.generations
        mice = set(founder_ids) | {int(b["id"]) for b in births
                                   if limit is None or int(b["generation"]) <= limit}
        if limit is not None and limit >= 0:
            # Founders without a descendant in the picture would only be a row of boxes.
            mice = {m for m in mice if m not in founder_ids or children.get(m)}
    text = dot_text(mice, births, deaths, founder_ids)
    out = Path(args.out)
    with tempfile.NamedTemporaryFile("w", suffix=".dot", delete=False) as source:
        source.write(text)
    partial = out.with_name(out.name + ".tmp")
    try:
        done = subprocess.run(["dot", f"-T{kind}", "-o", str(partial), source.name],
                              capture_output=True, text=True)
        if done.returncode != 0:
            fail(f"dot failed: {done.stderr.strip()}")
        os.replace(partial, out)
    finally:
        os.unlink(source.name)
        if partial.exists():
            partial.unlink()
    print(f"{out}: {len(mice)} mice, {sum(1 for m in mice if m in {int(b['id']) for b in births})} born in the run")


if __name__ == "__main__":
    try:
        main()
    except KeyboardInterrupt:
        fail("interrupted; no picture written")
