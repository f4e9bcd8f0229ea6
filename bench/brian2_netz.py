#!/usr/bin/python3
"""The net of netzgen in Brian2's C++ standalone target, for the comparison.

    /usr/bin/python3 brian2_netz.py DATENVERZEICHNIS SCHRITTE ARBEITSVERZEICHNIS [FAEDEN]

Reads the arrays that netzgen wrote (quelle.i32, ziel.i32, gewicht.f64,
verzoegerung.u8, reiz.i32) and builds the same cells: threshold 1.0, reset to
0, decay by 0.9 per step, 15 refractory steps in which arrivals are lost,
potentials floored at -1 at arrivals, delays in whole steps, input that sets
the potential to 11. Compiles, runs the binary alone and prints one line:

    brian2 steps=... run_s=... setup_s=... steps_per_s=... peak_rss_mb=...

run_s is Brian2's own time of the simulation loop; setup_s the rest of the
binary's run (building the synapses from the arrays). FAEDEN (default 1):
with 2 or more the binary runs on that many OpenMP threads
(prefs.devices.cpp_standalone.openmp_threads), with 1 without OpenMP.
"""

import os
import subprocess
import sys
import time

import numpy as np


def main():
    daten, schritte, arbeit = sys.argv[1], int(sys.argv[2]), sys.argv[3]
    faeden = int(sys.argv[4]) if len(sys.argv) > 4 else 1
    import brian2 as b

    b.set_device("cpp_standalone", directory=arbeit, build_on_run=False)
    b.prefs.devices.cpp_standalone.openmp_threads = faeden if faeden > 1 else 0
    b.defaultclock.dt = 1 * b.ms

    quelle = np.fromfile(os.path.join(daten, "quelle.i32"), dtype=np.int32)
    ziel = np.fromfile(os.path.join(daten, "ziel.i32"), dtype=np.int32)
    gewicht = np.fromfile(os.path.join(daten, "gewicht.f64"), dtype=np.float64)
    verzoegerung = np.fromfile(os.path.join(daten, "verzoegerung.u8"), dtype=np.uint8)
    reiz = np.fromfile(os.path.join(daten, "reiz.i32"), dtype=np.int32).reshape(-1, 2)
    n = int(quelle.max()) + 1

    tau = -b.defaultclock.dt / np.log(0.9)  # exp(-dt / tau) = 0.9 per step
    zellen = b.NeuronGroup(
        n,
        "dv/dt = -v / tau : 1 (unless refractory)",
        # Brian2 decays before the threshold test, velkor after it: v * 0.9 >= 0.9
        # is velkor's v >= 1.0. Brian2's refractory time counts the firing
        # step itself, so 14 steps here accept arrivals from the same step on
        # as velkor's 15.
        threshold="v >= 0.9",
        reset="v = 0",
        refractory=14 * b.ms,
        method="exact",
        namespace={"tau": tau},
    )
    verbindungen = b.Synapses(
        zellen,
        zellen,
        "w : 1 (constant)",
        on_pre="v_post = clip(v_post + w * int(not_refractory_post), -1.0, inf)",
    )
    verbindungen.connect(i=quelle, j=ziel)
    verbindungen.w = gewicht
    verbindungen.delay = verzoegerung.astype(np.float64) * b.ms

    # Several entries for one cell in one step would be one input; keep one.
    paare = np.unique(reiz, axis=0)
    eingang = b.SpikeGeneratorGroup(n, paare[:, 1], paare[:, 0] * b.ms)
    reizung = b.Synapses(eingang, zellen, on_pre="v_post = 11.0")
    reizung.connect(j="i")

    # Counts only, so the comparison can check that both nets are equally busy.
    zaehler = b.SpikeMonitor(zellen, record=False)
    b.run(schritte * b.ms)
    b.device.build(directory=arbeit, compile=True, run=False)

    anfang = time.monotonic()
    prozess = subprocess.Popen(["./main"], cwd=arbeit)
    _, status, nutzung = os.wait4(prozess.pid, 0)
    gesamt = time.monotonic() - anfang
    if status != 0:
        sys.exit("brian2: the binary failed")
    with open(os.path.join(arbeit, "results", "last_run_info.txt")) as f:
        laufzeit = float(f.read().split()[0])
    b.get_device().has_been_run = True  # read the counts of the run above
    feuerrate = zaehler.num_spikes / schritte / n
    print(
        "brian2 steps=%d run_s=%.6f setup_s=%.3f steps_per_s=%.1f peak_rss_mb=%.1f firing=%.4f threads=%d"
        % (schritte, laufzeit, gesamt - laufzeit, schritte / laufzeit, nutzung.ru_maxrss / 1024.0, feuerrate, faeden)
    )


if __name__ == "__main__":
    main()
