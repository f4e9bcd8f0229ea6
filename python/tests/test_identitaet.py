"""The module runs the simulation velkor-batch runs: the same firings (against
the trace log and the spike list) and the same state file, byte for byte."""

import random

import pytest

import velkor
from conftest import BEISPIELE, log_feuernd, spikeliste, zufallsnetz

SCHRITTE = 7  # single steps after the input has ended


def vergleichen(batch, ordner, netz, eingabe, modi, seed=None, zaehler_lesen=False):
    optionen = ["--steps", str(SCHRITTE)] + (["--seed", str(seed)] if seed is not None else [])
    assert batch(ordner, netz, eingabe, modi, optionen) == 0
    sim = velkor.Simulation(netz, eingabe, " ".join(modi), seed=seed)
    spikes = sim.record_spikes()
    if zaehler_lesen:
        # Reading the counters of spikes in transit takes them out of the
        # schedule for the reader: the run must go on unchanged.
        while not sim.input_ended:
            sim.step()
            sim.connections("in_transit")
    else:
        sim.run()
    sim.step(SCHRITTE)
    names = sim.names
    erwartet = spikeliste(ordner / "spikes.csv")
    assert list(zip(spikes.times.tolist(), spikes.cells.tolist(), (names[c] for c in spikes.cells))) == erwartet
    # The firing-cells table lists the firings of cells with a refractory phase.
    r = sim.cells("refractory_time")
    sichtbar = [(t, names[c]) for t, c in zip(spikes.times.tolist(), spikes.cells.tolist()) if r[c] > 0]
    assert sichtbar == log_feuernd(ordner / "logfile.txt")
    ziel = ordner / "py-zustand.txt"
    sim.save_state(ziel)
    assert ziel.read_bytes() == (ordner / "zustand.txt").read_bytes()
    assert sim.state_text().encode("utf-8", "surrogateescape") == ziel.read_bytes()
    return len(erwartet)


@pytest.mark.parametrize("netz,eingabe,modi", [
    ("lernen.net", "lernen.ein", ["k"]),
    ("lernen.net", "lernen.ein", ["k", "x", "3", "y", "2", "p", "50"]),
    ("nummern.nec", "nummern.ein", ["k"]),
    ("gross.net", "gross.ein", ["k", "P", "70"]),
])
def test_beispiele(batch, tmp_path, netz, eingabe, modi):
    assert vergleichen(batch, tmp_path, BEISPIELE / netz, BEISPIELE / eingabe, modi, seed=11) > 0


# P 100 runs by schedule, P 50 by countdown with random draws.
MODI = [["k"], ["k", "P", "50"], ["k", "p", "99"], ["k", "P", "100", "x", "2", "y", "1"], ["k", "P", "98"]]


@pytest.mark.parametrize("gruppe", range(11))
def test_zufallsnetze(batch, tmp_path, gruppe):
    """20 random nets per group, 220 in all: name and numbered form, each mode."""
    feuerungen = 0
    for i in range(20):
        r = random.Random(gruppe * 1000 + i)
        nummern = i % 2 == 1
        text, ein = zufallsnetz(r, nummern, r.randint(2, 30))
        ordner = tmp_path / str(i)
        ordner.mkdir()
        netz = ordner / ("z.nec" if nummern else "z.net")
        netz.write_text(text)
        (ordner / "z.ein").write_text(ein)
        feuerungen += vergleichen(batch, ordner, netz, ordner / "z.ein", MODI[i % len(MODI)],
                                  seed=r.randrange(2**64), zaehler_lesen=i % 4 == 0)
    assert feuerungen > 0
