#pragma once
// One time step and series of time steps.

#include <cstddef>
#include <cstdint>

#include "engine/simulation.h"
#include "engine/zyklusanzeige.h"

namespace velkor {

// Slow-motion busy loop: zeitlupe × 2000 (signed 32-bit, wrapping) + 1 turns
// of an arctangent, none when that product is negative.
void zeitlupePause(int32_t zeitlupe);
// The number of turns that zeitlupePause runs for `zeitlupe`.
int64_t zeitlupeRunden(int32_t zeitlupe);

// Phase 1: pause, then per cell firing test, firing, decay, refractory
// countdown, recovery of the learning factor, per-step weight update.
void feuern(Simulation& sim, Zyklusanzeige& anzeige);
// Learning at the arrival of a spike over connection k at cell `ziel`.
void ankunftslernen(Netz& netz, std::size_t k, TZelle& ziel);
// The same on the connection's values: `gewicht` is its weight, changed in place.
// `verbraucht`: the connection uses up the learning factor of its target,
// maximalgewicht != startgewicht.
inline void ankunftslernen(double& gewicht, double lernschritt, double maximalgewicht, bool verbraucht, TZelle& ziel) {
  // 1. Weight change. Without a learning step only an excitatory weight moves
  // towards its maximum.
  if (lernschritt != nichtGegebenReal) {
    gewicht = gewicht + lernschritt * ziel.lernfaktor;
  } else if (gewicht > 0) {
    gewicht = gewicht + (maximalgewicht - gewicht) * ziel.lernfaktor;
  }
  // 2. A learning connection uses up the learning factor of a target with a
  // positive change rate; later arrivals in this phase see the reset value.
  if (verbraucht && ziel.aenderungsrate > 0) ziel.lernfaktor = ziel.lernfaktorstart;
  // 3. Cap, for every connection at every accepted arrival. There is no lower bound.
  if (gewicht > maximalgewicht) gewicht = maximalgewicht;
}
// Phase 3: countdown of the spikes in transit and their arrivals.
void weiterleiten(Simulation& sim);
// With P >= 99 the engine keeps spikes in transit by schedule and not in
// `laufzaehler` (the column may then be empty). This writes the exact
// counters back (as the countdown would have left them) and hands over to the
// countdown; the next time step at P >= 99 takes over again. Call it before
// reading `laufzaehler`, and before changing it by hand (then also
// plan.verwerfen()).
void laufzaehlerAbgleichen(Simulation& sim);

// zeilenvorschub, feuern, eingabelesen, weiterleiten, anzeigen, taktanzeige,
// then zeittakt + 1.
void einzelzyklus(Simulation& sim, Zyklusanzeige& anzeige);
// With netzfehler: the notice, no time step. Otherwise time steps until
// `anhalten` is set (at least one). Returns the number of steps run.
int64_t zyklus(Simulation& sim, Zyklusanzeige& anzeige);

}  // namespace velkor
