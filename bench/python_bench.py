#!/usr/bin/env python3
"""The Python module's costs, side by side with murinex-run.

- step: the same run (same folder, seed, ticks) by murinex-run and by
  murinex.Run(...).step(TICKS) + close(), the processor time (user + system) of
  each from start to the closed files, interleaved, REPEATS times each; on the
  default run and on the default world with the 400-mouse population of the
  golden tests. Processor time, not wall time: on a shared machine the wall
  time mostly measures the other processes;
- mice(): the table of 400 mice, median of 50 calls;
- fork(): a fork of the 400-mouse run into a new folder, median of 10 forks.

usage: PYTHONPATH=build/python python3 bench/python_bench.py --runner build/app/murinex-run
       [--ticks 20000] [--crowd-ticks 500] [--repeats 3]
"""

import argparse
import os
import resource
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
SOURCE = os.path.dirname(HERE)
DEFAULT_RUN = os.path.join(SOURCE, "default-run")
CROWD = os.path.join(SOURCE, "tests", "golden", "crowd-population.txt")

try:
    import murinex
except ImportError:
    sys.exit("python_bench.py: cannot import murinex; run with PYTHONPATH=build/python")


def crowd_run_folder(base):
    """The default run folder with the 400 mice as its population."""
    folder = os.path.join(base, "crowd-run")
    shutil.copytree(DEFAULT_RUN, folder)
    shutil.copyfile(CROWD, os.path.join(folder, "data", "population.txt"))
    return folder


def children_cpu():
    usage = resource.getrusage(resource.RUSAGE_CHILDREN)
    return usage.ru_utime + usage.ru_stime


def time_runner(runner, folder, out, ticks):
    shutil.rmtree(out, ignore_errors=True)
    start = children_cpu()
    subprocess.run([runner, "--dir", folder, "--out", out, "--ticks", str(ticks)], check=True,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    return children_cpu() - start


def time_module(folder, out, ticks):
    shutil.rmtree(out, ignore_errors=True)
    start = time.process_time()
    with murinex.Run(folder, out=out) as r:
        r.step(ticks)
    return time.process_time() - start


def compare_step(runner, folder, base, ticks, repeats, label):
    runs, module = [], []
    for _ in range(repeats):
        runs.append(time_runner(runner, folder, os.path.join(base, "runner"), ticks))
        module.append(time_module(folder, os.path.join(base, "module"), ticks))
    r, m = statistics.median(runs), statistics.median(module)
    print(f"{label}, {ticks} ticks: processor time murinex-run {r:.3f} s, Run + step + close "
          f"{m:.3f} s (medians of {repeats}); step/runner {m / r:.3f}")


def median_ms(call, times):
    """Medians of the processor time and of the wall time of the calls, in ms."""
    cpu, wall = [], []
    for i in range(times):
        start, start_wall = time.process_time(), time.perf_counter()
        call(i)
        cpu.append((time.process_time() - start) * 1000)
        wall.append((time.perf_counter() - start_wall) * 1000)
    return f"processor {statistics.median(cpu):.2f} ms, wall {statistics.median(wall):.2f} ms"


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--runner", required=True)
    parser.add_argument("--ticks", type=int, default=20000)
    parser.add_argument("--crowd-ticks", type=int, default=500)
    parser.add_argument("--repeats", type=int, default=3)
    args = parser.parse_args()
    if not os.access(args.runner, os.X_OK):
        sys.exit(f"python_bench.py: {args.runner}: no such program")
    with tempfile.TemporaryDirectory(prefix="murinex-python-bench-") as base:
        crowd = crowd_run_folder(base)
        compare_step(args.runner, DEFAULT_RUN, base, args.ticks, args.repeats, "default run")
        compare_step(args.runner, crowd, base, args.crowd_ticks, args.repeats, "400 mice")

        r = murinex.Run(crowd, out=os.path.join(base, "tables"))
        r.step(10)
        mice = len(r.mice())
        print(f"mice() of {mice} mice: {median_ms(lambda i: r.mice(), 50)} (medians of 50)")
        forks = []

        def fork(i):
            forks.append(r.fork(out=os.path.join(base, f"fork-{i}")))

        print(f"fork() of {mice} mice: {median_ms(fork, 10)} (medians of 10)")
        for f in forks:
            f.close()
        r.close()


if __name__ == "__main__":
    main()
