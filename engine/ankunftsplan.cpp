#include "engine/ankunftsplan.h"

#include <algorithm>

#include "engine/reihenfolge.h"
#include "engine/umlauf.h"
#include "net/modell.h"

namespace velkor {

namespace {

// The counter a firing sets: delay + 1, wrapping. 0 never arrives and draws
// nothing, 1 or more counts down to an arrival, a negative one counts down
// for ever (it would need 2^32 steps to wrap around to 1).
int32_t startwert(int32_t verzoegerung) { return umlaufendPlus(verzoegerung, 1); }

// The counter k phase-3 passes after the firing.
int32_t zaehlerNach(int32_t start, int64_t k) {
  if (start > 0) return k >= start ? 0 : static_cast<int32_t>(start - k);
  if (start < 0) return umlaufendMinus(start, static_cast<int32_t>(static_cast<uint32_t>(k)));
  return 0;
}

}  // namespace

void Ankunftsplan::verwerfen() {
  aktiv_ = false;
  gruppenGueltig_ = false;
  netzKennung_ = nullptr;
  gruppenstart_ = {};
  gruppen_ = {};
  ewig_ = {};
  letztes_ = {};
  ablagen_ = {};
  faellig_ = {};
  bitfeld_ = {};
  versuche_ = 0;
  sperreBis_ = 0;
}

bool Ankunftsplan::gruppenBilden(const Netz& netz) {
  const auto n = static_cast<std::size_t>(netz.zellenzahl);
  const Verbindungen& v = netz.verbindungen;
  const int32_t* verzoegerung = v.verzoegerung.data();
  // Group numbers and places are 32-bit; larger nets count down.
  if (v.size() >= UINT32_MAX) return false;
  gruppenstart_.assign(n + 1, 0);
  gruppen_.clear();
  ewig_.assign(n, 0);
  laengste_ = 0;
  // The connections of a cell stand by delay (engine/reihenfolge.h), so a
  // group is a run of places. First the number of groups, so that they are
  // allocated once and exactly; a cell out of that order counts down.
  std::size_t gruppenzahl = 0;
  for (std::size_t c = 0; c < n; ++c) {
    uint32_t vorher = 0;
    for (std::size_t k = netz.verbindungsstart[c], ende = netz.verbindungsstart[c + 1]; k < ende; ++k) {
      const uint32_t s = ordnungsschluessel(verzoegerung[k]);
      if (s < vorher) return false;
      if (s != UINT32_MAX && (k == netz.verbindungsstart[c] || s != vorher)) ++gruppenzahl;
      vorher = s;
    }
  }
  gruppen_.reserve(gruppenzahl);
  // Read at random places: large pages spare the page walks.
  grosseSeitenErbitten(gruppen_.data(), gruppen_.capacity() * sizeof(Gruppe));
  for (std::size_t c = 0; c < n; ++c) {
    gruppenstart_[c] = static_cast<uint32_t>(gruppen_.size());
    const auto zelle = static_cast<int32_t>(c);
    for (std::size_t k = netz.verbindungsstart[c], ende = netz.verbindungsstart[c + 1]; k < ende; ++k) {
      const int32_t s = startwert(verzoegerung[k]);
      ewig_[c] += static_cast<uint32_t>(s < 0);
      if (s <= 0) continue;
      const int32_t d = s - 1;
      if (d > hoechsteVerzoegerung) return false;
      if (gruppen_.size() > gruppenstart_[c] && gruppen_.back().verzoegerung == d) {
        ++gruppen_.back().anzahl;
      } else {
        gruppen_.push_back({zelle, d, 1, static_cast<uint32_t>(k)});
        laengste_ = std::max(laengste_, d);
      }
    }
  }
  gruppenstart_[n] = static_cast<uint32_t>(gruppen_.size());
  netzKennung_ = v.ziel.data();
  verbindungszahl_ = v.size();
  gruppenGueltig_ = true;
  return true;
}

bool Ankunftsplan::betreten(Netz& netz) {
  Verbindungen& v = netz.verbindungen;
  if (!gruppenGueltig_ || netzKennung_ != v.ziel.data() || verbindungszahl_ != v.size()) {
    if (!gruppenBilden(netz)) {
      gruppenGueltig_ = false;
      sperreBis_ = UINT64_MAX;
      return false;
    }
  }
  std::size_t groesse = 2;
  while (groesse <= static_cast<std::size_t>(laengste_)) groesse *= 2;
  ablagen_.assign(1, {});
  ablagen_[0].ring.assign(groesse, {});
  ablagen_[0].zugaenderung.assign(groesse, 0);
  maske_ = groesse - 1;
  // Far from 0, so that a firing step derived from a counter is never negative.
  jetzt_ = int64_t{1} << 40;
  letztes_.assign(static_cast<std::size_t>(netz.zellenzahl), nie);
  zuegeLaufend_ = 0;
  if (v.laufzaehler.size() == v.size()) {
    for (int32_t c = 0; c < netz.zellenzahl; ++c) {
      if (!zelleUebernehmen(netz, c, v.laufzaehler.data())) {
        sperreBis_ = versuche_ + 2 * (static_cast<uint64_t>(laengste_) + 2);
        return false;
      }
    }
  }
  // The counters follow from the schedule from now on.
  std::vector<int32_t>().swap(v.laufzaehler);
  aktiv_ = true;
  return true;
}

// The counters of cell c fit a firing k phase-3 passes ago: the schedule takes it over.
bool Ankunftsplan::zelleUebernehmen(const Netz& netz, int32_t c, const int32_t* lauf) {
  const Verbindungen& v = netz.verbindungen;
  const std::size_t anfang = netz.verbindungsanfang(c);
  const std::size_t ende = netz.verbindungsende(c);
  bool gefunden = false;
  int64_t k = 0;
  // The counters stand in list order, the delays by place.
  for (std::size_t i = anfang; i < ende && !gefunden; ++i) {
    const int32_t s = startwert(v.verzoegerung[netz.platz(c, i)]);
    const int32_t l = lauf[i];
    if (l == 0) continue;
    if (s > 0 && l >= 1 && l <= s) {
      k = s - l;
    } else if (s < 0) {
      k = static_cast<int64_t>(static_cast<uint32_t>(umlaufendMinus(s, l)));
    } else {
      return false;  // a counter that no firing at P >= 99 leaves behind
    }
    gefunden = true;
  }
  if (!gefunden) return true;  // nothing in transit
  for (std::size_t i = anfang; i < ende; ++i) {
    if (lauf[i] != zaehlerNach(startwert(v.verzoegerung[netz.platz(c, i)]), k)) return false;
  }
  const int64_t n = jetzt_ - k;
  letztes_[static_cast<std::size_t>(c)] = n;
  Ablage& a = ablagen_[0];
  a.zuegeEwig += ewig_[static_cast<std::size_t>(c)];
  for (uint32_t g = gruppenstart_[static_cast<std::size_t>(c)]; g < gruppenstart_[static_cast<std::size_t>(c) + 1];
       ++g) {
    const int64_t d = gruppen_[g].verzoegerung;
    if (d < k) continue;  // arrived
    a.ring[platz(n + d)].push_back(g);
    if (d > k) {
      a.zugaenderung[platz(jetzt_)] += gruppen_[g].anzahl;
      a.zugaenderung[platz(n + d)] -= gruppen_[g].anzahl;
    }
  }
  return true;
}

void Ankunftsplan::verlassen(Netz& netz) {
  Verbindungen& v = netz.verbindungen;
  v.laufzaehler.assign(v.size(), 0);
  for (int32_t c = 0; c < netz.zellenzahl; ++c) {
    const int64_t n = letztes_[static_cast<std::size_t>(c)];
    if (n == nie) continue;
    const int64_t k = jetzt_ - n;
    for (std::size_t i = netz.verbindungsanfang(c), ende = netz.verbindungsende(c); i < ende; ++i) {
      v.laufzaehler[i] = zaehlerNach(startwert(v.verzoegerung[netz.platz(c, i)]), k);
    }
  }
  aktiv_ = false;
  letztes_ = {};
  ablagen_ = {};
}

void Ankunftsplan::teileVorbereiten(std::size_t teile) {
  while (ablagen_.size() < teile) {
    ablagen_.emplace_back();
    ablagen_.back().ring.assign(maske_ + 1, {});
    ablagen_.back().zugaenderung.assign(maske_ + 1, 0);
  }
}

void Ankunftsplan::anmelden(int32_t c, int64_t n, Ablage& a) {
  for (uint32_t g = gruppenstart_[static_cast<std::size_t>(c)]; g < gruppenstart_[static_cast<std::size_t>(c) + 1];
       ++g) {
    const int64_t d = gruppen_[g].verzoegerung;
    a.ring[platz(n + d)].push_back(g);
    // Counters of 2 or more draw in the steps n .. n + d - 1.
    if (d > 0) {
      a.zugaenderung[platz(n)] += gruppen_[g].anzahl;
      a.zugaenderung[platz(n + d)] -= gruppen_[g].anzahl;
    }
  }
}

// Cell c, which fired in step `alt`, fires again in step n: the draws of its
// spikes that would still count down from n on are taken back. Their arrivals
// stay in the schedule and are skipped as stale.
void Ankunftsplan::abmelden(int32_t c, int64_t alt, int64_t n, Ablage& a) {
  const int64_t k = n - alt;
  for (std::size_t g = gruppenstart_[static_cast<std::size_t>(c)]; g < gruppenstart_[static_cast<std::size_t>(c) + 1];
       ++g) {
    const int64_t d = gruppen_[g].verzoegerung;
    if (d <= k) continue;
    a.zugaenderung[platz(n)] -= gruppen_[g].anzahl;
    a.zugaenderung[platz(alt + d)] += gruppen_[g].anzahl;
  }
}

void Ankunftsplan::gefeuert(int32_t c, std::size_t teil) {
  Ablage& a = ablagen_[teil];
  const int64_t n = jetzt_;
  int64_t& alt = letztes_[static_cast<std::size_t>(c)];
  if (alt == nie) {
    // Never-ending counters draw in every step from the first firing on.
    a.zuegeEwig += ewig_[static_cast<std::size_t>(c)];
  } else {
    abmelden(c, alt, n, a);
  }
  alt = n;
  anmelden(c, n, a);
}

// The groups of this step's bucket, ascending (and so in the order of their
// cells) and each once.
const std::vector<uint32_t>& Ankunftsplan::faelligeGruppen() {
  std::vector<uint32_t>& eimer = ablagen_[0].ring[platz(jetzt_)];
  // The stores of the parts join the first one.
  for (std::size_t t = 1; t < ablagen_.size(); ++t) {
    std::vector<uint32_t>& dazu = ablagen_[t].ring[platz(jetzt_)];
    eimer.insert(eimer.end(), dazu.begin(), dazu.end());
    dazu.clear();
  }
  faellig_.clear();
  const std::size_t n = gruppen_.size();
  if (eimer.size() < 64 || eimer.size() * 8 < n / 64) {
    faellig_.swap(eimer);
    std::sort(faellig_.begin(), faellig_.end());
    faellig_.erase(std::unique(faellig_.begin(), faellig_.end()), faellig_.end());
    eimer.clear();
    return faellig_;
  }
  // Many entries: a bit per group, read in order.
  bitfeld_.resize((n + 63) / 64);
  for (const uint32_t g : eimer) bitfeld_[g / 64] |= uint64_t{1} << (g % 64);
  eimer.clear();
  for (std::size_t w = 0; w < bitfeld_.size(); ++w) {
    uint64_t bits = bitfeld_[w];
    bitfeld_[w] = 0;
    while (bits != 0) {
      faellig_.push_back(static_cast<uint32_t>(w * 64 + static_cast<std::size_t>(__builtin_ctzll(bits))));
      bits &= bits - 1;
    }
  }
  return faellig_;
}

}  // namespace velkor
