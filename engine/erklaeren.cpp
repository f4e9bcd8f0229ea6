#include "engine/erklaeren.h"

#include <algorithm>
#include <cstring>

#include "engine/umlauf.h"
#include "engine/zyklus.h"

namespace velkor {

namespace {

// The explanations of the watched cells, one per cell, however often it was
// asked for. Only the watched cells come here (a byte per cell says which),
// so a step over a large net costs little more than the plain step itself.
class Aufzeichnung : public schlicht::Beobachter {
 public:
  Aufzeichnung(const Simulation& sim, const std::vector<int32_t>& zellen) {
    const Netz& netz = sim.netz;
    for (const int32_t c : zellen) {
      if (c >= 0 && c < netz.zellenzahl) zellen_.push_back(c);
    }
    std::sort(zellen_.begin(), zellen_.end());
    zellen_.erase(std::unique(zellen_.begin(), zellen_.end()), zellen_.end());
    beobachtet.assign(static_cast<std::size_t>(netz.zellenzahl), 0);
    erklaerungen_.resize(zellen_.size());
    for (std::size_t i = 0; i < zellen_.size(); ++i) {
      const int32_t c = zellen_[i];
      beobachtet[static_cast<std::size_t>(c)] = 1;
      const TZelle& z = netz.Zelltabelle[static_cast<std::size_t>(c)];
      Erklaerung& e = erklaerungen_[i];
      e.zelle = c;
      e.vorhanden = true;
      e.zeittakt = sim.zeittakt;
      e.pWert = sim.param.pWert;
      e.imDurchlauf = c >= netz.ersteZelle;
      e.schwelle = z.schwelle;
      e.abklingfaktor = z.abklingfaktor;
      e.refraktaerzeit = z.refraktaerzeit;
      e.lernfaktorstart = z.lernfaktorstart;
      e.erholfaktor = z.erholfaktor;
      e.aenderungsrate = z.aenderungsrate;
      e.vorher = {z.potenzial, z.refraktaerrest, z.lernfaktor};
    }
  }

  // The explanation of cell c, nullptr if it is not watched.
  Erklaerung* fuer(int32_t c) {
    if (c < 0 || static_cast<std::size_t>(c) >= beobachtet.size() || beobachtet[static_cast<std::size_t>(c)] == 0) {
      return nullptr;
    }
    auto it = std::lower_bound(zellen_.begin(), zellen_.end(), c);
    return &erklaerungen_[static_cast<std::size_t>(it - zellen_.begin())];
  }

  void feuertest(int32_t zelle, const schlicht::Feuertest& f) override {
    if (Erklaerung* e = fuer(zelle)) e->feuertest = f;
  }
  void erholung(int32_t zelle, const schlicht::Erholung& r) override {
    if (Erklaerung* e = fuer(zelle)) e->erholung = r;
  }
  void gewichtsschritt(const schlicht::Gewichtsschritt& g) override {
    if (Erklaerung* e = fuer(g.ziel)) e->gewichtsschritte.push_back(g);
  }
  void stockung(const schlicht::Stockung& s) override {
    if (Erklaerung* e = fuer(s.quelle)) e->stockungen.push_back(s);
  }
  void ankunft(const schlicht::Ankunft& a) override {
    if (Erklaerung* e = fuer(a.ziel)) e->ankuenfte.push_back(a);
  }

  // Phase 2: the potential after phase 1 (or after the entry before) and now.
  void erregt(const Netz& netz, int32_t zelle) {
    Erklaerung* e = fuer(zelle);
    if (e == nullptr) return;
    double vorher = e->imDurchlauf ? e->feuertest.potenzialNachher : e->vorher.potenzial;
    if (!e->erregungen.empty()) vorher = e->erregungen.back().potenzialNachher;
    e->erregungen.push_back({vorher, netz.Zelltabelle[static_cast<std::size_t>(zelle)].potenzial});
  }

  void abschliessen(const Netz& netz) {
    for (Erklaerung& e : erklaerungen_) {
      const TZelle& z = netz.Zelltabelle[static_cast<std::size_t>(e.zelle)];
      e.nachher = {z.potenzial, z.refraktaerrest, z.lernfaktor};
      e.eingangsgewichte.reserve(e.gewichtsschritte.size());
      for (const schlicht::Gewichtsschritt& g : e.gewichtsschritte) {
        e.eingangsgewichte.push_back({g.verbindung, netz.verbindungen.gewicht[netz.platz(g.quelle, g.verbindung)]});
      }
    }
  }

  // In the order asked for.
  std::vector<Erklaerung> ergebnis(const std::vector<int32_t>& zellen) {
    std::vector<Erklaerung> aus;
    aus.reserve(zellen.size());
    for (const int32_t c : zellen) {
      if (const Erklaerung* e = fuer(c)) {
        aus.push_back(*e);
      } else {
        Erklaerung leer;
        leer.zelle = c;
        aus.push_back(std::move(leer));
      }
    }
    return aus;
  }

 private:
  std::vector<int32_t> zellen_;  // ascending, each once
  std::vector<Erklaerung> erklaerungen_;
};

// Hands everything on to the caller's hooks and notes the input entries of
// the watched cells on the way. Every hook of Zyklusanzeige is passed on.
class Weitergabe : public Zyklusanzeige {
 public:
  Weitergabe(Zyklusanzeige& hooks, Aufzeichnung& aufzeichnung, const Netz& netz)
      : hooks_(hooks), aufzeichnung_(aufzeichnung), netz_(netz) {}
  void zeilenvorschub() override { hooks_.zeilenvorschub(); }
  void refraktaerEnde(int32_t zelle) override { hooks_.refraktaerEnde(zelle); }
  void gefeuert(int32_t zelle) override { hooks_.gefeuert(zelle); }
  void erregt(int32_t zelle) override {
    aufzeichnung_.erregt(netz_, zelle);
    hooks_.erregt(zelle);
  }
  void anzeigen() override { hooks_.anzeigen(); }
  void taktanzeige() override { hooks_.taktanzeige(); }
  void eingabeHinweis() override { hooks_.eingabeHinweis(); }
  void netzfehlerHinweis() override { hooks_.netzfehlerHinweis(); }

 private:
  Zyklusanzeige& hooks_;
  Aufzeichnung& aufzeichnung_;
  const Netz& netz_;
};

bool gleicheBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

bool gleicheBits(const Zellstand& a, const Zellstand& b) {
  return gleicheBits(a.potenzial, b.potenzial) && a.refraktaerrest == b.refraktaerrest &&
         gleicheBits(a.lernfaktor, b.lernfaktor);
}

}  // namespace

std::vector<Erklaerung> erklaeren(Simulation& sim, const std::vector<int32_t>& zellen, Zyklusanzeige& hooks) {
  if (sim.lauf.netzfehler) {
    hooks.netzfehlerHinweis();
    return {};
  }
  // The engine may hold the spikes in transit by schedule: the counters first.
  laufzaehlerAbgleichen(sim);
  Aufzeichnung aufzeichnung(sim, zellen);
  Weitergabe weitergabe(hooks, aufzeichnung, sim.netz);
  schlicht::einzelzyklus(sim, weitergabe, &aufzeichnung);
  aufzeichnung.abschliessen(sim.netz);
  // The engine rebuilds what it derives (cells in transit, refractory bytes)
  // from the net before its next step.
  sim.plan.verwerfen();
  return aufzeichnung.ergebnis(zellen);
}

Nachrechnung nachrechnen(const Erklaerung& e) {
  Nachrechnung n;
  if (!e.vorhanden) return n;
  Zellstand z = e.vorher;
  const Zellstand vorAB = z;
  if (e.imDurchlauf) {
    // A. Firing test, firing, decay, refractory countdown.
    if (z.potenzial >= e.schwelle) {
      if (e.aenderungsrate >= 0) {
        z.lernfaktor = z.lernfaktor + (1 - z.lernfaktor) * e.aenderungsrate;
      } else {
        z.lernfaktor = z.lernfaktor + z.lernfaktor * e.aenderungsrate;
      }
      z.potenzial = 0;
      z.refraktaerrest = e.refraktaerzeit;
    } else {
      z.potenzial = z.potenzial * e.abklingfaktor;
      if (z.refraktaerrest > 0) --z.refraktaerrest;
    }
    // B. Recovery, not while refractory.
    if (z.refraktaerrest == 0) {
      if (e.erholfaktor >= 1) {
        z.lernfaktor = z.lernfaktor * (1 + (1 - z.lernfaktor) * (e.erholfaktor - 1));
        if (z.lernfaktor > e.lernfaktorstart) z.lernfaktor = e.lernfaktorstart;
      } else {
        z.lernfaktor = z.lernfaktor * e.erholfaktor;
        if (e.aenderungsrate > 0 && z.lernfaktor < e.lernfaktorstart) z.lernfaktor = e.lernfaktorstart;
      }
    }
  }
  const Zellstand nachAB = z;
  // C. The connections into the cell: a source with an index from the cell's
  // own on sees the cell after its steps A and B, a lower one before them.
  for (const schlicht::Gewichtsschritt& g : e.gewichtsschritte) {
    double w = g.gewichtVorher;
    if (e.aenderungsrate >= 0) {
      w = w * g.gewichtsfaktor;
    } else {
      const Zellstand& t = e.zelle <= g.quelle ? nachAB : vorAB;
      bool imfenster = g.imfensterVorher;
      if (t.refraktaerrest == e.refraktaerzeit || t.potenzial >= e.schwelle) {
        imfenster = g.letzteankunft >= 0 && umlaufendMinus(e.zeittakt, g.letzteankunft) <= g.zeitfenster;
      }
      const double x = (imfenster || g.zeitfenster < 0) ? t.lernfaktor : e.lernfaktorstart;
      w = w * ((1 - x) + g.gewichtsfaktor * x);
    }
    n.eingangsgewichte.push_back({g.verbindung, w});
  }
  // Phase 2: an entry replaces the potential.
  for (std::size_t i = 0; i < e.erregungen.size(); ++i) z.potenzial = e.schwelle + 10;
  // Phase 3, in walk order (the list indices ascend, as those of step C do).
  for (const schlicht::Ankunft& a : e.ankuenfte) {
    if (z.refraktaerrest != 0) continue;  // lost
    auto it = std::lower_bound(n.eingangsgewichte.begin(), n.eingangsgewichte.end(), a.verbindung,
                               [](const Eingangsgewicht& g, std::size_t v) { return g.verbindung < v; });
    double eigenes = a.gewichtVorher;
    const bool bekannt = it != n.eingangsgewichte.end() && it->verbindung == a.verbindung;
    double& w = bekannt ? it->gewicht : eigenes;
    if (a.lernschritt != nichtGegebenReal) {
      w = w + a.lernschritt * z.lernfaktor;
    } else if (w > 0) {
      w = w + (a.maximalgewicht - w) * z.lernfaktor;
    }
    if (a.verbraucht && e.aenderungsrate > 0) z.lernfaktor = e.lernfaktorstart;
    if (w > a.maximalgewicht) w = a.maximalgewicht;
    z.potenzial = z.potenzial + w;
    if (z.potenzial <= -e.schwelle) z.potenzial = -e.schwelle;
  }
  n.stand = z;
  return n;
}

bool nachgerechnetGleich(const Erklaerung& e) {
  const Nachrechnung n = nachrechnen(e);
  if (!gleicheBits(n.stand, e.nachher) || n.eingangsgewichte.size() != e.eingangsgewichte.size()) return false;
  for (std::size_t i = 0; i < n.eingangsgewichte.size(); ++i) {
    if (n.eingangsgewichte[i].verbindung != e.eingangsgewichte[i].verbindung ||
        !gleicheBits(n.eingangsgewichte[i].gewicht, e.eingangsgewichte[i].gewicht)) {
      return false;
    }
  }
  return true;
}

}  // namespace velkor
