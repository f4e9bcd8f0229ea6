"""Recordings out: the spike CSV is the one of velkor-batch --spikes, pandas reads
back what to_csv writes, Neo holds the same firings and values."""

import pathlib
import pickle
import random
import re
import sys

import numpy as np
import pytest

import velkor
from conftest import BEISPIELE, zufallsnetz

REFERENZ = pathlib.Path(__file__).resolve().parents[2] / "tests" / "data" / "lernen-p50-spikes.csv"


def lernlauf():
    # as the reference was made: velkor-batch --steps 5 --seed 7 ... P 50 (a run, then five steps)
    sim = velkor.Simulation(BEISPIELE / "lernen.net", BEISPIELE / "lernen.ein", "P 50", seed=7)
    spikes = sim.record_spikes()
    reihe = sim.record(["Reakt", "Motor", "Ton"], "potential")
    sim.run()
    sim.step(5)
    return sim, spikes, reihe


def test_spike_csv_gleicht_der_referenz_von_velkor_batch(tmp_path):
    sim, _, _ = lernlauf()
    sim.to_csv(tmp_path / "s.csv")
    assert (tmp_path / "s.csv").read_bytes() == REFERENZ.read_bytes()


@pytest.mark.parametrize("seed", range(6))
def test_pandas_liest_zurueck_was_to_csv_schreibt(tmp_path, seed):
    pd = pytest.importorskip("pandas")
    netz, eingabe = zufallsnetz(random.Random(seed), seed % 2 == 1, 3 + seed * 7)
    netz, eingabe = (re.sub(r"\bn1\b", 'n,1"', t) for t in (netz, eingabe))  # a name that needs quotes
    sim = velkor.Simulation.from_text(netz, eingabe)
    spikes = sim.record_spikes()
    reihe = sim.record(None, "learning_factor")
    sim.step(17 + seed)
    for was in ("spikes", reihe):
        sim.to_csv(tmp_path / "a.csv", was)
        zurueck = pd.read_csv(tmp_path / "a.csv", index_col=None if was == "spikes" else 0, keep_default_na=False)
        pd.testing.assert_frame_equal(zurueck, sim.to_pandas(was), check_dtype=False)
    frame = sim.to_pandas()
    assert list(frame.zeittakt) == list(spikes.times) and list(frame.name) == [sim.names[c] for c in spikes.cells]


def test_neo_haelt_die_feuerungen_und_werte():
    neo = pytest.importorskip("neo")
    import quantities as pq
    sim, spikes, reihe = lernlauf()
    sim.restart()  # the potentials' time steps start again at 0: irregular
    lf = sim.record([0, 2], "learning_factor")
    sim.step(3)
    segment = sim.to_neo(time_step=0.5 * pq.ms)
    assert [z.name for z in segment.spiketrains] == sim.names
    for c, zug in enumerate(segment.spiketrains):
        assert zug.units == pq.ms and zug.annotations["time_unit"] == "time step"
        assert list(zug.magnitude * 2) == list(spikes.times[spikes.cells == c])
    (lernfaktor,), (potenzial,) = segment.analogsignals, segment.irregularlysampledsignals
    assert lernfaktor.name == "learning_factor" and potenzial.name == "potential"
    assert lernfaktor.t_start == 0 * pq.ms and lernfaktor.sampling_period == 0.5 * pq.ms
    np.testing.assert_array_equal(lernfaktor.magnitude, lf.values)
    np.testing.assert_array_equal(potenzial.magnitude, reihe.values)
    np.testing.assert_array_equal(potenzial.times.magnitude * 2, reihe.times)
    assert list(potenzial.array_annotations["cell_name"]) == ["Reakt", "Motor", "Ton"]
    # Neo's own writer takes it whole.
    block = neo.Block()
    block.segments.append(segment)
    zurueck = pickle.loads(pickle.dumps(block)).segments[0]
    assert len(zurueck.spiketrains) == sim.cell_count
    with pytest.raises(TypeError, match="duration"):
        sim.to_neo(time_step=2.0)


def test_fehlende_pakete_und_fremde_recorder_werden_benannt(monkeypatch, tmp_path):
    sim, _, _ = lernlauf()
    for paket, aufruf in (("neo", sim.to_neo), ("pandas", sim.to_pandas)):
        monkeypatch.setitem(sys.modules, paket, None)
        with pytest.raises(ImportError, match=f"package {paket} .*python3-{paket}"):
            aufruf()
    sim.to_csv(tmp_path / "ohne.csv")  # needs neither
    fremd = velkor.Simulation(BEISPIELE / "lernen.net").record([0])
    with pytest.raises(ValueError, match="does not belong"):
        sim.to_csv(tmp_path / "f.csv", fremd)
