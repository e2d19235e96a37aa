"""The notebook docs/notebooks/first-steps.ipynb runs cell by cell without an
error, and the file keeps its rendered plots so the repository shows them.

To render the notebook again after a change (from the repository's folder):
    PYTHONPATH=build/python python3 tests/python/test_notebook.py --write
"""

import os
import sys

import nbclient
import nbformat

HERE = os.path.dirname(os.path.abspath(__file__))
SOURCE = os.path.dirname(os.path.dirname(HERE))
NOTEBOOK = os.path.join(SOURCE, "docs", "notebooks", "first-steps.ipynb")


def execute(notebook):
    """Runs every cell in a fresh kernel that finds the module and the repository;
    a cell's error raises nbclient's CellExecutionError."""
    os.environ["MURINEX_SOURCE"] = SOURCE
    # The kernel starts in the notebook's folder: a relative PYTHONPATH would miss the module.
    paths = os.environ.get("PYTHONPATH", "").split(os.pathsep)
    os.environ["PYTHONPATH"] = os.pathsep.join(os.path.abspath(p) for p in paths if p)
    client = nbclient.NotebookClient(notebook, timeout=600, kernel_name="python3",
                                     resources={"metadata": {"path": os.path.dirname(NOTEBOOK)}})
    client.execute()
    return notebook


def pictures(notebook):
    return [output for cell in notebook.cells if cell.cell_type == "code"
            for output in cell.get("outputs", []) if "image/png" in output.get("data", {})]


def test_the_notebook_runs_and_keeps_its_plots():
    stored = nbformat.read(NOTEBOOK, as_version=4)
    # Two plots: population and hunger, then the two futures.
    assert len(pictures(stored)) == 2
    executed = execute(nbformat.read(NOTEBOOK, as_version=4))
    assert len(pictures(executed)) == 2
    errors = [o for cell in executed.cells if cell.cell_type == "code"
              for o in cell.outputs if o.output_type == "error"]
    assert not errors


if __name__ == "__main__":
    if sys.argv[1:] != ["--write"]:
        sys.exit("usage: test_notebook.py --write (renders docs/notebooks/first-steps.ipynb)")
    try:
        nbformat.write(execute(nbformat.read(NOTEBOOK, as_version=4)), NOTEBOOK)
    except nbclient.exceptions.CellExecutionError as error:
        sys.exit(f"test_notebook.py: a cell failed:\n{error}")
