// The oscilloscope view: per shown cell a vertical trace at X + 18, red
// strokes for action potentials and, "mit EPSPs", a blue bar for the
// potential on the current row.

#include <algorithm>
#include <cmath>

#include "display/anzeige.h"
#include "display/primitive.h"

namespace velkor {

namespace {

// trunc(9 / schwelle · wert), 9 pixels per threshold. The length is bounded
// to the picture's width, beyond which nothing could be seen; a threshold of
// 0 gives the full length in the direction of the value. A length that is no
// number (a NaN potential, infinity over an infinite threshold) draws no bar.
int32_t balkenlaenge(double wert, double schwelle, int32_t grenze) {
  if (schwelle == 0.0) return wert > 0.0 ? grenze : wert < 0.0 ? -grenze : 0;
  const double laenge = 9.0 / schwelle * wert;
  if (std::isnan(laenge)) return 0;
  return begrenzt(laenge, -grenze, grenze);
}

}  // namespace

void Anzeige::osziZelle(const TZelle& z) {
  const int32_t R = zustand_.schreibzeile;
  const int32_t X = zustand_.schreibspalte;
  const Zellzustand zz = zellzustand(z);
  if (zz == Zellzustand::feuernd) {
    for (int32_t x = X + 8; x <= X + 35; ++x) canvas_.setPixel(x, R, farben::rot);
  } else {
    if (ansicht_.ansichtOsziMitEpsps) {
      const int32_t grenze = std::max(zustand_.W, canvas_.breite()) + 64;
      const double wert = zz == Zellzustand::ruhend ? z.potenzial + 10.0 : z.potenzial;
      canvas_.stiftstil(Stiftstil::durchgezogen);
      canvas_.moveTo(X + 18, R);
      canvas_.stiftfarbe(farben::blau);
      canvas_.lineTo(X + 18 + balkenlaenge(wert, z.schwelle, grenze), R);
    }
    canvas_.setPixel(X + 18, R, farben::schwarz);
  }
  zustand_.schreibspalte += 35;
}

}  // namespace velkor
