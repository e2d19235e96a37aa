"""An experiment file: reading, checking (with file and line for every fault),
and the runs it stands for.

An experiment is a YAML mapping with exactly the keys
    name, base, ticks, seeds, factors, plots, checkpoint_every, observe_every, traits
(all but the first four may be left out) and the design keys of designs.py.
Every run is one condition (one value of each factor, or one point of the design) with one seed.
"""

import difflib
import itertools
import re
import subprocess
from pathlib import Path

import yaml

import designs

KEYS = ("name", "base", "ticks", "seeds", "factors", "plots", "checkpoint_every", "observe_every",
        "traits", *designs.KEYS)
REQUIRED = ("name", "base", "ticks", "seeds")

# The integer entries among the --set names (the first column of LifeSettings).
WHOLE_NAMES = {"LifeSpan", "DeathAge"}

# Numbers as the run's input files write them.
REAL = re.compile(r"^[+-]?(\d+\.?\d*|\.\d+)([eE][+-]?\d+)?$")
WHOLE = re.compile(r"^[+-]?\d+$")
NAME = re.compile(r"^[A-Za-z0-9][A-Za-z0-9_.-]*$")

# The 68 statistics columns of the protocol, in file order.
STAT_COLUMNS = (
    "Learn PlanSteps SuccessfulPlan Arousal Inhib MotCh OppCh Mausnotseen DangerNotSeen "
    "HelpMission HelpAggress BiteFriend Threat Support Fear ThreatFlight "
    "NoNeed Hung Thir Pain Sex Affil Cert Comp "
    "NoGoal GSand GFood GWater GJuli GStones GHerbs GInfo GLegSign GSupportSign GCompSign "
    "NMaus Age Deathrate Birthrate LifeLength RelFriends RelEnemies EnToFrin GiveUp NoAct "
    "Move Explore Flight Bite Hold Feed Drink Cure Smile Plan Sleep Drunken Care "
    "MDensity MVarDens DHunger DThirst DPain DAge Strength CareHunger CareThirst CarePain"
).split()

MAX_SEED = 2**32 - 1

# Every run writes its checkpoint this often (ticks), so an interrupted
# experiment resumes its runs; 0: only when a run is stopped.
DEFAULT_CHECKPOINT_EVERY = 5000


class ExperimentError(Exception):
    """A fault of an experiment file, with the file and line it is on."""

    def __init__(self, file, line, message):
        super().__init__(f"{file}:{line}: {message}" if line else f"{file}: {message}")


def condition_name(assignments):
    """The folder name of a condition: NAME=VALUE pairs joined by '_'."""
    if not assignments:
        return "base"
    return "_".join(f"{name}={value}" for name, value in assignments)


class Experiment:
    def __init__(self, path, name, base, ticks, seeds, factors, plots,
                 checkpoint_every=DEFAULT_CHECKPOINT_EVERY):
        self.path = Path(path)
        self.name = name
        self.base = base  # absolute
        self.ticks = ticks
        self.seeds = seeds
        self.factors = factors  # [(name, [value text, ...]), ...] in file order
        self.plots = plots
        self.checkpoint_every = checkpoint_every
        self.base_line = 0  # where the file names the base folder
        self.value_lines = {}  # (factor name, value text) -> line of the file
        self.factors_line = 0
        self.study = designs.Study()  # design: full, no outcomes
        self.observe_every = 0  # the runs' --observe-every; 0: no table of every mouse
        self.traits = []  # the genes drawn in plots/traits/

    def conditions(self):
        """Every combination of factor values, as [(name, value), ...], in file order."""
        names = [name for name, _ in self.factors]
        for values in itertools.product(*(values for _, values in self.factors)):
            yield list(zip(names, values))

    def named_conditions(self):
        """{folder name: [(name, value), ...]} in design order."""
        if self.study.kind == "full":
            return {condition_name(c): c for c in self.conditions()}
        return {designs.condition_name(i, c): c for i, c in enumerate(self.study.points())}

    def as_config(self, runner):
        """What the workflow needs, as plain data."""
        factors = self.study.factor_names() if self.study.kind != "full" else [n for n, _ in self.factors]
        return {
            "experiment": self.name,
            "experiment_file": str(self.path.resolve()),
            "base": str(self.base),
            "ticks": self.ticks,
            "seeds": self.seeds,
            "factors": factors,
            "conditions": {name: [[n, v] for n, v in c] for name, c in self.named_conditions().items()},
            "plots": self.plots,
            "checkpoint_every": self.checkpoint_every,
            "observe_every": self.observe_every,
            "traits": self.traits,
            "runner": str(runner),
            **self.study.as_config(),
        }


def _line(node):
    return node.start_mark.line + 1


def _scalar_text(node):
    return node.value if isinstance(node, yaml.ScalarNode) else None


def set_names(runner):
    out = subprocess.run([str(runner), "--list-set-names"], check=True, capture_output=True, text=True)
    return set(out.stdout.split())


def load(path, runner, check_base=True):
    """Reads and checks an experiment file; raises ExperimentError naming file and line."""
    path = Path(path)
    try:
        text = path.read_text()
    except OSError as e:
        raise ExperimentError(path, 0, f"cannot read the file: {e.strerror}")
    try:
        root = yaml.compose(text)
    except yaml.YAMLError as e:
        mark = getattr(e, "problem_mark", None)
        raise ExperimentError(path, mark.line + 1 if mark else 0, f"not valid YAML: {e.problem if hasattr(e, 'problem') else e}")
    if not isinstance(root, yaml.MappingNode):
        raise ExperimentError(path, _line(root) if root else 0, "expected a mapping with the keys " + ", ".join(KEYS))

    nodes = {}
    for key_node, value_node in root.value:
        key = _scalar_text(key_node)
        if key not in KEYS:
            raise ExperimentError(path, _line(key_node), f"unknown key {key!r}; the keys are " + ", ".join(KEYS))
        if key in nodes:
            raise ExperimentError(path, _line(key_node), f"key {key!r} is given twice")
        nodes[key] = (key_node, value_node)
    for key in REQUIRED:
        if key not in nodes:
            raise ExperimentError(path, _line(root), f"the key {key!r} is missing")

    def fail(key, message, node=None):
        raise ExperimentError(path, _line(node if node is not None else nodes[key][1]), message)

    name = _scalar_text(nodes["name"][1])
    if not name or not NAME.match(name):
        fail("name", "name must be a plain word (letters, digits, '.', '_', '-'): it names the output folder")

    base_text = _scalar_text(nodes["base"][1])
    if not base_text:
        fail("base", "base must be the path of a run folder")
    base = Path(base_text)
    if not base.is_absolute():
        base = path.resolve().parent / base
    base = Path(*base.parts).resolve()
    if check_base and not (base / "data" / "inimaus.ini").is_file():
        fail("base", f"base folder {base} does not exist or holds no data/inimaus.ini")

    ticks_text = _scalar_text(nodes["ticks"][1])
    if ticks_text is None or not WHOLE.match(ticks_text) or int(ticks_text) < 1:
        fail("ticks", f"ticks must be a whole number of at least 1, got {ticks_text!r}")
    ticks = int(ticks_text)

    seeds = _seeds(nodes["seeds"][1], lambda node, message: fail("seeds", message, node))
    value_lines = {}
    valid_names = set_names(runner)
    factors = _factors(nodes.get("factors"), valid_names,
                       lambda node, message: fail("factors", message, node), value_lines)
    study = designs.read(path, nodes, valid_names, WHOLE_NAMES, STAT_COLUMNS, ticks, bool(factors),
                         ExperimentError)
    plots = _plots(nodes.get("plots"), lambda node, message: fail("plots", message, node))
    checkpoint_every = DEFAULT_CHECKPOINT_EVERY
    if "checkpoint_every" in nodes:
        text = _scalar_text(nodes["checkpoint_every"][1])
        if text is None or not WHOLE.match(text) or int(text) < 0:
            fail("checkpoint_every",
                 f"checkpoint_every must be a whole number of ticks, 0 or more (0: no periodic checkpoints), got {text!r}")
        checkpoint_every = int(text)
    exp = Experiment(path, name, base, ticks, seeds, factors, plots, checkpoint_every)
    exp.base_line = _line(nodes["base"][1])
    exp.value_lines = value_lines
    exp.factors_line = _line(nodes["factors"][1]) if "factors" in nodes else exp.base_line
    exp.study = study
    if "observe_every" in nodes:
        text = _scalar_text(nodes["observe_every"][1])
        if text is None or not WHOLE.match(text) or int(text) < 0:
            fail("observe_every", f"observe_every must be a whole number of ticks, 0 or more (0: no table of every mouse), got {text!r}")
        exp.observe_every = int(text)
    exp.traits = _traits(nodes.get("traits"), gene_names(runner), lambda node, message: fail("traits", message, node))
    return exp


def _seeds(node, fail):
    if isinstance(node, yaml.ScalarNode):
        if not WHOLE.match(node.value) or not 1 <= int(node.value) <= 10000:
            fail(node, f"seeds must be a count from 1 to 10000 or a list of seeds, got {node.value!r}")
        return list(range(1, int(node.value) + 1))
    if not isinstance(node, yaml.SequenceNode) or not node.value:
        fail(node, "seeds must be a count or a non-empty list of seeds")
    seeds = []
    for item in node.value:
        text = _scalar_text(item)
        if text is None or not WHOLE.match(text) or not 0 <= int(text) <= MAX_SEED:
            fail(item, f"a seed must be a whole number from 0 to {MAX_SEED}, got {text!r}")
        if int(text) in seeds:
            fail(item, f"seed {int(text)} is given twice")
        seeds.append(int(text))
    return seeds


def _factors(node, valid_names, fail, lines):
    """The factors in file order; `lines` gets the line of every value."""
    if node is None:
        return []
    key_node, value_node = node
    if isinstance(value_node, yaml.ScalarNode) and value_node.value in ("", "null", "~"):
        return []
    if not isinstance(value_node, yaml.MappingNode):
        fail(value_node, "factors must map --set names to lists of values")
    factors = []
    for name_node, values_node in value_node.value:
        name = _scalar_text(name_node)
        if name not in valid_names:
            close = difflib.get_close_matches(name or "", sorted(valid_names), n=3)
            hint = f" (did you mean {', '.join(close)}?)" if close else ""
            fail(name_node, f"unknown --set name {name!r}{hint}; murinex-run --list-set-names lists every valid name")
        if any(name == n for n, _ in factors):
            fail(name_node, f"factor {name!r} is given twice")
        if not isinstance(values_node, yaml.SequenceNode) or not values_node.value:
            fail(values_node, f"factor {name} needs a non-empty list of values, e.g. [0.1, 0.2]")
        values = []
        pattern = WHOLE if name in WHOLE_NAMES else REAL
        number = int if name in WHOLE_NAMES else float
        for item in values_node.value:
            text = _scalar_text(item)
            if text is None or not pattern.match(text):
                kind = "a whole number" if name in WHOLE_NAMES else "a number"
                fail(item, f"a value of {name} must be {kind}, got {text!r}")
            if text in values:
                fail(item, f"value {text} of {name} is given twice")
            # 0.5 and 0.50 would be two conditions of one run, and tables could not tell them apart.
            equal = [v for v in values if number(v) == number(text)]
            if equal:
                fail(item, f"value {text} of {name} equals {equal[0]} as a number; give each value once")
            values.append(text)
            lines[(name, text)] = _line(item)
        factors.append((name, values))
    return factors


def gene_names(runner):
    """The 36 genes of the traits table, in its order: the runner's gene columns but NoNeed's."""
    out = subprocess.run([str(runner), "--list-observe-names"], check=True, capture_output=True, text=True)
    return [n[len("gene."):] for n in out.stdout.split() if n.startswith("gene.") and not n.startswith("gene.NoNeed.")]


def _traits(node, genes, fail):
    """The genes to draw; by default the person genes (those without a need in their name)."""
    if node is None:
        return [g for g in genes if "." not in g]
    _, value_node = node
    if not isinstance(value_node, yaml.SequenceNode):
        fail(value_node, "traits must be a list of genes, e.g. [Carefactor, Hunger.Weight]")
    traits = []
    for item in value_node.value:
        text = _scalar_text(item)
        if text not in genes:
            fail(item, f"unknown gene {text!r}; the genes are: " + " ".join(genes))
        if text not in traits:
            traits.append(text)
    return traits


def _plots(node, fail):
    if node is None:
        return ["NMaus"]
    _, value_node = node
    if not isinstance(value_node, yaml.SequenceNode):
        fail(value_node, "plots must be a list of statistics columns, e.g. [NMaus, Bite]")
    plots = []
    for item in value_node.value:
        text = _scalar_text(item)
        if text not in STAT_COLUMNS:
            fail(item, f"unknown statistics column {text!r}; the columns are: " + " ".join(STAT_COLUMNS))
        if text not in plots:
            plots.append(text)
    return plots
