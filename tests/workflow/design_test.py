#!/usr/bin/python3
"""Sampling designs and sensitivity estimators on functions whose answers are known,
and the checks of the design keys of an experiment file.

usage: design_test.py --runner build/app/murinex-run
"""

import argparse
import sys
import tempfile
import unittest
from pathlib import Path

import numpy as np

ROOT = Path(__file__).resolve().parents[2]
sys.path.insert(0, str(ROOT / "workflow"))
import designs  # noqa: E402
import experiment  # noqa: E402
import sensitivity  # noqa: E402

RUNNER = None


def ishigami(unit, a=7.0, b=0.1):
    x = -np.pi + 2 * np.pi * unit
    return np.sin(x[:, 0]) + a * np.sin(x[:, 1]) ** 2 + b * x[:, 2] ** 4 * np.sin(x[:, 0])


class Estimators(unittest.TestCase):
    def test_sobol_indices_of_the_ishigami_function(self):
        # Known analytically for a = 7, b = 0.1 (Ishigami and Homma 1990): with
        # V = a^2/8 + b pi^4/5 + b^2 pi^8/18 + 1/2, V1 = (1 + b pi^4/5)^2 / 2, V2 = a^2/8,
        # V13 = b^2 pi^8 (1/18 - 1/50), S1 = V1/V, S2 = V2/V, S3 = 0, ST1 = (V1 + V13)/V,
        # ST2 = S2, ST3 = V13/V.
        a, b = 7.0, 0.1
        v1 = (1 + b * np.pi**4 / 5) ** 2 / 2
        v2 = a**2 / 8
        v13 = b**2 * np.pi**8 * (1 / 18 - 1 / 50)
        v = v1 + v2 + v13
        first = [v1 / v, v2 / v, 0.0]
        total = [(v1 + v13) / v, v2 / v, v13 / v]
        n = 4096
        unit = designs.saltelli_points(3, n, seed=1)
        self.assertEqual(unit.shape, (n * 5, 3))
        for estimator in designs.ESTIMATORS:
            rows = sensitivity.sobol_indices(unit, ishigami(unit), n, estimator)
            for i, (s1, s1_low, s1_high, st, st_low, st_high) in enumerate(rows):
                where = f"x{i + 1}, {estimator}"
                self.assertAlmostEqual(s1, first[i], delta=0.03, msg=f"S1 of {where}")
                self.assertAlmostEqual(st, total[i], delta=0.03, msg=f"ST of {where}")
                self.assertTrue(s1_low <= s1 <= s1_high and st_low <= st <= st_high, where)
                self.assertLess(s1_high - s1_low, 0.15, where)

    def test_morris_effects_of_known_functions(self):
        k, r, levels = 3, 6, 4
        unit = designs.morris_points(k, r, levels, seed=5)
        self.assertEqual(unit.shape, (r * (k + 1), k))
        # Every point on the grid 0, 1/3, 2/3, 1; each step moves one factor by
        # delta = 4 / (2 * 3) = 2/3, each factor once per trajectory.
        np.testing.assert_allclose(unit * 3, np.round(unit * 3), atol=1e-12)
        for t in range(r):
            steps = np.diff(unit[t * (k + 1):(t + 1) * (k + 1)], axis=0)
            self.assertEqual(sorted(np.flatnonzero(steps)[:] % k), [0, 1, 2])
            np.testing.assert_allclose(np.abs(steps.sum(axis=1)), 2 / 3)
        # y = 2 x1 - 3 x2: every effect per unit range is exact.
        linear = sensitivity.morris_effects(unit, 2 * unit[:, 0] - 3 * unit[:, 1], k + 1)
        np.testing.assert_allclose([row[:3] for row in linear], [[2, 2, 0], [-3, 3, 0], [0, 0, 0]],
                                   atol=1e-12)
        self.assertEqual(linear[0][3:], (2.0, 2.0))  # every resample holds only 2s
        # y = x1 x2: the effect of x1 is x2, which varies: sigma > 0; x3 does nothing.
        product = sensitivity.morris_effects(unit, unit[:, 0] * unit[:, 1], k + 1)
        self.assertGreater(product[0][2], 0)
        self.assertEqual(product[2][:3], (0.0, 0.0, 0.0))


class Designs(unittest.TestCase):
    def test_latin_hypercube_fills_every_stratum_and_keeps_whole_numbers(self):
        study = designs.Study()
        study.kind, study.samples, study.seed = "lhs", 10, 3
        study.ranges = [designs.Range("mice.Carefactor", 0.1, 0.9, False),
                        designs.Range("LifeSpan", 1000, 2000, True)]
        points = study.points()
        self.assertEqual(len(points), 10)
        care = np.array([float(p[0][1]) for p in points])
        # One point in each tenth of the range.
        self.assertEqual(sorted(np.floor((care - 0.1) / 0.08).astype(int)), list(range(10)))
        for point in points:
            self.assertRegex(point[1][1], r"^\d+$")
            self.assertTrue(1000 <= int(point[1][1]) <= 2000)
        self.assertEqual(points, study.points())  # the seed fixes the design
        study.seed = 4
        self.assertNotEqual(points, study.points())

    def test_faults_are_named_with_file_and_line(self):
        head = "name: b\nbase: {base}\nticks: 300\nseeds: 1\n".format(base=ROOT / "default-run")
        cases = [
            ("design: sobol\nsamples: 8\nranges:\n  mice.Carefactor: [0.9, 0.1]\n",
             "b.yaml:8: the range of mice.Carefactor must have its low below its high"),
            ("design: morris\nsamples: 4\nranges:\n  mice.Carfactor: [0.1, 0.9]\n",
             "b.yaml:8: unknown --set name 'mice.Carfactor'"),
            ("design: sobol\nsamples: 2\nranges:\n  mice.Carefactor: [0.1, 0.9]\n",
             "b.yaml:6: samples must be at least"),
            ("design: lhs\nsample: 3\n", "b.yaml:6: unknown key 'sample'"),
            ("design: file\ndesign_file: d.csv\n", "d.csv:1: column 'bogus' is not a --set name"),
            ("outcomes: [NMaus, births, Foo]\n", "b.yaml:5: unknown outcome 'Foo'"),
        ]
        with tempfile.TemporaryDirectory() as folder:
            (Path(folder) / "d.csv").write_text("mice.Carefactor,bogus\n0.1,2\n")
            for body, message in cases:
                path = Path(folder) / "b.yaml"
                path.write_text(head + body)
                with self.assertRaises(experiment.ExperimentError, msg=body) as caught:
                    experiment.load(path, RUNNER)
                self.assertIn(message, str(caught.exception))


if __name__ == "__main__":
    parser = argparse.ArgumentParser()
    parser.add_argument("--runner", required=True)
    args, rest = parser.parse_known_args()
    RUNNER = Path(args.runner).resolve()
    unittest.main(argv=[sys.argv[0], *rest])
