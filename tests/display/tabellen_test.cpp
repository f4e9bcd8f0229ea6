// The numeric table, the firing-cells table, the row cursor and the trace
// log "logfile.txt", byte for byte.

#include <gtest/gtest.h>

#include <limits>

#include "display/nullcanvas.h"
#include "display/primitive.h"
#include "hilfen.h"

namespace velkor {
namespace {

using test::Aufbau;
using test::zelle;

std::vector<TZelle> abc() { return {zelle("A", 1, 1), zelle("B", 2, 1), zelle("C", 3, 1)}; }

std::string logInhalt() { return test::dateiInhalt("logfile.txt"); }

// The texts of a row as the table must draw them: the picture of each text
// alone on white at its position.
QImage erwartet(const std::vector<std::pair<QPoint, std::string>>& texte) {
  QImageCanvas c(1032, 768);
  c.schrifthoehe(14);
  c.schriftfett(true);
  for (const auto& [p, s] : texte) c.textOut(p.x(), p.y(), s);
  return c.bild();
}

TEST(NumerischTest, EintraegeBei56Plus35kUndKopfDarunter) {
  Aufbau a;
  test::netzBauen(a.sim.netz, {zelle("A", 1, 1), zelle("B", 2, 1), zelle("C", 3, 1), zelle("D", 4, 1)});
  auto& z = a.sim.netz.Zelltabelle;
  z[0].potenzial = 5.9;
  z[1].potenzial = -0.7;  // four blanks and 0
  test::feuernd(z[2]);
  test::refraktaer(z[3]);
  a.schritt();
  // From program start the first row is R = 20: texts at y = 21, rule at 40, names at 41.
  const QImage soll = erwartet({{{0, 21}, "     0"},
                                {{56, 21}, "    5"},
                                {{91, 21}, "    0"},
                                {{126, 21}, " f*f*f  "},
                                {{161, 21}, "  ***"},
                                {{61, 41}, "A"},
                                {{96, 41}, "B"},
                                {{131, 41}, "C"},
                                {{166, 41}, "D"}});
  EXPECT_TRUE(test::gleich(a.bild(), soll, 0, 19, 1032, 40));
  EXPECT_TRUE(test::gleich(a.bild(), soll, 0, 41, 1032, 55));
  EXPECT_EQ(test::zaehlen(a.bild(), 0, 40, 1032, 41, farben::schwarz), 1022);
  EXPECT_EQ(a.zustand.schreibspalte, 51 + 4 * 35);
  EXPECT_EQ(a.zustand.laufendeNummer, 4);
}

TEST(NumerischTest, ZeilenUmbruchBeiHMinus131) {
  // H = 600: rows 21, 42, ..., 462 (22 rows), then 21 again.
  Aufbau a(1032, 600);
  test::netzBauen(a.sim.netz, abc());
  std::vector<int32_t> zeilen;
  for (int s = 0; s < 23; ++s) {
    a.schritt();
    zeilen.push_back(a.zustand.schreibzeile);
  }
  for (int i = 0; i < 22; ++i) EXPECT_EQ(zeilen[static_cast<std::size_t>(i)], 21 * (i + 1));
  EXPECT_EQ(zeilen[22], 21);
  // After a Neustart (schreibzeile 20) the first row is at 41.
  Aufbau n;
  test::netzBauen(n.sim.netz, abc());
  n.zustand.schreibzeile = 20;
  n.schritt();
  EXPECT_EQ(n.zustand.schreibzeile, 41);
}

TEST(NumerischTest, ZeitrafferSchreibtInDieOffeneZeileAbX6) {
  Aufbau a;
  a.sim.param.zeitraffer = 1;
  test::netzBauen(a.sim.netz, {zelle("A", 1, 1)});
  a.sim.netz.Zelltabelle[0].potenzial = 7.0;
  a.schritt();
  EXPECT_EQ(a.zustand.schreibzeile, 21);
  a.sim.netz.Zelltabelle[0].potenzial = 8.0;
  a.schritt();  // opens no row: no header, no time step, the value at x = 6
  EXPECT_EQ(a.zustand.schreibzeile, 21);
  QImageCanvas c(1032, 768);
  c.schriftfett(true);
  c.textOut(0, 21, "     0");
  c.textOut(56, 21, "    7");
  c.textOut(6, 21, "    8");
  EXPECT_TRUE(test::gleich(a.bild(), c.bild(), 0, 21, 1032, 35));
  a.schritt();
  EXPECT_EQ(a.zustand.schreibzeile, 42);
}

TEST(ZeilenTest, NegativerZeitrafferBereitetJedenSchrittDieselbeZeileVor) {
  // The row never advances again: every step prepares the row opened first,
  // in the oscilloscope and in the numeric table alike.
  Aufbau o;
  o.ansicht.ansichtOsziOhneEpsps = true;
  o.zustand.schreibzeile = 20;
  o.sim.param.zeitraffer = -2;
  test::netzBauen(o.sim.netz, {zelle("A", 1, 1)});
  for (int s = 0; s < 3; ++s) o.schritt();
  EXPECT_EQ(o.zustand.schreibzeile, 21);
  EXPECT_EQ(o.zustand.rafferrest, -2);

  Aufbau a;
  a.sim.param.zeitraffer = -2;
  test::netzBauen(a.sim.netz, {zelle("A", 1, 1)});
  for (int s = 0; s < 700; ++s) a.schritt();
  EXPECT_EQ(a.zustand.schreibzeile, 21);
  EXPECT_EQ(a.zustand.schreibspalte, 51 + 35);
  // The row shows the latest step with its rule and header below, nothing else.
  const QImage soll = erwartet({{{0, 21}, "   699"}, {{56, 21}, "    0"}, {{61, 41}, "A"}});
  EXPECT_TRUE(test::gleich(a.bild(), soll, 0, 19, 1032, 40));
  EXPECT_TRUE(test::gleich(a.bild(), soll, 0, 41, 1032, 768 - 80));  // down to the counter

  // After a Neustart (schreibzeile 20, the rest still negative) the row is
  // the first one again; the Statusleiste above its band (R - 2 = 18) stays.
  a.anzeige.statusleiste();
  a.zustand.schreibzeile = 20;
  a.schritt();
  EXPECT_EQ(a.zustand.schreibzeile, 21);
  EXPECT_EQ(test::zaehlen(a.bild(), 0, 0, 1032, 18, farben::gruen), 1032 * 18);
}

TEST(ZeilenTest, NachNegativemZeitrafferLaufenDieZeilenWiederMitNullOderMehr) {
  // A rest left negative by an earlier negative zeitraffer does not stop the
  // rows for good once zeitraffer is 0 or more again.
  for (bool oszi : {false, true}) {
    Aufbau a;
    a.ansicht.ansichtOsziOhneEpsps = oszi;
    a.zustand.schreibzeile = 20;
    a.zustand.rafferrest = -1;
    a.sim.param.zeitraffer = 1;
    test::netzBauen(a.sim.netz, {zelle("A", 1, 1)});
    a.schritt();
    EXPECT_EQ(a.zustand.schreibzeile, oszi ? 21 : 41) << oszi;
    EXPECT_EQ(a.zustand.rafferrest, 1);
    a.schritt();
    a.schritt();
    EXPECT_EQ(a.zustand.schreibzeile, oszi ? 22 : 62);
  }
}

TEST(NumerischTest, RiesigeUndUngueltigePotenziale) {
  Aufbau a;
  test::ArbeitsVerzeichnis dir;
  test::netzBauen(a.sim.netz, {zelle("A", 1, 1), zelle("B", 1, 1), zelle("C", 1, 1), zelle("D", 1, 1)});
  auto& z = a.sim.netz.Zelltabelle;
  z[0].potenzial = 123456.0;
  z[1].potenzial = 1e300;
  z[2].potenzial = -std::numeric_limits<double>::infinity();
  z[3].potenzial = std::numeric_limits<double>::quiet_NaN();
  std::string fehler;
  ASSERT_TRUE(a.anzeige.logstart(fehler));
  a.schritt();
  a.anzeige.logende();
  EXPECT_EQ(logInhalt(), "\r\n           A    B    C    D\r\n     0 1234562147483647-2147483648    0");
}

TEST(FeuerndTest, ZeileMitKopfUndProtokoll) {
  Aufbau a;
  test::ArbeitsVerzeichnis dir;
  a.ansicht.ansichtFeuernd = true;
  test::netzBauen(a.sim.netz, {zelle("Z0", 1, 1, 10.0, 0), zelle("Z1", 1, 1)});
  a.sim.netz.Zelltabelle[0].refraktaerrest = 3;  // refraktaerzeit 0: never listed
  test::feuernd(a.sim.netz.Zelltabelle[1]);
  a.sim.zeittakt = 7;
  std::string fehler;
  ASSERT_TRUE(a.anzeige.logstart(fehler));
  a.anzeige.zeilenvorschub();
  a.anzeige.anzeigen();
  EXPECT_EQ(a.zustand.schreibzeile, 21);
  const QImage soll =
      erwartet({{{75, 21}, "    7            Z1"}, {{0, 41}, "                 Zeittakt       feuernde Zelle"}});
  EXPECT_TRUE(test::gleich(a.bild(), soll, 0, 19, 1032, 40));
  EXPECT_TRUE(test::gleich(a.bild(), soll, 0, 41, 1032, 55));
  EXPECT_EQ(logInhalt(), "       Zeittakt   feuernde Zelle\r\n             7    Z1\r\n");
  // Steps without firing leave the table and the log as they are.
  test::refraktaer(a.sim.netz.Zelltabelle[1]);
  const QImage vorher = a.bild();
  a.anzeige.zeilenvorschub();
  a.anzeige.anzeigen();
  EXPECT_EQ(a.bild(), vorher);
  EXPECT_EQ(a.zustand.schreibzeile, 21);
  // The whole log of 45 firings: the header before the 1st, 21st and 41st line.
  std::string erwartetLog = "       Zeittakt   feuernde Zelle\r\n             7    Z1\r\n";
  for (int s = 1; s < 45; ++s) {
    test::feuernd(a.sim.netz.Zelltabelle[1]);
    a.sim.zeittakt = 7 + s;
    a.anzeige.zeilenvorschub();
    a.anzeige.anzeigen();
    if (s % 20 == 0) erwartetLog += "       Zeittakt   feuernde Zelle\r\n";
    erwartetLog += "         " + rechtsbuendig(int64_t{7 + s}, 5) + "    Z1\r\n";
  }
  EXPECT_EQ(logInhalt(), erwartetLog);
}

TEST(FeuerndTest, ZweiFeuerndeZellenEinundzwanzigPixelAuseinander) {
  Aufbau a;
  a.ansicht.ansichtFeuernd = true;
  test::netzBauen(a.sim.netz, {zelle("A", 1, 1), zelle("B", 1, 1)});
  test::feuernd(a.sim.netz.Zelltabelle[0]);
  test::feuernd(a.sim.netz.Zelltabelle[1]);
  a.sim.zeittakt = 3;
  a.schritt();
  EXPECT_EQ(a.zustand.schreibzeile, 42);
  const QImage soll = erwartet({{{75, 21}, "    3            A"},
                                {{75, 42}, "    3            B"},
                                {{0, 62}, "                 Zeittakt       feuernde Zelle"}});
  EXPECT_TRUE(test::gleich(a.bild(), soll, 0, 19, 1032, 61));
  EXPECT_TRUE(test::gleich(a.bild(), soll, 0, 62, 1032, 76));
  EXPECT_EQ(test::zaehlen(a.bild(), 0, 61, 1032, 62, farben::schwarz), 1022);  // the rule
}

TEST(ProtokollTest, ErsterSchrittMitDreiZellen) {
  Aufbau a;
  test::ArbeitsVerzeichnis dir;
  test::netzBauen(a.sim.netz, abc());
  std::string fehler;
  ASSERT_TRUE(a.anzeige.logstart(fehler));
  EXPECT_TRUE(a.sim.lauf.logOffen);
  EXPECT_TRUE(a.sim.lauf.logAktiv);
  a.schritt();
  // flushed: the file is current before it is closed
  EXPECT_EQ(logInhalt(), "\r\n           A    B    C\r\n     0     0    0    0");
  a.schritt();
  a.anzeige.logende();
  EXPECT_FALSE(a.sim.lauf.logOffen);
  EXPECT_FALSE(a.sim.lauf.logAktiv);
  EXPECT_EQ(logInhalt(), "\r\n           A    B    C\r\n     0     0    0    0\r\n     1     0    0    0");
  a.schritt();  // nothing more after the end
  EXPECT_EQ(logInhalt().size(), 72u);
  EXPECT_TRUE(a.anzeige.logFehlerfrei());
}

TEST(ProtokollTest, KopfVorDenDatenzeilen1_21_41UndZustaendeImLog) {
  Aufbau a;
  test::ArbeitsVerzeichnis dir;
  test::netzBauen(a.sim.netz, {zelle("A", 1, 1), zelle("B", 1, 1)});
  std::string fehler;
  ASSERT_TRUE(a.anzeige.logstart(fehler));
  for (int s = 0; s < 45; ++s) {
    a.sim.netz.Zelltabelle[0].refraktaerrest = s == 3 ? 3 : s == 4 ? 2 : 0;
    a.schritt();
  }
  a.anzeige.logende();
  const std::string kopf = "           A    B";
  std::string erwartetLog;
  for (int s = 0; s < 45; ++s) {
    erwartetLog += "\r\n";
    if (s % 20 == 0) erwartetLog += kopf + "\r\n";
    const std::string a0 = s == 3 ? "  fff" : s == 4 ? "  ***" : "    0";
    erwartetLog += rechtsbuendig(int64_t{s}, 6) + " " + a0 + "    0";
  }
  EXPECT_EQ(logInhalt(), erwartetLog);
}

TEST(ProtokollTest, ZeitrafferSchreibtNurZeilenendeUndEintraege) {
  Aufbau a;
  test::ArbeitsVerzeichnis dir;
  a.sim.param.zeitraffer = 1;
  test::netzBauen(a.sim.netz, {zelle("A", 1, 1)});
  std::string fehler;
  ASSERT_TRUE(a.anzeige.logstart(fehler));
  for (int s = 0; s < 3; ++s) a.schritt();
  EXPECT_EQ(a.zustand.protokollzeilen, 2);
  EXPECT_EQ(logInhalt(), "\r\n           A\r\n     0     0\r\n    0\r\n     2     0");
}

TEST(ProtokollTest, SechsZeichenNameVerbreitertSeineSpalte) {
  Aufbau a;
  test::ArbeitsVerzeichnis dir;
  test::netzBauen(a.sim.netz, {zelle("ABCDEF", 1, 1), zelle("B", 1, 1)});
  std::string fehler;
  ASSERT_TRUE(a.anzeige.logstart(fehler));
  a.schritt();
  EXPECT_EQ(logInhalt(), "\r\n       ABCDEF    B\r\n     0     0    0");
}

TEST(ProtokollTest, AnsichtswechselMischtDieFormate) {
  Aufbau a;
  test::ArbeitsVerzeichnis dir;
  test::netzBauen(a.sim.netz, {zelle("A", 1, 1), zelle("B", 1, 1)});
  std::string fehler;
  ASSERT_TRUE(a.anzeige.logstart(fehler));
  a.schritt();
  a.anzeige.feuerndeZellen1Click();
  test::feuernd(a.sim.netz.Zelltabelle[1]);
  a.schritt();
  a.anzeige.numerisch();
  a.sim.netz.Zelltabelle[1].refraktaerrest = 0;
  a.schritt();
  a.anzeige.logende();
  EXPECT_EQ(logInhalt(),
            "\r\n           A    B\r\n     0     0    0"
            "             1    B\r\n"
            "\r\n     2     0    0");
}

TEST(ProtokollTest, NullCanvasSchreibtDasselbeProtokoll) {
  // Numeric table, firing-cells table and back, with all three cell states.
  auto lauf = [](Canvas& canvas) {
    test::ArbeitsVerzeichnis dir;
    Simulation sim;
    Ansichtsflags ansicht;
    Anzeigezustand zustand;
    Anzeige anzeige(sim, ansicht, zustand, canvas);
    test::netzBauen(sim.netz, {zelle("A", 1, 1, 10.0, 2), zelle("BB", 2, 1, 10.0, 1), zelle("C", 3, 1)});
    std::string fehler;
    EXPECT_TRUE(anzeige.logstart(fehler));
    for (int s = 0; s < 30; ++s) {
      if (s == 10) anzeige.feuerndeZellen1Click();
      if (s == 20) anzeige.numerisch();
      auto& z = sim.netz.Zelltabelle;
      z[0].refraktaerrest = s % 3 == 0 ? 2 : s % 3 == 1 ? 1 : 0;
      z[1].refraktaerrest = s % 4 == 0 ? 1 : 0;
      z[2].potenzial = s * 1.5 - 7.0;
      anzeige.zeilenvorschub();
      anzeige.anzeigen();
      anzeige.taktanzeige();
      ++sim.zeittakt;
    }
    anzeige.logende();
    return logInhalt();
  };
  QImageCanvas bild(1032, 768);
  NullCanvas leer;
  const std::string mitBild = lauf(bild);
  EXPECT_GT(mitBild.size(), 500u);
  EXPECT_EQ(lauf(leer), mitBild);
}

TEST(ProtokollTest, NeustartDesProtokollsLegtDieDateiNeuAn) {
  Aufbau a;
  test::ArbeitsVerzeichnis dir;
  test::netzBauen(a.sim.netz, {zelle("A", 1, 1)});
  std::string fehler;
  ASSERT_TRUE(a.anzeige.logstart(fehler));
  a.schritt();
  ASSERT_TRUE(a.anzeige.logstart(fehler));
  EXPECT_EQ(logInhalt(), "");
  EXPECT_EQ(a.zustand.protokollzeilen, 20);
}

TEST(ProtokollTest, NichtAnlegbaresProtokollMeldetDenGrund) {
  Aufbau a;
  test::ArbeitsVerzeichnis dir;
  std::filesystem::create_directory("logfile.txt");  // a directory of that name
  std::string fehler;
  EXPECT_FALSE(a.anzeige.logstart(fehler));
  EXPECT_NE(fehler.find("logfile.txt"), std::string::npos);
  EXPECT_FALSE(a.sim.lauf.logOffen);
  test::netzBauen(a.sim.netz, {zelle("A", 1, 1)});
  a.schritt();  // no crash, nothing written
}

TEST(ProtokollTest, SchreibfehlerWirdGemerktNichtFatal) {
  if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  Aufbau a;
  test::ArbeitsVerzeichnis dir;
  std::filesystem::create_symlink("/dev/full", "logfile.txt");
  test::netzBauen(a.sim.netz, {zelle("A", 1, 1)});
  std::string fehler;
  ASSERT_TRUE(a.anzeige.logstart(fehler));
  a.schritt();
  a.schritt();
  std::string grund;
  EXPECT_FALSE(a.anzeige.logFehlerfrei(&grund));
  EXPECT_NE(grund.find("logfile.txt"), std::string::npos);
  a.anzeige.logende();
}

TEST(HinweisTest, StatusleisteUndNotizen) {
  Aufbau a;
  a.anzeige.statusleiste();
  EXPECT_EQ(test::zaehlen(a.bild(), 0, 0, 1032, 19, farben::gruen), 1032 * 19);
  EXPECT_EQ(test::zaehlen(a.bild(), 0, 19, 1032, 20, farben::gruen), 0);
  a.anzeige.hinweis(80, "Einzelne Zyklen mit Leertaste starten");
  EXPECT_GT(test::zaehlen(a.bild(), 80, 3, 400, 17, farben::weiss), 100);
  EXPECT_EQ(test::zaehlen(a.bild(), 0, 0, 1032, 19, farben::schwarz), 0);
  a.anzeige.hinweisLoeschen(80, "Einzelne Zyklen mit Leertaste starten");
  EXPECT_EQ(test::zaehlen(a.bild(), 0, 0, 1032, 19, farben::gruen), 1032 * 19);
  a.anzeige.roterHinweis(57, "keine Netzdatei geöffnet");
  EXPECT_GT(test::zaehlen(a.bild(), 57, 3, 300, 17, farben::rot), 50);
  a.anzeige.netzfehlerHinweis();
  const QImage soll = erwartet({{{300, 300}, std::string(68, '*')},
                                {{300, 320}, "Netzfehler:"},
                                {{300, 340}, "Simulation abgebrochen,"},
                                {{300, 360}, "Details siehe Protokolldatei"},
                                {{300, 380}, std::string(68, '*')}});
  EXPECT_TRUE(test::gleich(a.bild(), soll, 0, 290, 1032, 400));
}

TEST(HinweisTest, TaktanzeigeUndAnsichtswechselLeertDasBild) {
  Aufbau a;
  test::netzBauen(a.sim.netz, {zelle("A", 1, 1)});
  a.sim.zeittakt = 12;
  a.anzeige.taktanzeige();
  EXPECT_EQ(a.zustand.taktzeile, 688);
  EXPECT_TRUE(test::gleich(a.bild(), erwartet({{{1, 688}, "12"}}), 0, 680, 100, 705));
  // After a redraw at a new height the old counter is painted over in white.
  a.zustand.H = 700;
  a.zustand.neugezeichnet = true;
  a.anzeige.taktanzeige();
  EXPECT_FALSE(a.zustand.neugezeichnet);
  EXPECT_EQ(test::zaehlen(a.bild(), 0, 680, 100, 705, farben::schwarz), 0);
  a.anzeige.mitEPSpS1Click();
  EXPECT_TRUE(a.ansicht.ansichtOsziMitEpsps);
  EXPECT_FALSE(a.ansicht.numerisch());
  EXPECT_EQ(test::zaehlen(a.bild(), 1, 19, 1032, 640, farben::weiss), 1031 * 621);
}

}  // namespace
}  // namespace velkor
