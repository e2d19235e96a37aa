#!/usr/bin/python3
"""The experiment workflow on a Slurm cluster: the test starts a one-node cluster
on this machine (munged, slurmctld, slurmd with a minimal slurm.conf of its own:
one node of 2 CPUs, its own ports, state and spool folders in a temporary
folder), submits the tiny experiment with --slurm and compares its table with
the table of the same experiment run locally, and likewise the design, summary and
indices of a small Morris study. The daemons are stopped by their
process IDs whatever the outcome. A daemon that does not start fails the test
with its log.

usage: slurm_workflow_test.py --runner build/app/murinex-run
"""

import argparse
import os
import shutil
import signal
import socket
import subprocess
import sys
import tempfile
import time
import unittest
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
import workflow_common as wc  # noqa: E402

RUNNER = None


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


class Cluster:
    """munged, slurmctld and slurmd below one folder; stop() ends them by PID."""

    def __init__(self, folder):
        self.folder = Path(folder)
        self.processes = {}  # name -> Popen
        self.node = "murinexnode"
        self.conf = self.folder / "slurm.conf"
        self.munge_socket = self.folder / "munge" / "munge.socket"
        self.env = dict(os.environ, SLURM_CONF=str(self.conf))

    def log(self, name):
        path = self.folder / f"{name}.log"
        text = path.read_text(errors="replace") if path.exists() else "(no log file)"
        printed = self.folder / f"{name}.out"
        output = printed.read_text(errors="replace") if printed.exists() else ""
        return f"--- {name} log ({path}) ---\n{text}\n--- {name} output ---\n{output}"

    def start(self):
        for sub in ("munge", "state", "spool"):
            (self.folder / sub).mkdir(mode=0o700)
        key = self.folder / "munge" / "munge.key"
        key.write_bytes(os.urandom(1024))
        key.chmod(0o600)
        self.write_conf()
        self.launch("munged", ["munged", "--foreground", "--force", f"--key-file={key}",
                               f"--socket={self.munge_socket}",
                               f"--pid-file={self.folder / 'munge' / 'munged.pid'}",
                               f"--seed-file={self.folder / 'munge' / 'munged.seed'}",
                               f"--log-file={self.folder / 'munged.log'}"])
        self.wait_for(lambda: self.munge_socket.exists(), "munged", 20)
        self.launch("slurmctld", ["slurmctld", "-D", "-f", str(self.conf)])
        self.wait_for(lambda: self.quiet(["scontrol", "ping"]) and "UP" in self.output(["scontrol", "ping"]),
                      "slurmctld", 60)
        self.launch("slurmd", ["slurmd", "-D", "-f", str(self.conf), "-N", self.node])
        self.wait_for(lambda: self.output(["sinfo", "--noheader", "--format", "%T"]).strip() == "idle",
                      "slurmd", 60)

    def write_conf(self):
        f = self.folder
        self.conf.write_text(f"""\
ClusterName=murinextest
SlurmctldHost=localhost(127.0.0.1)
SlurmctldPort={free_port()}
SlurmdPort={free_port()}
SlurmUser=root
SlurmdUser=root
AuthType=auth/munge
AuthInfo=socket={self.munge_socket}
CredType=cred/munge
StateSaveLocation={f / 'state'}
SlurmdSpoolDir={f / 'spool'}
SlurmctldPidFile={f / 'slurmctld.pid'}
SlurmdPidFile={f / 'slurmd.pid'}
SlurmctldLogFile={f / 'slurmctld.log'}
SlurmdLogFile={f / 'slurmd.log'}
SlurmctldDebug=info
SlurmdDebug=info
ProctrackType=proctrack/linuxproc
TaskPlugin=task/none
SchedulerType=sched/builtin
SelectType=select/cons_tres
SelectTypeParameters=CR_CPU
MpiDefault=none
JobAcctGatherType=jobacct_gather/none
AccountingStorageType=accounting_storage/none
ReturnToService=2
MinJobAge=600
NodeName={self.node} NodeAddr=127.0.0.1 NodeHostname={self.node} CPUs=2 State=UNKNOWN
PartitionName=test Nodes={self.node} Default=YES MaxTime=INFINITE State=UP
""")

    def launch(self, name, command):
        with open(self.folder / f"{name}.out", "wb") as printed:
            self.processes[name] = subprocess.Popen(command, env=self.env, stdout=printed,
                                                    stderr=subprocess.STDOUT)

    def output(self, command):
        try:
            done = subprocess.run(command, env=self.env, capture_output=True, text=True, timeout=20)
        except (OSError, subprocess.TimeoutExpired):
            return ""
        return done.stdout if done.returncode == 0 else ""

    def quiet(self, command):
        try:
            return subprocess.run(command, env=self.env, capture_output=True, timeout=20).returncode == 0
        except (OSError, subprocess.TimeoutExpired):
            return False

    def wait_for(self, ready, name, seconds):
        deadline = time.monotonic() + seconds
        while time.monotonic() < deadline:
            if self.processes[name].poll() is not None:
                break
            if ready():
                return
            time.sleep(0.3)
        raise AssertionError(f"{name} did not start\n" + "\n".join(self.log(n) for n in self.processes))

    def stop(self):
        for name in ("slurmd", "slurmctld", "munged"):
            process = self.processes.get(name)
            if process is None or process.poll() is not None:
                continue
            os.kill(process.pid, signal.SIGTERM)
            try:
                process.wait(timeout=20)
            except subprocess.TimeoutExpired:
                os.kill(process.pid, signal.SIGKILL)
                process.wait()


class SlurmWorkflow(unittest.TestCase):
    def test_same_table_as_the_local_run(self):
        for program in ("munged", "slurmctld", "slurmd", "sbatch", "squeue", "scontrol"):
            self.assertIsNotNone(shutil.which(program), f"{program} is not installed (scripts/setup)")
        with tempfile.TemporaryDirectory(prefix="murinex-slurm-") as scratch:
            folder = Path(scratch)
            experiment = wc.write_tiny(folder)
            local = wc.run_experiment([experiment, "--out", folder / "local", "-j", "2"], RUNNER, timeout=600)
            self.assertEqual(local.returncode, 0, local.stderr)
            study = wc.write_study(folder, "morris", 2)  # 8 runs
            local = wc.run_experiment([study, "--out", folder / "study-local", "-j", "2"], RUNNER, timeout=600)
            self.assertEqual(local.returncode, 0, local.stderr)

            cluster = Cluster(folder / "cluster")
            (folder / "cluster").mkdir()
            try:
                cluster.start()
                done = wc.run_experiment([experiment, "--out", folder / "slurm", "-j", "2", "--slurm"],
                                         RUNNER, env=cluster.env, timeout=900)
                self.assertEqual(done.returncode, 0,
                                 done.stdout + done.stderr + cluster.log("slurmctld") + cluster.log("slurmd"))
                on_slurm = wc.run_experiment([study, "--out", folder / "study-slurm", "-j", "2", "--slurm"],
                                             RUNNER, env=cluster.env, timeout=900)
                self.assertEqual(on_slurm.returncode, 0, on_slurm.stdout + on_slurm.stderr)
            finally:
                cluster.stop()
            for name, process in cluster.processes.items():
                self.assertIsNotNone(process.poll(), f"{name} still runs")

            out = folder / "slurm"
            self.assertEqual(len(wc.complete_runs(out)), 4)
            # Every run was a Slurm job with a log of its own; collect and plot ran here.
            self.assertEqual(len(list((out / "slurm").glob("*.log"))), 4)
            self.assertIn("Submitted job", done.stderr)
            self.assertEqual(wc.table_text(out), wc.table_text(folder / "local"))
            self.assertEqual((out / "table.csv.gz").read_bytes(), (folder / "local" / "table.csv.gz").read_bytes())
            for name in ["NMaus", "Bite", "population-and-deaths"]:
                wc.png_size(out / "plots" / f"{name}.png")
            # The sensitivity study: the same design, outcomes and indices as on this machine.
            for name in ["design.csv", "summary.csv", "sensitivity.csv"]:
                self.assertEqual((folder / "study-slurm" / name).read_text(),
                                 (folder / "study-local" / name).read_text(), name)
            self.assertEqual(len(list((folder / "study-slurm" / "slurm").glob("*.log"))), 8)
            wc.png_size(folder / "study-slurm" / "plots" / "sensitivity-Hung.png")
            self.assertIn("complete: <b>8</b>", (folder / "study-slurm" / "report.html").read_text())


if __name__ == "__main__":
    parser = argparse.ArgumentParser()
    parser.add_argument("--runner", required=True)
    arguments, rest = parser.parse_known_args()
    RUNNER = Path(arguments.runner).resolve()
    unittest.main(argv=[sys.argv[0], *rest], verbosity=2)
