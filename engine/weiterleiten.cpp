// Phase 3 of a time step: spikes in transit count down and arrive, with
// learning at arrival.

#include <algorithm>
#include <array>
#include <cmath>
#include <utility>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "engine/umlauf.h"
#include "engine/weiterleiten.h"
#include "engine/zyklus.h"

namespace velkor {

void ankunftslernen(Netz& netz, std::size_t k, TZelle& ziel) {
  Verbindungen& v = netz.verbindungen;
  ankunftslernen(v.gewicht[k], v.lernschritt[k], v.maximalgewicht[k], v.maximalgewicht[k] != v.startgewicht[k], ziel);
}

namespace {

// Accepted arrivals are gathered over the lists of a few cells and then taken
// in the order of the walk. Nothing in the countdown reads a cell, and a lost
// arrival changes nothing but its counter, so this keeps the order of every
// effect; it only lets the targets be fetched from memory ahead of their turn.
constexpr std::size_t puffergroesse = 64;

// An accepted arrival over connection k of cell `quelle`, noted for its turn.
struct Vormerkung {
  std::size_t k;
  int32_t quelle;
  int32_t ziel;
  bool fest;  // Laufplan::festeGewichte of the source
};

// An accepted arrival over connection k, whose counter is already 0.
void aufnehmen(Netz& netz, Laufplan& plan, const Vormerkung& a, int32_t zeittakt) {
  Verbindungen& v = netz.verbindungen;
  TZelle& ziel = netz.Zelltabelle[static_cast<std::size_t>(a.ziel)];
  v.letzteankunft[a.k] = zeittakt;
  if (a.fest && std::isfinite(ziel.lernfaktor)) {
    // With a finite learning factor the arrival rule computes w + 0 * f = w
    // for such a connection and caps nothing: only the weight is added.
  } else {
    // The full rule; a non-finite factor can move the weight from now on.
    if (a.fest) plan.festeGewichte[static_cast<std::size_t>(a.quelle)] = 0;
    ankunftslernen(netz, a.k, ziel);
  }
  ziel.potenzial = ziel.potenzial + v.gewicht[a.k];
  // The floor after each single arrival: the result depends on the order in
  // which excitatory and inhibitory spikes come in.
  if (ziel.potenzial <= -ziel.schwelle) ziel.potenzial = -ziel.schwelle;
}

class Weiterleitung {
 public:
  explicit Weiterleitung(Simulation& sim)
      : sim_(sim),
        netz_(sim.netz),
        plan_(sim.plan),
        lauf_(sim.netz.verbindungen.laufzaehler.data()),
        ziel_(sim.netz.verbindungen.ziel.data()),
        gewicht_(sim.netz.verbindungen.gewicht.data()),
        letzteankunft_(sim.netz.verbindungen.letzteankunft.data()),
        pWert_(sim.param.pWert),
        immer_(sim.param.pWert >= 99) {}

  // The list of cell c: countdown, arrivals gathered. Returns whether a spike
  // is still in transit. The counters stand in list order; `folge` gives
  // the place of an arriving connection.
  template <class Folge>
  bool zellliste(int32_t c, Folge folge) {
    const bool fest = plan_.festeGewichte[static_cast<std::size_t>(c)] != 0;
    const std::size_t anfang = netz_.verbindungsanfang(c);
    const std::size_t ende = netz_.verbindungsende(c);
    if (immer_) return zelllisteImmer(c, fest, anfang, ende, folge);
    bool bleibt = false;
    for (std::size_t i = anfang; i < ende; ++i) {
      const int32_t l = lauf_[i];
      if (l == 0) continue;
      if (l == 1) {
        lauf_[i] = 0;
        ankunft(c, fest, folge(anfang, i));
        continue;
      }
      // One draw for every counting connection in every step, whatever P is,
      // so the sequence of draws does not depend on P.
      // Without a branch: the draws come in no order.
      lauf_[i] = umlaufendMinus(l, sim_.zufall.naechste0bis99() <= pWert_ ? 1 : 0);
      bleibt = bleibt || lauf_[i] != 0;
    }
    return bleibt;
  }

  // Always inlined: GCC drops a call to a function that only fetches ahead.
  [[gnu::always_inline]] void vorholen(int32_t c) const {
    const std::size_t anfang = netz_.verbindungsanfang(c);
    const std::size_t ende = netz_.verbindungsende(c);
    // A cache line holds 16 counters or targets; long lists are fetched as they are walked.
    for (std::size_t k = anfang; k < ende && k < anfang + 256; k += 16) {
      __builtin_prefetch(lauf_ + k, 1);
      __builtin_prefetch(ziel_ + k, 0);
    }
  }

  // By schedule: the connections of group g arrive now. They stand side by
  // side in the columns, in list order. Most arrivals in a busy net are lost
  // at refractory cells, so the accepted ones are picked without a branch
  // first and then noted in their order.
  void gruppe(const Ankunftsplan::Gruppe& g) {
    const int32_t c = g.zelle;
    const bool fest = plan_.festeGewichte[static_cast<std::size_t>(c)] != 0;
    const int32_t* z = ziel_ + g.anfang;
    const std::size_t anfang = g.anfang;
    waehlen(
        g.anzahl, [z](uint32_t i) { return z[i]; },
        [z, anfang, c, fest](uint32_t i) {
          return Vormerkung{anfang + i, c, z[i], fest};
        });
  }

  // The targets of a group a few groups ahead.
  [[gnu::always_inline]] void zieleVorholen(const Ankunftsplan::Gruppe& g) const {
    zeilenVorholen<0>(ziel_ + g.anfang, 4 * std::size_t{std::min<uint32_t>(g.anzahl, 512)});
  }

  void abschliessen() {
    ausfuehren();
    // The generator moves on as if the counted draws had been made one by one.
    if (zuege_ > 0) sim_.zufall.vorruecken(zuege_);
  }

 private:
  // The n connections of a group: the target of the i-th, and its arrival.
  template <class Ziel, class Ankunftvon>
  void waehlen(uint32_t n, Ziel ziel, Ankunftvon ankunftvon) {
    const uint8_t* gesperrt = plan_.gesperrt.data();
    std::size_t* angenommen = ankuenfte_.data();
    for (uint32_t von = 0; von < n; von += stueck) {
      const uint32_t bis = std::min<uint32_t>(n, von + static_cast<uint32_t>(stueck));
      std::size_t m = 0;
      for (uint32_t i = von; i < bis; ++i) {
        angenommen[m] = i;
        m += static_cast<std::size_t>(gesperrt[static_cast<std::size_t>(ziel(i))] == 0);
      }
      for (std::size_t j = 0; j < m; ++j) vormerken(ankunftvon(static_cast<uint32_t>(angenommen[j])));
    }
  }

  // With P of 99 or more every countdown step succeeds, so no number is
  // drawn here; the draws are only counted. Without a branch per connection:
  // the counters of a chunk are updated first, the arrivals noted on the way,
  // and then taken in their order.
  template <class Folge>
  bool zelllisteImmer(int32_t c, bool fest, std::size_t anfang, std::size_t ende, Folge folge) {
    uint32_t rest = 0;
    for (std::size_t von = anfang; von < ende; von += stueck) {
      const std::size_t bis = std::min(ende, von + stueck);
      uint64_t zuege = 0;
      const std::size_t n = abzaehlen(von, bis, rest, zuege);
      zuege_ += zuege;
      // Arrivals at a refractory cell are lost (also at a cell that fired in
      // this time step and at one whose refraktaerrest went negative); most
      // are, in a busy net, so the accepted ones are picked without a branch.
      std::size_t m = 0;
      for (std::size_t i = 0; i < n; ++i) {
        const std::size_t k = folge(anfang, ankuenfte_[i]);
        ankuenfte_[m] = k;
        m += static_cast<std::size_t>(plan_.gesperrt[static_cast<std::size_t>(ziel_[k])] == 0);
      }
      for (std::size_t i = 0; i < m; ++i) vormerken({ankuenfte_[i], c, ziel_[ankuenfte_[i]], fest});
    }
    return rest != 0;
  }

  // Counts down the counters of [von, bis) by the rule of P 99 and more: 0
  // stays, 1 arrives (becomes 0 and is noted in ankuenfte_), anything else (2
  // or more, or negative) goes down by one and counts as a draw. No branch
  // per connection: the three cases come in no order. Returns the arrivals.
  std::size_t abzaehlen(std::size_t von, std::size_t bis, uint32_t& rest, uint64_t& zuege) {
    std::size_t n = 0;
    std::size_t k = von;
#if defined(__SSE2__)
    const __m128i null = _mm_setzero_si128();
    const __m128i eins = _mm_set1_epi32(1);
    __m128i oder = null;
    __m128i gezaehlt = null;
    for (; k + 4 <= bis; k += 4) {
      auto* p = reinterpret_cast<__m128i*>(lauf_ + k);
      const __m128i l = _mm_loadu_si128(p);
      const __m128i ankunft = _mm_cmpeq_epi32(l, eins);
      const __m128i ruht = _mm_or_si128(_mm_cmpeq_epi32(l, null), ankunft);
      // andnot: (l - 1) where the counter counts, 0 where it rests or arrives.
      const __m128i neu = _mm_andnot_si128(ruht, _mm_sub_epi32(l, eins));
      _mm_storeu_si128(p, neu);
      oder = _mm_or_si128(oder, neu);
      gezaehlt = _mm_add_epi32(gezaehlt, _mm_andnot_si128(ruht, eins));
      auto maske = static_cast<unsigned>(_mm_movemask_ps(_mm_castsi128_ps(ankunft)));
      while (maske != 0) {
        ankuenfte_[n++] = k + static_cast<std::size_t>(__builtin_ctz(maske));
        maske &= maske - 1;
      }
    }
    alignas(16) uint32_t teile[4];
    _mm_store_si128(reinterpret_cast<__m128i*>(teile), oder);
    rest |= teile[0] | teile[1] | teile[2] | teile[3];
    _mm_store_si128(reinterpret_cast<__m128i*>(teile), gezaehlt);
    zuege += static_cast<uint64_t>(teile[0]) + teile[1] + teile[2] + teile[3];
#endif
    for (; k < bis; ++k) {
      const auto l = static_cast<uint32_t>(lauf_[k]);
      const auto zaehlt = static_cast<uint32_t>(l > 1U);
      const uint32_t neu = (l - 1U) & (0U - zaehlt);
      lauf_[k] = static_cast<int32_t>(neu);
      rest |= neu;
      zuege += zaehlt;
      ankuenfte_[n] = k;
      n += static_cast<std::size_t>(l == 1U);
    }
    return n;
  }

  // A spike over connection k reached its target; its counter is already 0.
  void ankunft(int32_t c, bool fest, std::size_t k) {
    const auto t = static_cast<std::size_t>(ziel_[k]);
    // Arrivals at a refractory cell are lost, also at a cell that fired in
    // this time step and at one whose refraktaerrest went negative.
    if (plan_.gesperrt[t] == 0) vormerken({k, c, ziel_[k], fest});
  }

  void vormerken(const Vormerkung& a) {
    const TZelle& z = netz_.Zelltabelle[static_cast<std::size_t>(a.ziel)];
    // Everything an arrival touches of its target is in the first cache line.
    __builtin_prefetch(&z, 1);
    __builtin_prefetch(gewicht_ + a.k, 0, 0);
    __builtin_prefetch(letzteankunft_ + a.k, 1, 0);
    if (!a.fest) {
      // The columns of the learning rule at arrival.
      __builtin_prefetch(netz_.verbindungen.lernschritt.data() + a.k, 0, 0);
      __builtin_prefetch(netz_.verbindungen.maximalgewicht.data() + a.k, 0, 0);
      __builtin_prefetch(netz_.verbindungen.startgewicht.data() + a.k, 0, 0);
    }
    puffer_[anzahl_++] = a;
    if (anzahl_ == puffergroesse) ausfuehren();
  }
  void ausfuehren() {
    for (std::size_t i = 0; i < anzahl_; ++i) aufnehmen(netz_, plan_, puffer_[i], sim_.zeittakt);
    anzahl_ = 0;
  }

  Simulation& sim_;
  Netz& netz_;
  Laufplan& plan_;
  int32_t* lauf_;
  const int32_t* ziel_;
  const double* gewicht_;
  const int32_t* letzteankunft_;
  const int32_t pWert_;
  const bool immer_;
  uint64_t zuege_ = 0;
  static constexpr std::size_t stueck = 1024;
  std::array<std::size_t, stueck> ankuenfte_;
  std::array<Vormerkung, puffergroesse> puffer_;
  std::size_t anzahl_ = 0;
};

}  // namespace

namespace {

void gruppenAbarbeiten(Weiterleitung& w, const std::vector<Ankunftsplan::Gruppe>& faellig) {
  for (std::size_t i = 0; i < faellig.size(); ++i) {
    if (i + 4 < faellig.size()) w.zieleVorholen(faellig[i + 4]);
    w.gruppe(faellig[i]);
  }
}

// Phase 3 by schedule (P >= 99): only the cells whose spikes of one delay
// arrive now, in index order, each with the connections of that delay in list
// order. The draws of the countdown are counted and skipped.
void weiterleitenNachPlan(Simulation& sim) {
  Laufplan& plan = sim.plan;
  std::vector<Ankunftsplan::Gruppe>& faellig = plan.faellig;
  faellig.clear();
  const uint64_t zuege = plan.ereignisse.ankuenfte([&](const Ankunftsplan::Gruppe& g) { faellig.push_back(g); });
  Weiterleitung w(sim);
  gruppenAbarbeiten(w, faellig);
  w.abschliessen();
  if (zuege > 0) sim.zufall.vorruecken(zuege);
}

}  // namespace

void laufzaehlerAbgleichen(Simulation& sim) {
  Netz& netz = sim.netz;
  sim.plan.pruefen(netz);
  sim.plan.abgleichen(netz);
  // A net that never ran by schedule may come without the column: no spikes.
  if (netz.verbindungen.laufzaehler.size() != netz.verbindungen.size()) {
    netz.verbindungen.laufzaehler.assign(netz.verbindungen.size(), 0);
  }
}

void weiterleiten(Simulation& sim) {
  Laufplan& plan = sim.plan;
  plan.pruefen(sim.netz);
  plan.modusWaehlen(sim.netz, sim.param.pWert);
  // As many parts as phase 1 had, so that the schedule's stores keep their cut.
  const int32_t teile = sim.netz.verbindungen.size() <= plan.teilbarePlaetze
                            ? sim.faeden.teile(sim.netz.zellenzahl - sim.netz.ersteZelle)
                            : 1;
  // A run shared by several processes hands its arrivals on in parts, also on one thread.
  const bool inTeilen = teile > 1 || verteilt(sim.verbund);
  if (plan.ereignisse.aktiv()) {
    if (inTeilen) {
      weiterleitenNachPlanGeteilt(sim, teile);
    } else {
      weiterleitenNachPlan(sim);
    }
    return;
  }
  if (inTeilen) {
    weiterleitenGezaehltGeteilt(sim, teile);
    return;
  }
  plan.vereinigen();
  // Only cells with a spike in transit have work; they come in index order,
  // so arrivals and draws keep the order of a walk over the whole table.
  Weiterleitung w(sim);
  plan.naechste.clear();
  const std::vector<int32_t>& zellen = plan.unterwegs;
  sim.netz.mitFolge([&](auto folge) {
    for (std::size_t i = 0; i < zellen.size(); ++i) {
      // The lists of the cells a few places ahead are fetched from memory meanwhile.
      if (i + 4 < zellen.size()) w.vorholen(zellen[i + 4]);
      if (w.zellliste(zellen[i], folge)) plan.naechste.push_back(zellen[i]);
    }
  });
  w.abschliessen();
  plan.unterwegs.swap(plan.naechste);
}

}  // namespace velkor
