#!/usr/bin/python3
"""Sensitivity experiments of the default run on this machine's cores (-j 2, a few
hundred ticks): a Sobol study of 3 factors gives its design, one summary row per run,
the indices, the plots and a report that a real browser shows; a Morris study resumes
only what is missing and starts a new design when its ranges change; a design file
with a starved condition ends that run as extinct.

usage: sensitivity_workflow_test.py --runner build/app/murinex-run
"""

import argparse
import gzip
import io
import json
import re
import shutil
import subprocess
import sys
import tempfile
import unittest
from pathlib import Path

import matplotlib

matplotlib.use("Agg")
import matplotlib.image  # noqa: E402
import pandas as pd  # noqa: E402

sys.path.insert(0, str(Path(__file__).resolve().parent))
import workflow_common as wc  # noqa: E402

RUNNER = None
FACTORS = ["mice.Carefactor", "world.Food.Growth", "MutationRate"]
RANGES = {"mice.Carefactor": (0.1, 0.9), "world.Food.Growth": (0.0005, 0.004), "MutationRate": (0.0, 0.3)}

STARVED = """\
name: starved
base: {base}
ticks: 2000
seeds: 1
design: file
design_file: starved.csv
stop_when: extinct
outcomes: [extinct, final_population, NMaus]
window: 2000
"""


def runs_made(stderr):
    return len(re.findall(r"^rule run:", stderr, flags=re.M))


def browser_check(report, picture):
    """Loads the report in headless Chromium without network; returns (DOM, stderr)."""
    browser = shutil.which("chromium") or shutil.which("chromium-browser")
    assert browser, "chromium is missing (scripts/setup installs it)"
    common = [browser, "--headless", "--no-sandbox", "--disable-gpu", "--hide-scrollbars",
              "--enable-logging=stderr", "--v=0", "--window-size=1200,1600"]
    shot = subprocess.run([*common, f"--screenshot={picture}", report.as_uri()],
                          capture_output=True, text=True, timeout=120)
    dom = subprocess.run([*common, "--dump-dom", report.as_uri()], capture_output=True, text=True,
                         timeout=120)
    return dom.stdout, shot.stderr + dom.stderr


class SensitivityWorkflow(unittest.TestCase):
    def setUp(self):
        self.scratch = tempfile.TemporaryDirectory(prefix="murinex-sensitivity-")
        self.folder = Path(self.scratch.name)

    def tearDown(self):
        self.scratch.cleanup()

    def start(self, experiment, out):
        done = wc.run_experiment([experiment, "--out", out, "-j", "2"], RUNNER, timeout=900)
        self.assertEqual(done.returncode, 0, done.stdout + done.stderr[-3000:])
        return done

    def test_sobol_study_with_summary_indices_plots_and_report(self):
        out = self.folder / "out"
        done = self.start(wc.write_study(self.folder, "sobol", 8), out)
        self.assertIn("40 conditions x 1 seed = 40 runs", done.stdout)  # 8 x (3 + 2)

        # The design: A, B, then A with one column from B per factor.
        design = pd.read_csv(out / "design.csv")
        self.assertEqual(list(design.columns), ["condition", *FACTORS])
        for name, (low, high) in RANGES.items():
            self.assertTrue(design[name].between(low, high).all(), name)
        a, b = design[FACTORS].iloc[0:8].to_numpy(), design[FACTORS].iloc[8:16].to_numpy()
        for i in range(3):
            mixed = design[FACTORS].iloc[16 + 8 * i:24 + 8 * i].to_numpy()
            for j in range(3):
                self.assertTrue(((mixed[:, j] == b[:, j]) if i == j else (mixed[:, j] == a[:, j])).all())

        summary = pd.read_csv(out / "summary.csv")
        self.assertEqual(list(summary.columns), ["experiment", "condition", *FACTORS, "seed", "status",
                                                 "NMaus", "Hung", "births"])
        self.assertEqual(len(summary), 40)
        self.assertEqual(set(summary["status"]), {"complete"})
        # NMaus: the mean of the rows at ticks 200 and 300 (the last 200 ticks); births as counted.
        with gzip.open(out / "table.csv.gz", "rt") as f:
            table = pd.read_csv(f)
        for _, run in summary.iloc[[0, 17, 39]].iterrows():
            rows = table[(table[FACTORS] == run[FACTORS]).all(axis=1)]
            self.assertEqual(list(rows["tick"]), [100, 200, 300])
            self.assertAlmostEqual(run["NMaus"], rows["NMaus"].iloc[1:].mean(), places=9)
            manifest = json.loads((out / "runs" / run["condition"] / "seed-1" / "run.json").read_text())
            self.assertEqual(run["births"], manifest["births"])

        indices = pd.read_csv(out / "sensitivity.csv")
        self.assertEqual(list(indices.columns),
                         ["outcome", "factor", "S1", "S1_low", "S1_high", "ST", "ST_low", "ST_high"])
        self.assertEqual(list(zip(indices["outcome"], indices["factor"])),
                         [(o, f) for o in ["NMaus", "Hung", "births"] for f in FACTORS])
        hunger = indices[indices["outcome"] == "Hung"]
        self.assertFalse(hunger[["S1", "ST"]].isna().any(axis=None))  # hunger differs between runs

        for outcome in ["NMaus", "Hung", "births"]:
            wc.png_size(out / "plots" / f"sensitivity-{outcome}.png")
            for factor in FACTORS:
                wc.png_size(out / "plots" / f"outcome-{factor}-{outcome}.png")

        report = out / "report.html"
        text = report.read_text()
        self.assertNotRegex(text, r"(src|href)=[\"']?(https?:|//|file:)")  # nothing fetched
        dom, log = browser_check(report, self.folder / "report.png")
        self.assertNotRegex(log, r"Uncaught|Failed to load resource|Not allowed to load")
        self.assertIn("Which parameters matter", dom)
        self.assertIn("complete: <b>40</b>", dom)
        self.assertEqual(dom.count("<img"), len(list((out / "plots").glob("*.png"))))
        screen = matplotlib.image.imread(self.folder / "report.png")
        self.assertEqual(screen.shape[:2], (1600, 1200))
        self.assertGreater(screen[..., :3].std(), 0.05)  # not one colour
        self.assertGreater((screen[..., :3].mean(axis=2) < 0.5).mean(), 0.005)  # text and bars

    def test_morris_study_resumes_and_makes_a_new_design_for_new_ranges(self):
        out = self.folder / "out"
        experiment = wc.write_study(self.folder, "morris", 3)
        self.assertIn("12 runs", self.start(experiment, out).stdout)  # 3 trajectories x (3 + 1)
        indices = pd.read_csv(out / "sensitivity.csv")
        self.assertEqual(list(indices.columns),
                         ["outcome", "factor", "mu", "mu_star", "sigma", "mu_star_low", "mu_star_high"])
        hunger = indices[indices["outcome"] == "Hung"]
        self.assertTrue((hunger["mu_star"] >= hunger["mu"].abs() - 1e-12).all())
        self.assertTrue((hunger["mu_star_low"] <= hunger["mu_star"]).all())
        self.assertTrue((hunger["mu_star"] <= hunger["mu_star_high"]).all())
        wc.png_size(out / "plots" / "sensitivity-Hung.png")

        design = (out / "design.csv").read_text()
        lost = pd.read_csv(out / "design.csv")["condition"][5]
        # As if stopped before this run and the summary were made.
        shutil.rmtree(out / "runs" / lost)
        (out / "summary.csv").unlink()
        again = self.start(experiment, out)
        self.assertEqual(runs_made(again.stderr), 1)
        self.assertNotIn("design differs", again.stdout)
        self.assertEqual((out / "design.csv").read_text(), design)

        # A wider mutation range moves every point but those at its low end, 0: a point
        # that is the same condition keeps its run.
        changed = wc.write_study(self.folder, "morris", 3, mutation_high=0.5)
        third = self.start(changed, out)
        old = pd.read_csv(io.StringIO(design))
        kept = int((old["MutationRate"] == 0).sum())
        self.assertIn("The design differs from the last start's", third.stdout)
        self.assertIn(f"{12 - kept} of its 12 conditions are new", third.stdout)
        self.assertEqual(runs_made(third.stderr), 12 - kept)
        summary = pd.read_csv(out / "summary.csv")
        self.assertEqual(len(summary), 12)
        levels = summary["MutationRate"] / 0.5 * 3  # on the grid 0, 1/3, 2/3, 1 of [0, 0.5]
        self.assertTrue(((levels - levels.round()).abs() < 1e-5).all())
        self.assertEqual(len(set(summary["condition"]) & set(old["condition"])), kept)

    def test_design_file_with_a_starved_condition_stops_it_as_extinct(self):
        (self.folder / "starved.csv").write_text(
            "world.Food.Level,world.Food.Growth,world.Water.Level,world.Water.Growth\n"
            "0,0,0,0\n"
            "0,0.004,0,0.004\n")
        experiment = self.folder / "starved.yaml"
        experiment.write_text(STARVED.format(base=wc.ROOT / "default-run"))
        out = self.folder / "out"
        self.start(experiment, out)
        summary = pd.read_csv(out / "summary.csv")
        self.assertEqual(list(summary["status"]), ["extinct", "complete"])
        self.assertEqual(list(summary["extinct"]), [1, 0])
        self.assertEqual(summary["final_population"][0], 0)
        manifest = json.loads((out / "runs" / summary["condition"][0] / "seed-1" / "run.json").read_text())
        self.assertLess(manifest["final_tick"], 2000)
        # Its NMaus outcome is the mean of every row it wrote (the window covers the run).
        with gzip.open(out / "table.csv.gz", "rt") as f:
            table = pd.read_csv(f)
        starved = table[table["world.Water.Growth"] == 0]
        self.assertEqual(starved["tick"].max(), manifest["final_tick"] // 100 * 100)
        self.assertAlmostEqual(summary["NMaus"][0], starved["NMaus"].mean(), places=9)
        self.assertIn("extinct: <b>1</b>", (out / "report.html").read_text())


if __name__ == "__main__":
    parser = argparse.ArgumentParser()
    parser.add_argument("--runner", required=True)
    arguments, rest = parser.parse_known_args()
    RUNNER = Path(arguments.runner).resolve()
    unittest.main(argv=[sys.argv[0], *rest])
