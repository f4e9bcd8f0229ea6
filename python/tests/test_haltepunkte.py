"""Breakpoints from Python: set and one-shot, what halted, and bad arguments. The
halts themselves are checked on random nets by the core's tests and velkor-batch's."""

import math

import pytest

import velkor

# Two cells; A excites B: A fires in steps 1 and 11, B in 3 and 13. A stop
# mark after step 7; the input ends in step 15.
KETTE = "z A 2 5\ns 1.0\na 0.5\nr 2\nc B 1.5 1\nz B 2 15\ns 1.0\na 0.5\nr 2\n"


def kette():
    return velkor.Simulation.from_text(KETTE, "A 0\n*** 7\nA 10\nA 15 .\n")


def test_step_endet_am_halt_und_geht_dann_weiter():
    sim = kette()
    gesetzt = sim.breakpoints.add_step(9)
    assert (sim.step(100), sim.time_step) == (10, 10)
    assert sim.breakpoints.hit.step == 9
    gerade = kette()
    gerade.step(10)
    assert sim.state_text() == gerade.state_text()
    assert (sim.step(3), sim.breakpoints.hit) == (3, None)
    sim.breakpoints.remove(gesetzt)
    for zelle in ("B", 1, "B"):  # set once
        sim.breakpoints.add_fires(zelle)
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
    (lambda b: b.add_fires("Nix"), ValueError, "Nix"),
    (lambda b: b.add_fires(2), ValueError, "no cell 2"),
    (lambda b: b.add_potential("A", math.nan), ValueError, "NaN"),
    (lambda b: b.add_step(2**31), ValueError, "2147483648"),
    (lambda b: b.add_step(1.0), TypeError, "int"),
    (lambda b: b.remove(velkor.Breakpoint("step", None, 3)), ValueError, "not set"),
])
def test_falsche_angaben(aufruf, fehler, text):
    sim = kette()
    with pytest.raises(fehler, match=text):
        aufruf(sim.breakpoints)
    for falsch in ({"until_fires": ["A", "Nix"]}, {"until_potential": ("Nix", 0.5)}):
        with pytest.raises(ValueError, match="Nix"):
            sim.run_to_stop(**falsch)
    assert sim.time_step == 0 and len(sim.breakpoints) == 0
