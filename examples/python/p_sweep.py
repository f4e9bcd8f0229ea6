#!/usr/bin/env python3
"""A parameter sweep: the grid net of examples/gross.net at P = 10 .. 100, the
firing rate (firings per cell and time step) for each P.

    PYTHONPATH=build/release/python /usr/bin/python3 examples/python/p_sweep.py [OUTDIR]

writes p-sweep.png (into OUTDIR, default: beside this script)."""

import pathlib
import sys

import matplotlib

matplotlib.use("Agg")
import matplotlib.pyplot as plt  # noqa: E402

import velkor  # noqa: E402

hier = pathlib.Path(__file__).resolve().parent
ziel = pathlib.Path(sys.argv[1]) if len(sys.argv) > 1 else hier
beispiele = hier.parent

werte = list(range(10, 101, 10))
raten = []
for p in werte:
    sim = velkor.Simulation(beispiele / "gross.net", beispiele / "gross.ein", f"P {p}", seed=1)
    spikes = sim.record_spikes()
    sim.step(100)
    raten.append(len(spikes) / (sim.cell_count * sim.time_step))
    print(f"P {p:3d}: {raten[-1]:.4f} firings per cell and time step")

fig, ax = plt.subplots(figsize=(6, 3.2), dpi=80)
ax.plot(werte, raten, "o-")
ax.set_xlabel("P (%)")
ax.set_ylabel("firings / cell / time step")
ax.set_title("gross.net, 100 time steps per P")
ax.grid(alpha=0.3)
fig.tight_layout()
fig.savefig(ziel / "p-sweep.png")
