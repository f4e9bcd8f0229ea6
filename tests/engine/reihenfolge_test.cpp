// The connections of each cell stand by delay in memory; the list order is
// kept in a map. Whatever the places, every reader in list order sees the
// net as the file gave it.

#include <gtest/gtest.h>

#include <climits>
#include <random>
#include <sstream>
#include <string>

#include "engine/reihenfolge.h"
#include "net/zustand.h"
#include "tests/net/hilfen.h"

namespace velkor {
namespace {

// Cells with lists of the given lengths; delays drawn from a set that holds
// both ends of the order (negative, -1, 0, the largest) and every field given.
std::string netztext(const std::vector<int>& laengen, uint32_t seed) {
  std::mt19937 z(seed);
  const int32_t verzoegerungen[] = {3, 0, 1, -1, 2, -7, INT_MAX, 70000, 3, 1};
  std::ostringstream o;
  const auto n = static_cast<int>(laengen.size());
  for (int c = 0; c < n; ++c) {
    o << "z Z" << c << "\ns 1\n";
    for (int j = 0; j < laengen[static_cast<std::size_t>(c)]; ++j) {
      o << "c Z" << z() % n << ' ' << (static_cast<int>(z() % 200) - 100) / 100.0 << ' ' << verzoegerungen[z() % 10]
        << "\nm " << (z() % 50) / 10.0 << "\ni 0." << z() % 100 << "\nl 0.0" << z() % 10 << "\nx " << z() % 9 << "\n";
    }
  }
  return o.str();
}

TEST(Reihenfolge, OrdnenAendertNurDiePlaetze) {
  // Lengths around the limit of the one-byte map (256) and empty lists in between.
  const std::vector<std::vector<int>> faelle = {
      {0, 5, 0, 17, 1}, {256, 3, 0, 256}, {257, 0, 4}, {40, 40, 40, 0}, {1, 1, 1}};
  for (std::size_t f = 0; f < faelle.size(); ++f) {
    test::Geladen g = test::laden(netztext(faelle[f], static_cast<uint32_t>(f)));
    Netz& netz = g.netz;
    const std::string vorher = zustandstext(netz, 0, 0, 0);
    verbindungenOrdnen(netz);
    EXPECT_TRUE(verbindungenGeordnet(netz)) << "case " << f;
    EXPECT_EQ(zustandstext(netz, 0, 0, 0), vorher) << "case " << f;
    int laengste = 0;
    for (int l : faelle[f]) laengste = std::max(laengste, l);
    if (!netz.listenfolge.gleich()) {
      EXPECT_EQ(netz.listenfolge.kurz.empty(), laengste > 256) << "case " << f;
    }
    // The places by delay, list order within one delay; every list index
    // maps to a place of its own cell, found with and without the cell.
    for (int32_t c = 0; c < netz.zellenzahl; ++c) {
      std::vector<bool> belegt(netz.verbindungen.size());
      for (std::size_t k = netz.verbindungsanfang(c); k < netz.verbindungsende(c); ++k) {
        const std::size_t p = netz.platz(c, k);
        ASSERT_GE(p, netz.verbindungsanfang(c));
        ASSERT_LT(p, netz.verbindungsende(c));
        EXPECT_FALSE(belegt[p]);
        belegt[p] = true;
        EXPECT_EQ(netz.platz(k), p);
      }
    }
    // A second time changes nothing.
    const Verbindungen geordnet = netz.verbindungen;
    const Listenfolge folge = netz.listenfolge;
    verbindungenOrdnen(netz);
    EXPECT_EQ(netz.verbindungen.gewicht, geordnet.gewicht);
    EXPECT_EQ(netz.listenfolge.kurz, folge.kurz);
    EXPECT_EQ(netz.listenfolge.lang, folge.lang);
  }
}

TEST(Reihenfolge, DelaysChangedLaterAreOrderedAgainAndStaleMapsDropped) {
  test::Geladen g = test::laden(netztext({30, 30}, 9));
  Netz& netz = g.netz;
  verbindungenOrdnen(netz);
  // New delays through the list order, as a writer of the column does.
  for (std::size_t k = 0; k < netz.verbindungen.size(); ++k)
    netz.verbindungen.verzoegerung[netz.platz(k)] = static_cast<int32_t>(k % 4);
  const std::string vorher = zustandstext(netz, 0, 0, 0);
  EXPECT_FALSE(verbindungenGeordnet(netz));
  verbindungenOrdnen(netz);
  EXPECT_TRUE(verbindungenGeordnet(netz));
  EXPECT_EQ(zustandstext(netz, 0, 0, 0), vorher);
  // Columns rebuilt without the map: the map no longer fits and goes.
  netz.verbindungen.anhaengen(0, 1.0, 1);
  netz.verbindungsstart.back() += 1;
  verbindungenOrdnen(netz);
  EXPECT_TRUE(verbindungenGeordnet(netz));
}

}  // namespace
}  // namespace velkor
