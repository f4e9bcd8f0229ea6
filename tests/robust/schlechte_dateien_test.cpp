// Files that are not what they claim, for the net file and the input file:
// each gets the format's own behaviour where it has one, else a message that
// names the file; none crashes or leaves a partly built net in use.

#include <sys/stat.h>
#include <unistd.h>

#include "tests/robust/robust.h"

namespace velkor::robust {
namespace {

using Schritte = std::vector<std::string>;
const std::string bom = "\xEF\xBB\xBF";

// --- net files ---------------------------------------------------------------

TEST(SchlechteNetzdatei, BinaerdateiIstDerFormatfehlerDerErstenZeile) {
  std::string binaer =
      "\x7f"
      "ELF\x02\x01\x01";
  for (int i = 0; i < 2000; ++i) binaer += static_cast<char>((i * 37) & 0xff);
  const Geladen g = ladenText(binaer);
  EXPECT_EQ(g.ergebnis.status, Ladestatus::formatfehler);
  EXPECT_EQ(g.ergebnis.meldung, formatfehlerText);
  EXPECT_EQ(g.protokoll, "");
}

TEST(SchlechteNetzdatei, LeereUndNurKommentarGebenEinLeeresNetz) {
  for (const std::string text : {"", "\n\n\n", " Kommentar\n{ noch einer\n\n   \n", "{ ohne Zeilenende"}) {
    const Geladen g = ladenText(text);
    EXPECT_EQ(g.ergebnis.status, Ladestatus::ok) << text;
    EXPECT_FALSE(g.ergebnis.netzfehler) << text;
    EXPECT_EQ(g.netz.zellenzahl, 0) << text;
    EXPECT_EQ(g.netz.verbindungen.size(), 0u) << text;
  }
}

TEST(SchlechteNetzdatei, ZeilenVon100000ZeichenWerdenNach250Abgeschnitten) {
  // The rest of a long line is ignored: it can neither define cells nor
  // continue into the next line.
  const std::string lang(100000, 'B');
  const Geladen g = ladenText("z " + lang + " 1 2\ns 1.5" + std::string(99990, '7') + "\nc " + lang + "\n{" +
                              std::string(100000, 'Z') + "\nz B 2 2\nc B 0.5 1" + std::string(100000, ' ') + "9\n");
  ASSERT_EQ(g.ergebnis.status, Ladestatus::ok);
  ASSERT_EQ(g.netz.zellenzahl, 2);
  EXPECT_EQ(g.netz.Zelltabelle[0].name, "BBBBBB");
  EXPECT_EQ(g.netz.Zelltabelle[0].zeile, -1);  // the positions lay beyond the 250 characters
  // "c BBBB..." names no cell (a target word of 10 bytes); the protocol
  // echoes the line as read, 250 characters.
  EXPECT_EQ(g.protokoll, ">c " + std::string(248, 'B') + "\n****Zelle fehlt****\n");
  EXPECT_EQ(g.netz.verbindungen.verzoegerung.back(), 1);  // the 9 far behind is not read
}

TEST(SchlechteNetzdatei, LetzteZeileOhneZeilenendeCrLfUndBomLesenSichWieEineSaubereDatei) {
  const std::string sauber = "$ 2\nz A 1 1\nc 1 0.5 1\nz B 1 5\ns 2\n";
  std::string crlf;
  for (char c : sauber) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
  const std::string ohneEnde = sauber.substr(0, sauber.size() - 1);
  for (const std::string& text : {sauber, crlf, ohneEnde, bom + sauber, bom + crlf}) {
    const Geladen g = ladenText(text);
    ASSERT_EQ(g.ergebnis.status, Ladestatus::ok);
    EXPECT_TRUE(g.netz.nummernformat);
    ASSERT_EQ(g.netz.zellenzahl, 2);
    EXPECT_EQ(g.netz.Zelltabelle[1].name, "B");
    EXPECT_EQ(g.netz.Zelltabelle[1].schwelle, 2.0);
    ASSERT_EQ(g.netz.verbindungen.size(), 1u);
    EXPECT_EQ(g.netz.verbindungen.ziel[0], 1);
    EXPECT_EQ(g.protokoll, "");
  }
}

TEST(SchlechteNetzdatei, BomNurAmDateianfangUndNurVollstaendig) {
  // Inside the file, or cut short, the bytes are characters like any other.
  EXPECT_EQ(ladenText("z A\n" + bom + "z B\n").ergebnis.status, Ladestatus::formatfehler);
  EXPECT_EQ(ladenText("\xEF\xBBz A\n").ergebnis.status, Ladestatus::formatfehler);
}

TEST(SchlechteNetzdatei, NulBytesSindZeichenWieAndere) {
  // At position 1 a NUL byte is a bad first character; inside a name it is
  // part of the name.
  EXPECT_EQ(ladenText(std::string("z A\n\0z B\n", 9)).ergebnis.status, Ladestatus::formatfehler);
  const Geladen g = ladenText(std::string("z A\0B 1 1\nc A\0B 1 1\n", 20));
  ASSERT_EQ(g.ergebnis.status, Ladestatus::ok);
  EXPECT_EQ(g.netz.Zelltabelle[0].name, std::string("A\0B", 3));
  EXPECT_EQ(g.protokoll, "");
  EXPECT_EQ(g.netz.verbindungen.ziel[0], 0);
}

TEST(SchlechteNetzdatei, VerzeichnisFehlendeDateiUndKeinLeserechtMeldenDieDatei) {
  Batchumgebung u;
  const std::string verzeichnis = u.daten().string();
  const std::string fehlend = (u.daten() / "fehlt.net").string();
  for (const std::string& pfad : {verzeichnis, fehlend}) {
    const Geladen g = ladenAus(pfad);
    EXPECT_EQ(g.ergebnis.status, Ladestatus::dateifehler) << pfad;
    EXPECT_EQ(g.ergebnis.meldung.rfind(pfad + ": ", 0), 0u) << g.ergebnis.meldung;
  }
  EXPECT_EQ(ladenAus(verzeichnis).ergebnis.meldung, verzeichnis + ": Ist ein Verzeichnis");

  const std::string gesperrt = u.datei("gesperrt.net", "z A\n");
  ASSERT_EQ(::chmod(gesperrt.c_str(), 0), 0);
  if (::access(gesperrt.c_str(), R_OK) == 0) GTEST_SKIP() << "running with rights that read any file (root)";
  const Geladen g = ladenAus(gesperrt);
  EXPECT_EQ(g.ergebnis.status, Ladestatus::dateifehler);
  EXPECT_EQ(g.ergebnis.meldung, gesperrt + ": Keine Berechtigung");
}

TEST(SchlechteNetzdatei, EinFehlgeschlagenesLadenLaesstDasAlteNetzStehen) {
  Batchumgebung u;
  Netz netz;
  std::ostringstream protokoll;
  ASSERT_EQ(netzladen(u.datei("a.net", "z A\nz B\n"), 0, 0, netz, protokoll).status, Ladestatus::ok);
  EXPECT_EQ(netzladen(u.daten().string(), 0, 0, netz, protokoll).status, Ladestatus::dateifehler);
  ASSERT_EQ(netz.zellenzahl, 2);
  EXPECT_EQ(netz.Zelltabelle.size(), 2u);
  EXPECT_EQ(netz.Zelltabelle[1].name, "B");
}

// --- input files -------------------------------------------------------------

TEST(SchlechteEingabedatei, BinaerLeerUndNurKommentarEndenOhneAbsturz) {
  std::string binaer("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16);
  for (int i = 0; i < 3000; ++i) binaer += static_cast<char>((i * 131) & 0xff);
  // Its words are names of no cell and steps of whatever value their digits give.
  for (const std::string& schritt : eingabeLaufText(binaer, 50))
    EXPECT_EQ(schritt.find_first_of("ABC"), std::string::npos) << schritt;
  // No entry at all: the input ends in the first time step.
  for (const std::string text : {"", "\n\n", " Kommentar\n  noch einer\n", "   "})
    EXPECT_EQ(eingabeLaufText(text, 2), (Schritte{"*E", "*E"})) << text;
}

TEST(SchlechteEingabedatei, LangeZeilenLiest250Zeichen) {
  // The first entry stands in the first 250 characters; what follows beyond
  // them is lost, the next line is read as usual.
  const std::string text = "A 1" + std::string(100000, ' ') + "B 1\nC 2\n\n";
  EXPECT_EQ(eingabeLaufText(text, 4), (Schritte{"", "A ", "C *E", "*E"}));
  // A word of 100 000 characters is a name cut to 6 that matches no cell;
  // its step lies beyond the 250 characters, and the missing step ends the input.
  EXPECT_EQ(eingabeLaufText("A 0 " + std::string(100000, 'B') + " 1\nC 2\n\n", 3), (Schritte{"A ", "*E", "*E"}));
}

TEST(SchlechteEingabedatei, CrLfBomUndLetzteZeileOhneZeilenende) {
  EXPECT_EQ(eingabeLaufText("A 1\r\nB 2\r\n\r\n", 4), (Schritte{"", "A ", "B *E", "*E"}));
  EXPECT_EQ(eingabeLaufText(bom + "A 1\nB 2\n\n", 4), (Schritte{"", "A ", "B *E", "*E"}));
  EXPECT_EQ(eingabeLaufText(bom + "A 1\r\nB 2\r\n\r\n", 4), (Schritte{"", "A ", "B *E", "*E"}));
  // The last line without a line end is a line; its entry read ahead ends the input.
  EXPECT_EQ(eingabeLaufText("A 1\nB 2", 4), (Schritte{"", "A ", "B *E", "*E"}));
  EXPECT_EQ(eingabeLaufText("A 1\nB 2\r", 4), (Schritte{"", "A ", "B *E", "*E"}));
}

TEST(SchlechteEingabedatei, NulBytesGehoerenZumWort) {
  EXPECT_EQ(eingabeLaufText(std::string("A\0 1\nB 2\n\n", 10), 4), (Schritte{"", "", "B *E", "*E"}));
}

TEST(SchlechteEingabedatei, VerzeichnisUndFehlendeDateiWerdenAbgelehnt) {
  Batchumgebung u;
  Simulation sim;
  std::string fehler;
  sim.param.eingabedateiname = u.daten().string();
  EXPECT_FALSE(eingabeVorbereiten(sim, fehler));
  EXPECT_EQ(fehler, u.daten().string() + ": Ist ein Verzeichnis");
  EXPECT_FALSE(sim.lauf.gestartet);
  EXPECT_FALSE(sim.eingabe.offen());

  fehler.clear();
  sim.param.eingabedateiname = (u.daten() / "fehlt.ein").string();
  EXPECT_FALSE(eingabeVorbereiten(sim, fehler));
  EXPECT_NE(fehler.find("fehlt.ein"), std::string::npos) << fehler;
  EXPECT_FALSE(sim.lauf.gestartet);
}

// --- the batch runner: stderr and status 4, nothing run ----------------------

TEST(SchlechteDateienImLaeufer, NichtLesbareDateienGebenStatus4UndDenDateinamen) {
  Batchumgebung u;
  const std::string netz = u.datei("netz.net", abcNetz);
  const std::string eingabe = u.datei("e.ein", "A 1\n\n");
  const std::string verzeichnis = u.daten().string();
  const std::string fehlt = (u.daten() / "entfernt.net").string();
  struct Fall {
    std::string netz, eingabe, erwartet;
  };
  for (const Fall& f : {Fall{verzeichnis, eingabe, verzeichnis}, Fall{fehlt, eingabe, "entfernt.net"},
                        Fall{netz, verzeichnis, verzeichnis}, Fall{netz, fehlt, "entfernt.net"}}) {
    EXPECT_EQ(u.starten({"--state", "T", f.netz, f.eingabe}), 4) << f.netz << " " << f.eingabe;
    EXPECT_NE(u.fehler.find(f.erwartet), std::string::npos) << u.fehler;
    EXPECT_EQ(u.aus, "");  // no summary: nothing ran
    EXPECT_EQ(u.ausgaben().count("zustand.txt"), 0u);
  }
}

TEST(SchlechteDateienImLaeufer, BinaereNetzdateiIstDerFormatfehler) {
  Batchumgebung u;
  const std::string binaer = u.datei("bild.net", std::string("BM\0\0\x36\x04\0\0", 8) + std::string(500, '\xff'));
  EXPECT_EQ(u.starten({"T", binaer, u.datei("e.ein", "A 1\n")}), 3);
  EXPECT_EQ(u.fehler, std::string(formatfehlerText) + "\n");
  EXPECT_EQ(u.ausgabe("protok.txt"), "");
}

TEST(SchlechteDateienImLaeufer, BomCrLfNetzUndEingabeLaufenWieSaubere) {
  Batchumgebung u;
  const std::string netz = u.datei("n.net", bom + "z A 1 1\r\ns 1\r\nc B 2 1\r\nz B 1 5\r\ns 1\r\n");
  const std::string eingabe = u.datei("e.ein", bom + "A 0\r\n*** 3\r\n");
  EXPECT_EQ(u.starten({"--state", "T", netz, eingabe}), 0) << u.fehler;
  const std::string zustand = u.ausgabe("zustand.txt");
  EXPECT_EQ(zustand.rfind(" **** Zustand im Zeittakt 4 ****\n", 0), 0u) << zustand;
  EXPECT_NE(zustand.find("\nc B 2.00 1\n"), std::string::npos) << zustand;
}

}  // namespace
}  // namespace velkor::robust
