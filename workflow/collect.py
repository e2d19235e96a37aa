"""Gathers the runs of an experiment into one tidy table and a list of runs.

table.csv.gz: one row per run and statistics row, with the columns
    experiment, condition, <one column per factor>, seed, tick, <the 68 statistics columns>
(condition: the condition's folder name, which tells the conditions apart exactly;
the factor columns are for reading and grouping).
the statistics exactly as the protocol writes them.
runs.csv: one row per run, from its manifest.

Usage: collect.py experiment.json   (in the experiment's output folder)
"""

import signal
import sys

# Ctrl-C on the experiment reaches this script too, in its imports as anywhere:
# a word instead of a traceback.
signal.signal(signal.SIGINT, lambda *_: sys.exit("collect.py: interrupted; the table is made again at the next start"))

import csv
import gzip
import io
import json
import os
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
from experiment import STAT_COLUMNS  # noqa: E402

RUN_FIELDS = ["status", "ticks_done", "final_tick", "final_population", "births",
              "deaths_hunger", "deaths_thirst", "deaths_pain", "deaths_age", "deaths_total",
              "start", "end", "version", "folder"]


def protocol_rows(path):
    """(tick, the 68 values as text) for each row of a statistics protocol."""
    lines = Path(path).read_text().splitlines()
    header = lines[0].rstrip(";").split(";")
    start_tick = int(header[0])
    if header[1:] != STAT_COLUMNS:
        raise SystemExit(f"{path}: the header does not name the 68 statistics columns")
    interval = 100  # ticks between two rows
    for number, line in enumerate(lines[1:], start=1):
        fields = line.rstrip(";").split(";")
        if int(fields[0]) != number or len(fields) != 1 + len(STAT_COLUMNS):
            raise SystemExit(f"{path}:{number + 1}: not a statistics row")
        # Rows are written at every multiple of the interval after the start tick.
        yield (start_tick // interval + number) * interval, [f.strip() for f in fields[1:]]


def write_atomically(path, data):
    temporary = Path(str(path) + ".tmp")
    temporary.write_bytes(data)
    os.replace(temporary, path)


def main(config_file):
    config = json.loads(Path(config_file).read_text())
    factors = config["factors"]
    table = io.StringIO()
    table_writer = csv.writer(table, lineterminator="\n")
    table_writer.writerow(["experiment", "condition", *factors, "seed", "tick", *STAT_COLUMNS])
    runs = io.StringIO()
    runs_writer = csv.writer(runs, lineterminator="\n")
    runs_writer.writerow(["experiment", "condition", *factors, "seed", *RUN_FIELDS])
    for condition, assignments in config["conditions"].items():
        values = [value for _, value in assignments]
        for seed in config["seeds"]:
            folder = Path("runs") / condition / f"seed-{seed}"
            manifest = json.loads((folder / "run.json").read_text())
            if manifest["status"] not in ("complete", "extinct"):
                raise SystemExit(f"{folder}/run.json: the run did not complete: {manifest['error']}")
            deaths = manifest["deaths"]
            runs_writer.writerow([config["experiment"], condition, *values, seed, manifest["status"],
                                  manifest["ticks_done"], manifest["final_tick"],
                                  manifest["final_population"], manifest["births"],
                                  deaths["hunger"], deaths["thirst"], deaths["pain"], deaths["age"],
                                  deaths["total"], manifest["start"], manifest["end"],
                                  manifest["version"], str(folder)])
            protocol = folder / "Proto" / f"Proto{manifest['task']}.prt"
            for tick, stats in protocol_rows(protocol):
                table_writer.writerow([config["experiment"], condition, *values, seed, tick, *stats])
    # No time stamp and no name in the gzip header: the same runs give the same bytes.
    packed = io.BytesIO()
    with gzip.GzipFile(filename="", mode="wb", fileobj=packed, mtime=0) as z:
        z.write(table.getvalue().encode())
    write_atomically("table.csv.gz", packed.getvalue())
    write_atomically("runs.csv", runs.getvalue().encode())


if __name__ == "__main__":
    main(sys.argv[1])
