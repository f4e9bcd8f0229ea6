#pragma once
// Why did a cell fire (or not) in a time step: one time step run in the
// plain form (engine/schlicht.h) with a watcher that notes, for the cells
// asked about, everything that happened to them, in the order it happened.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "engine/schlicht.h"
#include "engine/simulation.h"
#include "engine/zyklusanzeige.h"

namespace velkor {

// What a time step changes of a cell.
struct Zellstand {
  double potenzial = 0;
  int32_t refraktaerrest = 0;
  double lernfaktor = 0;
};

// An input entry applied to the cell in phase 2.
struct Erregung {
  double potenzialVorher = 0;
  double potenzialNachher = 0;  // schwelle + 10
};

// The weight of a connection into the cell after the step.
struct Eingangsgewicht {
  std::size_t verbindung = 0;  // list index in the net
  double gewicht = 0;
};

struct Erklaerung {
  int32_t zelle = -1;
  bool vorhanden = false;  // the number names a cell; otherwise nothing else is set
  int32_t zeittakt = 0;    // the time step explained
  int32_t pWert = 0;
  // The walks of phases 1 and 3 start at the net's ersteZelle: a cell before
  // it runs through no steps A and B of its own.
  bool imDurchlauf = false;
  // The cell's parameters, as the step read them.
  double schwelle = 0;
  double abklingfaktor = 0;
  int32_t refraktaerzeit = 0;
  double lernfaktorstart = 0;
  double erholfaktor = 0;
  double aenderungsrate = 0;

  Zellstand vorher;  // at the start of the step
  // Phase 1: steps A and B of the cell; step C of every connection into it,
  // in walk order (with the weight at the start of the step).
  schlicht::Feuertest feuertest;
  schlicht::Erholung erholung;
  std::vector<schlicht::Gewichtsschritt> gewichtsschritte;
  // Phase 2: the input entries applied to it.
  std::vector<Erregung> erregungen;
  // Phase 3: the spikes that reached it, accepted or lost, in walk order,
  // and the countdown draws that stalled its outgoing spikes.
  std::vector<schlicht::Ankunft> ankuenfte;
  std::vector<schlicht::Stockung> stockungen;

  Zellstand nachher;  // after the step
  // The weights after the step, in the order of `gewichtsschritte`.
  std::vector<Eingangsgewicht> eingangsgewichte;
};

// Runs exactly one time step of `sim` as einzelzyklus does (zeilenvorschub to
// zeittakt + 1, `hooks` told as by the engine), in the plain form, and
// explains it for each cell of `zellen`, in that order (a number that names
// no cell gets an explanation with vorhanden false). Afterwards `sim` is what
// the engine's own time step would have left; the engine rebuilds what it
// derives from the net before its next step. On a faulty net: the notice,
// no time step and no explanation.
std::vector<Erklaerung> erklaeren(Simulation& sim, const std::vector<int32_t>& zellen, Zyklusanzeige& hooks);

// The cell's state after the step worked out again from the explanation's
// own numbers alone: the start state and the parameters, steps A and B, the
// input, the per-step rule of the incoming connections, the arrivals in
// order.
struct Nachrechnung {
  Zellstand stand;
  std::vector<Eingangsgewicht> eingangsgewichte;  // in the order of gewichtsschritte
};
Nachrechnung nachrechnen(const Erklaerung& e);
// Whether nachrechnen(e) gives e.nachher and e.eingangsgewichte bit for bit.
bool nachgerechnetGleich(const Erklaerung& e);

}  // namespace velkor
