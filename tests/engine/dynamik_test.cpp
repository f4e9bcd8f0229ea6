// Cell dynamics and learning: firing, decay, refractory phase, the learning
// factor and the weight rules of phase 1 and of the arrival.

#include <gtest/gtest.h>

#include "engine/zyklus.h"
#include "tests/engine/testnetz.h"

namespace velkor {
namespace {

using test::Protokollanzeige;
using test::Testnetz;

TEST(Feuern, PotenzialGleichSchwelleFeuertUndStartetSpikesSonstAbklingen) {
  Testnetz t;
  int32_t a = t.zelle("A", 5.0, 2, 0.5);
  int32_t b = t.zelle("B", 5.0, 2, 0.5);
  int h1 = t.verbindung(a, b, 1.0, 0);
  int h2 = t.verbindung(a, b, 1.0, 4);
  t.fertig();
  t.z(a).potenzial = 5.0;
  t.z(b).potenzial = 4.0;
  Protokollanzeige anzeige;
  feuern(t.sim, anzeige);
  EXPECT_EQ(t.z(a).potenzial, 0.0);
  EXPECT_EQ(t.z(a).refraktaerrest, 2);
  EXPECT_EQ(t.zaehler(h1), 1);
  EXPECT_EQ(t.zaehler(h2), 5);
  EXPECT_EQ(t.z(b).potenzial, 2.0);
  EXPECT_EQ(t.z(b).refraktaerrest, 0);
}

TEST(Feuern, NichtGegebeneWerte) {
  // schwelle -1 fires in every step, refractory or not; abklingfaktor -1 flips the sign.
  Testnetz t;
  int32_t a = t.zelle("A", -1.0, 2);
  int32_t b = t.zelle("B", 100.0, 0, -1.0);
  int h = t.verbindung(a, b, 0.0, 7);
  t.fertig();
  t.z(b).potenzial = 3.0;
  Protokollanzeige anzeige;
  for (int i = 0; i < 3; ++i) {
    t.zaehlerSetzen(h, 0);
    feuern(t.sim, anzeige);
    EXPECT_EQ(t.z(a).refraktaerrest, 2);
    EXPECT_EQ(t.zaehler(h), 8);
  }
  EXPECT_EQ(t.z(b).potenzial, -3.0);
}

TEST(Feuern, RefraktaerzeitDreiZeitleisteUndVerlorenePulse) {
  // X fires in step 0; S fires in every step and sends it 1 without delay.
  // Spikes of steps 0, 1, 2 are lost, the one of step 3 counts; recovery starts in 3.
  Testnetz t;
  int32_t s = t.zelle("S", 0.0, 0);
  int32_t x = t.zelle("X", 100.0, 3);
  int h = t.verbindung(s, x, 1.0, 0);
  t.fertig();
  t.z(x).potenzial = 100.0;
  t.z(x).lernfaktor = t.z(x).lernfaktorstart = 0.8;
  t.z(x).erholfaktor = 0.5;
  Protokollanzeige anzeige;
  struct Erwartung {
    int32_t rest;
    double potenzial;
    int32_t letzteankunft;
    double lernfaktor;
  };
  const Erwartung tabelle[] = {
      {3, 0.0, -1, 0.8}, {2, 0.0, -1, 0.8}, {1, 0.0, -1, 0.8}, {0, 1.0, 3, 0.4}, {0, 2.0, 4, 0.2},
  };
  for (int32_t takt = 0; takt < 5; ++takt) {
    t.sim.zeittakt = takt;
    feuern(t.sim, anzeige);
    weiterleiten(t.sim);
    const Erwartung& e = tabelle[takt];
    EXPECT_EQ(t.z(x).refraktaerrest, e.rest) << "step " << takt;
    EXPECT_EQ(t.z(x).potenzial, e.potenzial) << "step " << takt;
    EXPECT_EQ(t.v().letzteankunft[t.k(h)], e.letzteankunft) << "step " << takt;
    EXPECT_DOUBLE_EQ(t.z(x).lernfaktor, e.lernfaktor) << "step " << takt;
  }
  EXPECT_EQ(anzeige.refraktaerEnden, std::vector<int32_t>{x});
}

TEST(Feuern, ExterneEingabeWaehrendRefraktaerphaseFeuertErneut) {
  Testnetz t;
  int32_t a = t.zelle("A", 5.0, 3);
  t.fertig();
  Protokollanzeige anzeige;
  t.z(a).potenzial = 15.0;
  feuern(t.sim, anzeige);
  feuern(t.sim, anzeige);
  EXPECT_EQ(t.z(a).refraktaerrest, 2);
  t.z(a).potenzial = 15.0;  // input while refractory
  feuern(t.sim, anzeige);
  EXPECT_EQ(t.z(a).refraktaerrest, 3);
  EXPECT_TRUE(anzeige.refraktaerEnden.empty());
}

TEST(Feuern, RefraktaerzeitNullNimmtPulseImSelbenTaktAn) {
  // A cell connected to itself without delay receives its own spike on top of the reset 0.
  Testnetz t;
  int32_t a = t.zelle("A", 5.0, 0);
  int h = t.verbindung(a, a, 2.0, 0);
  t.fertig();
  t.z(a).potenzial = 5.0;
  t.z(a).lernfaktor = 0.9;
  t.z(a).lernfaktorstart = 0.1;
  t.z(a).erholfaktor = 1.5;  // growth form: drops to lernfaktorstart in the firing step
  t.sim.zeittakt = 4;
  Protokollanzeige anzeige;
  feuern(t.sim, anzeige);
  EXPECT_EQ(t.z(a).refraktaerrest, 0);
  EXPECT_DOUBLE_EQ(t.z(a).lernfaktor, 0.1);
  weiterleiten(t.sim);
  EXPECT_EQ(t.z(a).potenzial, 2.0);
  EXPECT_EQ(t.v().letzteankunft[t.k(h)], 4);
}

TEST(Feuern, EigenerPulsGehtBeiRefraktaerzeitVerloren) {
  Testnetz t;
  int32_t a = t.zelle("A", 5.0, 1);
  int h = t.verbindung(a, a, 2.0, 0);
  t.fertig();
  t.z(a).potenzial = 5.0;
  Protokollanzeige anzeige;
  feuern(t.sim, anzeige);
  weiterleiten(t.sim);
  EXPECT_EQ(t.z(a).potenzial, 0.0);
  EXPECT_EQ(t.v().letzteankunft[t.k(h)], -1);
  EXPECT_EQ(t.zaehler(h), 0);
}

TEST(Feuern, RefraktaerzeitNichtGegebenSperrtDieZelleDauerhaft) {
  // After the first firing refraktaerrest is -1: no countdown, no recovery, no arrivals.
  Testnetz t;
  int32_t s = t.zelle("S", 0.0, 0);
  int32_t x = t.zelle("X", 50.0, -1);
  int h = t.verbindung(s, x, 1.0, 0);
  t.fertig();
  t.z(x).potenzial = 50.0;
  t.z(x).lernfaktor = 0.6;
  t.z(x).lernfaktorstart = 0.6;
  t.z(x).erholfaktor = 0.5;
  t.z(x).aenderungsrate = 0.5;
  Protokollanzeige anzeige;
  for (int32_t takt = 0; takt < 4; ++takt) {
    t.sim.zeittakt = takt;
    feuern(t.sim, anzeige);
    weiterleiten(t.sim);
  }
  EXPECT_EQ(t.z(x).refraktaerrest, -1);
  EXPECT_DOUBLE_EQ(t.z(x).lernfaktor, 0.8);  // moved by the firing, never recovered
  EXPECT_EQ(t.z(x).potenzial, 0.0);
  EXPECT_EQ(t.v().letzteankunft[t.k(h)], -1);
  EXPECT_TRUE(anzeige.refraktaerEnden.empty());
}

TEST(Lernfaktor, FeuernHebtOderSenktIhn) {
  for (auto [rate, erwartet] : {std::pair{0.5, 0.6}, std::pair{-0.5, 0.1}}) {
    Testnetz t;
    int32_t a = t.zelle("A", 1.0, 2);
    t.fertig();
    t.z(a).potenzial = 1.0;
    t.z(a).lernfaktor = 0.2;
    t.z(a).lernfaktorstart = 0.2;
    t.z(a).aenderungsrate = rate;
    Protokollanzeige anzeige;
    feuern(t.sim, anzeige);
    EXPECT_DOUBLE_EQ(t.z(a).lernfaktor, erwartet) << "rate " << rate;
  }
}

TEST(Lernfaktor, AbklingformMitBodenNurBeiPositiverRate) {
  for (double rate : {0.5, -0.5}) {
    Testnetz t;
    int32_t a = t.zelle("A", 100.0, 2);
    t.fertig();
    t.z(a).lernfaktor = 0.6;
    t.z(a).lernfaktorstart = 0.3;
    t.z(a).erholfaktor = 0.9;
    t.z(a).aenderungsrate = rate;
    Protokollanzeige anzeige;
    double erwartet = 0.6;
    for (int schritt = 0; schritt < 10; ++schritt) {
      feuern(t.sim, anzeige);
      erwartet *= 0.9;
      if (rate > 0 && erwartet < 0.3) erwartet = 0.3;
      EXPECT_DOUBLE_EQ(t.z(a).lernfaktor, erwartet) << "rate " << rate << " step " << schritt;
    }
    if (rate > 0) {
      EXPECT_EQ(t.z(a).lernfaktor, 0.3);
    } else {
      EXPECT_LT(t.z(a).lernfaktor, 0.3);
    }
  }
}

TEST(Lernfaktor, Wachstumsform) {
  // From above: drops to lernfaktorstart at once. From below: grows, capped at lernfaktorstart.
  Testnetz t;
  int32_t oben = t.zelle("O", 100.0, 1);
  int32_t unten = t.zelle("U", 100.0, 1);
  t.fertig();
  t.z(oben).lernfaktor = 0.7;
  t.z(oben).lernfaktorstart = 0.3;
  t.z(oben).erholfaktor = 1.2;
  t.z(unten).lernfaktor = 0.1;
  t.z(unten).lernfaktorstart = 0.5;
  t.z(unten).erholfaktor = 1.5;
  Protokollanzeige anzeige;
  feuern(t.sim, anzeige);
  EXPECT_EQ(t.z(oben).lernfaktor, 0.3);
  EXPECT_DOUBLE_EQ(t.z(unten).lernfaktor, 0.1 * (1 + 0.9 * 0.5));
  for (int i = 0; i < 20; ++i) feuern(t.sim, anzeige);
  EXPECT_EQ(t.z(unten).lernfaktor, 0.5);
}

TEST(Gewicht, GewichtsfaktorJedenTaktUndKappungErstBeiAnkunft) {
  Testnetz t;
  int32_t s = t.zelle("S", 100.0, 0);
  int32_t z = t.zelle("Z", 100.0, 0);
  int h = t.verbindung(s, z, 1.0, 0);
  t.fertig();
  t.v().gewichtsfaktor.setzen(t.k(h), 2.0);
  Protokollanzeige anzeige;
  feuern(t.sim, anzeige);
  feuern(t.sim, anzeige);
  EXPECT_EQ(t.v().gewicht[t.k(h)], 4.0);  // above maximalgewicht 1, left there
  t.zaehlerSetzen(h, 1);                  // by hand, outside a time step
  weiterleiten(t.sim);
  EXPECT_EQ(t.v().gewicht[t.k(h)], 1.0);
  EXPECT_EQ(t.z(z).potenzial, 1.0);
}

TEST(Gewicht, OhneLernzeilenAendertSichNichts) {
  Testnetz t;
  int32_t a = t.zelle("A", 1.0, 1);
  int32_t b = t.zelle("B", 1.0, 0);
  int h1 = t.verbindung(a, b, 0.7, 0);
  int h2 = t.verbindung(b, a, -0.4, 1);
  t.fertig();
  Protokollanzeige anzeige;
  for (int32_t takt = 0; takt < 20; ++takt) {
    t.sim.zeittakt = takt;
    if (takt % 3 == 0) t.z(a).potenzial = 5.0;
    feuern(t.sim, anzeige);
    weiterleiten(t.sim);
  }
  EXPECT_EQ(t.v().gewicht[t.k(h1)], 0.7);
  EXPECT_EQ(t.v().gewicht[t.k(h2)], -0.4);
  EXPECT_EQ(t.z(a).lernfaktor, 0.0);
  EXPECT_EQ(t.z(b).lernfaktor, 0.0);
}

// Windowed rule: K from S to T; T has aenderungsrate < 0, lernfaktor 0.4 and
// lernfaktorstart 0.8; K has gewichtsfaktor 0.5 and zeitfenster 2.
struct Fenster {
  Testnetz t;
  int32_t s = -1, ziel = -1;
  int h = -1;
  Fenster(bool zielZuerst, int32_t letzteankunft, int32_t zeitfenster) {
    if (zielZuerst) {
      ziel = t.zelle("T", 1.0, 2);
      s = t.zelle("S", 100.0, 0);
    } else {
      s = t.zelle("S", 100.0, 0);
      ziel = t.zelle("T", 1.0, 2);
    }
    h = t.verbindung(s, ziel, 1.0, 5);
    t.fertig();
    TZelle& z = t.z(ziel);
    z.aenderungsrate = -0.5;
    z.lernfaktor = 0.4;
    z.lernfaktorstart = 0.8;
    t.v().gewichtsfaktor.setzen(t.k(h), 0.5);
    t.v().zeitfensterSpalte()[t.k(h)] = zeitfenster;
    t.v().letzteankunft[t.k(h)] = letzteankunft;
    t.sim.zeittakt = 11;
  }
  double gewicht() { return t.v().gewicht[t.k(h)]; }
  bool imfenster() { return t.v().imfenster[t.k(h)] != 0; }
};

TEST(Fensterregel, ZielMitHoeheremIndexUeberSchwelle) {
  Protokollanzeige anzeige;
  struct Fall {
    int32_t letzteankunft;
    bool imfenster;
    double gewicht;
  };
  for (Fall f : {Fall{10, true, 0.8}, Fall{5, false, 0.6}, Fall{-1, false, 0.6}, Fall{9, true, 0.8}}) {
    Fenster w(false, f.letzteankunft, 2);
    w.t.z(w.ziel).potenzial = 1.0;
    feuern(w.t.sim, anzeige);
    EXPECT_EQ(w.imfenster(), f.imfenster) << "letzteankunft " << f.letzteankunft;
    EXPECT_DOUBLE_EQ(w.gewicht(), f.gewicht) << "letzteankunft " << f.letzteankunft;
  }
}

TEST(Fensterregel, ZielMitNiedrigeremIndexHatSchonGefeuert) {
  // T fired earlier in this pass: refraktaerrest = refraktaerzeit, its learning
  // factor already lowered to 0.2, so the factor is 0.8 + 0.5 * 0.2.
  Protokollanzeige anzeige;
  Fenster w(true, 10, 2);
  w.t.z(w.ziel).potenzial = 1.0;
  feuern(w.t.sim, anzeige);
  EXPECT_TRUE(w.imfenster());
  EXPECT_DOUBLE_EQ(w.gewicht(), 0.9);
}

TEST(Fensterregel, ZielDasNichtFeuertBehaeltImfenster) {
  Protokollanzeige anzeige;
  Fenster w(false, -1, 2);
  w.t.v().imfenster[w.t.k(w.h)] = 1;  // from an earlier step
  feuern(w.t.sim, anzeige);
  EXPECT_TRUE(w.imfenster());
  EXPECT_DOUBLE_EQ(w.gewicht(), 0.8);
}

TEST(Fensterregel, OhneZeitfensterJedenTaktMitLernfaktor) {
  Protokollanzeige anzeige;
  Fenster w(false, -1, -1);
  feuern(w.t.sim, anzeige);
  EXPECT_DOUBLE_EQ(w.gewicht(), 0.8);
  feuern(w.t.sim, anzeige);
  EXPECT_DOUBLE_EQ(w.gewicht(), 0.64);
}

TEST(Fensterregel, RefraktaerzeitNullZaehltImmerAlsFeuernd) {
  Protokollanzeige anzeige;
  Fenster w(false, 10, 2);
  w.t.z(w.ziel).refraktaerzeit = 0;
  feuern(w.t.sim, anzeige);
  EXPECT_TRUE(w.imfenster());
  w.t.sim.zeittakt = 13;
  feuern(w.t.sim, anzeige);
  EXPECT_FALSE(w.imfenster());
}

TEST(Ankunftslernen, ZweiLernendeAnkuenfteImSelbenTakt) {
  // The first arrival learns with lernfaktor 0.6 and resets it to 0.2; the second sees 0.2.
  Testnetz t;
  int32_t s = t.zelle("S", 100.0, 0);
  int32_t z = t.zelle("Z", 100.0, 0);
  int zweite = t.verbindung(s, z, 1.0, 0);
  int erste = t.verbindung(s, z, 1.0, 0);  // newer connection line: first in the list
  t.fertig();
  t.z(z).aenderungsrate = 0.5;
  t.z(z).lernfaktor = 0.6;
  t.z(z).lernfaktorstart = 0.2;
  for (int h : {erste, zweite}) {
    t.v().maximalgewicht[t.k(h)] = 2.0;
    t.zaehlerSetzen(h, 1);
  }
  weiterleiten(t.sim);
  EXPECT_DOUBLE_EQ(t.v().gewicht[t.k(erste)], 1.6);
  EXPECT_DOUBLE_EQ(t.v().gewicht[t.k(zweite)], 1.2);
  EXPECT_DOUBLE_EQ(t.z(z).lernfaktor, 0.2);
  EXPECT_DOUBLE_EQ(t.z(z).potenzial, 2.8);
}

TEST(Ankunftslernen, RuecksetzungNurBeiLernverbindungUndPositiverRate) {
  Testnetz t;
  int32_t s = t.zelle("S", 100.0, 0);
  int32_t z = t.zelle("Z", 100.0, 0);
  int h = t.verbindung(s, z, 1.0, 0);
  t.fertig();
  TZelle& ziel = t.z(z);
  ziel.lernfaktor = 0.6;
  ziel.lernfaktorstart = 0.2;
  ziel.aenderungsrate = 0.5;
  ankunftslernen(t.sim.netz, t.k(h), ziel);  // maximalgewicht = startgewicht: no learning connection
  EXPECT_EQ(ziel.lernfaktor, 0.6);
  t.v().maximalgewicht[t.k(h)] = 3.0;
  ziel.aenderungsrate = 0.0;
  ankunftslernen(t.sim.netz, t.k(h), ziel);
  EXPECT_EQ(ziel.lernfaktor, 0.6);
  ziel.aenderungsrate = 0.5;
  ankunftslernen(t.sim.netz, t.k(h), ziel);
  EXPECT_EQ(ziel.lernfaktor, 0.2);
}

TEST(Ankunftslernen, KappungBeiAnkunftUndLernschritt) {
  Testnetz t;
  int32_t s = t.zelle("S", 100.0, 0);
  int32_t z = t.zelle("Z", 100.0, 0);
  int h = t.verbindung(s, z, 1.0, 0);
  t.fertig();
  std::size_t k = t.k(h);
  t.z(z).lernfaktor = 0.5;
  t.v().maximalgewicht[k] = 1.2;
  t.v().lernschritt[k] = 1.0;
  ankunftslernen(t.sim.netz, k, t.z(z));
  EXPECT_DOUBLE_EQ(t.v().gewicht[k], 1.2);  // 1.5 capped
  t.v().lernschritt[k] = -2.0;
  ankunftslernen(t.sim.netz, k, t.z(z));
  EXPECT_DOUBLE_EQ(t.v().gewicht[k], 0.2);  // no lower bound
}

TEST(Ankunftslernen, HemmendeVerbindung) {
  Testnetz t;
  int32_t s = t.zelle("S", 100.0, 0);
  int32_t z = t.zelle("Z", 100.0, 0);
  int mitSchritt = t.verbindung(s, z, -1.0, 0);
  int ohneSchritt = t.verbindung(s, z, -1.0, 0);
  t.fertig();
  t.z(z).lernfaktor = 0.4;
  t.v().lernschritt[t.k(mitSchritt)] = 0.5;
  t.v().maximalgewicht[t.k(mitSchritt)] = 0.0;
  ankunftslernen(t.sim.netz, t.k(mitSchritt), t.z(z));
  EXPECT_DOUBLE_EQ(t.v().gewicht[t.k(mitSchritt)], -0.8);
  // Without a learning step only the cap moves an inhibitory weight: down to a
  // lower maximalgewicht, or back after gewichtsfaktor raised it above it.
  std::size_t k = t.k(ohneSchritt);
  t.v().maximalgewicht[k] = -3.0;
  ankunftslernen(t.sim.netz, k, t.z(z));
  EXPECT_EQ(t.v().gewicht[k], -3.0);
  t.v().gewicht[k] = -1.0;
  t.v().maximalgewicht[k] = -1.0;
  t.v().gewichtsfaktor.setzen(k, 0.5);
  Protokollanzeige anzeige;
  feuern(t.sim, anzeige);
  EXPECT_EQ(t.v().gewicht[k], -0.5);
  ankunftslernen(t.sim.netz, k, t.z(z));
  EXPECT_EQ(t.v().gewicht[k], -1.0);
}

}  // namespace
}  // namespace velkor
