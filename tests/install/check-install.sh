#!/usr/bin/env bash
# usage: tests/install/check-install.sh BUILD
#
# Murinex installed as a user gets it, from the build folder BUILD (a Release
# build): `scripts/setup --print` names no package that only the tests need;
# `cmake --install` into a temporary prefix, the tree moved elsewhere, then the
# default run, a movie, an experiment and the Python module from the moved tree;
# the Debian package, its dependencies, and a run from it unpacked into a
# throw-away root. Everything it writes is below one temporary folder, removed
# at the end.
set -euo pipefail

fail() { echo "check-install: $*" >&2; exit 1; }

# Whether the run in folder $1 wrote the same files, with the same bytes, as the
# reference run (the dumps' first line is the date and time of writing).
same_outputs() {
  (cd "$scratch/reference" && find Proto data -type f | sort) >"$scratch/reference-files"
  (cd "$1" && find Proto data -type f | sort) >"$scratch/files"
  [ -s "$scratch/reference-files" ] || return 1
  cmp -s "$scratch/reference-files" "$scratch/files" || { diff "$scratch/reference-files" "$scratch/files" >&2; return 1; }
  while read -r file; do
    case "$file" in
      data/*.dat) cmp -s <(tail -n +2 "$scratch/reference/$file") <(tail -n +2 "$1/$file") ;;
      *) cmp -s "$scratch/reference/$file" "$1/$file" ;;
    esac || { echo "$file differs" >&2; return 1; }
  done <"$scratch/files"
}
[ $# -eq 1 ] && [ -d "$1" ] || fail "usage: tests/install/check-install.sh BUILD (a configured and built build folder)"
build=$(realpath "$1")
source=$(realpath "$(dirname "$0")/../..")
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
# The installed programs, not the checkout's nor a build's, must do the work.
unset MURINEX_RUN PYTHONPATH

# --- The set-up for building and running holds nothing for tests or measuring.
plain=$("$source/scripts/setup" --print)
for word in slurm munge clang valgrind perf; do
  if grep -qi "$word" <<<"$plain"; then
    fail "scripts/setup --print names a test-only package: $(grep -i "$word" <<<"$plain" | tr '\n' ' ')"
  fi
done
everything=$("$source/scripts/setup" --print --test)
for package in slurmctld munge clang valgrind linux-perf help2man cmake; do
  grep -qx "$package" <<<"$everything" || fail "scripts/setup --print --test does not name $package"
done

# --- Install, then move the tree: nothing may still point at the first place.
cmake --install "$build" --prefix "$scratch/first" >/dev/null
mv "$scratch/first" "$scratch/moved"
prefix=$scratch/moved
for file in bin/murinex bin/murinex-run bin/murinex-movie bin/murinex-experiment bin/murinex-make-run \
            share/murinex/default-run/data/inimaus.ini share/murinex/workflow/Snakefile \
            share/murinex/experiments/scarcity.yaml share/doc/murinex/README.md \
            share/doc/murinex/docs/guide.md lib/python3/dist-packages/murinex/__init__.py; do
  [ -f "$prefix/$file" ] || fail "the installed tree lacks $file"
done
[ -x "$prefix/share/murinex/workflow/slurm-status.py" ] || fail "workflow/slurm-status.py is installed without its execute bit"
for program in murinex murinex-run murinex-movie murinex-experiment murinex-make-run; do
  zcat "$prefix/share/man/man1/$program.1.gz" | grep -q "^\.TH ${program^^} " \
    || fail "no man page for $program"
done
zcat "$prefix/share/man/man1/murinex-run.1.gz" | grep -q -- 'ticks' || fail "the man page of murinex-run lacks its --ticks"
for place in "$build" "$source" "$scratch/first"; do
  if grep -rlaF "$place" "$prefix"; then fail "the files above hold the path $place"; fi
done

# The default run, 1000 ticks, from the moved tree: every output byte as the
# build's own runner writes it from the checkout's default run (the dumps' first
# line is the date and time of writing).
cp -r "$prefix/share/murinex/default-run" "$scratch/run"
"$prefix/bin/murinex-run" --dir "$scratch/run" --ticks 1000 --out "$scratch/run-out" >/dev/null
"$build/app/murinex-run" --dir "$source/default-run" --ticks 1000 --out "$scratch/reference" >/dev/null
python3 - "$scratch/run-out/run.json" <<'EOF' || fail "the installed runner did not complete 1000 ticks"
import json, sys
manifest = json.load(open(sys.argv[1]))
sys.exit(0 if manifest["status"] == "complete" and manifest["final_tick"] == 1000 else 1)
EOF
same_outputs "$scratch/run-out" || fail "the installed run's outputs differ from the checkout's"

# murinex-make-run with its default options writes exactly the default run's
# inputs; installed, it copies the start-up and settings files from share/.
"$prefix/bin/murinex-make-run" "$scratch/made" >/dev/null || fail "murinex-make-run failed from the moved tree"
diff -r "$scratch/made" "$prefix/share/murinex/default-run" >/dev/null \
  || fail "murinex-make-run's default run folder differs from the installed default run"

# A movie: 100 ticks, a frame every 5 ticks, so 20 frames, read back by ffprobe.
"$prefix/bin/murinex-movie" --dir "$scratch/run" --ticks 100 --every 5 --size 450x320 \
  --out "$scratch/movie.mp4" >/dev/null 2>&1 || fail "murinex-movie failed from the moved tree"
probe=$(ffprobe -v error -count_frames -select_streams v:0 \
  -show_entries stream=codec_name,width,height,nb_read_frames -of csv=p=0 "$scratch/movie.mp4")
[ "$probe" = "h264,450,320,20" ] || fail "the movie is not 20 H.264 frames of 450x320: ffprobe says '$probe'"

# An experiment beside the installed ones, naming its base as they do
# (../default-run): 2 seeds of 300 ticks, run by the installed murinex-experiment
# in a working folder of its own, which gets results/tiny/.
cat >"$prefix/share/murinex/experiments/tiny.yaml" <<'EOF'
name: tiny
base: ../default-run
ticks: 300
seeds: [1, 2]
plots: [NMaus]
EOF
mkdir "$scratch/work"
(cd "$scratch/work" && "$prefix/bin/murinex-experiment" "$prefix/share/murinex/experiments/tiny.yaml" -j 2 \
  >"$scratch/experiment.log" 2>&1) || { cat "$scratch/experiment.log"; fail "murinex-experiment failed"; }
results=$scratch/work/results/tiny
python3 - "$results" "$prefix" <<'EOF' || { cat "$scratch/experiment.log"; fail "the experiment's results are wrong"; }
import csv, json, sys
from pathlib import Path
results, prefix = Path(sys.argv[1]), Path(sys.argv[2])
rows = list(csv.DictReader(open(results / "runs.csv")))
assert len(rows) == 2, f"runs.csv has {len(rows)} runs, not 2"
for seed in (1, 2):
    manifests = list(results.glob(f"runs/*/seed-{seed}/run.json"))
    assert len(manifests) == 1, f"{len(manifests)} manifests of seed {seed}"
    manifest = json.loads(manifests[0].read_text())
    assert manifest["status"] == "complete" and manifest["final_tick"] == 300, manifest["status"]
    assert Path(manifest["run_folder"]) == prefix / "share/murinex/default-run", manifest["run_folder"]
assert (results / "plots" / "NMaus.png").stat().st_size > 0
EOF

if find "$prefix" -name __pycache__ | grep -q .; then
  fail "the experiment left compiled Python files in the installed tree: $(find "$prefix" -name __pycache__)"
fi

# The Python module from the moved tree, in Debian's python3 it is built for.
PYTHONPATH="$prefix/lib/python3/dist-packages" PYTHONDONTWRITEBYTECODE=1 /usr/bin/python3 - "$prefix" <<'EOF' \
  || fail "the installed Python module does not load from the moved tree"
import sys
from pathlib import Path
import murinex
assert Path(murinex.__file__).resolve().is_relative_to(Path(sys.argv[1]).resolve()), murinex.__file__
assert "MutationRate" in murinex.set_names()
EOF

# --- The Debian package: named dependencies, unpacked into a throw-away root, run from there.
(cd "$build" && cpack -G DEB -B "$scratch/package" >"$scratch/cpack.log" 2>&1) \
  || { cat "$scratch/cpack.log"; fail "cpack -G DEB failed"; }
packages=("$scratch"/package/murinex_*_amd64.deb)
[ ${#packages[@]} -eq 1 ] && [ -f "${packages[0]}" ] || fail "cpack made no murinex_VERSION_amd64.deb"
deb=${packages[0]}
depends=$(dpkg-deb -f "$deb" Depends)
for needed in libc6 libstdc++6 libqt6widgets6 libssl3 zlib1g python3-pandas snakemake ffmpeg; do
  grep -q "\b$needed\b" <<<"$depends" || fail "the package's Depends lacks $needed: $depends"
done
dpkg -x "$deb" "$scratch/root"
[ -x "$scratch/root/usr/bin/murinex-experiment" ] || fail "the package holds no /usr/bin/murinex-experiment"
cp -r "$scratch/root/usr/share/murinex/default-run" "$scratch/deb-run"
"$scratch/root/usr/bin/murinex-run" --dir "$scratch/deb-run" --ticks 1000 --out "$scratch/deb-out" >/dev/null \
  || fail "murinex-run from the package failed"
same_outputs "$scratch/deb-out" || fail "the packaged runner's outputs differ from the checkout's"

echo "check-install: installed tree, moved tree, experiment, Python module and Debian package all right"
