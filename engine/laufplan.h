#pragma once
// What the engine derives from the loaded net to make a time step cost what
// actually happens in it instead of a walk over every connection. Everything
// here can be rebuilt from the cell table and the connection columns at any
// time; it never holds state of its own that the net does not also hold.
//
// - Which cells have a spike in transit on some outgoing connection, so that
//   phase 3 walks only their lists (in index order, so arrivals and random
//   draws keep their order).
// - With P >= 99: the arrivals by schedule (Ankunftsplan). That one does hold
//   state of its own, the firing step of every cell, in place of the counters
//   `laufzaehler`; laufzaehlerAbgleichen (engine/zyklus.h) writes them back.
// - Which cells are refractory (refraktaerrest != 0), one byte per cell, so
//   that the many arrivals that are lost cost no visit of the target record.
// - Which cells have an outgoing connection whose weight can change in the
//   per-step update: a factor of exactly 1.0 towards a target outside the
//   windowed rule leaves the weight as it is (x * 1.0 == x for every double).
//   Both the factor and the target's rate of change are fixed after a load.

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

#include "engine/ankunftsplan.h"
#include "engine/teilarbeit.h"

namespace velkor {

struct Netz;

class Laufplan {
 public:
  // The net was loaded or changed outside a time step: rebuild before the next
  // phase. Spikes in transit by schedule are dropped, so call
  // laufzaehlerAbgleichen first when the net keeps running.
  void verwerfen() {
    gueltig_ = false;
    ereignisse.verwerfen();
  }
  // Rebuilds the plan if it was discarded or does not belong to this net.
  // The net's connections are put in order by delay first (engine/reihenfolge.h).
  void pruefen(Netz& netz);

  // Per cell: refraktaerrest != 0. Kept up to date by phase 1, the only
  // phase that changes refraktaerrest.
  std::vector<uint8_t> gesperrt;
  // Per cell: some outgoing connection needs the per-step weight update.
  std::vector<uint8_t> gewichtsschritt;
  // Per cell: every outgoing connection keeps its weight at arrivals as long
  // as the target's learning factor is finite: no learning step, maximum
  // weight equal to the start weight and to the finite weight, and no change
  // in the per-step update. Such an arrival only adds the weight.
  std::vector<uint8_t> festeGewichte;
  // Per cell: which of its connections use up the learning factor of their
  // target at an arrival (maximalgewicht != startgewicht). Only where some do
  // and some do not, the pieces of phase 3 read the start weights.
  enum Verbrauch : uint8_t { keiner = 0, jeder = 1, einige = 2 };
  std::vector<uint8_t> verbrauch;
  // Phase 3 runs in parts only while every place of a connection fits the
  // 31 bits of an arrival handed between parts (engine/teilarbeit.h).
  std::size_t teilbarePlaetze = std::size_t{1} << 31U;
  // Cells that had a spike in transit after the last phase 3, ascending.
  std::vector<int32_t> unterwegs;
  // Cells that launched spikes in phase 1 since the last phase 3, ascending.
  std::vector<int32_t> gestartet;
  // Phase 1 by schedule on one thread: the cells that fired, for the schedule after the walk.
  std::vector<int32_t> feuernd;
  // Arrivals by schedule, live while P >= 99 (see engine/ankunftsplan.h).
  Ankunftsplan ereignisse;
  // Before a phase: enters the schedule at P >= 99 when the counters allow it,
  // leaves it (counters written back) at P < 99.
  void modusWaehlen(Netz& netz, int32_t pWert);
  // Writes the counters back if the schedule is live, and leaves it.
  void abgleichen(Netz& netz);

  // Moves `gestartet` into `unterwegs`, keeping it ascending and without repeats.
  void vereinigen();
  // Long lists are worked through in chunks of this many connections.
  static constexpr std::size_t stueck = 1024;
  // Per cell: its connections to targets of the windowed rule, in list order,
  // at [fensterstart[c], fensterstart[c + 1]) of fensterverbindungen; fixed
  // after a load. The connection numbers take 4 bytes where the net has fewer
  // than 2^32 connections, 8 otherwise (fensterverbindungenLang); the other
  // column is empty.
  std::vector<std::size_t> fensterstart;
  std::vector<uint32_t> fensterverbindungen;
  std::vector<std::size_t> fensterverbindungenLang;
  // The target of each of them, in the same order, by its place in
  // fensterzellen: the update reads it from here instead of from the target
  // column of every connection.
  std::vector<int32_t> fensterziele;
  // The cells whose incoming weights follow the windowed rule
  // (!(aenderungsrate >= 0)), ascending, and per cell c (zellenzahl + 1
  // entries) how many of them come before c; fixed after a load.
  std::vector<int32_t> fensterzellen;
  std::vector<int32_t> fensterrang;
  bool fensterLang = false;
  std::size_t fensterzahl() const { return fensterstart.empty() ? 0 : fensterstart.back(); }
  // Scratch of phase 1: the weights of one cell's windowed connections.
  std::vector<double> gerettet;
  // Scratch list of phase 3, kept to avoid an allocation per step.
  std::vector<int32_t> naechste;
  // Scratch list of phase 3 by schedule: the cells with arrivals and their group.
  std::vector<Ankunftsplan::Gruppe> faellig;
  // Scratch of the phases that run in parts on several threads.
  std::vector<Teilarbeit> teilarbeit;
  std::vector<std::size_t> grenzen;
  // Scratch of a run shared by several processes: what this one hands on in
  // phase 3, and what all hand on (engine/verbund.h).
  std::vector<unsigned char> senden;
  std::vector<unsigned char> empfangen;
  std::vector<std::size_t> empfangsgrenzen;
  std::vector<Buendel> buendel;
  // Phase 1: each cell of fensterzellen, at the same place, before ([0]) and
  // after ([1]) its own steps A and B in this pass, as far as the windowed
  // rule reads it; sized with the plan, filled before each walk. Picked by
  // index: which of the two a connection sees follows from the places of
  // source and target, which a branch cannot foresee.
  struct Stand {
    double lernfaktor[2];
    double lernfaktorstart;
    bool feuernd[2];  // counts as firing
  };
  std::vector<Stand> staende;
  // Prepares the scratch of `teile` parts.
  void teileVorbereiten(int32_t teile) {
    teilarbeit.resize(static_cast<std::size_t>(teile));
    for (Teilarbeit& t : teilarbeit) t.vorbereiten(static_cast<std::size_t>(teile));
  }

 private:
  void aufbauen(const Netz& netz);

  bool gueltig_ = false;
  // The net the plan was built for.
  const void* spalte_ = nullptr;
  std::size_t verbindungszahl_ = 0;
  int32_t zellenzahl_ = -1;
};

}  // namespace velkor
