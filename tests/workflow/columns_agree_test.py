#!/usr/bin/env python3
"""The statistics columns are described once per place that shows them, and the places agree.

model/stat_columns.h makes the protocol's header; docs/outputs.md explains each column with its
kind and unit; workflow/columns.py gives the short words of the plots' axes. The three must name
the same 68 columns in the same order, and the kind of each value (a rate per mouse-tick, a count
per interval, a mean of the living mice, a count at the row, a ratio, always 0) must be the same
in the documentation and in the axis words.
"""

import re
import sys
from pathlib import Path

ROOT = Path(__file__).resolve().parents[2]
sys.path.insert(0, str(ROOT / "workflow"))
from columns import COLUMNS  # noqa: E402


def protocol_columns():
    text = (ROOT / "model" / "stat_columns.h").read_text()
    block = text[text.index("#define MURINEX_STAT_COLUMNS"):]
    block = block[:block.index("\n\n")]
    return re.findall(r"X\((\w+)\)", block)


def documented_columns():
    """(name, kind cell) per column of the statistics table, ranges of rows expanded."""
    rows = []
    text = (ROOT / "docs" / "outputs.md").read_text()
    section = text[text.index("## The statistics protocol"):]
    section = section[:section.index("\n## ", 1)]
    for line in section.splitlines():
        cells = [c.strip() for c in line.strip().strip("|").split("|")]
        if len(cells) != 4 or not re.match(r"^\d+", cells[0]):
            continue
        for name in re.findall(r"`(\w+)`", cells[1]):
            rows.append((name, cells[3]))
    return rows


def documented_kind(cell):
    if cell.startswith("—"):
        return "always 0"
    if "per interval" in cell:
        return "per interval"
    if "per mouse-tick" in cell:
        return "per mouse-tick"
    if "count at the row" in cell:
        return "count at the row"
    if cell.startswith("mean"):
        return "mean"
    if cell.startswith("ratio"):
        return "ratio"
    return None


def label_kind(label):
    if "always 0" in label:
        return "always 0"
    if "per interval" in label:
        return "per interval"
    if "per mouse-tick" in label or "share" in label:
        return "per mouse-tick"
    if "count at the row" in label:
        return "count at the row"
    if "mean" in label:
        return "mean"
    if "ratio" in label:
        return "ratio"
    return None


def main():
    errors = []
    header = protocol_columns()
    documented = documented_columns()
    if len(header) != 68:
        errors.append(f"model/stat_columns.h: expected 68 columns, found {len(header)}")
    if [name for name, _ in documented] != header:
        errors.append("docs/outputs.md: the statistics table does not list the protocol's columns "
                      f"in order:\n  table:  {[n for n, _ in documented]}\n  header: {header}")
    if list(COLUMNS) != header:
        errors.append("workflow/columns.py: COLUMNS does not list the protocol's columns in order:\n"
                      f"  columns.py: {list(COLUMNS)}\n  header:     {header}")
    for name, cell in documented:
        kind = documented_kind(cell)
        if kind is None:
            errors.append(f"docs/outputs.md: column {name}: kind {cell!r} is none of the known kinds")
            continue
        label = COLUMNS.get(name)
        if label is not None and label_kind(label) != kind:
            errors.append(f"workflow/columns.py: column {name}: {label!r} reads as "
                          f"{label_kind(label)!r}, docs/outputs.md says {kind!r} ({cell!r})")
    for error in errors:
        print(error, file=sys.stderr)
    if not errors:
        print(f"{len(header)} columns agree in the protocol, docs/outputs.md and workflow/columns.py")
    return 1 if errors else 0


if __name__ == "__main__":
    sys.exit(main())
