#!/usr/bin/env python3
"""tools/lineage.py draws the right family: founders 1, 2, 3; mouse 4 of mother 1
and father 2; mouse 5 of mother 4 and father 3; mouse 6 of mother 3 and father 2.
Mouse 4 with one generation each way is 1, 2 (parents), 4 and 5 (child), with the
father's edges dashed; 3 and 6 are no kin of 4 within that. An unknown mouse or
a missing folder is refused with a message and status 1, never a traceback.
"""
import re
import subprocess
import sys
import tempfile
import unittest
from pathlib import Path

TOOL = Path(__file__).resolve().parents[2] / "tools" / "lineage.py"
HEADER = "tick,id,mother,father,generation,lineage,mother_age,father_age\n"


def lineage(*arguments):
    return subprocess.run([sys.executable, str(TOOL), *map(str, arguments)], capture_output=True, text=True)


class Lineage(unittest.TestCase):
    def setUp(self):
        self.scratch = tempfile.TemporaryDirectory()
        self.run = Path(self.scratch.name) / "run"
        (self.run / "Proto").mkdir(parents=True)
        (self.run / "data").mkdir()
        (self.run / "Proto" / "Births-NN.csv").write_text(
            HEADER + "100,4,1,2,1,Grey,900,800\n200,5,4,3,2,Grey,100,1000\n300,6,3,2,1,Brown,1100,1000\n")
        (self.run / "data" / "Genom-NN-0.dat").write_text(
            "data/Genom-NN-0.dat vom today\n         0    // TaktNr\n\n"
            "       1   0.5\n       2   0.5\n       3   0.5\n")

    def tearDown(self):
        self.scratch.cleanup()

    def test_one_mouse_with_both_parents_and_its_child(self):
        out = Path(self.scratch.name) / "four.svg"
        done = lineage(self.run, "--mouse", 4, "--generations", 1, "--out", out)
        self.assertEqual(done.returncode, 0, done.stderr)
        svg = out.read_text()
        titles = re.findall(r'<g id="(node|edge)\d+" class="\w+">\s*<title>([^<]*)</title>', svg)
        nodes = {t for kind, t in titles if kind == "node"}
        edges = {t.replace("&#45;&gt;", "->") for kind, t in titles if kind == "edge"}
        self.assertEqual(nodes, {"m1", "m2", "m4", "m5"})
        self.assertEqual(edges, {"m1->m4", "m2->m4", "m4->m5"})
        father_edge = svg[svg.index("<title>m2&#45;&gt;m4</title>"):]
        self.assertIn('stroke-dasharray', father_edge[:father_edge.index("</g>")])

    def test_the_whole_run_as_png(self):
        out = Path(self.scratch.name) / "all.png"
        done = lineage(self.run, "--out", out)
        self.assertEqual(done.returncode, 0, done.stderr)
        self.assertEqual(out.read_bytes()[:8], b"\x89PNG\r\n\x1a\n")
        self.assertIn("6 mice, 3 born in the run", done.stdout)

    def test_refusals_name_the_fault(self):
        for arguments, words in [((self.run, "--mouse", 9, "--out", "x.svg"), "mouse 9"),
                                 ((self.run / "none", "--out", "x.svg"), "Births-NN.csv"),
                                 ((self.run, "--out", "x.pdf"), ".svg or .png")]:
            done = lineage(*arguments)
            self.assertEqual(done.returncode, 1, arguments)
            self.assertIn(words, done.stderr)
            self.assertNotIn("Traceback", done.stderr)


if __name__ == "__main__":
    unittest.main()
