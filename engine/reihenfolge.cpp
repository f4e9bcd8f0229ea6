#include "engine/reihenfolge.h"

#include <algorithm>
#include <numeric>
#include <vector>

#include "net/modell.h"

namespace velkor {

namespace {

// The list index (from the cell's first) of each place of cell c's range.
void listenplaetze(const Netz& netz, int32_t c, std::vector<uint32_t>& anListe) {
  const std::size_t anfang = netz.verbindungsanfang(c);
  const std::size_t n = netz.verbindungsende(c) - anfang;
  anListe.resize(n);
  for (std::size_t i = 0; i < n; ++i) anListe[netz.platz(c, anfang + i) - anfang] = static_cast<uint32_t>(i);
}

// Whether the places of cell c stand by delay, list order within one delay.
bool zelleGeordnet(const Netz& netz, int32_t c, std::vector<uint32_t>& anListe) {
  const int32_t* d = netz.verbindungen.verzoegerung.data();
  const std::size_t anfang = netz.verbindungsanfang(c);
  const std::size_t ende = netz.verbindungsende(c);
  if (netz.listenfolge.gleich()) {
    for (std::size_t k = anfang + 1; k < ende; ++k) {
      if (ordnungsschluessel(d[k - 1]) > ordnungsschluessel(d[k])) return false;
    }
    return true;
  }
  listenplaetze(netz, c, anListe);
  for (std::size_t k = anfang + 1; k < ende; ++k) {
    const uint32_t a = ordnungsschluessel(d[k - 1]);
    const uint32_t b = ordnungsschluessel(d[k]);
    if (a > b || (a == b && anListe[k - 1 - anfang] > anListe[k - anfang])) return false;
  }
  return true;
}

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
  std::vector<uint32_t> anListe;
  for (int32_t c = 0; c < netz.zellenzahl; ++c) {
    if (!zelleGeordnet(netz, c, anListe)) return false;
  }
  return true;
}

void verbindungenOrdnen(Netz& netz) {
  Verbindungen& v = netz.verbindungen;
  const std::size_t groesse = netz.listenfolge.kurz.size() + netz.listenfolge.lang.size();
  if (groesse != 0 && groesse != v.size()) netz.listenfolge.leeren();
  std::vector<uint32_t> anListe;
  std::vector<uint32_t> alt;
  for (int32_t c = 0; c < netz.zellenzahl; ++c) {
    if (zelleGeordnet(netz, c, anListe)) continue;
    if (netz.listenfolge.gleich()) gleicheFolgeAnlegen(netz);
    const std::size_t anfang = netz.verbindungsanfang(c);
    const std::size_t n = netz.verbindungsende(c) - anfang;
    listenplaetze(netz, c, anListe);
    // The new order of the places: by delay, then by list index.
    alt.resize(n);
    std::iota(alt.begin(), alt.end(), uint32_t{0});
    const int32_t* d = v.verzoegerung.data() + anfang;
    std::sort(alt.begin(), alt.end(), [&](uint32_t a, uint32_t b) {
      const uint32_t x = ordnungsschluessel(d[a]);
      const uint32_t y = ordnungsschluessel(d[b]);
      return x != y ? x < y : anListe[a] < anListe[b];
    });
    v.umordnen(anfang, alt.data(), n);
    // List index anListe[alt[p]] now stands at place p.
    for (std::size_t p = 0; p < n; ++p) {
      const std::size_t k = anfang + anListe[alt[p]];
      if (!netz.listenfolge.kurz.empty()) {
        netz.listenfolge.kurz[k] = static_cast<uint8_t>(p);
      } else {
        netz.listenfolge.lang[k] = static_cast<uint32_t>(p);
      }
    }
  }
}

}  // namespace velkor
