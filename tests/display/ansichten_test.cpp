// The compressed view, the oscilloscope and the cell view, pixel by pixel.

#include <gtest/gtest.h>

#include <limits>

#include "display/nullcanvas.h"
#include "hilfen.h"

namespace velkor {
namespace {

using test::Aufbau;
using test::farbeIst;
using test::zaehlen;
using test::zelle;

// ---------------------------------------------------------------- compressed

struct Komprimiert : Aufbau {
  explicit Komprimiert(int m) {
    ansicht.ansichtKomprimiert = true;
    sim.param.vergroesserung = m;
  }
  // The colour of every pixel of the box, or a black sentinel when mixed.
  Farbe einfarbig(int x1, int y1, int x2, int y2) const {
    const QRgb p = bild().pixel(x1, y1);
    for (int y = y1; y < y2; ++y)
      for (int x = x1; x < x2; ++x)
        if (bild().pixel(x, y) != p) return Farbe{1, 2, 3};
    return Farbe{static_cast<uint8_t>(qRed(p)), static_cast<uint8_t>(qGreen(p)), static_cast<uint8_t>(qBlue(p))};
  }
};

TEST(KomprimiertTest, FuellungUndPegelBeiVergroesserungVier) {
  // Cell at spalte 2, zeile 1: fill (9, 25, 13, 36), lower level (9, 32, 13, 36),
  // upper level (9, 25, 13, 33); threshold 10.
  struct Fall {
    double potenzial;
    Farbe oben, unten;
  };
  for (const Fall& f : {Fall{1.0, farben::gelb, farben::gelb}, Fall{1.5, farben::gelb, farben::blau},
                        Fall{3.0, farben::gelb, farben::blau}, Fall{3.5, farben::blau, farben::blau}}) {
    Komprimiert k(4);
    test::netzBauen(k.sim.netz, {zelle("X", 2, 1)});
    k.sim.netz.Zelltabelle[0].potenzial = f.potenzial;
    k.anzeige.anzeigen();
    EXPECT_EQ(k.einfarbig(9, 25, 13, 32), f.oben) << f.potenzial;
    EXPECT_EQ(k.einfarbig(9, 32, 13, 36), f.unten) << f.potenzial;
    EXPECT_EQ(zaehlen(k.bild(), 0, 0, 100, 100, farben::weiss), 100 * 100 - 4 * 11);
    EXPECT_EQ(k.sim.netz.Zelltabelle[0].pegel, static_cast<int32_t>(28 * (f.potenzial + 2) / 10));
  }
}

TEST(KomprimiertTest, FeuerndRotRefraktaerGruenNieRotOhneRefraktaerzeit) {
  Komprimiert k(4);
  test::netzBauen(k.sim.netz, {zelle("F", 2, 1), zelle("R", 4, 1), zelle("N", 6, 1, 10.0, 0)});
  test::feuernd(k.sim.netz.Zelltabelle[0]);
  test::refraktaer(k.sim.netz.Zelltabelle[1]);
  k.sim.netz.Zelltabelle[2].refraktaerrest = 2;  // refraktaerzeit 0: never firing
  k.anzeige.anzeigen();
  EXPECT_EQ(k.einfarbig(9, 25, 13, 36), farben::rot);
  EXPECT_EQ(k.einfarbig(17, 25, 21, 36), farben::gruen);
  EXPECT_EQ(k.einfarbig(25, 25, 29, 36), farben::gruen);
}

TEST(KomprimiertTest, VergroesserungEinsBelegtZweiPixel) {
  Komprimiert k(1);
  test::netzBauen(k.sim.netz, {zelle("A", 5, 3), zelle("B", 7, 3), zelle("C", 9, 3)});
  auto& z = k.sim.netz.Zelltabelle;
  z[0].potenzial = 1.5;  // lower level only
  z[1].potenzial = 9.0;  // both
  z[2].potenzial = 0.0;
  k.anzeige.anzeigen();
  EXPECT_TRUE(farbeIst(k.bild(), 6, 24, farben::gelb));
  EXPECT_TRUE(farbeIst(k.bild(), 6, 25, farben::blau));
  EXPECT_TRUE(farbeIst(k.bild(), 8, 24, farben::blau));
  EXPECT_TRUE(farbeIst(k.bild(), 8, 25, farben::blau));
  EXPECT_TRUE(farbeIst(k.bild(), 10, 24, farben::gelb));
  EXPECT_TRUE(farbeIst(k.bild(), 10, 25, farben::gelb));
  EXPECT_EQ(zaehlen(k.bild(), 0, 0, 100, 100, farben::weiss), 100 * 100 - 6);
}

TEST(KomprimiertTest, GitterUndNeuzeichnen) {
  Komprimiert k(4);
  test::netzBauen(k.sim.netz, {zelle("A", 2, 1), zelle("O", -1, 1)});
  k.anzeige.netzzeichnen();
  // top edge (8, 24) up to (13, 24), left edge (8, 24) up to (8, 36)
  EXPECT_EQ(zaehlen(k.bild(), 8, 24, 13, 25, farben::schwarz), 5);
  EXPECT_EQ(zaehlen(k.bild(), 8, 24, 9, 36, farben::schwarz), 12);
  EXPECT_EQ(zaehlen(k.bild(), 0, 0, 100, 100, farben::schwarz), 16);
  // The redraw paints the state over what is there, the top edge one pixel shorter.
  Komprimiert r(4);
  test::netzBauen(r.sim.netz, {zelle("A", 2, 1), zelle("O", -1, 1)});
  r.anzeige.neuzeichnen();
  EXPECT_TRUE(r.zustand.neugezeichnet);
  EXPECT_EQ(zaehlen(r.bild(), 8, 24, 14, 25, farben::schwarz), 4);
  EXPECT_EQ(r.einfarbig(9, 25, 13, 36), farben::gelb);
}

TEST(KomprimiertTest, UnbegrenzteWerteUndVergroesserungNullOderNegativ) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  for (int m : {0, -3, 1000000}) {
    Komprimiert k(m);
    test::netzBauen(k.sim.netz, {zelle("A", 2, 1, 0.0), zelle("B", 3, 1, -4.0), zelle("C", 2147483647, 7, nan),
                                 zelle("D", 1, 2147483647)});
    k.sim.netz.Zelltabelle[1].potenzial = inf;
    k.sim.netz.Zelltabelle[3].potenzial = -inf;
    k.anzeige.netzzeichnen();
    k.anzeige.anzeigen();
    k.anzeige.neuzeichnen();
    for (const auto& z : k.sim.netz.Zelltabelle) {
      EXPECT_GE(z.pegel, 0);
      EXPECT_LE(z.pegel, 28);
    }
  }
}

// ---------------------------------------------------------------- oscilloscope

struct Oszi : Aufbau {
  explicit Oszi(bool mitEpsps = true) {
    if (mitEpsps)
      ansicht.ansichtOsziMitEpsps = true;
    else
      ansicht.ansichtOsziOhneEpsps = true;
    zustand.schreibzeile = 20;  // as after loading with an oscilloscope flag
  }
  // Row 21, the first row: the colour of each pixel from x = 0 to 40.
  std::string zeile() const {
    std::string s;
    for (int x = 0; x < 40; ++x) {
      const QRgb p = bild().pixel(x, 21);
      s += p == qRgb(0, 0, 255) ? 'b' : p == qRgb(0, 0, 0) ? '#' : p == qRgb(255, 0, 0) ? 'r' : '.';
    }
    return s;
  }
};

TEST(OszilloskopTest, BalkenlaengenBeiSchwelleZehn) {
  struct Fall {
    double potenzial;
    bool refraktaer;
    const char* erwartet;
  };
  for (const Fall& f : {
           Fall{0.0, false, "...................#bbbbbbbb............"},    // L = 9
           Fall{-10.0, false, "...................#...................."},  // L = 0
           Fall{-15.0, false, "................bbb#...................."},  // L = -4
           Fall{0.0, true, "...................#...................."},     // refractory: from the potential alone
           Fall{5.0, true, "...................#bbb................."},     // L = 4
       }) {
    Oszi o;
    test::netzBauen(o.sim.netz, {zelle("A", 1, 1)});
    o.sim.netz.Zelltabelle[0].potenzial = f.potenzial;
    if (f.refraktaer) test::refraktaer(o.sim.netz.Zelltabelle[0]);
    o.schritt();
    EXPECT_EQ(o.zustand.schreibzeile, 21);
    EXPECT_EQ(o.zeile(), f.erwartet) << f.potenzial;
  }
}

TEST(OszilloskopTest, FeuerstrichOhneSpurpunktUndOhneEpspsNurSpur) {
  Oszi o;
  test::netzBauen(o.sim.netz, {zelle("A", 1, 1)});
  test::feuernd(o.sim.netz.Zelltabelle[0]);
  o.schritt();
  EXPECT_EQ(o.zeile(), ".........rrrrrrrrrrrrrrrrrrrrrrrrrrrr...");  // x = 9 .. 36

  Oszi ohne(false);
  test::netzBauen(ohne.sim.netz, {zelle("A", 1, 1)});
  ohne.schritt();
  EXPECT_EQ(ohne.zeile(), "...................#....................");
}

TEST(OszilloskopTest, ZeileNamenUndSweeplinie) {
  Oszi o;
  test::netzBauen(o.sim.netz, {zelle("A", 1, 1), zelle("B", 1, 1)});
  o.sim.netz.Zelltabelle[0].potenzial = -10.0;
  o.sim.netz.Zelltabelle[1].potenzial = -10.0;
  o.schritt();
  // Sweep line at R + 1 = 22 from x = 0 to W - 11; names at (8 + 35k, R + 2).
  EXPECT_EQ(zaehlen(o.bild(), 0, 22, 1032, 23, farben::schwarz), 1022);
  const QImage namen = test::textBild(200, 60, 8, 23, "A");
  const QImage namenB = test::textBild(200, 60, 43, 23, "B");
  EXPECT_TRUE(test::gleich(o.bild(), namen, 0, 23, 40, 37));
  EXPECT_TRUE(test::gleich(o.bild(), namenB, 40, 23, 75, 37));
  // The next row erases the sweep line and draws it one pixel lower.
  o.schritt();
  EXPECT_EQ(o.zustand.schreibzeile, 22);
  EXPECT_EQ(zaehlen(o.bild(), 0, 22, 1032, 23, farben::schwarz), 2);  // the two trace pixels
  EXPECT_EQ(zaehlen(o.bild(), 0, 23, 1032, 24, farben::schwarz), 1022);
}

TEST(OszilloskopTest, FensterDerLaufendenNummern) {
  // 40 cells, displayStart 5: columns for running numbers 5 .. 38.
  Oszi o;
  std::vector<TZelle> zellen;
  for (int i = 0; i < 40; ++i) {
    std::string name = "Z";
    name += std::to_string(i + 1);  // not "Z" + ...: GCC 12 warns falsely about that
    zellen.push_back(zelle(name, 1, 1));
  }
  test::netzBauen(o.sim.netz, zellen);
  for (auto& z : o.sim.netz.Zelltabelle) z.potenzial = -10.0;
  test::feuernd(o.sim.netz.Zelltabelle[4]);   // number 5: column 0
  test::feuernd(o.sim.netz.Zelltabelle[38]);  // number 39: not shown
  o.sim.param.displayStart = 5;
  o.schritt();
  EXPECT_TRUE(farbeIst(o.bild(), 9, 21, farben::rot));
  // Columns 1 .. 28 fit the 1032 pixels; the others lie beyond the right edge.
  for (int k = 1; k < 29; ++k) EXPECT_TRUE(farbeIst(o.bild(), 19 + 35 * k, 21, farben::schwarz)) << k;
  EXPECT_EQ(zaehlen(o.bild(), 0, 21, 1032, 22, farben::schwarz), 28);
  EXPECT_EQ(o.zustand.schreibspalte, 1 + 34 * 35);
  EXPECT_EQ(zaehlen(o.bild(), 0, 21, 1032, 22, farben::rot), 28);
}

TEST(OszilloskopTest, ZeitrafferTeiltZeilenUndUmbruchBeiHMinus100) {
  Oszi o(false);
  o.zustand.H = 600;
  o.sim.param.zeitraffer = 3;
  test::netzBauen(o.sim.netz, {zelle("A", 1, 1)});
  std::vector<int32_t> zeilen;
  for (int s = 0; s < 9; ++s) {
    // two firings in the group share one stroke; the last step sets the trace pixel
    o.sim.netz.Zelltabelle[0].refraktaerrest = (s == 0 || s == 2) ? 3 : 0;
    o.schritt();
    zeilen.push_back(o.zustand.schreibzeile);
  }
  EXPECT_EQ(zeilen, (std::vector<int32_t>{21, 21, 21, 21, 22, 22, 22, 22, 23}));
  EXPECT_EQ(zaehlen(o.bild(), 0, 21, 1032, 22, farben::rot), 27);
  EXPECT_TRUE(farbeIst(o.bild(), 19, 21, farben::schwarz));
  EXPECT_EQ(zaehlen(o.bild(), 0, 22, 1032, 23, farben::rot), 0);

  Oszi w;
  w.zustand.H = 600;
  w.zustand.schreibzeile = 498;
  test::netzBauen(w.sim.netz, {zelle("A", 1, 1)});
  w.schritt();
  EXPECT_EQ(w.zustand.schreibzeile, 499);
  w.schritt();
  EXPECT_EQ(w.zustand.schreibzeile, 20);  // 500 mod 500 = 0 becomes 20
}

TEST(OszilloskopTest, SchwelleNullUndRiesigePotenzialeBleibenImBild) {
  for (double schwelle : {0.0, -2.0, 1e-300}) {
    Oszi o;
    test::netzBauen(o.sim.netz, {zelle("B", 1, 1, 10.0), zelle("A", 1, 1, schwelle)});
    o.sim.netz.Zelltabelle[0].potenzial = -std::numeric_limits<double>::infinity();
    o.sim.netz.Zelltabelle[1].potenzial = 1e308;
    o.schritt();
    // A negative threshold turns the bar to the left, over B's trace.
    EXPECT_EQ(farbeIst(o.bild(), 19, 21, farben::schwarz), schwelle >= 0.0);
    EXPECT_TRUE(farbeIst(o.bild(), 54, 21, farben::schwarz));
    EXPECT_TRUE(farbeIst(o.bild(), 0, 21, farben::blau));  // bar to the left edge
    EXPECT_EQ(farbeIst(o.bild(), 1031, 21, farben::blau), schwelle >= 0.0);
  }
}

TEST(OszilloskopTest, UndefinierteBalkenlaengeZeichntKeinenBalken) {
  // A NaN potential (learning gone astray) or infinity over an infinite
  // threshold gives no length: no bar, just the trace pixel, as a bar of 0.
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  struct Fall {
    double schwelle, potenzial;
    bool refraktaer;
  };
  for (const Fall& f : {Fall{10.0, nan, false}, Fall{10.0, nan, true}, Fall{inf, inf, false}, Fall{nan, 1.0, false}}) {
    Oszi o;
    test::netzBauen(o.sim.netz, {zelle("A", 1, 1, f.schwelle)});
    o.sim.netz.Zelltabelle[0].potenzial = f.potenzial;
    if (f.refraktaer) test::refraktaer(o.sim.netz.Zelltabelle[0]);
    o.schritt();
    EXPECT_EQ(o.zeile(), "...................#....................") << f.schwelle << " " << f.potenzial;
    EXPECT_EQ(zaehlen(o.bild(), 0, 21, 1032, 22, farben::blau), 0);
  }
}

// ---------------------------------------------------------------- cell view

struct Zellen : Aufbau {
  explicit Zellen(bool variabel = true) {
    if (variabel)
      ansicht.ansichtZellVariabel = true;
    else
      ansicht.ansichtZellKonstant = true;
  }
};

TEST(ZellansichtTest, GewichtGleichSchwelleGibtZwoelfSehnenObersteZeileWeiss) {
  // A at (10, 20), B at (90, 74): marker at M = (50, 47).
  Zellen z;
  test::netzBauen(z.sim.netz, {zelle("A", 0, 0), zelle("B", 10, 3)}, {{0, 1, 10.0}});
  z.anzeige.netzzeichnen();
  EXPECT_EQ(z.sim.netz.verbindungen.gewichtspegel[0], 12);
  EXPECT_EQ(zaehlen(z.bild(), 43, 41, 57, 42, farben::rot), 0);  // row M.y - 6
  EXPECT_GT(zaehlen(z.bild(), 43, 42, 57, 43, farben::rot), 0);  // row M.y - 5
  EXPECT_EQ(zaehlen(z.bild(), 0, 0, 1032, 768, farben::rot), zaehlen(z.bild(), 44, 42, 56, 53, farben::rot));
  EXPECT_TRUE(farbeIst(z.bild(), 50, 40, farben::schwarz));  // marker outline, top
}

TEST(ZellansichtTest, GewichtNullLeereMarkeNegativesGewichtEinN) {
  Zellen z;
  test::netzBauen(z.sim.netz, {zelle("A", 0, 0), zelle("B", 10, 3), zelle("C", 0, 20)}, {{0, 1, 0.0}, {2, 1, -0.5}});
  z.anzeige.netzzeichnen();
  EXPECT_EQ(zaehlen(z.bild(), 0, 0, 1032, 768, farben::rot), 0);
  EXPECT_TRUE(farbeIst(z.bild(), 50, 40, farben::schwarz));  // empty marker at (50, 47)
  EXPECT_TRUE(farbeIst(z.bild(), 50, 47, farben::weiss));
  // C at (10, 380), B at (90, 74): M = (50, 227), the "n" with its top left there.
  const QImage n = test::textBild(1032, 768, 50, 227, "n");
  EXPECT_TRUE(test::gleich(z.bild(), n, 50, 227, 56, 241));
  EXPECT_TRUE(farbeIst(z.bild(), 50, 220, farben::weiss));  // no marker circle
}

TEST(ZellansichtTest, SchleifeFuerVerbindungZurSelbenStelle) {
  Zellen z;
  test::netzBauen(z.sim.netz, {zelle("A", 2, 2)}, {{0, 0, 4.0}});
  z.anzeige.netzzeichnen();
  // Loop box (16, 34, 46, 64): its top row lies above the cell circle (rows 40..71).
  EXPECT_GT(zaehlen(z.bild(), 16, 34, 46, 35, farben::schwarz), 0);
  EXPECT_EQ(zaehlen(z.bild(), 0, 0, 1032, 34, farben::schwarz), 0);
  EXPECT_TRUE(farbeIst(z.bild(), 45, 49, farben::schwarz));  // right end of the loop
  EXPECT_EQ(zaehlen(z.bild(), 0, 0, 1032, 768, farben::rot), 0);
  EXPECT_EQ(z.sim.netz.verbindungen.gewichtspegel[0], 0);
}

TEST(ZellansichtTest, FeuernRotRefraktaerSchraffurEndeLeer) {
  Zellen z;
  test::netzBauen(z.sim.netz, {zelle("A", 5, 5)});  // C = (50, 110)
  auto& a = z.sim.netz.Zelltabelle[0];
  z.anzeige.netzzeichnen();
  test::feuernd(a);
  z.anzeige.anzeigen();
  EXPECT_TRUE(farbeIst(z.bild(), 50, 110, farben::rot));
  const int rot = zaehlen(z.bild(), 0, 0, 1032, 768, farben::rot);
  EXPECT_EQ(rot, zaehlen(z.bild(), 36, 97, 64, 124, farben::rot));
  EXPECT_GT(rot, 500);

  test::refraktaer(a);
  z.anzeige.anzeigen();
  EXPECT_EQ(zaehlen(z.bild(), 0, 0, 1032, 768, farben::rot), 0);
  const int gruen = zaehlen(z.bild(), 0, 0, 1032, 768, farben::gruen);
  EXPECT_EQ(gruen, zaehlen(z.bild(), 36, 96, 64, 124, farben::gruen));
  EXPECT_GT(gruen, 60);
  EXPECT_GT(zaehlen(z.bild(), 40, 100, 60, 120, farben::weiss), 200);  // hatch, not filled

  a.refraktaerrest = 0;
  a.pegel = 9;
  z.anzeige.refraktaerEnde(0);
  EXPECT_EQ(a.pegel, 0);
  EXPECT_EQ(zaehlen(z.bild(), 0, 0, 1032, 768, farben::gruen), 0);
}

TEST(ZellansichtTest, EpspPegelSteigtUndFaelltNurUmDieDifferenz) {
  Zellen z;
  test::netzBauen(z.sim.netz, {zelle("A", 5, 5)});
  auto& a = z.sim.netz.Zelltabelle[0];
  z.anzeige.netzzeichnen();
  a.potenzial = 5.0;  // p = 7: level 19
  z.anzeige.anzeigen();
  EXPECT_EQ(a.pegel, 19);
  // Level 18 (row 110 + 14 - 18 = 106) is blue at the edge; level 19 is not painted.
  EXPECT_TRUE(farbeIst(z.bild(), 37, 106, farben::blau));
  EXPECT_EQ(zaehlen(z.bild(), 0, 95, 1032, 105, farben::blau), 0);
  a.potenzial = 0.0;  // p = 2: level 5
  z.anzeige.anzeigen();
  EXPECT_EQ(a.pegel, 5);
  EXPECT_TRUE(farbeIst(z.bild(), 37, 106, farben::weiss));
  EXPECT_TRUE(farbeIst(z.bild(), 45, 120, farben::blau));  // level 4, row 120
  EXPECT_EQ(zaehlen(z.bild(), 0, 0, 1032, 119, farben::blau), 0);
}

TEST(ZellansichtTest, GewichtsmarkenFolgenNurImVariablenModus) {
  for (bool variabel : {true, false}) {
    Zellen z(variabel);
    test::netzBauen(z.sim.netz, {zelle("A", 0, 0), zelle("B", 10, 3)}, {{0, 1, 0.0}});
    z.anzeige.netzzeichnen();
    z.sim.netz.verbindungen.gewicht[0] = 10.0;
    z.sim.netz.Zelltabelle[0].refraktaerrest = 2;  // refractory: the marker waits
    z.anzeige.anzeigen();
    EXPECT_EQ(zaehlen(z.bild(), 0, 0, 1032, 768, farben::rot), 0);
    z.sim.netz.Zelltabelle[0].refraktaerrest = 0;
    z.anzeige.anzeigen();
    EXPECT_EQ(zaehlen(z.bild(), 43, 40, 57, 54, farben::rot) > 0, variabel);
    EXPECT_EQ(z.sim.netz.verbindungen.gewichtspegel[0], variabel ? 12 : 0);
    // The redraw shows the loaded weight in the constant mode.
    z.anzeige.neuzeichnen();
    EXPECT_EQ(z.sim.netz.verbindungen.gewichtspegel[0], variabel ? 12 : 0);
  }
}

TEST(ZellansichtTest, FehlendeZieleUndUnbegrenztePegelZeichnenNichtsDaneben) {
  Zellen z;
  const double nan = std::numeric_limits<double>::quiet_NaN();
  test::netzBauen(z.sim.netz, {zelle("A", 5, 5, 0.0), zelle("B", 15, 5, -3.0), zelle("C", 25, 5, 1.0)},
                  {{0, 3, 1.0}, {0, -7, 1.0}, {1, 2, 1e300}, {2, 0, nan}});
  auto& zt = z.sim.netz.Zelltabelle;
  zt[0].potenzial = 5.0;
  zt[1].potenzial = std::numeric_limits<double>::infinity();
  zt[2].potenzial = 27.0;  // threshold 1: level far above 28
  z.anzeige.netzzeichnen();
  z.anzeige.anzeigen();
  z.anzeige.neuzeichnen();
  for (const auto& c : zt) {
    EXPECT_GE(c.pegel, 0);
    EXPECT_LE(c.pegel, 28);
  }
  for (int32_t p : z.sim.netz.verbindungen.gewichtspegel) {
    EXPECT_GE(p, 0);
    EXPECT_LE(p, 12);
  }
  // Nothing left of cell A's circle (x < 34): the unresolved targets drew no line.
  EXPECT_EQ(zaehlen(z.bild(), 0, 19, 34, 768, farben::schwarz), 0);
  // Blue only inside the discs (rows 96..124).
  EXPECT_EQ(zaehlen(z.bild(), 0, 0, 1032, 96, farben::blau), 0);
  EXPECT_EQ(zaehlen(z.bild(), 0, 125, 1032, 768, farben::blau), 0);
}

TEST(ZellansichtTest, NullCanvasUeberspringtDieZellansicht) {
  Simulation sim;
  Ansichtsflags ansicht;
  ansicht.ansichtZellVariabel = true;
  Anzeigezustand zustand;
  NullCanvas canvas;
  Anzeige anzeige(sim, ansicht, zustand, canvas);
  test::netzBauen(sim.netz, {zelle("A", 0, 0), zelle("B", 10, 3)}, {{0, 1, 10.0}});
  sim.netz.Zelltabelle[0].potenzial = 5.0;
  anzeige.netzzeichnen();
  anzeige.anzeigen();
  EXPECT_EQ(sim.netz.Zelltabelle[0].pegel, 0);
  // Never drawn: the weight levels are all 0 and take no memory.
  EXPECT_TRUE(sim.netz.verbindungen.gewichtspegel.empty());
}

}  // namespace
}  // namespace velkor
