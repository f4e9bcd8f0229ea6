// The cell view: cells as circles with their names, connections as a solid
// and a dotted half with a weight marker in the middle.

#include <algorithm>

#include "display/anzeige.h"
#include "display/primitive.h"

namespace velkor {

namespace {

constexpr int zellradius = 16;
constexpr int scheibenradius = 14;  // EPSP level, firing disc, refractory hatch
constexpr int markenradius = 7;
constexpr int markenfuellung = 6;
constexpr int32_t vollesGewicht = 2 * markenfuellung;

struct Punkt {
  int64_t x = 0, y = 0;
};

Punkt mitte(const TZelle& z) { return {8 * int64_t{z.spalte} + 10, 18 * int64_t{z.zeile} + oberkante}; }

// trunc(12.2 · min(w, schwelle) / schwelle), the weight against the target's
// threshold; a threshold of 0 is reached by every weight.
int32_t gewichtspegel(double w, double schwelle) {
  if (schwelle == 0.0) return vollesGewicht;
  return begrenzt(12.2 * std::min(w, schwelle) / schwelle, 0, vollesGewicht);
}

}  // namespace

void Anzeige::zellname(const TZelle& z) {
  const int64_t laenge = static_cast<int64_t>(z.name.size());
  canvas_.pinselstil(Pinselstil::voll);
  canvas_.pinselfarbe(farben::weiss);
  text(pixel(8 * int64_t{z.spalte} + 6 - 2 * laenge), pixel(18 * int64_t{z.zeile} + 12), z.name);
}

// One connection k of cell c: solid to the middle, dotted to the target, the
// marker ("n" for an inhibitory weight); a loop circle when both cells stand
// at the same place. Connections to a missing cell are not drawn.
void Anzeige::verbindungZeichnen(int32_t c, std::size_t k, double gewicht, bool vonNull) {
  const auto& netz = sim_.netz;
  const int32_t t = netz.verbindungen.ziel[k];
  if (t < 0 || t >= zellenzahl()) return;
  const TZelle& quelle = netz.Zelltabelle[static_cast<std::size_t>(c)];
  const TZelle& ziel = netz.Zelltabelle[static_cast<std::size_t>(t)];
  if (ziel.zeile == -1) return;
  if (quelle.zeile == ziel.zeile && quelle.spalte == ziel.spalte) {
    const int64_t x = 8 * int64_t{quelle.spalte}, y = 18 * int64_t{quelle.zeile};
    canvas_.pinselstil(Pinselstil::leer);
    canvas_.ellipse(pixel(x), pixel(y - 2), pixel(x + 30), pixel(y + 28));
    canvas_.pinselstil(Pinselstil::voll);
    return;
  }
  const Punkt a = mitte(quelle), b = mitte(ziel);
  const int mx = pixel((a.x + b.x) / 2), my = pixel((a.y + b.y) / 2);
  canvas_.stiftstil(Stiftstil::durchgezogen);
  canvas_.moveTo(pixel(a.x), pixel(a.y));
  canvas_.lineTo(mx, my);
  canvas_.stiftstil(Stiftstil::gepunktet);
  canvas_.lineTo(pixel(b.x), pixel(b.y));
  canvas_.stiftstil(Stiftstil::durchgezogen);
  auto& pegel = sim_.netz.verbindungen.gewichtspegelSpalte()[k];
  if (!(gewicht >= 0.0)) {
    canvas_.pinselfarbe(farben::weiss);
    text(mx, my, "n");
    return;
  }
  const int32_t neu = gewichtspegel(gewicht, ziel.schwelle);
  canvas_.pinselfarbe(farben::weiss);
  kreis(canvas_, mx, my, markenradius);
  pegelfuellen(canvas_, mx, my, neu, markenfuellung, vonNull ? 0 : pegel, farben::rot);
  canvas_.stiftfarbe(farben::schwarz);
  pegel = static_cast<int8_t>(neu);
}

// netzzeichnen (neu false) or the redraw of neuzeichnen (neu true): the
// connections first, so that the white cells cover the line ends.
void Anzeige::zellnetzZeichnen(bool neu) {
  const auto& netz = sim_.netz;
  const auto& v = netz.verbindungen;
  sim_.netz.verbindungen.gewichtspegelSpalte();  // from here on the view keeps the levels
  const bool konstant = neu && !ansicht_.ansichtZellVariabel;
  canvas_.stiftfarbe(farben::schwarz);
  canvas_.stiftstil(Stiftstil::durchgezogen);
  canvas_.pinselstil(Pinselstil::voll);
  canvas_.pinselfarbe(farben::weiss);
  const int32_t n = zellenzahl();
  for (int32_t c = 0; c < n; ++c) {
    if (netz.Zelltabelle[static_cast<std::size_t>(c)].zeile == -1) continue;
    // In list order: a later line is drawn over an earlier one.
    const std::size_t ende = std::min(netz.verbindungsende(c), v.size());
    for (std::size_t i = netz.verbindungsanfang(c); i < ende; ++i) {
      const std::size_t k = netz.platz(c, i);
      verbindungZeichnen(c, k, konstant ? v.startgewicht[k] : v.gewicht[k], neu);
    }
  }
  for (int32_t c = 0; c < n; ++c) {
    const TZelle& z = netz.Zelltabelle[static_cast<std::size_t>(c)];
    if (z.spalte == -1) continue;
    const Punkt m = mitte(z);
    canvas_.stiftfarbe(farben::schwarz);
    canvas_.pinselstil(Pinselstil::voll);
    canvas_.pinselfarbe(farben::weiss);
    kreis(canvas_, pixel(m.x), pixel(m.y), zellradius);
    if (neu)
      zellZustandZeichnen(c, false);
    else
      zellname(z);
  }
}

// The weight markers of the outgoing connections of a resting cell, only
// where their level changed. Inhibitory weights keep their "n".
void Anzeige::gewichtsmarken(int32_t c) {
  auto& netz = sim_.netz;
  auto& v = netz.verbindungen;
  const TZelle& quelle = netz.Zelltabelle[static_cast<std::size_t>(c)];
  const Punkt a = mitte(quelle);
  std::vector<int8_t>& pegel = v.gewichtspegelSpalte();
  const std::size_t ende = std::min(netz.verbindungsende(c), v.size());
  for (std::size_t i = netz.verbindungsanfang(c); i < ende; ++i) {
    const std::size_t k = netz.platz(c, i);
    const int32_t t = v.ziel[k];
    if (t < 0 || t >= zellenzahl()) continue;
    const TZelle& ziel = netz.Zelltabelle[static_cast<std::size_t>(t)];
    if (ziel.spalte == -1 || (ziel.zeile == quelle.zeile && ziel.spalte == quelle.spalte)) continue;
    if (!(v.gewicht[k] >= 0.0)) continue;
    const int32_t neu = gewichtspegel(v.gewicht[k], ziel.schwelle);
    if (neu != pegel[k]) {
      const Punkt b = mitte(ziel);
      pegelfuellen(canvas_, pixel((a.x + b.x) / 2), pixel((a.y + b.y) / 2), neu, markenfuellung, pegel[k], farben::rot);
      canvas_.stiftfarbe(farben::schwarz);
    }
    pegel[k] = static_cast<int8_t>(neu);
  }
}

// The disc of a cell by its state: red when firing, green hatch when
// refractory, the blue EPSP level when resting (from pegel, or from 0 in a
// redraw, which leaves pegel as it is).
void Anzeige::zellZustandZeichnen(int32_t c, bool pegelSchreiben) {
  TZelle& z = sim_.netz.Zelltabelle[static_cast<std::size_t>(c)];
  const Punkt m = mitte(z);
  const int x = pixel(m.x), y = pixel(m.y);
  switch (zellzustand(z)) {
    case Zellzustand::feuernd:
      pegelfuellen(canvas_, x, y, epspVoll, scheibenradius, 0, farben::rot);
      canvas_.stiftfarbe(farben::schwarz);
      break;
    case Zellzustand::refraktaer:
      canvas_.stiftfarbe(farben::schwarz);
      canvas_.pinselstil(Pinselstil::voll);
      canvas_.pinselfarbe(farben::weiss);
      kreis(canvas_, x, y, scheibenradius);
      canvas_.pinselstil(Pinselstil::diagonal);
      canvas_.pinselfarbe(farben::gruen);
      canvas_.stiftfarbe(farben::gruen);
      kreis(canvas_, x, y, scheibenradius);
      canvas_.pinselstil(Pinselstil::voll);
      canvas_.pinselfarbe(farben::weiss);
      canvas_.stiftfarbe(farben::schwarz);
      break;
    case Zellzustand::ruhend: {
      const int32_t neu = epspPegel(z);
      pegelfuellen(canvas_, x, y, neu, scheibenradius, pegelSchreiben ? z.pegel : 0, farben::blau);
      canvas_.stiftfarbe(farben::schwarz);
      zellname(z);
      if (pegelSchreiben) z.pegel = neu;
      break;
    }
  }
}

void Anzeige::zellSchritt(int32_t c) {
  const TZelle& z = sim_.netz.Zelltabelle[static_cast<std::size_t>(c)];
  if (z.spalte == -1) return;
  if (zellzustand(z) == Zellzustand::ruhend && ansicht_.ansichtZellVariabel && z.zeile != -1) gewichtsmarken(c);
  zellZustandZeichnen(c, true);
}

void Anzeige::refraktaerEnde(int32_t zelle) {
  if (!ansicht_.zellansicht() || zelle < 0 || zelle >= zellenzahl()) return;
  TZelle& z = sim_.netz.Zelltabelle[static_cast<std::size_t>(zelle)];
  if (z.spalte == -1) return;
  z.pegel = 0;
  if (!canvas_.zeichnet()) return;
  const Punkt m = mitte(z);
  canvas_.stiftfarbe(farben::schwarz);
  canvas_.pinselstil(Pinselstil::voll);
  canvas_.pinselfarbe(farben::weiss);
  kreis(canvas_, pixel(m.x), pixel(m.y), zellradius);
  zellname(z);
}

}  // namespace velkor
