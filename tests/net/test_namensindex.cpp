// Name lookup: the first cell of a name wins, names are compared byte for
// byte as whole strings.

#include <gtest/gtest.h>

#include <string>

#include "net/modell.h"

namespace velkor {
namespace {

TEST(Namensindex, ErsteZelleGewinntUndGanzeNamenZaehlen) {
  Netz netz;
  EXPECT_EQ(netz.suche("A"), 0);  // empty net: zellenzahl
  for (const char* name : {"A", "AB", "", "A", "ab", "ABCDEF", "ABCDEFGH", "ABCDEFGH"}) {
    TZelle z;
    z.name = name;
    netz.Zelltabelle.push_back(z);
  }
  TZelle mitNull;
  mitNull.name = std::string("a\0b", 3);
  netz.Zelltabelle.push_back(mitNull);
  netz.zellenzahl = static_cast<int32_t>(netz.Zelltabelle.size());
  netz.namensindexAufbauen();
  EXPECT_EQ(netz.suche("A"), 0);
  EXPECT_EQ(netz.suche("AB"), 1);
  EXPECT_EQ(netz.suche(""), 2);
  EXPECT_EQ(netz.suche("ab"), 4);
  EXPECT_EQ(netz.suche("ABCDEF"), 5);
  EXPECT_EQ(netz.suche("ABCDEFGH"), 6);  // names set by hand may be longer
  EXPECT_EQ(netz.suche(std::string("a\0b", 3)), 8);
  for (const char* fehlt : {"a", "ABC", "ABCDE", "ABCDEFG", "A ", "b"}) EXPECT_EQ(netz.suche(fehlt), 9) << fehlt;
  EXPECT_EQ(netz.suche(std::string("a\0", 2)), 9);
}

TEST(Namensindex, VieleNamenAuchOhneVorbereitung) {
  Namensindex index;
  for (int32_t i = 0; i < 5000; ++i) index.eintragen("N" + std::to_string(i), i);
  for (int32_t i = 0; i < 5000; ++i) index.eintragen("N" + std::to_string(i), -7);  // ignored: already there
  for (int32_t i = 0; i < 5000; i += 37) EXPECT_EQ(index.finden("N" + std::to_string(i)), i);
  EXPECT_EQ(index.finden("N5000"), -1);
  index.leeren();
  EXPECT_EQ(index.finden("N1"), -1);
}

}  // namespace
}  // namespace velkor
