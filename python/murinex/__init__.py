"""Murinex from Python: step a run of artificial mice, look at its mice as a table,
fork it in memory.

A run driven from here writes exactly the files murinex-run writes with the same
run folder, task, seed, --set values and total ticks, however the ticks are split
between calls of ``step``::

    import murinex
    with murinex.Run("default-run", out="runs/a", seed=1) as r:
        r.step(1000)
        mice = r.mice()              # one row per living mouse
        future = r.fork(out="runs/a-scarce", set={"world.Food.Growth": 0.0005})
        future.step(1000)
        future.close()
"""

from __future__ import annotations

import glob
import math
import os
from typing import Any, Mapping, Optional

import pandas as pd

from . import _core
from ._core import CheckpointError, InputError

__all__ = ["Run", "InputError", "CheckpointError", "read_experiment", "set_names",
           "mouse_value_names"]

STAT_INTERVAL = 100  # ticks per statistics row


def _value_text(name: str, value: Any) -> str:
    """The text of a --set value as the runner's command line would give it."""
    if isinstance(value, bool) or not isinstance(value, (int, float, str)):
        raise ValueError(f"--set {name}: the value must be a number, not {value!r}")
    if isinstance(value, float) and not math.isfinite(value):
        raise ValueError(f"--set {name}: the value must be a finite number, not {value!r}")
    return value if isinstance(value, str) else repr(value)


def _pairs(values: Optional[Mapping[str, Any]]) -> list[tuple[str, str]]:
    if values is None:
        return []
    return [(str(name), _value_text(name, value)) for name, value in values.items()]


def set_names() -> list[str]:
    """Every name ``set`` and ``Run(set=...)`` accept, as ``murinex-run --list-set-names``."""
    return _core.set_names()


def mouse_value_names() -> list[str]:
    """The columns of ``Run.mice()``, in their order."""
    return _core.mouse_value_names()


class Run:
    """One run of the simulation, driven tick by tick.

    ``Run(dir, task="NN", seed=1, set=None, out=None, select=None, check_id=None)``
    reads the run folder ``dir`` as ``murinex-run --dir DIR`` does and writes dump 0
    and the protocols' first lines into ``out`` (default: the run folder itself).
    ``set`` maps --set names (see ``set_names()``) to values; ``select`` picks a
    mouse by ID (its behaviour protocol is written), ``check_id`` is --check-id.
    ``observe_every`` is kept for the observations of the mice; only 0 is accepted so far.

    Raises ``InputError`` (with ``file``, ``line`` and ``what``) for a bad input
    file and ``ValueError`` for a bad ``set`` name or value.

    ``close()`` (or leaving a ``with`` block) writes the final dumps and run.json,
    as the runner does when its --ticks are done. A run never closed ends like a
    stopped runner: without final dumps.
    """

    def __init__(self, dir: str | os.PathLike, task: str = "NN", seed: int = 1,
                 set: Optional[Mapping[str, Any]] = None, out: Optional[str | os.PathLike] = None,
                 select: Optional[int] = None, check_id: Optional[int] = None,
                 observe_every: int = 0, *, _core_run: Any = None):
        if _core_run is None:
            if observe_every != 0:
                raise ValueError("observe_every: the mice observations are not available "
                                 "in this version; leave it at 0")
            _core_run = _core.Run.start(os.fspath(dir), task, seed, _pairs(set),
                                        None if out is None else os.fspath(out), select, check_id)
        self._run = _core_run

    @classmethod
    def resume(cls, dir: str | os.PathLike, task: str = "NN", seed: int = 1,
               set: Optional[Mapping[str, Any]] = None, out: Optional[str | os.PathLike] = None,
               select: Optional[int] = None, check_id: Optional[int] = None) -> "Run":
        """Continues the run from the checkpoint of ``task`` in its output folder,
        as ``murinex-run --resume`` does: the protocols are cut back to the
        checkpoint, and ``set`` values the run does not hold yet fork it at the
        checkpoint's tick. The task, seed, ``select`` and ``check_id`` must be
        those of the checkpoint's run. Raises ``CheckpointError`` when there is
        no checkpoint or it cannot be taken up."""
        core = _core.Run.resume(os.fspath(dir), task, seed, _pairs(set),
                                None if out is None else os.fspath(out), select, check_id)
        return cls(dir, _core_run=core)

    # --- stepping
    def step(self, ticks: int = 1) -> "Run":
        """Runs ``ticks`` ticks, writing protocols and dumps as they fall due.
        Ctrl-C stops it at a tick boundary (within about 20 ms) with KeyboardInterrupt;
        the run stays consistent, can step on and be closed."""
        self._run.step(ticks)
        return self

    @property
    def tick(self) -> int:
        """The run's tick counter (ticks done, for a run from a population file that starts at 0)."""
        return self._run.tick

    @property
    def ticks_done(self) -> int:
        """Ticks done since the population was set up."""
        return self._run.ticks_done

    @property
    def task(self) -> str:
        return self._run.task

    @property
    def output_dir(self) -> str:
        """Where protocols, dumps and run.json go."""
        return self._run.output_dir

    @property
    def closed(self) -> bool:
        return self._run.closed

    @property
    def overrides(self) -> dict[str, str]:
        """The --set values in effect, by name."""
        return dict(self._run.overrides)

    # --- tables
    def mice(self) -> pd.DataFrame:
        """One row per living mouse, in the population's order; a column per
        named value of a mouse (``mouse_value_names()``): its own fields, action
        values, person parameters, each need's fields ("Hunger.Ist") and genes
        ("gene.Carefactor")."""
        return pd.DataFrame(self._run.mice(), copy=False)

    def patches(self) -> pd.DataFrame:
        """One row per patch of the world: name, kind, level (0..1), amount, centre_x, centre_y."""
        return pd.DataFrame(self._run.patches())

    def _proto(self, name: str) -> str:
        self._run.flush()
        return os.path.join(self.output_dir, "Proto", name)

    def statistics(self) -> pd.DataFrame:
        """The statistics rows written so far (Proto/ProtoNN.prt): ``tick``, then
        the 68 columns (see docs/outputs.md)."""
        path = self._proto(f"Proto{self.task}.prt")
        with open(path, encoding="latin-1") as f:
            header = f.readline().rstrip("\n").rstrip(";").split(";")
            rows = [line.rstrip("\n").rstrip(";").split(";") for line in f if line.strip()]
        start, names = int(header[0]), header[1:]
        first = start // STAT_INTERVAL
        table = pd.DataFrame([[float(v) for v in row[1:]] for row in rows], columns=names)
        ticks = [(first + int(row[0])) * STAT_INTERVAL for row in rows]
        table.insert(0, "tick", pd.Series(ticks, dtype="int64"))
        return table

    def births(self) -> pd.DataFrame:
        """The births so far (Proto/Births-NN.csv, see docs/outputs.md)."""
        return pd.read_csv(self._proto(f"Births-{self.task}.csv"))

    def deaths(self) -> pd.DataFrame:
        """The deaths so far with their cause (Proto/Deaths-NN.csv, see docs/outputs.md)."""
        return pd.read_csv(self._proto(f"Deaths-{self.task}.csv"))

    # --- forks and checkpoints
    def set(self, name: str, value: Any) -> None:
        """Changes a value now, as a --set value at ``murinex-run --resume`` forks
        the run at the checkpoint's tick. Raises ValueError for an unknown name
        (listing the valid ones) or a value that is not a number."""
        self._run.set([(name, _value_text(name, value))])

    def fork(self, out: str | os.PathLike, set: Optional[Mapping[str, Any]] = None) -> "Run":
        """An independent copy of the run in memory that writes into ``out``: the
        files so far are copied there, ``set`` values are applied at the current
        tick, and from here on each run has its own future. The same as stopping
        murinex-run here, copying its output folder and resuming the copy."""
        return Run(None, _core_run=self._run.fork(os.fspath(out), _pairs(set)))

    def checkpoint(self) -> None:
        """Writes the checkpoint (data/checkpoint-NN.mxc in the output folder), as
        --checkpoint-every does; ``Run.resume`` or ``murinex-run --resume --ticks N``
        with N at least the ticks done continue from it."""
        self._run.checkpoint()

    def close(self) -> None:
        """Final dumps, every protocol closed, run.json written. Only the first call counts."""
        self._run.close()

    def __enter__(self) -> "Run":
        return self

    def __exit__(self, *exc: Any) -> None:
        self.close()

    def __repr__(self) -> str:
        state = "closed" if self.closed else f"{self._run.population} mice"
        return f"<murinex.Run {self.task} at tick {self.tick}, {state}, in {self.output_dir}>"


def read_experiment(folder: str | os.PathLike) -> dict[str, pd.DataFrame]:
    """The tables of an experiment's output folder (``scripts/experiment``), as
    DataFrames by name: ``table`` (every statistics row of every run), ``runs``
    (one row per run from its manifest) and any other ``NAME.csv`` or
    ``NAME.csv.gz`` the experiment wrote there. Raises InputError when the
    folder holds no experiment.json."""
    folder = os.fspath(folder)
    if not os.path.isfile(os.path.join(folder, "experiment.json")):
        what = "not an experiment's output folder (no experiment.json)"
        error = InputError(f"{folder}: {what}")
        error.file, error.line, error.what = folder, 0, what
        raise error
    tables = {}
    for path in sorted(glob.glob(os.path.join(folder, "*.csv")) +
                       glob.glob(os.path.join(folder, "*.csv.gz"))):
        name = os.path.basename(path).removesuffix(".gz").removesuffix(".csv")
        tables[name] = pd.read_csv(path)
    return tables
