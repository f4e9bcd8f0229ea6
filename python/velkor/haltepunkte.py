"""Breakpoints: conditions that end a run after the time step in which they
hold, as a stop mark of the input does. The next call simply goes on.

    sim.breakpoints.add_fires("Reakt")        # the step in which Reakt fires
    sim.breakpoints.add_potential(3, 0.75)     # cell 3's potential crosses 0.75
    sim.breakpoints.add_step(40)               # after time step 40 (next: 41)
    sim.run()                                  # ends at the first of them
    print(sim.breakpoints.hit)                 # Hit(kind='fires', cell=..., step=...)
    sim.run_to_stop(until_fires=["Ton", 7])    # one-shot, beside the set ones
"""

import math as _math
import numbers as _numbers
import weakref as _weakref
from collections import namedtuple as _namedtuple

Breakpoint = _namedtuple("Breakpoint", "kind cell value")
Breakpoint.__doc__ = """A set breakpoint: kind "fires" (value None), "potential" (value: the
potential whose crossing halts) or "step" (cell None, value: the time step after which to halt)."""

Hit = _namedtuple("Hit", "kind cell cell_name step value")
Hit.__doc__ = """A breakpoint that caught a time step: its kind and cell (None for "step"),
the time step after which the run halted (time_step is then step + 1), and for "potential"
the value crossed (else None)."""


def _takt(step):
    if isinstance(step, bool) or not isinstance(step, _numbers.Integral):
        raise TypeError(f"a step is an int, not {type(step).__name__}")
    if not 0 <= step < 2**31:
        raise ValueError(f"step {step} lies outside 0 .. 2**31 - 1")
    return int(step)


def _wert(value):
    if isinstance(value, bool) or not isinstance(value, _numbers.Real):
        raise TypeError(f"a potential is a real number, not {type(value).__name__}")
    if _math.isnan(value):
        raise ValueError("a potential of NaN is never crossed")
    return float(value)


def _liste(werte, einzeln):
    """A single value or a list of them, as a list; `einzeln` tells a single one."""
    if werte is None:
        return []
    return [werte] if einzeln(werte) else list(werte)


def _paar(p):
    return isinstance(p, tuple) and len(p) == 2 and isinstance(p[1], _numbers.Real) and not isinstance(p[0], tuple)


class Breakpoints:
    """The breakpoints of a simulation (sim.breakpoints); step(n), run_to_stop() and run()
    end after the first time step that one of them catches.

    A firing breakpoint halts after the step in which its cell fires. A potential
    breakpoint (cell, value) halts after a step whose potential at its end lies strictly
    on the other side of the value than at its start (before phase 1), or equals the value
    while the start did not: either direction; a potential that stays at the value halts
    once. A step breakpoint N halts after time step N, as a stop mark "*** N" would."""

    def __init__(self, sim):
        self._sim = _weakref.ref(sim)
        self._liste = []

    def _simulation(self):
        sim = self._sim()
        if sim is None:
            raise RuntimeError("the simulation of these breakpoints is gone")
        return sim

    def _hinzu(self, punkt):
        if punkt not in self._liste:
            self._liste.append(punkt)
            self._uebertragen()
        return punkt

    def _uebertragen(self):
        feuern, potenziale, takte = _aufteilen(self._liste)
        self._simulation()._set_breakpoints(feuern, potenziale, takte)

    def add_fires(self, cell):
        """Halts after the step in which `cell` (index or name) fires."""
        return self._hinzu(Breakpoint("fires", self._simulation().cell_index(cell), None))

    def add_potential(self, cell, value):
        """Halts after the step in which the potential of `cell` crosses `value`."""
        return self._hinzu(Breakpoint("potential", self._simulation().cell_index(cell), _wert(value)))

    def add_step(self, step):
        """Halts after time step `step` (the next step is then step + 1)."""
        return self._hinzu(Breakpoint("step", None, _takt(step)))

    def remove(self, breakpoint):
        """Removes a breakpoint (as add_* returned it or the list holds it)."""
        if breakpoint not in self._liste:
            raise ValueError(f"{breakpoint!r} is not set")
        self._liste.remove(breakpoint)
        self._uebertragen()

    def clear(self):
        """Removes every breakpoint; `hit` stays."""
        self._liste.clear()
        self._uebertragen()

    def list(self):
        """The set breakpoints, in the order they were added."""
        return list(self._liste)

    def __iter__(self):
        return iter(list(self._liste))

    def __len__(self):
        return len(self._liste)

    def __contains__(self, breakpoint):
        return breakpoint in self._liste

    @property
    def hits(self):
        """Every breakpoint that caught the last step of the last step(n), run_to_stop() or
        run(): firings by cell, then potentials, then the step; () when it did not halt."""
        sim = self._simulation()
        namen = None
        aus = []
        for art, zelle, takt, wert in sim._halts():
            if art == "step":
                aus.append(Hit(art, None, None, takt, None))
                continue
            if namen is None:
                namen = sim.names
            aus.append(Hit(art, zelle, namen[zelle], takt, wert if art == "potential" else None))
        return tuple(aus)

    @property
    def hit(self):
        """The breakpoint that ended the last step(n), run_to_stop() or run(), or None."""
        treffer = self.hits
        return treffer[0] if treffer else None

    def __repr__(self):
        return f"<velkor.Breakpoints {len(self._liste)} set, hit {self.hit!r}>"


def _aufteilen(punkte):
    feuern = [p.cell for p in punkte if p.kind == "fires"]
    potenziale = [(p.cell, p.value) for p in punkte if p.kind == "potential"]
    takte = [p.value for p in punkte if p.kind == "step"]
    return feuern, potenziale, takte


class Haltestellen:
    """The breakpoint side of velkor.Simulation."""

    @property
    def breakpoints(self):
        """The set breakpoints (velkor.Breakpoints): add_fires, add_potential, add_step,
        list, remove, clear; hit is the last halt or None."""
        punkte = self.__dict__.get("_haltepunkte")
        if punkte is None:
            punkte = self.__dict__["_haltepunkte"] = Breakpoints(self)
        return punkte

    def run_to_stop(self, until_fires=None, until_step=None, until_potential=None):
        """"Simulation bis Stop": time steps up to the next stop mark of the input or its end,
        or the first step that a breakpoint catches. Does nothing once the input has ended.
        Returns the number of steps run.

        One-shot breakpoints for this run, beside the set ones: until_fires a cell or a list
        of cells; until_step a time step or a list of them; until_potential (cell, value) or
        a list of such pairs. breakpoints.hit tells which one halted."""
        if until_fires is None and until_step is None and until_potential is None:
            return super().run_to_stop()
        feuern = [self.cell_index(c) for c in _liste(until_fires, lambda w: isinstance(w, (str, _numbers.Integral)))]
        takte = [_takt(t) for t in _liste(until_step, lambda w: isinstance(w, _numbers.Integral))]
        potenziale = []
        for paar in _liste(until_potential, _paar):
            try:
                zelle, wert = paar
            except (TypeError, ValueError):
                raise TypeError("until_potential is a pair (cell, value) or a list of them") from None
            potenziale.append((self.cell_index(zelle), _wert(wert)))
        return self._run_to_stop_until(feuern, potenziale, takte)
