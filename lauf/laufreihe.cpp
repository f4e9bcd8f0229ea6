#include "lauf/laufreihe.h"

#include "display/anzeige.h"
#include "engine/zyklus.h"

namespace velkor {

int64_t zyklusLaufen(Simulation& sim, Zyklusanzeige& hooks) { return zyklus(sim, hooks); }

int64_t zyklusLaufen(Simulation& sim, Zyklusanzeige& hooks, const Haltepunkte& haltepunkte, std::vector<Halt>& halte) {
  halte.clear();
  // Without breakpoints the cycle sees the front end's hooks alone.
  if (haltepunkte.leer()) return zyklusLaufen(sim, hooks);
  Haltwache wache(sim, hooks, haltepunkte, halte);
  return zyklus(sim, wache);
}

int64_t einzelschritt(Simulation& sim, Zyklusanzeige& hooks) {
  sim.lauf.anhalten = true;
  return zyklusLaufen(sim, hooks);
}

int64_t einzelschritt(Simulation& sim, Zyklusanzeige& hooks, const Haltepunkte& haltepunkte, std::vector<Halt>& halte) {
  sim.lauf.anhalten = true;
  return zyklusLaufen(sim, hooks, haltepunkte, halte);
}

namespace {

// "Simulation bis Stop" up to the cycle: false once the input has ended.
bool bisStopVorbereiten(Simulation& sim, Anzeige* anzeige) {
  if (sim.lauf.eingabeEnde) return false;
  if (anzeige != nullptr && anzeige->canvas().zeichnet()) {
    anzeige->hinweis(80, hinweisBisStop);
    anzeige->farbenZuruecksetzen();
  }
  sim.lauf.anhalten = false;
  return true;
}

}  // namespace

int64_t bisStop(Simulation& sim, Zyklusanzeige& hooks, Anzeige* anzeige) {
  if (!bisStopVorbereiten(sim, anzeige)) return 0;
  return zyklusLaufen(sim, hooks);
}

int64_t bisStop(Simulation& sim, Zyklusanzeige& hooks, Anzeige* anzeige, const Haltepunkte& haltepunkte,
                std::vector<Halt>& halte) {
  halte.clear();
  if (!bisStopVorbereiten(sim, anzeige)) return 0;
  return zyklusLaufen(sim, hooks, haltepunkte, halte);
}

}  // namespace velkor
