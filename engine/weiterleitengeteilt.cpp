// Phase 3 in parts on several threads (see engine/teilarbeit.h). The course
// is that of one thread: every target gets its arrivals in the order of the
// walk, and below P 99 each stretch of the walk draws from its own stretch of
// the one random stream, found by jumping ahead by the draws before it.

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>

#include "engine/umlauf.h"
#include "engine/weiterleiten.h"

namespace velkor {

namespace {

// Connections of a group looked at in one go when the accepted arrivals are picked.
constexpr uint32_t auswahlgroesse = 1024;

// The source of place k: the last cell whose connections start at or before it.
int32_t quelleVon(const Netz& netz, std::size_t k) {
  const std::vector<std::size_t>& start = netz.verbindungsstart;
  return static_cast<int32_t>(std::upper_bound(start.begin(), start.end(), k) - start.begin() - 1);
}

// Applies the arrivals of a list in its order, with the Lernwerte of those
// whose source learns; the prefetch runs some places ahead. An arrival
// touches nothing but its target and, where the source learns, its weight.
void anwenden(Netz& netz, const std::vector<Ankunft>& liste, const std::vector<Lernwerte>& lernwerte,
              std::vector<int32_t>& nichtMehrFest) {
  Verbindungen& v = netz.verbindungen;
  TZelle* zellen = netz.Zelltabelle.data();
  double* const gewichte = v.gewicht.data();
  const Lernwerte* lern = lernwerte.data();
  constexpr std::size_t voraus = 32;
  const std::size_t n = liste.size();
  for (std::size_t i = 0; i < n; ++i) {
    if (i + voraus < n) {
      const Ankunft& b = liste[i + voraus];
      __builtin_prefetch(zellen + b.ziel(), 1);
      if (!b.fest()) __builtin_prefetch(gewichte + b.k(), 1, 0);
    }
    const Ankunft& a = liste[i];
    TZelle& ziel = zellen[a.ziel()];
    double gewicht = a.gewicht;
    if (!a.fest()) {
      const Lernwerte& w = *lern++;
      ankunftslernen(gewicht, w.lernschritt, w.maximalgewicht, a.verbraucht(), ziel);
      gewichte[a.k()] = gewicht;
    } else if (!std::isfinite(ziel.lernfaktor)) {
      // The full rule; a non-finite factor can move the weight from now on.
      nichtMehrFest.push_back(quelleVon(netz, a.k()));
      ankunftslernen(netz, a.k(), ziel);
      gewicht = gewichte[a.k()];
    }
    ziel.potenzial = ziel.potenzial + gewicht;
    if (ziel.potenzial <= -ziel.schwelle) ziel.potenzial = -ziel.schwelle;
  }
}

// Notes accepted arrivals for their target parts, with the weight and, where
// the source learns, the Lernwerte. The columns' addresses are taken once: a
// store to a list could otherwise stand for any of them.
class Notiz {
 public:
  explicit Notiz(const Verbindungen& v)
      : gewicht_(v.gewicht.data()),
        lernschritt_(v.lernschritt.data()),
        maximalgewicht_(v.maximalgewicht.data()),
        startgewicht_(v.startgewicht.data()) {}
  // Over connection k at `ziel`, for target part `teil`; `fest` and
  // `verbrauch` are the source's (Laufplan).
  [[gnu::always_inline]] void operator()(Teilarbeit& t, std::size_t teil, std::size_t k, int32_t ziel, bool fest,
                                         uint8_t verbrauch) const {
    if (fest) {
      t.nachZiel[teil].push_back({k, ziel, true, gewicht_[k]});
      return;
    }
    const bool verbraucht =
        verbrauch == Laufplan::einige ? maximalgewicht_[k] != startgewicht_[k] : verbrauch == Laufplan::jeder;
    t.nachZiel[teil].push_back({k, ziel, false, gewicht_[k], verbraucht});
    t.lernNachZiel[teil].push_back({lernschritt_[k], maximalgewicht_[k]});
  }

 private:
  const double* gewicht_;
  const double* lernschritt_;
  const double* maximalgewicht_;
  const double* startgewicht_;
};

// The second half of the phase: the targets are cut into as many stretches
// as the walk was (`stuecke`), and each stretch of targets, on whichever
// thread is free, gets the arrivals of the walk's stretches one after the
// other; then the sources found to learn lose their flag (a flag left on
// meanwhile only skips what changes nothing).
void zieleAnwenden(Simulation& sim, int32_t teile, int32_t stuecke) {
  Laufplan& plan = sim.plan;
  sim.faeden.verteilen(teile, stuecke, [&](int32_t q, int32_t) {
    Teilarbeit& eigen = plan.teilarbeit[static_cast<std::size_t>(q)];
    for (int32_t s = 0; s < stuecke; ++s) {
      const Teilarbeit& von = plan.teilarbeit[static_cast<std::size_t>(s)];
      anwenden(sim.netz, von.nachZiel[static_cast<std::size_t>(q)], von.lernNachZiel[static_cast<std::size_t>(q)],
               eigen.nichtMehrFest);
    }
  });
  for (const Teilarbeit& t : plan.teilarbeit) {
    for (const int32_t c : t.nichtMehrFest) plan.festeGewichte[static_cast<std::size_t>(c)] = 0;
  }
}

// The arrivals one process hands on, as they stand in the bytes: an Ankunft
// each, followed by its Lernwerte where the source learns.
class Leser {
 public:
  explicit Leser(const unsigned char* p) : p_(p) {}
  // The next arrival; `lern` is its Lernwerte when it has some.
  Ankunft naechste(Lernwerte* lern) {
    Ankunft a;
    std::memcpy(&a, p_, sizeof a);
    p_ += sizeof a;
    if (!a.fest()) {
      if (lern != nullptr) std::memcpy(lern, p_, sizeof(Lernwerte));
      p_ += sizeof(Lernwerte);
    }
    return a;
  }

 private:
  const unsigned char* p_;
};

// Applies the arrivals of one process's bytes whose target is one of the
// cells [zielVon, zielBis), in their order. Those of this process (`eigen`)
// name a connection kept here, and its learned weight is written back; of
// the others' only the target changes. The targets are fetched some arrivals
// ahead.
void buendelAnwenden(Netz& netz, const Buendel& b, bool eigen, int32_t zielVon, int32_t zielBis,
                     std::vector<int32_t>& nichtMehrFest) {
  TZelle* zellen = netz.Zelltabelle.data();
  double* const gewichte = netz.verbindungen.gewicht.data();
  auto hier = [&](const Ankunft& a) { return a.ziel() >= zielVon && a.ziel() < zielBis; };
  constexpr uint64_t voraus = 32;
  Leser vorn(b.anfang);
  uint64_t vorne = 0;
  auto vorholen = [&] {
    const Ankunft a = vorn.naechste(nullptr);
    ++vorne;
    if (hier(a)) __builtin_prefetch(zellen + a.ziel(), 1);
  };
  while (vorne < b.anzahl && vorne < voraus) vorholen();
  Leser leser(b.anfang);
  for (uint64_t i = 0; i < b.anzahl; ++i) {
    if (vorne < b.anzahl) vorholen();
    Lernwerte w{};
    const Ankunft a = leser.naechste(&w);
    if (!hier(a)) continue;
    TZelle& ziel = zellen[a.ziel()];
    double gewicht = a.gewicht;
    if (!a.fest()) {
      ankunftslernen(gewicht, w.lernschritt, w.maximalgewicht, a.verbraucht(), ziel);
      if (eigen) gewichte[a.k()] = gewicht;
    } else if (!std::isfinite(ziel.lernfaktor)) {
      // The full rule; a non-finite factor can move the weight from now on.
      // What a fixed weight means: no learning step, the maximum and the
      // start weight equal to the weight.
      if (eigen) {
        nichtMehrFest.push_back(quelleVon(netz, a.k()));
        ankunftslernen(netz, a.k(), ziel);
        gewicht = gewichte[a.k()];
      } else {
        ankunftslernen(gewicht, nichtGegebenReal, gewicht, false, ziel);
      }
    }
    ziel.potenzial = ziel.potenzial + gewicht;
    if (ziel.potenzial <= -ziel.schwelle) ziel.potenzial = -ziel.schwelle;
  }
}

// A run shared by several processes: this process's accepted arrivals go to
// every other one, preceded by the draws of its stretch, and every process
// applies the arrivals of all stretches to its cells, stretch after stretch
// in the order of the processes, so that every target gets them in the order
// of the walk. The weights learned at an arrival are written where the
// connection is kept; the others compute them only for the potential.
// Returns the draws of all stretches.
uint64_t verteiltAnwenden(Simulation& sim, int32_t teile, int32_t stuecke, uint64_t zuege) {
  Laufplan& plan = sim.plan;
  Verbund& verbund = *sim.verbund;
  const auto q = static_cast<std::size_t>(stuecke);
  // The pieces' lists, piece after piece: each target's in the order of the walk.
  uint64_t anzahl = 0;
  std::size_t bytes = 16;
  for (std::size_t s = 0; s < q; ++s) {
    const Teilarbeit& t = plan.teilarbeit[s];
    for (std::size_t z = 0; z < q; ++z) {
      anzahl += t.nachZiel[z].size();
      bytes += t.nachZiel[z].size() * sizeof(Ankunft) + t.lernNachZiel[z].size() * sizeof(Lernwerte);
    }
  }
  std::vector<unsigned char>& eigen = plan.senden;
  eigen.resize(bytes);
  unsigned char* p = eigen.data();
  std::memcpy(p, &zuege, 8);
  std::memcpy(p + 8, &anzahl, 8);
  p += 16;
  for (std::size_t s = 0; s < q; ++s) {
    const Teilarbeit& t = plan.teilarbeit[s];
    for (std::size_t z = 0; z < q; ++z) {
      const Lernwerte* lern = t.lernNachZiel[z].data();
      for (const Ankunft& a : t.nachZiel[z]) {
        std::memcpy(p, &a, sizeof a);
        p += sizeof a;
        if (!a.fest()) {
          std::memcpy(p, lern++, sizeof(Lernwerte));
          p += sizeof(Lernwerte);
        }
      }
    }
  }
  std::vector<unsigned char>& alle = plan.empfangen;
  std::vector<std::size_t>& grenzen = plan.empfangsgrenzen;
  verbund.alleBytes(eigen, alle, grenzen);
  const int32_t rang = verbund.rang();
  const auto prozesse = static_cast<std::size_t>(verbund.groesse());
  uint64_t gesamt = 0;
  std::vector<Buendel>& buendel = plan.buendel;
  buendel.resize(prozesse);
  for (std::size_t r = 0; r < prozesse; ++r) {
    const unsigned char* von = alle.data() + grenzen[r];
    uint64_t z = 0;
    std::memcpy(&z, von, 8);
    std::memcpy(&buendel[r].anzahl, von + 8, 8);
    buendel[r].anfang = von + 16;
    gesamt += z;
  }
  // Each thread takes the targets of its stretch of the table, from every
  // process's arrivals in turn.
  const int32_t zellenzahl = sim.netz.zellenzahl;
  sim.faeden.verteilen(teile, teile, [&](int32_t t, int32_t) {
    const auto zielVon = static_cast<int32_t>(int64_t{zellenzahl} * t / teile);
    const auto zielBis = static_cast<int32_t>(int64_t{zellenzahl} * (t + 1) / teile);
    std::vector<int32_t>& nichtMehrFest = plan.teilarbeit[static_cast<std::size_t>(t)].nichtMehrFest;
    for (std::size_t r = 0; r < prozesse; ++r)
      buendelAnwenden(sim.netz, buendel[r], static_cast<int32_t>(r) == rang, zielVon, zielBis, nichtMehrFest);
  });
  for (const Teilarbeit& t : plan.teilarbeit) {
    for (const int32_t c : t.nichtMehrFest) plan.festeGewichte[static_cast<std::size_t>(c)] = 0;
  }
  return gesamt;
}

// The draws of the stretches of the processes before this one, and of all.
std::pair<uint64_t, uint64_t> zuegeVerteilen(Simulation& sim, uint64_t eigene) {
  std::vector<uint64_t> alle;
  sim.verbund->alleWerte(eigene, alle);
  uint64_t davor = 0;
  uint64_t gesamt = 0;
  for (std::size_t r = 0; r < alle.size(); ++r) {
    if (static_cast<int32_t>(r) < sim.verbund->rang()) davor += alle[r];
    gesamt += alle[r];
  }
  return {davor, gesamt};
}

// The lines that hold the targets of group g, and its weights and arrival
// steps, which the accepted arrivals read and write; where its source learns,
// also the columns that go with a learning arrival (Lernwerte), and the
// start weights where the source's `verbrauch` is mixed.
[[gnu::always_inline]] inline void gruppeVorholen(const Netz& netz, const Ankunftsplan::Gruppe& g, bool lernt,
                                                  uint8_t verbrauch) {
  const Verbindungen& v = netz.verbindungen;
  const std::size_t n = std::min<uint32_t>(g.anzahl, 512);
  zeilenVorholen<0>(v.ziel.data() + g.anfang, 4 * n);
  zeilenVorholen<0>(v.gewicht.data() + g.anfang, 8 * n);
  zeilenVorholen<1>(v.letzteankunft.data() + g.anfang, 4 * n);
  if (lernt) {
    zeilenVorholen<0>(v.lernschritt.data() + g.anfang, 8 * n);
    zeilenVorholen<0>(v.maximalgewicht.data() + g.anfang, 8 * n);
    if (verbrauch == Laufplan::einige) zeilenVorholen<0>(v.startgewicht.data() + g.anfang, 8 * n);
  }
}

// The counters (and targets) of the list [anfang, ende), its first 256 entries.
[[gnu::always_inline]] inline void listeVorholen(const int32_t* lauf, const int32_t* ziele, std::size_t anfang,
                                                 std::size_t ende) {
  for (std::size_t k = anfang; k < ende && k < anfang + 256; k += 16) {
    __builtin_prefetch(lauf + k, 1);
    if (ziele != nullptr) __builtin_prefetch(ziele + k, 0);
  }
}

// The countdown of the stretches of the walk, part p each; `folge` maps the
// list order to the places.
template <class Folge>
void gezaehltTeilen(Simulation& sim, int32_t teile, int32_t stuecke, const std::vector<Zufall>& stroeme, Folge folge) {
  Laufplan& plan = sim.plan;
  const Netz& netz = sim.netz;
  const std::vector<int32_t>& zellen = plan.unterwegs;
  const Zielteilung zielteil(netz.zellenzahl, stuecke);
  const int32_t pWert = sim.param.pWert;
  const bool immer = pWert >= 99;
  int32_t* lauf = sim.netz.verbindungen.laufzaehler.data();
  // The arrival steps are written here, where the place of each arrival is at hand.
  int32_t* letzteankunftSpalte = sim.netz.verbindungen.letzteankunft.data();
  const int32_t zeittakt = sim.zeittakt;
  sim.faeden.verteilen(teile, stuecke, [&](int32_t p, int32_t) {
    Teilarbeit& t = plan.teilarbeit[static_cast<std::size_t>(p)];
    // Locals, so that the stores to the counters do not make them be read again.
    Zufall zufall = stroeme[static_cast<std::size_t>(p)];
    int32_t* const lz = lauf;
    const uint8_t* const gesperrt = plan.gesperrt.data();
    const int32_t* const ziele = netz.verbindungen.ziel.data();
    const Notiz notieren(netz.verbindungen);
    int32_t* const letzteankunft = letzteankunftSpalte;
    const std::size_t* const start = netz.verbindungsstart.data();
    const int32_t* const z = zellen.data();
    uint64_t gezaehlt = 0;
    const std::size_t anfang = plan.grenzen[static_cast<std::size_t>(p)];
    const std::size_t bis = plan.grenzen[static_cast<std::size_t>(p) + 1];
    for (std::size_t von = anfang; von < bis; ++von) {
      // The lists of the cells a few places ahead are fetched meanwhile.
      if (von + 4 < bis) listeVorholen(lz, ziele, start[z[von + 4]], start[z[von + 4] + 1]);
      const int32_t c = z[von];
      const bool fest = plan.festeGewichte[static_cast<std::size_t>(c)] != 0;
      const uint8_t verbrauch = plan.verbrauch[static_cast<std::size_t>(c)];
      bool bleibt = false;
      // The counters stand in list order; `folge` gives the place of an arriving connection.
      for (std::size_t i = start[c], ende = start[c + 1]; i < ende; ++i) {
        const int32_t l = lz[i];
        if (l == 0) continue;
        if (l == 1) {
          lz[i] = 0;
          const std::size_t k = folge(start[c], i);
          const int32_t ziel = ziele[k];
          if (gesperrt[ziel] == 0) {
            letzteankunft[k] = zeittakt;
            notieren(t, zielteil.teil(ziel), k, ziel, fest, verbrauch);
          }
          continue;
        }
        int32_t neu = 0;
        if (immer) {
          neu = umlaufendMinus(l, 1);
          ++gezaehlt;
        } else {
          // Without a branch: the draws come in no order.
          neu = umlaufendMinus(l, zufall.naechste0bis99() <= pWert ? 1 : 0);
        }
        lz[i] = neu;
        bleibt = bleibt || neu != 0;
      }
      if (bleibt) t.unterwegs.push_back(c);
    }
    if (immer) t.zuege = gezaehlt;
  });
}

}  // namespace

void weiterleitenNachPlanGeteilt(Simulation& sim, int32_t teile) {
  Laufplan& plan = sim.plan;
  const Netz& netz = sim.netz;
  Ankunftsplan& e = plan.ereignisse;
  // The pieces of phase 1: each finds the due groups of its cells in its own
  // store of the schedule and skips the stale ones itself.
  const int32_t stuecke = teile * Faeden::stueckeJeTeil;
  e.aufteilen(netz, stuecke);
  plan.teileVorbereiten(stuecke);
  const Zielteilung zielteil(netz.zellenzahl, stuecke);
  // The arrival steps are written here, where a group's places stand side by side.
  int32_t* letzteankunftSpalte = sim.netz.verbindungen.letzteankunft.data();
  const int32_t zeittakt = sim.zeittakt;
  sim.faeden.verteilen(teile, stuecke, [&](int32_t p, int32_t) {
    Teilarbeit& t = plan.teilarbeit[static_cast<std::size_t>(p)];
    const uint8_t* const gesperrt = plan.gesperrt.data();
    const int32_t* const ziele = netz.verbindungen.ziel.data();
    const Notiz notieren(netz.verbindungen);
    int32_t* const letzteankunft = letzteankunftSpalte;
    std::array<uint32_t, auswahlgroesse> auswahl;
    const std::vector<uint32_t>& nummern = e.faelligImStueck(p);
    const std::size_t ende = nummern.size();
    for (std::size_t j = 0; j < ende; ++j) {
      // The groups, their cells' firing steps and their targets are spread
      // over memory: fetched some places ahead, each after what it needs.
      if (j + 32 < ende) e.nummerVorholen(nummern[j + 32], 0);
      if (j + 22 < ende) e.nummerVorholen(nummern[j + 22], 1);
      if (j + 14 < ende) {
        const Ankunftsplan::Gruppe& g = e.gruppe(nummern[j + 14]);
        const auto i = static_cast<std::size_t>(g.zelle);
        gruppeVorholen(netz, g, plan.festeGewichte[i] == 0, plan.verbrauch[i]);
      }
      // Only the latest firing of the cell counts.
      if (!e.kommtJetzt(nummern[j])) continue;
      const Ankunftsplan::Gruppe& g = e.gruppe(nummern[j]);
      const bool fest = plan.festeGewichte[static_cast<std::size_t>(g.zelle)] != 0;
      const uint8_t verbrauch = plan.verbrauch[static_cast<std::size_t>(g.zelle)];
      // The group's connections stand side by side, in list order. Arrivals
      // at a refractory cell are lost. Most are, in a busy net, and which
      // ones follows no pattern: the accepted ones are picked without a
      // branch first, a chunk at a time, and then sorted by target part.
      const int32_t* z = ziele + g.anfang;
      for (uint32_t von = 0; von < g.anzahl; von += auswahlgroesse) {
        const uint32_t bis = std::min<uint32_t>(g.anzahl, von + auswahlgroesse);
        uint32_t m = 0;
        for (uint32_t i = von; i < bis; ++i) {
          auswahl[m] = i;
          m += static_cast<uint32_t>(gesperrt[z[i]] == 0);
        }
        for (uint32_t i = 0; i < m; ++i) {
          const std::size_t k = std::size_t{g.anfang} + auswahl[i];
          const int32_t ziel = z[auswahl[i]];
          letzteankunft[k] = zeittakt;
          notieren(t, zielteil.teil(ziel), k, ziel, fest, verbrauch);
        }
      }
    }
  });
  // The draws the countdown would have made, skipped as one.
  uint64_t zuege = 0;
  if (verteilt(sim.verbund)) {
    zuege = verteiltAnwenden(sim, teile, stuecke, e.weiter());
  } else {
    zieleAnwenden(sim, teile, stuecke);
    zuege = e.weiter();
  }
  if (zuege > 0) sim.zufall.vorruecken(zuege);
}

void weiterleitenGezaehltGeteilt(Simulation& sim, int32_t teile) {
  Laufplan& plan = sim.plan;
  Netz& netz = sim.netz;
  plan.vereinigen();
  const std::vector<int32_t>& zellen = plan.unterwegs;
  const int32_t stuecke = teile * Faeden::stueckeJeTeil;
  plan.teileVorbereiten(stuecke);
  teilen(
      zellen.size(), stuecke,
      [&](std::size_t i) { return netz.verbindungsende(zellen[i]) - netz.verbindungsanfang(zellen[i]); }, plan.grenzen);
  const bool immer = sim.param.pWert >= 99;
  const int32_t* lauf = netz.verbindungen.laufzaehler.data();
  auto stretch = [&](int32_t p) {
    return std::pair{plan.grenzen[static_cast<std::size_t>(p)], plan.grenzen[static_cast<std::size_t>(p) + 1]};
  };
  // Below P 99 each stretch first counts the draws it will make: one per
  // counter of 2 or more, or negative.
  if (!immer) {
    sim.faeden.verteilen(teile, stuecke, [&](int32_t p, int32_t) {
      const int32_t* const lz = lauf;
      const std::size_t* const start = netz.verbindungsstart.data();
      uint64_t n = 0;
      const auto [anfang, bis] = stretch(p);
      for (std::size_t von = anfang; von < bis; ++von) {
        if (von + 4 < bis) listeVorholen(lz, nullptr, start[zellen[von + 4]], start[zellen[von + 4] + 1]);
        for (std::size_t k = start[zellen[von]], ende = start[zellen[von] + 1]; k < ende; ++k)
          n += static_cast<uint64_t>(static_cast<uint32_t>(lz[k]) > 1U);
      }
      plan.teilarbeit[static_cast<std::size_t>(p)].zuege = n;
    });
  }
  const bool geteilt = verteilt(sim.verbund);
  std::vector<Zufall> stroeme(static_cast<std::size_t>(stuecke), sim.zufall);
  uint64_t zuege = 0;
  if (geteilt && !immer) {
    // This process's stretch of the stream begins after the draws of those before it.
    uint64_t eigene = 0;
    for (const Teilarbeit& t : plan.teilarbeit) eigene += t.zuege;
    zuege = zuegeVerteilen(sim, eigene).first;
  }
  for (int32_t p = 0; p < stuecke; ++p) {
    stroeme[static_cast<std::size_t>(p)].vorruecken(zuege);
    zuege += plan.teilarbeit[static_cast<std::size_t>(p)].zuege;
  }
  netz.mitFolge([&](auto folge) { gezaehltTeilen(sim, teile, stuecke, stroeme, folge); });
  plan.naechste.clear();
  zuege = 0;
  for (const Teilarbeit& t : plan.teilarbeit) {
    plan.naechste.insert(plan.naechste.end(), t.unterwegs.begin(), t.unterwegs.end());
    zuege += t.zuege;
  }
  if (geteilt) {
    zuege = verteiltAnwenden(sim, teile, stuecke, zuege);
  } else {
    zieleAnwenden(sim, teile, stuecke);
  }
  plan.unterwegs.swap(plan.naechste);
  if (zuege > 0) sim.zufall.vorruecken(zuege);
}

}  // namespace velkor
