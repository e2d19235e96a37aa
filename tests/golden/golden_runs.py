#!/usr/bin/env python3
"""Golden output test: runs a few fixed situations with the headless runner and
compares the SHA-256 of every output file with the stored values in hashes.txt.

Output bytes are the contract of the simulation: a refactor or an optimisation
must leave every protocol line and dump byte as it was. The only part of an
output that may differ between two runs is the date in the first line of a
dump, which is left out of the hash.

usage: golden_runs.py --runner PATH [--case NAME ...] [--update] [--keep DIR]
  --update   write hashes.txt anew from this build (only after a change that is
             meant to alter the output, and say so in the commit)
"""
import argparse
import hashlib
import os
import re
import shutil
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
DEFAULT_RUN = os.path.join(ROOT, "default-run")
HASHES = os.path.join(HERE, "hashes.txt")

# name: (files laid over the default run's data folder, runner arguments)
CASES = {
    # The default run with the check mouse picked, so the behaviour and
    # competence protocols are written; crosses dump ticks 10000 and 20000.
    "default-select": ({}, ["--ticks", "20000", "--select", "35"]),
    # 400 mice on the default world: crowding, many neighbours, many bites.
    "crowd-400": ({"population.txt": "crowd-population.txt"}, ["--ticks", "1000", "--select", "7"]),
    # Old mice full of remembered places: the population dump of a long run.
    "old-memory": ({"population.txt": "old-population.txt"}, ["--ticks", "6000", "--select", "35"]),
    # Death by age from age 4000 on with a high chance per tick: most mice die early.
    "harsh": ({"settings.txt": "harsh-settings.txt"}, ["--ticks", "8000"]),
}

DUMP_DATE = re.compile(rb"^(\S+ vom) .*$")


def output_digest(path):
    """SHA-256 of a file, with the date of a dump's first line left out."""
    with open(path, "rb") as f:
        data = f.read()
    name = os.path.basename(path)
    if name.endswith(".dat") and (name.startswith("Maeuse-") or name.startswith("Genom-")):
        first, sep, rest = data.partition(b"\n")
        data = DUMP_DATE.sub(rb"\1 <date>", first) + sep + rest
    return hashlib.sha256(data).hexdigest()


def run_case(runner, name, workdir):
    overlay, args = CASES[name]
    folder = os.path.join(workdir, name)
    shutil.copytree(DEFAULT_RUN, folder)
    for target, source in overlay.items():
        shutil.copyfile(os.path.join(HERE, source), os.path.join(folder, "data", target))
    inputs = set(os.listdir(os.path.join(folder, "data")))
    result = subprocess.run([runner, "--dir", folder, "--task", "G"] + args,
                            stdin=subprocess.DEVNULL, capture_output=True, text=True)
    if result.returncode != 0:
        sys.exit(f"{name}: the runner failed ({result.returncode}):\n{result.stderr}")
    digests = {}
    for sub in ("Proto", "data"):
        for file in sorted(os.listdir(os.path.join(folder, sub))):
            if sub == "data" and file in inputs:
                continue
            digests[f"{name}/{sub}/{file}"] = output_digest(os.path.join(folder, sub, file))
    return digests


def read_stored(hashes=HASHES):
    """The stored digests of a hash file, by output path."""
    stored = {}
    with open(hashes) as f:
        for line in f:
            if line.strip() and not line.startswith("#"):
                digest, path = line.split()
                stored[path] = digest
    return stored


def report(stored, actual):
    """Prints every file that is missing, unexpected or changed; returns the exit status."""
    failures = []
    for path in sorted(set(stored) | set(actual)):
        if path not in actual:
            failures.append(f"missing output: {path}")
        elif path not in stored:
            failures.append(f"unexpected output: {path}")
        elif stored[path] != actual[path]:
            failures.append(f"changed: {path}")
    for line in failures:
        print(line)
    print(f"{len(actual) - len(failures)} passed, {len(failures)} failed")
    return 1 if failures else 0


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--runner", required=True)
    parser.add_argument("--case", action="append", choices=sorted(CASES))
    parser.add_argument("--update", action="store_true")
    parser.add_argument("--keep", help="run in this folder and keep it")
    opts = parser.parse_args()
    cases = opts.case or sorted(CASES)

    workdir = opts.keep or tempfile.mkdtemp(prefix="murinex-golden-")
    try:
        actual = {}
        for name in cases:
            actual.update(run_case(opts.runner, name, workdir))
    finally:
        if not opts.keep:
            shutil.rmtree(workdir, ignore_errors=True)

    if opts.update:
        with open(HASHES, "w") as f:
            f.write("# SHA-256 of every output file of the golden runs (dump dates left out).\n")
            for path in sorted(actual):
                f.write(f"{actual[path]}  {path}\n")
        print(f"wrote {len(actual)} hashes to {HASHES}")
        return 0

    stored = {p: d for p, d in read_stored().items() if p.split("/")[0] in cases}
    return report(stored, actual)


if __name__ == "__main__":
    sys.exit(main())
