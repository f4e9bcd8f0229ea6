"""Stepping, recording, writing values, the net builder and pictures."""

import subprocess

import numpy as np
import pytest

import velkor
from conftest import BATCH, BEISPIELE, spikeliste

LERNEN = (BEISPIELE / "lernen.net", BEISPIELE / "lernen.ein")


def test_neustart_wiederholt_den_lauf_und_die_werte_sind_typisiert():
    sim = velkor.Simulation(*LERNEN, "P 50", seed=3)
    spikes = sim.record_spikes()
    reihe = sim.record(["Ton", "Reakt", 7], "potential")
    assert (sim.run_to_stop(), sim.stopped, sim.input_ended) == (27, True, False)
    sim.run()
    erster = (spikes.times.copy(), spikes.cells.copy(), sim.state_text())
    spikes.clear()
    sim.restart()
    assert sim.time_step == 0 and not sim.input_ended
    sim.run()
    assert np.array_equal(spikes.times, erster[0]) and np.array_equal(spikes.cells, erster[1])
    assert sim.state_text() == erster[2]
    assert reihe.values.shape == (150, 3) and reihe.values.dtype == np.float64
    assert spikes.times.dtype == np.int32 and sim.connections("source").dtype == np.int32
    assert sim.connections("in_window").dtype == np.bool_
    assert sim.cells("refractory_time").dtype == np.int32
    assert set(velkor.cell_fields) >= {"potential", "threshold", "learning_factor"}
    for feld in velkor.connection_fields:
        assert len(sim.connections(feld)) == sim.connection_count
    assert "velkor.Simulation" in repr(sim) and "75" in repr(sim)


def test_aufgezeichnete_werte_sind_die_nach_jedem_schritt():
    sim = velkor.Simulation(*LERNEN)
    reihe = sim.record(range(sim.cell_count), "learning_factor")
    erwartet = []
    for _ in range(40):
        sim.step()
        erwartet.append(sim.learning_factors)
    assert np.array_equal(reihe.values, np.array(erwartet))
    assert reihe.times.tolist() == list(range(40))


def test_geaenderte_werte_wirken_im_naechsten_schritt():
    # A factor of exactly 1.0 lets the engine skip the weight; written by
    # hand, the next step must apply it (P 100 runs by schedule).
    sim = velkor.Simulation.from_text("z A\ns 1.0\na 0.5\nr 1\nc B 0.8 2\ni 1.0\nz B\ns 5.0\na 1.0\nr 1\n")
    sim.step(2)
    sim.set_connections("weight_factor", 0.5)
    sim.step()
    assert sim.weights.tolist() == [0.4]
    # An entry for the next step: its input phase sets the potential, A fires in the step after.
    sim.excite("A")
    sim.step(2)
    assert sim.connections("in_transit").tolist() == [2]
    sim.set_cells("potential", 99.0, cells="B")
    assert sim.potentials.tolist()[1] == 99.0



@pytest.mark.parametrize("anzahl", [256, 257, 400])
def test_gewichtsfaktoren_ueber_256_verschiedene_bleiben_genau(anzahl):
    # Up to 256 distinct factors are kept as numbers into a table; more widen
    # the column. Either way each factor and each product stays exact, -0.0,
    # NaN payloads and infinities included.
    netz = velkor.Net(threshold=1e9, decay=1.0, refractory=1, delay=1)
    netz.add_cell("A")
    for k in range(anzahl):
        netz.connect("A", "A", weight=0.25 + k / 1024, delay=1)
    sim = velkor.Simulation(netz)
    faktoren = 0.998 + np.arange(anzahl) * 1e-6
    faktoren[:5] = [-0.0, 0.0, np.inf, np.nan, np.frombuffer(np.uint64(0x7FF8000000000123).tobytes(), np.float64)[0]]
    sim.set_connections("weight_factor", faktoren[: anzahl // 2], index=range(anzahl // 2))
    sim.set_connections("weight_factor", faktoren[anzahl // 2 :], index=range(anzahl // 2, anzahl))
    bits = faktoren.view(np.uint64)
    assert np.array_equal(sim.connections("weight_factor").view(np.uint64), bits)
    vorher = sim.weights
    sim.step()
    assert np.array_equal(sim.weights.view(np.uint64), (vorher * faktoren).view(np.uint64))
    assert np.array_equal(sim.connections("weight_factor").view(np.uint64), bits)


@pytest.mark.parametrize("modi", ["P 100", "P 50", "p 99"])
def test_schreiben_derselben_werte_aendert_den_lauf_nicht(modi):
    # Every write hands spikes in transit over to the counters and rebuilds
    # what the engine derives from the net: the run must go on as without it.
    laeufe = []
    for schreiben in (False, True):
        sim = velkor.Simulation(*LERNEN, modi, seed=5)
        spikes = sim.record_spikes()
        while not sim.input_ended:
            sim.step()
            if schreiben:
                sim.set_cells("threshold", sim.thresholds)
                sim.set_connections("weight", sim.weights)
                sim.set_connections("time_window", sim.connections("time_window"))
        laeufe.append((spikes.times.tolist(), spikes.cells.tolist(), sim.state_text()))
    assert laeufe[0] == laeufe[1] and len(laeufe[0][0]) > 20


# Reals that the net-file text must carry exactly, among them those whose
# shortest form has no decimal point.
REALE = [1e-05, 1e22, 0.1, -2.5, 5e-324, 1.7976931348623157e308, 3.0, -0.0, 123456789.123]


def test_netzbau_traegt_jeden_wert_genau():
    netz = velkor.Net(threshold=1.0, decay=0.5, refractory=2, delay=1, learning=0.3)
    for i, w in enumerate(REALE):
        netz.add_cell(f"c{i}", row=i, column=2 * i, recovery=w)
    netz.connect("c0", "c1", weight=REALE[0])
    for i, w in enumerate(REALE):
        netz.connect(i, 0, weight=w, delay=i, max_weight=w)
    sim = velkor.Simulation(netz)
    assert sim.cells("recovery").tolist() == REALE
    assert sim.cells("decay").tolist() == [0.5] * len(REALE)
    assert sim.cells("row").tolist() == list(range(len(REALE)))
    # Each cell's list is newest first.
    assert sim.connections("weight").tolist() == [REALE[0], REALE[0]] + REALE[1:]
    assert sim.connections("target").tolist()[:2] == [0, 1]
    assert sim.connections("max_weight")[2:].tolist() == REALE[1:]
    assert velkor.Simulation.from_text(netz.text()).state_text() == sim.state_text()
    nummern = velkor.Net(numbered=True)
    nummern.add_cell("X")
    nummern.add_cell("X")
    nummern.connect(1, 0, 1.0, 1)
    assert nummern.text().startswith("$ 2\n")
    assert velkor.Simulation(nummern).connections("target").tolist() == [0]
    with pytest.raises(ValueError):
        velkor.Net().add_cell("siebenz")
    with pytest.raises(ValueError):
        velkor.Net().add_cell("a b")
    with pytest.raises(ValueError):
        netz.connect(0, 1, weight=float("nan"))


def test_die_docstrings_halten_was_sie_versprechen():
    # Names of 1 to 6 bytes; a repeated name (numbered form) names its first
    # cell; values left out are not given (a row without a column).
    netz = velkor.Net(numbered=True, threshold=1.0, decay=0.5, refractory=1)
    netz.add_cell("\u00e4\u00f6\u00fc", row=3)
    netz.add_cell("\u00e4\u00f6\u00fc", column=4)
    netz.add_cell("B")
    netz.connect("B", "\u00e4\u00f6\u00fc", 0.5, 1)
    netz.connect(2, 1, 0.25, 2)
    sim = velkor.Simulation(netz)
    assert sim.cells("row").tolist()[:2] == [3, -1]
    assert sim.cells("column").tolist()[:2] == [-1, 4]
    # Newest connection line first.
    assert sim.connections("target").tolist() == [1, 0]
    assert sim.cell_index(2) == sim.cell_index("B") == 2
    # One cell or one connection given as a NumPy integer or a plain index.
    sim.excite(np.int64(2))
    assert sim.pending == [2] and sim.potentials[2] == 0.0
    sim.step()
    assert sim.pending == [] and sim.potentials[2] == 1.0 + 10
    sim.set_cells("potential", 0.5, cells=np.int32(0))
    assert sim.potentials[0] == 0.5
    sim.set_connections("weight", 0.75, index=1)
    assert sim.weights.tolist() == [0.25, 0.75]
    aufzeichnung = sim.record(np.int64(2))
    sim.step(2)
    assert aufzeichnung.values.shape == (2, 1)


def test_spikeliste_setzt_namen_mit_komma_in_anfuehrungszeichen(tmp_path):
    netz = velkor.Net(threshold=1.0, decay=0.5, refractory=1)
    netz.add_cell("a,b")
    netz.add_cell('q"')
    netz.connect(0, 1, 2.0, 1)
    (tmp_path / "k.net").write_text(netz.text())
    (tmp_path / "k.ein").write_text("a,b 1\nq\" 6\na,b 9\n")
    subprocess.run([BATCH, "--spikes", "s.csv", "T", "k.net", "k.ein"], cwd=tmp_path, check=True,
                   capture_output=True)
    assert (tmp_path / "s.csv").read_text().splitlines()[1:] == ['2,0,"a,b"', '4,1,"q"""', '7,1,"q"""']
    sim = velkor.Simulation(tmp_path / "k.net", tmp_path / "k.ein")
    spikes = sim.record_spikes()
    sim.run()
    assert spikeliste(tmp_path / "s.csv") == [(t, c, sim.names[c]) for t, c in zip(spikes.times, spikes.cells)]
    # A list that cannot be written is a file error (status 4).
    fehlschlag = subprocess.run([BATCH, "--spikes", "fehlt/s.csv", "T", "k.net", "k.ein"], cwd=tmp_path,
                                capture_output=True, text=True)
    assert fehlschlag.returncode == 4 and "fehlt/s.csv" in fehlschlag.stderr


# Every remainder of the canvas width (W - 8) mod 4: rows of RGB pixels are padded.
@pytest.mark.skipif(not velkor.pictures_available, reason="built without the display")
@pytest.mark.parametrize("breite,modi", [(400, "V"), (401, "g"), (402, "m 4"), (403, "k")])
def test_bild_gleicht_dem_png_von_velkor_batch(tmp_path, breite, modi):
    import matplotlib.image
    netz, ein = (BEISPIELE / "gross.net", BEISPIELE / "gross.ein") if modi.startswith("m") else LERNEN
    subprocess.run([BATCH, "--png", "b.png", "--size", f"{breite}x300", "T", netz, ein, *modi.split()],
                   cwd=tmp_path, check=True, capture_output=True)
    sim = velkor.Simulation(netz, ein, modi, display=(breite, 300))
    sim.run_to_stop()
    sim.picture("V", (300, 300))  # drawn apart: the attached display goes on as before
    sim.run()
    bild = sim.picture()
    assert bild.shape == (250, breite - 8, 3) and bild.dtype == np.uint8
    erwartet = np.rint(matplotlib.image.imread(tmp_path / "b.png")[:, :, :3] * 255).astype(np.uint8)
    assert np.array_equal(bild, erwartet)
    assert bild.min() < 128  # something was drawn


@pytest.mark.skipif(not velkor.pictures_available, reason="built without the display")
@pytest.mark.parametrize("breite,modi", [(1032, "V"), (201, "v"), (202, "m 3"), (203, "m 1")])
def test_netzbild_gleicht_dem_png_nach_dem_laden(tmp_path, breite, modi):
    netz, ein = (BEISPIELE / "gross.net", BEISPIELE / "gross.ein") if modi.startswith("m") else LERNEN
    subprocess.run([BATCH, "--png", "b.png", "--runs", "0", "--size", f"{breite}x400", "T", netz, ein,
                    *modi.split()], cwd=tmp_path, check=True, capture_output=True)
    import matplotlib.image
    erwartet = np.rint(matplotlib.image.imread(tmp_path / "b.png")[:, :, :3] * 255).astype(np.uint8)
    sim = velkor.Simulation(netz, ein)
    assert np.array_equal(sim.picture(modi, (breite, 400)), erwartet)
    sim.step(30)
    assert sim.picture(modi, (breite, 400)).shape == (350, breite - 8, 3)


def test_ohne_anzeige_kein_bild():
    with pytest.raises(RuntimeError, match="display"):
        velkor.Simulation(*LERNEN).picture()
    if velkor.pictures_available:
        for falsch, fehler in [(("k", None), ValueError), (("V", (199, 300)), ValueError), (("V", 5), TypeError)]:
            with pytest.raises(fehler):
                velkor.Simulation(*LERNEN).picture(*falsch)


# 40 000 cells: enough for the time step to be split into parts (16 384 cells at least each).
@pytest.mark.parametrize("modi,seed", [("", None), ("P 50", 7)])
def test_threads_aendern_den_lauf_nicht(modi, seed):
    import random
    from conftest import zufallsnetz
    netz, ein = zufallsnetz(random.Random(11), True, 40000)
    laeufe = []
    for threads in (1, 3):
        sim = velkor.Simulation.from_text(netz, ein, modi, seed=seed, threads=threads)
        assert sim.threads == threads
        spikes = sim.record_spikes()
        for c in range(0, 40000, 16):  # activity in every part
            sim.excite(c)
        sim.step(60)
        laeufe.append((spikes.times.tolist(), spikes.cells.tolist(), sim.state_text()))
    assert len(laeufe[0][0]) > 5000  # the net is active
    assert laeufe[0] == laeufe[1]
    with pytest.raises(ValueError):
        sim.threads = 0


def test_verbindungen_in_listenfolge_auch_nach_geaenderten_verzoegerungen():
    # The engine keeps a cell's connections by delay in memory; every
    # column reads and writes in list order (newest line first).
    sim = velkor.Simulation.from_text("z A\ns 1\nc B 0.1 3\nc C 0.2 1\nc B 0.3 2\nc C 0.4 0\nz B\ns 9\nz C\ns 9\n")
    sim.excite("A")
    sim.step(3)
    assert sim.connections("delay").tolist() == [0, 2, 1, 3]
    assert sim.connections("weight").tolist() == [0.4, 0.3, 0.2, 0.1]
    assert sim.connections("target").tolist() == [2, 1, 2, 1]
    assert sim.connections("in_transit").tolist() == [0, 1, 0, 2]
    sim.set_connections("delay", [7, 0], index=[1, 3])
    sim.set_connections("weight", 0.5, index=2)
    sim.step()
    assert sim.connections("delay").tolist() == [0, 7, 1, 0]
    assert sim.connections("weight").tolist() == [0.4, 0.3, 0.5, 0.1]
    assert sim.connections("in_transit").tolist() == [0, 0, 0, 1]
    zeilen = [z for z in sim.state_text().splitlines() if z.startswith("c ")]
    assert [z.split()[1] for z in zeilen] == ["C", "B", "C", "B"]
