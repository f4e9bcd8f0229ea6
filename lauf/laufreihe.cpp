#include "lauf/laufreihe.h"

#include "display/anzeige.h"
#include "engine/zyklus.h"

namespace velkor {

int64_t zyklusLaufen(Simulation& sim, Zyklusanzeige& hooks) { return zyklus(sim, hooks); }

int64_t einzelschritt(Simulation& sim, Zyklusanzeige& hooks) {
  sim.lauf.anhalten = true;
  return zyklusLaufen(sim, hooks);
}

int64_t bisStop(Simulation& sim, Zyklusanzeige& hooks, Anzeige* anzeige) {
  if (sim.lauf.eingabeEnde) return 0;
  if (anzeige != nullptr && anzeige->canvas().zeichnet()) {
    anzeige->hinweis(80, hinweisBisStop);
    anzeige->farbenZuruecksetzen();
  }
  sim.lauf.anhalten = false;
  return zyklusLaufen(sim, hooks);
}

}  // namespace velkor
