// The compressed view: every cell a box one unit wide and three units high,
// m = vergroesserung pixels per unit; yellow at rest with up to two blue
// levels, red when firing, green when refractory. No connections.

#include <cmath>

#include "display/anzeige.h"
#include "display/primitive.h"

namespace velkor {

namespace {

void fuellen(Canvas& canvas, Farbe farbe, int64_t x1, int64_t y1, int64_t x2, int64_t y2) {
  canvas.stiftfarbe(farbe);
  canvas.pinselfarbe(farbe);
  canvas.rectangle(pixel(x1), pixel(y1), pixel(x2), pixel(y2));
}

}  // namespace

// The grid of netzzeichnen (neu false) or of the redraw (neu true, whose top
// edge ends one pixel earlier and which paints every cell's state).
void Anzeige::gitterZeichnen(bool neu) {
  const int64_t m = sim_.param.vergroesserung;
  const int32_t n = zellenzahl();
  canvas_.stiftfarbe(farben::schwarz);
  canvas_.stiftstil(Stiftstil::durchgezogen);
  canvas_.pinselstil(Pinselstil::voll);
  for (int32_t c = 0; c < n; ++c) {
    const TZelle& z = sim_.netz.Zelltabelle[static_cast<std::size_t>(c)];
    if (z.spalte == -1) continue;
    const int64_t s = z.spalte, r = z.zeile;
    canvas_.stiftfarbe(farben::schwarz);
    canvas_.moveTo(pixel(m * s), pixel(m * r + 20));
    canvas_.lineTo(pixel((s + 1) * m + (neu ? 0 : 1)), pixel(m * r + 20));
    canvas_.moveTo(pixel(m * s), pixel(m * r + 20));
    canvas_.lineTo(pixel(m * s), pixel((r + 3) * m + 20));
    if (neu) {
      canvas_.pinselfarbe(farben::weiss);
      komprimiertSchritt(c, false);
    }
  }
}

void Anzeige::komprimiertSchritt(int32_t c, bool pegelSchreiben) {
  TZelle& z = sim_.netz.Zelltabelle[static_cast<std::size_t>(c)];
  if (z.spalte == -1) return;
  const int64_t m = sim_.param.vergroesserung;
  const int64_t s = z.spalte, r = z.zeile;
  const int64_t links = m * s + 1, rechts = (s + 1) * m + 1;
  canvas_.pinselstil(Pinselstil::voll);
  switch (zellzustand(z)) {
    case Zellzustand::feuernd:
      fuellen(canvas_, farben::rot, links, m * r + 21, rechts, (r + 3) * m + 20);
      break;
    case Zellzustand::refraktaer:
      fuellen(canvas_, farben::gruen, links, m * r + 21, rechts, (r + 3) * m + 20);
      break;
    case Zellzustand::ruhend: {
      const double p = std::min(std::max(z.potenzial, 0.0), z.schwelle) + 2.0;
      fuellen(canvas_, farben::gelb, links, m * r + 21, rechts, (r + 3) * m + 20);
      canvas_.stiftfarbe(farben::blau);
      canvas_.pinselfarbe(farben::blau);
      if (p > 3.0) {
        if (m >= 2)
          fuellen(canvas_, farben::blau, links, (r + 2) * m + 20, rechts, (r + 3) * m + 20);
        else
          canvas_.setPixel(pixel(s + 1), pixel(r + 22), farben::blau);
      }
      if (p > std::trunc(z.schwelle / 2.0)) fuellen(canvas_, farben::blau, links, m * r + 21, rechts, (r + 2) * m + 21);
      if (pegelSchreiben) z.pegel = epspPegel(z);
      break;
    }
  }
  canvas_.stiftfarbe(farben::schwarz);
  canvas_.pinselfarbe(farben::weiss);
}

}  // namespace velkor
