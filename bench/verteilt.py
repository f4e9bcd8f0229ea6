#!/usr/bin/python3
"""velkor-batch on MPI against one process, on a net of netzgen.

    /usr/bin/python3 bench/verteilt.py --build BUILDDIR [--daten DIR] [--zellen 1e6]
                                       [--verbindungen 100] [--schritte 100] [--runden 3]

Generates the net once (DIR/v<zellen>, name form), then runs in turns, --runden
times each:
  - velkor-batch --threads 1,
  - velkor-batch --threads 2,
  - mpirun -np 2 velkor-batch-mpi --threads 1,
each with --stats --runs 0 --steps N (N single time steps). It prints the
median time steps per second, the ratios to one process on one thread, the
peak memory of each process (--stats of a shared run gives all of them) and
against the one-process peak, and the bytes all processes hand on per time
step. The runs take turns, so that a drift of the machine's speed hits every
setting alike; the figures are whole runs of each program.
"""

import argparse
import os
import re
import statistics
import subprocess
import sys


def zahl(text):
    return int(float(text))


def statistik(ausgabe):
    zeile = [z for z in ausgabe.splitlines() if z.startswith("steps=")][-1]
    werte = dict(feld.split("=", 1) for feld in zeile.split())
    return werte


def main():
    a = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    a.add_argument("--build", required=True)
    a.add_argument("--daten", default="/tmp/velkor-bench")
    a.add_argument("--zellen", type=zahl, default=10**6)
    a.add_argument("--verbindungen", type=int, default=100)
    a.add_argument("--schritte", type=int, default=100)
    a.add_argument("--runden", type=int, default=3)
    o = a.parse_args()
    o.build = os.path.abspath(o.build)

    ziel = os.path.join(o.daten, "v%d" % o.zellen)
    if not os.path.exists(os.path.join(ziel, "eingabe.ein")):
        os.makedirs(ziel, exist_ok=True)
        subprocess.run([os.path.join(o.build, "bench", "netzgen"), "--zellen", str(o.zellen), "--verbindungen",
                        str(o.verbindungen), "--schritte", str(o.schritte + 10), "--ziel", ziel], check=True,
                       stdout=subprocess.DEVNULL)
    netz = os.path.join(ziel, "netz.net")
    eingabe = os.path.join(ziel, "eingabe.ein")
    lauf = ["--stats", "--runs", "0", "--steps", str(o.schritte), "Bank", netz, eingabe]
    batch = os.path.join(o.build, "velkor-batch")
    mpi = os.path.join(o.build, "velkor-batch-mpi")
    mpirun = ["mpirun", "--oversubscribe", "-q", "-np", "2"]
    if os.geteuid() == 0:
        mpirun.insert(1, "--allow-run-as-root")
    arten = [
        ("1 process, 1 thread", [batch, "--threads", "1"] + lauf),
        ("1 process, 2 threads", [batch, "--threads", "2"] + lauf),
        ("2 processes, 1 thread each", mpirun + [mpi, "--threads", "1"] + lauf),
    ]
    ergebnisse = {name: [] for name, _ in arten}
    arbeit = os.path.join(o.daten, "arbeit")
    os.makedirs(arbeit, exist_ok=True)
    for runde in range(o.runden):
        for name, befehl in arten:
            r = subprocess.run(befehl, cwd=arbeit, capture_output=True, text=True)
            if r.returncode != 0:
                sys.exit("%s failed (%d): %s" % (name, r.returncode, r.stderr))
            w = statistik(r.stdout)
            ergebnisse[name].append(w)
            w["rate"] = float(w["steps"]) / float(w["run_s"])
            print("round %d, %s: %.2f steps/s" % (runde + 1, name, w["rate"]), file=sys.stderr)

    def median(name, feld):
        return statistics.median(float(w[feld]) for w in ergebnisse[name])

    basis = median(arten[0][0], "rate")
    spitze1 = max(float(w["peak_rss_mb"]) for w in ergebnisse[arten[0][0]])
    print("net: %d cells x %d connections, %d single time steps, median of %d rounds\n"
          % (o.zellen, o.verbindungen, o.schritte, o.runden))
    print("| run | time steps/s | against 1 thread | peak memory per process (MB) | against one process |")
    print("|---|---|---|---|---|")
    for name, _ in arten:
        rate = median(name, "rate")
        if "peak_rss_mb_each" in ergebnisse[name][0]:
            spitzen = [max(float(w["peak_rss_mb_each"].split(",")[p]) for w in ergebnisse[name]) for p in range(2)]
        else:
            spitzen = [max(float(w["peak_rss_mb"]) for w in ergebnisse[name])]
        print("| %s | %.2f | %.2f | %s | %s |" % (name, rate, rate / basis, ", ".join("%.0f" % s for s in spitzen),
                                                  ", ".join("%.2f" % (s / spitze1) for s in spitzen)))
    bytes_ = median(arten[2][0], "exchanged_bytes_per_step")
    print("\nbytes handed on per time step (all processes): %.0f" % bytes_)
    print("load: %s s (1 process, 1 thread), %s s (2 processes)"
          % (ergebnisse[arten[0][0]][-1]["load_s"], ergebnisse[arten[2][0]][-1]["load_s"]))


if __name__ == "__main__":
    main()
