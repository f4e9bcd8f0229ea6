#include "engine/ankunftsplan.h"

#include <algorithm>

#include "engine/reihenfolge.h"
#include "engine/teilarbeit.h"
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
  stuecke_ = 1;
  schnitt_ = {};
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
  maske_ = groesse - 1;
  ablagen_.clear();
  ablagenAnlegen(1);
  stuecke_ = 1;
  schnitt_.clear();
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

void Ankunftsplan::zaehlerSchreiben(const Netz& netz, std::vector<int32_t>& aus) const {
  zaehlerAus(netz, letztes_.data(), jetzt_, aus);
}

void Ankunftsplan::zaehlerAus(const Netz& netz, const int64_t* feuerschritte, int64_t jetzt, std::vector<int32_t>& aus) {
  const Verbindungen& v = netz.verbindungen;
  aus.assign(v.size(), 0);
  for (int32_t c = 0; c < netz.zellenzahl; ++c) {
    const int64_t n = feuerschritte[static_cast<std::size_t>(c)];
    if (n == nie) continue;
    const int64_t k = jetzt - n;
    for (std::size_t i = netz.verbindungsanfang(c), ende = netz.verbindungsende(c); i < ende; ++i) {
      aus[i] = zaehlerNach(startwert(v.verzoegerung[netz.platz(c, i)]), k);
    }
  }
}

void Ankunftsplan::verlassen(Netz& netz) {
  zaehlerSchreiben(netz, netz.verbindungen.laufzaehler);
  aktiv_ = false;
  letztes_ = {};
  ablagen_ = {};
}

void Ankunftsplan::ablagenAnlegen(std::size_t anzahl) {
  while (ablagen_.size() < anzahl) {
    ablagen_.emplace_back();
    ablagen_.back().ring.assign(maske_ + 1, {});
    ablagen_.back().zugaenderung.assign(maske_ + 1, 0);
  }
}

void Ankunftsplan::aufteilen(const Netz& netz, int32_t stuecke) {
  stuecke = std::max<int32_t>(stuecke, 1);
  if (stuecke == stuecke_ && schnitt_.size() == static_cast<std::size_t>(stuecke) + 1 &&
      netz.ersteZelle == schnittErste_ && netz.zellenzahl == schnittZellen_) {
    return;
  }
  ablagenAnlegen(static_cast<std::size_t>(stuecke));
  // Piece 0 takes the cells before the first one of the walk as well.
  schnitt_.assign(static_cast<std::size_t>(stuecke) + 1, static_cast<uint32_t>(gruppen_.size()));
  schnitt_[0] = 0;
  for (int32_t s = 1; s < stuecke; ++s) {
    const int32_t c = std::clamp(stueckanfang(netz.ersteZelle, netz.zellenzahl, s, stuecke), 0, netz.zellenzahl);
    schnitt_[static_cast<std::size_t>(s)] = gruppenstart_[static_cast<std::size_t>(c)];
  }
  // Every entry to the store of its piece; the counts of draws stay where
  // they are (they are summed over all stores).
  std::vector<uint32_t> alle;
  for (std::size_t r = 0; r <= maske_; ++r) {
    alle.clear();
    for (Ablage& a : ablagen_) {
      alle.insert(alle.end(), a.ring[r].begin(), a.ring[r].end());
      a.ring[r].clear();
    }
    for (const uint32_t g : alle) {
      const auto s = static_cast<std::size_t>(std::upper_bound(schnitt_.begin() + 1, schnitt_.end() - 1, g) -
                                              (schnitt_.begin() + 1));
      ablagen_[s].ring[r].push_back(g);
    }
  }
  stuecke_ = stuecke;
  schnittErste_ = netz.ersteZelle;
  schnittZellen_ = netz.zellenzahl;
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

void Ankunftsplan::ordnen(std::vector<uint32_t>& eimer, uint32_t von, uint32_t bis, std::vector<uint64_t>& bitfeld,
                          std::vector<uint32_t>& aus) {
  aus.clear();
  const std::size_t n = bis - von;
  if (eimer.size() < 64 || eimer.size() * 8 < n / 64) {
    aus.swap(eimer);
    std::sort(aus.begin(), aus.end());
    aus.erase(std::unique(aus.begin(), aus.end()), aus.end());
    eimer.clear();
    return;
  }
  // Many entries: a bit per group, read in order.
  const std::size_t basis = von / 64;
  bitfeld.resize((std::size_t{bis} + 63) / 64 - basis);
  for (const uint32_t g : eimer) bitfeld[g / 64 - basis] |= uint64_t{1} << (g % 64);
  eimer.clear();
  for (std::size_t w = 0; w < bitfeld.size(); ++w) {
    uint64_t bits = bitfeld[w];
    bitfeld[w] = 0;
    while (bits != 0) {
      aus.push_back(static_cast<uint32_t>((basis + w) * 64 + static_cast<std::size_t>(__builtin_ctzll(bits))));
      bits &= bits - 1;
    }
  }
}

void Ankunftsplan::gefeuert(const std::vector<int32_t>& zellen, std::size_t stueck) {
  // Firing cells lie far apart: their firing steps, the starts of their
  // groups and the groups are lines of their own, each fetched after what it needs.
  const std::size_t n = zellen.size();
  for (std::size_t i = 0; i < n; ++i) {
    if (i + 16 < n && zellen[i + 16] >= 0) {
      __builtin_prefetch(letztes_.data() + zellen[i + 16], 1);
      __builtin_prefetch(gruppenstart_.data() + zellen[i + 16]);
    }
    if (i + 8 < n && zellen[i + 8] >= 0) {
      // The first and the fifth group, where the cell has them.
      const auto c = static_cast<std::size_t>(zellen[i + 8]);
      const uint32_t von = gruppenstart_[c];
      const uint32_t bis = gruppenstart_[c + 1];
      if (von < bis) {
        __builtin_prefetch(&gruppen_[von]);
        __builtin_prefetch(&gruppen_[std::min(von + 4, bis - 1)]);
      }
    }
    if (zellen[i] >= 0) gefeuert(zellen[i], stueck);
  }
}

// The groups of this step's bucket, ascending (and so in the order of their
// cells) and each once.
const std::vector<uint32_t>& Ankunftsplan::faelligeGruppen() {
  std::vector<uint32_t>& eimer = ablagen_[0].ring[platz(jetzt_)];
  // The stores of the pieces join the first one (and stay in their cut: the bucket is emptied).
  for (std::size_t t = 1; t < ablagen_.size(); ++t) {
    std::vector<uint32_t>& dazu = ablagen_[t].ring[platz(jetzt_)];
    eimer.insert(eimer.end(), dazu.begin(), dazu.end());
    dazu.clear();
  }
  ordnen(eimer, 0, static_cast<uint32_t>(gruppen_.size()), bitfeld_, faellig_);
  return faellig_;
}

const std::vector<uint32_t>& Ankunftsplan::faelligImStueck(int32_t s) {
  Ablage& a = ablagen_[static_cast<std::size_t>(s)];
  ordnen(a.ring[platz(jetzt_)], schnitt_[static_cast<std::size_t>(s)], schnitt_[static_cast<std::size_t>(s) + 1],
         a.bitfeld, a.faellig);
  return a.faellig;
}

}  // namespace velkor
