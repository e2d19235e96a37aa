#!/usr/bin/env python3
"""Golden output test of the benchmark set-ups: runs murinex-bench-ticks briefly
with --out, so every generated world and both default-world populations keep
their statistics, protocols and closing dumps, and compares the SHA-256 of
every output file with the stored values in bench-hashes.txt.

The benchmark measures the speed of exactly these runs; this test makes sure a
faster build still computes the same runs, byte for byte (dump dates aside).

usage: bench_runs.py --bench PATH [--keep DIR]
"""
import argparse
import os
import shutil
import subprocess
import sys
import tempfile

from golden_runs import DEFAULT_RUN, HERE, output_digest, read_stored, report

HASHES = os.path.join(HERE, "bench-hashes.txt")
# 100 unmeasured and 300 measured ticks per set-up: three statistics rows each.
TICKS = "300"


def copied_inputs():
    """Files of the default run that the bench copies into a set-up's folder."""
    inputs = set()
    for root, _, files in os.walk(DEFAULT_RUN):
        for file in files:
            inputs.add(os.path.relpath(os.path.join(root, file), DEFAULT_RUN))
    inputs.add(os.path.join("data", "population.txt"))
    return inputs


def run_bench(bench, workdir):
    out = os.path.join(workdir, "out")
    result = subprocess.run([bench, TICKS, "--out", out], stdin=subprocess.DEVNULL,
                            capture_output=True, text=True)
    if result.returncode != 0:
        sys.exit(f"the bench failed ({result.returncode}):\n{result.stderr}")
    inputs = copied_inputs()
    digests = {}
    for setup in sorted(os.listdir(out)):
        for root, _, files in os.walk(os.path.join(out, setup)):
            for file in files:
                path = os.path.join(root, file)
                relative = os.path.relpath(path, os.path.join(out, setup))
                if relative not in inputs:
                    digests[f"{setup}/{relative}"] = output_digest(path)
    return digests


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--bench", required=True)
    parser.add_argument("--keep", help="run in this folder and keep it")
    opts = parser.parse_args()
    workdir = opts.keep or tempfile.mkdtemp(prefix="murinex-bench-golden-")
    try:
        actual = run_bench(opts.bench, workdir)
    finally:
        if not opts.keep:
            shutil.rmtree(workdir, ignore_errors=True)
    stored = read_stored(HASHES)
    return report(stored, actual)


if __name__ == "__main__":
    sys.exit(main())
