// The cycle: phase order, the chain example, runs until a stop mark, the
// refusal of a faulty net and the slow-motion pause.

#include "engine/zyklus.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/engine/testnetz.h"

namespace velkor {
namespace {

using test::Protokollanzeige;
using test::Testnetz;
using test::Testverzeichnis;

// Cells A and B with schwelle 5, A -> B with weight 6, an input entry for A at step 0.
struct Kette {
  Testverzeichnis verzeichnis;
  Testnetz t;
  int h = -1;
  explicit Kette(int32_t verzoegerung, const std::string& eingabe = "A 0\n\n") {
    int32_t a = t.zelle("A", 5.0, 1);
    int32_t b = t.zelle("B", 5.0, 1);
    h = t.verbindung(a, b, 6.0, verzoegerung);
    t.fertig();
    std::string fehler;
    EXPECT_TRUE(t.sim.eingabe.eingabestart(verzeichnis.datei("kette.ein", eingabe), fehler));
  }
};

struct Zustand {
  double potA;
  int32_t restA;
  int32_t lauf;
  double potB;
  int32_t restB;
  bool operator==(const Zustand&) const = default;
};

std::ostream& operator<<(std::ostream& o, const Zustand& z) {
  return o << "{" << z.potA << ", " << z.restA << ", " << z.lauf << ", " << z.potB << ", " << z.restB << "}";
}

std::vector<Zustand> verlauf(Kette& k, int schritte) {
  Protokollanzeige anzeige;
  std::vector<Zustand> v;
  for (int i = 0; i < schritte; ++i) {
    einzelzyklus(k.t.sim, anzeige);
    v.push_back(
        {k.t.z(0).potenzial, k.t.z(0).refraktaerrest, k.t.zaehler(k.h), k.t.z(1).potenzial, k.t.z(1).refraktaerrest});
  }
  return v;
}

TEST(Zyklus, KetteMitVerzoegerungEins) {
  // 0: input sets A to 15. 1: A fires, the countdown goes 2 -> 1. 2: arrival, B 6. 3: B fires.
  Kette k(1);
  const std::vector<Zustand> erwartet = {
      {15, 0, 0, 0, 0}, {0, 1, 1, 0, 0}, {0, 0, 0, 6, 0}, {0, 0, 0, 0, 1}, {0, 0, 0, 0, 0},
  };
  EXPECT_EQ(verlauf(k, 5), erwartet);
  EXPECT_EQ(k.t.v().letzteankunft[k.t.k(k.h)], 2);
  EXPECT_EQ(k.t.sim.zeittakt, 5);
}

TEST(Zyklus, KetteMitVerzoegerungNull) {
  Kette k(0);
  const std::vector<Zustand> erwartet = {
      {15, 0, 0, 0, 0},
      {0, 1, 0, 6, 0},
      {0, 0, 0, 0, 1},
      {0, 0, 0, 0, 0},
  };
  EXPECT_EQ(verlauf(k, 4), erwartet);
  EXPECT_EQ(k.t.v().letzteankunft[k.t.k(k.h)], 1);
}

TEST(Zyklus, PhasenUndAnzeigeInDerReihenfolgeDesTakts) {
  Kette k(1, "A 0\n*** 1\nB 5\n\n");
  Protokollanzeige anzeige(&k.t.sim);
  k.t.z(1).refraktaerrest = 1;  // ends in phase 1 of step 0
  einzelzyklus(k.t.sim, anzeige);
  einzelzyklus(k.t.sim, anzeige);
  const std::vector<std::string> erwartet = {
      "zeilenvorschub", "refraktaerEnde", "anzeigen", "taktanzeige",
      "zeilenvorschub", "eingabeHinweis", "anzeigen", "taktanzeige",
  };
  EXPECT_EQ(anzeige.aufrufe, erwartet);
  EXPECT_EQ(anzeige.refraktaerEnden, std::vector<int32_t>{1});
  EXPECT_EQ(anzeige.takte, (std::vector<int32_t>{0, 1}));  // counter raised after the display
}

TEST(Zyklus, LaufBisStopmarkeUndDanachEinzelschritt) {
  // Stop mark at 7: steps 0..7 run, zeittakt is 8; the next call with anhalten runs step 8.
  Kette k(1, "*** 7\nB 9\n\n");
  Protokollanzeige anzeige;
  k.t.sim.lauf.anhalten = false;
  EXPECT_EQ(zyklus(k.t.sim, anzeige), 8);
  EXPECT_EQ(k.t.sim.zeittakt, 8);
  EXPECT_TRUE(k.t.sim.lauf.anhalten);
  EXPECT_FALSE(k.t.sim.lauf.eingabeEnde);
  EXPECT_EQ(zyklus(k.t.sim, anzeige), 1);
  EXPECT_EQ(k.t.sim.zeittakt, 9);
  // The rest of the run: B's input in step 9 ends the input.
  k.t.sim.lauf.anhalten = false;
  EXPECT_EQ(zyklus(k.t.sim, anzeige), 1);
  EXPECT_EQ(k.t.z(1).potenzial, 15.0);
  EXPECT_TRUE(k.t.sim.lauf.eingabeEnde);
}

TEST(Zyklus, NachEingabeendeLaeuftJederAufrufGenauEinenTakt) {
  Kette k(1, "");
  Protokollanzeige anzeige;
  for (int i = 0; i < 3; ++i) {
    k.t.sim.lauf.anhalten = false;
    EXPECT_EQ(zyklus(k.t.sim, anzeige), 1);
  }
  EXPECT_EQ(k.t.sim.zeittakt, 3);
  EXPECT_EQ(anzeige.eingabeHinweise, 3);
}

TEST(Zyklus, NetzfehlerLaesstKeinenTaktLaufen) {
  Kette k(1);
  k.t.sim.lauf.netzfehler = true;
  Protokollanzeige anzeige;
  EXPECT_EQ(zyklus(k.t.sim, anzeige), 0);
  EXPECT_EQ(zyklus(k.t.sim, anzeige), 0);
  EXPECT_EQ(anzeige.netzfehlerHinweise, 2);
  EXPECT_EQ(anzeige.aufrufe, (std::vector<std::string>{"netzfehlerHinweis", "netzfehlerHinweis"}));
  EXPECT_EQ(k.t.sim.zeittakt, 0);
  EXPECT_EQ(k.t.z(0).potenzial, 0.0);
}

TEST(Zeitlupe, AnzahlDerRunden) {
  EXPECT_EQ(zeitlupeRunden(0), 1);
  EXPECT_EQ(zeitlupeRunden(1), 2001);
  EXPECT_EQ(zeitlupeRunden(-1), 0);
  // The product is a signed 32-bit number: 1073742 * 2000 wraps below 0,
  // 2147484 * 2000 wraps to 704.
  EXPECT_EQ(zeitlupeRunden(1073741), 2147482001);
  EXPECT_EQ(zeitlupeRunden(1073742), 0);
  EXPECT_EQ(zeitlupeRunden(2147484), 705);
  zeitlupePause(1);  // runs and returns
}

}  // namespace
}  // namespace velkor
