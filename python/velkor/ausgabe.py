"""Recordings out of a Simulation as the field's tools take them: Neo objects,
pandas frames, CSV files. Neo and pandas are imported only when asked for."""

import os as _os

import numpy as _np


def _paket(name, debian):
    try:
        return __import__(name)
    except ImportError:
        raise ImportError(f"this needs the package {name} (Debian: apt install {debian}; "
                          f"in a virtual environment: pip install {name})") from None


def _csvfeld(name):
    # as velkor-batch --spikes writes a name
    if any(z in name for z in ',"\r\n'):
        return '"' + name.replace('"', '""') + '"'
    return name


def _reihe(sim, recorder):
    if recorder is None or recorder == "spikes":
        return None
    if recorder not in sim._recordings()[1]:
        raise ValueError("the recorder does not belong to this simulation")
    return recorder


class Ausgabe:
    """to_neo(), to_pandas(), to_csv(): the part of velkor.Simulation that hands out recordings."""

    def _spalten(self, recorder):
        namen = self.names
        return [namen[c] for c in recorder.cells]

    def to_neo(self, time_step=None):
        """The recordings as a neo.Segment: one SpikeTrain per cell (what record_spikes()
        recorded; name: the cell's name) and one signal per Recorder (name: its variable, one
        channel per cell; an AnalogSignal, or an IrregularlySampledSignal where its time steps
        have gaps). Times count time steps: `time_step` is the duration of one (a quantity
        such as 1 * quantities.ms); None gives one second per time step. The annotation
        "time_unit" says so. Needs neo (Debian: python3-neo)."""
        neo = _paket("neo", "python3-neo")
        import quantities as pq
        schritt = 1.0 * pq.s if time_step is None else time_step
        if not isinstance(schritt, pq.Quantity) or schritt.simplified.dimensionality != pq.s.dimensionality:
            raise TypeError("time_step must be a duration such as 1 * quantities.ms")
        spikes, reihen = self._recordings()
        notiz = {"time_unit": "time step", "time_step": str(schritt)}
        segment = neo.Segment(name=self._quelle, description="velkor " + self._quelle, **notiz)
        zeiten, zellen = spikes.times, spikes.cells
        ende = max(self.time_step, int(zeiten.max()) + 1 if len(zeiten) else 0)
        # the firings of each cell, in firing order
        ordnung = _np.argsort(zellen, kind="stable")
        grenzen = _np.searchsorted(zellen[ordnung], _np.arange(self.cell_count + 1))
        for c, name in enumerate(self.names):
            eigene = zeiten[ordnung[grenzen[c]:grenzen[c + 1]]]
            zug = neo.SpikeTrain(eigene * schritt, t_start=0 * schritt, t_stop=ende * schritt, name=name, cell=c,
                                 **notiz)
            segment.spiketrains.append(zug)
        for r in reihen:
            signal = _signal(neo, pq, r, self._spalten(r), schritt, notiz)
            if isinstance(signal, neo.IrregularlySampledSignal):
                segment.irregularlysampledsignals.append(signal)
            else:
                segment.analogsignals.append(signal)
        return segment

    def to_pandas(self, recorder="spikes"):
        """A pandas.DataFrame: of the firings (columns zeittakt, zelle, name, as velkor-batch
        --spikes writes them), or of a Recorder (index zeittakt, one column per cell name).
        Needs pandas (Debian: python3-pandas)."""
        pd = _paket("pandas", "python3-pandas")
        reihe = _reihe(self, recorder)
        if reihe is None:
            spikes = self._recordings()[0]
            namen = _np.array(self.names, dtype=object)
            return pd.DataFrame({"zeittakt": spikes.times, "zelle": spikes.cells, "name": namen[spikes.cells]})
        index = pd.Index(reihe.times, name="zeittakt")
        return pd.DataFrame(reihe.values, index=index, columns=self._spalten(reihe))

    def to_csv(self, path, recorder="spikes"):
        """Writes the firings as velkor-batch --spikes does (zeittakt,zelle,name), or a Recorder
        (zeittakt and one column per cell name; values as Python prints them, exact)."""
        reihe = _reihe(self, recorder)
        if reihe is None:
            spikes = self._recordings()[0]
            namen = [_csvfeld(n) for n in self.names]
            zeilen = ["zeittakt,zelle,name"]
            zeilen += [f"{t},{c},{namen[c]}" for t, c in zip(spikes.times.tolist(), spikes.cells.tolist())]
        else:
            zeilen = [",".join(["zeittakt"] + [_csvfeld(n) for n in self._spalten(reihe)])]
            for t, werte in zip(reihe.times.tolist(), reihe.values.tolist()):
                zeilen.append(",".join([str(t)] + [repr(w) for w in werte]))
        with open(_os.fspath(path), "w", encoding="utf-8", errors="surrogateescape", newline="") as f:
            f.write("\n".join(zeilen) + "\n")


def _signal(neo, pq, reihe, namen, schritt, notiz):
    zeiten, werte = reihe.times, reihe.values
    kanal = {"cell": reihe.cells, "cell_name": _np.array(namen, dtype=str)}
    art = {"name": reihe.variable, "units": pq.dimensionless, "array_annotations": kanal, **notiz}
    if len(zeiten) and _np.all(_np.diff(zeiten) == 1):
        return neo.AnalogSignal(werte, t_start=int(zeiten[0]) * schritt, sampling_period=schritt, **art)
    return neo.IrregularlySampledSignal(zeiten * schritt, werte.reshape(len(zeiten), len(namen)), **art)
