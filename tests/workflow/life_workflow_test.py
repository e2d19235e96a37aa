#!/usr/bin/python3
"""The experiment gathers the life records and draws them: a small experiment
(2 conditions x 2 seeds x 3000 ticks, observe_every 1000) gives births, deaths,
traits, lineages and mice tables whose rows are each run's own rows behind the
experiment, factor and seed columns, and the trait, survival and lineage plots.

usage: life_workflow_test.py --runner build/app/murinex-run
"""

import argparse
import csv
import gzip
import sys
import tempfile
import unittest
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
import workflow_common as wc  # noqa: E402

RUNNER = None

EXPERIMENT = """\
name: lives
base: {base}
ticks: 3000
seeds: [1, 2]
factors:
  mice.Carefactor: [0.2, 0.8]
observe_every: 1000
traits: [Carefactor, Hunger.Weight]
"""


def gathered(out, name):
    with gzip.open(Path(out) / name, "rt", newline="") as f:
        return list(csv.reader(f))


class LifeWorkflow(unittest.TestCase):
    def test_gathers_and_draws_the_life_records(self):
        with tempfile.TemporaryDirectory(prefix="murinex-life-") as scratch:
            out = Path(scratch) / "out"
            experiment = Path(scratch) / "lives.yaml"
            experiment.write_text(EXPERIMENT.format(base=wc.ROOT / "default-run"))
            done = wc.run_experiment([experiment, "--out", out, "-j", "2"], RUNNER)
            self.assertEqual(done.returncode, 0, done.stdout + done.stderr)
            runs = [(c, s) for c in wc.CONDITIONS for s in wc.SEEDS]
            for table, run_file in [("births.csv.gz", "Births-NN.csv"), ("deaths.csv.gz", "Deaths-NN.csv"),
                                    ("traits.csv.gz", "Traits-NN.csv"), ("mice.csv.gz", "Mice-NN.csv.gz")]:
                rows = gathered(out, table)
                expected = []
                for condition, seed in runs:
                    path = out / "runs" / condition / f"seed-{seed}" / "Proto" / run_file
                    opener = gzip.open if run_file.endswith(".gz") else open
                    with opener(path, "rt", newline="") as f:
                        own = list(csv.reader(f))
                    value = condition.split("=")[1]
                    expected += [["lives", condition, value, str(seed), *row] for row in own[1:]]
                self.assertEqual(rows[0], ["experiment", "condition", "mice.Carefactor", "seed", *own[0]],
                                 table)
                self.assertEqual(rows[1:], expected, table)
                self.assertGreater(len(expected), 0, table)
            # Every tick of the mice table is 0, 1000, 2000 or 3000; the lineages start with all 60 founders.
            self.assertEqual({r[4] for r in gathered(out, "mice.csv.gz")[1:]}, {"0", "1000", "2000", "3000"})
            lineages = gathered(out, "lineages.csv.gz")
            self.assertEqual(lineages[0][-2:], ["tick", "lineages"])
            self.assertEqual({r[-1] for r in lineages[1:] if r[-2] == "0"}, {"60"})
            for plot in ["traits/Carefactor.png", "traits/Hunger.Weight.png", "survival.png", "lineages.png"]:
                width, height = wc.png_size(out / "plots" / plot)
                self.assertGreater(width * height, 0)
            self.assertFalse((out / "plots" / "traits" / "BasAr.png").exists())


if __name__ == "__main__":
    parser = argparse.ArgumentParser()
    parser.add_argument("--runner", required=True)
    args, rest = parser.parse_known_args()
    RUNNER = Path(args.runner).resolve()
    unittest.main(argv=[sys.argv[0], *rest])
