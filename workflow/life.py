"""The life records of an experiment's runs: gathered into tables and drawn.

collect: next to table.csv.gz, with the columns experiment, condition, <factors>, seed
before each run's own:
    births.csv.gz, deaths.csv.gz, traits.csv.gz   from Proto/{Births,Deaths,Traits}-TASK.csv
    mice.csv.gz                                   from Proto/Mice-TASK.csv.gz (observe_every)
    lineages.csv.gz   per run and statistics tick: the founders (mice of the population
                      file) with a living descendant on the mothers' line, themselves included
plot: plots/traits/GENE.png for the genes of the `traits` key, plots/survival.png
(Kaplan-Meier of the age at death, mice alive at the end censored) and
plots/lineages.png.

Usage: life.py collect|plot experiment.json   (in the experiment's output folder)
"""

import signal
import sys

# Ctrl-C on the experiment reaches this script too: a word instead of a traceback.
signal.signal(signal.SIGINT, lambda *_: sys.exit("life.py: interrupted; made again at the next start"))

import csv
import gzip
import io
import json
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
from collect import write_atomically  # noqa: E402

# collect.py set its own words for Ctrl-C.
signal.signal(signal.SIGINT, lambda *_: sys.exit("life.py: interrupted; made again at the next start"))

INTERVAL = 100  # ticks between two statistics rows
TABLES = {"births": "Births-{task}.csv", "deaths": "Deaths-{task}.csv", "traits": "Traits-{task}.csv"}


def runs(config):
    """(prefix values, run folder, manifest) of every run, in the experiment's order."""
    for condition, assignments in config["conditions"].items():
        for seed in config["seeds"]:
            folder = Path("runs") / condition / f"seed-{seed}"
            manifest = json.loads((folder / "run.json").read_text())
            # A run that ended because its last mouse died (stop_when: extinct) is done too.
            if manifest["status"] not in ("complete", "extinct"):
                raise SystemExit(f"{folder}/run.json: the run did not complete: {manifest.get('error')}")
            yield [config["experiment"], condition, *(v for _, v in assignments), seed], folder, manifest


def read_rows(path, opener=open):
    try:
        with opener(path, "rt", newline="") as f:
            reader = csv.reader(f)
            return next(reader), list(reader)
    except (OSError, StopIteration) as e:
        raise SystemExit(f"{path}: cannot read the table ({e or 'empty'})")


def packed(text):
    """gzip without a time stamp or a name: the same runs give the same bytes."""
    out = io.BytesIO()
    with gzip.GzipFile(filename="", mode="wb", fileobj=out, mtime=0) as z:
        z.write(text.encode())
    return out.getvalue()


def start_tick(folder, manifest):
    """The tick of the run's first genome dump, and the IDs of the mice it holds."""
    genome = folder / "data" / f"Genom-{manifest['task']}-0.dat"
    try:
        lines = genome.read_text().splitlines()
    except OSError as e:
        raise SystemExit(f"{genome}: cannot read the first genome dump ({e.strerror})")
    return int(lines[1].split()[0]), [int(line.split()[0]) for line in lines[3:] if line.strip()]


def founder_counts(folder, manifest, births, deaths):
    """[(tick, founders with a living descendant)] at every statistics tick of a run."""
    start, founders = start_tick(folder, manifest)
    founder = {mouse: mouse for mouse in founders}
    alive = {mouse: 1 for mouse in founders}  # founder -> living descendants
    living = set(founders)
    # At one tick the deaths come before the births, as in the tick itself.
    events = sorted([(int(b["tick"]), 1, int(b["id"]), int(b["mother"])) for b in births]
                    + [(int(d["tick"]), 0, int(d["id"]), 0) for d in deaths])
    counts, e = [], 0
    for tick in range(start, manifest["final_tick"] + 1, INTERVAL):
        while e < len(events) and events[e][0] <= tick:
            _, birth, mouse, mother = events[e]
            e += 1
            if birth:
                founder[mouse] = founder.get(mother, mother)
                living.add(mouse)
                alive[founder[mouse]] = alive.get(founder[mouse], 0) + 1
            elif mouse in living:
                living.discard(mouse)
                alive[founder[mouse]] -= 1
        counts.append((tick, sum(1 for n in alive.values() if n > 0)))
    return counts


def collect(config):
    prefix = ["experiment", "condition", *config["factors"], "seed"]
    names = [*TABLES] + (["mice"] if config.get("observe_every", 0) > 0 else [])
    texts = {name: io.StringIO() for name in [*names, "lineages"]}
    writers = {name: csv.writer(text, lineterminator="\n") for name, text in texts.items()}
    writers["lineages"].writerow([*prefix, "tick", "lineages"])
    headers = {}
    for values, folder, manifest in runs(config):
        task = manifest["task"]
        read = {}
        for name in names:
            if name == "mice":
                header, rows = read_rows(folder / "Proto" / f"Mice-{task}.csv.gz", gzip.open)
            else:
                header, rows = read_rows(folder / "Proto" / TABLES[name].format(task=task))
            if name not in headers:
                headers[name] = header
                writers[name].writerow([*prefix, *header])
            elif headers[name] != header:
                raise SystemExit(f"{folder}: the {name} table has other columns than the other runs'")
            for row in rows:
                writers[name].writerow([*values, *row])
            read[name] = [dict(zip(header, row)) for row in rows]
        for tick, count in founder_counts(folder, manifest, read["births"], read["deaths"]):
            writers["lineages"].writerow([*values, tick, count])
    for name, text in texts.items():
        write_atomically(f"{name}.csv.gz", packed(text.getvalue()))


# ---------------------------------------------------------------- plots

def plot(config):
    import matplotlib

    matplotlib.use("Agg")
    import matplotlib.pyplot as plt
    import pandas as pd
    from statsmodels.duration.survfunc import SurvfuncRight

    import plot as common

    Path("plots/traits").mkdir(parents=True, exist_ok=True)
    traits = pd.read_csv("traits.csv.gz")
    for gene in config["traits"]:
        fig, ax = plt.subplots(figsize=(7.5, 4), dpi=120)
        for label, look, rows in common.conditions(traits, config):
            common.draw(ax, *common.mean_band(rows.dropna(subset=[gene + "_mean"]), gene + "_mean"),
                        look, label)
        ax.set_xlabel(f"tick (every {INTERVAL} ticks)")
        ax.set_ylabel(f"mean of {gene} over the living mice")
        ax.set_xlim(0, traits["tick"].max())
        ax.set_title(f"Gene {gene}: mean over the living mice", fontsize=10)
        ax.grid(alpha=0.3)
        common.legend(ax, config)
        ax.annotate(common.note(config), xy=(0, 1), xycoords="axes fraction", xytext=(0, 22),
                    textcoords="offset points", fontsize=7, color="0.35")
        fig.savefig(Path("plots/traits") / f"{gene}.png", bbox_inches="tight")
        plt.close(fig)

    # Survival: every death is an event at its age, every mouse alive at the end of its
    # run is censored at its age then. A mouse of the population file enters the study
    # at its age at the start (left truncation), one born in the run at age 0.
    deaths = pd.read_csv("deaths.csv.gz")
    born = set(zip(*[pd.read_csv("births.csv.gz")[c] for c in ("condition", "seed", "id")]))
    fig, ax = plt.subplots(figsize=(7.5, 4.5), dpi=120)
    for name, (label, look, _) in zip(config["conditions"], common.conditions(deaths, config)):
        ages, events, entries = [], [], []
        for values, folder, manifest in runs(config):
            condition, seed = values[1], values[-1]
            if condition != name:
                continue
            start, _ = start_tick(folder, manifest)
            mine = deaths[(deaths["condition"] == condition) & (deaths["seed"] == seed)]
            ends = [(int(d.id), int(d.age), 1, int(d.tick)) for d in mine.itertuples()]
            ends += [(mouse, age, 0, manifest["final_tick"]) for mouse, age in final_ages(folder, manifest)]
            for mouse, age, event, tick in ends:
                ages.append(age)
                events.append(event)
                entries.append(0 if (condition, seed, mouse) in born else max(0, age - (tick - start)))
        if not ages:
            continue
        fit = SurvfuncRight(ages, events, entry=entries)
        ax.step(fit.surv_times, fit.surv_prob, where="post", color=look[0], linestyle=look[1],
                label=f"{label} ({sum(events)} deaths, {len(events) - sum(events)} alive at the end)")
    ax.set_xlabel("age (ticks)")
    ax.set_ylabel("share still alive (Kaplan-Meier)")
    ax.set_ylim(0, 1.02)
    ax.set_title(f"Survival by age: {config['experiment']}, the seeds of a condition pooled",
                 fontsize=10)
    ax.grid(alpha=0.3)
    common.legend(ax, config)
    fig.savefig(Path("plots") / "survival.png", bbox_inches="tight")
    plt.close(fig)

    lineages = pd.read_csv("lineages.csv.gz")
    fig, ax = plt.subplots(figsize=(7.5, 4), dpi=120)
    for label, look, rows in common.conditions(lineages, config):
        common.draw(ax, *common.mean_band(rows, "lineages"), look, label)
    ax.set_xlabel("tick")
    ax.set_ylabel("founders with living descendants")
    ax.set_xlim(0, lineages["tick"].max())
    ax.set_ylim(bottom=0)
    ax.set_title("Surviving founder lineages (mothers' line, founders included)", fontsize=10)
    ax.grid(alpha=0.3)
    common.legend(ax, config)
    ax.annotate(common.note(config), xy=(0, 1), xycoords="axes fraction", xytext=(0, 22),
                textcoords="offset points", fontsize=7, color="0.35")
    fig.savefig(Path("plots") / "lineages.png", bbox_inches="tight")
    plt.close(fig)


def final_ages(folder, manifest):
    """(ID, age) of the mice alive at the end of a run, from its last population dump."""
    dumps = sorted((folder / "data").glob(f"Maeuse-{manifest['task']}-*.dat"),
                   key=lambda p: int(p.stem.rsplit("-", 1)[1]))
    if not dumps:
        raise SystemExit(f"{folder}/data: no population dump")
    ages = []
    lines = dumps[-1].read_text().splitlines()
    # A mouse's first line: lineage word, ID, age, mother, tick of birth.
    for line in lines[3:]:
        words = line.split()
        if len(words) == 5 and not words[0].lstrip("-").isdigit() and all(
                w.lstrip("-").isdigit() for w in words[1:]):
            ages.append((int(words[1]), int(words[2])))
    if len(ages) != manifest["final_population"]:
        raise SystemExit(f"{dumps[-1]}: {len(ages)} mice read, the manifest says "
                         f"{manifest['final_population']}")
    return ages


def main(command, config_file):
    config = json.loads(Path(config_file).read_text())
    if command == "collect":
        collect(config)
    elif command == "plot":
        plot(config)
    else:
        raise SystemExit(f"life.py: unknown command {command!r}; use collect or plot")


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    main(sys.argv[1], sys.argv[2])
