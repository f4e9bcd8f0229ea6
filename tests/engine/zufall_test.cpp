#include "engine/zufall.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <vector>

namespace velkor {
namespace {

std::vector<int32_t> ziehen(Zufall& z, int n) {
  std::vector<int32_t> werte;
  for (int i = 0; i < n; ++i) werte.push_back(z.naechste0bis99());
  return werte;
}

int32_t abgebildet(uint32_t x) { return static_cast<int32_t>((static_cast<uint64_t>(x) * 100U) >> 32U); }

TEST(Zufall, StartzustandIstDerVonPcg32MitStartwert42UndStrom54) {
  // Published first outputs of PCG32 seeded with 42 on stream 54, mapped to 0..99.
  Zufall z;
  const std::array<uint32_t, 3> roh = {0xa15c02b7U, 0x7b47f409U, 0xba1d3330U};
  for (uint32_t x : roh) EXPECT_EQ(z.naechste0bis99(), abgebildet(x));
}

TEST(Zufall, JederProgrammstartBeginntGleichUndSeedWiederholtFolge) {
  Zufall a;
  Zufall b;
  EXPECT_EQ(ziehen(a, 50), ziehen(b, 50));
  a.seed(12345);
  b.seed(12345);
  EXPECT_EQ(ziehen(a, 50), ziehen(b, 50));
  Zufall c;
  c.seed(12346);
  a.seed(12345);
  EXPECT_NE(ziehen(a, 50), ziehen(c, 50));
}

TEST(Zufall, WerteLiegenIn0bis99UndKommenEtwaGleichOftVor) {
  Zufall z;
  std::array<int, 100> anzahl{};
  const int n = 200000;
  for (int i = 0; i < n; ++i) {
    int32_t r = z.naechste0bis99();
    ASSERT_GE(r, 0);
    ASSERT_LE(r, 99);
    ++anzahl[static_cast<std::size_t>(r)];
  }
  // Expected 2000 each; 1700..2300 is more than six standard deviations wide.
  for (int a : anzahl) {
    EXPECT_GT(a, 1700);
    EXPECT_LT(a, 2300);
  }
}

TEST(Zufall, VorrueckenUmNGleichtNZiehungen) {
  for (uint64_t n : {0ULL, 1ULL, 2ULL, 3ULL, 64ULL, 1000ULL, 123457ULL}) {
    Zufall gezogen;
    gezogen.seed(777);
    for (uint64_t i = 0; i < n; ++i) gezogen.naechste0bis99();
    Zufall gesprungen;
    gesprungen.seed(777);
    gesprungen.vorruecken(n);
    EXPECT_EQ(gesprungen.zustand(), gezogen.zustand()) << "n = " << n;
    EXPECT_EQ(ziehen(gesprungen, 10), ziehen(gezogen, 10)) << "n = " << n;
  }
}

TEST(Zufall, VorrueckenUmDiePeriodeKehrtZumZustandZurueck) {
  // The state runs through all 2^64 values; 2^63 twice is a full period.
  Zufall z;
  uint64_t vorher = z.zustand();
  z.vorruecken(1ULL << 63U);
  EXPECT_NE(z.zustand(), vorher);
  z.vorruecken(1ULL << 63U);
  EXPECT_EQ(z.zustand(), vorher);
}

TEST(Zufall, UhrzeitSeedAendertDenZustand) {
  Zufall z;
  uint64_t vorher = z.zustand();
  z.seed(Zufall::uhrzeitSeed());
  EXPECT_NE(z.zustand(), vorher);
}

}  // namespace
}  // namespace velkor
