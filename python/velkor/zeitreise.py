"""Going back in time: snapshots, the history, comparing states.

The simulation keeps checkpoints of its whole state as it runs (spikes in
transit, learned weights, the input reader, the random generator), so that
``goto(step)`` and ``step_back(n)`` give exactly the state of that step:
restore the nearest checkpoint, run the steps in between again.
"""

import numpy as _np


class Snapshot:
    """The whole state of a simulation at one time step; ``sim.restore(snapshot)`` puts it
    back. Pickles (also into another process with the same net and input files), and
    ``bytes(snapshot)`` / ``Snapshot.from_bytes(data)`` give it as bytes."""

    __slots__ = ("_bild", "_sim", "_bytes")

    def __init__(self, bild=None, sim=None, data=None):
        self._bild, self._sim, self._bytes = bild, sim, data

    @classmethod
    def from_bytes(cls, data):
        if not isinstance(data, (bytes, bytearray, memoryview)):
            raise TypeError("a snapshot is read from bytes")
        return cls(data=bytes(data))

    def __bytes__(self):
        if self._bytes is None:
            self._bytes = self._sim._state_bytes(self._bild)
        return self._bytes

    def __reduce__(self):
        return (Snapshot.from_bytes, (bytes(self),))

    def _fuer(self, sim):
        """The core's state for `sim` (read from the bytes where needed)."""
        if self._bild is not None and self._sim is sim:
            return self._bild
        if self._bytes is None and self._bild is not None:
            self._bytes = self._sim._state_bytes(self._bild)
        return sim._state_from_bytes(self._bytes)

    @property
    def time_step(self):
        """The time step the snapshot was taken before (the next one to run)."""
        if self._bild is not None:
            return self._bild.time_step
        import struct
        return struct.unpack_from("<i", self._bytes, 16)[0]

    def __repr__(self):
        return f"<velkor.Snapshot at time step {self.time_step}>"


class History:
    """What the history holds: the steps that goto() can reach and its memory.

    first, last   the earliest and the latest step that can be gone to
    memory        bytes held by the checkpoints
    budget        bytes they may hold (default 512 MB); settable
    enabled       on by default; False drops the checkpoints and costs nothing
    checkpoints   the steps of the checkpoints
    """

    __slots__ = ("_sim",)

    def __init__(self, sim):
        self._sim = sim

    def _d(self):
        return self._sim._history()

    first = property(lambda self: self._d()["first"])
    last = property(lambda self: self._d()["last"])
    memory = property(lambda self: self._d()["memory"])
    checkpoints = property(lambda self: self._d()["checkpoints"])

    @property
    def budget(self):
        return self._d()["budget"]

    @budget.setter
    def budget(self, n):
        self._sim._set_history_budget(int(n))

    @property
    def enabled(self):
        return self._d()["enabled"]

    @enabled.setter
    def enabled(self, an):
        self._sim._set_history_enabled(bool(an))

    def __repr__(self):
        d = self._d()
        if not d["enabled"]:
            return "<velkor.History off>"
        return (f"<velkor.History steps {d['first']}..{d['last']}, {len(d['checkpoints'])} checkpoints, "
                f"{d['memory'] / 2**20:.1f} of {d['budget'] / 2**20:.0f} MB>")


class Diff:
    """What differs between two states: the cells whose potential, learning factor or
    refractory rest differ, and the connections whose weight differs, each with the
    values before (``a``) and after (``b``) as NumPy arrays.

    cells, potential_a, potential_b, learning_factor_a, learning_factor_b,
    refractory_rest_a, refractory_rest_b; connections, weight_a, weight_b;
    time_step_a, time_step_b."""

    def __init__(self, a, b):
        self.time_step_a, self.time_step_b = a["time_step"], b["time_step"]

        def verschieden(x, y):
            # Bit for bit: NaN equals NaN, 0.0 differs from -0.0.
            if x.dtype.kind == "f":
                return x.view(_np.int64) != y.view(_np.int64)
            return x != y

        zellen = _np.zeros(len(a["potential"]), dtype=bool)
        for feld in ("potential", "learning_factor", "refractory_rest"):
            zellen |= verschieden(a[feld], b[feld])
        self.cells = _np.flatnonzero(zellen).astype(_np.int32)
        for feld in ("potential", "learning_factor", "refractory_rest"):
            setattr(self, feld + "_a", a[feld][self.cells])
            setattr(self, feld + "_b", b[feld][self.cells])
        self.connections = _np.flatnonzero(verschieden(a["weight"], b["weight"])).astype(_np.int64)
        self.weight_a = a["weight"][self.connections]
        self.weight_b = b["weight"][self.connections]

    def __bool__(self):
        return bool(len(self.cells) or len(self.connections))

    def __repr__(self):
        return (f"<velkor.Diff steps {self.time_step_a} -> {self.time_step_b}: {len(self.cells)} cells, "
                f"{len(self.connections)} weights differ>")


class Zeitreise:
    """The methods of velkor.Simulation for going back in time."""

    @property
    def history(self):
        """The history (velkor.History): reachable steps, memory used, budget."""
        return History(self)

    def snapshot(self):
        """The whole state now, as a velkor.Snapshot (restore() takes it back; it pickles)."""
        return Snapshot(self._snapshot(), self)

    def restore(self, snapshot):
        """Puts the state of a snapshot back. The history begins again there.

        Raises velkor.StateError (a ValueError) for a snapshot of another net, damaged bytes
        or an input file changed since; the simulation then stays as it was."""
        if not isinstance(snapshot, Snapshot):
            raise TypeError("restore takes a velkor.Snapshot")
        self._restore(snapshot._fuer(self))

    def goto(self, step):
        """Goes to time step `step` of the history (history.first .. history.last): the state
        is exactly that before `step` ran. Recordings are cut back to it.

        Raises ValueError for a step outside the history, velkor.StateError when the input file
        has changed on disk since; the simulation then stays as it was."""
        if isinstance(step, bool) or not isinstance(step, (int, _np.integer)):
            raise TypeError("step must be an int")
        self._goto(int(step))

    def step_back(self, n=1):
        """Goes back n time steps (goto(time_step - n))."""
        if isinstance(n, bool) or not isinstance(n, (int, _np.integer)) or n < 0:
            raise ValueError("n must be an int of 0 or more")
        self.goto(self.time_step - int(n))

    def diff(self, a, b=None):
        """What differs between snapshot `a` and snapshot `b` (None: the state now), as a
        velkor.Diff with NumPy arrays."""
        werte_a = self._state_values(a._fuer(self))
        if b is None:  # the state now, read as it stands
            werte_b = {"potential": self.potentials, "learning_factor": self.learning_factors,
                       "refractory_rest": self.cells("refractory_rest"), "weight": self.weights,
                       "time_step": self.time_step}
        else:
            werte_b = self._state_values(b._fuer(self))
        return Diff(werte_a, werte_b)

    def write_input(self, path):
        """Writes the input of this run as an input file: the entries the input phase
        applied so far (those of the file and those of excite()), stop marks, the entries
        given for the next step, then the rest of the input file. velkor-batch on the net and
        this file runs the same course bit for bit.

        After the input has ended, the entries given by hand keep it going: every step up to
        the last of them stops as the ended input did, and the input ends there."""
        import os
        text = self._input_text()
        with open(os.fspath(path), "wb") as f:
            f.write(text)

    def explain(self, cell, step=None):
        """Why `cell` fired or did not at time step `step` (None: the step that ran last): a
        velkor.Explanation, or a list of them when `cell` is a list. The step is run again
        in the plain form from the history (or, for the coming step time_step, from the
        state now); the simulation stays where it is.

        Raises ValueError for an unknown cell or a step outside the history."""
        from velkor.erklaerung import erklaerungen
        if step is None:
            step = self.time_step - 1
            if step < 0:
                raise ValueError("no time step has run yet; explain(cell, step=0) explains the coming one")
        if isinstance(step, bool) or not isinstance(step, (int, _np.integer)):
            raise TypeError("step must be an int")
        einzeln = isinstance(cell, (int, _np.integer, str))
        zellen = [self.cell_index(cell)] if einzeln else [self.cell_index(c) for c in cell]
        aus = erklaerungen(self._explain(zellen, int(step)))
        return aus[0] if einzeln else aus

    @property
    def pending(self):
        """The cells excite() gave an input entry for the next time step (not yet applied)."""
        return list(self._pending())
