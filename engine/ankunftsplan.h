#pragma once
// Arrivals by schedule instead of by countdown, for P of 99 and more.
//
// With P >= 99 every countdown step succeeds, so a spike launched in step n
// over a connection with delay d >= 0 arrives in phase 3 of step n + d,
// unless its source fires again before (then the new spike replaces it). What
// matters of a cell is therefore only the step of its latest firing: the
// counters follow from it. The plan keeps that step per cell and, per future
// step, the cells that may have arrivals then; phase 3 visits only those, and
// of each only the connections of the one delay that arrives, in list order.
// The random draws that the countdown would make (one per counter of 2 or
// more or negative, per step) are counted by a difference array over the
// coming steps and skipped in one jump of the generator.
//
// While the plan is live, `laufzaehler` is not kept (the column is empty);
// `verlassen` writes the exact counters back and hands over to the countdown.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace velkor {

struct Netz;

class Ankunftsplan {
 public:
  // The connections of one delay of a cell, in list order: the places
  // [anfang, anfang + anzahl) of the columns (a cell's connections stand by
  // delay, see engine/reihenfolge.h).
  struct Gruppe {
    int32_t zelle;
    int32_t verzoegerung;
    uint32_t anzahl;
    uint32_t anfang;
  };
  // Longest delay the schedule handles; nets with longer ones count down.
  static constexpr int32_t hoechsteVerzoegerung = 1 << 16;

  bool aktiv() const { return aktiv_; }
  // Drops everything (after a load).
  void verwerfen();
  // Takes over from the counters of the net: true when every cell's counters
  // fit one firing step each (they do unless P < 99 stalled some of them) and
  // the delays fit the schedule. Then the counter column is released.
  bool betreten(Netz& netz);
  // Writes the exact counters into `laufzaehler` and hands back to the countdown.
  void verlassen(Netz& netz);
  // The counters as `verlassen` would write them, into `aus` (list order),
  // while the schedule stays live.
  void zaehlerSchreiben(const Netz& netz, std::vector<int32_t>& aus) const;
  // What the counters follow from: per cell the step of its latest firing
  // (keinFeuer: none yet), and the step of the next phase 3.
  static constexpr int64_t keinFeuer = INT64_MIN;
  const std::vector<int64_t>& feuerschritte() const { return letztes_; }
  int64_t jetzt() const { return jetzt_; }
  // The counters that such firing steps give at step `jetzt`.
  static void zaehlerAus(const Netz& netz, const int64_t* feuerschritte, int64_t jetzt, std::vector<int32_t>& aus);
  // Whether `betreten` is worth trying now: after a failure it waits until
  // the stalled spikes can have arrived (two calls per time step), and never
  // again for a delay too long for the schedule.
  bool versuchen() const { return sperreBis_ <= versuche_; }
  void schrittOhnePlan() { ++versuche_; }

  // Phase 1: cell c fires. With phase 1 in pieces, piece s notes it in
  // store s, so that the pieces never write to one place.
  void gefeuert(int32_t c, std::size_t stueck = 0);
  // The same for the cells of a list (any order: what a firing notes does
  // not depend on the others); the cells' records of the schedule are
  // fetched some places ahead. Negative entries are skipped.
  void gefeuert(const std::vector<int32_t>& zellen, std::size_t stueck = 0);
  // Phases 1 and 3 in pieces: store s holds the groups of the cells of piece
  // s (engine/teilarbeit.h, stueckanfang) and no others, so that phase 3 in
  // the same pieces finds its due groups in its own store. Call before the
  // pieces run: where the cut differs from the last one, every entry moves
  // to the store of its piece.
  void aufteilen(const Netz& netz, int32_t stuecke);
  // A single walk notes every firing in store 0: the cut is lost.
  void einzeln() {
    if (stuecke_ != 1) stuecke_ = 0;
  }
  // Phase 3: the groups with arrivals now, in the order of their cells.
  // Calls f(gruppe) for each. Then returns the number of draws of this
  // step and moves on to the next step.
  template <class F>
  uint64_t ankuenfte(F&& f);
  // The same in pieces, for phase 3 in pieces (after `aufteilen`): the
  // numbers of piece s's groups due now, ascending, stale ones included
  // (call once per piece and step); whether group g arrives now (its cell
  // did not fire again since); then, after the arrivals, `weiter` moves on
  // to the next step and returns the draws.
  const std::vector<uint32_t>& faelligImStueck(int32_t s);
  const Gruppe& gruppe(uint32_t g) const { return gruppen_[g]; }
  bool kommtJetzt(uint32_t g) const {
    return letztes_[static_cast<std::size_t>(gruppen_[g].zelle)] + gruppen_[g].verzoegerung == jetzt_;
  }
  // Always inlined: GCC drops a call to a function that only fetches ahead.
  [[gnu::always_inline]] void nummerVorholen(uint32_t g, int stufe) const {
    if (stufe == 0) {
      __builtin_prefetch(gruppen_.data() + g);
    } else {
      __builtin_prefetch(letztes_.data() + gruppen_[g].zelle);
    }
  }
  uint64_t weiter();

  // The numbers of `eimer` (groups von .. bis - 1), each once and ascending,
  // into `aus`; `eimer` is left empty. Many numbers are sorted through a bit
  // per group (`bitfeld`, scratch that is left all 0).
  static void ordnen(std::vector<uint32_t>& eimer, uint32_t von, uint32_t bis, std::vector<uint64_t>& bitfeld,
                     std::vector<uint32_t>& aus);

 private:
  bool gruppenBilden(const Netz& netz);
  bool zelleUebernehmen(const Netz& netz, int32_t c, const int32_t* lauf);
  std::size_t platz(int64_t schritt) const { return static_cast<std::size_t>(schritt) & maske_; }
  // Per piece of phase 1 (see aufteilen): per step mod size, the groups that arrive then (a
  // group whose cell fired again since stays there and is skipped as stale),
  // and the change of the draws; the draws per step of the never-ending
  // counters. The first store is the one of a single thread.
  struct alignas(64) Ablage {
    std::vector<std::vector<uint32_t>> ring;
    std::vector<int64_t> zugaenderung;
    uint64_t zuegeEwig = 0;
    // Phase 3 in pieces: the piece's due groups and a bit per group of its cells.
    std::vector<uint32_t> faellig;
    std::vector<uint64_t> bitfeld;
  };
  void ablagenAnlegen(std::size_t anzahl);
  void anmelden(int32_t c, int64_t n, Ablage& a);
  void abmelden(int32_t c, int64_t alt, int64_t n, Ablage& a);
  const std::vector<uint32_t>& faelligeGruppen();

  bool aktiv_ = false;
  // Per-load data: the delay groups of every cell (delays and targets are fixed after a load; whatever changes them
  // discards the plan, see Laufplan::verwerfen).
  const void* netzKennung_ = nullptr;
  std::size_t verbindungszahl_ = 0;
  bool gruppenGueltig_ = false;
  std::vector<uint32_t> gruppenstart_;  // per cell, into gruppen_, sorted by delay
  std::vector<Gruppe> gruppen_;
  std::vector<uint32_t> ewig_;  // per cell: connections whose counter never ends
  int32_t laengste_ = 0;        // longest delay of a group

  // The schedule.
  static constexpr int64_t nie = keinFeuer;
  int64_t jetzt_ = 0;             // the step of the next phase 3
  std::vector<int64_t> letztes_;  // per cell: step of its latest firing
  // The groups are numbered in cell order, so ascending numbers visit the
  // cells in index order.
  std::vector<Ablage> ablagen_;
  // The cut of the stores: their count (0: entries may stand in any store),
  // the cells it was made for and the first group of each piece.
  int32_t stuecke_ = 1;
  int32_t schnittErste_ = 0;
  int32_t schnittZellen_ = 0;
  std::vector<uint32_t> schnitt_;
  std::size_t maske_ = 0;
  int64_t zuegeLaufend_ = 0;  // draws per step of the counting connections
  std::vector<uint32_t> faellig_;
  std::vector<uint64_t> bitfeld_;
  uint64_t versuche_ = 0;
  uint64_t sperreBis_ = 0;
};

template <class F>
uint64_t Ankunftsplan::ankuenfte(F&& f) {
  const int64_t t = jetzt_;
  const Gruppe* gruppen = gruppen_.data();
  const int64_t* letztes = letztes_.data();
  const std::vector<uint32_t>& faellig = faelligeGruppen();
  const std::size_t n = faellig.size();
  for (std::size_t j = 0; j < n; ++j) {
    // The groups and the firing steps of their cells are spread over memory:
    // fetched some places ahead.
    if (j + 16 < n) __builtin_prefetch(gruppen + faellig[j + 16]);
    if (j + 8 < n) __builtin_prefetch(letztes + gruppen[faellig[j + 8]].zelle);
    const Gruppe& g = gruppen[faellig[j]];
    // Only the latest firing of the cell counts.
    if (letztes[static_cast<std::size_t>(g.zelle)] + g.verzoegerung == t) f(g);
  }
  return weiter();
}

inline uint64_t Ankunftsplan::weiter() {
  const std::size_t jetzt = platz(jetzt_);
  uint64_t ewig = 0;
  for (Ablage& a : ablagen_) {
    zuegeLaufend_ += a.zugaenderung[jetzt];
    a.zugaenderung[jetzt] = 0;
    ewig += a.zuegeEwig;
  }
  ++jetzt_;
  return static_cast<uint64_t>(zuegeLaufend_) + ewig;
}

}  // namespace velkor
