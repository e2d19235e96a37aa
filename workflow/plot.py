"""Plots of an experiment's table: for each chosen column one PNG with one line
per condition (the mean over the seeds, with a 95 % confidence band), and a
panel of the population and the deaths by cause.

Usage: plot.py experiment.json   (in the experiment's output folder)
"""

import signal
import sys

# Ctrl-C on the experiment reaches this script too, in its imports as anywhere:
# a word instead of a traceback.
signal.signal(signal.SIGINT, lambda *_: sys.exit("plot.py: interrupted; the plots are made again at the next start"))

import json
from pathlib import Path

import matplotlib

matplotlib.use("Agg")
import matplotlib.pyplot as plt  # noqa: E402
import numpy as np  # noqa: E402
import pandas as pd  # noqa: E402
from scipy import stats  # noqa: E402

sys.path.insert(0, str(Path(__file__).resolve().parent))
from columns import COLUMNS, condition_words, factor_words  # noqa: E402

INTERVAL = 100  # ticks per statistics row
CAUSES = ["hunger", "thirst", "pain", "age"]


def mean_band(frame, column):
    """Per tick: mean over seeds and the 95 % confidence interval of that mean."""
    grouped = frame.groupby("tick")[column]
    mean = grouped.mean()
    count = grouped.count()
    sem = grouped.std(ddof=1) / np.sqrt(count)
    half = stats.t.ppf(0.975, np.maximum(count - 1, 1)) * sem
    half[count < 2] = np.nan  # one seed: no band
    return mean.index.to_numpy(), mean.to_numpy(), (mean - half).to_numpy(), (mean + half).to_numpy()


def constant_factors(config):
    """The factors with a single value: the same in every run, so no legend entry."""
    values = {}
    for assignments in config["conditions"].values():
        for name, value in assignments:
            values.setdefault(name, set()).add(value)
    return [(name, next(iter(v))) for name, v in values.items() if len(v) == 1]


LINE_STYLES = ["-", "--", ":", "-."]


def conditions(table, config):
    """(legend text, line style, rows of the table) per condition, in the experiment's order.

    With one or two varying factors the colour tells the first factor's value and the
    line style the second's, so a reader sees the design at a glance."""
    constant = dict(constant_factors(config))
    varying_names = [n for n in config["factors"] if n not in constant]
    values = {n: [] for n in varying_names}
    for assignments in config["conditions"].values():
        for name, value in assignments:
            if name in values and value not in values[name]:
                values[name].append(value)
    by_design = (1 <= len(varying_names) <= 2 and len(values[varying_names[0]]) <= 10
                 and (len(varying_names) == 1 or len(values[varying_names[1]]) <= len(LINE_STYLES)))
    for i, (condition, assignments) in enumerate(config["conditions"].items()):
        # By name, never by the factor values: pandas reads them as floats, and two
        # values can be equal as floats and yet named apart, or parse to another float.
        rows = table[table["condition"] == condition]
        varying = dict((n, v) for n, v in assignments if n not in constant)
        if by_design:
            colour = COLOURS[values[varying_names[0]].index(varying[varying_names[0]])]
            style = LINE_STYLES[values[varying_names[1]].index(varying[varying_names[1]])] if len(varying_names) == 2 else "-"
        else:
            colour, style = COLOURS[i % len(COLOURS)], "-"
        yield condition_words(list(varying.items())), (colour, style), rows


COLOURS = plt.cm.tab10.colors


def draw(ax, tick, mean, low, high, look, label):
    colour, style = look
    ax.plot(tick, mean, color=colour, linestyle=style, linewidth=1.5, label=label)
    if not np.all(np.isnan(low)):
        ax.fill_between(tick, low, high, color=colour, alpha=0.18, linewidth=0)


def note(config):
    seeds = len(config["seeds"])
    band = "shaded: 95 % confidence interval of the mean" if seeds > 1 else "one seed: no band"
    text = f"{config['experiment']}: mean of {seeds} seed{'s' if seeds > 1 else ''} per condition; {band}"
    if len(config["conditions"]) > MAX_LEGEND:
        text += f"; one line per condition, {len(config['conditions'])} conditions (design.csv)"
    constant = constant_factors(config)
    if constant:
        text += "; in all runs: " + condition_words(constant)
    return text


# A sampled design has hundreds of conditions: a legend of them all would be taller than
# the chart by far, so beyond this many design.csv lists them instead.
MAX_LEGEND = 12


def legend(ax, config):
    """Below the axes, so it never hides a line."""
    if len(config["conditions"]) > MAX_LEGEND:
        return
    title = "condition" if config["factors"] else None
    ax.legend(title=title, fontsize=8, title_fontsize=8, frameon=False, loc="upper left",
              bbox_to_anchor=(0, -0.16), ncol=1)


def column_plot(table, config, column, path):
    fig, ax = plt.subplots(figsize=(7.5, 4), dpi=120)
    for label, look, rows in conditions(table, config):
        draw(ax, *mean_band(rows, column), look, label)
    ax.set_xlabel(f"tick (one statistics row every {INTERVAL} ticks)")
    ax.set_ylabel(column)
    ax.set_xlim(0, table["tick"].max())
    ax.set_title(f"{column}: {COLUMNS[column]}", fontsize=10)
    ax.grid(alpha=0.3)
    legend(ax, config)
    ax.annotate(note(config), xy=(0, 1), xycoords="axes fraction", xytext=(0, 22),
                textcoords="offset points", fontsize=7, color="0.35")
    fig.savefig(path, bbox_inches="tight")
    plt.close(fig)


def deaths_of(runs, condition, cause):
    """Mean deaths of a cause over the seeds of a condition, and the seeds' own counts.

    From the manifests (runs.csv), which count every death: the statistics rows
    count none in an interval where the last mice die."""
    counts = runs[runs["condition"] == condition]["deaths_" + cause].to_numpy()
    return counts.mean() if len(counts) else np.nan, counts


def population_panel(table, runs, config, path):
    fig = plt.figure(figsize=(9, 7.2), dpi=120)
    grid = fig.add_gridspec(2, 4, height_ratios=[1.3, 1], hspace=0.38)
    top = fig.add_subplot(grid[0, :])
    causes = [fig.add_subplot(grid[1, 0])]
    causes += [fig.add_subplot(grid[1, i], sharey=causes[0]) for i in range(1, 4)]
    last = table["tick"].max()
    names = list(config["conditions"])
    for i, (label, look, rows) in enumerate(conditions(table, config)):
        draw(top, *mean_band(rows, "NMaus"), look, f"{i + 1}: {label}")
        for ax, cause in zip(causes, CAUSES):
            mean, counts = deaths_of(runs, names[i], cause)
            ax.bar(i, mean, color=look[0], alpha=0.7, hatch=None if look[1] == "-" else "//")
            ax.plot([i] * len(counts), counts, "o", color="0.2", markersize=2.5)
    top.set_title(f"Living mice: {config['experiment']}", fontsize=10)
    top.set_ylabel("mice (NMaus)")
    top.set_xlabel("tick")
    top.set_xlim(0, last)
    top.set_ylim(bottom=0)
    top.grid(alpha=0.3)
    for ax, cause in zip(causes, CAUSES):
        ax.set_title(f"died of {cause}", fontsize=9)
        ax.set_xlabel("condition (bar: mean, dots: seeds)", fontsize=8)
        ax.set_xticks(range(len(names)), [str(i + 1) for i in range(len(names))])
        ax.tick_params(labelsize=7)
        ax.grid(alpha=0.3)
        if ax is not causes[0]:
            ax.tick_params(labelleft=False)
    causes[0].set_ylabel(f"deaths in the run's {config['ticks']} ticks", fontsize=8)
    causes[0].set_ylim(bottom=0)
    handles, labels = top.get_legend_handles_labels()
    if len(config["conditions"]) <= MAX_LEGEND:
        fig.legend(handles, labels, title="condition" if config["factors"] else None, fontsize=8,
                   title_fontsize=8, frameon=False, loc="upper left", bbox_to_anchor=(0.07, 0.02))
    fig.text(0.07, 0.955, note(config), fontsize=7, color="0.35")
    fig.savefig(path, bbox_inches="tight")
    plt.close(fig)


def main(config_file):
    config = json.loads(Path(config_file).read_text())
    table = pd.read_csv("table.csv.gz")
    runs = pd.read_csv("runs.csv")
    Path("plots").mkdir(exist_ok=True)
    for column in config["plots"]:
        column_plot(table, config, column, Path("plots") / f"{column}.png")
    population_panel(table, runs, config, Path("plots") / "population-and-deaths.png")


if __name__ == "__main__":
    main(sys.argv[1])
