#pragma once
// The time step exactly as described, without any shortcut: every cell,
// every connection, every draw. The engine's fast paths must give the same
// course, byte for byte, and the identity tests compare them with this.

#include <cstdint>

#include "engine/simulation.h"
#include "engine/zyklusanzeige.h"

namespace velkor::referenz {

void feuern(Simulation& sim, Zyklusanzeige& anzeige);
void weiterleiten(Simulation& sim);
// zeilenvorschub, feuern, eingabelesen, weiterleiten, anzeigen, taktanzeige,
// zeittakt + 1, with the two phases above.
void einzelzyklus(Simulation& sim, Zyklusanzeige& anzeige);
// Time steps until `anhalten` is set (at least one); none on a faulty net.
int64_t zyklus(Simulation& sim, Zyklusanzeige& anzeige);

}  // namespace velkor::referenz
