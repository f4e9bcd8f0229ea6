// Phase 3 of a time step: spikes in transit count down and arrive, with
// learning at arrival.

#include "engine/umlauf.h"
#include "engine/zyklus.h"

namespace velkor {

void ankunftslernen(Netz& netz, std::size_t k, TZelle& ziel) {
  Verbindungen& v = netz.verbindungen;
  double& gewicht = v.gewicht[k];
  // 1. Weight change. Without a learning step only an excitatory weight moves
  // towards its maximum.
  if (v.lernschritt[k] != nichtGegebenReal) {
    gewicht = gewicht + v.lernschritt[k] * ziel.lernfaktor;
  } else if (gewicht > 0) {
    gewicht = gewicht + (v.maximalgewicht[k] - gewicht) * ziel.lernfaktor;
  }
  // 2. A learning connection uses up the learning factor of a target with a
  // positive change rate; later arrivals in this phase see the reset value.
  if (v.maximalgewicht[k] != v.startgewicht[k] && ziel.aenderungsrate > 0) ziel.lernfaktor = ziel.lernfaktorstart;
  // 3. Cap, for every connection at every accepted arrival. There is no lower bound.
  if (gewicht > v.maximalgewicht[k]) gewicht = v.maximalgewicht[k];
}

namespace {

void ankunft(Netz& netz, std::size_t k, int32_t zeittakt) {
  Verbindungen& v = netz.verbindungen;
  v.laufzaehler[k] = 0;
  TZelle& ziel = netz.Zelltabelle[static_cast<std::size_t>(v.ziel[k])];
  // Arrivals at a refractory cell are lost, also at a cell that fired in this
  // time step and at one whose refraktaerrest went negative.
  if (ziel.refraktaerrest != 0) return;
  v.letzteankunft[k] = zeittakt;
  ankunftslernen(netz, k, ziel);
  ziel.potenzial = ziel.potenzial + v.gewicht[k];
  // The floor after each single arrival: the result depends on the order in
  // which excitatory and inhibitory spikes come in.
  if (ziel.potenzial <= -ziel.schwelle) ziel.potenzial = -ziel.schwelle;
}

}  // namespace

void weiterleiten(Simulation& sim) {
  Netz& netz = sim.netz;
  Verbindungen& v = netz.verbindungen;
  const int32_t pWert = sim.param.pWert;
  for (int32_t c = netz.ersteZelle; c < netz.zellenzahl; ++c) {
    for (std::size_t k = netz.verbindungsanfang(c), ende = netz.verbindungsende(c); k < ende; ++k) {
      const int32_t lauf = v.laufzaehler[k];
      if (lauf == 0) continue;
      if (lauf == 1) {
        ankunft(netz, k, sim.zeittakt);
        continue;
      }
      // One draw for every counting connection in every step, whatever P is,
      // so the sequence of draws does not depend on P.
      if (sim.zufall.naechste0bis99() <= pWert) v.laufzaehler[k] = umlaufendMinus(lauf, 1);
    }
  }
}

}  // namespace velkor
