#!/usr/bin/env python3
"""The run-folder generator as a user calls it: help writes nothing, a folder in
use is refused, the defaults give the default run's inputs, and a 300-mouse
folder holds 300 records and runs."""
import argparse
import filecmp
import os
import subprocess
import sys
import tempfile
import unittest

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..")
TOOL = os.path.join(ROOT, "tools", "make_run_folder.py")
RUNNER = None


def generate(*args, cwd=None):
    return subprocess.run([sys.executable, TOOL, *args], cwd=cwd, capture_output=True, text=True)


def all_files(folder):
    found = []
    for base, _, files in os.walk(folder):
        found += [os.path.relpath(os.path.join(base, f), folder) for f in files]
    return sorted(found)


class MakeRunFolderTest(unittest.TestCase):
    def setUp(self):
        self.scratch = tempfile.TemporaryDirectory()
        self.dir = self.scratch.name

    def tearDown(self):
        self.scratch.cleanup()

    def test_help_prints_usage_and_writes_nothing(self):
        for args in (["--help"], ["-h"], ["--mice", "5", "--help", "out"]):
            result = generate(*args, cwd=self.dir)
            self.assertEqual(result.returncode, 0)
            self.assertIn("--mice N", result.stdout)
            self.assertIn("--force", result.stdout)
            self.assertEqual(os.listdir(self.dir), [], args)

    def test_a_folder_that_is_not_empty_is_refused_without_force(self):
        folder = os.path.join(self.dir, "run")
        os.makedirs(folder)
        with open(os.path.join(folder, "notes.txt"), "w") as f:
            f.write("mine\n")
        result = generate("--mice", "3", folder)
        self.assertEqual(result.returncode, 2)
        self.assertIn("not empty", result.stderr)
        self.assertEqual(os.listdir(folder), ["notes.txt"])
        result = generate("--mice", "3", "--force", folder)
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertTrue(os.path.exists(os.path.join(folder, "data", "population.txt")))
        self.assertTrue(os.path.exists(os.path.join(folder, "notes.txt")))

    def test_the_defaults_give_the_inputs_of_the_default_run(self):
        folder = os.path.join(self.dir, "run")
        result = generate(folder)
        self.assertEqual(result.returncode, 0, result.stderr)
        default_run = os.path.join(ROOT, "default-run")
        self.assertEqual(all_files(folder), all_files(default_run))
        for name in all_files(folder):
            self.assertTrue(filecmp.cmp(os.path.join(folder, name), os.path.join(default_run, name),
                                        shallow=False), name)

    def test_300_mice_in_a_larger_world_are_written_and_run(self):
        folder = os.path.join(self.dir, "crowd")
        result = generate("--mice", "300", "--scale", "2", "--seed", "7", folder)
        self.assertEqual(result.returncode, 0, result.stderr)
        with open(os.path.join(folder, "data", "population.txt")) as f:
            lines = f.read().splitlines()
        self.assertEqual(sum(1 for line in lines if line == "ActVal"), 300)
        with open(os.path.join(folder, "data", "world.txt")) as f:
            self.assertEqual(f.read().splitlines()[1].split()[:2], ["1800", "1280"])
        run = subprocess.run([RUNNER, "--dir", folder, "--ticks", "30", "--task", "G"],
                             capture_output=True, text=True)
        self.assertEqual(run.returncode, 0, run.stderr)
        with open(os.path.join(folder, "data", "Maeuse-G-0.dat")) as f:
            self.assertEqual(sum(1 for line in f.read().splitlines() if line == "ActVal"), 300)

    def test_another_seed_gives_another_population_in_the_same_world(self):
        first, second = os.path.join(self.dir, "a"), os.path.join(self.dir, "b")
        self.assertEqual(generate("--mice", "10", first).returncode, 0)
        self.assertEqual(generate("--mice", "10", "--seed", "5", second).returncode, 0)
        self.assertTrue(filecmp.cmp(os.path.join(first, "data", "world.txt"),
                                    os.path.join(second, "data", "world.txt"), shallow=False))
        self.assertFalse(filecmp.cmp(os.path.join(first, "data", "population.txt"),
                                     os.path.join(second, "data", "population.txt"), shallow=False))


if __name__ == "__main__":
    parser = argparse.ArgumentParser()
    parser.add_argument("--runner", required=True)
    options, rest = parser.parse_known_args()
    RUNNER = options.runner
    unittest.main(argv=[sys.argv[0], *rest])
