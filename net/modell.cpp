#include "net/modell.h"

#include <algorithm>
#include <cstdint>
#include <type_traits>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace velkor {

void Verbindungen::clear() {
  ziel.clear();
  gewicht.clear();
  verzoegerung.clear();
  startgewicht.clear();
  gewichtsfaktor.clear();
  maximalgewicht.clear();
  lernschritt.clear();
  zeitfenster.clear();
  laufzaehler.clear();
  letzteankunft.clear();
  imfenster.clear();
  gewichtspegel.clear();
}

void grosseSeitenErbitten(const void* daten, std::size_t bytes) {
#if defined(__linux__) && defined(MADV_HUGEPAGE)
  constexpr std::uintptr_t seite = std::uintptr_t{1} << 21;
  const auto anfang = reinterpret_cast<std::uintptr_t>(daten);
  const std::uintptr_t von = (anfang + seite - 1) & ~(seite - 1);
  const std::uintptr_t bis = (anfang + bytes) & ~(seite - 1);
  if (von < bis) madvise(reinterpret_cast<void*>(von), bis - von, MADV_HUGEPAGE);
#else
  (void)daten;
  (void)bytes;
#endif
}

namespace {

template <class T>
void grosseSeiten(const std::vector<T>& spalte) {
  grosseSeitenErbitten(spalte.data(), spalte.capacity() * sizeof(T));
}

}  // namespace

void Verbindungen::reserve(std::size_t n) {
  reserviert_ = n;
  ziel.reserve(n);
  gewicht.reserve(n);
  verzoegerung.reserve(n);
  startgewicht.reserve(n);
  gewichtsfaktor.reserve(n);
  maximalgewicht.reserve(n);
  lernschritt.reserve(n);
  letzteankunft.reserve(n);
  imfenster.reserve(n);
  // Large pages for every column: the arrivals read target, weight and latest
  // arrival at random places, and a large net's columns would otherwise cost
  // one page fault per 4 KB while they are filled.
  grosseSeiten(ziel);
  grosseSeiten(gewicht);
  grosseSeiten(verzoegerung);
  grosseSeiten(startgewicht);
  grosseSeiten(maximalgewicht);
  grosseSeiten(lernschritt);
  grosseSeiten(letzteankunft);
  grosseSeiten(imfenster);
}

std::size_t Verbindungen::anhaengen(int32_t z, double g, int32_t v) {
  ziel.push_back(z);
  gewicht.push_back(g);
  verzoegerung.push_back(v);
  startgewicht.push_back(g);
  gewichtsfaktor.anhaengen(nichtGegebenReal);
  maximalgewicht.push_back(nichtGegebenReal);
  lernschritt.push_back(nichtGegebenReal);
  if (!zeitfenster.empty()) zeitfenster.push_back(nichtGegeben);
  letzteankunft.push_back(-1);
  imfenster.push_back(0);
  return ziel.size() - 1;
}

void Verbindungen::umkehren(std::size_t von, std::size_t bis) {
  auto dreh = [von, bis](auto& spalte) {
    std::reverse(spalte.begin() + static_cast<std::ptrdiff_t>(von), spalte.begin() + static_cast<std::ptrdiff_t>(bis));
  };
  dreh(ziel);
  dreh(gewicht);
  dreh(verzoegerung);
  dreh(startgewicht);
  gewichtsfaktor.umkehren(von, bis);
  dreh(maximalgewicht);
  dreh(lernschritt);
  if (zeitfenster.size() == ziel.size()) dreh(zeitfenster);
  if (laufzaehler.size() == ziel.size()) dreh(laufzaehler);
  dreh(letzteankunft);
  dreh(imfenster);
  if (gewichtspegel.size() == ziel.size()) dreh(gewichtspegel);
}

void Verbindungen::umordnen(std::size_t anfang, const uint32_t* alt, std::size_t n) {
  auto ordne = [&](auto& spalte) {
    using T = typename std::decay_t<decltype(spalte)>::value_type;
    if (spalte.size() != ziel.size()) return;  // a column not kept (every value the same)
    puffer_.resize(n * sizeof(T));
    T* neu = reinterpret_cast<T*>(puffer_.data());
    T* bereich = spalte.data() + anfang;
    for (std::size_t p = 0; p < n; ++p) neu[p] = bereich[alt[p]];
    std::copy(neu, neu + n, bereich);
  };
  ordne(ziel);
  ordne(gewicht);
  ordne(verzoegerung);
  ordne(startgewicht);
  gewichtsfaktor.spalteBearbeiten(ordne);
  ordne(maximalgewicht);
  ordne(lernschritt);
  ordne(zeitfenster);
  ordne(letzteankunft);
  ordne(imfenster);
  ordne(gewichtspegel);
}

int32_t Netz::suche(std::string_view name) const {
  // The index keeps the first cell of each name, so a later cell of the same
  // name is never found, exactly as a walk from the first cell would do.
  int32_t nummer = namensindex.finden(name);
  return nummer < 0 ? zellenzahl : nummer;
}

void Netz::namensindexAufbauen() {
  namensindex.vorbereiten(Zelltabelle.size());
  for (int32_t i = 0; i < zellenzahl; ++i) namensindex.eintragen(Zelltabelle[static_cast<std::size_t>(i)].name, i);
}

std::size_t Netz::platz(std::size_t k) const {
  if (listenfolge.gleich()) return k;
  // The last cell whose list begins at or before k and is not empty.
  const auto it = std::upper_bound(verbindungsstart.begin(), verbindungsstart.end() - 1, k);
  const auto c = static_cast<int32_t>(it - verbindungsstart.begin() - 1);
  return platz(c, k);
}

void Netz::leeren() {
  listenfolge.leeren();
  Zelltabelle.clear();
  zellenzahl = 0;
  ersteZelle = 0;
  verbindungsstart.assign(1, 0);
  verbindungen.clear();
  nummernformat = false;
  eigeneVon = 0;
  eigeneBis = -1;
  namensindex.leeren();
}

}  // namespace velkor
