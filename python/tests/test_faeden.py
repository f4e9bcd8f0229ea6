"""Long calls step without the GIL: another thread runs beside them, may read
time_step and nothing else, and Ctrl-C stops them after a whole time step."""

import os
import signal
import threading
import time

import pytest

import velkor

# Two cells that keep exciting each other, and an input that ends only at step 10^7.
RING = "z A\ns 1.0\nr 1\nc B 1.5 1\nz B\ns 1.0\nr 1\nc A 1.5 1\n"
EINGABE = "A 1\nA 10000000 .\n"
AUFRUFE = {"step": lambda s: s.step(10_000_000), "run_to_stop": lambda s: s.run_to_stop(), "run": lambda s: s.run()}


def nebenbei(sim, spikes, bericht):
    """Waits for a thousand steps, tries what is refused meanwhile, then sends Ctrl-C."""
    frist = time.monotonic() + 60
    while sim.time_step < 1000 and time.monotonic() < frist:
        pass
    bericht["gesehen"] = sim.time_step
    for versuch in (lambda: sim.cells("potential"), lambda: sim.step(), lambda: len(spikes), sim.state_text):
        try:
            versuch()
            bericht.setdefault("erlaubt", []).append(versuch)
        except RuntimeError as e:
            bericht["meldung"] = str(e)
    os.kill(os.getpid(), signal.SIGINT)


@pytest.mark.parametrize("aufruf", AUFRUFE)
def test_ein_zweiter_faden_laeuft_und_strg_c_haelt_nach_dem_schritt(aufruf):
    sim = velkor.Simulation.from_text(RING, EINGABE)
    spikes = sim.record_spikes()
    bericht = {}
    faden = threading.Thread(target=nebenbei, args=(sim, spikes, bericht))
    faden.start()
    with pytest.raises(KeyboardInterrupt):
        AUFRUFE[aufruf](sim)
    faden.join()
    assert 1000 <= bericht["gesehen"] <= sim.time_step < 10_000_000
    assert "erlaubt" not in bericht and "running in another thread" in bericht["meldung"]
    # Stopped between two whole steps: the state of a straight run of as many steps.
    gerade = velkor.Simulation.from_text(RING, EINGABE)
    gerade_spikes = gerade.record_spikes()
    gerade.step(sim.time_step)
    assert sim.state_text() == gerade.state_text()
    assert (spikes.times == gerade_spikes.times).all() and (spikes.cells == gerade_spikes.cells).all()
    assert sim.step(2) == 2  # usable again


def test_ohne_python_handler_bleibt_strg_c_beim_alten():
    sim = velkor.Simulation.from_text(RING, EINGABE)
    alt = signal.signal(signal.SIGINT, signal.SIG_IGN)
    try:
        def senden():
            while sim.time_step < 1000:
                pass
            os.kill(os.getpid(), signal.SIGINT)
        faden = threading.Thread(target=senden)
        faden.start()
        assert sim.step(300_000) == 300_000  # ignored, as without velkor
        faden.join()
        assert signal.getsignal(signal.SIGINT) == signal.SIG_IGN
    finally:
        signal.signal(signal.SIGINT, alt)


def test_in_einem_nebenfaden_gestartet_laeuft_der_aufruf_durch():
    sim = velkor.Simulation.from_text(RING, EINGABE)
    ergebnis = []
    faden = threading.Thread(target=lambda: ergebnis.append(sim.step(50_000)))
    faden.start()
    faden.join()
    assert ergebnis == [50_000] and sim.time_step == 50_000
