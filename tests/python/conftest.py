"""Shared pieces of the murinex module's tests: the runner to compare with, the
default run folder, and a comparison of two output folders."""

import os
import subprocess

import pytest

HERE = os.path.dirname(os.path.abspath(__file__))
SOURCE = os.path.dirname(os.path.dirname(HERE))
DEFAULT_RUN = os.path.join(SOURCE, "default-run")


def runner_path():
    path = os.environ.get("MURINEX_RUN")
    if not path:
        pytest.fail("MURINEX_RUN must name the murinex-run program (ctest sets it)")
    return path


def run_runner(*args, expect=0):
    done = subprocess.run([runner_path(), "--dir", DEFAULT_RUN, *args],
                          capture_output=True, text=True)
    assert done.returncode == expect, done.stderr
    return done


def output_files(folder):
    """Every protocol and dump below an output folder, by relative path: the
    bytes, a dump without its first line (the date of writing)."""
    files = {}
    for sub in ("Proto", "data"):
        base = os.path.join(folder, sub)
        if not os.path.isdir(base):
            continue
        for name in sorted(os.listdir(base)):
            if name.startswith("checkpoint-"):
                continue  # not a result: replaced by the next one
            with open(os.path.join(base, name), "rb") as f:
                data = f.read()
            if name.endswith(".dat"):
                data = data.split(b"\n", 1)[1]
            files[f"{sub}/{name}"] = data
    return files


def assert_same_outputs(expected_folder, actual_folder):
    expected, actual = output_files(expected_folder), output_files(actual_folder)
    assert sorted(actual) == sorted(expected)
    differing = [name for name in expected if expected[name] != actual[name]]
    assert not differing, f"{actual_folder} differs from {expected_folder} in {differing}"
    # A comparison of nothing would prove nothing.
    assert "Proto/ProtoNN.prt" in expected or any(n.startswith("Proto/Proto") for n in expected)
