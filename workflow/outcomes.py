"""The outcomes of every run of an experiment: summary.csv, one row per run with
    experiment, condition, <one column per factor>, seed, status, <one column per outcome>
A statistics column as outcome is its mean over the rows of the run's last `window` ticks
(a run that died out early: over its last rows); births, deaths, final_population and
extinct (1 or 0) come from the run's manifest.

Usage: outcomes.py experiment.json   (in the experiment's output folder)
"""

import csv
import io
import json
import sys
from pathlib import Path

import numpy as np

sys.path.insert(0, str(Path(__file__).resolve().parent))
from collect import protocol_rows, write_atomically  # noqa: E402
from experiment import STAT_COLUMNS  # noqa: E402

DONE = ("complete", "extinct")


def run_outcomes(folder, manifest, outcomes, window):
    """The outcomes of one run, as numbers (nan where the run has no rows in the window)."""
    from_manifest = {
        "births": manifest["births"],
        "deaths": manifest["deaths"]["total"],
        "final_population": manifest["final_population"],
        "extinct": 1 if manifest["status"] == "extinct" else 0,
    }
    columns = [o for o in outcomes if o not in from_manifest]
    means = {}
    if columns:
        first = manifest["final_tick"] - window
        rows = [values for tick, values in protocol_rows(folder / "Proto" / f"Proto{manifest['task']}.prt")
                if tick > first]
        for column in columns:
            index = STAT_COLUMNS.index(column)
            means[column] = float(np.mean([float(r[index]) for r in rows])) if rows else float("nan")
    return [from_manifest[o] if o in from_manifest else means[o] for o in outcomes]


def number_text(value):
    if isinstance(value, int):
        return str(value)
    return "" if np.isnan(value) else repr(round(value, 10))


def main(config_file):
    config = json.loads(Path(config_file).read_text())
    outcomes = config["outcomes"]
    table = io.StringIO()
    writer = csv.writer(table, lineterminator="\n")
    writer.writerow(["experiment", "condition", *config["factors"], "seed", "status", *outcomes])
    for condition, assignments in config["conditions"].items():
        for seed in config["seeds"]:
            folder = Path("runs") / condition / f"seed-{seed}"
            manifest = json.loads((folder / "run.json").read_text())
            if manifest["status"] not in DONE:
                raise SystemExit(f"{folder}/run.json: the run did not complete: {manifest['error']}")
            values = run_outcomes(folder, manifest, outcomes, config["window"])
            writer.writerow([config["experiment"], condition, *(v for _, v in assignments), seed,
                             manifest["status"], *map(number_text, values)])
    write_atomically("summary.csv", table.getvalue().encode())


if __name__ == "__main__":
    main(sys.argv[1])
