// Loading net files in the name form: cells, parameters, connection lists,
// "f" blocks, default lines and the error protocol.

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "hilfen.h"
#include "net/netzladen.h"
#include "net/textdatei.h"

namespace velkor {
namespace {

using test::laden;
using test::zelle;
using test::ziele;

const char* beispielnetz =
    "{ two cells\n"
    "z A 2 3\n"
    "s 1.0\n"
    "c B 0.8 1\n"
    "z B 2 8\n"
    "c A -0.5 2\n"
    "f\n"
    "s 1.2\n"
    "a 0.9\n"
    "r 3\n";

TEST(Namensform, BeispielnetzMitAbschliessendemBlock) {
  auto g = laden(beispielnetz);
  ASSERT_EQ(g.ergebnis.status, Ladestatus::ok);
  EXPECT_FALSE(g.ergebnis.netzfehler);
  EXPECT_EQ(g.protokoll, "");
  EXPECT_FALSE(g.netz.nummernformat);
  ASSERT_EQ(g.netz.zellenzahl, 2);
  const TZelle& a = zelle(g.netz, 0);
  const TZelle& b = zelle(g.netz, 1);
  EXPECT_EQ(a.name, "A");
  EXPECT_EQ(a.zeile, 2);
  EXPECT_EQ(a.spalte, 3);
  EXPECT_EQ(b.spalte, 8);
  EXPECT_EQ(a.schwelle, 1.0);  // explicit value stays
  EXPECT_EQ(b.schwelle, 1.2);
  for (const TZelle* z : {&a, &b}) {
    EXPECT_EQ(z->abklingfaktor, 0.9);
    EXPECT_EQ(z->refraktaerzeit, 3);
    // defaults of the load
    EXPECT_EQ(z->lernfaktor, 0.0);
    EXPECT_EQ(z->lernfaktorstart, 0.0);
    EXPECT_EQ(z->erholfaktor, 1.0);
    EXPECT_EQ(z->aenderungsrate, 0.0);
    EXPECT_EQ(z->refraktaerrest, 0);
    EXPECT_EQ(z->potenzial, 0.0);
  }
  const Verbindungen& v = g.netz.verbindungen;
  ASSERT_EQ(ziele(g.netz, 0), std::vector<int32_t>{1});
  ASSERT_EQ(ziele(g.netz, 1), std::vector<int32_t>{0});
  EXPECT_EQ(v.gewicht[0], 0.8);
  EXPECT_EQ(v.startgewicht[0], 0.8);
  EXPECT_EQ(v.verzoegerung[0], 1);
  EXPECT_EQ(v.gewicht[1], -0.5);
  EXPECT_EQ(v.verzoegerung[1], 2);
  EXPECT_EQ(v.gewichtsfaktor.wert(0), 1.0);
  EXPECT_EQ(v.maximalgewicht[0], 0.8);  // the start weight
  EXPECT_EQ(v.maximalgewicht[1], -0.5);
  EXPECT_EQ(v.lernschritt[0], -1.0);
  EXPECT_EQ(v.zeitfensterVon(0), -1);
  EXPECT_TRUE(v.laufzaehler.empty());  // no spike in transit
  EXPECT_EQ(v.letzteankunft[0], -1);
  EXPECT_EQ(v.imfenster[0], 0);
}

TEST(Namensform, ListeNeuesteVerbindungZuerstUndParameterAmKopf) {
  auto g = laden(
      "z A\n"
      "c B 1 1\n"
      "i 0.5\n"
      "c C 2 2\n"
      "m 3\n"
      "l 0.25\n"
      "x 7\n"
      "c D\n"  // target declared below
      "z B\nz C\nz D\n");
  ASSERT_EQ(g.ergebnis.status, Ladestatus::ok);
  EXPECT_EQ(ziele(g.netz, 0), (std::vector<int32_t>{3, 2, 1}));
  EXPECT_TRUE(ziele(g.netz, 1).empty());
  const Verbindungen& v = g.netz.verbindungen;
  // index 0 = D (newest), 1 = C, 2 = B
  EXPECT_EQ(v.gewicht[0], -1.0);  // missing words stay not given
  EXPECT_EQ(v.verzoegerung[0], -1);
  EXPECT_EQ(v.maximalgewicht[1], 3.0);
  EXPECT_EQ(v.lernschritt[1], 0.25);
  EXPECT_EQ(v.zeitfensterVon(1), 7);
  EXPECT_EQ(v.gewichtsfaktor.wert(1), 1.0);
  EXPECT_EQ(v.gewichtsfaktor.wert(2), 0.5);
  EXPECT_EQ(v.maximalgewicht[2], 1.0);
  EXPECT_EQ(g.netz.verbindungsstart, (std::vector<std::size_t>{0, 3, 3, 3, 3}));
}

TEST(Namensform, BlockErreichtNurWasDarueberSteht) {
  auto g = laden(
      "f\ns 9\ni 9\n"  // before any cell: no effect
      "z A\ns 1.0\nv 0.5\nc B 1 1\ni 0.75\n"
      "z B\ns -1\nc A 1 1\n"
      "f\ns 2\na 0.5\nr 4\nv 0.1\ng 0.8\nh -0.3\ni 0.9\nm 5\nl 0.2\nx 6\n"
      "c A 1 1\n"  // a connection line in a block is ignored
      "z C\nc A 1 1\n");
  ASSERT_EQ(g.ergebnis.status, Ladestatus::ok);
  const TZelle& a = zelle(g.netz, 0);
  const TZelle& b = zelle(g.netz, 1);
  const TZelle& c = zelle(g.netz, 2);
  EXPECT_EQ(a.schwelle, 1.0);
  EXPECT_EQ(b.schwelle, 2.0);  // explicit -1 counts as not given
  EXPECT_EQ(c.schwelle, -1.0);
  EXPECT_EQ(a.lernfaktorstart, 0.5);
  EXPECT_EQ(a.lernfaktor, 0.5);
  EXPECT_EQ(b.lernfaktorstart, 0.1);
  EXPECT_EQ(b.lernfaktor, 0.1);
  EXPECT_EQ(c.lernfaktor, 0.0);
  EXPECT_EQ(b.abklingfaktor, 0.5);
  EXPECT_EQ(b.refraktaerzeit, 4);
  EXPECT_EQ(b.erholfaktor, 0.8);
  EXPECT_EQ(b.aenderungsrate, -0.3);
  EXPECT_EQ(c.abklingfaktor, -1.0);
  EXPECT_EQ(c.refraktaerzeit, -1);
  EXPECT_EQ(c.erholfaktor, 1.0);

  EXPECT_EQ(ziele(g.netz, 1), std::vector<int32_t>{0});
  EXPECT_EQ(ziele(g.netz, 2), std::vector<int32_t>{0});
  const Verbindungen& v = g.netz.verbindungen;
  EXPECT_EQ(v.gewichtsfaktor.wert(0), 0.75);  // explicit value stays
  EXPECT_EQ(v.gewichtsfaktor.wert(1), 0.9);
  EXPECT_EQ(v.maximalgewicht[1], 5.0);
  EXPECT_EQ(v.lernschritt[1], 0.2);
  EXPECT_EQ(v.zeitfensterVon(1), 6);
  // C's connection comes after the block
  EXPECT_EQ(v.gewichtsfaktor.wert(2), 1.0);
  EXPECT_EQ(v.maximalgewicht[2], 1.0);
  EXPECT_EQ(v.lernschritt[2], -1.0);
  EXPECT_EQ(v.zeitfensterVon(2), -1);
}

TEST(Namensform, GewichtUndVerzoegerungFuellenNurNichtGegebene) {
  auto g = laden(
      "z A\nc B\nc C 0.3\n"
      "z B\nw 0.7\nd 4\ni 0.5\n"  // fill above; "i" still acts on B's head, which does not exist yet
      "c A -1 -1\nx 3\n"          // explicit -1 weight and delay
      "w -1\nd -1\n"              // filling in "not given" changes nothing
      "c C 0.1\n"
      "w 0.2\ni 0.6\n"  // the current connection stays B -> C
      "z C\nc A\nf\nd 9\n");
  ASSERT_EQ(g.ergebnis.status, Ladestatus::ok);
  const Verbindungen& v = g.netz.verbindungen;
  // A: list C, B
  ASSERT_EQ(ziele(g.netz, 0), (std::vector<int32_t>{2, 1}));
  EXPECT_EQ(v.gewicht[0], 0.3);
  EXPECT_EQ(v.verzoegerung[0], 4);
  EXPECT_EQ(v.gewicht[1], 0.7);
  EXPECT_EQ(v.startgewicht[1], 0.7);
  EXPECT_EQ(v.maximalgewicht[1], 0.7);
  EXPECT_EQ(v.verzoegerung[1], 4);
  EXPECT_EQ(v.gewichtsfaktor.wert(1), 1.0);
  // B: list C, A
  ASSERT_EQ(ziele(g.netz, 1), (std::vector<int32_t>{2, 0}));
  EXPECT_EQ(v.gewicht[2], 0.1);
  EXPECT_EQ(v.gewichtsfaktor.wert(2), 0.6);
  EXPECT_EQ(v.verzoegerung[2], 9);
  EXPECT_EQ(v.gewicht[3], 0.2);
  EXPECT_EQ(v.startgewicht[3], 0.2);
  EXPECT_EQ(v.zeitfensterVon(3), 3);
  EXPECT_EQ(v.gewichtsfaktor.wert(3), 1.0);
  EXPECT_EQ(v.verzoegerung[3], 9);
  // C: not reached by any "w"
  EXPECT_EQ(v.gewicht[4], -1.0);
  EXPECT_EQ(v.maximalgewicht[4], -1.0);
  EXPECT_EQ(v.verzoegerung[4], 9);
}

TEST(Namensform, NamenGekuerztUndErsteZelleGewinnt) {
  auto g = laden(
      "z ABCDEFGH 1 1\n"
      "z A\nz A\n"
      "c ABCDEF\n"
      "c ABCDEFG\n"
      "c ABCDEFGH\n"
      "c A\n"
      "c a\n");
  ASSERT_EQ(g.netz.zellenzahl, 3);
  EXPECT_EQ(zelle(g.netz, 0).name, "ABCDEF");
  // list order: a, A, ABCDEFGH, ABCDEFG, ABCDEF
  EXPECT_EQ(ziele(g.netz, 2), (std::vector<int32_t>{3, 1, 3, 3, 0}));
  EXPECT_TRUE(g.ergebnis.netzfehler);
  EXPECT_EQ(g.protokoll,
            ">c ABCDEFG\n****Zelle fehlt****\n"
            ">c ABCDEFGH\n****Zelle fehlt****\n"
            ">c a\n****Zelle fehlt****\n");
  EXPECT_EQ(g.netz.suche("A"), 1);
}

TEST(Namensform, ProtokollZeileWieGelesen) {
  // the line is echoed as read: cut to 250 characters, without the CR
  std::string lang = "c X" + std::string(300, ' ') + "1";
  auto g = laden("z A\r\n" + lang + "\r\nc Y   0.5  2  \r\nf\nc Z\n");
  EXPECT_EQ(ziele(g.netz, 0), (std::vector<int32_t>{1, 1}));
  EXPECT_EQ(g.protokoll, ">" + lang.substr(0, 250) +
                             "\n****Zelle fehlt****\n"
                             ">c Y   0.5  2  \n****Zelle fehlt****\n");
  EXPECT_EQ(g.netz.verbindungen.gewicht[0], 0.5);
  EXPECT_EQ(g.netz.verbindungen.verzoegerung[0], 2);
}

TEST(Namensform, VieleFehlendeZieleInDateireihenfolge) {
  std::string text = "z A\n";
  std::string erwartet;
  for (int i = 0; i < 50; ++i) {
    std::string zeile = "c " + (i % 3 == 0 ? std::string("B") : "F" + std::to_string(i)) + " " + std::to_string(i);
    text += zeile + "\n";
    if (i % 7 == 0) text += "z " + std::string(i % 2 ? "B" : "C") + "\n";
    if (i % 3 != 0) erwartet += ">" + zeile + "\n****Zelle fehlt****\n";
  }
  auto g = laden(text);
  EXPECT_EQ(g.protokoll, erwartet);
  const Verbindungen& v = g.netz.verbindungen;
  ASSERT_EQ(v.size(), 50u);
  for (std::size_t i = 0; i < v.size(); ++i) {
    int gelesen = static_cast<int>(v.gewicht[i]);  // the weight tells the line
    EXPECT_EQ(v.ziel[i], gelesen % 3 == 0 ? g.netz.suche("B") : g.netz.zellenzahl) << gelesen;
  }
}

TEST(Namensform, FalschesErstesZeichenIstFatal) {
  auto g = laden(
      "z A 1 1\n"
      "c B 1 1\n"
      "z B\n"
      "s 2\n"
      "Z C\n"
      "z D\n"
      "c A\n");
  EXPECT_EQ(g.ergebnis.status, Ladestatus::formatfehler);
  EXPECT_EQ(g.ergebnis.meldung, formatfehlerText);
  EXPECT_EQ(g.protokoll, "");
  EXPECT_EQ(g.netz.verbindungen.size(), 0u);
  ASSERT_GE(g.netz.zellenzahl, 2);
  EXPECT_EQ(zelle(g.netz, 0).name, "A");
  EXPECT_EQ(zelle(g.netz, 1).name, "B");
  EXPECT_EQ(zelle(g.netz, 1).schwelle, 2.0);
  for (int32_t c = 0; c < g.netz.zellenzahl; ++c) EXPECT_TRUE(ziele(g.netz, c).empty());

  for (const char* zeile : {"\tz X", "}", "1", "b", "e", "j", "k", "n", "o", "p", "q", "t", "u", "y", "S 1"}) {
    auto h = laden(std::string("z A\n") + zeile + "\n");
    EXPECT_EQ(h.ergebnis.status, Ladestatus::formatfehler) << zeile;
  }
  for (const char* zeile : {" comment", "{", "$ 3", "f", "d 1", "w 1", "schwelle 1.5", "zelle"}) {
    auto h = laden(std::string("z A\n") + zeile + "\n");
    EXPECT_EQ(h.ergebnis.status, Ladestatus::ok) << zeile;
  }
}

TEST(Namensform, NurErstesZeichenDesSchluesselwortsZaehlt) {
  auto g = laden("zelle A 4 5\nschwelle 1.5\nrefraktaer 2.5\nconnect A 0.5 1\n");
  ASSERT_EQ(g.netz.zellenzahl, 1);
  EXPECT_EQ(zelle(g.netz, 0).name, "A");
  EXPECT_EQ(zelle(g.netz, 0).zeile, 4);
  EXPECT_EQ(zelle(g.netz, 0).schwelle, 1.5);
  EXPECT_EQ(zelle(g.netz, 0).refraktaerzeit, 2);  // 2.5 reads as 2
  EXPECT_EQ(ziele(g.netz, 0), std::vector<int32_t>{0});
}

TEST(Namensform, ZeilenOhneAktuelleZelleOderVerbindungWerdenIgnoriert) {
  auto g = laden(
      "s 5\nr 5\nv 5\nc A 1 1\ni 5\nm 5\nl 5\nx 5\nw 5\nd 5\n"
      "z A\ni 0.5\nx 2\ns 1\n"
      "c A 1 1\n");
  ASSERT_EQ(g.ergebnis.status, Ladestatus::ok);
  EXPECT_FALSE(g.ergebnis.netzfehler);
  EXPECT_EQ(zelle(g.netz, 0).schwelle, 1.0);
  EXPECT_EQ(zelle(g.netz, 0).refraktaerzeit, -1);
  EXPECT_EQ(zelle(g.netz, 0).lernfaktor, 0.0);
  ASSERT_EQ(g.netz.verbindungen.size(), 1u);
  EXPECT_EQ(g.netz.verbindungen.gewichtsfaktor.wert(0), 1.0);
  EXPECT_EQ(g.netz.verbindungen.zeitfensterVon(0), -1);
}

TEST(Namensform, BildverschiebungWirdNurGegebenenPositionenAddiert) {
  auto g = laden("z A 2 5\nz B -1 -1\nz C\nz D -3 -2\nz E 7\n", 2, 3);
  const TZelle& a = zelle(g.netz, 0);
  EXPECT_EQ(a.zeile, 5);
  EXPECT_EQ(a.spalte, 7);
  EXPECT_EQ(zelle(g.netz, 1).zeile, -1);
  EXPECT_EQ(zelle(g.netz, 1).spalte, -1);
  EXPECT_FALSE(zelle(g.netz, 1).zeileVerschobenAufMinusEins);
  EXPECT_EQ(zelle(g.netz, 2).zeile, -1);
  EXPECT_EQ(zelle(g.netz, 2).spalte, -1);
  // shifted onto -1: still a position the file gave
  EXPECT_EQ(zelle(g.netz, 3).zeile, 0);
  EXPECT_EQ(zelle(g.netz, 3).spalte, 0);
  auto h = laden("z D -4 -3\n", 2, 3);
  EXPECT_EQ(zelle(h.netz, 0).zeile, -1);
  EXPECT_EQ(zelle(h.netz, 0).spalte, -1);
  EXPECT_TRUE(zelle(h.netz, 0).zeileVerschobenAufMinusEins);
  EXPECT_TRUE(zelle(h.netz, 0).spalteVerschobenAufMinusEins);
  EXPECT_EQ(zelle(g.netz, 4).zeile, 10);
  EXPECT_EQ(zelle(g.netz, 4).spalte, -1);
}

// Everything the loader fills in, as text, to compare whole nets.
std::string abbild(const Netz& netz) {
  std::ostringstream t;
  t << netz.zellenzahl << "|";
  for (const TZelle& z : netz.Zelltabelle)
    t << z.name << ' ' << z.zeile << ' ' << z.spalte << ' ' << z.schwelle << ' ' << z.refraktaerzeit << ' '
      << z.abklingfaktor << ' ' << z.lernfaktor << ' ' << z.lernfaktorstart << ' ' << z.erholfaktor << ' '
      << z.aenderungsrate << ' ' << z.refraktaerrest << ' ' << z.potenzial << ' ' << z.pegel << ";";
  const Verbindungen& v = netz.verbindungen;
  for (std::size_t s : netz.verbindungsstart) t << s << ',';
  for (std::size_t i = 0; i < v.size(); ++i)
    t << v.ziel[i] << ' ' << v.gewicht[i] << ' ' << v.verzoegerung[i] << ' ' << v.startgewicht[i] << ' '
      << v.gewichtsfaktor.wert(i) << ' ' << v.maximalgewicht[i] << ' ' << v.lernschritt[i] << ' ' << v.zeitfensterVon(i) << ' '
      << (v.laufzaehler.empty() ? 0 : v.laufzaehler[i]) << ' ' << v.letzteankunft[i] << ' ' << int(v.imfenster[i])
      << ' ' << (v.gewichtspegel.empty() ? 0 : int(v.gewichtspegel[i])) << ";";
  return t.str();
}

// Windows are kept only once a net gives one; until then every connection
// reads -1. A window that first appears late in the file, for a later cell,
// inside a block or outside, lands on the same connections as in a net
// whose every connection carries its window.
TEST(Namensform, ZeitfensterErstAbDemErstenGegebenen) {
  auto ohne = laden("z A\nc B 1 1\nc B 1 2\nz B\nc A 1 1\n");
  EXPECT_TRUE(ohne.netz.verbindungen.zeitfenster.empty());
  EXPECT_EQ(ohne.netz.verbindungen.zeitfensterVon(2), -1);

  auto spaet = laden("z A\nc B 1 1\nc B 1 2\nz B\nc A 1 1\nx 5\nc A 1 3\nx -1\n");
  auto voll = laden("z A\nc B 1 1\nx -1\nc B 1 2\nx -1\nz B\nc A 1 1\nx 5\nc A 1 3\nx -1\n");
  ASSERT_EQ(spaet.ergebnis.status, Ladestatus::ok);
  const Verbindungen& v = spaet.netz.verbindungen;
  ASSERT_EQ(v.zeitfenster.size(), 4U);
  // list order, newest first: A: [B d2, B d1], B: [A d3, A d1]
  EXPECT_EQ(v.zeitfenster, (std::vector<int32_t>{-1, -1, -1, 5}));
  EXPECT_EQ(abbild(spaet.netz), abbild(voll.netz));

  auto block = laden("z A\nc B 1 1\nz B\nc A 1 1\nx 2\nc A 1 3\nf\nx 4\nz C\nc A\n");
  ASSERT_EQ(block.ergebnis.status, Ladestatus::ok);
  // The block fills every connection above that has none; C's comes after it.
  EXPECT_EQ(block.netz.verbindungen.zeitfenster, (std::vector<int32_t>{4, 4, 2, -1}));
}

TEST(Namensform, CrLfUndFehlendesZeilenendeLadenWieLf) {
  std::string lf = std::string(beispielnetz) + "\n\nz C 1 1\nc A\nw 0.25";
  std::string crlf;
  for (char c : lf) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
  auto g = laden(lf);
  auto h = laden(crlf);
  auto k = laden(crlf + "\r\n");
  EXPECT_EQ(abbild(g.netz), abbild(h.netz));
  EXPECT_EQ(abbild(g.netz), abbild(k.netz));
  EXPECT_EQ(zelle(h.netz, 2).name, "C");
  EXPECT_EQ(h.netz.verbindungen.gewicht[2], 0.25);  // the last line without line end counts
}

TEST(Namensform, ZweitesLadenBautDasNetzNeu) {
  Netz netz;
  Ladeergebnis ergebnis;
  test::laden(netz, ergebnis, "z X 1 1\nz Y\nz Z\ns 4\nc X 1 1\nc Y 2 2\nc Z\n", 0, 0);
  netz.Zelltabelle[0].potenzial = 3.0;
  netz.verbindungen.laufzaehler.assign(netz.verbindungen.size(), 0);
  netz.verbindungen.laufzaehler[0] = 2;
  test::laden(netz, ergebnis, beispielnetz, 0, 0);
  auto frisch = laden(beispielnetz);
  EXPECT_EQ(abbild(netz), abbild(frisch.netz));
  EXPECT_EQ(netz.suche("X"), netz.zellenzahl);
  EXPECT_EQ(netz.suche("B"), 1);
}

TEST(Namensform, LeeresNetzUndNichtLesbareDatei) {
  auto g = laden("{ nothing\n\n f\n");
  EXPECT_EQ(g.ergebnis.status, Ladestatus::ok);
  EXPECT_EQ(g.netz.zellenzahl, 0);
  EXPECT_EQ(g.netz.verbindungsstart, std::vector<std::size_t>{0});
  auto leer = laden("");
  EXPECT_EQ(leer.ergebnis.status, Ladestatus::ok);
  EXPECT_EQ(leer.netz.zellenzahl, 0);

  test::Arbeitsverzeichnis verzeichnis;
  Netz netz;
  Ladeergebnis ergebnis;
  test::laden(netz, ergebnis, beispielnetz, 0, 0);
  const std::string vorher = abbild(netz);
  std::ostringstream protokoll;
  const std::string fehlt = verzeichnis.datei("fehlt.net");
  ergebnis = netzladen(fehlt, 0, 0, netz, protokoll);
  EXPECT_EQ(ergebnis.status, Ladestatus::dateifehler);
  EXPECT_NE(ergebnis.meldung.find(fehlt), std::string::npos);
  EXPECT_EQ(ergebnis.meldung, fehlt + ": Datei oder Verzeichnis nicht gefunden");
  EXPECT_EQ(abbild(netz), vorher);                                         // the net stays as it was
  ergebnis = netzladen(verzeichnis.pfad.string(), 0, 0, netz, protokoll);  // a directory
  EXPECT_EQ(ergebnis.status, Ladestatus::dateifehler);
  EXPECT_EQ(protokoll.str(), "");
}

// The whole file comes in, byte for byte, whatever its size: empty, around the
// sizes the reader allocates, and files that report no size (the reader then
// grows its buffer while it reads).
TEST(Textdatei, LiestJedeGroesseVollstaendig) {
  test::Arbeitsverzeichnis verzeichnis;
  for (std::size_t groesse : {std::size_t{0}, std::size_t{1}, std::size_t{4095}, std::size_t{65536},
                              std::size_t{65537}, std::size_t{3} << 20}) {
    std::string inhalt(groesse, '\0');
    for (std::size_t i = 0; i < groesse; ++i) inhalt[i] = static_cast<char>("z c\r\n\0AB"[i * 7 % 8]);
    const std::string pfad = verzeichnis.schreiben("t" + std::to_string(groesse), inhalt);
    Textpuffer puffer;
    std::string fehler;
    ASSERT_TRUE(dateiLesen(pfad, puffer, fehler)) << fehler;
    EXPECT_EQ(puffer.text().size(), groesse);
    EXPECT_TRUE(puffer.text() == inhalt) << groesse;
  }
  // A file of the proc file system says it has size 0 and still has text.
  Textpuffer puffer;
  std::string fehler;
  ASSERT_TRUE(dateiLesen("/proc/self/maps", puffer, fehler)) << fehler;
  EXPECT_GT(puffer.text().size(), 0U);
  EXPECT_EQ(puffer.text().back(), '\n');
  // A second read into the same buffer replaces the text; a failed one empties it.
  const std::string kurz = verzeichnis.schreiben("kurz", "z A\n");
  ASSERT_TRUE(dateiLesen(kurz, puffer, fehler));
  EXPECT_EQ(puffer.text(), "z A\n");
  EXPECT_FALSE(dateiLesen(verzeichnis.datei("fehlt"), puffer, fehler));
  EXPECT_EQ(puffer.text(), "");
  EXPECT_NE(fehler.find("fehlt"), std::string::npos);
}

}  // namespace
}  // namespace velkor
