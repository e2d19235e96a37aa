"""Plots of an experiment's outcomes:
plots/outcome-FACTOR-OUTCOME.png   each outcome against each factor, one point per run;
plots/sensitivity-OUTCOME.png      sobol: S1 and ST per factor as bars with their intervals;
                                   morris: mu* against sigma, one labelled point per factor.

Usage: outcome_plots.py experiment.json   (in the experiment's output folder)
"""

import json
import os
import sys
import textwrap
from pathlib import Path

import matplotlib

matplotlib.use("Agg")
import matplotlib.pyplot as plt  # noqa: E402
import numpy as np  # noqa: E402
import pandas as pd  # noqa: E402

sys.path.insert(0, str(Path(__file__).resolve().parent))
from columns import COLUMNS, factor_words  # noqa: E402

RUN_OUTCOME_WORDS = {"births": "births in the run", "deaths": "deaths in the run",
                     "final_population": "living mice at the end", "extinct": "died out (1) or not (0)"}


def outcome_words(outcome, window):
    if outcome in RUN_OUTCOME_WORDS:
        return RUN_OUTCOME_WORDS[outcome]
    return f"{outcome}: {COLUMNS[outcome]}, mean of the last {window} ticks"


def save(figure, path):
    """Written under a temporary name, then renamed: never a half-written picture."""
    temporary = Path(str(path) + ".tmp.png")
    figure.savefig(temporary, dpi=100)
    plt.close(figure)
    os.replace(temporary, path)


def scatter(summary, factor, outcome, config):
    figure, axes = plt.subplots(figsize=(6, 4.2), layout="constrained")
    colours = {"complete": "tab:blue", "extinct": "tab:red"}
    for status, rows in summary.groupby("status"):
        axes.scatter(rows[factor], rows[outcome], s=14, alpha=0.7, color=colours.get(status, "grey"),
                     label=f"{status} ({len(rows)})")
    axes.set_xlabel(f"{factor}: {factor_words(factor)}")
    axes.set_ylabel(textwrap.fill(outcome_words(outcome, config["window"]), 42), fontsize=8)
    axes.set_title(f"{config['experiment']}: {outcome} against {factor}, one point per run", fontsize=10)
    axes.legend(fontsize=8)
    save(figure, f"plots/outcome-{factor}-{outcome}.png")


def no_indices(outcome, config):
    """An outcome without indices (the same in every run, or missing in some) still gets its
    picture, which says why."""
    figure, axes = plt.subplots(figsize=(6, 2.5), layout="constrained")
    axes.axis("off")
    axes.text(0.5, 0.5, f"{config['experiment']}: no sensitivity of {outcome}:\nit is the same in every"
              " run, or some run has no value (sensitivity.csv leaves it empty)",
              ha="center", va="center", fontsize=10)
    save(figure, f"plots/sensitivity-{outcome}.png")


def sobol_bars(rows, outcome, config):
    figure, axes = plt.subplots(figsize=(6.5, 4.2), layout="constrained")
    places = np.arange(len(rows))
    width = 0.38
    for shift, name, colour in ((-width / 2, "S1", "tab:blue"), (width / 2, "ST", "tab:orange")):
        value = rows[name].to_numpy()
        errors = np.vstack([value - rows[f"{name}_low"].to_numpy(), rows[f"{name}_high"].to_numpy() - value])
        label = "first order S1 (alone)" if name == "S1" else "total ST (alone and in interaction)"
        axes.bar(places + shift, value, width, yerr=np.clip(errors, 0, None), capsize=4, color=colour,
                 label=label)
    axes.set_xticks(places, rows["factor"], rotation=15, fontsize=8)
    axes.axhline(0, color="black", linewidth=0.6)
    # Indices are shares of a variance; intervals of few base points reach far beyond.
    values = rows[["S1", "ST"]].to_numpy()
    axes.set_ylim(min(-0.05, np.nanmin(values) - 0.05), max(1.1, np.nanmax(values) + 0.1))
    axes.set_ylabel("share of the outcome's variance")
    axes.set_title(f"{config['experiment']}: Sobol indices of {outcome}, 95 % bootstrap intervals",
                   fontsize=10)
    axes.legend(fontsize=8, loc="upper center", bbox_to_anchor=(0.5, -0.16), ncol=2, frameon=False)
    save(figure, f"plots/sensitivity-{outcome}.png")


def morris_points(rows, outcome, config):
    figure, axes = plt.subplots(figsize=(6, 4.5), layout="constrained")
    mu_star = rows["mu_star"].to_numpy()
    errors = np.vstack([mu_star - rows["mu_star_low"].to_numpy(), rows["mu_star_high"].to_numpy() - mu_star])
    axes.errorbar(mu_star, rows["sigma"], xerr=np.clip(errors, 0, None), fmt="o", capsize=4)
    top = np.nanmax(np.concatenate([rows["mu_star_high"].to_numpy(), rows["sigma"].to_numpy(), [0]]))
    # Factors on (nearly) the same spot get their names one above the other.
    placed = {}
    for _, row in rows.iterrows():
        spot = (round(row["mu_star"] / (top or 1), 2), round(row["sigma"] / (top or 1), 2))
        placed[spot] = placed.get(spot, -1) + 1
        axes.annotate(row["factor"], (row["mu_star"], row["sigma"]), textcoords="offset points",
                      xytext=(5, 5 + 11 * placed[spot]), fontsize=8)
    axes.plot([0, top], [0, top], color="grey", linewidth=0.6, linestyle="--")
    axes.set_xlim(left=-0.03 * (top or 1))
    axes.set_ylim(bottom=-0.03 * (top or 1))
    axes.set_xlabel("mu*: mean |effect| over the factor's range (importance)")
    axes.set_ylabel("sigma: spread of the effects (non-linearity, interaction)")
    axes.set_title(f"{config['experiment']}: Morris screening of {outcome}", fontsize=10)
    save(figure, f"plots/sensitivity-{outcome}.png")


def main(config_file):
    config = json.loads(Path(config_file).read_text())
    Path("plots").mkdir(exist_ok=True)
    summary = pd.read_csv("summary.csv")
    for factor in config["factors"]:
        for outcome in config["outcomes"]:
            scatter(summary, factor, outcome, config)
    if config["design"] in ("sobol", "morris"):
        indices = pd.read_csv("sensitivity.csv")
        for outcome in config["outcomes"]:
            rows = indices[indices["outcome"] == outcome]
            if rows.iloc[:, 2:].isna().all(axis=None):
                no_indices(outcome, config)
                continue
            (sobol_bars if config["design"] == "sobol" else morris_points)(rows, outcome, config)


if __name__ == "__main__":
    main(sys.argv[1])
