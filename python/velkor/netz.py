"""velkor.Net: a net built in Python, written as net-file text and loaded by the
same loader as any net file."""

import math

_ZELLWORTE = (("threshold", "s"), ("decay", "a"), ("refractory", "r"), ("learning", "v"),
              ("recovery", "g"), ("change_rate", "h"))
_VERBINDUNGSWORTE = (("weight_factor", "i"), ("max_weight", "m"), ("learning_step", "l"),
                     ("time_window", "x"))
_GANZ = {"refractory", "time_window", "delay", "row", "column"}


def _zahl(schluessel, wert):
    """A value as the loader reads it: reals always with a decimal point."""
    if schluessel in _GANZ:
        if isinstance(wert, bool) or int(wert) != wert:
            raise ValueError(f"{schluessel} must be a whole number, not {wert!r}")
        w = int(wert)
        if not -2**31 <= w < 2**31:
            raise ValueError(f"{schluessel} {w} does not fit 32 bits")
        return str(w)
    w = float(wert)
    if not math.isfinite(w):
        raise ValueError(f"{schluessel} must be finite, not {w!r}")
    text = repr(w)
    mantisse, e, exponent = text.partition("e")
    if "." not in mantisse:
        mantisse += ".0"
    return mantisse + e + exponent


def _name(name):
    if not isinstance(name, str):
        raise TypeError("a cell name is a str")
    roh = name.encode("utf-8", "surrogateescape")
    if not roh or len(roh) > 6 or any(ch.isspace() for ch in name):
        raise ValueError(f"a cell name has 1 to 6 bytes and no blanks: {name!r}")
    return name


class Net:
    """A net built in Python.

        net = velkor.Net(threshold=1.0, decay=0.5, refractory=2)   # defaults ("f" block)
        a = net.add_cell("A", row=1, column=1)
        b = net.add_cell("B", row=1, column=5, threshold=0.5)
        net.connect(a, b, weight=1.2, delay=2)
        sim = velkor.Simulation(net)       # or net.text() for the net-file text

    Values left out (None) are not given, exactly as a missing word in the file.
    Defaults: threshold, decay, refractory, learning, recovery, change_rate for cells;
    weight, delay, weight_factor, max_weight, learning_step, time_window for connections.
    numbered=True writes the numbered form (targets by number, names may repeat).
    """

    def __init__(self, numbered=False, **defaults):
        erlaubt = {k for k, _ in _ZELLWORTE} | {k for k, _ in _VERBINDUNGSWORTE} | {"weight", "delay"}
        fremd = set(defaults) - erlaubt
        if fremd:
            raise TypeError(f"unknown defaults: {sorted(fremd)}")
        self.numbered = bool(numbered)
        self.defaults = {k: v for k, v in defaults.items() if v is not None}
        self._zellen = []    # (name, row, column, {key: value})
        self._ausgang = []   # per cell: [(target, weight, delay, {key: value})]
        self._namen = {}

    def __len__(self):
        return len(self._zellen)

    def __repr__(self):
        n = sum(len(a) for a in self._ausgang)
        return f"<velkor.Net {len(self._zellen)} cells, {n} connections{', numbered' if self.numbered else ''}>"

    def add_cell(self, name, row=None, column=None, threshold=None, decay=None, refractory=None,
                 learning=None, recovery=None, change_rate=None):
        """Adds a cell; returns its index."""
        name = _name(name)
        if not self.numbered and name in self._namen:
            raise ValueError(f"a cell named {name!r} exists already (numbered=True allows it)")
        werte = {"threshold": threshold, "decay": decay, "refractory": refractory, "learning": learning,
                 "recovery": recovery, "change_rate": change_rate}
        werte = {k: _zahl(k, v) for k, v in werte.items() if v is not None}
        lage = [None if v is None else _zahl(k, v) for k, v in (("row", row), ("column", column))]
        self._namen.setdefault(name, len(self._zellen))
        self._zellen.append((name, lage[0], lage[1], werte))
        self._ausgang.append([])
        return len(self._zellen) - 1

    def _index(self, zelle):
        if isinstance(zelle, str):
            if zelle not in self._namen:
                raise ValueError(f"no cell named {zelle!r}")
            return self._namen[zelle]
        c = int(zelle)
        if not 0 <= c < len(self._zellen):
            raise ValueError(f"no cell {c}")
        return c

    def connect(self, source, target, weight=None, delay=None, weight_factor=None, max_weight=None,
                learning_step=None, time_window=None):
        """Connects source to target (index or name). The simulation lists each cell's
        connections newest first."""
        q, z = self._index(source), self._index(target)
        werte = {"weight_factor": weight_factor, "max_weight": max_weight, "learning_step": learning_step,
                 "time_window": time_window}
        werte = {k: _zahl(k, v) for k, v in werte.items() if v is not None}
        g = None if weight is None else _zahl("weight", weight)
        d = None if delay is None else _zahl("delay", delay)
        self._ausgang[q].append((z, g, d, werte))

    def text(self):
        """The net-file text."""
        zeilen = []
        if self.numbered:
            zeilen.append(f"$ {len(self._zellen)}")
        for (name, zeile, spalte, werte), ausgang in zip(self._zellen, self._ausgang):
            zeilen.append(" ".join(["z", name] + ([zeile or "-1", spalte or "-1"] if zeile or spalte else [])))
            zeilen += [f"{wort} {werte[k]}" for k, wort in _ZELLWORTE if k in werte]
            for ziel, g, d, vwerte in ausgang:
                ziel_text = str(ziel) if self.numbered else self._zellen[ziel][0]
                zeilen.append(" ".join(["c", ziel_text, g or "-1.0", d or "-1"]))
                zeilen += [f"{wort} {vwerte[k]}" for k, wort in _VERBINDUNGSWORTE if k in vwerte]
        # Defaults stand last: they fill every cell and connection above.
        if "weight" in self.defaults:
            zeilen.append("w " + _zahl("weight", self.defaults["weight"]))
        if "delay" in self.defaults:
            zeilen.append("d " + _zahl("delay", self.defaults["delay"]))
        block = [f"{wort} {_zahl(k, self.defaults[k])}" for k, wort in _ZELLWORTE + _VERBINDUNGSWORTE
                 if k in self.defaults]
        if block:
            zeilen += ["f"] + block
        return "\n".join(zeilen) + "\n"
