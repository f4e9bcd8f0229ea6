// Regression tests of the faults the fuzz targets found, each with the input
// that found it (reduced where that kept it clear).

#include <sstream>

#include "app/dialogs/umrechnen.h"
#include "engine/zyklus.h"
#include "net/tokens.h"
#include "tests/robust/robust.h"

namespace velkor::robust {
namespace {

// A connection line without a target word looked up the empty word, whose
// text has no data: memcpy from a null pointer.
TEST(Fuzzfund, VerbindungszeileOhneZielwortSuchtDasLeereWort) {
  for (const std::string text : {"z A 1 1\nc\n", "z A 1 1\nc.0\nv 0.5\nc B 1 1\nz B\nc A 1 1\nc Y\n"}) {
    Netz netz;
    std::ostringstream protokoll;
    const Ladeergebnis e = netzladenAusText(text, 0, 0, netz, protokoll);
    EXPECT_EQ(e.status, Ladestatus::ok);
    EXPECT_TRUE(e.netzfehler);  // no cell has the empty name
    EXPECT_EQ(protokoll.str().rfind(">c", 0), 0u);
  }
  // A cell with the empty name is found by it.
  Netz netz;
  std::ostringstream protokoll;
  EXPECT_FALSE(netzladenAusText("z\nc\n", 0, 0, netz, protokoll).netzfehler);
  EXPECT_EQ(netz.verbindungen.ziel.at(0), 0);
}

// The dialogs read "-2147483648x" as 0 where the token operations read
// 214748364: the same text must give the same value in both.
TEST(Fuzzfund, DialogUndTokensLesenDieKleinsteZahlMitFremdemZeichenGleich) {
  const Umrechnungsregel ziffern{0, std::nullopt};
  for (const std::string text : {"-2147483648x", "-2147483648.5", "-21474836480"}) {
    std::string_view zeile = text;
    bool fehler = false;
    const int32_t token = naechsteGanzzahl(zeile, fehler);
    EXPECT_TRUE(fehler);
    EXPECT_EQ(umrechnen(text, ziffern), token) << text;
  }
  EXPECT_EQ(umrechnen("-2147483648x", ziffern), 214748364);
  EXPECT_EQ(umrechnen("-2147483648x", Umrechnungsregel{0, 100}), 100);
  EXPECT_EQ(umrechnen("-2147483648", ziffern), -2147483647 - 1);
}

// Cells fire in a net whose connections never arrive, or that has none: the
// schedule has no delay group at all, and fetching the groups of a firing
// cell ahead offset the null pointer of the empty group table.
TEST(Fuzzfund, FeuerndeZellenOhneVerzoegerungsgruppen) {
  for (const std::string verbindung : {"", "c Z0 0.5 -3\n"}) {
    std::string text;
    for (int c = 0; c < 20; ++c) text += "z Z" + std::to_string(c) + "\ns 0\na 0.5\nr 0\n" + verbindung;
    Simulation sim;
    std::ostringstream protokoll;
    ASSERT_EQ(netzladenAusText(text, 0, 0, sim.netz, protokoll).status, Ladestatus::ok);
    Zyklusanzeige anzeige;
    for (int i = 0; i < 3; ++i) {
      sim.lauf.anhalten = true;
      einzelzyklus(sim, anzeige);
    }
    EXPECT_TRUE(sim.plan.ereignisse.aktiv()) << verbindung;
    EXPECT_EQ(sim.zeittakt, 3);
  }
}

}  // namespace
}  // namespace velkor::robust
