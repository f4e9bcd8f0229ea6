#include "display/primitive.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace velkor {

void kreis(Canvas& canvas, int x, int y, int r) { canvas.ellipse(x - r, y - r, x + r, y + r); }

namespace {

// The chord of level i: d = trunc(sqrt(r² - (r - i)²)), from x - d up to x + d
// (exclusive) on row y + r - i.
void sehne(Canvas& canvas, int x, int y, int r, int32_t i) {
  const int64_t rest = int64_t{r} * r - (int64_t{r} - i) * (int64_t{r} - i);
  const int d = static_cast<int>(std::sqrt(static_cast<double>(std::max<int64_t>(rest, 0))));
  const int zeile = y + r - i;
  canvas.moveTo(x - d, zeile);
  canvas.lineTo(x + d, zeile);
}

}  // namespace

void pegelfuellen(Canvas& canvas, int x, int y, int32_t neu, int r, int32_t alt, Farbe farbe) {
  // Levels beyond the disc have no chord; they are drawn as the full or the
  // empty disc.
  const int32_t voll = r > 0 ? 2 * r : 0;
  neu = std::clamp(neu, 0, voll);
  alt = std::clamp(alt, 0, voll);
  if (alt < neu) {
    canvas.stiftfarbe(farbe);
    canvas.stiftstil(Stiftstil::durchgezogen);
    for (int32_t i = alt; i < neu; ++i) sehne(canvas, x, y, r, i);
  } else {
    canvas.stiftfarbe(farben::weiss);
    for (int32_t i = neu; i < alt; ++i) sehne(canvas, x, y, r, i);
  }
}

int32_t epspPegel(const TZelle& z) {
  if (z.schwelle == 0.0) return epspVoll;
  const double p = std::min(std::max(z.potenzial, 0.0), z.schwelle) + 2.0;
  return begrenzt(28.0 * p / z.schwelle, 0, epspVoll);
}

int32_t begrenzt(double wert, int32_t unten, int32_t oben) {
  if (std::isnan(wert)) return unten;
  if (wert <= static_cast<double>(unten)) return unten;
  if (wert >= static_cast<double>(oben)) return oben;
  return static_cast<int32_t>(wert);  // in range: truncates toward zero
}

int32_t ganzzahl(double wert) {
  if (std::isnan(wert)) return 0;
  return begrenzt(wert, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max());
}

int pixel(int64_t wert) {
  constexpr int64_t grenze = int64_t{1} << 30;
  return static_cast<int>(std::clamp(wert, -grenze, grenze));
}

std::string rechtsbuendig(int64_t zahl, int breite) { return rechtsbuendig(std::to_string(zahl), breite); }

std::string rechtsbuendig(const std::string& text, int breite) {
  const auto n = static_cast<std::size_t>(std::max(breite, 0));
  if (text.size() >= n) return text;
  return std::string(n - text.size(), ' ') + text;
}

}  // namespace velkor
