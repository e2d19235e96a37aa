"""Sampling designs of an experiment: which conditions to run when the question is
"which parameters matter" rather than "A versus B".

The keys read here (all optional):
    design       full (the grid of `factors`) | lhs | sobol | morris | file
    design_seed  fixes every drawn point, so the experiment file alone fixes every run (default 1)
    samples      lhs: points; sobol: base sample N (N x (k + 2) conditions); morris: trajectories r
                 (r x (k + 1) conditions)
    levels       morris: grid levels (default 4)
    estimator    sobol: martinez (default) | jansen | saltelli, the estimator of the indices
    ranges       lhs, sobol, morris: --set name -> [low, high], uniform
    design_file  file: a CSV with one row per condition and one column per --set name
    outcomes     per-run numbers: statistics columns (mean over the last `window` ticks) or
                 births, deaths, final_population, extinct (from the manifest)
    window       ticks at the end of a run that an outcome averages (default: a tenth of the ticks)
    stop_when    extinct: a run whose population is 0 stops at once
"""

import csv
import difflib
import hashlib
import os
import re
import warnings
from pathlib import Path

import numpy as np
import yaml
from scipy.stats import qmc

KEYS = ("design", "design_seed", "samples", "levels", "estimator", "ranges", "design_file",
        "outcomes", "window", "stop_when")
ESTIMATORS = ("martinez", "jansen", "saltelli")
SAMPLED = ("lhs", "sobol", "morris")
DESIGNS = ("full", *SAMPLED, "file")
RUN_OUTCOMES = ("births", "deaths", "final_population", "extinct")
# Below these the estimators have nothing to work with: a Latin hypercube of one point
# spans nothing, a spread of elementary effects needs two trajectories, and the
# bootstrap intervals of Sobol indices need a few base points to resample.
MIN_SAMPLES = {"lhs": 2, "sobol": 8, "morris": 2}
DEFAULT_LEVELS = 4

REAL = re.compile(r"^[+-]?(\d+\.?\d*|\.\d+)([eE][+-]?\d+)?$")
WHOLE = re.compile(r"^[+-]?\d+$")


class Range:
    def __init__(self, name, low, high, whole):
        self.name, self.low, self.high, self.whole = name, low, high, whole

    def value_text(self, unit):
        """The --set text of a point in [0, 1] of this range."""
        value = self.low + unit * (self.high - self.low)
        if self.whole:
            return str(int(round(value)))
        # Six significant digits, never an exponent: the runner reads plain decimals.
        return np.format_float_positional(value, precision=6, unique=False, fractional=False,
                                          trim="-")


class Study:
    """The design keys of one experiment file, checked."""

    def __init__(self):
        self.kind = "full"
        self.seed = 1
        self.samples = None
        self.levels = DEFAULT_LEVELS
        self.estimator = "martinez"
        self.ranges = []  # [Range, ...] in file order
        self.design_file = None
        self.file_points = []  # design: file -> [[(name, text), ...], ...]
        self.file_names = []
        self.outcomes = []
        self.window = None
        self.stop_when = None

    def factor_names(self):
        if self.kind == "file":
            return list(self.file_names)
        return [r.name for r in self.ranges]

    def points(self):
        """The conditions, in design order, as [(name, text), ...] each."""
        if self.kind == "file":
            return self.file_points
        unit = unit_points(self.kind, len(self.ranges), self.samples, self.levels, self.seed)
        return [[(r.name, r.value_text(u)) for r, u in zip(self.ranges, row)] for row in unit]

    def as_config(self):
        return {
            "design": self.kind,
            "design_seed": self.seed,
            "samples": self.samples,
            "levels": self.levels,
            "estimator": self.estimator,
            "ranges": {r.name: [r.low, r.high] for r in self.ranges},
            "outcomes": self.outcomes,
            "window": self.window,
            "stop_when": self.stop_when,
        }


def condition_name(index, assignments):
    """p0001-<8 hex of the values>: a changed design never meets the runs of an earlier one."""
    text = ";".join(f"{n}={v}" for n, v in assignments)
    return f"p{index + 1:04d}-{hashlib.sha256(text.encode()).hexdigest()[:8]}"


# ----- points in the unit cube --------------------------------------------------------------

def unit_points(kind, k, samples, levels, seed):
    if kind == "lhs":
        return qmc.LatinHypercube(d=k, seed=np.random.default_rng(seed)).random(samples)
    if kind == "sobol":
        return saltelli_points(k, samples, seed)
    return morris_points(k, samples, levels, seed)


def saltelli_points(k, n, seed):
    """The base matrices A and B (columns 0..k-1 and k..2k-1 of one scrambled Sobol sequence),
    then for each factor i the matrix A with column i taken from B: the layout the
    OpenTURNS estimators read (SobolIndicesExperiment)."""
    with warnings.catch_warnings():
        warnings.simplefilter("ignore")  # scipy asks for powers of 2; any N is valid
        both = qmc.Sobol(d=2 * k, scramble=True, seed=np.random.default_rng(seed)).random(n)
    a, b = both[:, :k], both[:, k:]
    blocks = [a, b]
    for i in range(k):
        mixed = a.copy()
        mixed[:, i] = b[:, i]
        blocks.append(mixed)
    return np.vstack(blocks)


def morris_points(k, r, levels, seed):
    """r trajectories of k + 1 points on a grid of `levels` levels, each step moving one
    factor (in random order) by delta = levels / (2 (levels - 1)).
    Morris, M. D. (1991): Factorial sampling plans for preliminary computational
    experiments. Technometrics 33(2), 161-174; the delta and the start points as there."""
    rng = np.random.default_rng(seed)
    delta = levels / (2 * (levels - 1))
    grid = np.arange(levels) / (levels - 1)
    starts = grid[grid <= 1 - delta + 1e-12]
    points = []
    for _ in range(r):
        base = rng.choice(starts, size=k)
        up = rng.integers(0, 2, size=k) == 1
        # A factor moving down starts delta higher, so every point stays in [0, 1].
        x = np.where(up, base, base + delta)
        points.append(x.copy())
        for i in rng.permutation(k):
            x[i] += delta if up[i] else -delta
            points.append(x.copy())
    return np.clip(np.array(points), 0.0, 1.0)


# ----- reading the keys ---------------------------------------------------------------------

def _text(node):
    return node.value if isinstance(node, yaml.ScalarNode) else None


def _line(node):
    return node.start_mark.line + 1


def read(path, nodes, set_names, whole_names, stat_columns, ticks, has_factors, error):
    """Checks the design keys of an experiment file. nodes: key -> (key node, value node).
    Raises error(file, line, message) for the first fault."""
    study = Study()

    def fail(node, message):
        raise error(path, _line(node), message)

    def whole_number(key, least):
        node = nodes[key][1]
        text = _text(node)
        if text is None or not WHOLE.match(text) or int(text) < least:
            fail(node, f"{key} must be a whole number of at least {least}, got {text!r}")
        return int(text)

    if "design" in nodes:
        study.kind = _text(nodes["design"][1])
        if study.kind not in DESIGNS:
            fail(nodes["design"][1], f"design must be one of {', '.join(DESIGNS)}, got {study.kind!r}")
    if "design_seed" in nodes:
        study.seed = whole_number("design_seed", 0)
    if "levels" in nodes:
        study.levels = whole_number("levels", 2)
        if study.kind != "morris":
            fail(nodes["levels"][1], "levels belongs to design: morris")
    if "estimator" in nodes:
        study.estimator = _text(nodes["estimator"][1])
        if study.estimator not in ESTIMATORS:
            fail(nodes["estimator"][1], f"estimator must be one of {', '.join(ESTIMATORS)}, got {study.estimator!r}")
        if study.kind != "sobol":
            fail(nodes["estimator"][0], "estimator belongs to design: sobol")

    key_node = nodes.get("design", (None, None))[0]
    where = key_node if key_node is not None else next(iter(nodes.values()), (None, None))[0]
    if study.kind in SAMPLED:
        if has_factors:
            fail(nodes["factors"][0], f"design: {study.kind} draws its conditions from ranges;"
                                      " factors (value lists) belong to design: full")
        if "ranges" not in nodes:
            fail(where, f"design: {study.kind} needs ranges: --set name -> [low, high]")
        if "samples" not in nodes:
            fail(where, f"design: {study.kind} needs samples")
        study.samples = whole_number("samples", 1)
        if study.samples < MIN_SAMPLES[study.kind]:
            fail(nodes["samples"][1], f"samples must be at least {MIN_SAMPLES[study.kind]}"
                                      f" for design: {study.kind}, got {study.samples}")
        study.ranges = _ranges(nodes["ranges"][1], set_names, whole_names, fail)
    else:
        for key in ("ranges", "samples"):
            if key in nodes:
                fail(nodes[key][0], f"{key} belongs to design: lhs, sobol or morris")
    if study.kind == "file":
        if has_factors:
            fail(nodes["factors"][0], "design: file takes its conditions from design_file; leave factors out")
        if "design_file" not in nodes:
            fail(where, "design: file needs design_file, a CSV with one column per --set name")
        name = _text(nodes["design_file"][1])
        if not name:
            fail(nodes["design_file"][1], "design_file must be the path of a CSV file")
        study.design_file = Path(name) if Path(name).is_absolute() else Path(path).resolve().parent / name
        study.file_names, study.file_points = _design_file(study.design_file, set_names, whole_names,
                                                           lambda line, m: error(study.design_file, line, m))
    elif "design_file" in nodes:
        fail(nodes["design_file"][0], "design_file belongs to design: file")

    if "outcomes" in nodes:
        study.outcomes = _outcomes(nodes["outcomes"][1], stat_columns, fail)
    study.window = max(100, ticks // 10)
    if "window" in nodes:
        study.window = whole_number("window", 1)
    if "stop_when" in nodes:
        study.stop_when = _text(nodes["stop_when"][1])
        if study.stop_when != "extinct":
            fail(nodes["stop_when"][1], f"stop_when knows only extinct, got {study.stop_when!r}")
    return study


def _ranges(node, set_names, whole_names, fail):
    if not isinstance(node, yaml.MappingNode) or not node.value:
        fail(node, "ranges must map --set names to [low, high]")
    ranges = []
    for name_node, value_node in node.value:
        name = _text(name_node)
        if name not in set_names:
            close = difflib.get_close_matches(name or "", sorted(set_names), n=3)
            hint = f" (did you mean {', '.join(close)}?)" if close else ""
            fail(name_node, f"unknown --set name {name!r}{hint}; murinex-run --list-set-names lists every valid name")
        if any(r.name == name for r in ranges):
            fail(name_node, f"range {name!r} is given twice")
        items = value_node.value if isinstance(value_node, yaml.SequenceNode) else []
        texts = [_text(i) for i in items]
        if len(texts) != 2 or not all(t is not None and REAL.match(t) for t in texts):
            fail(value_node, f"the range of {name} must be [low, high], two numbers")
        whole = name in whole_names
        if whole and not all(WHOLE.match(t) for t in texts):
            fail(value_node, f"{name} takes whole numbers: its range must be two whole numbers")
        low, high = (int(t) if whole else float(t) for t in texts)
        if not low < high:
            fail(value_node, f"the range of {name} must have its low below its high, got [{texts[0]}, {texts[1]}]")
        ranges.append(Range(name, low, high, whole))
    return ranges


def _outcomes(node, stat_columns, fail):
    if not isinstance(node, yaml.SequenceNode) or not node.value:
        fail(node, "outcomes must be a list, e.g. [NMaus, births]")
    outcomes = []
    for item in node.value:
        text = _text(item)
        if text not in stat_columns and text not in RUN_OUTCOMES:
            fail(item, f"unknown outcome {text!r}: a statistics column (e.g. NMaus, Hung) or one of "
                       + ", ".join(RUN_OUTCOMES))
        if text in outcomes:
            fail(item, f"outcome {text} is given twice")
        outcomes.append(text)
    return outcomes


def _design_file(path, set_names, whole_names, error):
    try:
        with open(path, newline="") as f:
            rows = list(csv.reader(f))
    except OSError as e:
        raise error(0, f"cannot read the design file: {e.strerror}")
    except csv.Error as e:
        raise error(0, f"not a CSV file: {e}")
    if not rows or not rows[0]:
        raise error(1, "the first line must name the --set names, one a column")
    names = [n.strip() for n in rows[0]]
    for name in names:
        if name not in set_names:
            raise error(1, f"column {name!r} is not a --set name; murinex-run --list-set-names lists every valid name")
        if names.count(name) > 1:
            raise error(1, f"column {name!r} is given twice")
    points = []
    for number, row in enumerate(rows[1:], start=2):
        if not any(cell.strip() for cell in row):
            continue
        if len(row) != len(names):
            raise error(number, f"expected {len(names)} values, got {len(row)}")
        point = []
        for name, cell in zip(names, row):
            text = cell.strip()
            pattern = WHOLE if name in whole_names else REAL
            if not pattern.match(text):
                kind = "a whole number" if name in whole_names else "a number"
                raise error(number, f"the value of {name} must be {kind}, got {text!r}")
            point.append((name, text))
        points.append(point)
    if not points:
        raise error(1, "the design file has no conditions below its header")
    return names, points


# ----- design.csv ---------------------------------------------------------------------------

def write_design(config, out):
    """Writes design.csv (condition, one column per factor) before any run starts. Returns a
    note when the conditions differ from those of an earlier start, else None."""
    out = Path(out)
    lines = [["condition", *config["factors"]]]
    lines += [[name, *(v for _, v in assignments)] for name, assignments in config["conditions"].items()]
    target = out / "design.csv"
    note = None
    if target.exists():
        with open(target, newline="") as f:
            before = {row[0] for row in list(csv.reader(f))[1:] if row}
        now = set(config["conditions"])
        if before != now:
            new = len(now - before)
            note = (f"The design differs from the last start's (ranges, samples, levels, design_seed or"
                    f" the design file changed): {new} of its {len(now)} conditions are new. Runs of"
                    f" the earlier design stay in runs/ but are not used.")
    temporary = out / "design.csv.tmp"
    with open(temporary, "w", newline="") as f:
        csv.writer(f, lineterminator="\n").writerows(lines)
    os.replace(temporary, target)
    return note
