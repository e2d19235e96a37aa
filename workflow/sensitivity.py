"""Global sensitivity of an experiment's outcomes to its factors: sensitivity.csv.

design: sobol  -> outcome, factor, S1, S1_low, S1_high, ST, ST_low, ST_high
                  first-order and total Sobol indices (OpenTURNS' Martinez, Jansen or
                  Saltelli estimator, key `estimator`) with 95 % bootstrap intervals
design: morris -> outcome, factor, mu, mu_star, sigma, mu_star_low, mu_star_high
                  elementary effects per unit of the factor's range, with a 95 % bootstrap
                  interval of mu* over the trajectories
The seeds of a condition are averaged first: the indices speak of the factors, not the seeds.

Usage: sensitivity.py experiment.json   (in the experiment's output folder)
"""

import csv
import io
import json
import sys
from pathlib import Path

import numpy as np

sys.path.insert(0, str(Path(__file__).resolve().parent))
from collect import write_atomically  # noqa: E402

BOOTSTRAP = 500
CONFIDENCE = 0.95
SOBOL_FIELDS = ["S1", "S1_low", "S1_high", "ST", "ST_low", "ST_high"]
MORRIS_FIELDS = ["mu", "mu_star", "sigma", "mu_star_low", "mu_star_high"]


def sobol_indices(inputs, outputs, base_size, estimator="martinez"):
    """First-order and total indices with bootstrap intervals, one tuple per factor:
    (S1, S1_low, S1_high, ST, ST_low, ST_high). inputs, outputs: the N x (k + 2) rows
    in the order of designs.saltelli_points."""
    import openturns as ot

    ot.RandomGenerator.SetSeed(1)  # the bootstrap draws: the same table from the same runs
    kind = {"martinez": ot.MartinezSensitivityAlgorithm, "jansen": ot.JansenSensitivityAlgorithm,
            "saltelli": ot.SaltelliSensitivityAlgorithm}[estimator]
    algorithm = kind(ot.Sample(np.asarray(inputs, float)),
                                                ot.Sample(np.asarray(outputs, float).reshape(-1, 1)),
                                                base_size)
    algorithm.setBootstrapSize(BOOTSTRAP)
    algorithm.setConfidenceLevel(CONFIDENCE)
    first, total = algorithm.getFirstOrderIndices(), algorithm.getTotalOrderIndices()
    try:
        bands = algorithm.getFirstOrderIndicesInterval(), algorithm.getTotalOrderIndicesInterval()
    except (TypeError, RuntimeError):
        # A resample of few base points can draw one point N times and so have no variance:
        # then the intervals come from the estimator's asymptotic distribution.
        algorithm.setUseAsymptoticDistribution(True)
        bands = algorithm.getFirstOrderIndicesInterval(), algorithm.getTotalOrderIndicesInterval()
    low = [band.getLowerBound() for band in bands]
    high = [band.getUpperBound() for band in bands]
    return [(first[i], low[0][i], high[0][i], total[i], low[1][i], high[1][i]) for i in range(len(first))]


def morris_effects(unit_inputs, outputs, steps, seed=1):
    """(mu, mu*, sigma, mu*_low, mu*_high) per factor from trajectories of `steps` points
    each (k + 1), where consecutive points differ in one factor. unit_inputs are the
    points scaled to [0, 1] per factor, so an effect is per the factor's whole range.
    Campolongo, Cariboni, Saltelli (2007): An effective screening design for sensitivity
    analysis of large models. Environ. Model. Softw. 22, 1509-1518 (mu*)."""
    x = np.asarray(unit_inputs, float)
    y = np.asarray(outputs, float)
    k = x.shape[1]
    trajectories = len(x) // steps
    effects = np.full((trajectories, k), np.nan)
    for t in range(trajectories):
        for j in range(t * steps + 1, (t + 1) * steps):
            moved = np.flatnonzero(x[j] != x[j - 1])
            if len(moved) != 1:
                continue  # a whole-number factor rounded the step away
            i = moved[0]
            effects[t, i] = (y[j] - y[j - 1]) / (x[j, i] - x[j - 1, i])
    rng = np.random.default_rng(seed)
    rows = []
    for i in range(k):
        e = effects[:, i][~np.isnan(effects[:, i])]
        if len(e) == 0:
            rows.append((np.nan,) * 5)
            continue
        resampled = np.abs(e[rng.integers(0, len(e), size=(BOOTSTRAP, len(e)))]).mean(axis=1)
        tail = (1 - CONFIDENCE) / 2 * 100
        rows.append((e.mean(), np.abs(e).mean(), e.std(ddof=1) if len(e) > 1 else np.nan,
                     np.percentile(resampled, tail), np.percentile(resampled, 100 - tail)))
    return rows


def condition_means(summary, config, outcome):
    """The outcome per condition (mean over its seeds), in design order."""
    means = summary.groupby("condition", sort=False)[outcome].mean()
    return np.array([means[c] for c in config["conditions"]])


def factor_matrix(config):
    return np.array([[float(v) for _, v in assignments] for assignments in config["conditions"].values()])


def table(summary, config):
    """(header, rows) of sensitivity.csv; a note on stderr for an outcome that cannot be analysed."""
    factors = config["factors"]
    x = factor_matrix(config)
    sobol = config["design"] == "sobol"
    header = ["outcome", "factor", *(SOBOL_FIELDS if sobol else MORRIS_FIELDS)]
    rows = []
    for outcome in config["outcomes"]:
        y = condition_means(summary, config, outcome)
        if np.isnan(y).any() or np.ptp(y) == 0:
            why = "has no value in some run" if np.isnan(y).any() else "is the same in every run"
            print(f"sensitivity.py: outcome {outcome} {why}; its indices are left empty", file=sys.stderr)
            values = [(np.nan,) * (len(header) - 2)] * len(factors)
        elif sobol:
            try:
                values = sobol_indices(x, y, config["samples"], config.get("estimator", "martinez"))
            except (TypeError, RuntimeError) as error:  # how OpenTURNS reports a degenerate sample
                print(f"sensitivity.py: no Sobol indices of {outcome}: {error}", file=sys.stderr)
                values = [(np.nan,) * (len(header) - 2)] * len(factors)
        else:
            low = np.array([config["ranges"][f][0] for f in factors], float)
            high = np.array([config["ranges"][f][1] for f in factors], float)
            values = morris_effects((x - low) / (high - low), y, len(factors) + 1)
        rows += [[outcome, f, *v] for f, v in zip(factors, values)]
    return header, rows


def main(config_file):
    import pandas as pd

    config = json.loads(Path(config_file).read_text())
    summary = pd.read_csv("summary.csv")
    header, rows = table(summary, config)
    text = io.StringIO()
    writer = csv.writer(text, lineterminator="\n")
    writer.writerow(header)
    for row in rows:
        writer.writerow(row[:2] + ["" if np.isnan(v) else f"{v:.6g}" for v in row[2:]])
    write_atomically("sensitivity.csv", text.getvalue().encode())


if __name__ == "__main__":
    main(sys.argv[1])
