"""report.html: one self-contained page of an experiment (pictures embedded, nothing
fetched from a network): the experiment file, the design, how many runs are complete,
extinct or failed, the sensitivity table, the summary table and every plot.

Usage: report.py experiment.json   (in the experiment's output folder)
"""

import base64
import csv
import html
import json
import sys
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
from collect import write_atomically  # noqa: E402

STYLE = """
body { font-family: sans-serif; margin: 2em auto; max-width: 70em; color: #222; }
h1 { font-size: 1.5em; } h2 { font-size: 1.2em; margin-top: 1.6em; border-bottom: 1px solid #ccc; }
pre { background: #f4f4f4; padding: 0.8em; overflow-x: auto; }
table { border-collapse: collapse; font-size: 0.85em; }
td, th { border: 1px solid #ccc; padding: 0.2em 0.5em; text-align: right; }
th { background: #eee; } td:first-child, th:first-child { text-align: left; }
figure { display: inline-block; margin: 0.5em; } img { max-width: 100%; }
.counts span { display: inline-block; margin-right: 1.5em; font-size: 1.1em; }
"""


def csv_table(path):
    if not Path(path).exists():
        return "<p>(not made)</p>"
    with open(path, newline="") as f:
        rows = list(csv.reader(f))
    head = "".join(f"<th>{html.escape(c)}</th>" for c in rows[0])
    body = "".join("<tr>" + "".join(f"<td>{html.escape(c)}</td>" for c in row) + "</tr>" for row in rows[1:])
    return f"<table><thead><tr>{head}</tr></thead><tbody>{body}</tbody></table>"


def run_counts(config):
    counts = {"complete": 0, "extinct": 0, "failed": 0, "missing": 0}
    for condition in config["conditions"]:
        for seed in config["seeds"]:
            folder = Path("runs") / condition / f"seed-{seed}"
            status = None
            if (folder / "run.json").exists():
                status = json.loads((folder / "run.json").read_text()).get("status")
            if status in ("complete", "extinct"):
                counts[status] += 1
            elif status or (folder / "run-failed.json").exists():
                counts["failed"] += 1
            else:
                counts["missing"] += 1
    return counts


def picture(path):
    data = base64.b64encode(Path(path).read_bytes()).decode()
    name = html.escape(Path(path).name)
    return f'<figure><img alt="{name}" src="data:image/png;base64,{data}"><figcaption>{name}</figcaption></figure>'


def page(config):
    name = html.escape(config["experiment"])
    try:
        experiment_text = Path(config["experiment_file"]).read_text()
    except OSError as error:  # moved or deleted since the start: the rest of the report still stands
        experiment_text = f"({config['experiment_file']} cannot be read: {error.strerror})"
    counts = run_counts(config)
    total = len(config["conditions"]) * len(config["seeds"])
    plots = sorted(Path("plots").glob("*.png"))
    sensitivity = sorted(p for p in plots if p.name.startswith("sensitivity-"))
    others = [p for p in plots if p not in sensitivity]
    parts = [
        f"<!DOCTYPE html><html lang='en'><head><meta charset='utf-8'><title>Experiment {name}</title>",
        f"<style>{STYLE}</style></head><body>",
        f"<h1>Experiment {name}</h1>",
        f"<p>Design <b>{html.escape(config['design'])}</b>: {len(config['conditions'])} conditions &times;"
        f" {len(config['seeds'])} seeds = {total} runs of {config['ticks']} ticks on"
        f" {html.escape(config['base'])}.</p>",
        "<p class='counts'>" + "".join(f"<span>{k}: <b>{v}</b></span>" for k, v in counts.items()) + "</p>",
    ]
    if config["design"] in ("sobol", "morris"):
        parts += ["<h2>Which parameters matter</h2>", csv_table("sensitivity.csv"),
                  *map(picture, sensitivity)]
    parts += [
        "<h2>Outcomes against factors, and the statistics over time</h2>", *map(picture, others),
        f"<h2>The experiment file</h2><pre>{html.escape(experiment_text)}</pre>",
        "<h2>Summary: one row per run</h2>", csv_table("summary.csv"),
        "<h2>Design</h2>", csv_table("design.csv"),
        "</body></html>\n",
    ]
    return "\n".join(parts)


def main(config_file):
    config = json.loads(Path(config_file).read_text())
    write_atomically("report.html", page(config).encode())


if __name__ == "__main__":
    main(sys.argv[1])
