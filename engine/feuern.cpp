// Phase 1 of a time step: firing, decay, refractory countdown, recovery of
// the learning factor and the per-step weight update.

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <utility>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "engine/umlauf.h"
#include "engine/zyklus.h"

namespace velkor {

namespace {

// How many cells ahead the walk fetches a record.
constexpr int32_t vorausZellen = 16;

// A. Firing test and its consequences, on the cell record. The test does not
// look at refraktaerrest: a refractory cell pushed over its threshold fires
// again and its refractory phase starts over.
enum class Ausgang { nichts, gefeuert, erholt };
template <class Zelle>
Ausgang feuertest(Zelle& zelle) {
  if (zelle.potenzial >= zelle.schwelle) {
    if (zelle.aenderungsrate >= 0) {
      zelle.lernfaktor = zelle.lernfaktor + (1 - zelle.lernfaktor) * zelle.aenderungsrate;
    } else {
      zelle.lernfaktor = zelle.lernfaktor + zelle.lernfaktor * zelle.aenderungsrate;
    }
    zelle.potenzial = 0;
    zelle.refraktaerrest = zelle.refraktaerzeit;
    return Ausgang::gefeuert;
  }
  zelle.potenzial = zelle.potenzial * zelle.abklingfaktor;
  if (zelle.refraktaerrest > 0) {
    --zelle.refraktaerrest;
    if (zelle.refraktaerrest == 0) return Ausgang::erholt;
  }
  return Ausgang::nichts;
}

// A, the launch: every outgoing connection of cell c gets a fresh spike; a
// spike still under way is replaced. Returns whether phase 3 must look at the
// list (by countdown); by schedule the firing step stands for every counter
// of the list, and the caller tells the schedule.
bool starten(Netz& netz, int32_t c) {
  Verbindungen& v = netz.verbindungen;
  const std::size_t anfang = netz.verbindungsanfang(c);
  const std::size_t ende = netz.verbindungsende(c);
  // The counters stand in list order, the delays by place.
  for (std::size_t k = anfang; k < ende; ++k) v.laufzaehler[k] = umlaufendPlus(v.verzoegerung[netz.platz(c, k)], 1);
  return anfang < ende;
}

// B. Recovery of the learning factor towards lernfaktorstart; never while the
// cell is refractory, and never after a firing with refraktaerzeit -1.
template <class Zelle>
void erholung(Zelle& zelle) {
  if (zelle.refraktaerrest != 0) return;
  if (zelle.erholfaktor >= 1) {
    zelle.lernfaktor = zelle.lernfaktor * (1 + (1 - zelle.lernfaktor) * (zelle.erholfaktor - 1));
    if (zelle.lernfaktor > zelle.lernfaktorstart) zelle.lernfaktor = zelle.lernfaktorstart;
  } else {
    zelle.lernfaktor = zelle.lernfaktor * zelle.erholfaktor;
    if (zelle.aenderungsrate > 0 && zelle.lernfaktor < zelle.lernfaktorstart) zelle.lernfaktor = zelle.lernfaktorstart;
  }
}

// C, plain rule: weight times factor, element by element (exact, in any order).
void plainFaktor(double* __restrict gewichte, const double* __restrict faktoren, std::size_t n) {
  for (std::size_t k = 0; k < n; ++k) gewichte[k] = gewichte[k] * faktoren[k];
}

// The same with the narrow factor column: the numbers pick from the table.
// There is no gather without AVX2, and a vector loop of the compiler only
// shuffles the numbers around: eight numbers come in one load and are taken
// apart in registers, and the weights go two at a time.
void plainFaktor(double* __restrict gewichte, const uint8_t* __restrict nummern, const double* __restrict tabelle,
                 std::size_t n) {
  std::size_t k = 0;
#if defined(__SSE2__)
  for (; k + 8 <= n; k += 8) {
    uint64_t acht;
    std::memcpy(&acht, nummern + k, sizeof acht);
    for (std::size_t i = 0; i < 8; i += 2) {
      const __m128d f = _mm_set_pd(tabelle[(acht >> (8 * i + 8)) & 0xFF], tabelle[(acht >> (8 * i)) & 0xFF]);
      _mm_storeu_pd(gewichte + k + i, _mm_mul_pd(_mm_loadu_pd(gewichte + k + i), f));
    }
  }
#endif
  for (; k < n; ++k) gewichte[k] = gewichte[k] * tabelle[nummern[k]];
}

// Whether a target counts as firing for the windowed rule.
template <class Zelle>
bool zaehltAlsFeuernd(const Zelle& z) {
  return z.refraktaerrest == z.refraktaerzeit || z.potenzial >= z.schwelle;
}

// The fields of a cell that steps A and B read and write, for working them
// out on a copy.
struct Kern {
  int32_t refraktaerrest;
  int32_t refraktaerzeit;
  double potenzial, schwelle, abklingfaktor, lernfaktor, lernfaktorstart, erholfaktor, aenderungsrate;
  explicit Kern(const TZelle& z)
      : refraktaerrest(z.refraktaerrest),
        refraktaerzeit(z.refraktaerzeit),
        potenzial(z.potenzial),
        schwelle(z.schwelle),
        abklingfaktor(z.abklingfaktor),
        lernfaktor(z.lernfaktor),
        lernfaktorstart(z.lernfaktorstart),
        erholfaktor(z.erholfaktor),
        aenderungsrate(z.aenderungsrate) {}
};

// The columns that the windowed rule reads and writes, taken once per list:
// a byte stored to imfenster could otherwise stand for any of the columns'
// addresses and have them read again for every connection.
struct Fensterspalten {
  double* gewicht;
  uint8_t* imfenster;
  const int32_t* letzteankunft;
  const int32_t* zeitfenster;  // nullptr: no connection has a window
  const uint8_t* nummern;      // nullptr: the factors in their full form
  const double* tabelle;
  const double* voll;

  explicit Fensterspalten(Verbindungen& v)
      : gewicht(v.gewicht.data()),
        imfenster(v.imfenster.data()),
        letzteankunft(v.letzteankunft.data()),
        zeitfenster(v.zeitfenster.empty() ? nullptr : v.zeitfenster.data()),
        nummern(v.gewichtsfaktor.kurz() ? v.gewichtsfaktor.nummern() : nullptr),
        tabelle(v.gewichtsfaktor.tabelle()),
        voll(v.gewichtsfaktor.voll()) {}
  double faktor(std::size_t k) const { return nummern != nullptr ? tabelle[nummern[k]] : voll[k]; }
  int32_t fenster(std::size_t k) const { return zeitfenster != nullptr ? zeitfenster[k] : nichtGegeben; }
};

// C, windowed rule, for connection k whose weight was `gewicht` before this
// step and whose target counts as firing or not and has the learning factor
// `lernfaktor`.
[[gnu::always_inline]] inline void fensterschritt(const Fensterspalten& v, std::size_t k, double gewicht,
                                                  int32_t zeittakt, bool feuernd, double lernfaktor,
                                                  double lernfaktorstart) {
  const int32_t zeitfenster = v.fenster(k);
  if (feuernd) {
    v.imfenster[k] = v.letzteankunft[k] >= 0 && umlaufendMinus(zeittakt, v.letzteankunft[k]) <= zeitfenster ? 1 : 0;
  }
  double x = (v.imfenster[k] != 0 || zeitfenster < 0) ? lernfaktor : lernfaktorstart;
  v.gewicht[k] = gewicht * ((1 - x) + v.faktor(k) * x);
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
// The targets are not read from the table, but from what each was before and
// after its own steps A and B (Laufplan::Stand, worked out before the walk):
// after for a target with an index up to the source's, before for a higher
// one, as one walk sees them. Other threads change the table meanwhile; and
// the states of the windowed targets stand side by side, 32 bytes each, where
// their records lie anywhere in the table. On one thread too this is faster
// (the learning net: 6.2 -> 6.0 s against reading the table; on two threads
// 4.2 -> 3.6 s against states kept by cell index and picked by a branch).
template <class T>
void gewichtsschritt(Netz& netz, Laufplan& plan, const T* fensterverbindungen, int32_t c, int32_t zeittakt,
                     double* gerettet) {
  Verbindungen& v = netz.verbindungen;
  const auto i = static_cast<std::size_t>(c);
  const std::size_t erster = plan.fensterstart[i];
  const T* gefenstert = fensterverbindungen + erster;
  const int32_t* ziele = plan.fensterziele.data() + erster;
  // The windowed targets with an index up to c's.
  const int32_t bisC = plan.fensterrang[i + 1];
  const std::size_t n = plan.fensterstart[i + 1] - erster;
  double* gewichte = v.gewicht.data();
  const Gewichtsfaktoren& faktoren = v.gewichtsfaktor;
  // The plain factor for every connection, in one pass without a branch; the
  // weights of the windowed connections (the rule of a target is fixed after
  // the load) are kept aside, and then those connections follow in their
  // order from the weights kept. No connection sees another one's weight, so
  // the split changes nothing but the time.
  // The weights and factors are walked cell after cell, a stream that the
  // hardware fetches ahead by itself. The windowed connections' weights are
  // read first, here and there (kept aside below), which it does not follow,
  // so where a list has windowed connections the weights two cells on are
  // fetched by hand. Machines differ here: on the learning net, fetching the
  // weights and factors two cells on was 14 % slower on one, and fetching the
  // weights alone made phase 1 7 % faster on another (5.5 -> 5.1 s on one
  // thread, 3.4 -> 3.2 s on two).
  const std::size_t anfang = netz.verbindungsanfang(c);
  const std::size_t ende = netz.verbindungsende(c);
  const std::size_t voraus = std::min(v.gewicht.size(), ende + 2 * (ende - anfang));
  // The columns that the windowed rule reads, where there is one, are fetched
  // for the lists two cells on: it reads them only here and there, which the
  // hardware does not follow (the targets come from the plan, not from the
  // target column). Fetching the latest arrival only for a target that
  // counts as firing made it slower: the test of the target then waits for
  // its record.
  if (plan.fensterzahl() > 0) {
    for (std::size_t k = (ende + (ende - anfang)) & ~std::size_t{15}; k < voraus; k += 16) {
      __builtin_prefetch(gewichte + k, 1);
      if (k + 8 < voraus) __builtin_prefetch(gewichte + k + 8, 1);
      __builtin_prefetch(v.letzteankunft.data() + k, 0, 0);
      if (!v.zeitfenster.empty()) __builtin_prefetch(v.zeitfenster.data() + k, 0, 0);
      if (k % 64 == 0) __builtin_prefetch(v.imfenster.data() + k, 1);
    }
  }
  for (std::size_t j = 0; j < n; ++j) gerettet[j] = gewichte[gefenstert[j]];
  if (faktoren.kurz()) {
    plainFaktor(gewichte + anfang, faktoren.nummern() + anfang, faktoren.tabelle(), ende - anfang);
  } else {
    plainFaktor(gewichte + anfang, faktoren.voll() + anfang, ende - anfang);
  }
  // The targets are fetched 16 connections ahead, over the windowed
  // connections of all cells: the list runs on into those of the next cells.
  const std::size_t bisEnde = plan.fensterzahl() - erster;
  const Fensterspalten spalten(v);
  const Laufplan::Stand* const staende = plan.staende.data();
  for (std::size_t j = 0; j < n; ++j) {
    if (j + 16 < bisEnde) __builtin_prefetch(staende + ziele[j + 16]);
    const int32_t t = ziele[j];
    const Laufplan::Stand& z = staende[static_cast<std::size_t>(t)];
    const std::size_t nach = t < bisC ? 1 : 0;
    fensterschritt(spalten, gefenstert[j], gerettet[j], zeittakt, z.feuernd[nach], z.lernfaktor[nach],
                   z.lernfaktorstart);
  }
}

// The windowed targets fensterzellen[von, bis) before and after their own
// steps A and B, worked out on copies (the steps read nothing but the cell
// itself). A cell below the first one walked keeps its state.
void staendeErmitteln(const Netz& netz, Laufplan& plan, std::size_t von, std::size_t bis) {
  const TZelle* const zellen = netz.Zelltabelle.data();
  const int32_t* const fensterzellen = plan.fensterzellen.data();
  for (std::size_t d = von; d < bis; ++d) {
    if (d + vorausZellen < bis) __builtin_prefetch(zellen + fensterzellen[d + vorausZellen]);
    const int32_t c = fensterzellen[d];
    Kern k(zellen[static_cast<std::size_t>(c)]);
    Laufplan::Stand& z = plan.staende[d];
    z.feuernd[0] = zaehltAlsFeuernd(k);
    z.lernfaktor[0] = k.lernfaktor;
    z.lernfaktorstart = k.lernfaktorstart;
    if (c >= netz.ersteZelle) {
      feuertest(k);
      erholung(k);
    }
    z.feuernd[1] = zaehltAlsFeuernd(k);
    z.lernfaktor[1] = k.lernfaktor;
  }
}

// Phase 1 in parts on several threads: first the windowed targets as they
// are before and after their steps A and B; then stretches of cells (more
// stretches than threads, see Faeden::stueckeJeTeil), each through A, B and
// C and then its firings into the schedule's store of the stretch; then, on
// the calling thread in cell order, the firings and ends of refractory
// phases for the display.
void feuernGeteilt(Simulation& sim, Zyklusanzeige& anzeige, int32_t teile) {
  Netz& netz = sim.netz;
  Laufplan& plan = sim.plan;
  const int32_t erste = netz.ersteZelle;
  const int64_t zahl = netz.zellenzahl - erste;
  const auto stuecke = static_cast<int32_t>(std::min<int64_t>(zahl, int64_t{teile} * Faeden::stueckeJeTeil));
  plan.teileVorbereiten(stuecke);
  const bool nachPlan = plan.ereignisse.aktiv();
  if (nachPlan) plan.ereignisse.aufteilen(netz, stuecke);
  auto stretch = [&](int32_t s) {
    return std::pair{stueckanfang(erste, netz.zellenzahl, s, stuecke),
                     stueckanfang(erste, netz.zellenzahl, s + 1, stuecke)};
  };
  const int32_t zeittakt = sim.zeittakt;
  // The windowed targets before and after their own steps A and B.
  if (plan.fensterzahl() > 0) {
    const auto zahlFenster = static_cast<int32_t>(plan.fensterzellen.size());
    sim.faeden.verteilen(teile, stuecke, [&](int32_t s, int32_t) {
      staendeErmitteln(netz, plan, static_cast<std::size_t>(stueckanfang(0, zahlFenster, s, stuecke)),
                       static_cast<std::size_t>(stueckanfang(0, zahlFenster, s + 1, stuecke)));
    });
  }
  sim.faeden.verteilen(teile, stuecke, [&](int32_t s, int32_t) {
    Teilarbeit& t = plan.teilarbeit[static_cast<std::size_t>(s)];
    t.gerettet.resize(plan.gerettet.size());
    const auto [von, bis] = stretch(s);
    // The addresses are taken once, as in the single walk.
    TZelle* const zellen = netz.Zelltabelle.data();
    uint8_t* const gesperrt = plan.gesperrt.data();
    const uint8_t* const schritt = plan.gewichtsschritt.data();
    for (int32_t c = von; c < bis; ++c) {
      const auto i = static_cast<std::size_t>(c);
      if (c + vorausZellen < bis) __builtin_prefetch(zellen + i + vorausZellen, 1);
      TZelle& zelle = zellen[i];
      const Ausgang a = feuertest(zelle);
      if (a == Ausgang::gefeuert) {
        // By schedule the firings go into the piece's store after the walk.
        if (!nachPlan && starten(netz, c)) t.gestartet.push_back(c);
        t.ereignisse.push_back(c);
      } else if (a == Ausgang::erholt) {
        t.ereignisse.push_back(~c);
      }
      erholung(zelle);
      gesperrt[i] = zelle.refraktaerrest != 0 ? 1 : 0;
      if (schritt[i] == 0) continue;
      if (plan.fensterLang) {
        gewichtsschritt(netz, plan, plan.fensterverbindungenLang.data(), c, zeittakt, t.gerettet.data());
      } else {
        gewichtsschritt(netz, plan, plan.fensterverbindungen.data(), c, zeittakt, t.gerettet.data());
      }
    }
    // Each piece has a store of the schedule of its own.
    if (nachPlan) plan.ereignisse.gefeuert(t.ereignisse, static_cast<std::size_t>(s));
  });
  // The stretches in index order.
  for (const Teilarbeit& t : plan.teilarbeit) {
    for (const int32_t e : t.ereignisse) {
      if (e < 0) {
        anzeige.refraktaerEnde(~e);
        continue;
      }
      anzeige.gefeuert(e);
    }
    // The stretches come in index order, so the list stays ascending.
    plan.gestartet.insert(plan.gestartet.end(), t.gestartet.begin(), t.gestartet.end());
  }
}

}  // namespace

void feuern(Simulation& sim, Zyklusanzeige& anzeige) {
  zeitlupePause(sim.param.zeitlupe);
  Netz& netz = sim.netz;
  Laufplan& plan = sim.plan;
  plan.pruefen(netz);
  plan.modusWaehlen(netz, sim.param.pWert);
  // Launches of an earlier phase 1 that no phase 3 has seen yet join the
  // cells in transit, so this pass can start a fresh ascending list.
  if (!plan.gestartet.empty()) plan.vereinigen();
  const int32_t teile = sim.faeden.teile(netz.zellenzahl - netz.ersteZelle);
  if (teile > 1) {
    feuernGeteilt(sim, anzeige, teile);
    return;
  }
  // Each cell runs through A, B and C before the next cell is looked at.
  // Nothing in the pass changes the size of the table or of the per-cell
  // bytes, so their addresses are taken once (a byte store could otherwise
  // stand for any of them and have them read again for every cell).
  TZelle* const zellen = netz.Zelltabelle.data();
  uint8_t* const gesperrt = plan.gesperrt.data();
  const uint8_t* const schritt = plan.gewichtsschritt.data();
  const int32_t ende = netz.zellenzahl;
  const int32_t zeittakt = sim.zeittakt;
  const bool nachPlan = plan.ereignisse.aktiv();
  if (nachPlan) plan.ereignisse.einzeln();
  std::vector<int32_t>& feuernd = plan.feuernd;
  feuernd.clear();
  if (plan.fensterzahl() > 0) staendeErmitteln(netz, plan, 0, plan.fensterzellen.size());
  for (int32_t c = netz.ersteZelle; c < ende; ++c) {
    const auto i = static_cast<std::size_t>(c);
    // The records are two lines long and the walk reads the first of each:
    // a stride the hardware does not fetch ahead by itself.
    if (c + vorausZellen < ende) __builtin_prefetch(zellen + i + vorausZellen, 1);
    TZelle& zelle = zellen[i];
    const Ausgang a = feuertest(zelle);
    if (a == Ausgang::gefeuert) {
      if (nachPlan) {
        // Into the schedule after the walk.
        feuernd.push_back(c);
      } else if (starten(netz, c)) {
        // Cells come in index order, so the list stays ascending.
        plan.gestartet.push_back(c);
      }
      anzeige.gefeuert(c);
    } else if (a == Ausgang::erholt) {
      anzeige.refraktaerEnde(c);
    }
    erholung(zelle);
    gesperrt[i] = zelle.refraktaerrest != 0 ? 1 : 0;
    // Without a factor other than 1.0 and without a windowed target no weight changes.
    if (schritt[i] != 0) {
      if (plan.fensterLang) {
        gewichtsschritt(netz, plan, plan.fensterverbindungenLang.data(), c, zeittakt, plan.gerettet.data());
      } else {
        gewichtsschritt(netz, plan, plan.fensterverbindungen.data(), c, zeittakt, plan.gerettet.data());
      }
    }
  }
  if (nachPlan) plan.ereignisse.gefeuert(feuernd);
}

}  // namespace velkor
