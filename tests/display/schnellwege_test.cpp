// The short cuts of the QImage canvas against what they replace: lines
// against the exact pixel formula, texts from glyph masks against QPainter's
// own drawing, clipped drawing against the same drawing on a large canvas,
// at widths of every remainder mod 4.

#include <gtest/gtest.h>

#include <cstdint>

#include "hilfen.h"

namespace velkor {
namespace {

using test::gleich;

// The line as the plain formula gives it: step i of n along the major axis,
// minor offset floor((2·i·d + n) / 2n), every step looked at, end point left out.
void referenzlinie(QImage& b, int64_t x0, int64_t y0, int64_t x1, int64_t y1, bool gepunktet, QRgb farbe) {
  const int64_t dx = x1 - x0, dy = y1 - y0, n = std::max(std::abs(dx), std::abs(dy));
  const bool xHaupt = std::abs(dx) >= std::abs(dy);
  const int64_t d = xHaupt ? std::abs(dy) : std::abs(dx);
  // Only the steps whose major coordinate can lie in the picture, so that
  // lines from far away stay quick.
  const int64_t a0 = xHaupt ? x0 : y0, grenze = xHaupt ? b.width() : b.height();
  const bool vor = (xHaupt ? dx : dy) > 0;
  const int64_t von = std::max<int64_t>(0, vor ? -a0 : a0 - grenze), bis = std::min(n, vor ? grenze - a0 : a0 + 1);
  for (int64_t i = von; i < bis; ++i) {
    if (gepunktet && (i & 1)) continue;
    const auto v = static_cast<int64_t>((static_cast<__int128>(2) * i * d + n) / (static_cast<__int128>(2) * n));
    const int64_t h = i, m = v;
    const int64_t x = xHaupt ? x0 + (dx > 0 ? h : -h) : x0 + (dx > 0 ? m : -m);
    const int64_t y = xHaupt ? y0 + (dy > 0 ? m : -m) : y0 + (dy > 0 ? h : -h);
    if (x >= 0 && y >= 0 && x < b.width() && y < b.height())
      b.setPixel(static_cast<int>(x), static_cast<int>(y), farbe);
  }
}

struct Wuerfel {
  uint64_t z;
  int64_t operator()(int64_t von, int64_t bis) {
    z = z * 6364136223846793005ull + 1442695040888963407ull;
    return von + static_cast<int64_t>((z >> 20) % static_cast<uint64_t>(bis - von + 1));
  }
};

TEST(SchnellwegeTest, LinienWieDieFormelAuchWeitAusserhalb) {
  Wuerfel w{5};
  for (int breite = 61; breite <= 64; ++breite) {
    for (int k = 0; k < 400; ++k) {
      // Short lines near the picture, long ones from far away, and the
      // limits every coordinate is bounded to.
      const int64_t weit = k % 4 == 0 ? int64_t{1} << 30 : k % 4 == 1 ? 5000 : 80;
      const int64_t x0 = w(-weit, weit), y0 = w(-weit, weit);
      const int64_t x1 = k % 7 == 0 ? x0 : w(-weit, weit), y1 = k % 5 == 0 ? y0 : w(-weit, weit);
      const bool gepunktet = k % 2 == 1;
      QImageCanvas c(breite, 50);
      c.stiftstil(gepunktet ? Stiftstil::gepunktet : Stiftstil::durchgezogen);
      c.moveTo(static_cast<int>(x0), static_cast<int>(y0));
      c.lineTo(static_cast<int>(x1), static_cast<int>(y1));
      QImage r(breite, 50, QImage::Format_RGB32);
      r.fill(qRgb(255, 255, 255));
      referenzlinie(r, x0, y0, x1, y1, gepunktet, qRgb(0, 0, 0));
      ASSERT_TRUE(gleich(c.bild(), r, 0, 0, breite, 50)) << x0 << ',' << y0 << " -> " << x1 << ',' << y1;
    }
  }
}

// The first call of a text is QPainter's drawing, a later one the mask's.
TEST(SchnellwegeTest, TexteAusDerMaskeWieVonQPainterAuchAmRand) {
  const std::string texte[] = {"n",
                               "Wj",
                               "  ***",
                               "Einzelne Zyklen mit Leertaste starten",
                               "\xc3\x84\xc3\xb6\xc3\x9f",
                               "\xe4\xf6",
                               "     7            Z1"};
  for (int breite = 61; breite <= 64; ++breite) {
    for (const std::string& t : texte) {
      for (const auto& [x, y] : {std::pair{5, 3}, {-4, -6}, {breite - 9, 40}, {-60, 10}, {breite - 1, -13}}) {
        for (const bool voll : {true, false}) {
          QImageCanvas einmal(breite, 50), wieder(breite, 50);
          for (QImageCanvas* c : {&einmal, &wieder}) {
            c->schrifthoehe(14);
            c->schriftfett(true);
            c->schriftfarbe(farben::rot);
            c->pinselfarbe(farben::gruen);
            c->pinselstil(voll ? Pinselstil::voll : Pinselstil::leer);
          }
          wieder.textOut(0, 0, t);
          wieder.textOut(0, 0, t);
          wieder.pinselstil(Pinselstil::voll);
          wieder.pinselfarbe(farben::weiss);
          wieder.stiftfarbe(farben::weiss);
          wieder.rectangle(0, 0, breite, 50);
          wieder.pinselstil(voll ? Pinselstil::voll : Pinselstil::leer);
          wieder.pinselfarbe(farben::gruen);
          einmal.textOut(x, y, t);
          wieder.textOut(x, y, t);
          ASSERT_TRUE(gleich(einmal.bild(), wieder.bild(), 0, 0, breite, 50)) << t << " at " << x << ',' << y;
        }
      }
    }
  }
}

// Random rectangles, ellipses (boxes about the 512 pixels up to which their
// rows are kept), hatches and lines: the small canvas is the top-left part
// of the large one.
TEST(SchnellwegeTest, BeschnittenWieDerAusschnittDesGrossenBildes) {
  Wuerfel w{11};
  for (int breite = 61; breite <= 64; ++breite) {
    QImageCanvas klein(breite, 47), gross(1200, 1200);
    for (int k = 0; k < 300; ++k) {
      const int art = static_cast<int>(w(0, 2));
      const int64_t seite = k % 10 == 0 ? w(510, 514) : w(1, 40);
      const int x = static_cast<int>(w(0, 100)), y = static_cast<int>(w(0, 100));
      const Farbe f{static_cast<uint8_t>(w(0, 255)), static_cast<uint8_t>(w(0, 255)), 7};
      const auto pinsel = static_cast<Pinselstil>(w(0, 2));
      for (QImageCanvas* c : {&klein, &gross}) {
        c->stiftfarbe(f);
        c->pinselfarbe(Farbe{f.g, 3, f.r});
        c->pinselstil(pinsel);
        c->stiftstil(k % 3 == 0 ? Stiftstil::gepunktet : Stiftstil::durchgezogen);
        if (art == 0) c->rectangle(x, y, x + static_cast<int>(seite), y + static_cast<int>(seite / 2 + 1));
        if (art == 1) c->ellipse(x, y, x + static_cast<int>(seite), y + static_cast<int>(seite * 2 / 3 + 1));
        if (art == 2) {
          c->moveTo(x, y);
          c->lineTo(x + static_cast<int>(seite) - 20, y - 30);
        }
      }
    }
    EXPECT_TRUE(gleich(klein.bild(), gross.bild(), 0, 0, breite, 47)) << breite;
  }
}

}  // namespace
}  // namespace velkor
