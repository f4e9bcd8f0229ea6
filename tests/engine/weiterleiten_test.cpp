// Spike propagation: countdown, arrival, the floor, and the probability P.

#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "engine/zyklus.h"
#include "tests/engine/testnetz.h"

namespace velkor {
namespace {

using test::Protokollanzeige;
using test::Testnetz;

// Phases 1 and 3 of one time step, without input.
void takt(Testnetz& t, Zyklusanzeige& anzeige) {
  feuern(t.sim, anzeige);
  weiterleiten(t.sim);
  ++t.sim.zeittakt;
}

TEST(Weiterleiten, BodenNachJederAnkunftHaengtVonDerReihenfolgeAb) {
  // Target schwelle 10: -15 then +8 ends at -2 (floor -10 in between); +8 then -15 at -7.
  for (bool hemmendZuerst : {true, false}) {
    Testnetz t;
    int32_t erste = t.zelle("E", 1.0, 1);
    int32_t zweite = t.zelle("F", 1.0, 1);
    int32_t ziel = t.zelle("Z", 10.0, 0);
    t.verbindung(erste, ziel, hemmendZuerst ? -15.0 : 8.0, 0);
    t.verbindung(zweite, ziel, hemmendZuerst ? 8.0 : -15.0, 0);
    t.fertig();
    t.z(erste).potenzial = t.z(zweite).potenzial = 1.0;
    Protokollanzeige anzeige;
    takt(t, anzeige);
    EXPECT_EQ(t.z(ziel).potenzial, hemmendZuerst ? -2.0 : -7.0);
  }
}

TEST(Weiterleiten, ListenreihenfolgeIstUmgekehrteZeilenfolge) {
  // Connection lines +8 then -15 under one cell: the list holds -15 first.
  Testnetz t;
  int32_t s = t.zelle("S", 1.0, 1);
  int32_t ziel = t.zelle("Z", 10.0, 0);
  t.verbindung(s, ziel, 8.0, 0);
  t.verbindung(s, ziel, -15.0, 0);
  t.fertig();
  t.z(s).potenzial = 1.0;
  Protokollanzeige anzeige;
  takt(t, anzeige);
  EXPECT_EQ(t.z(ziel).potenzial, -2.0);
}

TEST(Weiterleiten, VerzoegerungUndNeustartEinesLaufendenPulses) {
  // Delay 3: a spike launched in step 0 arrives in step 3; firing again in
  // step 1 restarts the countdown, so one spike arrives, in step 4.
  for (bool nochmal : {false, true}) {
    Testnetz t;
    int32_t s = t.zelle("S", 1.0, 0);
    int32_t ziel = t.zelle("Z", 100.0, 0);
    int h = t.verbindung(s, ziel, 1.0, 3);
    t.fertig();
    Protokollanzeige anzeige;
    std::vector<int32_t> ankuenfte;
    for (int32_t n = 0; n < 8; ++n) {
      if (n == 0 || (nochmal && n == 1)) t.z(s).potenzial = 1.0;
      double vorher = t.z(ziel).potenzial;
      takt(t, anzeige);
      if (t.z(ziel).potenzial != vorher) ankuenfte.push_back(n);
    }
    EXPECT_EQ(ankuenfte, std::vector<int32_t>{nochmal ? 4 : 3});
    EXPECT_EQ(t.v().letzteankunft[t.k(h)], nochmal ? 4 : 3);
  }
}

TEST(Weiterleiten, ZielDasImSelbenTaktFeuerteVerliertAllePulse) {
  Testnetz t;
  int32_t s = t.zelle("S", 1.0, 0);
  int32_t ziel = t.zelle("Z", 1.0, 2);
  int h = t.verbindung(s, ziel, 5.0, 0);
  t.fertig();
  t.z(s).potenzial = t.z(ziel).potenzial = 1.0;
  t.v().letzteankunft[t.k(h)] = 7;
  Protokollanzeige anzeige;
  takt(t, anzeige);
  EXPECT_EQ(t.z(ziel).potenzial, 0.0);
  EXPECT_EQ(t.v().letzteankunft[t.k(h)], 7);
  EXPECT_EQ(t.zaehler(h), 0);
}

// A source S that fires in step 0, with a range of delays to targets that never fire.
struct Faecher {
  Testnetz t;
  std::vector<int> verbindungen;
  explicit Faecher(const std::vector<int32_t>& verzoegerungen) {
    int32_t s = t.zelle("S", 1.0, 0);
    for (int32_t d : verzoegerungen) {
      int32_t z = t.zelle("Z", 1e9, 0);
      verbindungen.push_back(t.verbindung(s, z, 1.0, d));
    }
    t.fertig();
    t.z(s).potenzial = 1.0;
  }
};

TEST(Zufallsverzoegerung, P99UndP100GebenDenselbenVerlauf) {
  auto verlauf = [](int32_t p) {
    Faecher f({0, 1, 2, 3, 5, -2});
    f.t.sim.param.pWert = p;
    Protokollanzeige anzeige;
    std::vector<double> werte;
    for (int n = 0; n < 40; ++n) {
      if (n % 7 == 0) f.t.z(0).potenzial = 1.0;
      takt(f.t, anzeige);
      for (const TZelle& z : f.t.sim.netz.Zelltabelle) werte.push_back(z.potenzial);
    }
    return std::pair{werte, f.t.sim.zufall.zustand()};
  };
  EXPECT_EQ(verlauf(99), verlauf(100));
}

TEST(Zufallsverzoegerung, EineZiehungJeZaehlendeVerbindungUndTakt) {
  // Delay 3 at P 100: countdowns 4, 3, 2 draw, 1 arrives. Delay 0 and -1 never draw;
  // delay -2 draws in every step.
  Faecher f({3, 0, -1});
  Protokollanzeige anzeige;
  for (int n = 0; n < 10; ++n) takt(f.t, anzeige);
  Zufall erwartet;
  erwartet.vorruecken(3);
  EXPECT_EQ(f.t.sim.zufall.zustand(), erwartet.zustand());

  Faecher g({-2});
  for (int n = 0; n < 10; ++n) takt(g.t, anzeige);
  Zufall zehn;
  zehn.vorruecken(10);
  EXPECT_EQ(g.t.sim.zufall.zustand(), zehn.zustand());
  EXPECT_EQ(g.t.zaehler(0), -11);
  EXPECT_EQ(g.t.z(1).potenzial, 0.0);
}

TEST(Zufallsverzoegerung, P50StreutAnkuenfteNieVorDerVerzoegerung) {
  std::vector<int32_t> verzoegerungen;
  for (int i = 0; i < 30; ++i) verzoegerungen.push_back(i % 3);  // 0, 1, 2
  Faecher f(verzoegerungen);
  f.t.sim.param.pWert = 50;
  Protokollanzeige anzeige;
  for (int n = 0; n < 60; ++n) takt(f.t, anzeige);
  std::set<int32_t> zeiten[3];
  for (std::size_t i = 0; i < verzoegerungen.size(); ++i) {
    int32_t ankunft = f.t.v().letzteankunft[f.t.k(f.verbindungen[i])];
    int32_t d = verzoegerungen[i];
    ASSERT_GE(ankunft, d) << "connection " << i;
    zeiten[d].insert(ankunft);
  }
  EXPECT_EQ(zeiten[0], std::set<int32_t>{0});
  EXPECT_GT(zeiten[1].size(), 1U);
  EXPECT_GT(zeiten[2].size(), 1U);
}

TEST(Zufallsverzoegerung, NegativesPHaeltPulseAufVerzoegerungNullNicht) {
  Faecher f({0, 1, 4});
  f.t.sim.param.pWert = -1;
  Protokollanzeige anzeige;
  for (int n = 0; n < 20; ++n) takt(f.t, anzeige);
  EXPECT_EQ(f.t.z(1).potenzial, 1.0);
  EXPECT_EQ(f.t.z(2).potenzial, 0.0);
  EXPECT_EQ(f.t.z(3).potenzial, 0.0);
  EXPECT_EQ(f.t.zaehler(f.verbindungen[1]), 2);
  EXPECT_EQ(f.t.zaehler(f.verbindungen[2]), 5);
}

TEST(Zufallsverzoegerung, VerzoegerungMinusEinsUndMinusZweiKommenNieAn) {
  Faecher f({-1, -2});
  Protokollanzeige anzeige;
  for (int n = 0; n < 20; ++n) takt(f.t, anzeige);
  EXPECT_EQ(f.t.zaehler(f.verbindungen[0]), 0);
  EXPECT_LT(f.t.zaehler(f.verbindungen[1]), 0);
  EXPECT_EQ(f.t.z(1).potenzial, 0.0);
  EXPECT_EQ(f.t.z(2).potenzial, 0.0);
}

}  // namespace
}  // namespace velkor
