#include "engine/zyklus.h"

#include <cmath>

#include "engine/umlauf.h"

namespace velkor {

int64_t zeitlupeRunden(int32_t zeitlupe) {
  // zeitlupe × 2000 as a signed 32-bit product: large values wrap around, and
  // a product that wraps below 0 means no pause at all.
  int32_t n = umlaufendMal(zeitlupe, 2000);
  return n >= 0 ? static_cast<int64_t>(n) + 1 : 0;
}

void zeitlupePause(int32_t zeitlupe) {
  int64_t runden = zeitlupeRunden(zeitlupe);
  double summe = 0.0;
  for (int64_t k = 0; k < runden; ++k) summe += std::atan(static_cast<double>(k));
  // The result goes to a volatile of its own, so the compiler cannot drop the
  // loop, and simulations on threads of their own do not share it.
  volatile double senke = summe;
  (void)senke;
}

void einzelzyklus(Simulation& sim, Zyklusanzeige& anzeige) {
  anzeige.zeilenvorschub();
  feuern(sim, anzeige);                                                 // phase 1
  sim.eingabe.eingabelesen(sim.netz, sim.zeittakt, sim.lauf, anzeige);  // phase 2
  weiterleiten(sim);                                                    // phase 3
  anzeige.anzeigen();                                                   // phase 4
  anzeige.taktanzeige();
  sim.zeittakt = umlaufendPlus(sim.zeittakt, 1);
}

int64_t zyklus(Simulation& sim, Zyklusanzeige& anzeige) {
  // A faulty net is never simulated: its targets may name no cell.
  if (sim.lauf.netzfehler) {
    anzeige.netzfehlerHinweis();
    return 0;
  }
  // The test follows each time step, so every call runs at least one.
  int64_t schritte = 0;
  do {
    einzelzyklus(sim, anzeige);
    ++schritte;
  } while (!sim.lauf.anhalten);
  return schritte;
}

}  // namespace velkor
