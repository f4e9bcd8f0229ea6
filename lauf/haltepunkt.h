#pragma once
// Breakpoints: conditions, set by the front end, that end a run after the
// time step in which they hold, as a stop mark of the input does. The run
// ends there (`anhalten`), and the next run or single step simply goes on
// with the next time step.

#include <cstdint>
#include <string_view>
#include <vector>

#include "engine/simulation.h"
#include "engine/zyklusanzeige.h"

namespace velkor {

// The potential of `zelle` crossing `wert` in a time step.
struct Potenzialmarke {
  int32_t zelle = 0;
  double wert = 0.0;
  bool operator==(const Potenzialmarke&) const = default;
};

// Crossing: with a the potential at the start of the time step (before phase
// 1) and b at its end (after phase 3), in either direction: a and b lie
// strictly on different sides of `wert`, or b equals `wert` and a does not.
// A potential that stays exactly at the value crosses it only once.
inline bool ueberschritten(double anfang, double ende, double wert) {
  if (ende == wert) return anfang != wert;
  return (anfang < wert && ende > wert) || (anfang > wert && ende < wert);
}

// Set by the front end; cells outside the net never halt.
struct Haltepunkte {
  std::vector<int32_t> feuern;             // cells whose firing halts
  std::vector<Potenzialmarke> potenziale;  // potentials whose crossing halts
  std::vector<int32_t> takte;              // halt after time step N: the next step is N + 1

  bool leer() const { return feuern.empty() && potenziale.empty() && takte.empty(); }
  void leeren() {
    feuern.clear();
    potenziale.clear();
    takte.clear();
  }
  // Adds the breakpoints of `weitere` (for one-shot breakpoints beside the set ones).
  void hinzufuegen(const Haltepunkte& weitere);
};

enum class Haltart { feuern, potenzial, takt };

// One breakpoint that caught a time step.
struct Halt {
  Haltart art = Haltart::takt;
  int32_t zelle = -1;  // feuern, potenzial; -1 for takt
  int32_t takt = 0;    // the time step after which the run halted
  double wert = 0.0;   // potenzial: the value crossed
  bool operator==(const Halt&) const = default;
};

// Stands between the cycle and the front end's hooks while breakpoints are
// set: passes every hook on, notes the firings of watched cells as they come
// and looks at the potentials and the step number at the end of the step.
class Haltwache final : public Zyklusanzeige {
 public:
  Haltwache(Simulation& sim, Zyklusanzeige& innen, const Haltepunkte& haltepunkte, std::vector<Halt>& halte);

  void zeilenvorschub() override;
  void refraktaerEnde(int32_t zelle) override { innen_.refraktaerEnde(zelle); }
  void gefeuert(int32_t zelle) override;
  void anzeigen() override { innen_.anzeigen(); }
  void taktanzeige() override;
  void eingabeHinweis() override { innen_.eingabeHinweis(); }
  void netzfehlerHinweis() override { innen_.netzfehlerHinweis(); }

 private:
  Simulation& sim_;
  Zyklusanzeige& innen_;
  const Haltepunkte& haltepunkte_;
  std::vector<Halt>& halte_;
  void melden(const Halt& halt);

  std::vector<int32_t> feuern_;   // sorted, without duplicates
  std::vector<double> anfaenge_;  // per potential breakpoint, at the start of the step
  bool getroffen_ = false;        // a breakpoint caught this step
};

// The cell that a front end's text names: the first cell of that name; where
// no cell has it, "#N" or "N" (decimal digits) names cell N. -1: no cell.
int32_t zelleNachText(const Netz& netz, std::string_view text);

}  // namespace velkor
