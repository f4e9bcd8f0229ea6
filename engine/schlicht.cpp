// The straightforward time step, kept apart from the engine's fast paths so
// that a change of those cannot change the yardstick as well.

#include "engine/schlicht.h"

#include "engine/umlauf.h"
#include "engine/zyklus.h"

namespace velkor::schlicht {

namespace {

// A. Firing test and its consequences. The test does not look at
// refraktaerrest: a refractory cell pushed over its threshold fires again and
// its refractory phase starts over.
void feuertest(Netz& netz, int32_t c, Zyklusanzeige& anzeige, Beobachter* b) {
  TZelle& zelle = netz.Zelltabelle[static_cast<std::size_t>(c)];
  const bool erzaehlen = b != nullptr && b->zelleBeobachtet(c);
  Feuertest f;
  if (erzaehlen) {
    f.potenzial = zelle.potenzial;
    f.schwelle = zelle.schwelle;
    f.lernfaktorVorher = zelle.lernfaktor;
    f.abklingfaktor = zelle.abklingfaktor;
    f.refraktaerrestVorher = zelle.refraktaerrest;
  }
  bool erholt = false;
  if (zelle.potenzial >= zelle.schwelle) {
    if (zelle.aenderungsrate >= 0) {
      zelle.lernfaktor = zelle.lernfaktor + (1 - zelle.lernfaktor) * zelle.aenderungsrate;
    } else {
      zelle.lernfaktor = zelle.lernfaktor + zelle.lernfaktor * zelle.aenderungsrate;
    }
    zelle.potenzial = 0;
    zelle.refraktaerrest = zelle.refraktaerzeit;
    // A connection carries at most one spike: a spike still under way is replaced.
    Verbindungen& v = netz.verbindungen;
    const std::size_t anfang = netz.verbindungsanfang(c);
    const std::size_t ende = netz.verbindungsende(c);
    for (std::size_t i = anfang; i < ende; ++i) {
      v.laufzaehler[i] = umlaufendPlus(v.verzoegerung[netz.platz(c, i)], 1);
    }
    f.gefeuert = true;
    f.gestartet = ende - anfang;
    anzeige.gefeuert(c);
  } else {
    zelle.potenzial = zelle.potenzial * zelle.abklingfaktor;
    if (zelle.refraktaerrest > 0) {
      --zelle.refraktaerrest;
      erholt = zelle.refraktaerrest == 0;
    }
  }
  if (erzaehlen) {
    f.lernfaktorNachher = zelle.lernfaktor;
    f.potenzialNachher = zelle.potenzial;
    f.refraktaerrestNachher = zelle.refraktaerrest;
    b->feuertest(c, f);
  }
  if (erholt) anzeige.refraktaerEnde(c);
}

// B. Recovery of the learning factor towards lernfaktorstart; never while the
// cell is refractory, and never after a firing with refraktaerzeit -1.
void erholung(TZelle& zelle, int32_t c, Beobachter* b) {
  Erholung e;
  e.lief = zelle.refraktaerrest == 0;
  e.wachstum = zelle.erholfaktor >= 1;
  e.lernfaktorVorher = zelle.lernfaktor;
  e.lernfaktorBerechnet = zelle.lernfaktor;
  if (e.lief) {
    if (e.wachstum) {
      zelle.lernfaktor = zelle.lernfaktor * (1 + (1 - zelle.lernfaktor) * (zelle.erholfaktor - 1));
      e.lernfaktorBerechnet = zelle.lernfaktor;
      e.begrenzt = zelle.lernfaktor > zelle.lernfaktorstart;
      if (e.begrenzt) zelle.lernfaktor = zelle.lernfaktorstart;
    } else {
      zelle.lernfaktor = zelle.lernfaktor * zelle.erholfaktor;
      e.lernfaktorBerechnet = zelle.lernfaktor;
      e.begrenzt = zelle.aenderungsrate > 0 && zelle.lernfaktor < zelle.lernfaktorstart;
      if (e.begrenzt) zelle.lernfaktor = zelle.lernfaktorstart;
    }
  }
  if (b != nullptr && b->zelleBeobachtet(c)) {
    e.erholfaktor = zelle.erholfaktor;
    e.lernfaktorstart = zelle.lernfaktorstart;
    e.lernfaktorNachher = zelle.lernfaktor;
    b->erholung(c, e);
  }
}

// C. Per-step weight update of the outgoing connections of cell c.
//
// The windowed rule asks whether the target "counts as firing". A target with
// a lower index (or the cell itself) has already been through step A in this
// pass: if it fired now, its refraktaerrest equals its refraktaerzeit. A target
// with a higher index has not: if it is about to fire, its potential is at or
// above its threshold. The outcome depends on this order, and that is intended.
// letzteankunft is written in phase 3, after this phase, so an arrival of the
// current time step is not yet visible here.
void gewichtsschritt(Netz& netz, int32_t c, int32_t zeittakt, Beobachter* b) {
  Verbindungen& v = netz.verbindungen;
  for (std::size_t i = netz.verbindungsanfang(c), ende = netz.verbindungsende(c); i < ende; ++i) {
    const std::size_t k = netz.platz(c, i);
    const TZelle& ziel = netz.Zelltabelle[static_cast<std::size_t>(v.ziel[k])];
    const bool erzaehlen = b != nullptr && b->verbindungBeobachtet(c, v.ziel[k]);
    Gewichtsschritt g;
    if (erzaehlen) {
      g.quelle = c;
      g.verbindung = i;
      g.ziel = v.ziel[k];
      g.gewichtsfaktor = v.gewichtsfaktor.wert(k);
      g.gewichtVorher = v.gewicht[k];
    }
    if (ziel.aenderungsrate >= 0) {
      v.gewicht[k] = v.gewicht[k] * v.gewichtsfaktor.wert(k);
      if (erzaehlen) {
        g.faktor = g.gewichtsfaktor;
        g.gewichtNachher = v.gewicht[k];
        b->gewichtsschritt(g);
      }
      continue;
    }
    const bool feuernd = ziel.refraktaerrest == ziel.refraktaerzeit || ziel.potenzial >= ziel.schwelle;
    const bool vorher = v.imfenster[k] != 0;
    if (feuernd) {
      v.imfenster[k] =
          v.letzteankunft[k] >= 0 && umlaufendMinus(zeittakt, v.letzteankunft[k]) <= v.zeitfensterVon(k) ? 1 : 0;
    }
    double x = (v.imfenster[k] != 0 || v.zeitfensterVon(k) < 0) ? ziel.lernfaktor : ziel.lernfaktorstart;
    const double faktor = (1 - x) + v.gewichtsfaktor.wert(k) * x;
    v.gewicht[k] = v.gewicht[k] * faktor;
    if (erzaehlen) {
      g.fensterregel = true;
      g.zaehltAlsFeuernd = feuernd;
      g.letzteankunft = v.letzteankunft[k];
      g.zeitfenster = v.zeitfensterVon(k);
      g.imfensterVorher = vorher;
      g.imfenster = v.imfenster[k] != 0;
      g.x = x;
      g.faktor = faktor;
      g.gewichtNachher = v.gewicht[k];
      b->gewichtsschritt(g);
    }
  }
}

// A load leaves the counter column empty: nothing in transit.
void zaehlerspalte(Netz& netz) {
  Verbindungen& v = netz.verbindungen;
  if (v.laufzaehler.size() != v.size()) v.laufzaehler.assign(v.size(), 0);
}

}  // namespace

void feuern(Simulation& sim, Zyklusanzeige& anzeige, Beobachter* beobachter) {
  zeitlupePause(sim.param.zeitlupe);
  Netz& netz = sim.netz;
  zaehlerspalte(netz);
  // Each cell runs through A, B and C before the next cell is looked at.
  for (int32_t c = netz.ersteZelle; c < netz.zellenzahl; ++c) {
    feuertest(netz, c, anzeige, beobachter);
    erholung(netz.Zelltabelle[static_cast<std::size_t>(c)], c, beobachter);
    gewichtsschritt(netz, c, sim.zeittakt, beobachter);
  }
}

namespace {

void lernenBeiAnkunft(Netz& netz, std::size_t k, TZelle& ziel) {
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

// The spike over the connection at list index i (place k) of cell c arrives.
void ankunft(Netz& netz, int32_t c, std::size_t i, std::size_t k, int32_t zeittakt, Beobachter* b) {
  Verbindungen& v = netz.verbindungen;
  v.laufzaehler[i] = 0;
  TZelle& ziel = netz.Zelltabelle[static_cast<std::size_t>(v.ziel[k])];
  const bool erzaehlen = b != nullptr && b->verbindungBeobachtet(c, v.ziel[k]);
  Ankunft a;
  if (erzaehlen) {
    a.quelle = c;
    a.verbindung = i;
    a.ziel = v.ziel[k];
    a.verzoegerung = v.verzoegerung[k];
    a.refraktaerrest = ziel.refraktaerrest;
    a.lernschritt = v.lernschritt[k];
    a.maximalgewicht = v.maximalgewicht[k];
    a.verbraucht = v.maximalgewicht[k] != v.startgewicht[k];
    a.gewichtVorher = v.gewicht[k];
    a.lernfaktorVorher = ziel.lernfaktor;
    a.potenzialVorher = ziel.potenzial;
  }
  // Arrivals at a refractory cell are lost, also at a cell that fired in this
  // time step and at one whose refraktaerrest went negative.
  if (ziel.refraktaerrest != 0) {
    if (erzaehlen) {
      a.verloren = true;
      a.gewicht = a.gewichtVorher;
      a.lernfaktorNachher = a.lernfaktorVorher;
      a.potenzialNachher = a.potenzialVorher;
      b->ankunft(a);
    }
    return;
  }
  v.letzteankunft[k] = zeittakt;
  lernenBeiAnkunft(netz, k, ziel);
  ziel.potenzial = ziel.potenzial + v.gewicht[k];
  // The floor after each single arrival: the result depends on the order in
  // which excitatory and inhibitory spikes come in.
  const bool boden = ziel.potenzial <= -ziel.schwelle;
  if (boden) ziel.potenzial = -ziel.schwelle;
  if (erzaehlen) {
    a.gewicht = v.gewicht[k];
    a.lernfaktorNachher = ziel.lernfaktor;
    a.potenzialNachher = ziel.potenzial;
    a.boden = boden;
    b->ankunft(a);
  }
}

}  // namespace

void weiterleiten(Simulation& sim, Beobachter* beobachter) {
  Netz& netz = sim.netz;
  zaehlerspalte(netz);
  Verbindungen& v = netz.verbindungen;
  const int32_t pWert = sim.param.pWert;
  for (int32_t c = netz.ersteZelle; c < netz.zellenzahl; ++c) {
    for (std::size_t i = netz.verbindungsanfang(c), ende = netz.verbindungsende(c); i < ende; ++i) {
      // The counters stand in list order, the other columns by place.
      const int32_t lauf = v.laufzaehler[i];
      if (lauf == 0) continue;
      if (lauf == 1) {
        ankunft(netz, c, i, netz.platz(c, i), sim.zeittakt, beobachter);
        continue;
      }
      // One draw for every counting connection in every step, whatever P is,
      // so the sequence of draws does not depend on P.
      const int32_t zug = sim.zufall.naechste0bis99();
      if (zug <= pWert) {
        v.laufzaehler[i] = umlaufendMinus(lauf, 1);
        continue;
      }
      if (beobachter == nullptr) continue;
      const std::size_t k = netz.platz(c, i);
      if (beobachter->verbindungBeobachtet(c, v.ziel[k])) beobachter->stockung({c, i, v.ziel[k], lauf, zug, pWert});
    }
  }
}

void einzelzyklus(Simulation& sim, Zyklusanzeige& anzeige, Beobachter* beobachter) {
  anzeige.zeilenvorschub();
  schlicht::feuern(sim, anzeige, beobachter);
  sim.eingabe.eingabelesen(sim.netz, sim.zeittakt, sim.lauf, anzeige);
  schlicht::weiterleiten(sim, beobachter);
  anzeige.anzeigen();
  anzeige.taktanzeige();
  sim.zeittakt = umlaufendPlus(sim.zeittakt, 1);
}

int64_t zyklus(Simulation& sim, Zyklusanzeige& anzeige) {
  if (sim.lauf.netzfehler) {
    anzeige.netzfehlerHinweis();
    return 0;
  }
  int64_t schritte = 0;
  do {
    schlicht::einzelzyklus(sim, anzeige);
    ++schritte;
  } while (!sim.lauf.anhalten);
  return schritte;
}

}  // namespace velkor::schlicht
