"""Shared pieces of the Python tests: the batch runner and a random net."""

import csv
import os
import pathlib
import random
import subprocess

import pytest

BATCH = os.environ.get("VELKOR_BATCH", "")
BEISPIELE = pathlib.Path(os.environ.get("VELKOR_BEISPIELE", pathlib.Path(__file__).resolve().parents[2] / "examples"))


@pytest.fixture
def batch():
    if not BATCH:
        pytest.fail("VELKOR_BATCH names no velkor-batch (run the tests through ctest)")
    return batch_lauf


def batch_lauf(ordner, netz, eingabe, modi=(), optionen=()):
    """Runs velkor-batch in `ordner` with trace log, state and spike list;
    returns the exit status."""
    befehl = [BATCH, "--state", "--log", "--spikes", "spikes.csv", *optionen, "T", str(netz), str(eingabe), *modi]
    return subprocess.run(befehl, cwd=ordner, capture_output=True).returncode


def spikeliste(pfad):
    """(zeittakt, zelle, name) of every line of a --spikes file."""
    with open(pfad, newline="", encoding="utf-8", errors="surrogateescape") as f:
        zeilen = list(csv.reader(f))
    assert zeilen[0] == ["zeittakt", "zelle", "name"]
    return [(int(t), int(c), n) for t, c, n in zeilen[1:]]


def log_feuernd(pfad):
    """(zeittakt, name) of every line of the firing-cells table in the trace log."""
    aus = []
    for zeile in pfad.read_bytes().decode("utf-8", "surrogateescape").split("\r\n"):
        w = zeile.split()
        if len(w) == 2 and w[0].lstrip("-").isdigit():
            aus.append((int(w[0]), w[1]))
    return aus


def zufallsnetz(r: random.Random, nummern: bool, n: int):
    """A net text with learning, inhibition and positions, and an input text."""
    namen = [f"n{i}" for i in range(n)]
    zeilen = [f"$ {n}"] if nummern else []
    for i in range(n):
        lage = f" {r.randint(0, 40)} {r.randint(0, 60)}" if r.random() < 0.7 else ""
        zeilen.append(f"z {namen[i]}{lage}")
        zeilen.append(f"s {r.choice([0.5, 1.0, 1.3, 2.0])}")
        zeilen.append(f"a {r.choice([0.0, 0.5, 0.8, 0.95])}")
        zeilen.append(f"r {r.choice([1, 1, 2, 3, 0])}")
        if r.random() < 0.5:  # a learning cell
            zeilen += [f"v {r.uniform(0, 1):.3f}", f"g {r.choice([0.9, 1.0, 1.2])}",
                       f"h {r.choice([0.1, 0.0, -0.2, -1.0])}"]
        for _ in range(r.randint(0, 6)):
            ziel = r.randrange(n)
            gewicht = r.uniform(-1.0, 1.5) if r.random() < 0.25 else r.uniform(0.1, 1.5)
            zeilen.append(f"c {ziel if nummern else namen[ziel]} {gewicht:.4f} {r.randint(0, 5)}")
            if r.random() < 0.5:
                zeilen += [f"i {r.choice([1.0, 0.99, 1.01])}", f"m {r.uniform(0.5, 2):.3f}",
                           f"l {r.choice([0.1, -1.0, 0.05])}", f"x {r.choice([-1, 2, 4])}"]
    zeilen += ["f", "v 0.5", "g 1.0", "h 0.0", "i 1.0", "m 1.5", "l -1.0"]
    eingabe = []
    for t in sorted(r.sample(range(60), 12)):
        eingabe.append(f"{namen[r.randrange(n)]} {t}")
        if r.random() < 0.1:
            eingabe.append(f"*** {t}")
    return "\n".join(zeilen) + "\n", "\n".join(eingabe) + "\n"
