#include "display/unterwegs.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "display/primitive.h"

namespace velkor {

namespace {

// The share of the way as a fraction zaehler / nenner, bounded to 0 .. 1.
struct Anteil {
  int64_t zaehler = 0;
  int64_t nenner = 1;
};

Anteil anteil(int32_t verzoegerung, int32_t rest) {
  const int64_t nenner = std::max<int64_t>(int64_t{verzoegerung} + 1, 1);
  return {std::clamp<int64_t>(nenner - rest, 0, nenner), nenner};
}

}  // namespace

Bildpunkt unterwegsOrt(Bildpunkt a, Bildpunkt b, int32_t verzoegerung, int32_t rest) {
  const Anteil s = anteil(verzoegerung, rest);
  return {a.x + (b.x - a.x) * s.zaehler / s.nenner, a.y + (b.y - a.y) * s.zaehler / s.nenner};
}

Bildpunkt schleifenOrt(Bildpunkt zellmitte, int32_t verzoegerung, int32_t rest) {
  const Anteil s = anteil(verzoegerung, rest);
  // The loop circle's centre lies at (+5, -7) from the cell's; the way starts
  // at the circle's point on the line through both centres, nearest the cell.
  const double start = std::atan2(7.0, -5.0);
  const double winkel = start - 2 * std::numbers::pi * static_cast<double>(s.zaehler) / static_cast<double>(s.nenner);
  return {zellmitte.x + 5 + static_cast<int64_t>(15 * std::cos(winkel)),
          zellmitte.y - 7 + static_cast<int64_t>(15 * std::sin(winkel))};
}

int64_t unterwegsZeichnen(Canvas& canvas, const Simulation& sim, const Zellgeometrie& geometrie) {
  const Netz& netz = sim.netz;
  const Verbindungen& v = netz.verbindungen;
  if (v.laufzaehler.size() != v.size()) return 0;  // nothing under way since the load
  canvas.stiftfarbe(farben::schwarz);
  canvas.stiftstil(Stiftstil::durchgezogen);
  canvas.pinselstil(Pinselstil::voll);
  canvas.pinselfarbe(farben::gelb);
  int64_t gezeichnet = 0;
  for (int32_t c = 0; c < netz.zellenzahl; ++c) {
    const TZelle& quelle = netz.Zelltabelle[static_cast<std::size_t>(c)];
    if (quelle.zeile == -1) continue;
    const std::size_t ende = std::min(netz.verbindungsende(c), v.size());
    for (std::size_t i = netz.verbindungsanfang(c); i < ende; ++i) {
      const int32_t rest = v.laufzaehler[i];  // the counters stand in list order
      if (rest < 1) continue;
      const std::size_t k = netz.platz(c, i);
      const int32_t t = v.ziel[k];
      if (t < 0 || t >= netz.zellenzahl) continue;
      const TZelle& ziel = netz.Zelltabelle[static_cast<std::size_t>(t)];
      if (ziel.zeile == -1) continue;
      const Bildpunkt a = geometrie.mitte(quelle);
      const Bildpunkt p = quelle.zeile == ziel.zeile && quelle.spalte == ziel.spalte
                              ? schleifenOrt(a, v.verzoegerung[k], rest)
                              : unterwegsOrt(a, geometrie.mitte(ziel), v.verzoegerung[k], rest);
      kreis(canvas, pixel(p.x), pixel(p.y), spikeradius);
      ++gezeichnet;
    }
  }
  canvas.pinselfarbe(farben::weiss);
  return gezeichnet;
}

}  // namespace velkor
