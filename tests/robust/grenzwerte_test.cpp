// Numbers at the edge of what the files allow. The simulation follows its
// arithmetic as it stands (no guards where the model defines the outcome);
// the views never leave the pixel range, never divide by zero and never hang.

#include <cmath>
#include <limits>

#include "display/anzeige.h"
#include "net/zustand.h"
#include "tests/robust/robust.h"

namespace velkor::robust {
namespace {

// Draws nothing; remembers the extreme coordinates and counts the calls.
class Messcanvas final : public Canvas {
 public:
  int breite() const override { return 1016; }
  int hoehe() const override { return 709; }
  void stiftfarbe(Farbe) override {}
  void stiftstil(Stiftstil) override {}
  void pinselfarbe(Farbe) override {}
  void pinselstil(Pinselstil) override {}
  void schriftfett(bool) override {}
  void schriftfarbe(Farbe) override {}
  void schrifthoehe(int) override {}
  void moveTo(int x, int y) override { punkt(x, y); }
  void lineTo(int x, int y) override { punkt(x, y); }
  void rectangle(int x1, int y1, int x2, int y2) override { punkt(x1, y1), punkt(x2, y2); }
  void ellipse(int x1, int y1, int x2, int y2) override { punkt(x1, y1), punkt(x2, y2); }
  void textOut(int x, int y, std::string_view) override { punkt(x, y), textzeilen.push_back(y); }
  void setPixel(int x, int y, Farbe) override { punkt(x, y); }
  Farbe getPixel(int, int) const override { return farben::weiss; }

  int64_t groessterBetrag = 0;
  int64_t aufrufe = 0;
  std::vector<int> textzeilen;

 private:
  void punkt(int x, int y) {
    groessterBetrag = std::max({groessterBetrag, std::abs(int64_t{x}), std::abs(int64_t{y})});
    ++aufrufe;
  }
};

struct Lauf {
  Simulation sim;
  Ansichtsflags ansicht;
  Anzeigezustand zustand;
  Messcanvas canvas;

  explicit Lauf(const std::string& netz) {
    std::ostringstream protokoll;
    const Ladeergebnis e = netzladenAusText(netz, 0, 0, sim.netz, protokoll);
    EXPECT_EQ(e.status, Ladestatus::ok);
    EXPECT_FALSE(e.netzfehler) << protokoll.str();
  }
  TZelle& z(int c) { return sim.netz.Zelltabelle.at(static_cast<std::size_t>(c)); }
  // `schritte` time steps in the chosen view, input by hand: `reiz` gets
  // the input value schwelle + 10 before the first step.
  void laufen(int schritte, int reiz = -1) {
    Anzeige anzeige(sim, ansicht, zustand, canvas);
    anzeige.netzzeichnen();
    if (reiz >= 0) z(reiz).potenzial = z(reiz).schwelle + 10;
    for (int i = 0; i < schritte; ++i) {
      feuern(sim, anzeige);
      weiterleiten(sim);
      anzeige.zeilenvorschub();
      anzeige.anzeigen();
      anzeige.taktanzeige();
      ++sim.zeittakt;
    }
    anzeige.neuzeichnen();
  }
};

constexpr int64_t pixelgrenze = (int64_t{1} << 30) + 64;

TEST(Grenzwerte, SchwelleNullUndNegativFeuernJedenTakt) {
  // potenzial 0 >= schwelle: the cell fires in every step, also while
  // refractory. A negative threshold also floors arrivals at -schwelle.
  Lauf l("z A 1 1\ns 0\nr 2\nz B 1 5\ns -1\nr 2\na 0.5\nz C 2 1\ns -2\nr 0\nc C -100 0\n");
  for (bool* ansicht : {&l.ansicht.ansichtZellVariabel, &l.ansicht.ansichtKomprimiert, &l.ansicht.ansichtOsziMitEpsps})
    *ansicht = true;
  l.laufen(5);
  EXPECT_EQ(l.z(0).refraktaerrest, 2);
  EXPECT_EQ(l.z(1).refraktaerrest, 2);
  // C fires each step; its spike (delay 0: one step) arrives while it is
  // not refractory and the floor lifts the potential to 2.
  EXPECT_EQ(l.z(2).potenzial, 2.0);
  EXPECT_LT(l.canvas.groessterBetrag, pixelgrenze);
}

TEST(Grenzwerte, NanUndInfWoerterLesenSichAlsNull) {
  Lauf l("z A 1 1\ns nan\na inf\nc A -inf 1\nz B\ns 1e999\nv NaN\n");
  EXPECT_EQ(l.z(0).schwelle, 0.0);
  EXPECT_EQ(l.z(0).abklingfaktor, 0.0);
  EXPECT_EQ(l.sim.netz.verbindungen.gewicht.at(0), 0.0);
  EXPECT_EQ(l.z(1).schwelle, 0.0);
  EXPECT_EQ(l.z(1).lernfaktor, 0.0);
}

TEST(Grenzwerte, RiesigeGewichteLaufenInsUnendlicheUndNaN) {
  // Weight factor 2 without learning doubles 1e308 to infinity; learning at
  // arrival then gives inf + (max - inf) * 0 = NaN, which the potential takes
  // over. The numeric table shows what ganzzahl makes of it; nothing traps.
  Lauf l("z A 1 1\ns 1\nr 0\nc B 1e308 0\ni 2\nz B 1 9\ns 1\nr 0\nh 0\n");
  l.laufen(4, 0);
  const double w = l.sim.netz.verbindungen.gewicht.at(0);
  EXPECT_TRUE(std::isinf(w) || std::isnan(w));
  l.laufen(3, 0);
  EXPECT_TRUE(std::isnan(l.sim.netz.verbindungen.gewicht.at(0)));
  EXPECT_LT(l.canvas.groessterBetrag, pixelgrenze);
  // The state file writes what the fixed-point format makes of it; the file
  // still loads.
  const std::string text = zustandstext(l.sim.netz, l.sim.zeittakt, 0, 0);
  EXPECT_EQ(ladenText(text).ergebnis.status, Ladestatus::ok);
}

TEST(Grenzwerte, AbklingenUeberEinsWaechstOhneGrenze) {
  // A cell below a huge threshold with decay 3: the potential grows by the
  // factor each step until it reaches infinity, and fires then.
  Lauf l("z A 1 1\ns 1e300\na 3\nr 1\nz B 1 5\ns 1\na 3\nc A 1 0\n");
  l.ansicht.ansichtOsziMitEpsps = true;
  l.laufen(1, 1);  // B fires, A gets 1
  double erwartet = 1.0;
  for (int i = 0; i < 40; ++i) {
    EXPECT_EQ(l.z(0).potenzial, erwartet);
    l.laufen(1);
    erwartet *= 3;
  }
  l.laufen(700);
  EXPECT_EQ(l.z(0).refraktaerrest, 0);  // fired on the way, rests again
  EXPECT_LT(l.canvas.groessterBetrag, pixelgrenze);
}

TEST(Grenzwerte, VerzoegerungenMinusZweiUndGroesstmoeglichKommenNieAn) {
  Lauf l("z A 1 1\ns 1\nr 0\nc B 1 -2\nc B 1 2147483647\nz B 1 5\ns 1\n");
  l.laufen(1, 0);
  laufzaehlerAbgleichen(l.sim);
  const auto& lauf = l.sim.netz.verbindungen.laufzaehler;
  // Set to delay + 1 (wrapping) when A fires, counted down once in the same step.
  EXPECT_EQ(lauf.at(0), std::numeric_limits<int32_t>::max());
  EXPECT_EQ(lauf.at(1), -2);
  l.laufen(20);
  laufzaehlerAbgleichen(l.sim);
  EXPECT_EQ(l.z(1).refraktaerrest, 0);
  EXPECT_EQ(l.z(1).potenzial, 0.0);
  EXPECT_EQ(lauf.at(1), -22);
}

TEST(Grenzwerte, RefraktaerzeitMinusEinsVerliertAlleAnkuenfte) {
  // After firing with refraktaerzeit -1 the rest stays -1: every later
  // arrival is lost, while input still sets the potential.
  Lauf l("z A 1 1\ns 1\nr 0\nc B 0.5 0\nz B 1 5\ns 1\nr -1\na 1\n");
  l.laufen(1, 1);
  EXPECT_EQ(l.z(1).refraktaerrest, -1);
  l.laufen(1, 0);
  l.laufen(2);
  EXPECT_EQ(l.z(1).potenzial, 0.0);
  l.laufen(1, 1);
  EXPECT_EQ(l.z(1).refraktaerrest, -1);
}

TEST(Grenzwerte, AnzeigeparameterAusserhalbIhrerBereiche) {
  const std::string netz = "z A 1 1\ns 1\nr 2\nz B -3 2147483647\ns 1\nz C 2000000000 -2000000000\ns 1\nc A 1 1\n";
  struct Fall {
    int32_t displayStart, zeitraffer, vergroesserung;
  };
  for (const Fall f : {Fall{-5, -3, 0}, Fall{1000, 2147483647, -7},
                       Fall{std::numeric_limits<int32_t>::min(), 0, std::numeric_limits<int32_t>::max()}}) {
    for (int ansicht = 0; ansicht < 5; ++ansicht) {
      Lauf l(netz);
      l.sim.param.displayStart = f.displayStart;
      l.sim.param.zeitraffer = f.zeitraffer;
      l.sim.param.vergroesserung = f.vergroesserung;
      bool* flags[] = {&l.ansicht.ansichtKomprimiert, &l.ansicht.ansichtOsziMitEpsps, &l.ansicht.ansichtFeuernd,
                       &l.ansicht.ansichtZellKonstant, nullptr};
      if (flags[ansicht] != nullptr) *flags[ansicht] = true;
      l.laufen(60, 0);
      EXPECT_LT(l.canvas.groessterBetrag, pixelgrenze) << ansicht;
      // Rows of the tables and the step counter stay on the canvas (the
      // tables wrap around); names in the cell and compressed views stand
      // where their cells stand.
      if (ansicht != 0 && ansicht != 3) {
        for (int y : l.canvas.textzeilen) EXPECT_TRUE(y >= 0 && y < l.canvas.hoehe()) << ansicht << " " << y;
      }
      // A bounded number of drawing calls per step: nothing loops over pixels.
      EXPECT_LT(l.canvas.aufrufe, 60 * 2000) << ansicht;
    }
  }
}

TEST(Grenzwerte, ZeitlupeMitUeberlaufendemProduktPausiertNicht) {
  // zeitlupe × 2000 wraps below 0: no pause at all, so this run ends at once.
  Batchumgebung u;
  for (const char* wert : {"1073742", "2147483647", "-5"}) {
    EXPECT_EQ(u.starten({"--steps", "3", "T", u.datei("n.net", "z A\ns 1\n"), u.datei("e.ein", "A 0\n"), "Z", wert}), 0)
        << u.fehler;
  }
}

}  // namespace
}  // namespace velkor::robust
