"""velkor: networks of spiking integrate-and-fire cells, driven from Python.

The same core as the window program and velkor-batch: the net loader, the
time step, the input reader and the state writer.

    import velkor
    sim = velkor.Simulation("examples/lernen.net", "examples/lernen.ein")
    spikes = sim.record_spikes()
    sim.run()
    print(spikes.times, spikes.cells)

Exceptions: FileNotFoundError/OSError (a file that cannot be read),
velkor.FormatError (a net-file line with an undefined first character),
velkor.NetError (a faulty net; .protocol holds the "protok.txt" lines),
velkor.StateError (a ValueError: a snapshot that cannot be put back),
ValueError/TypeError (bad arguments).
"""

import os as _os

import numpy as _np

from velkor._velkor import (__version__, Error, FormatError, NetError, Recorder, SpikeRecorder, StateError, _Simulation,
                            cell_fields, connection_fields, pictures_available)
from velkor.ausgabe import Ausgabe as _Ausgabe
from velkor.haltepunkte import Breakpoint, Breakpoints, Haltestellen as _Haltestellen, Hit
from velkor.netz import Net
from velkor.erklaerung import Explanation
from velkor.zeitreise import Diff, History, Snapshot, Zeitreise as _Zeitreise

__all__ = ["__version__", "Simulation", "Net", "Error", "FormatError", "NetError", "StateError", "Recorder",
           "SpikeRecorder", "Snapshot", "History", "Diff", "Explanation", "cell_fields", "connection_fields",
           "pictures_available", "Breakpoint", "Breakpoints", "Hit"]


def _pfad(wert, was):
    if isinstance(wert, (str, bytes, _os.PathLike)):
        pfad = _os.fsdecode(_os.fspath(wert))
        if "\0" in pfad:
            raise ValueError(f"{was}: embedded null character in the path")
        return pfad
    raise TypeError(f"{was} must be a path (str or os.PathLike), not {type(wert).__name__}")


def _modi(modes):
    if isinstance(modes, str):
        return modes
    if isinstance(modes, (list, tuple)):
        return " ".join(str(m) for m in modes)
    raise TypeError("modes must be a str such as \"V x 10 p 50\" or a list of words")


def _anzeige(display):
    if display is None:
        return None
    try:
        w, h = display
        return int(w), int(h)
    except (TypeError, ValueError):
        raise TypeError("display must be a pair (W, H), the outer window size") from None


class Simulation(_Ausgabe, _Zeitreise, _Haltestellen, _Simulation):
    """One simulation of a net, stepped from Python.

    Simulation(net, input=None, modes="", seed=None, protocol_dir=None, display=None, threads=None)

    net           path of the net file (str or os.PathLike), or a velkor.Net
    input         path of the input file; None: no input (it ends in the first time step)
    modes         the mode parameter list of the command line, e.g. "V x 10 y 5 p 50"
    seed          replaces the clock seed of mode "P" (as velkor-batch --seed); without "P"
                  the generator starts from its fixed state, so runs repeat anyway
    protocol_dir  folder that gets "protok.txt" (nothing is written without it)
    display       (W, H): draw the views every step as velkor-batch --png --size WxH does;
                  picture() returns the canvas
    threads       threads of a time step (as velkor-batch --threads); None: VELKOR_THREADS,
                  else the cores the process may use. The results are the same on any number.

    Raises FileNotFoundError/OSError, velkor.FormatError, velkor.NetError (a faulty net
    is never stepped), ValueError/TypeError.

    Stepping: step(n), run_to_stop(), run(), restart(); time_step, input_ended, stopped, p.
    Breakpoints: breakpoints.add_fires(cell), add_potential(cell, value), add_step(n), hit;
    run_to_stop(until_fires=..., until_step=..., until_potential=...) for one run.
    Values: cells(field) and connections(field) give NumPy copies (see velkor.cell_fields,
    velkor.connection_fields); set_cells, set_connections, excite write.
    Recording: record_spikes(), record(cells, "potential"); out as to_neo(), to_pandas(),
    to_csv(path).
    Going back: goto(step), step_back(n), history, snapshot(), restore(s), diff(a, b),
    write_input(path); explain(cell, step) says why a cell fired or did not.
    """

    def __init__(self, net, input=None, modes="", seed=None, protocol_dir=None, display=None, threads=None):
        if isinstance(net, Net):
            netz, als_text = net.text(), True
        else:
            netz, als_text = _pfad(net, "net"), False
        eingabe = None if input is None else _pfad(input, "input")
        self._init(netz, als_text, eingabe, False, modes, seed, protocol_dir, display, threads)

    def _init(self, netz, netz_text, eingabe, eingabe_text, modes, seed, protocol_dir, display, threads=None):
        if seed is not None and not isinstance(seed, int):
            raise TypeError("seed must be an int")
        if seed is not None and not 0 <= seed < 2**64:
            raise ValueError("seed must lie in 0 .. 2**64 - 1")
        ordner = None if protocol_dir is None else _pfad(protocol_dir, "protocol_dir")
        self._quelle = "<text>" if netz_text else netz
        _Simulation.__init__(self, netz, netz_text, eingabe, eingabe_text, _modi(modes), seed, ordner,
                             _anzeige(display))
        self._bereit = True
        if threads is not None:
            self.threads = threads

    @classmethod
    def from_text(cls, net_text, input_text=None, modes="", seed=None, protocol_dir=None, display=None,
                  threads=None):
        """A simulation of a net file's text (and an input file's text) held in memory."""
        if isinstance(net_text, Net):
            net_text = net_text.text()
        if not isinstance(net_text, str) or not (input_text is None or isinstance(input_text, str)):
            raise TypeError("net_text and input_text must be str")
        sim = cls.__new__(cls)
        sim._init(net_text, True, input_text, input_text is not None, modes, seed, protocol_dir, display, threads)
        return sim

    # -- cells -------------------------------------------------------------
    def cell_index(self, cell):
        """The index of a cell given by index or by name (the first cell of that name)."""
        if isinstance(cell, (int, _np.integer)) and not isinstance(cell, bool):
            c = int(cell)
            if not 0 <= c < self.cell_count:
                raise ValueError(f"no cell {c} (the net has {self.cell_count})")
            return c
        if isinstance(cell, str):
            c = self._find(cell)
            if c >= self.cell_count:
                raise ValueError(f"no cell named {cell!r}")
            return c
        raise TypeError(f"a cell is an index or a name, not {type(cell).__name__}")

    def _zellen(self, cells):
        if cells is None:
            return list(range(self.cell_count))
        if isinstance(cells, (int, _np.integer, str)):
            return [self.cell_index(cells)]
        return [self.cell_index(c) for c in cells]

    def cells(self, field):
        """A copy of one field of every cell, in index order (float64 or int32).

        Fields: potential, threshold, decay, refractory_time, refractory_rest, learning_factor,
        learning_factor_start, recovery, change_rate, row, column (positions as stored, with
        the picture shift)."""
        return self.cell_values(field)

    def set_cells(self, field, values, cells=None):
        """Writes one field of the given cells (all if None): one value or one per cell."""
        self._set_cell_values(field, self._zellen(cells), _np.asarray(values))

    @property
    def potentials(self):
        """Potentials of all cells (float64 copy)."""
        return self.cell_values("potential")

    @property
    def thresholds(self):
        """Thresholds of all cells (float64 copy)."""
        return self.cell_values("threshold")

    @property
    def learning_factors(self):
        """Learning factors of all cells (float64 copy)."""
        return self.cell_values("learning_factor")

    def excite(self, cells):
        """Gives cells an input entry for the next time step, as a line of the input file
        would: its input phase sets potential = threshold + 10 (after the file's entries of that
        step), so the cell fires in the step after. Until then the entry is pending (see
        `pending`); write_input() writes it out. set_cells("potential", ...) sets a potential
        at once."""
        for c in self._zellen(cells):
            self._excite(c)

    # -- connections -------------------------------------------------------
    def connections(self, field):
        """A copy of one field of every connection, in source order (cells by index, each
        cell's connections in list order: its newest connection line first).

        Fields: source, target, weight, delay, start_weight, weight_factor, max_weight,
        learning_step, time_window, in_transit, last_arrival, in_window (bool)."""
        return self.connection_values(field)

    def connection_range(self, cell):
        """The indices [start, end) of a cell's outgoing connections."""
        return self._connection_range(self.cell_index(cell))

    def set_connections(self, field, values, index=None):
        """Writes one field of the connections at `index` (all if None)."""
        if index is None:
            nummern = list(range(self.connection_count))
        else:
            nummern = [int(k) for k in _np.atleast_1d(_np.asarray(index, dtype=_np.int64))]
        self._set_connection_values(field, nummern, _np.asarray(values))

    @property
    def weights(self):
        """Weights of all connections in source order (float64 copy)."""
        return self.connection_values("weight")

    # -- recording and state ----------------------------------------------
    def record(self, cells, variable="potential"):
        """Records `variable` (potential, learning_factor, refractory_rest) of the cells at
        the end of every time step; returns the Recorder (times, values[step, cell])."""
        return self._record(self._zellen(cells), variable)

    def save_state(self, path):
        """Writes the state in the form of "zustand.txt" to `path` (through a temporary file)."""
        self._save_state(_pfad(path, "path"))

    def __repr__(self):
        if not getattr(self, "_bereit", False):  # a failed creation, shown in a traceback
            return "<velkor.Simulation, not created>"
        return (f"<velkor.Simulation {self._quelle!r}: {self.cell_count} cells, "
                f"{self.connection_count} connections, time step {self.time_step}, P {self.p}"
                f"{', input ended' if self.input_ended else ''}>")
