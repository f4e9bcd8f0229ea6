// The state file "zustand.txt": its exact text, loading it again, and writing
// it safely.

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <sstream>
#include <string>

#include "hilfen.h"
#include "net/zustand.h"

namespace velkor {
namespace {

using test::laden;
using test::zelle;
using test::ziele;

TEST(Zustand, TextEinesKleinenNetzes) {
  auto g = laden(
      "z A 2 3\ns 1\na 0.9\nc B -0.5 2\nl 0.3\n"
      "z B -1 4\nr 5\nv 0.25\ng 0.5\nh -0.125\nc A\n");
  ASSERT_EQ(g.ergebnis.status, Ladestatus::ok);
  g.netz.Zelltabelle[1].lernfaktor = -1.0;  // the current value is written, not the start value
  EXPECT_EQ(zustandstext(g.netz, 0, 0, 0),
            " **** Zustand im Zeittakt 0 ****\n"
            "\n"
            "z A 2 3\n"
            "v 0.0000\n"
            "a 0.90000000\n"
            "r -1\n"
            "s 1.00\n"
            "g 1.00000000\n"
            "h 0.00000000\n"
            "c B -0.50 2\n"
            "m -0.50\n"
            "l 0.30\n"
            "i 1.00000000\n"
            "x -1\n"
            "\n"
            "z B -1 4\n"
            "v -1.0000\n"
            "a -1.00000000\n"
            "r 5\n"
            "s -1.00\n"
            "g 0.50000000\n"
            "h -0.12500000\n"
            "c A -1.00 -1\n"
            "m -1.00\n"
            "l -1.00\n"
            "i 1.00000000\n"
            "x -1\n"
            "\n"
            " **** Ende ****\n");
}

TEST(Zustand, LeeresNetzUndKopfzeile) {
  Netz leer;
  EXPECT_EQ(zustandstext(leer, 0, 3, 4), " **** Zustand im Zeittakt 0 ****\n\n **** Ende ****\n");
  EXPECT_EQ(zustandstext(leer, 1234, 0, 0), " **** Zustand im Zeittakt 1234 ****\n\n **** Ende ****\n");
  EXPECT_EQ(zustandstext(leer, -7, 0, 0), " **** Zustand im Zeittakt -7 ****\n\n **** Ende ****\n");
}

TEST(Zustand, RundungAufDieStellenDesFormats) {
  auto g = laden("z A\nc A 12.345 1\nm 99.999\n");
  TZelle& a = g.netz.Zelltabelle[0];
  a.lernfaktor = 0.00005;
  a.abklingfaktor = 0.123456789;
  a.schwelle = 1234.5;
  a.erholfaktor = -0.000000004;
  const std::string text = zustandstext(g.netz, 0, 0, 0);
  for (const char* zeile :
       {"\nv 0.0001\n", "\na 0.12345679\n", "\ns 1234.50\n", "\ng -0.00000000\n", "\nc A 12.35 1\n", "\nm 100.00\n"})
    EXPECT_NE(text.find(zeile), std::string::npos) << zeile << "\n" << text;
}

TEST(Zustand, UngeloestesZielWirdAusgelassen) {
  auto g = laden("z A 1 1\nc X 1 1\nc A 2 2\nc Y\n");
  ASSERT_TRUE(g.ergebnis.netzfehler);
  const std::string text = zustandstext(g.netz, 0, 0, 0);
  EXPECT_EQ(text.find("c X"), std::string::npos);
  EXPECT_EQ(text.find("c Y"), std::string::npos);
  EXPECT_NE(text.find("\nc A 2.00 2\nm 2.00\nl -1.00\ni 1.00000000\nx -1\n\n **** Ende"), std::string::npos);
}

TEST(Zustand, WiederLadenGibtDieWerteUndKehrtDieListenUm) {
  const char* netzdatei =
      "z A 2 5\ns 1.25\na 0.875\nr 2\nv 0.5\ng 0.75\nh -0.25\n"
      "c B 0.5 1\ni 0.5\nm 2\nl 0.25\nx 4\n"
      "c C -1.5 3\n"
      "z B\nc A 0.75 2\n"
      "z C 7 -1\n"
      "f\nd 6\n";
  auto g = laden(netzdatei, 2, 1);
  // learned values take the place of the loaded ones
  g.netz.Zelltabelle[0].lernfaktor = 0.125;
  g.netz.verbindungen.gewicht[1] = 0.75;  // A -> B
  const std::string text = zustandstext(g.netz, 42, 2, 1);
  auto h = laden(text, 2, 1);
  ASSERT_EQ(h.ergebnis.status, Ladestatus::ok);
  EXPECT_EQ(h.protokoll, "");
  ASSERT_EQ(h.netz.zellenzahl, 3);
  for (int32_t c = 0; c < 3; ++c) {
    const TZelle& alt = zelle(g.netz, c);
    const TZelle& neu = zelle(h.netz, c);
    EXPECT_EQ(neu.name, alt.name);
    EXPECT_EQ(neu.zeile, alt.zeile);
    EXPECT_EQ(neu.spalte, alt.spalte);
    EXPECT_EQ(neu.schwelle, alt.schwelle);
    EXPECT_EQ(neu.abklingfaktor, alt.abklingfaktor);
    EXPECT_EQ(neu.refraktaerzeit, alt.refraktaerzeit);
    EXPECT_EQ(neu.lernfaktor, alt.lernfaktor);
    EXPECT_EQ(neu.lernfaktorstart, alt.lernfaktor);
    EXPECT_EQ(neu.erholfaktor, alt.erholfaktor);
    EXPECT_EQ(neu.aenderungsrate, alt.aenderungsrate);
  }
  EXPECT_EQ(zelle(h.netz, 0).lernfaktorstart, 0.125);
  // A had the list C, B; after the round trip it is B, C
  EXPECT_EQ(ziele(g.netz, 0), (std::vector<int32_t>{2, 1}));
  EXPECT_EQ(ziele(h.netz, 0), (std::vector<int32_t>{1, 2}));
  const Verbindungen& alt = g.netz.verbindungen;
  const Verbindungen& neu = h.netz.verbindungen;
  ASSERT_EQ(neu.size(), 3u);
  for (auto [a, n] : {std::pair{0, 1}, std::pair{1, 0}, std::pair{2, 2}}) {
    EXPECT_EQ(neu.ziel[n], alt.ziel[a]);
    EXPECT_EQ(neu.gewicht[n], alt.gewicht[a]);
    EXPECT_EQ(neu.startgewicht[n], alt.gewicht[a]);
    EXPECT_EQ(neu.verzoegerung[n], alt.verzoegerung[a]);
    EXPECT_EQ(neu.gewichtsfaktor.wert(n), alt.gewichtsfaktor.wert(a));
    EXPECT_EQ(neu.maximalgewicht[n], alt.maximalgewicht[a]);
    EXPECT_EQ(neu.lernschritt[n], alt.lernschritt[a]);
    EXPECT_EQ(neu.zeitfensterVon(n), alt.zeitfensterVon(a));
  }
  EXPECT_EQ(neu.gewicht[0], 0.75);  // A -> B
  EXPECT_EQ(neu.maximalgewicht[0], 2.0);
  EXPECT_EQ(neu.verzoegerung[0], 1);
  EXPECT_EQ(neu.gewicht[1], -1.5);  // A -> C
  EXPECT_EQ(neu.maximalgewicht[1], -1.5);
  EXPECT_EQ(neu.verzoegerung[1], 3);
  EXPECT_EQ(neu.verzoegerung[2], 2);  // B -> A
}

// Of the text behind a word the loader reads 99 characters. The fixed-point
// text of a huge value is longer (over 300 digits near the largest double):
// it would lose its last digits, or the delay behind a weight. Such a value is
// written in exponent form, so it loads back exact; values whose text fits
// keep the fixed-point form.
TEST(Zustand, RiesigeWerteLadenUnverkuerztWieder) {
  auto g = laden(
      "z A\ns 1e300\na -1.5e250\nc A 1e95 7\nm 1.7976931348623157e308\nl -1e300\ni 1e80\n"
      "c A -1e80 2147483647\nm 1e88\n");
  ASSERT_EQ(g.ergebnis.status, Ladestatus::ok);
  const std::string text = zustandstext(g.netz, 0, 0, 0);
  EXPECT_NE(text.find("\ns 1e+300\n"), std::string::npos) << text;
  EXPECT_NE(text.find("\nc A 1e+95 7\n"), std::string::npos) << text;
  EXPECT_NE(text.find("\nm 1.7976931348623157e+308\n"), std::string::npos) << text;
  // these fit: 81 digits and 8 decimals; a weight of sign, 81 digits, 2 decimals and its delay
  EXPECT_NE(text.find("\ni 1000000000000000"), std::string::npos) << text;
  EXPECT_NE(text.find("\nc A -1000000000000000"), std::string::npos) << text;
  EXPECT_NE(text.find(".00 2147483647\nm 99999999999999995"), std::string::npos) << text;

  auto h = laden(text);
  ASSERT_EQ(h.ergebnis.status, Ladestatus::ok);
  EXPECT_EQ(h.protokoll, "");
  EXPECT_EQ(zelle(h.netz, 0).schwelle, 1e300);
  EXPECT_EQ(zelle(h.netz, 0).abklingfaktor, -1.5e250);
  const Verbindungen& v = h.netz.verbindungen;
  ASSERT_EQ(v.size(), 2u);
  // the round trip reverses the list: file order again
  EXPECT_EQ(v.gewicht[0], 1e95);
  EXPECT_EQ(v.verzoegerung[0], 7);
  EXPECT_EQ(v.maximalgewicht[0], 1.7976931348623157e308);
  EXPECT_EQ(v.lernschritt[0], -1e300);
  EXPECT_EQ(v.gewichtsfaktor.wert(0), 1e80);
  EXPECT_EQ(v.gewicht[1], -1e80);
  EXPECT_EQ(v.verzoegerung[1], 2147483647);
  EXPECT_EQ(v.maximalgewicht[1], 1e88);
  // a second round trip gives the first list order and the same text
  EXPECT_EQ(zustandstext(laden(zustandstext(h.netz, 0, 0, 0)).netz, 0, 0, 0), text);

  // Behind the keyword of a connection line stand the target name, the weight
  // and the delay: a long name leaves less room for the weight.
  auto n = laden("z ABCDEF\nc ABCDEF -1e80 2147483647\nc ABCDEF -1e76 2147483647\n");
  const std::string langerName = zustandstext(n.netz, 0, 0, 0);
  EXPECT_NE(langerName.find("\nc ABCDEF -1e+80 2147483647\n"), std::string::npos) << langerName;
  EXPECT_NE(langerName.find("\nc ABCDEF -1000000000000000047"), std::string::npos) << langerName;
  auto m = laden(langerName);
  ASSERT_EQ(m.netz.verbindungen.size(), 2u);
  EXPECT_EQ(m.netz.verbindungen.gewicht[0], -1e80);
  EXPECT_EQ(m.netz.verbindungen.verzoegerung[0], 2147483647);
  EXPECT_EQ(m.netz.verbindungen.gewicht[1], -1e76);
  EXPECT_EQ(m.netz.verbindungen.verzoegerung[1], 2147483647);
}

// A numbered net needs no distinct names. Written by name, a connection to the
// second of two cells named A would load back as one to the first: such a net
// is written in the numbered form, which loads back with every target in place.
// Distinct names keep the name form, also for a numbered net.
TEST(Zustand, GleicheNamenSchreibenDieNummernform) {
  auto g = laden("$ 3\nz A 1 1\nz A 1 5\nc 0 0.25 1\nz B\nc 1 0.5 2\nc 0 -1 3\n");
  ASSERT_EQ(g.ergebnis.status, Ladestatus::ok);
  const std::string text = zustandstext(g.netz, 4, 0, 0);
  EXPECT_EQ(text.rfind("$ 3\n **** Zustand im Zeittakt 4 ****\n\nz A 1 1\n", 0), 0u) << text;
  EXPECT_NE(text.find("\nc 0 -1.00 3\n"), std::string::npos) << text;
  EXPECT_NE(text.find("\nc 1 0.50 2\n"), std::string::npos) << text;
  auto h = laden(text);
  ASSERT_EQ(h.ergebnis.status, Ladestatus::ok);
  EXPECT_EQ(h.protokoll, "");
  EXPECT_TRUE(h.netz.nummernformat);
  EXPECT_EQ(ziele(h.netz, 1), (std::vector<int32_t>{0}));
  EXPECT_EQ(ziele(h.netz, 2), (std::vector<int32_t>{1, 0}));
  EXPECT_EQ(zustandstext(laden(zustandstext(h.netz, 4, 0, 0)).netz, 4, 0, 0), text);

  // Two cells of one name that no connection leads to the later of: name form.
  auto n = laden("$ 3\nz A\nc 2 1 1\nz A\nc 0 1 1\nz B\nc 0 1 1\n");
  EXPECT_EQ(zustandstext(n.netz, 0, 0, 0).rfind(" **** Zustand", 0), 0u);
  EXPECT_NE(zustandstext(n.netz, 0, 0, 0).find("\nc A 1.00 1\n"), std::string::npos);
}

TEST(Zustand, PositionenOhneBildverschiebungUndOhneDrift) {
  const char* netzdatei =
      "z A 2 5\n"
      "z B -1 4\n"   // no row, but a column
      "z C 3\n"      // a row, no column
      "z D\n"        // not placed
      "z E -4 -3\n"  // the shift makes both -1: still placed
      "z F 2147483647 -2147483648\n";
  auto g = laden(netzdatei, 2, 3);
  EXPECT_EQ(zelle(g.netz, 0).spalte, 7);
  const std::string erster = zustandstext(g.netz, 0, 2, 3);
  for (const char* zeile : {"\nz A 2 5\n", "\nz B -1 4\n", "\nz C 3 -1\n", "\nz D -1 -1\n", "\nz E -4 -3\n",
                            "\nz F 2147483647 -2147483648\n"})
    EXPECT_NE(erster.find(zeile), std::string::npos) << zeile << "\n" << erster;
  auto h = laden(erster, 2, 3);
  EXPECT_EQ(zustandstext(h.netz, 0, 2, 3), erster);
  // without a shift the positions are stored as written
  auto k = laden(erster);
  EXPECT_EQ(zelle(k.netz, 1).zeile, -1);
  EXPECT_EQ(zelle(k.netz, 1).spalte, 4);
  EXPECT_EQ(zustandstext(k.netz, 0, 0, 0), erster);
}

TEST(Zustand, SchreibenErsetztDieDateiUndLaesstNichtsZurueck) {
  test::Arbeitsverzeichnis verzeichnis;
  auto g = test::laden("z A 1 1\nc A 1 1\n");
  const std::string pfad = verzeichnis.schreiben("zustand.txt", "alt\n");
  std::string fehler;
  ASSERT_TRUE(zustandschreiben(g.netz, 3, 0, 0, fehler, pfad)) << fehler;
  EXPECT_EQ(test::lesen(pfad), zustandstext(g.netz, 3, 0, 0));
  std::size_t dateien = 0;
  for (const auto& eintrag : std::filesystem::directory_iterator(verzeichnis.pfad)) {
    ++dateien;
    EXPECT_EQ(eintrag.path().filename(), "zustand.txt");
  }
  EXPECT_EQ(dateien, 1u);
}

TEST(Zustand, FehlschlagLaesstKeineTeildateiUndDieAlteUnberuehrt) {
  test::Arbeitsverzeichnis verzeichnis;
  auto g = test::laden("z A 1 1\nc A 1 1\n");
  std::string fehler;

  // a directory that does not exist
  const std::string nirgends = verzeichnis.datei("fehlt/zustand.txt");
  EXPECT_FALSE(zustandschreiben(g.netz, 0, 0, 0, fehler, nirgends));
  EXPECT_EQ(fehler, nirgends + ": Datei oder Verzeichnis nicht gefunden");
  EXPECT_FALSE(std::filesystem::exists(verzeichnis.datei("fehlt")));

  // the temporary file cannot be made: the existing file stays as it was
  const std::string pfad = verzeichnis.schreiben("zustand.txt", "alt\n");
  std::filesystem::create_directory(pfad + ".tmp");
  fehler.clear();
  EXPECT_FALSE(zustandschreiben(g.netz, 0, 0, 0, fehler, pfad));
  EXPECT_EQ(fehler.rfind(pfad + ": ", 0), 0u) << fehler;
  EXPECT_EQ(test::lesen(pfad), "alt\n");
  std::filesystem::remove(pfad + ".tmp");

  // the target cannot be replaced: the temporary file is removed again
  const std::string ordner = verzeichnis.datei("ordner");
  std::filesystem::create_directory(ordner);
  verzeichnis.schreiben("ordner/inhalt", "x");
  fehler.clear();
  EXPECT_FALSE(zustandschreiben(g.netz, 0, 0, 0, fehler, ordner));
  EXPECT_EQ(fehler.rfind(ordner + ": ", 0), 0u) << fehler;
  EXPECT_FALSE(std::filesystem::exists(ordner + ".tmp"));
  EXPECT_EQ(test::lesen(ordner + "/inhalt"), "x");
}

}  // namespace
}  // namespace velkor
