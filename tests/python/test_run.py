"""The murinex module against murinex-run: the same bytes however the ticks are
split, forks equal to a stopped, copied and resumed runner, checkpoints either
way, a step stopped by Ctrl-C, the tables, and the errors."""

import json
import os
import shutil
import signal
import threading

import pytest

import murinex
from conftest import DEFAULT_RUN, assert_same_outputs, output_files, run_runner

# Past the periodic dump at 10,000 and not a multiple of the statistics interval.
TOTAL = 10_150
OPTIONS = dict(seed=3, set={"world.Food.Growth": 0.0015})
RUNNER_OPTIONS = ["--seed", "3", "--set", "world.Food.Growth=0.0015"]


@pytest.fixture(scope="module")
def runner_total(tmp_path_factory):
    out = str(tmp_path_factory.mktemp("runner-total"))
    run_runner("--out", out, "--ticks", str(TOTAL), *RUNNER_OPTIONS)
    return out


@pytest.mark.parametrize("splits", [[TOTAL], [1, 99, 9_900, 150], [5_000, 0, 5_150]])
def test_any_split_of_the_ticks_writes_the_runners_bytes(tmp_path, runner_total, splits):
    out = str(tmp_path / "py")
    with murinex.Run(DEFAULT_RUN, out=out, **OPTIONS) as r:
        for ticks in splits:
            r.step(ticks)
            # Looking at the run between steps changes nothing it writes.
            r.mice(), r.statistics(), r.births(), r.deaths(), r.patches()
        assert r.tick == TOTAL
    assert_same_outputs(runner_total, out)
    manifest = json.load(open(os.path.join(out, "run.json")))
    assert manifest["ticks_done"] == TOTAL and manifest["status"] == "complete"


HALF, FULL = 1_500, 3_000
FORK_SET = "mice.Carefactor=0.8"


@pytest.fixture(scope="module")
def runner_forked(tmp_path_factory):
    """The runner stopped at HALF, its folder copied, the copy resumed with a --set."""
    base = tmp_path_factory.mktemp("runner-fork")
    stopped, forked, whole = (str(base / name) for name in ("stopped", "forked", "whole"))
    ticks = ["--ticks", str(FULL)]
    run_runner("--out", stopped, *ticks, *RUNNER_OPTIONS, "--stop-after", str(HALF), expect=75)
    shutil.copytree(stopped, forked)
    run_runner("--out", forked, *ticks, *RUNNER_OPTIONS, "--resume", "--set", FORK_SET)
    run_runner("--out", whole, *ticks, *RUNNER_OPTIONS)
    return {"forked": forked, "whole": whole}


def test_fork_and_set_equal_the_runners_fork_and_leave_the_original_alone(tmp_path,
                                                                         runner_forked):
    r = murinex.Run(DEFAULT_RUN, out=tmp_path / "a", **OPTIONS)
    r.step(HALF)
    f = r.fork(out=tmp_path / "a-future", set={"mice.Carefactor": 0.8})
    assert f.tick == r.tick == HALF
    assert (f.mice()["Carefactor"] == 0.8).all() and not (r.mice()["Carefactor"] == 0.8).all()
    f.step(FULL - HALF)
    r.step(FULL - HALF)
    f.close()
    r.close()
    assert_same_outputs(runner_forked["forked"], tmp_path / "a-future")
    assert_same_outputs(runner_forked["whole"], tmp_path / "a")
    forks = json.load(open(tmp_path / "a-future" / "run.json"))["forks"]
    assert forks == [{"tick": HALF, "applied": [{"name": "mice.Carefactor", "value": "0.8"}]}]

    with murinex.Run(DEFAULT_RUN, out=tmp_path / "b", **OPTIONS) as s:
        s.step(HALF)
        s.set("mice.Carefactor", 0.8)
        s.step(FULL - HALF)
    assert_same_outputs(runner_forked["forked"], tmp_path / "b")


def test_checkpoints_resume_either_way(tmp_path, runner_forked):
    # Python writes the checkpoint, Python resumes it.
    r = murinex.Run(DEFAULT_RUN, out=tmp_path / "p", **OPTIONS)
    r.step(HALF)
    r.checkpoint()
    r.step(100)  # ticks after the checkpoint are taken back by the resume
    del r
    with murinex.Run.resume(DEFAULT_RUN, out=tmp_path / "p", **OPTIONS) as r2:
        assert r2.tick == HALF
        r2.step(FULL - HALF)
    assert_same_outputs(runner_forked["whole"], tmp_path / "p")

    # Python writes it, the runner resumes it; and the runner's own stop is resumed by Python.
    q = murinex.Run(DEFAULT_RUN, out=tmp_path / "q", **OPTIONS)
    q.step(HALF)
    q.checkpoint()
    del q
    run_runner("--out", str(tmp_path / "q"), "--ticks", str(FULL), *RUNNER_OPTIONS, "--resume")
    assert_same_outputs(runner_forked["whole"], tmp_path / "q")

    run_runner("--out", str(tmp_path / "s"), "--ticks", str(FULL), *RUNNER_OPTIONS,
               "--stop-after", str(HALF), expect=75)
    with murinex.Run.resume(DEFAULT_RUN, out=tmp_path / "s", **OPTIONS) as s:
        s.step(FULL - HALF)
    assert_same_outputs(runner_forked["whole"], tmp_path / "s")


def test_ctrl_c_stops_a_step_at_a_tick_boundary(tmp_path):
    r = murinex.Run(DEFAULT_RUN, out=tmp_path / "py", **OPTIONS)
    timer = threading.Timer(0.5, os.kill, (os.getpid(), signal.SIGINT))
    timer.start()
    with pytest.raises(KeyboardInterrupt):
        r.step(10_000_000)
    timer.join()
    stopped = r.ticks_done
    assert 0 < stopped < 10_000_000
    # The run is whole: it steps on and ends as a runner run of the same ticks.
    r.step(50)
    r.close()
    runner = str(tmp_path / "runner")
    run_runner("--out", runner, "--ticks", str(stopped + 50), *RUNNER_OPTIONS)
    assert_same_outputs(runner, tmp_path / "py")


def test_tables_agree_with_the_files(tmp_path):
    with murinex.Run(DEFAULT_RUN, out=tmp_path, **OPTIONS) as r:
        r.step(2_000)
        mice = r.mice()
        assert list(mice.columns) == murinex.mouse_value_names()
        assert mice["ID"].is_unique and len(mice) > 0
        stats = r.statistics()
        assert list(stats["tick"]) == list(range(100, 2_001, 100))
        assert len(stats.columns) == 1 + 68
        assert stats["NMaus"].iloc[-1] == len(mice)  # the row of tick 2,000 counts the living
        deaths, births = r.deaths(), r.births()
        assert set(deaths["id"]).isdisjoint(mice["ID"])
        assert set(births["id"]) <= set(mice["ID"]) | set(deaths["id"])
        patches = r.patches()
        assert list(patches.columns) == ["name", "kind", "level", "amount", "centre_x",
                                         "centre_y"]
        assert patches["name"].iloc[0] == "Sand 1" and patches["kind"].iloc[0] == "Sand"
        assert patches["level"].between(0, 1).all()
    manifest = json.load(open(tmp_path / "run.json"))
    assert len(deaths) == sum(manifest["deaths"][c] for c in ("hunger", "thirst", "pain", "age"))
    # The mice of the final dump are the rows of the table, in the population's order.
    dump = output_files(tmp_path)["data/Maeuse-NN-1.dat"].decode("latin-1")
    # A record begins with: lineage, ID, age, mother's ID, tick of birth.
    heads = [line.split() for line in dump.splitlines()]
    ids = [int(h[1]) for h in heads if len(h) == 5 and h[0][0].isalpha()]
    assert ids == list(mice["ID"])


def test_errors_carry_the_runners_messages(tmp_path):
    with pytest.raises(ValueError, match="world.KIND.Growth"):  # the valid names are listed
        murinex.Run(DEFAULT_RUN, out=tmp_path / "a", set={"world.Fod.Growth": 1})
    with pytest.raises(ValueError, match="mice.Carefactor"):
        murinex.Run(DEFAULT_RUN, out=tmp_path / "a", set={"mice.Carefactor": "much"})
    with pytest.raises(murinex.InputError) as error:
        murinex.Run(tmp_path / "nowhere", out=tmp_path / "b")
    assert "inimaus.ini" in error.value.file and error.value.what
    with pytest.raises(murinex.CheckpointError):
        murinex.Run.resume(DEFAULT_RUN, out=tmp_path / "c")
    r = murinex.Run(DEFAULT_RUN, out=tmp_path / "d", seed=5)
    r.step(10)
    r.checkpoint()
    with pytest.raises(murinex.CheckpointError, match="--seed"):  # another run's checkpoint
        murinex.Run.resume(DEFAULT_RUN, out=tmp_path / "d", seed=6)
    with pytest.raises(ValueError, match="Carefactor"):
        r.set("mice.Carefactr", 0.5)
    with pytest.raises(ValueError):
        r.fork(out=tmp_path / "d")
    r.close()
    with pytest.raises(RuntimeError, match="closed"):
        r.step(1)


def test_read_experiment_gives_every_table(tmp_path):
    (tmp_path / "experiment.json").write_text("{}")
    (tmp_path / "runs.csv").write_text("condition,seed,status\nbase,1,completed\n")
    import gzip
    with gzip.open(tmp_path / "table.csv.gz", "wt") as f:
        f.write("experiment,condition,seed,tick,NMaus\nx,base,1,100,57\n")
    tables = murinex.read_experiment(tmp_path)
    assert sorted(tables) == ["runs", "table"]
    assert tables["table"]["NMaus"].tolist() == [57]
    with pytest.raises(murinex.InputError):
        murinex.read_experiment(tmp_path / "runs")


def test_the_guides_example_runs_as_written(tmp_path):
    readme = open(os.path.join(os.path.dirname(DEFAULT_RUN), "docs", "guide.md")).read()
    section = readme[readme.index("## From Python"):]
    code = section[section.index("```python") + len("```python"):]
    code = code[:code.index("```")]
    os.symlink(DEFAULT_RUN, tmp_path / "default-run")
    cwd = os.getcwd()
    os.chdir(tmp_path)
    try:
        scope = {}
        exec(compile(code, "docs/guide.md", "exec"), scope)
    finally:
        os.chdir(cwd)
    assert scope["r2"].tick == 5000 and scope["r2"].closed
    assert scope["f"].overrides == {"world.Food.Growth": "0.004", "world.Food.Level": "0.0"}
    assert os.path.exists(tmp_path / "runs" / "py-a-scarce" / "run.json")
