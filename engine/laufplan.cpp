#include "engine/laufplan.h"

#include <algorithm>
#include <cmath>

#include "engine/reihenfolge.h"
#include "net/modell.h"

namespace velkor {

void Laufplan::pruefen(Netz& netz) {
  if (gueltig_ && spalte_ == netz.verbindungen.ziel.data() && verbindungszahl_ == netz.verbindungen.size() &&
      zellenzahl_ == netz.zellenzahl) {
    return;
  }
  ereignisse.verwerfen();
  // The connections by delay before anything notes their places.
  verbindungenOrdnen(netz);
  aufbauen(netz);
}

void Laufplan::vereinigen() {
  naechste.clear();
  auto a = unterwegs.begin();
  auto b = gestartet.begin();
  while (a != unterwegs.end() || b != gestartet.end()) {
    int32_t c = 0;
    if (b == gestartet.end() || (a != unterwegs.end() && *a < *b)) {
      c = *a++;
    } else {
      if (a != unterwegs.end() && *a == *b) ++a;
      c = *b++;
    }
    naechste.push_back(c);
  }
  unterwegs.swap(naechste);
  gestartet.clear();
}

void Laufplan::modusWaehlen(Netz& netz, int32_t pWert) {
  if (pWert < 99) {
    abgleichen(netz);
  } else if (!ereignisse.aktiv()) {
    ereignisse.schrittOhnePlan();
    // The schedule reads the counters, launches of an earlier phase 1 included.
    if (ereignisse.versuchen()) {
      if (!gestartet.empty()) vereinigen();
      if (ereignisse.betreten(netz)) {
        unterwegs.clear();
        gestartet.clear();
      }
    }
  }
  // The countdown needs its column; a load leaves it empty (nothing in transit).
  Verbindungen& v = netz.verbindungen;
  if (!ereignisse.aktiv() && v.laufzaehler.size() != v.size()) v.laufzaehler.assign(v.size(), 0);
}

void Laufplan::abgleichen(Netz& netz) {
  if (!ereignisse.aktiv()) return;
  ereignisse.verlassen(netz);
  // The countdown takes over: the cells in transit follow from the counters.
  aufbauen(netz);
}

void Laufplan::aufbauen(const Netz& netz) {
  const auto n = static_cast<std::size_t>(netz.zellenzahl);
  const Verbindungen& v = netz.verbindungen;
  gesperrt.assign(n, 0);
  gewichtsschritt.assign(n, 0);
  festeGewichte.assign(n, 0);
  verbrauch.assign(n, keiner);
  unterwegs.clear();
  gestartet.clear();
  naechste.clear();
  // Targets whose incoming weights follow the windowed rule. The test is the
  // one of the update itself, so a rate of change that is NaN counts too.
  std::vector<uint8_t> fensterregel(n, 0);
  std::vector<int32_t>().swap(fensterzellen);
  fensterrang.assign(n + 1, 0);
  for (std::size_t c = 0; c < n; ++c) {
    const TZelle& z = netz.Zelltabelle[c];
    gesperrt[c] = z.refraktaerrest != 0 ? 1 : 0;
    fensterregel[c] = z.aenderungsrate >= 0 ? 0 : 1;
    fensterrang[c] = static_cast<int32_t>(fensterzellen.size());
    if (fensterregel[c] != 0) fensterzellen.push_back(static_cast<int32_t>(c));
  }
  fensterrang[n] = static_cast<int32_t>(fensterzellen.size());
  staende.resize(fensterzellen.size());
  // Counted first, then filled: the column is allocated once and exactly.
  auto gefenstert = [&](std::size_t k) {
    const int32_t ziel = v.ziel[k];
    return ziel >= 0 && static_cast<std::size_t>(ziel) < n && fensterregel[static_cast<std::size_t>(ziel)] != 0;
  };
  fensterstart.assign(n + 1, 0);
  std::size_t zahl = 0;
  std::size_t meiste = 0;
  for (std::size_t c = 0; c < n; ++c) {
    fensterstart[c] = zahl;
    for (std::size_t k = netz.verbindungsstart[c], ende = netz.verbindungsstart[c + 1]; k < ende; ++k)
      zahl += gefenstert(k) ? 1 : 0;
    meiste = std::max(meiste, zahl - fensterstart[c]);
  }
  fensterstart[n] = zahl;
  fensterLang = v.size() > UINT32_MAX;
  std::vector<uint32_t>().swap(fensterverbindungen);
  std::vector<std::size_t>().swap(fensterverbindungenLang);
  std::vector<int32_t>().swap(fensterziele);
  fensterziele.reserve(zahl);
  if (fensterLang) {
    fensterverbindungenLang.reserve(zahl);
  } else {
    fensterverbindungen.reserve(zahl);
  }
  for (std::size_t c = 0; c < n && zahl > 0; ++c) {
    for (std::size_t k = netz.verbindungsstart[c], ende = netz.verbindungsstart[c + 1]; k < ende; ++k) {
      if (!gefenstert(k)) continue;
      fensterziele.push_back(fensterrang[static_cast<std::size_t>(v.ziel[k])]);
      if (fensterLang) {
        fensterverbindungenLang.push_back(k);
      } else {
        fensterverbindungen.push_back(static_cast<uint32_t>(k));
      }
    }
  }
  gerettet.assign(meiste, 0.0);
  // No counter column: nothing in transit.
  const bool mitZaehlern = v.laufzaehler.size() == v.size();
  for (int32_t c = netz.ersteZelle; c < netz.zellenzahl; ++c) {
    bool schritt = false;
    bool fest = true;
    bool laeuft = false;
    std::size_t verbrauchend = 0;
    for (std::size_t k = netz.verbindungsanfang(c), ende = netz.verbindungsende(c); k < ende; ++k) {
      const int32_t ziel = v.ziel[k];
      // A target that names no cell (only in a faulty net) keeps its visit.
      const bool zielOk = ziel >= 0 && static_cast<std::size_t>(ziel) < n;
      if (!(v.gewichtsfaktor.wert(k) == 1.0) || !zielOk || fensterregel[static_cast<std::size_t>(ziel)] != 0) {
        schritt = true;
      }
      if (mitZaehlern && v.laufzaehler[k] != 0) laeuft = true;
      if (v.maximalgewicht[k] != v.startgewicht[k]) ++verbrauchend;
      if (!(v.lernschritt[k] == nichtGegebenReal && v.maximalgewicht[k] == v.startgewicht[k] &&
            v.gewicht[k] == v.maximalgewicht[k] && std::isfinite(v.gewicht[k]))) {
        fest = false;
      }
    }
    gewichtsschritt[static_cast<std::size_t>(c)] = schritt ? 1 : 0;
    festeGewichte[static_cast<std::size_t>(c)] = fest && !schritt ? 1 : 0;
    const std::size_t laenge = netz.verbindungsende(c) - netz.verbindungsanfang(c);
    verbrauch[static_cast<std::size_t>(c)] = verbrauchend == 0 ? keiner : verbrauchend == laenge ? jeder : einige;
    if (laeuft) unterwegs.push_back(c);
  }
  gueltig_ = true;
  spalte_ = v.ziel.data();
  verbindungszahl_ = v.size();
  zellenzahl_ = netz.zellenzahl;
}

}  // namespace velkor
