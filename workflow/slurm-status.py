#!/usr/bin/python3
"""Tells Snakemake how a Slurm job stands: prints running, success or failed.

Asks squeue first (pending and running jobs), then scontrol (jobs finished a
short while ago, MinJobAge), then sacct, which works only on clusters with
accounting storage (slurmdbd) and otherwise answers that it is disabled.

usage: slurm-status.py JOBID
"""

import subprocess
import sys

RUNNING = {"PENDING", "CONFIGURING", "RUNNING", "COMPLETING", "SUSPENDED", "REQUEUED",
           "RESIZING", "SIGNALING", "STAGE_OUT", "STOPPED", "REQUEUE_FED", "REQUEUE_HOLD"}
SUCCESS = {"COMPLETED"}


def ask(command):
    try:
        done = subprocess.run(command, capture_output=True, text=True, timeout=30)
    except (OSError, subprocess.TimeoutExpired):
        return ""
    return done.stdout.strip() if done.returncode == 0 else ""


def state(job):
    answer = ask(["squeue", "--noheader", "--jobs", job, "--format", "%T"])
    if answer:
        return answer.split()[0]
    answer = ask(["scontrol", "show", "job", job])
    for word in answer.split():
        if word.startswith("JobState="):
            return word.split("=", 1)[1]
    answer = ask(["sacct", "--noheader", "--parsable2", "--allocations", "--jobs", job, "--format", "State"])
    if answer:
        return answer.split()[0].rstrip("+")
    return None


def main():
    job = sys.argv[1]
    found = state(job)
    if found is None:
        print(f"slurm-status: no Slurm service knows job {job}", file=sys.stderr)
        print("failed")
    elif found in RUNNING:
        print("running")
    elif found in SUCCESS:
        print("success")
    else:
        print("failed")


if __name__ == "__main__":
    main()
