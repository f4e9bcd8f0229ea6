"""Why did a cell fire (or not)? The explanation of one time step of one cell."""

import json as _json

import numpy as _np

# The arrivals as a record array: one row per spike that reached the cell in
# phase 3, in walk order.
ARRIVAL_DTYPE = _np.dtype([
    ("source", _np.int32), ("connection", _np.int64), ("delay", _np.int32), ("lost", bool),
    ("refractory_rest", _np.int32), ("weight_before", _np.float64), ("weight", _np.float64),
    ("learning_factor_before", _np.float64), ("learning_factor_after", _np.float64),
    ("potential_before", _np.float64), ("potential_after", _np.float64), ("floor", bool),
])


def _zahl(x):
    return float(x) if isinstance(x, str) else x  # "NaN", "Infinity" stand as strings


class Explanation:
    """What happened to one cell in one time step, reproduced in the plain form of the
    step with every arrival written down; its own numbers give the cell's state after
    the step bit for bit.

    cell, name, step, fired; before, after (potential, refractory_rest,
    learning_factor); parameters; firing_test, recovery (dicts); weight_updates (list of
    dicts, the per-step rule on the incoming connections); inputs (input entries
    applied); arrivals (NumPy record array, see velkor.erklaerung.ARRIVAL_DTYPE); stalls
    (its outgoing spikes held back at P below 99); as_dict(). str() is readable text."""

    def __init__(self, text, daten):
        self._text = text
        self._d = daten
        self.cell = daten["cell"]
        self.name = daten.get("name")
        self.step = daten["step"]
        self.parameters = daten.get("parameters", {})
        self.before = daten.get("before", {})
        self.after = daten.get("after", {})
        self.firing_test = daten.get("firing_test", {})
        self.fired = bool(self.firing_test.get("fired", False))
        self.recovery = daten.get("recovery", {})
        self.weight_updates = daten.get("weight_updates", [])
        self.inputs = daten.get("inputs", [])
        self.stalls = daten.get("stalls", [])
        zeilen = [tuple(_zahl(a[f]) if a.get(f) is not None else 0 for f in
                        ("source", "list_index", "delay", "lost", "refractory_rest", "weight_before", "weight",
                         "learning_factor_before", "learning_factor_after", "potential_before", "potential_after",
                         "floor"))
                  for a in daten.get("arrivals", [])]
        self.arrivals = _np.array(zeilen, dtype=ARRIVAL_DTYPE)

    def as_dict(self):
        """Everything, as the JSON form of velkor-batch --explain --json has it."""
        return self._d

    def __str__(self):
        return self._text

    def __repr__(self):
        wer = self.name if self.name else f"#{self.cell}"
        return (f"<velkor.Explanation {wer} at step {self.step}: {'fired' if self.fired else 'did not fire'}, "
                f"{len(self.arrivals)} arrivals>")


def erklaerungen(roh):
    """[(text bytes, json bytes)] -> [Explanation]."""
    aus = []
    for text, daten in roh:
        aus.append(Explanation(text.decode("utf-8", "surrogateescape"),
                               _json.loads(daten.decode("utf-8", "surrogateescape"))))
    return aus
