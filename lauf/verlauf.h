#pragma once
// The history of a run: checkpoints of the whole state taken as the steps go,
// so that any earlier step can be gone to again exactly (restore the nearest
// checkpoint at or before it, then run the steps in between again; the
// engine is deterministic in whole steps). Recent steps are dense, old ones
// sparse, and all of it stays within a memory budget.
//
// Edits between steps (a cell value set by hand, an excitation, a changed P)
// pin a checkpoint right after them, so a replay never has to repeat an edit;
// an edit or a step taken after going back drops the later history, as an
// undo stack does. The input phase is written down as it goes (every entry
// applied, stop marks, the end), so that a run can be written out as an
// input file that replays it.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/simulation.h"
#include "engine/zustandsbild.h"
#include "engine/zyklusanzeige.h"

namespace velkor {

class Verlauf {
 public:
  static constexpr std::size_t standardBudget = std::size_t{512} << 20U;
  // What the front end attaches to a checkpoint (the window: its picture,
  // display state and the trace log's place), handed back when going there.
  struct Beilage {
    virtual ~Beilage() = default;
    virtual std::size_t bytes() const = 0;
  };
  std::function<std::shared_ptr<Beilage>()> beilageAufnehmen;
  std::function<void(const Beilage*)> beilageHerstellen;

  std::size_t budget = standardBudget;
  // Share of the run time that checkpoints may take.
  double zeitanteil = 0.04;

  // At the start of a time step, before phase 1 (through Verlaufswache).
  void schrittBeginn(Simulation& sim);
  // Phase 2 applied an entry to `zelle` (-1: a stop mark, -2: the input ended).
  void eingabeNotieren(int32_t takt, int32_t zelle) { protokoll_.push_back({takt, zelle}); }
  // After an edit between steps: the later history goes, a checkpoint is pinned here.
  void aenderung(Simulation& sim);
  // The net or the input was loaded anew: the history starts again at `sim`.
  void neuBeginnen(const Simulation& sim);
  // Goes to step `n` (erster() .. letzter()): false, with `fehler`, outside
  // the history or when the state cannot be put back; the simulation then
  // stays as it was. The steps run again go through `hooks`.
  bool gehe(Simulation& sim, int32_t n, Zyklusanzeige& hooks, std::string& fehler);

  bool leer() const { return punkte_.empty(); }
  int32_t erster() const { return punkte_.empty() ? letzter_ : punkte_.front().bild.zeittakt; }
  int32_t letzter() const { return letzter_; }
  std::size_t speicher() const { return speicher_; }
  std::size_t punktzahl() const { return punkte_.size(); }
  // Seconds the last checkpoint took.
  double punktkosten() const { return punktkosten_; }
  std::vector<int32_t> punktschritte() const;
  // Whether every input entry since step 0 is written down.
  bool protokollVollstaendig() const { return vollstaendig_; }

  // The run as an input file: the entries applied before step
  // `sim.zeittakt`, those given by hand for it, then what the file still
  // holds. False, with `fehler`, where a cell cannot be named.
  bool eingabeText(const Simulation& sim, std::string& text, std::string& fehler) const;

 private:
  struct Punkt {
    Zustandsbild bild;
    bool fest = false;  // pinned by an edit
    std::shared_ptr<Beilage> beilage;
  };
  struct Eintrag {
    int32_t takt;
    int32_t zelle;
  };
  void aufnehmen(const Simulation& sim, bool fest);
  void zwischenpunkt(const Simulation& sim, int32_t voriger);
  Punkt& punkt(int32_t schritt);   // the checkpoint of that step (it must be there)
  void abschneiden(int32_t nach);  // drops what lies after step `nach`
  void entfernen(std::size_t i);
  void ausduennen();

  std::vector<Punkt> punkte_;
  std::vector<Eintrag> protokoll_;
  Packer packer_;
  std::size_t speicher_ = 0;
  int32_t letzter_ = 0;
  bool vollstaendig_ = false;
  // The checkpoint the last replay began at, and its goal.
  int32_t luecke_ = -1;
  int32_t ziel_ = -1;
  // The cost of the last checkpoint and the step time run since.
  using Uhr = std::chrono::steady_clock;
  double punktkosten_ = 0;
  double seitPunkt_ = 0;
  Uhr::time_point letzterBeginn_{};
  bool uhrLaeuft_ = false;
};

// Passes every hook on to `innen` and tells the history of each step's start
// and input phase. A front end runs its steps through it while the history
// is on.
class Verlaufswache final : public Zyklusanzeige {
 public:
  Verlaufswache(Verlauf& verlauf, Simulation& sim, Zyklusanzeige& innen) : v_(verlauf), sim_(sim), innen_(innen) {}
  void zeilenvorschub() override {
    v_.schrittBeginn(sim_);
    innen_.zeilenvorschub();
  }
  void refraktaerEnde(int32_t z) override { innen_.refraktaerEnde(z); }
  void gefeuert(int32_t z) override { innen_.gefeuert(z); }
  void erregt(int32_t z) override {
    v_.eingabeNotieren(sim_.zeittakt, z);
    innen_.erregt(z);
  }
  void anzeigen() override { innen_.anzeigen(); }
  void taktanzeige() override { innen_.taktanzeige(); }
  void eingabeHinweis() override {
    v_.eingabeNotieren(sim_.zeittakt, sim_.lauf.eingabeEnde ? -2 : -1);
    innen_.eingabeHinweis();
  }
  void netzfehlerHinweis() override { innen_.netzfehlerHinweis(); }

 private:
  Verlauf& v_;
  Simulation& sim_;
  Zyklusanzeige& innen_;
};

}  // namespace velkor
