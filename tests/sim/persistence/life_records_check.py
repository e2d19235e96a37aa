#!/usr/bin/env python3
"""The life records of a run agree with its other outputs.

Runs the default run for 20,000 ticks (dumps at 0, 10,000 and 20,000 plus the
final one) and checks, from the files alone:
- the births table names, row for row, the births of protGen.prt;
- the deaths by cause are the manifest's counts, and no mouse that died is in a
  later dump, and every mouse born is in the final dump or has died;
- a child's genes are its line in every genome dump it lives to;
- the traits' means at a dump tick are the means over that genome dump;
- a resumed run writes the three tables exactly as a run that never stopped.

usage: life_records_check.py --runner PATH
"""
import argparse
import csv
import json
import os
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
DEFAULT_RUN = os.path.join(HERE, "..", "..", "..", "default-run")
TABLES = ["Births-L.csv", "Deaths-L.csv", "Traits-L.csv"]

failures = []


def check(condition, message):
    if not condition:
        failures.append(message)


def rows(path):
    with open(path, newline="") as f:
        return list(csv.DictReader(f))


def genome_dump(path):
    """tick, {id: [36 values]} of a genome dump."""
    with open(path) as f:
        lines = f.read().splitlines()
    tick = int(lines[1].split()[0])
    genes = {}
    for line in lines[3:]:
        if line.strip():
            values = line.split()
            genes[int(values[0])] = [float(v) for v in values[1:]]
    return tick, genes


def run(runner, out, *extra):
    cmd = [runner, "--dir", DEFAULT_RUN, "--out", out, "--task", "L"] + list(extra)
    result = subprocess.run(cmd, capture_output=True, text=True)
    if result.returncode not in (0, 75):
        sys.exit("runner failed: %s\n%s" % (" ".join(cmd), result.stderr))


def check_agreement(out):
    proto = os.path.join(out, "Proto")
    births = rows(os.path.join(proto, "Births-L.csv"))
    deaths = rows(os.path.join(proto, "Deaths-L.csv"))
    traits = rows(os.path.join(proto, "Traits-L.csv"))
    gene_names = list(births[0].keys())[8:] if births else []
    check(len(gene_names) == 36, "36 gene columns, found %d" % len(gene_names))

    # protGen.prt: "    tick:  mother ->  child"
    with open(os.path.join(proto, "protGen.prt")) as f:
        logged = [line.replace(":", " ").replace("->", " ").split() for line in f if line.strip()]
    check([[int(b["tick"]), int(b["mother"]), int(b["id"])] for b in births]
          == [[int(v) for v in entry] for entry in logged],
          "the births table and protGen.prt disagree")
    check(all(b["father"] not in ("", "0") for b in births), "a birth without a father")

    with open(os.path.join(out, "run.json")) as f:
        manifest = json.load(f)
    by_cause = {cause: sum(d["cause"] == cause for d in deaths)
                for cause in ("hunger", "thirst", "pain", "age")}
    for cause, count in by_cause.items():
        check(count == manifest["deaths"][cause],
              "%s deaths: %d in the table, %d in the manifest" % (cause, count,
                                                                 manifest["deaths"][cause]))
    check(len(births) == manifest["births"], "births: table and manifest disagree")

    dumps = sorted((genome_dump(os.path.join(out, "data", name))
                    for name in os.listdir(os.path.join(out, "data"))
                    if name.startswith("Genom-L-")), key=lambda d: d[0])
    died_at = {int(d["id"]): int(d["tick"]) for d in deaths}
    final_ids = set(dumps[-1][1])
    compared = 0
    for b in births:
        child, born = int(b["id"]), int(b["tick"])
        check(child in final_ids or child in died_at, "mouse %d is lost" % child)
        for tick, genes in dumps:
            alive = born <= tick and not (child in died_at and died_at[child] <= tick)
            if not alive:
                check(child not in genes, "mouse %d is in the dump of tick %d" % (child, tick))
                continue
            check(child in genes, "mouse %d is missing from the dump of tick %d" % (child, tick))
            if child in genes:
                expected = [round(float(b[name]), 7) for name in gene_names]
                check(all(abs(a - e) < 5e-8 for a, e in zip(genes[child], expected)),
                      "the genes of mouse %d differ from the dump of tick %d" % (child, tick))
                compared += 1
    check(compared > 20, "only %d child lines compared" % compared)

    traits_at = {int(t["tick"]): t for t in traits}
    for tick, genes in dumps:
        if tick not in traits_at or not genes:
            continue
        row = traits_at[tick]
        check(int(row["mice"]) == len(genes), "mice at tick %d" % tick)
        for i, name in enumerate(gene_names):
            mean = sum(v[i] for v in genes.values()) / len(genes)
            check(abs(float(row[name + "_mean"]) - mean) < 1e-6,
                  "mean of %s at tick %d: %s against %s" % (name, tick, row[name + "_mean"], mean))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--runner", required=True)
    args = parser.parse_args()
    with tempfile.TemporaryDirectory() as scratch:
        whole = os.path.join(scratch, "whole")
        run(args.runner, whole, "--ticks", "20000")
        check_agreement(whole)
        split = os.path.join(scratch, "split")
        run(args.runner, split, "--ticks", "20000", "--stop-after", "7350")
        run(args.runner, split, "--ticks", "20000", "--resume")
        for table in TABLES:
            with open(os.path.join(whole, "Proto", table), "rb") as a, \
                    open(os.path.join(split, "Proto", table), "rb") as b:
                check(a.read() == b.read(), "%s differs after a resume" % table)
    for failure in failures:
        print("FAIL:", failure)
    print("%d failed" % len(failures) if failures else "life records agree")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
