"""Going back in time from Python: goto and step_back give the straight run's
states and firings, also with edits between steps; snapshots pickle into a
fresh process; a run's excitations written out replay in velkor-batch;
bad input is refused and leaves the simulation as it was."""

import os
import pickle
import random
import subprocess
import sys

import numpy as np
import pytest

import velkor
from conftest import BEISPIELE, zufallsnetz

# (net, input, modes, seed) of the runs compared
def laeufe():
    r = random.Random(22)
    aus = [(BEISPIELE / "lernen.net", BEISPIELE / "lernen.ein", "", None),
           (BEISPIELE / "nummern.nec", BEISPIELE / "nummern.ein", "", None),
           (BEISPIELE / "gross.net", BEISPIELE / "gross.ein", "P 50", 5)]
    for i in range(8):
        netz, ein = zufallsnetz(r, nummern=i % 2 == 1, n=r.randint(4, 30))
        aus.append((netz, ein, "P 50" if i % 3 == 0 else "", i))
    return aus


def simulation(netz, ein, modi, seed):
    if isinstance(netz, str):
        return velkor.Simulation.from_text(netz, ein, modes=modi, seed=seed)
    return velkor.Simulation(netz, ein, modes=modi, seed=seed)


def eingreifen(sim, t, r):
    """The edits of step t (the same for the same generator state)."""
    if r.random() < 0.15:
        sim.set_cells("potential", r.uniform(-1, 2), cells=r.randrange(sim.cell_count))
    if r.random() < 0.15:
        sim.excite(r.randrange(sim.cell_count))
    if r.random() < 0.05:
        sim.p = r.choice([50, 100])


@pytest.mark.parametrize("nummer", range(11))
def test_zurueck_und_wieder_vor_gleich_dem_geraden_lauf(nummer):
    netz, ein, modi, seed = laeufe()[nummer]
    sim = simulation(netz, ein, modi, seed)
    spikes = sim.record_spikes()
    r = random.Random(nummer)
    soll, edits = [], []
    for t in range(80):
        edits.append(r.getstate())
        eingreifen(sim, t, r)
        soll.append(sim.state_text())
        sim.step()
    soll.append(sim.state_text())
    feuer = (spikes.times.tolist(), spikes.cells.tolist())
    z = random.Random(100 + nummer)
    for _ in range(5):
        n = z.randrange(sim.history.first, 80)
        m = z.randint(n, 80)
        sim.goto(n)
        assert sim.time_step == n and sim.state_text() == soll[n]
        for t in range(n, m):
            sim.step()
            r.setstate(edits[t + 1] if t + 1 < 80 else edits[0])
            if t + 1 < 80:
                eingreifen(sim, t + 1, r)
        assert sim.state_text() == soll[m]
        for t in range(m, 80):
            sim.step()
            r.setstate(edits[t + 1] if t + 1 < 80 else edits[0])
            if t + 1 < 80:
                eingreifen(sim, t + 1, r)
    assert (spikes.times.tolist(), spikes.cells.tolist()) == feuer
    sim.step_back(3)
    assert sim.state_text() == soll[77]


def test_schnappschuss_in_frischem_prozess():
    sim = velkor.Simulation(BEISPIELE / "lernen.net", BEISPIELE / "lernen.ein")
    sim.step(23)
    sim.excite("A" if "A" in sim.names else 0)
    daten = pickle.dumps(sim.snapshot())
    sim.step(30)
    erwartet = sim.state_text()
    programm = (
        "import pickle, sys, velkor\n"
        f"sim = velkor.Simulation({str(BEISPIELE / 'lernen.net')!r}, {str(BEISPIELE / 'lernen.ein')!r})\n"
        "sim.restore(pickle.loads(sys.stdin.buffer.read()))\n"
        "sim.step(30)\n"
        "sys.stdout.write(sim.state_text())\n")
    aus = subprocess.run([sys.executable, "-c", programm], input=daten, capture_output=True, check=True)
    assert aus.stdout.decode() == erwartet


def test_eingriffe_als_eingabedatei_in_velkor_batch(tmp_path, batch):
    netz, ein = zufallsnetz(random.Random(3), nummern=False, n=20)
    (tmp_path / "z.net").write_text(netz)
    (tmp_path / "z.ein").write_text(ein)
    sim = velkor.Simulation(tmp_path / "z.net", tmp_path / "z.ein")
    r = random.Random(4)
    sim.step(5)
    for c in (3, 7):
        sim.excite(c)
    sim.run_to_stop()
    sim.run()               # to the end of the input,
    for _ in range(6):      # then entries by hand after it
        sim.excite(r.randrange(20))
        sim.step(r.randint(1, 3))
    sim.excite(11)
    sim.step()
    sim.write_input(tmp_path / "eingriffe.ein")
    lauf = tmp_path / "lauf"
    lauf.mkdir()
    assert batch(lauf, tmp_path / "z.net", tmp_path / "eingriffe.ein") == 0
    sim.save_state(tmp_path / "sitzung.txt")
    assert (lauf / "zustand.txt").read_bytes() == (tmp_path / "sitzung.txt").read_bytes()


def test_eingriffe_vor_dem_ende_und_der_rest_der_datei(tmp_path, batch):
    sim = velkor.Simulation(BEISPIELE / "lernen.net", BEISPIELE / "lernen.ein")
    sim.step(4)
    sim.excite([0, 1])
    sim.step(2)
    sim.excite(2)
    sim.write_input(tmp_path / "e.ein")
    sim.run()
    lauf = tmp_path / "lauf"
    lauf.mkdir()
    assert batch(lauf, BEISPIELE / "lernen.net", tmp_path / "e.ein") == 0
    sim.save_state(tmp_path / "sitzung.txt")
    assert (lauf / "zustand.txt").read_bytes() == (tmp_path / "sitzung.txt").read_bytes()


@pytest.mark.parametrize("ende", ["B 6 .\nA 8\n", "B 6.\nA 8\n", "B 6\n*** 7\nA 9\n"])
def test_der_rest_der_datei_mit_endmarke_hinter_dem_schritt(tmp_path, batch, ende):
    # The entry read ahead keeps what follows its step as it stood: an end mark
    # right behind the step still ends the input there.
    (tmp_path / "n.net").write_text("z A\ns 1\nc B 0.6 1\nz B\ns 1\nc A 0.6 2\n")
    (tmp_path / "e.ein").write_text("A 1\n" + ende)
    sim = velkor.Simulation(tmp_path / "n.net", tmp_path / "e.ein")
    sim.step(3)
    sim.excite("B")
    sim.write_input(tmp_path / "m.ein")
    sim.run()
    lauf = tmp_path / "lauf"
    lauf.mkdir()
    assert batch(lauf, tmp_path / "n.net", tmp_path / "m.ein") == 0
    sim.save_state(tmp_path / "sitzung.txt")
    assert (lauf / "zustand.txt").read_bytes() == (tmp_path / "sitzung.txt").read_bytes()


def test_diff_nennt_was_sich_geaendert_hat():
    sim = velkor.Simulation(BEISPIELE / "lernen.net", BEISPIELE / "lernen.ein")
    a = sim.snapshot()
    assert not sim.diff(a)
    sim.run_to_stop()
    d = sim.diff(a)
    assert d.time_step_a == 0 and d.time_step_b == sim.time_step
    vorher = sim.snapshot()
    sim.restore(a)
    np.testing.assert_array_equal(d.potential_a, sim.potentials[d.cells])
    np.testing.assert_array_equal(d.weight_a, sim.weights[d.connections])
    sim.restore(vorher)
    np.testing.assert_array_equal(d.weight_b, sim.weights[d.connections])
    assert len(d.connections) > 0  # the example learns


def test_schlechte_eingaben_lassen_die_simulation_wie_sie_war(tmp_path):
    (tmp_path / "e.ein").write_text("A 1\nB 5\nA 9\n")
    netz = "z A\ns 1\nc B 0.6 1\nz B\ns 1\nc A 0.6 2\n"
    (tmp_path / "n.net").write_text(netz)
    sim = velkor.Simulation(tmp_path / "n.net", tmp_path / "e.ein")
    sim.step(12)
    jetzt = sim.state_text()
    fremd = velkor.Simulation.from_text("z A\ns 1\n").snapshot()
    daten = bytearray(bytes(sim.snapshot()))
    daten[len(daten) // 2] ^= 0x40
    faelle = [
        (lambda: sim.goto(13), ValueError, "not in the history"),
        (lambda: sim.goto(-1), ValueError, "not in the history"),
        (lambda: sim.step_back(99), ValueError, "not in the history"),
        (lambda: sim.restore(fremd), velkor.StateError, "another net"),
        (lambda: sim.restore(velkor.Snapshot.from_bytes(bytes(daten))), velkor.StateError, "damaged"),
        (lambda: sim.restore(velkor.Snapshot.from_bytes(b"VELKZB01")), velkor.StateError, "damaged"),
        (lambda: sim.restore(velkor.Snapshot.from_bytes(b"PK\x03\x04")), velkor.StateError, "not a velkor"),
    ]
    for aufruf, art, text in faelle:
        with pytest.raises(art, match=text):
            aufruf()
        assert sim.state_text() == jetzt and sim.time_step == 12
    # The input file rewritten: its entries cannot be read again.
    os.utime(tmp_path / "e.ein", ns=(0, 10**18))
    with pytest.raises(velkor.StateError, match="has changed"):
        sim.goto(3)
    assert sim.state_text() == jetzt
    with pytest.raises(ValueError):
        sim.goto(3)  # StateError is a ValueError too


def test_budget_und_abgeschalteter_verlauf():
    sim = velkor.Simulation(BEISPIELE / "gross.net", BEISPIELE / "gross.ein")
    sim.history.budget = 700_000  # about two checkpoints of this net
    for _ in range(150):
        sim.step()
    h = sim.history
    assert 0 < h.memory <= 700_000 and h.budget == 700_000
    assert h.first == h.checkpoints[0] and h.last == 150
    sim.goto(h.first)
    sim.history.enabled = False
    assert not sim.history.enabled and sim.history.memory == 0
    sim.step()
    with pytest.raises(RuntimeError, match="history is off"):
        sim.goto(0)


def test_erklaerungen_jeder_zelle_geben_den_zustand_danach():
    # For every cell and every step of a run: the explanation's state after the
    # step is the state the straight run reached, and its arrivals sum up.
    for netz, ein, modi, seed in laeufe()[:1] + laeufe()[3:6]:
        sim = simulation(netz, ein, modi, seed)
        sim.step(40)
        nachher = []
        for t in range(41):
            sim.goto(t)
            nachher.append((sim.potentials, sim.learning_factors, sim.cells("refractory_rest")))
        sim.goto(40)
        for t in range(40):
            for e in sim.explain(list(range(sim.cell_count)), t):
                pot, lern, rest = (x[e.cell] for x in nachher[t + 1])
                assert (e.after["potential"], e.after["learning_factor"], e.after["refractory_rest"]) == \
                       (pot, lern, rest) or np.isnan(pot)
                assert e.before["potential"] == nachher[t][0][e.cell] or np.isnan(nachher[t][0][e.cell])
                angekommen = e.arrivals[~e.arrivals["lost"]]
                if len(angekommen):  # the arrivals come last in a step
                    letzte = angekommen["potential_after"][-1]
                    assert letzte == e.after["potential"] or (np.isnan(letzte) and np.isnan(e.after["potential"]))
        assert sim.time_step == 40


def test_erklaeren_mit_schlechten_eingaben():
    sim = velkor.Simulation(BEISPIELE / "lernen.net", BEISPIELE / "lernen.ein")
    with pytest.raises(ValueError, match="no time step has run"):
        sim.explain("Reakt")
    e = sim.explain("Reakt", 0)  # the coming step: run and put back
    assert e.step == 0 and sim.time_step == 0 and "Reakt" in str(e)
    sim.step(10)
    jetzt = sim.state_text()
    for aufruf, text in [(lambda: sim.explain("Nein"), "no cell"), (lambda: sim.explain(99), "no cell"),
                         (lambda: sim.explain("Reakt", 11), "not in the history"),
                         (lambda: sim.explain("Reakt", -1), "not in the history")]:
        with pytest.raises(ValueError, match=text):
            aufruf()
        assert sim.state_text() == jetzt
    assert repr(sim.explain("Reakt")).startswith("<velkor.Explanation Reakt at step 9")
    sim.history.enabled = False
    with pytest.raises(RuntimeError, match="only the coming step"):
        sim.explain("Reakt", 5)
    assert sim.explain("Reakt", 10).step == 10


def test_haltepunkt_dann_zurueck():
    sim = velkor.Simulation(BEISPIELE / "lernen.net", BEISPIELE / "lernen.ein")
    sim.run_to_stop(until_fires="Reakt")
    t = sim.time_step
    assert sim.breakpoints.hit is not None and sim.explain("Reakt").fired
    sim.step_back(1)
    assert sim.time_step == t - 1
    sim.step()
    assert sim.explain("Reakt", t - 1).fired
