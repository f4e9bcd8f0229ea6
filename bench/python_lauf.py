#!/usr/bin/env python3
"""Speed of the Python module against velkor-batch.

    PYTHONPATH=build/release/python python3 bench/python_lauf.py --build build/release [--netze DIR]

1. sim.step(200) on the net of 10^5 cells x 100 connections (bench/netzgen,
   as bench/lauf.py makes it) against `velkor-batch --runs 0 --steps 200`
   (its run_s), both best of 3; again with spike recording on. On a busy
   machine the wall times scatter: the CPU times of the steps (process_time
   here, bench/schrittzeit for the engine alone) are printed beside them.
2. A Python loop of single steps sim.step() on a net of 100 cells.
Prints times, time steps per second and the ratios."""

import argparse
import os
import pathlib
import subprocess
import time

import velkor

SCHRITTE = 200


def netz(netzgen, ordner, zellen):
    if not (ordner / "netz.net").exists():
        ordner.mkdir(parents=True, exist_ok=True)
        subprocess.run([netzgen, "--zellen", str(zellen), "--verbindungen", "100", "--ziel", str(ordner)],
                       check=True, stdout=subprocess.DEVNULL)
    return ordner / "netz.net", ordner / "eingabe.ein"


def batch_zeit(batch, n, e):
    aus = subprocess.run([batch, "--runs", "0", "--steps", str(SCHRITTE), "--stats", "T", str(n), str(e)],
                         check=True, capture_output=True, text=True, cwd="/tmp").stdout
    werte = dict(w.split("=") for w in aus.splitlines()[-1].split())
    return float(werte["run_s"])


def schrittzeit_cpu(programm, n, e, wiederholungen):
    aus = subprocess.run([programm, str(n), str(e), str(SCHRITTE), str(wiederholungen)], check=True,
                         capture_output=True, text=True, cwd="/tmp").stdout
    return float(aus.splitlines()[-1].split("=")[1])


def python_zeit(n, e, aufzeichnen):
    """Wall and CPU seconds of sim.step(200), and the number of spikes recorded."""
    sim = velkor.Simulation(n, e)
    spikes = sim.record_spikes() if aufzeichnen else None
    t, c = time.perf_counter(), time.process_time()
    sim.step(SCHRITTE)
    return time.perf_counter() - t, time.process_time() - c, (len(spikes) if spikes is not None else 0)


def main():
    a = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    a.add_argument("--build", required=True)
    a.add_argument("--netze", default=os.path.expanduser("~/velkor-bench"))
    a.add_argument("--wiederholungen", type=int, default=3)
    o = a.parse_args()
    batch = os.path.abspath(os.path.join(o.build, "velkor-batch"))
    netzgen = os.path.abspath(os.path.join(o.build, "bench", "netzgen"))
    n, e = netz(netzgen, pathlib.Path(o.netze) / "n1e+05", 100000)
    b = min(batch_zeit(batch, n, e) for _ in range(o.wiederholungen))
    bc = schrittzeit_cpu(os.path.join(os.path.dirname(netzgen), "schrittzeit"), n, e, o.wiederholungen)
    ohne = [python_zeit(n, e, False) for _ in range(o.wiederholungen)]
    mit = [python_zeit(n, e, True) for _ in range(o.wiederholungen)]
    p, pc = min(x[0] for x in ohne), min(x[1] for x in ohne)
    pa, pac = min(x[0] for x in mit), min(x[1] for x in mit)
    print(f"10^5 x 100, {SCHRITTE} steps, best of {o.wiederholungen}:")
    print(f"  wall: velkor-batch {b:.3f} s ({SCHRITTE / b:.1f} steps/s), sim.step {p:.3f} s "
          f"({SCHRITTE / p:.1f} steps/s), ratio python/batch {p / b:.3f}")
    print(f"  cpu:  schrittzeit {bc:.3f} s, sim.step {pc:.3f} s, ratio {pc / bc:.3f}")
    print(f"  with record_spikes ({mit[0][2]} spikes): wall {pa:.3f} s (ratio to without {pa / p:.3f}), "
          f"cpu {pac:.3f} s (ratio {pac / pc:.3f})")
    n, e = netz(netzgen, pathlib.Path(o.netze) / "n100", 100)
    beste = 0.0
    for _ in range(o.wiederholungen):
        sim = velkor.Simulation(n, e)
        schritt = sim.step
        t = time.perf_counter()
        for _ in range(200000):
            schritt()
        beste = max(beste, 200000 / (time.perf_counter() - t))
    print(f"100 cells, Python loop of sim.step(): {beste:,.0f} steps/s")


if __name__ == "__main__":
    main()
