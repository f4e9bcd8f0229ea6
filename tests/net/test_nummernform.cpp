// Loading net files in the numbered form: targets by cell number, and headers
// that do not fit the file.

#include <gtest/gtest.h>

#include <string>

#include "hilfen.h"
#include "net/netzladen.h"

namespace velkor {
namespace {

using test::laden;
using test::zelle;
using test::ziele;

TEST(Nummernform, ZieleNachNummer) {
  auto g = laden(
      "$ 2\n"
      "z A 1 2\n"
      "c 1 0.5 1\n"
      "c 0\n"
      "$ 7\n"  // only the first line is a header
      "z B\n"
      "c B 0.25 3\n"  // a name reads as number 0
      "c +1\n"
      "f\nw 2\n");
  ASSERT_EQ(g.ergebnis.status, Ladestatus::ok);
  EXPECT_TRUE(g.netz.nummernformat);
  EXPECT_FALSE(g.ergebnis.netzfehler);
  EXPECT_EQ(g.protokoll, "");
  ASSERT_EQ(g.netz.zellenzahl, 2);
  EXPECT_EQ(zelle(g.netz, 0).name, "A");
  EXPECT_EQ(zelle(g.netz, 0).zeile, 1);
  EXPECT_EQ(zelle(g.netz, 1).name, "B");
  EXPECT_EQ(ziele(g.netz, 0), (std::vector<int32_t>{0, 1}));
  EXPECT_EQ(ziele(g.netz, 1), (std::vector<int32_t>{1, 0}));
  const Verbindungen& v = g.netz.verbindungen;
  EXPECT_EQ(v.gewicht[0], 2.0);
  EXPECT_EQ(v.gewicht[1], 0.5);
  EXPECT_EQ(v.gewicht[3], 0.25);
  EXPECT_EQ(v.verzoegerung[3], 3);
  // the name index serves the input file also in this form
  EXPECT_EQ(g.netz.suche("B"), 1);
}

TEST(Nummernform, ZielAusserhalbDerTabelleFehlt) {
  auto g = laden("$ 2\nz A\nc 2 1 1\nc -1\nc 1\nz B\nc 99999999999\nc 0x1\n");
  EXPECT_TRUE(g.ergebnis.netzfehler);
  EXPECT_EQ(g.protokoll,
            ">c 2 1 1\n****Zelle fehlt****\n"
            ">c -1\n****Zelle fehlt****\n"
            ">c 99999999999\n****Zelle fehlt****\n");
  EXPECT_EQ(ziele(g.netz, 0), (std::vector<int32_t>{1, 2, 2}));
  EXPECT_EQ(ziele(g.netz, 1), (std::vector<int32_t>{1, 2}));
}

TEST(Nummernform, KopfzahlPasstNichtZuDenZellzeilen) {
  struct Fall {
    const char* kopf;
    const char* zeile;
  };
  const Fall faelle[] = {
      {"$ 3", "****Zellenzahl im Kopf (3) passt nicht zu 2 Zellzeilen****\n"},
      {"$ 1", "****Zellenzahl im Kopf (1) passt nicht zu 2 Zellzeilen****\n"},
      {"$", "****Zellenzahl im Kopf (-1) passt nicht zu 2 Zellzeilen****\n"},
      {"$ -5", "****Zellenzahl im Kopf (-5) passt nicht zu 2 Zellzeilen****\n"},
      {"$ 2000000000", "****Zellenzahl im Kopf (2000000000) passt nicht zu 2 Zellzeilen****\n"},
      {"$ 2", ""},
      {"$zellen 2", ""},
  };
  for (const Fall& fall : faelle) {
    auto g = laden(std::string(fall.kopf) + "\nz A\nc 1\nz B\nc 0\n");
    ASSERT_EQ(g.ergebnis.status, Ladestatus::ok) << fall.kopf;
    EXPECT_EQ(g.ergebnis.netzfehler, *fall.zeile != '\0') << fall.kopf;
    EXPECT_EQ(g.protokoll, fall.zeile) << fall.kopf;
    // the table holds the cells actually present
    EXPECT_EQ(g.netz.zellenzahl, 2) << fall.kopf;
    EXPECT_EQ(g.netz.Zelltabelle.size(), 2u) << fall.kopf;
    EXPECT_EQ(ziele(g.netz, 0), std::vector<int32_t>{1}) << fall.kopf;
    EXPECT_EQ(ziele(g.netz, 1), std::vector<int32_t>{0}) << fall.kopf;
  }
  // an empty numbered net, and a count of 0 with a cell line
  auto leer = laden("$ 0\n");
  EXPECT_FALSE(leer.ergebnis.netzfehler);
  EXPECT_EQ(leer.netz.zellenzahl, 0);
  auto null = laden("$ 0\nz A\n");
  EXPECT_TRUE(null.ergebnis.netzfehler);
  EXPECT_EQ(null.netz.zellenzahl, 1);
}

TEST(Nummernform, NurDieErsteZeileEntscheidet) {
  // a "$" further down is skipped, and an empty first line is a line of its own
  for (const char* text : {"z A\n$ 1\nc 0\n", "\n$ 1\nz A\nc 0\n"}) {
    auto g = laden(text);
    EXPECT_FALSE(g.netz.nummernformat) << text;
    ASSERT_EQ(g.netz.zellenzahl, 1) << text;
    EXPECT_EQ(g.protokoll, ">c 0\n****Zelle fehlt****\n") << text;
  }
  // the header line is not seen by the cell pass, even with a bad keyword
  auto g = laden("$ 1\r\nz A\r\nc 0\r\n");
  EXPECT_TRUE(g.netz.nummernformat);
  EXPECT_EQ(g.protokoll, "");
  auto fatal = laden("$ 1\nz A\nQ\n");
  EXPECT_EQ(fatal.ergebnis.status, Ladestatus::formatfehler);
  EXPECT_EQ(fatal.protokoll, "");  // the header check comes after the cell pass
}

}  // namespace
}  // namespace velkor
