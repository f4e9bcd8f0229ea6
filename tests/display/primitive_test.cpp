// The canvas operations on the QImage canvas and the two circle operations.

#include <gtest/gtest.h>

#include <set>

#include "display/nullcanvas.h"
#include "display/primitive.h"
#include "hilfen.h"

namespace velkor {
namespace {

using test::farbeIst;
using test::zaehlen;

TEST(QImageCanvasTest, LinieLaesstEndpunktAusUndEndetDort) {
  QImageCanvas c(40, 40);
  c.moveTo(10, 10);
  c.lineTo(20, 10);
  c.lineTo(20, 15);
  const QImage& b = c.bild();
  for (int x = 10; x < 20; ++x) EXPECT_TRUE(farbeIst(b, x, 10, farben::schwarz)) << x;
  for (int y = 10; y < 15; ++y) EXPECT_TRUE(farbeIst(b, 20, y, farben::schwarz)) << y;
  EXPECT_TRUE(farbeIst(b, 20, 15, farben::weiss));
  EXPECT_TRUE(farbeIst(b, 9, 10, farben::weiss));
  EXPECT_EQ(zaehlen(b, 0, 0, 40, 40, farben::schwarz), 15);
  // A line to its own start draws nothing; a slanted one one pixel per step.
  QImageCanvas d(40, 40);
  d.moveTo(5, 5);
  d.lineTo(5, 5);
  EXPECT_EQ(zaehlen(d.bild(), 0, 0, 40, 40, farben::schwarz), 0);
  d.moveTo(0, 0);
  d.lineTo(4, 2);
  EXPECT_EQ(zaehlen(d.bild(), 0, 0, 40, 40, farben::schwarz), 4);
  EXPECT_TRUE(farbeIst(d.bild(), 0, 0, farben::schwarz));
  EXPECT_TRUE(farbeIst(d.bild(), 4, 2, farben::weiss));
}

TEST(QImageCanvasTest, GepunkteteLinieMaltJedenZweitenPunkt) {
  QImageCanvas c(20, 20);
  c.stiftstil(Stiftstil::gepunktet);
  c.moveTo(0, 5);
  c.lineTo(10, 5);
  for (int x = 0; x < 12; ++x) EXPECT_EQ(farbeIst(c.bild(), x, 5, farben::schwarz), x < 10 && x % 2 == 0) << x;
}

TEST(QImageCanvasTest, RechteckFuelltBoxOhneRechteUndUntereKante) {
  for (bool vertauscht : {false, true}) {
    QImageCanvas c(30, 30);
    c.pinselfarbe(farben::rot);
    if (vertauscht)
      c.rectangle(15, 13, 10, 10);
    else
      c.rectangle(10, 10, 15, 13);
    const QImage& b = c.bild();
    // columns 10..14, rows 10..12: outline black, inside red
    EXPECT_EQ(zaehlen(b, 0, 0, 30, 30, farben::schwarz), 12);
    EXPECT_EQ(zaehlen(b, 11, 11, 14, 12, farben::rot), 3);
    EXPECT_TRUE(farbeIst(b, 10, 10, farben::schwarz));
    EXPECT_TRUE(farbeIst(b, 14, 12, farben::schwarz));
    EXPECT_TRUE(farbeIst(b, 15, 11, farben::weiss));
    EXPECT_TRUE(farbeIst(b, 12, 13, farben::weiss));
  }
}

TEST(QImageCanvasTest, SchraffurSteigtVonLinksUntenNachRechtsObenUndLaesstLueckenStehen) {
  QImageCanvas c(40, 40);
  c.stiftfarbe(farben::rot);
  c.pinselfarbe(farben::rot);
  c.rectangle(0, 0, 40, 40);
  c.stiftfarbe(farben::gruen);
  c.pinselfarbe(farben::gruen);
  c.pinselstil(Pinselstil::diagonal);
  c.rectangle(5, 5, 35, 35);
  const QImage& b = c.bild();
  int gruen = 0;
  for (int y = 7; y < 33; ++y)
    for (int x = 7; x < 33; ++x) {
      if (!farbeIst(b, x, y, farben::gruen)) {
        EXPECT_TRUE(farbeIst(b, x, y, farben::rot)) << x << "," << y;  // gaps unpainted
        continue;
      }
      ++gruen;
      EXPECT_TRUE(farbeIst(b, x + 1, y - 1, farben::gruen));  // rising to the right
      EXPECT_FALSE(farbeIst(b, x + 1, y + 1, farben::gruen));
      EXPECT_FALSE(farbeIst(b, x + 1, y, farben::gruen));
    }
  EXPECT_GT(gruen, 26 * 26 / 10);
  EXPECT_LT(gruen, 26 * 26 / 6);
}

TEST(QImageCanvasTest, KreisLiegtSymmetrischInSeinerBox) {
  QImageCanvas c(100, 100);
  c.pinselfarbe(farben::weiss);
  kreis(c, 50, 50, 7);
  const QImage& b = c.bild();
  // The box is columns and rows 43..56; nothing outside it.
  EXPECT_EQ(zaehlen(b, 0, 0, 100, 100, farben::schwarz), zaehlen(b, 43, 43, 57, 57, farben::schwarz));
  EXPECT_GT(zaehlen(b, 43, 43, 57, 44, farben::schwarz), 0);
  EXPECT_GT(zaehlen(b, 43, 56, 57, 57, farben::schwarz), 0);
  EXPECT_GT(zaehlen(b, 43, 43, 44, 57, farben::schwarz), 0);
  for (int y = 43; y < 57; ++y)
    for (int x = 43; x < 57; ++x) {
      EXPECT_EQ(b.pixel(x, y), b.pixel(99 - x, y));
      EXPECT_EQ(b.pixel(x, y), b.pixel(x, 99 - y));
    }
  // The outline is closed: the middle stays white when the brush is white.
  EXPECT_TRUE(farbeIst(b, 50, 50, farben::weiss));
  EXPECT_TRUE(farbeIst(b, 43, 50, farben::schwarz));
  EXPECT_TRUE(farbeIst(b, 56, 49, farben::schwarz));
}

TEST(QImageCanvasTest, LeererPinselFuelltKeineEllipse) {
  QImageCanvas c(60, 60);
  c.stiftfarbe(farben::rot);
  c.pinselfarbe(farben::rot);
  c.rectangle(0, 0, 60, 60);
  c.stiftfarbe(farben::schwarz);
  c.pinselstil(Pinselstil::leer);
  c.ellipse(10, 10, 40, 40);
  EXPECT_TRUE(farbeIst(c.bild(), 25, 25, farben::rot));
  EXPECT_GT(zaehlen(c.bild(), 0, 0, 60, 60, farben::schwarz), 40);
}

TEST(PegelfuellenTest, SehnenAufwaertsAbwaertsUndGleichePegel) {
  QImageCanvas c(100, 100);
  pegelfuellen(c, 50, 50, 3, 6, 0, farben::rot);
  const QImage& b = c.bild();
  // Level 0 (row 56) has no width; level 1 is row 55 with d = 3, level 2 row 54 with d = 4.
  EXPECT_EQ(zaehlen(b, 0, 56, 100, 57, farben::rot), 0);
  EXPECT_EQ(zaehlen(b, 47, 55, 53, 56, farben::rot), 6);
  EXPECT_EQ(zaehlen(b, 46, 54, 54, 55, farben::rot), 8);
  EXPECT_EQ(zaehlen(b, 0, 0, 100, 100, farben::rot), 14);

  const QImage vorher = c.bild();
  pegelfuellen(c, 50, 50, 3, 6, 3, farben::rot);
  EXPECT_EQ(c.bild(), vorher);

  // Down from 3 to 1: white chords of levels 1 and 2 (from the new level up).
  pegelfuellen(c, 50, 50, 1, 6, 3, farben::rot);
  EXPECT_EQ(zaehlen(c.bild(), 0, 0, 100, 100, farben::rot), 0);
}

TEST(PegelfuellenTest, PegelAusserhalbDerScheibeBleibenInDerScheibe) {
  QImageCanvas voll(100, 100), drueber(100, 100), drunter(100, 100);
  pegelfuellen(voll, 50, 50, 28, 14, 0, farben::blau);
  pegelfuellen(drueber, 50, 50, 400000, 14, -7, farben::blau);
  EXPECT_EQ(drueber.bild(), voll.bild());
  EXPECT_EQ(zaehlen(voll.bild(), 0, 0, 100, 100, farben::blau), zaehlen(voll.bild(), 36, 36, 64, 64, farben::blau));
  pegelfuellen(drunter, 50, 50, -3, 14, 0, farben::blau);
  EXPECT_EQ(zaehlen(drunter.bild(), 0, 0, 100, 100, farben::blau), 0);
}

TEST(QImageCanvasTest, TextMitVollemPinselFuelltSeinFeldZuerst) {
  QImageCanvas c(120, 40);
  c.schrifthoehe(14);
  c.schriftfett(true);
  c.pinselfarbe(farben::rot);
  c.textOut(10, 10, "Ag");
  const QImage& b = c.bild();
  EXPECT_TRUE(farbeIst(b, 10, 10, farben::rot));  // corner of the first character cell
  EXPECT_TRUE(farbeIst(b, 9, 10, farben::weiss));
  EXPECT_TRUE(farbeIst(b, 10, 9, farben::weiss));
  EXPECT_GT(zaehlen(b, 10, 10, 40, 24, farben::schwarz), 10);
  // 14 rows of background, no antialiasing: only the three colours.
  EXPECT_TRUE(farbeIst(b, 10, 23, farben::rot));
  EXPECT_TRUE(farbeIst(b, 10, 24, farben::weiss));
  std::set<QRgb> farbenImBild;
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 120; ++x) farbenImBild.insert(b.pixel(x, y));
  EXPECT_EQ(farbenImBild, (std::set<QRgb>{qRgb(0, 0, 0), qRgb(255, 0, 0), qRgb(255, 255, 255)}));

  QImageCanvas klar(120, 40);
  klar.schriftfett(true);
  klar.pinselstil(Pinselstil::leer);
  klar.pinselfarbe(farben::rot);
  klar.textOut(10, 10, "Ag");
  EXPECT_EQ(zaehlen(klar.bild(), 0, 0, 120, 40, farben::rot), 0);
  EXPECT_EQ(zaehlen(klar.bild(), 0, 0, 120, 40, farben::schwarz), zaehlen(b, 0, 0, 120, 40, farben::schwarz));
}

TEST(QImageCanvasTest, PixelAusserhalbLesenSchwarzUndRiesigeKoordinatenSindHarmlos) {
  QImageCanvas c(10, 10);
  c.setPixel(-1, 3, farben::rot);
  c.setPixel(10, 3, farben::rot);
  c.setPixel(3, 3, farben::rot);
  EXPECT_EQ(c.getPixel(3, 3), farben::rot);
  EXPECT_EQ(c.getPixel(4, 3), farben::weiss);
  EXPECT_EQ(c.getPixel(-1, 0), farben::schwarz);
  EXPECT_EQ(c.getPixel(0, 10), farben::schwarz);
  // Far-off shapes are clipped without walking their whole extent.
  c.moveTo(-1000000000, 5);
  c.lineTo(1000000000, 5);
  EXPECT_EQ(c.getPixel(0, 5), farben::schwarz);
  EXPECT_EQ(c.getPixel(9, 5), farben::schwarz);
  c.rectangle(-1000000000, -1000000000, 1000000000, 1000000000);
  c.ellipse(-1000000000, -1000000000, 1000000000, 1000000000);
  c.textOut(1000000000, 1000000000, "x");
  EXPECT_EQ(c.getPixel(0, 5), farben::weiss);  // filled by the white brush
}

TEST(QImageCanvasTest, GroesseAendernBehaeltDasBild) {
  QImageCanvas c(10, 10);
  c.setPixel(9, 9, farben::blau);
  c.groesseAendern(20, 5);
  EXPECT_EQ(c.breite(), 20);
  EXPECT_EQ(c.hoehe(), 5);
  c.groesseAendern(20, 20);
  EXPECT_EQ(c.getPixel(9, 9), farben::weiss);  // cut off at height 5 before
  c.setPixel(9, 4, farben::blau);
  c.groesseAendern(30, 30);
  EXPECT_EQ(c.getPixel(9, 4), farben::blau);
  EXPECT_EQ(c.getPixel(25, 25), farben::weiss);
}

TEST(NullCanvasTest, ZeichnetNichtsUndLiestWeissInnenSchwarzAussen) {
  NullCanvas c(50, 40);
  EXPECT_FALSE(c.zeichnet());
  c.setPixel(1, 1, farben::rot);
  EXPECT_EQ(c.getPixel(1, 1), farben::weiss);
  EXPECT_EQ(c.getPixel(50, 1), farben::schwarz);
  EXPECT_EQ(c.getPixel(1, -1), farben::schwarz);
}

TEST(UmrechnungTest, RiesigeUndUngueltigeRealsWerdenBegrenzt) {
  EXPECT_EQ(ganzzahl(-0.7), 0);
  EXPECT_EQ(ganzzahl(-1.7), -1);
  EXPECT_EQ(ganzzahl(1e300), 2147483647);
  EXPECT_EQ(ganzzahl(-1e300), -2147483647 - 1);
  EXPECT_EQ(ganzzahl(std::numeric_limits<double>::quiet_NaN()), 0);
  EXPECT_EQ(begrenzt(std::numeric_limits<double>::infinity(), 0, 28), 28);
  EXPECT_EQ(pixel(int64_t{8} * 2147483647 + 10), 1 << 30);
  EXPECT_EQ(rechtsbuendig(123456, 5), "123456");
  EXPECT_EQ(rechtsbuendig(-3, 5), "   -3");
  EXPECT_EQ(rechtsbuendig(std::string("ABCDEF"), 5), "ABCDEF");
}

}  // namespace
}  // namespace velkor
