#!/usr/bin/env python3
"""The learning example, recorded from Python: a raster plot of every firing
and the weights of the connections into the response cell over time.

    PYTHONPATH=build/release/python /usr/bin/python3 examples/python/lernen_plot.py [OUTDIR]

writes lernen-raster.png and lernen-gewichte.png (into OUTDIR, default: beside
this script)."""

import pathlib
import sys

import matplotlib

matplotlib.use("Agg")
import matplotlib.pyplot as plt  # noqa: E402
import numpy as np  # noqa: E402

import velkor  # noqa: E402

hier = pathlib.Path(__file__).resolve().parent
ziel = pathlib.Path(sys.argv[1]) if len(sys.argv) > 1 else hier
beispiele = hier.parent

sim = velkor.Simulation(beispiele / "lernen.net", beispiele / "lernen.ein")
spikes = sim.record_spikes()
quelle, zielzelle = sim.connections("source"), sim.connections("target")
reakt = sim.cell_index("Reakt")
into = np.nonzero(zielzelle == reakt)[0]  # the connections into "Reakt"
gewichte = []
while not sim.input_ended:
    sim.step()
    gewichte.append(sim.weights[into])
gewichte = np.array(gewichte)
namen = sim.names

fig, ax = plt.subplots(figsize=(7, 3.2), dpi=80)
ax.scatter(spikes.times, spikes.cells, marker="|", s=120, color="black")
ax.set_yticks(range(sim.cell_count), namen)
ax.invert_yaxis()
ax.set_xlabel("Zeittakt")
ax.set_title("lernen.net: firing cells")
ax.grid(axis="x", alpha=0.3)
fig.tight_layout()
fig.savefig(ziel / "lernen-raster.png")

fig, ax = plt.subplots(figsize=(7, 3.2), dpi=80)
for j, k in enumerate(into):
    ax.plot(np.arange(len(gewichte)), gewichte[:, j], label=f"{namen[quelle[k]]} -> Reakt")
ax.set_xlabel("Zeittakt")
ax.set_ylabel("weight")
ax.set_title("lernen.net: weights into the response cell")
ax.legend()
fig.tight_layout()
fig.savefig(ziel / "lernen-gewichte.png")
print(f"{len(spikes)} firings in {sim.time_step} time steps")
