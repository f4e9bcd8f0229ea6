// The input file: entries, stop marks, the end mark and the end of the input.

#include "engine/eingabe.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/engine/testnetz.h"

namespace velkor {
namespace {

using test::Protokollanzeige;
using test::Testnetz;
using test::Testverzeichnis;

// Runs the input phase for steps 0..n-1 over a net of the given cells and
// describes each step: the cells that got input, "*" when anhalten was set,
// "E" when eingabeEnde is set.
class Eingabelauf {
 public:
  explicit Eingabelauf(const std::vector<std::string>& namen = {"A", "B", "C"}) {
    for (const std::string& n : namen) t.zelle(n, 1.0, 0);
    t.fertig();
  }

  bool starten(const std::string& inhalt) {
    std::string datei = verzeichnis.datei("test.ein", inhalt);
    std::string fehler;
    return t.sim.eingabe.eingabestart(datei, fehler);
  }

  std::vector<std::string> schritte(int32_t n) {
    std::vector<std::string> ergebnis;
    for (int32_t takt = 0; takt < n; ++takt) {
      for (TZelle& z : t.sim.netz.Zelltabelle) z.potenzial = 0.0;
      t.sim.lauf.anhalten = false;
      t.sim.eingabe.eingabelesen(t.sim.netz, takt, t.sim.lauf, anzeige);
      std::string s;
      for (const TZelle& z : t.sim.netz.Zelltabelle) {
        if (z.potenzial == z.schwelle + 10) s += z.name + " ";
      }
      if (t.sim.lauf.anhalten) s += "*";
      if (t.sim.lauf.eingabeEnde) s += "E";
      ergebnis.push_back(s);
    }
    return ergebnis;
  }

  Testverzeichnis verzeichnis;
  Testnetz t;
  Protokollanzeige anzeige;
};

using Schritte = std::vector<std::string>;

TEST(Eingabe, MehrereEintraegeJeZeileWieEinerJeZeile) {
  const Schritte erwartet = {"", "", "", "A B ", "", "C *E", "*E"};
  for (const char* inhalt : {"A 3 B 3 C 5\n\n", "A 3\nB 3\nC 5\n\n", "A 3  B 3\n  Kommentar\nC 5\n \n"}) {
    Eingabelauf l;
    ASSERT_TRUE(l.starten(inhalt));
    EXPECT_EQ(l.schritte(7), erwartet) << inhalt;
  }
}

TEST(Eingabe, LetzteZeileRegel) {
  // Entries read ahead from the file's last line end the input once applied.
  for (const char* inhalt : {"A 5 B 6\n", "A 5 B 6"}) {
    Eingabelauf l;
    ASSERT_TRUE(l.starten(inhalt));
    EXPECT_EQ(l.schritte(8), (Schritte{"", "", "", "", "", "A *E", "*E", "*E"})) << inhalt;
  }
  Eingabelauf l;
  ASSERT_TRUE(l.starten("A 5 B 6\n\n"));
  EXPECT_EQ(l.schritte(8), (Schritte{"", "", "", "", "", "A ", "B *E", "*E"}));
}

TEST(Eingabe, StopmarkeHaeltAnOhneDieEingabeZuBeenden) {
  Eingabelauf l;
  ASSERT_TRUE(l.starten("A 1\n*** 2\nB 4 *** 4\n*** 6\nC 7\n\n"));
  EXPECT_EQ(l.schritte(9), (Schritte{"", "A ", "*", "", "B *", "", "*", "C *E", "*E"}));
  EXPECT_EQ(l.anzeige.eingabeHinweise, 5);
}

TEST(Eingabe, EndmarkePunkt) {
  struct Fall {
    const char* inhalt;
    Schritte erwartet;
  };
  const Fall faelle[] = {
      {"A 1 .\nB 2\n\n", {"", "A *E", "*E"}},      // "." behind the step
      {"A 1 .xyz B 2\n\n", {"", "A *E", "*E"}},    // a word beginning with "." behind the step
      {"A 1\n.\nB 2\n\n", {"", "A *E", "*E"}},     // "." as the next entry's word
      {"A 1   .  \nB 2\n\n", {"", "A *E", "*E"}},  // taken as the next word
      {"A 1 B. 2\n\n", {"", "A ", "*E"}},          // "B." is a name; no such cell
      {". 0\nA 1\n\n", {". ", "A *E", "*E"}},      // the very first word is a name
  };
  for (const Fall& f : faelle) {
    Eingabelauf l({"A", "B", "."});
    ASSERT_TRUE(l.starten(f.inhalt));
    EXPECT_EQ(l.schritte(3), f.erwartet) << f.inhalt;
  }
}

TEST(Eingabe, KleinererTaktBeendetDieEingabe) {
  Eingabelauf l;
  ASSERT_TRUE(l.starten("A 5\nB 4\n\n"));
  EXPECT_EQ(l.schritte(8), (Schritte{"", "", "", "", "", "A ", "*E", "*E"}));
}

TEST(Eingabe, TaktDesErstenEintragsAufDerNaechstenZeile) {
  Eingabelauf erst;
  ASSERT_TRUE(erst.starten("\n  Kommentar\nA\n2 B 3\nC 4\n\n"));
  EXPECT_EQ(erst.schritte(6), (Schritte{"", "", "A ", "B ", "C *E", "*E"}));
  // Later an entry without its step on the line has step -1 and ends the input.
  Eingabelauf spaeter;
  ASSERT_TRUE(spaeter.starten("A 1\nB\n3\n\n"));
  EXPECT_EQ(spaeter.schritte(4), (Schritte{"", "A ", "*E", "*E"}));
}

TEST(Eingabe, NurKommentareOderLeereDatei) {
  for (const char* inhalt : {"", "\n", "  nur Kommentar\n\n   \n"}) {
    Eingabelauf l;
    ASSERT_TRUE(l.starten(inhalt));
    EXPECT_EQ(l.schritte(2), (Schritte{"*E", "*E"})) << inhalt;
    EXPECT_EQ(l.anzeige.eingabeHinweise, 2);
  }
}

TEST(Eingabe, NamenUnbekanntGekuerztUndVierSterne) {
  Eingabelauf l({"A", "ABCDEF", "****", "a"});
  ASSERT_TRUE(l.starten("X 0 A 0 ABCDEFGH 1 **** 2 a 3\n\n"));
  EXPECT_EQ(l.schritte(5), (Schritte{"A ", "ABCDEF ", "**** ", "a *E", "*E"}));
  // The first cell of a name wins.
  Eingabelauf doppelt({"A", "A"});
  ASSERT_TRUE(doppelt.starten("A 0\n\n"));
  doppelt.schritte(1);
  EXPECT_EQ(doppelt.t.z(0).potenzial, 11.0);
  EXPECT_EQ(doppelt.t.z(1).potenzial, 0.0);
}

TEST(Eingabe, PotenzialWirdErsetztAuchWennRefraktaer) {
  Eingabelauf l;
  l.t.z(0).schwelle = 4.0;
  l.t.z(0).refraktaerrest = 2;
  ASSERT_TRUE(l.starten("A 0\n\n"));
  l.t.z(0).potenzial = 100.0;
  l.t.sim.eingabe.eingabelesen(l.t.sim.netz, 0, l.t.sim.lauf, l.anzeige);
  EXPECT_EQ(l.t.z(0).potenzial, 14.0);
}

TEST(Eingabe, ZeilenendenUndLangeZeilen) {
  // CR LF line ends; the part of a line beyond 250 characters is ignored.
  Eingabelauf crlf;
  ASSERT_TRUE(crlf.starten("A 1\r\nB 2\r\n\r\n"));
  EXPECT_EQ(crlf.schritte(3), (Schritte{"", "A ", "B *E"}));

  // The step of the first entry on the next line, which is cut after "B ":
  // without the cut B would get step 3, with it B has no step and ends the input.
  std::string lang = "A\n2" + std::string(247, ' ') + "B 3\n\n";
  Eingabelauf l;
  ASSERT_TRUE(l.starten(lang));
  EXPECT_EQ(l.schritte(4), (Schritte{"", "", "A ", "*E"}));
}

TEST(Eingabe, GrosseDateiUeberPuffergrenzen) {
  // Lines of varying length cross the read buffer's boundaries.
  std::string inhalt;
  const int32_t n = 30000;
  for (int32_t i = 0; i < n; ++i) {
    inhalt += (i % 2 == 0 ? "A " : "B ") + std::to_string(i);
    inhalt += (i % 7 == 0) ? "\n  Kommentar " + std::string(static_cast<std::size_t>(i % 300), 'x') + "\n" : "\n";
  }
  inhalt += "\n";
  Eingabelauf l;
  ASSERT_TRUE(l.starten(inhalt));
  Schritte s = l.schritte(n + 1);
  int falsch = 0;
  for (int32_t i = 0; i < n; ++i) {
    std::string erwartet = i % 2 == 0 ? "A " : "B ";
    if (i == n - 1) erwartet += "*E";
    if (s[static_cast<std::size_t>(i)] != erwartet) ++falsch;
  }
  EXPECT_EQ(falsch, 0);
  EXPECT_EQ(s.back(), "*E");
}

TEST(Eingabe, FehlendeDateiNenntDenNamen) {
  Testverzeichnis v;
  Eingabe e;
  std::string fehler;
  std::string name = (v.pfad() / "fehlt.ein").string();
  EXPECT_FALSE(e.eingabestart(name, fehler));
  EXPECT_NE(fehler.find(name), std::string::npos);
  EXPECT_FALSE(e.offen());
}

TEST(Eingabe, UngeoeffneteEingabeEndetSofort) {
  Testnetz t;
  t.fertig();
  Protokollanzeige anzeige;
  t.sim.eingabe.eingabelesen(t.sim.netz, 0, t.sim.lauf, anzeige);
  EXPECT_TRUE(t.sim.lauf.eingabeEnde);
  EXPECT_TRUE(t.sim.lauf.anhalten);
}

}  // namespace
}  // namespace velkor
