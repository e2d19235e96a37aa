# The life records of the runs (workflow/life.py): gathered next to table.csv.gz
# and drawn. Included by the Snakefile, whose names (MANIFESTS, PYTHON, HERE) it uses.

OBSERVE_EVERY = config.get("observe_every", 0)
OBSERVE_OPTION = f"--observe-every {OBSERVE_EVERY}" if OBSERVE_EVERY > 0 else ""
LIFE_TABLES = ["births.csv.gz", "deaths.csv.gz", "traits.csv.gz", "lineages.csv.gz"] + (
    ["mice.csv.gz"] if OBSERVE_EVERY > 0 else [])
LIFE_PLOTS = [f"plots/traits/{gene}.png" for gene in config.get("traits", [])] + [
    "plots/survival.png", "plots/lineages.png"]

localrules: collect_life, plot_life


rule collect_life:
    input:
        MANIFESTS,
    output:
        LIFE_TABLES,
    params:
        experiment=config["experiment"],
        observe_every=OBSERVE_EVERY,
    shell:
        "{PYTHON:q} {HERE:q}/life.py collect experiment.json"


rule plot_life:
    input:
        LIFE_TABLES,
    output:
        LIFE_PLOTS,
    params:
        traits=config.get("traits", []),
    shell:
        "{PYTHON:q} {HERE:q}/life.py plot experiment.json"
