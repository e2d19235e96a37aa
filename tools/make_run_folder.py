#!/usr/bin/env python3
"""Makes a run folder: the world file, the population file, the mouse bitmaps and
the sounds, generated, and the start-up and settings files of the default run.
With the default options it writes exactly the inputs of default-run/.
Deterministic: the same options give the same files every time.
"""
import argparse
import math
import os
import random
import shutil
import struct
import sys
import wave

# default-run/ beside tools/ in the checkout; installed as bin/murinex-make-run, share/murinex/default-run.
_HERE = os.path.dirname(os.path.abspath(__file__))
DEFAULT_RUN = next((folder for folder in (os.path.join(_HERE, "..", "default-run"),
                                          os.path.join(_HERE, "..", "share", "murinex", "default-run"))
                    if os.path.isdir(folder)), os.path.join(_HERE, "..", "default-run"))
PROGRAM = ("tools/make_run_folder.py" if os.path.basename(__file__) == "make_run_folder.py"
           else os.path.basename(__file__))
rng = random.Random(1)  # the world

# ---------------------------------------------------------------- world
BASE_WIDTH, BASE_HEIGHT = 900, 640
WIDTH, HEIGHT = BASE_WIDTH, BASE_HEIGHT
WORLD_SCALE = 1.0  # every length of the world: size, corners, jitter, patch centres and radii
COLS, ROWS = 6, 4
SAND, FOOD, WATER, JULI, STONES, HERBS = 1, 2, 3, 4, 5, 6

# The ground is a grid of jittered sand cells that share their corners, so they
# tile the world; two cells are left out on purpose (gaps to walk round).
GAPS = {(2, 1), (4, 2)}
SCALE = 1.8  # resource patches' radius factor
# Small resource patches lie on the sand (later patches cover earlier ones):
# kind, centre x, centre y, radius.
RESOURCES = [
    (FOOD, 80, 80, 22), (FOOD, 420, 60, 20), (FOOD, 760, 110, 22), (FOOD, 250, 330, 20),
    (FOOD, 600, 300, 22), (FOOD, 110, 560, 20), (FOOD, 480, 560, 22), (FOOD, 820, 520, 20),
    (WATER, 230, 120, 20), (WATER, 640, 60, 18), (WATER, 60, 330, 20), (WATER, 820, 330, 20),
    (WATER, 350, 470, 18), (WATER, 650, 600, 18),
    (JULI, 520, 180, 14), (JULI, 180, 450, 14),
    (HERBS, 330, 220, 16), (HERBS, 740, 220, 16), (HERBS, 560, 440, 16), (HERBS, 60, 180, 14),
    (STONES, 450, 300, 18), (STONES, 150, 250, 14), (STONES, 700, 430, 16), (STONES, 300, 600, 14),
]
NAMES = {SAND: "Sand", FOOD: "Meadow", WATER: "Pond", JULI: "Vorarazav spring", STONES: "Scree", HERBS: "Herb garden"}


def corner(i, j):
    x = round(i * (WIDTH - 1) / COLS)
    y = round(j * (HEIGHT - 1) / ROWS)
    jitter = round(15 * WORLD_SCALE)
    if 0 < i < COLS:
        x += rng.randint(-jitter, jitter)
    if 0 < j < ROWS:
        y += rng.randint(-jitter, jitter)
    return x, y


def seasons(kind, number):
    """Resources grow in their seasons (a year is 365 ticks) and decay outside;
    outside its seasons a patch gives only what was left in it."""
    if kind == FOOD:
        start = (number * 97) % 365
        end = start + 150
        if end <= 365:
            return [(start, end)], 0.1, 0.004, 0.02
        return [(0, end - 365), (start, 365)], 0.1, 0.004, 0.02
    if kind == WATER:
        start = (number * 131) % 365
        return [(start, min(start + 200, 365))], 0.3, 0.005, 0.01
    if kind == JULI:
        return [(100, 220)], 0.2, 0.003, 0.01
    if kind == HERBS:
        return [(30 + 60 * number, 230 + 30 * number)], 0.2, 0.003, 0.01
    return [], 0.5, 0.0, 0.0


def blob(cx, cy, radius):
    cx, cy, radius = cx * WORLD_SCALE, cy * WORLD_SCALE, radius * WORLD_SCALE
    points = []
    for k in range(9):
        a = 2 * math.pi * k / 9
        r = radius * rng.uniform(0.75, 1.15)
        points.append((round(cx + SCALE * r * math.cos(a)), round(cy - SCALE * r * math.sin(a))))
    return points


def patch_lines(name, kind, ss, level, growth, decay, points):
    season_text = " ".join(f"{a} {b}" for a, b in ss)
    head = f"{len(ss)} {season_text} " if ss else f"{len(ss)} "
    return [name, f"{kind}             kind",
            f"{head}{level} {growth} {decay}     seasons (count, first and end days), level, growth, decay",
            " ".join(f"{x} {y}" for x, y in points), ""]


def world_text():
    corners = [[corner(i, j) for j in range(ROWS + 1)] for i in range(COLS + 1)]
    lines = ["Default world of the Murinex run", f"{WIDTH} {HEIGHT}       width and height of the world", ""]
    cell = 0
    for row in range(ROWS):
        for col in range(COLS):
            if (col, row) in GAPS:
                continue
            cell += 1
            quad = [corners[col][row], corners[col + 1][row], corners[col + 1][row + 1], corners[col][row + 1]]
            lines += patch_lines(f"Sand {cell}", SAND, [], 0.5, 0.0, 0.0, quad)
    count = {}
    for kind, cx, cy, radius in RESOURCES:
        count[kind] = count.get(kind, 0) + 1
        ss, level, growth, decay = seasons(kind, count[kind])
        lines += patch_lines(f"{NAMES[kind]} {count[kind]}", kind, ss, level, growth, decay, blob(cx, cy, radius))
    return "\n".join(lines)


# ---------------------------------------------------------------- population
POPULATION = 60
POPULATION_SEED = 4  # the population has its own generator, so the world stays when the mice change
LINEAGES = ["Grey", "Brown", "White", "Sandy", "Black"]
PARAMS = [
    ("BasAr", 0.2, 0.4), ("ArousalW", 0.8, 1.2), ("InhibW", 0.3, 0.7), ("SelectW", 0.3, 0.7),
    ("LossComp", 0.1, 0.3), ("GainComp", 0.1, 0.3), ("LossCert", 0.1, 0.3), ("GainCert", 0.1, 0.3),
    ("RateForget", 0.0001, 0.0005), ("RateReinforce", 0.2, 0.4), ("ProtMem", 0.02, 0.06),
    ("Strength", 0.8, 1.2), ("SightWidth", 120, 200), ("AffilSens", 0.3, 0.7), ("Carefactor", 0.3, 0.8),
]
NEEDS = ["NoNeed", "Hunger", "Thirst", "Pain", "Sex", "Affil", "Cert", "Comp"]
BASMETA = [0, 0.015, 0.02, 0.002, 0.006, 0.008, 0.01, 0.006]


def fixed(v, w, d):
    return f"{v:{w}.{d}f}"


def mouse_record(mid, lineage, age, pos, motives, params, relations):
    out = [f"{lineage} {mid:10d}{age:15d}{0:10d}{0:12d}", f"{pos[0]:6d}{pos[1]:6d}", "", "ActVal",
           fixed(1, 12, 6) + fixed(0, 12, 6) + fixed(0, 12, 6) + "".join(f"{0:7d}" for _ in range(5)), ""]
    for i, (soll, ist, bm, weight, reserve) in enumerate(motives):
        line = f"{NEEDS[i]:>8}" + fixed(soll, 7, 3) + fixed(ist, 7, 3) + fixed(bm, 10, 4) + fixed(0, 10, 4) + fixed(weight, 10, 4)
        line += f"{reserve:7d}{reserve:7d}   // {NEEDS[i]}"
        if i == 0:
            line += ": Soll, Ist, BasMeta, Leak, Weight, Reserve, MaxReserve"
        out.append(line)
    out.append("")
    for j in range(0, 14, 2):
        out.append(fixed(params[j], 14, 8) + fixed(params[j + 1], 14, 8) + f"  // {PARAMS[j][0]}, {PARAMS[j + 1][0]}")
    out.append(fixed(params[14], 14, 8) + "  // Carefactor")
    out += ["", "", "--- Goals ---     hunger     thirst    pain      sex       affil   certainty  comp", "",
            " --- Memory ---", ""]
    rel = f"{'FriEns:':>10}{len(relations):4d}"
    for k, (other, friendship, enmity) in enumerate(relations):
        rel += f"{other:10d}" + fixed(friendship, 10, 4) + fixed(enmity, 10, 4)
    out += [rel, "", f"{'Protocol:':>10}{0:7d}", "", ""]
    return "\n".join(out) + "\n"


def population_text():
    global rng
    rng = random.Random(POPULATION_SEED)
    out = ["Default population of the Murinex run", "0          start tick", ""]
    for mid in range(1, POPULATION + 1):
        lineage = LINEAGES[(mid - 1) % len(LINEAGES)]
        age = rng.choice([rng.randint(0, 3000), rng.randint(3000, 6500), rng.randint(4800, 5200)])
        pos = (rng.randint(30, WIDTH - 30), rng.randint(30, HEIGHT - 30))
        motives = [(1.0, 1.0, 0.0, 0.0, 0)]
        for i in range(1, 8):
            ist = round(rng.uniform(0.6, 1.0), 3)
            weight = round(rng.uniform(0.7, 1.6), 4)
            reserve = rng.randint(800, 1200) if i <= 3 else 0
            motives.append((1.0, ist, BASMETA[i], weight, reserve))
        params = [round(rng.uniform(lo, hi), 8 if hi < 0.01 else 6) for _, lo, hi in PARAMS]
        relations = []
        if mid % 4 == 0:
            relations.append((mid - 1, 0.6, 0.0))
        if mid % 7 == 0:
            relations.append((mid - 3, 0.0, -0.5))
        out.append(mouse_record(mid, lineage, age, pos, motives, params, relations))
    return "\n".join(out)


# ---------------------------------------------------------------- images
PREFIXES = ["N-", "NO", "O-", "SO", "S-", "SW", "W-", "NW"]
ANGLES = [90, 45, 0, 315, 270, 225, 180, 135]  # facing, counter-clockwise from right
BODY = {"old": (110, 110, 110), "adult": (150, 90, 40), "young": (230, 170, 200)}
SIZE = {"old": 6.0, "adult": 6.0, "young": 4.2}


def mouse_pixels(kind, angle):
    """A 15 x 15 mouse seen from above, head towards the facing; white is transparent."""
    a = math.radians(angle)
    fx, fy = math.cos(a), -math.sin(a)  # forward on the screen
    sx, sy = -fy, fx  # sideways
    size = SIZE[kind]
    pixels = [[(255, 255, 255)] * 15 for _ in range(15)]
    for y in range(15):
        for x in range(15):
            dx, dy = x - 7, y - 7
            u = dx * fx + dy * fy  # along the body
            v = dx * sx + dy * sy
            body = (u / size) ** 2 + (v / (size * 0.6)) ** 2 <= 1
            tail = -size - 1.5 <= u < -size * 0.7 and abs(v) < 0.7
            if body:
                colour = BODY[kind]
                if kind == "old" and (x + y) % 3 == 0:
                    colour = (170, 170, 170)
                pixels[y][x] = colour
            elif tail:
                pixels[y][x] = (60, 40, 30)
            ear = (u - size * 0.35) ** 2 + (abs(v) - size * 0.45) ** 2 <= 1.6
            if ear and not body:
                pixels[y][x] = (200, 120, 130)
            nose = (u - size * 0.95) ** 2 + v ** 2 <= 0.8
            if nose:
                pixels[y][x] = (20, 20, 20)
    return pixels


def bmp_bytes(pixels):
    width, height = len(pixels[0]), len(pixels)
    row_size = (width * 3 + 3) // 4 * 4
    data = b""
    for y in reversed(range(height)):
        row = b"".join(bytes((b, g, r)) for (r, g, b) in pixels[y])
        data += row + b"\0" * (row_size - width * 3)
    header = struct.pack("<2sIHHI", b"BM", 54 + len(data), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    return header + info + data


def write_images(folder):
    os.makedirs(folder, exist_ok=True)
    for prefix, angle in zip(PREFIXES, ANGLES):
        for kind, name in (("old", "maus.bmp"), ("adult", "Mausk.bmp"), ("young", "MausM.bmp")):
            with open(os.path.join(folder, prefix + name), "wb") as f:
                f.write(bmp_bytes(mouse_pixels(kind, angle)))


# ---------------------------------------------------------------- sounds
SOUNDS = {  # name: (frequencies in Hz, seconds)
    "Au.wav": ([900, 600], 0.18), "au.wav": ([700, 500], 0.15), "Help.wav": ([500, 800, 500], 0.3),
    "fear.wav": ([1200, 1100], 0.2), "kiss.wav": ([1500], 0.08), "care.wav": ([440, 550], 0.2),
    "fressen.wav": ([200, 250, 200], 0.15), "schlurf.wav": ([300, 280], 0.2), "cure.wav": ([660, 880], 0.2),
    "aggress.wav": ([150, 120], 0.2),
}


def write_sounds(folder):
    os.makedirs(folder, exist_ok=True)
    rate = 22050
    for name, (tones, seconds) in SOUNDS.items():
        frames = bytearray()
        n = int(rate * seconds)
        for k in range(n):
            f = tones[min(k * len(tones) // n, len(tones) - 1)]
            envelope = min(1.0, k / 200, (n - k) / 400)
            value = int(3000 * envelope * math.sin(2 * math.pi * f * k / rate))
            frames += struct.pack("<h", value)
        with wave.open(os.path.join(folder, name), "wb") as w:
            w.setnchannels(1)
            w.setsampwidth(2)
            w.setframerate(rate)
            w.writeframes(bytes(frames))


def parse_arguments(argv):
    parser = argparse.ArgumentParser(
        description="Makes a run folder for Murinex: data/inimaus.ini, data/settings.txt (both "
        "copied from default-run/), a generated world (data/world.txt), a generated population "
        "(data/population.txt), the mouse images (bitmaps/) and the sounds (waves/). With the "
        "default options the generated files are those of default-run/.",
        # Named as it was started: tools/make_run_folder.py in the checkout, murinex-make-run installed.
        epilog=f"example: {PROGRAM} --mice 300 --scale 2.2 --seed 7 runs/crowd")
    parser.add_argument("folder", help="the run folder to write (created if missing)")
    parser.add_argument("--mice", type=int, default=60, metavar="N",
                        help="number of mice in the population (default 60)")
    parser.add_argument("--scale", type=float, default=1.0, metavar="F",
                        help="world scale: the default world is 900 x 640; every length is "
                        "multiplied by F, so the area and the resources grow with F squared "
                        "(default 1)")
    parser.add_argument("--seed", type=int, default=4, metavar="S",
                        help="seed of the population: ages, places, needs, weights, parameters "
                        "(default 4)")
    parser.add_argument("--world-seed", type=int, default=1, metavar="S",
                        help="seed of the world: jitter of the sand cells and the patch shapes "
                        "(default 1)")
    parser.add_argument("--force", action="store_true",
                        help="write into a folder that is not empty (files of the same name "
                        "are replaced, others are left alone)")
    args = parser.parse_args(argv)
    if args.mice < 0:
        parser.error("--mice must not be negative")
    if not 0.25 <= args.scale <= 20:
        parser.error("--scale must lie between 0.25 and 20")
    if os.path.exists(args.folder) and not os.path.isdir(args.folder):
        parser.error(f"{args.folder} exists and is not a folder")
    if os.path.isdir(args.folder) and os.listdir(args.folder) and not args.force:
        parser.error(f"{args.folder} is not empty; use --force to write into it anyway")
    return args


def copy_hand_written(folder):
    """The start-up file and the settings file are written by hand, in default-run/."""
    for name in ("inimaus.ini", "settings.txt"):
        source = os.path.join(DEFAULT_RUN, "data", name)
        target = os.path.join(folder, "data", name)
        if not (os.path.exists(target) and os.path.samefile(source, target)):
            shutil.copyfile(source, target)


def main(argv=None):
    global WIDTH, HEIGHT, WORLD_SCALE, POPULATION, POPULATION_SEED, rng
    args = parse_arguments(sys.argv[1:] if argv is None else argv)
    WORLD_SCALE = args.scale
    WIDTH, HEIGHT = round(BASE_WIDTH * WORLD_SCALE), round(BASE_HEIGHT * WORLD_SCALE)
    POPULATION, POPULATION_SEED = args.mice, args.seed
    rng = random.Random(args.world_seed)
    folder = args.folder
    data = os.path.join(folder, "data")
    os.makedirs(data, exist_ok=True)
    with open(os.path.join(data, "world.txt"), "w") as f:
        f.write(world_text() + "\n")
    with open(os.path.join(data, "population.txt"), "w") as f:
        f.write(population_text())
    copy_hand_written(folder)
    write_images(os.path.join(folder, "bitmaps"))
    write_sounds(os.path.join(folder, "waves"))
    print(f"{folder}: {WIDTH} x {HEIGHT} world, {POPULATION} mice")


if __name__ == "__main__":
    main()
