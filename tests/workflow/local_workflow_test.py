#!/usr/bin/python3
"""The experiment workflow on this machine's cores: a tiny experiment (2 conditions
x 2 seeds x 300 ticks, -j 2) gives 4 complete manifests, the table and the plots;
killed after its first run and started again, it makes only the missing runs;
stopped while a run is under way, started again, it resumes the run from its
checkpoint and ends with the files of a run that never stopped; a faulty
experiment file is refused before any run, naming file and line.

usage: local_workflow_test.py --runner build/app/murinex-run
"""

import argparse
import fcntl
import hashlib
import json
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import unittest
from pathlib import Path

import pandas as pd

sys.path.insert(0, str(Path(__file__).resolve().parent))
import workflow_common as wc  # noqa: E402

RUNNER = None

STAT_COLUMNS = (
    "Learn PlanSteps SuccessfulPlan Arousal Inhib MotCh OppCh Mausnotseen DangerNotSeen "
    "HelpMission HelpAggress BiteFriend Threat Support Fear ThreatFlight "
    "NoNeed Hung Thir Pain Sex Affil Cert Comp "
    "NoGoal GSand GFood GWater GJuli GStones GHerbs GInfo GLegSign GSupportSign GCompSign "
    "NMaus Age Deathrate Birthrate LifeLength RelFriends RelEnemies EnToFrin GiveUp NoAct "
    "Move Explore Flight Bite Hold Feed Drink Cure Smile Plan Sleep Drunken Care "
    "MDensity MVarDens DHunger DThirst DPain DAge Strength CareHunger CareThirst CarePain").split()


def outputs(folder):
    """The protocols and dumps of a run's output folder, dumps without their dated first line."""
    files = {}
    for path in sorted([*(folder / "Proto").glob("*.prt"), *(folder / "data").glob("*.dat")]):
        text = path.read_text()
        if path.suffix == ".dat":
            text = text.split("\n", 1)[1]
        files[str(path.relative_to(folder))] = text
    return files


class LocalWorkflow(unittest.TestCase):
    def setUp(self):
        self.scratch = tempfile.TemporaryDirectory(prefix="murinex-workflow-")
        self.folder = Path(self.scratch.name)
        self.experiment = wc.write_tiny(self.folder)

    def tearDown(self):
        self.scratch.cleanup()

    def test_runs_collects_and_plots(self):
        out = self.folder / "out"
        done = wc.run_experiment([self.experiment, "--out", out, "-j", "2"], RUNNER, timeout=600)
        self.assertEqual(done.returncode, 0, done.stdout + done.stderr)
        self.assertEqual(len(wc.complete_runs(out)), 4)
        self.assertIn("4 runs of 300 ticks", done.stdout)
        self.assertIn("steps (100%) done", done.stderr)  # Snakemake's progress

        table = pd.read_csv(out / "table.csv.gz")
        self.assertEqual(list(table.columns),
                         ["experiment", "condition", "mice.Carefactor", "seed", "tick", *STAT_COLUMNS])
        self.assertEqual(len(table), 4 * wc.ROWS_PER_RUN)
        self.assertEqual(set(table["experiment"]), {"tiny"})
        self.assertEqual(sorted(set(table["mice.Carefactor"])), [0.2, 0.8])
        self.assertEqual(list(table["tick"][:3]), [100, 200, 300])
        # Each run starts with the 60 mice of the default population.
        self.assertTrue((table[table["tick"] == 100]["NMaus"] <= 60).all())

        # The values stand as the protocol writes them.
        protocol = (out / "runs" / "mice.Carefactor=0.8" / "seed-2" / "Proto" / "ProtoNN.prt")
        rows = protocol.read_text().splitlines()[1:]
        lines = wc.table_text(out).splitlines()
        prefix = "tiny,mice.Carefactor=0.8,0.8,2,"
        expected = [f"{prefix}{100 * (i + 1)}," + ",".join(f.strip() for f in row.rstrip(";").split(";")[1:])
                    for i, row in enumerate(rows)]
        self.assertEqual([line for line in lines if line.startswith(prefix)], expected)

        runs = pd.read_csv(out / "runs.csv")
        self.assertEqual(len(runs), 4)
        self.assertEqual(set(runs["status"]), {"complete"})
        self.assertEqual(set(runs["ticks_done"]), {300})
        first = wc.manifest(out, "mice.Carefactor=0.2", 1)
        self.assertEqual(first["seed"], 1)
        self.assertEqual(first["overrides"], [{"name": "mice.Carefactor", "value": "0.2"}])
        row = runs[(runs["mice.Carefactor"] == 0.2) & (runs["seed"] == 1)].iloc[0]
        self.assertEqual(row["final_population"], first["final_population"])
        self.assertEqual(row["births"], first["births"])

        for name in ["NMaus", "Bite", "population-and-deaths"]:
            width, height = wc.png_size(out / "plots" / f"{name}.png")
            self.assertGreater(width, 400, name)
            self.assertGreater(height, 300, name)

        # Started again with everything done, it makes no run.
        again = wc.run_experiment([self.experiment, "--out", out, "-j", "2"], RUNNER, timeout=600)
        self.assertEqual(again.returncode, 0, again.stderr)
        self.assertIn("Nothing to be done", again.stderr)

    def test_killed_and_started_again_runs_only_what_is_missing(self):
        out = self.folder / "out"
        calls = self.folder / "calls.txt"
        # The real runner, started a little late, so there is time to kill in between;
        # every start is noted.
        slow = self.folder / "slow-runner"
        slow.write_text(f"#!/bin/sh\necho \"$*\" >>{calls}\nsleep 1.5\nexec {RUNNER} \"$@\"\n")
        slow.chmod(0o755)
        environment = dict(os.environ, MURINEX_RUN=str(slow))
        first = subprocess.Popen([str(wc.EXPERIMENT), str(self.experiment), "--out", str(out), "-j", "2"],
                                 env=environment, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                                 start_new_session=True)
        try:
            deadline = time.monotonic() + 300
            while not wc.complete_runs(out):
                self.assertIsNone(first.poll(), "the experiment ended before it could be killed")
                self.assertLess(time.monotonic(), deadline, "no run completed")
                time.sleep(0.02)
        finally:
            os.killpg(first.pid, signal.SIGKILL)
            first.wait()
        done_before = wc.complete_runs(out)
        self.assertLess(len(done_before), 4)
        before = {run: (out / "runs" / run[0] / f"seed-{run[1]}" / "run.json").read_bytes()
                  for run in done_before}
        calls.write_text("")

        again = wc.run_experiment([self.experiment, "--out", out, "-j", "2"], slow, timeout=600)
        self.assertEqual(again.returncode, 0, again.stderr)
        self.assertEqual(len(wc.complete_runs(out)), 4)
        started = calls.read_text().splitlines()
        # The runner's own check of each condition, then one start per missing run.
        self.assertEqual(sum("--ticks 0 " in line for line in started), 2)
        runs = [line for line in started if "--ticks 300 " in line]
        self.assertEqual(len(runs), 4 - len(done_before), "\n".join(started) + again.stderr)
        for (condition, seed), text in before.items():
            self.assertEqual((out / "runs" / condition / f"seed-{seed}" / "run.json").read_bytes(), text)
            self.assertFalse(any(f"--out runs/{condition}/seed-{seed}" in line for line in runs))
        self.assertEqual(len(pd.read_csv(out / "table.csv.gz")), 4 * wc.ROWS_PER_RUN)

    def test_a_stopped_run_resumes_from_its_checkpoint(self):
        # One run long enough to be stopped half-way, with a checkpoint every 500 ticks.
        experiment = self.folder / "long.yaml"
        experiment.write_text(f"name: long\nbase: {wc.ROOT / 'default-run'}\nticks: 4000\nseeds: [3]\n"
                              "factors:\n  mice.Carefactor: [0.2]\nplots: [NMaus]\ncheckpoint_every: 500\n")
        out = self.folder / "out"
        run = out / "runs" / "mice.Carefactor=0.2" / "seed-3"
        checkpoint = run / "data" / "checkpoint-NN.mxc"
        first = subprocess.Popen([str(wc.EXPERIMENT), str(experiment), "--out", str(out), "-j", "1"],
                                 env=dict(os.environ, MURINEX_RUN=str(RUNNER)),
                                 stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, start_new_session=True)
        try:
            deadline = time.monotonic() + 300
            while not checkpoint.exists():
                self.assertIsNone(first.poll(), "the experiment ended before it could be stopped")
                self.assertLess(time.monotonic(), deadline, "no checkpoint was written")
                time.sleep(0.01)
        finally:
            os.killpg(first.pid, signal.SIGTERM)  # as Ctrl-C or a scheduler would stop it
            first.wait()
        stopped = wc.manifest(out, "mice.Carefactor=0.2", 3)
        self.assertTrue(stopped is None or stopped["status"] != "complete", stopped)
        self.assertFalse((out / "table.csv.gz").exists())

        again = wc.run_experiment([experiment, "--out", out, "-j", "1"], RUNNER, timeout=600)
        self.assertEqual(again.returncode, 0, again.stderr)
        self.assertIn("1 unfinished run goes on from its checkpoint", again.stdout)
        resumed = wc.manifest(out, "mice.Carefactor=0.2", 3)
        self.assertEqual(resumed["status"], "complete")
        self.assertGreater(resumed["resumed_from_tick"], 0)
        self.assertLess(resumed["resumed_from_tick"], 4000)
        self.assertEqual(resumed["ticks_done"], 4000)
        self.assertIn(f"resumed at tick {resumed['resumed_from_tick']}", (run / "runner.log").read_text())
        self.assertFalse(checkpoint.exists())  # a complete run needs it no more

        # A run of the same condition and seed that never stopped writes the same files.
        straight = self.folder / "straight"
        done = subprocess.run([str(RUNNER), "--dir", str(wc.ROOT / "default-run"), "--ticks", "4000",
                               "--seed", "3", "--set", "mice.Carefactor=0.2", "--out", str(straight)],
                              capture_output=True, text=True)
        self.assertEqual(done.returncode, 0, done.stderr)
        self.assertEqual(outputs(run), outputs(straight))
        self.assertIn("data/Maeuse-NN-1.dat", outputs(straight))

    def test_one_experiment_process_per_output_folder(self):
        out = self.folder / "out"
        out.mkdir()
        with open(out / ".experiment.lock", "w") as held:
            fcntl.flock(held, fcntl.LOCK_EX)
            done = wc.run_experiment([self.experiment, "--out", out], RUNNER, timeout=120)
        self.assertEqual(done.returncode, 1)
        self.assertIn(f"another scripts/experiment is working in {out}", done.stderr)
        self.assertFalse((out / "runs").exists())

    def refused(self, text, line, message):
        path = self.folder / "bad.yaml"
        path.write_text(text)
        done = wc.run_experiment([path, "--out", self.folder / "bad-out"], RUNNER, timeout=120)
        self.assertEqual(done.returncode, 2, done.stderr)
        self.assertIn(f"{path}:{line}: {message}", done.stderr)
        self.assertFalse((self.folder / "bad-out").exists())

    def test_faulty_files_are_refused_before_any_run(self):
        base = wc.ROOT / "default-run"
        good = wc.TINY.format(base=base)
        self.refused(good.replace("plots:", "plot:"), 7, "unknown key 'plot'")
        self.refused(good.replace("mice.Carefactor:", "mice.Carefacter:"), 6,
                     "unknown --set name 'mice.Carefacter' (did you mean mice.Carefactor")
        self.refused(good.replace(str(base), str(self.folder / "nowhere")), 2, "base folder")
        self.refused(good.replace("[0.2, 0.8]", "[0.2, high]"), 6, "a value of mice.Carefactor must be a number")
        self.refused(good.replace("seeds: [1, 2]", "seeds: [1, -2]"), 4, "a seed must be a whole number")
        self.refused(good.replace("ticks: 300", "ticks: soon"), 3, "ticks must be a whole number")
        self.refused(good.replace("[NMaus, Bite]", "[NMaus, Bites]"), 7, "unknown statistics column 'Bites'")
        self.refused(good.replace("name: tiny\n", ""), 1, "the key 'name' is missing")
        self.refused(good + "checkpoint_every: -500\n", 8, "checkpoint_every must be a whole number of ticks")
        # Values equal as numbers would be one condition under two names.
        self.refused(good.replace("[0.2, 0.8]", "[0.5, 0.50]"), 6,
                     "value 0.50 of mice.Carefactor equals 0.5 as a number")
        # Values the runner refuses, found by asking it before any run starts.
        self.refused(good.replace("plots:", "  DeathAge: [100, 99999999999]\nplots:"), 7,
                     "murinex-run refuses DeathAge=99999999999: the value of DeathAge must be a whole number")
        self.refused(good.replace("[0.2, 0.8]", "[0.2, 1e400]"), 6,
                     "murinex-run refuses mice.Carefactor=1e400")

    def test_a_runner_that_cannot_be_started_is_named_without_a_traceback(self):
        done = wc.run_experiment([self.experiment, "--out", self.folder / "out"], self.folder / "no-runner",
                                 timeout=120)
        self.assertEqual(done.returncode, 1)
        self.assertIn(f"MURINEX_RUN={self.folder / 'no-runner'} is not a program", done.stderr)
        self.assertNotIn("Traceback", done.stderr)

    def test_a_changed_experiment_starts_its_runs_over(self):
        base = self.folder / "base"
        shutil.copytree(wc.ROOT / "default-run", base)
        experiment = self.folder / "changing.yaml"
        text = f"name: first\nbase: {base}\nticks: 2000\nseeds: [1]\nplots: [NMaus]\ncheckpoint_every: 500\n"
        experiment.write_text(text)
        out = self.folder / "out"
        run = out / "runs" / "base" / "seed-1"
        # Stopped 1005 ticks into its 2000, as by a Ctrl-C.
        stopping = self.folder / "stopping-runner"
        stopping.write_text(f"#!/bin/sh\nexec {RUNNER} \"$@\" --stop-after 1005\n")
        stopping.chmod(0o755)
        stopped = wc.run_experiment([experiment, "--out", out, "-j", "1"], stopping, timeout=600)
        self.assertNotEqual(stopped.returncode, 0)
        self.assertTrue((run / "data" / "checkpoint-NN.mxc").exists())
        self.assertIn("1 condition x 1 seed = 1 run of 2000 ticks", stopped.stdout)

        # Fewer ticks than the checkpoint's run: made again from the start, not refused for ever.
        experiment.write_text(text.replace("ticks: 2000", "ticks: 1000"))
        again = wc.run_experiment([experiment, "--out", out, "-j", "1"], RUNNER, timeout=600)
        self.assertEqual(again.returncode, 0, again.stdout + again.stderr)
        self.assertIn("1 run starts over from the beginning", again.stdout)
        self.assertIn("ticks is now 1000, fewer than the 2000 of the stopped run", again.stdout)
        m = wc.manifest(out, "base", 1)
        self.assertEqual((m["status"], m["ticks_done"], m["resumed_from_tick"]), ("complete", 1000, None))
        self.assertEqual(sorted(p.name for p in (run / "data").iterdir()),
                         ["Genom-NN-0.dat", "Genom-NN-1.dat", "Maeuse-NN-0.dat", "Maeuse-NN-1.dat"])

        # A changed base file makes the complete run again, on the new file.
        world = base / "data" / "world.txt"
        world.write_text(world.read_text().replace("0.004", "0.005", 1))
        changed = wc.run_experiment([experiment, "--out", out, "-j", "1"], RUNNER, timeout=600)
        self.assertEqual(changed.returncode, 0, changed.stdout + changed.stderr)
        self.assertIn("the base's data/world.txt has changed", changed.stdout)
        self.assertEqual(wc.manifest(out, "base", 1)["inputs_sha256"]["data/world.txt"],
                         hashlib.sha256(world.read_bytes()).hexdigest())

        # Renamed, it makes its table again under the new name.
        experiment.write_text(text.replace("ticks: 2000", "ticks: 1000").replace("name: first", "name: second"))
        renamed = wc.run_experiment([experiment, "--out", out, "-j", "1"], RUNNER, timeout=600)
        self.assertEqual(renamed.returncode, 0, renamed.stderr)
        self.assertEqual(set(pd.read_csv(out / "table.csv.gz")["experiment"]), {"second"})

    def test_plots_tell_conditions_apart_by_name_and_count_every_death(self):
        # Two runs of conditions whose values pandas may read back as other floats,
        # with statistics rows that count no death and manifests that count 7 and 2.
        config = {"experiment": "floats", "factors": ["mice.Carefactor"], "seeds": [1], "ticks": 100,
                  "plots": ["NMaus"],
                  "conditions": {f"mice.Carefactor={v}": [["mice.Carefactor", v]]
                                 for v in ("0.1", "0.30000000000000004")}}
        out = self.folder / "out"
        for number, condition in enumerate(config["conditions"]):
            run = out / "runs" / condition / "seed-1"
            (run / "Proto").mkdir(parents=True)
            (run / "Proto" / "ProtoNN.prt").write_text(
                "0;" + ";".join(STAT_COLUMNS) + ";\n" + "   1;" + "0;" * len(STAT_COLUMNS) + "\n")
            deaths = {"hunger": 7 - 5 * number, "thirst": 0, "pain": 0, "age": 0, "total": 7 - 5 * number}
            (run / "run.json").write_text(json.dumps({
                "status": "complete", "task": "NN", "ticks_done": 100, "final_tick": 100, "final_population": 0,
                "births": 0, "deaths": deaths, "start": "", "end": "", "version": "test"}))
        (out / "experiment.json").write_text(json.dumps(config))
        for script in ("collect.py", "plot.py"):
            done = subprocess.run([sys.executable, str(wc.ROOT / "workflow" / script), "experiment.json"],
                                  cwd=out, capture_output=True, text=True)
            self.assertEqual(done.returncode, 0, done.stderr)
        sys.path.insert(0, str(wc.ROOT / "workflow"))
        import plot
        table, runs = pd.read_csv(out / "table.csv.gz"), pd.read_csv(out / "runs.csv")
        self.assertEqual([len(rows) for _, _, rows in plot.conditions(table, config)], [1, 1])
        self.assertEqual([plot.deaths_of(runs, c, "hunger")[0] for c in config["conditions"]], [7, 2])


if __name__ == "__main__":
    parser = argparse.ArgumentParser()
    parser.add_argument("--runner", required=True)
    arguments, rest = parser.parse_known_args()
    RUNNER = Path(arguments.runner).resolve()
    unittest.main(argv=[sys.argv[0], *rest], verbosity=2)
