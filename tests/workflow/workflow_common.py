"""Shared by the workflow tests: a tiny experiment on the default run, running
scripts/experiment, and reading what it leaves."""

import gzip
import json
import os
import struct
import subprocess
from pathlib import Path

ROOT = Path(__file__).resolve().parents[2]
EXPERIMENT = ROOT / "scripts" / "experiment"

TINY = """\
name: tiny
base: {base}
ticks: 300
seeds: [1, 2]
factors:
  mice.Carefactor: [0.2, 0.8]
plots: [NMaus, Bite]
"""
CONDITIONS = ["mice.Carefactor=0.2", "mice.Carefactor=0.8"]
SEEDS = [1, 2]
ROWS_PER_RUN = 3  # statistics rows at ticks 100, 200, 300


# A small sensitivity study of three factors (design sobol: samples x 5 runs; morris: x 4).
STUDY = """\
name: {name}
base: {base}
ticks: 300
seeds: 1
design: {design}
samples: {samples}
ranges:
  mice.Carefactor: [0.1, 0.9]
  world.Food.Growth: [0.0005, 0.004]
  MutationRate: [0.0, {mutation_high}]
outcomes: [NMaus, Hung, births]
window: 200
plots: [NMaus]
"""


def write_study(folder, design, samples, mutation_high=0.3):
    path = Path(folder) / f"{design}.yaml"
    path.write_text(STUDY.format(name=design, base=ROOT / "default-run", design=design,
                                 samples=samples, mutation_high=mutation_high))
    return path


def write_tiny(folder):
    path = Path(folder) / "tiny.yaml"
    path.write_text(TINY.format(base=ROOT / "default-run"))
    return path


def run_experiment(arguments, runner, env=None, **kwargs):
    environment = dict(os.environ if env is None else env)
    environment["MURINEX_RUN"] = str(runner)
    return subprocess.run([str(EXPERIMENT), *map(str, arguments)], env=environment,
                          capture_output=True, text=True, **kwargs)


def manifest(out, condition, seed):
    path = Path(out) / "runs" / condition / f"seed-{seed}" / "run.json"
    return json.loads(path.read_text()) if path.exists() else None


def complete_runs(out):
    return {(c, s) for c in CONDITIONS for s in SEEDS
            if (m := manifest(out, c, s)) is not None and m["status"] == "complete"}


def table_text(out):
    with gzip.open(Path(out) / "table.csv.gz", "rt") as f:
        return f.read()


def png_size(path):
    """(width, height) from a PNG's header; fails on anything that is not a PNG."""
    data = Path(path).read_bytes()
    assert data[:8] == b"\x89PNG\r\n\x1a\n", f"{path} is not a PNG"
    assert data[12:16] == b"IHDR"
    return struct.unpack(">II", data[16:24])
