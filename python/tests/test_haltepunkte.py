"""Breakpoints: runs that halt at them against the straight run of the same net."""

import math
import random

import pytest

import velkor
from conftest import zufallsnetz

# Two cells; A excites B: A fires in steps 1 and 11, B in 3 and 13. A stop
# mark after step N (below 10); the input ends in step 15.
KETTE = "z A 2 5\ns 1.0\na 0.5\nr 2\nc B 1.5 1\nz B 2 15\ns 1.0\na 0.5\nr 2\n"


def kette(stopmarke=7):
    return velkor.Simulation.from_text(KETTE, f"A 0\n*** {stopmarke}\nA 10\nA 15 .\n")


def gerade(netz, eingabe, p):
    """The straight run, step by step: the state text after each step, the firings
    and the potentials (before step 0, then after each step)."""
    sim = velkor.Simulation.from_text(netz, eingabe, f"p {p}")
    spikes = sim.record_spikes()
    potenziale = [sim.potentials.tolist()]
    zustaende = []
    while not sim.input_ended:
        sim.step()
        zustaende.append(sim.state_text())
        potenziale.append(sim.potentials.tolist())
    return zustaende, list(zip(spikes.times.tolist(), spikes.cells.tolist())), potenziale


def halte(sim, zustaende):
    """run() over and over until the input has ended: (hit, time_step) of every halt,
    each in the state of the straight run."""
    aus = []
    while not sim.input_ended:
        sim.run()
        if sim.breakpoints.hit is not None:
            assert sim.stopped
            assert sim.state_text() == zustaende[sim.time_step - 1]
            aus.append(sim.breakpoints.hits)
    return aus


def ueberschritten(a, b, v):
    return (b == v and a != v) or a < v < b or a > v > b


@pytest.mark.parametrize("seed", range(1, 9))
def test_feuern_und_potenzial_halten_wie_der_gerade_lauf(seed):
    r = random.Random(seed)
    netz, eingabe = zufallsnetz(r, False, 12 + seed)
    p = 100 if seed % 2 else 50
    zustaende, feuerungen, potenziale = gerade(netz, eingabe, p)
    sim = velkor.Simulation.from_text(netz, eingabe, f"p {p}")
    namen = sim.names
    c = feuerungen[seed % len(feuerungen)][1] if feuerungen else 0
    # The cell by name, the index twice: set once.
    for zelle in (namen[c], c, namen[c]):
        sim.breakpoints.add_fires(zelle)
    assert len(sim.breakpoints) == 1
    erwartet = [(velkor.Hit("fires", c, namen[c], t, None),) for t, z in feuerungen if z == c]
    assert halte(sim, zustaende) == erwartet

    # Potentials: the value a step leaves (one that changed, not 0), one ulp
    # either side, and halfway from the one before.
    k, d = r.choice([(k, d) for k in range(len(zustaende)) for d in range(len(namen))
                     if potenziale[k][d] != potenziale[k + 1][d] != 0])
    vorher, nachher = potenziale[k][d], potenziale[k + 1][d]
    for wert in (nachher, math.nextafter(nachher, math.inf), math.nextafter(nachher, -math.inf),
                 (vorher + nachher) / 2):
        sim = velkor.Simulation.from_text(netz, eingabe, f"p {p}")
        sim.breakpoints.add_potential(namen[d], wert)
        erwartet = [(velkor.Hit("potential", d, namen[d], t, wert),) for t in range(len(zustaende))
                    if ueberschritten(potenziale[t][d], potenziale[t + 1][d], wert)]
        assert halte(sim, zustaende) == erwartet, wert


@pytest.mark.parametrize("abstand", [-1, 0, 1])
@pytest.mark.parametrize("n", [1, 2, 3, 4, 7])
def test_schritt_neben_stopmarke(n, abstand):
    # run_to_stop ends after the stop mark's step and after the one-shot
    # breakpoint's; only the breakpoint is a hit, and only for that run.
    sim = kette(n)
    b = n + abstand
    assert sim.run_to_stop(until_step=b) == min(n, b) + 1
    assert sim.breakpoints.hit == (velkor.Hit("step", None, None, b, None) if b <= n else None)
    assert sim.run_to_stop() == (n - b if b < n else 15 - n)
    assert sim.breakpoints.hit is None
    straight = kette(n)
    straight.step(sim.time_step)
    assert sim.state_text() == straight.state_text()


def test_step_endet_am_halt_und_geht_dann_weiter():
    sim = kette()
    gesetzt = sim.breakpoints.add_step(9)
    assert (sim.step(100), sim.time_step) == (10, 10)
    assert sim.breakpoints.hit.step == 9
    assert (sim.step(3), sim.breakpoints.hit) == (3, None)
    sim.breakpoints.remove(gesetzt)
    sim.breakpoints.add_fires("B")
    assert (sim.step(100), sim.breakpoints.hit.step) == (1, 13)
    # run() too; restart forgets the hit, the breakpoints stay.
    sim.restart()
    assert sim.breakpoints.hit is None and sim.breakpoints.list() == [velkor.Breakpoint("fires", 1, None)]
    assert (sim.run(), sim.breakpoints.hit.step) == (4, 3)
    sim.breakpoints.clear()
    assert (sim.run(), sim.breakpoints.hit, len(sim.breakpoints)) == (12, None, 0)


def test_einmalige_neben_gesetzten():
    sim = kette()
    sim.breakpoints.add_step(5)
    # The first of the set and the one-shot ones; firings come first in one step.
    assert sim.run_to_stop(until_fires=["A", 1], until_potential=("B", 1.5)) == 2
    assert sim.breakpoints.hit == velkor.Hit("fires", 0, "A", 1, None)
    assert sim.run_to_stop(until_potential=[("B", 1.5)]) == 1
    assert sim.breakpoints.hits == (velkor.Hit("potential", 1, "B", 2, 1.5),)
    assert sim.run_to_stop(until_fires="B", until_step=[3]) == 1
    assert [h.kind for h in sim.breakpoints.hits] == ["fires", "step"]
    assert (sim.run_to_stop(), sim.breakpoints.hit.step) == (2, 5)
    assert (sim.run_to_stop(), sim.breakpoints.hit) == (2, None)  # the stop mark


@pytest.mark.parametrize("aufruf, fehler, text", [
    (lambda s: s.breakpoints.add_fires("Nix"), ValueError, "Nix"),
    (lambda s: s.breakpoints.add_fires(2), ValueError, "no cell 2"),
    (lambda s: s.breakpoints.add_potential("C", 1.0), ValueError, "'C'"),
    (lambda s: s.breakpoints.add_potential("A", math.nan), ValueError, "NaN"),
    (lambda s: s.breakpoints.add_potential("A", "1"), TypeError, "real"),
    (lambda s: s.breakpoints.add_step(-1), ValueError, "-1"),
    (lambda s: s.breakpoints.add_step(2**31), ValueError, "2147483648"),
    (lambda s: s.breakpoints.add_step(1.0), TypeError, "int"),
    (lambda s: s.breakpoints.remove(velkor.Breakpoint("step", None, 3)), ValueError, "not set"),
    (lambda s: s.run_to_stop(until_fires=["A", "Nix"]), ValueError, "Nix"),
    (lambda s: s.run_to_stop(until_potential=("Nix", 0.5)), ValueError, "Nix"),
    (lambda s: s.run_to_stop(until_potential=[("A", 0.5, 1)]), TypeError, "pair"),
])
def test_falsche_angaben(aufruf, fehler, text):
    sim = kette()
    with pytest.raises(fehler, match=text):
        aufruf(sim)
    assert sim.time_step == 0 and len(sim.breakpoints) == 0
