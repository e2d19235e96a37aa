#!/usr/bin/env python3
"""The table of every mouse (--observe-every) agrees with the genome dumps.

Runs the default run for 20,000 ticks with --observe-every 2500 and checks:
- rows come at tick 0 and every 2500 ticks, one per living mouse;
- at each dump tick (0, 10,000, 20,000) the rows are exactly the dumped mice,
  and each row's genes are the mouse's line in the genome dump;
- a run stopped at 7,350 ticks leaves only the .part file; its resume without
  --observe-every is refused; resumed with it, it writes the same bytes as a run
  that never stopped;
- --observe keeps only the named columns; an unknown name is a usage error;
- without --observe-every there is no table.

usage: mouse_table_check.py --runner PATH
"""
import argparse
import csv
import gzip
import os
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
DEFAULT_RUN = os.path.join(HERE, "..", "..", "..", "default-run")
TABLE = os.path.join("Proto", "Mice-M.csv.gz")

failures = []


def check(condition, message):
    if not condition:
        failures.append(message)


def run(runner, out, *extra, expect=(0, 75)):
    cmd = [runner, "--dir", DEFAULT_RUN, "--out", out, "--task", "M"] + list(extra)
    result = subprocess.run(cmd, capture_output=True, text=True)
    if result.returncode not in expect:
        sys.exit("runner exited %d: %s\n%s" % (result.returncode, " ".join(cmd), result.stderr))
    return result


def table(out):
    with gzip.open(os.path.join(out, TABLE), "rt", newline="") as f:
        return list(csv.DictReader(f))


def genome_dumps(out):
    """{tick: {id: [36 values]}} of the genome dumps."""
    dumps = {}
    folder = os.path.join(out, "data")
    for name in os.listdir(folder):
        if name.startswith("Genom-M-"):
            with open(os.path.join(folder, name)) as f:
                lines = f.read().splitlines()
            genes = {}
            for line in lines[3:]:
                if line.strip():
                    values = line.split()
                    genes[int(values[0])] = [float(v) for v in values[1:]]
            dumps[int(lines[1].split()[0])] = genes
    return dumps


def check_against_dumps(out):
    rows = table(out)
    with open(os.path.join(out, "Proto", "Births-M.csv")) as f:
        gene_names = f.readline().strip().split(",")[8:]
    check(len(gene_names) == 36, "36 genes in the births table's header")
    by_tick = {}
    for r in rows:
        by_tick.setdefault(int(r["tick"]), []).append(r)
    check(sorted(by_tick) == list(range(0, 20001, 2500)),
          "observed ticks: %s" % sorted(by_tick))
    for tick, mice in by_tick.items():
        ids = [int(r["id"]) for r in mice]
        check(len(ids) == len(set(ids)), "a mouse twice at tick %d" % tick)
    dumps = genome_dumps(out)
    check(sorted(dumps) == [0, 10000, 20000], "dump ticks: %s" % sorted(dumps))
    for tick, genes in dumps.items():
        mice = {int(r["id"]): r for r in by_tick.get(tick, [])}
        check(set(mice) == set(genes), "the rows of tick %d are not the dumped mice" % tick)
        for mouse, dumped in genes.items():
            if mouse in mice:
                observed = [float(mice[mouse]["gene." + n]) for n in gene_names]
                check(all(abs(a - round(b, 7)) < 5e-8 for a, b in zip(dumped, observed)),
                      "the genes of mouse %d at tick %d differ from the dump" % (mouse, tick))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--runner", required=True)
    args = parser.parse_args()
    with tempfile.TemporaryDirectory() as scratch:
        whole = os.path.join(scratch, "whole")
        run(args.runner, whole, "--ticks", "20000", "--observe-every", "2500")
        check_against_dumps(whole)

        split = os.path.join(scratch, "split")
        observe = ["--ticks", "20000", "--observe-every", "2500", "--checkpoint-every", "3000"]
        run(args.runner, split, "--stop-after", "7350", *observe)
        check(not os.path.exists(os.path.join(split, TABLE)), "a stopped run's table is final")
        check(os.path.exists(os.path.join(split, TABLE + ".part")), "no .part after a stop")
        other = run(args.runner, split, "--resume", *observe[:2], expect=(2,))
        check("--observe-every is 2500 in the checkpoint but 0" in other.stderr,
              "a resume without the table is not refused")
        run(args.runner, split, "--resume", *observe)
        with open(os.path.join(whole, TABLE), "rb") as a, \
                open(os.path.join(split, TABLE), "rb") as b:
            check(a.read() == b.read(), "the table differs after a resume")
        check(not os.path.exists(os.path.join(split, TABLE + ".part")), ".part left behind")

        narrow = os.path.join(scratch, "narrow")
        run(args.runner, narrow, "--ticks", "10", "--observe-every", "5",
            "--observe", "partner,Age,Carefactor")
        with gzip.open(os.path.join(narrow, TABLE), "rt") as f:
            check(f.readline().strip() == "tick,id,Age,Carefactor,partner",
                  "--observe: wrong header")
        bad = run(args.runner, narrow, "--ticks", "10", "--observe-every", "5",
                  "--observe", "Age,Wingspan", expect=(2,))
        check("Wingspan" in bad.stderr, "the unknown column is not named")

        plain = os.path.join(scratch, "plain")
        run(args.runner, plain, "--ticks", "10")
        check(not any(n.startswith("Mice-") for n in os.listdir(os.path.join(plain, "Proto"))),
              "a table without --observe-every")
    for failure in failures:
        print("FAIL:", failure)
    print("%d failed" % len(failures) if failures else "the table of every mouse agrees")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
