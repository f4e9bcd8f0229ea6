#include "engine/reihenfolge.h"

#include <algorithm>
#include <numeric>
#include <utility>
#include <vector>

#include "net/modell.h"

namespace velkor {

namespace {

// Where the connections of cell c go: for list index i (from the cell's
// first), its place now (plaetze) and the place it must take (ziele), by
// delay and in list order within one delay. Delays below 64 and those that
// never arrive, as almost all nets have them, are sorted by counting.
struct Zellordnung {
  std::vector<uint32_t> plaetze;
  std::vector<uint32_t> ziele;
  std::vector<uint32_t> schluessel;
  std::vector<uint32_t> folge;

  // Returns whether every connection already stands where it must.
  bool berechnen(const Netz& netz, int32_t c) {
    const int32_t* d = netz.verbindungen.verzoegerung.data();
    const std::size_t anfang = netz.verbindungsanfang(c);
    const std::size_t n = netz.verbindungsende(c) - anfang;
    plaetze.resize(n);
    ziele.resize(n);
    schluessel.resize(n);
    bool klein = true;
    for (std::size_t i = 0; i < n; ++i) {
      plaetze[i] = static_cast<uint32_t>(netz.platz(c, anfang + i) - anfang);
      const uint32_t s = ordnungsschluessel(d[anfang + plaetze[i]]);
      schluessel[i] = s;
      klein = klein && (s < 64 || s == UINT32_MAX);
    }
    if (klein) {
      uint32_t naechster[65] = {};
      for (std::size_t i = 0; i < n; ++i) ++naechster[std::min<uint32_t>(schluessel[i], 64)];
      uint32_t summe = 0;
      for (uint32_t& z : naechster) summe += std::exchange(z, summe);
      for (std::size_t i = 0; i < n; ++i) ziele[i] = naechster[std::min<uint32_t>(schluessel[i], 64)]++;
    } else {
      folge.resize(n);
      std::iota(folge.begin(), folge.end(), uint32_t{0});
      std::stable_sort(folge.begin(), folge.end(),
                       [&](uint32_t a, uint32_t b) { return schluessel[a] < schluessel[b]; });
      for (std::size_t p = 0; p < n; ++p) ziele[folge[p]] = static_cast<uint32_t>(p);
    }
    return plaetze == ziele;
  }
};

// A map that stands for the list order itself, in the form the longest list needs.
void gleicheFolgeAnlegen(Netz& netz) {
  std::size_t laengste = 0;
  for (int32_t c = 0; c < netz.zellenzahl; ++c)
    laengste = std::max(laengste, netz.verbindungsende(c) - netz.verbindungsanfang(c));
  const std::size_t n = netz.verbindungen.size();
  if (laengste <= 256) {
    netz.listenfolge.kurz.resize(n);
  } else {
    netz.listenfolge.lang.resize(n);
  }
  for (int32_t c = 0; c < netz.zellenzahl; ++c) {
    const std::size_t anfang = netz.verbindungsanfang(c);
    for (std::size_t k = anfang; k < netz.verbindungsende(c); ++k) {
      if (laengste <= 256) {
        netz.listenfolge.kurz[k] = static_cast<uint8_t>(k - anfang);
      } else {
        netz.listenfolge.lang[k] = static_cast<uint32_t>(k - anfang);
      }
    }
  }
}

}  // namespace

bool verbindungenGeordnet(const Netz& netz) {
  Zellordnung o;
  for (int32_t c = 0; c < netz.zellenzahl; ++c) {
    if (!o.berechnen(netz, c)) return false;
  }
  return true;
}

void verbindungenOrdnen(Netz& netz) {
  Verbindungen& v = netz.verbindungen;
  const std::size_t groesse = netz.listenfolge.kurz.size() + netz.listenfolge.lang.size();
  if (groesse != 0 && groesse != v.size()) netz.listenfolge.leeren();
  Zellordnung o;
  std::vector<uint32_t> alt;
  for (int32_t c = 0; c < netz.zellenzahl; ++c) {
    if (o.berechnen(netz, c)) continue;
    if (netz.listenfolge.gleich()) gleicheFolgeAnlegen(netz);
    const std::size_t anfang = netz.verbindungsanfang(c);
    const std::size_t n = o.plaetze.size();
    alt.resize(n);
    for (std::size_t i = 0; i < n; ++i) alt[o.ziele[i]] = o.plaetze[i];
    v.umordnen(anfang, alt.data(), n);
    for (std::size_t i = 0; i < n; ++i) {
      if (!netz.listenfolge.kurz.empty()) {
        netz.listenfolge.kurz[anfang + i] = static_cast<uint8_t>(o.ziele[i]);
      } else {
        netz.listenfolge.lang[anfang + i] = o.ziele[i];
      }
    }
  }
}

}  // namespace velkor
