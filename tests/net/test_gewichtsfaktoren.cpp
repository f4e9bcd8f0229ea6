// The weight factor column in its narrow and its full form: the same values,
// bit for bit, as a plain column of doubles, on both sides of 256 distinct
// values, and as the loader fills it.

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "hilfen.h"
#include "net/gewichtsfaktoren.h"

namespace velkor {
namespace {

uint64_t bits(double x) { return std::bit_cast<uint64_t>(x); }

std::vector<uint64_t> spalte(const Gewichtsfaktoren& f) {
  std::vector<uint64_t> aus;
  for (std::size_t k = 0; k < f.size(); ++k) aus.push_back(bits(f.wert(k)));
  return aus;
}

std::vector<uint64_t> spalte(const std::vector<double>& v) {
  std::vector<uint64_t> aus;
  for (double x : v) aus.push_back(bits(x));
  return aus;
}

std::size_t verschiedene(const std::vector<double>& v) {
  std::set<uint64_t> s;
  for (double x : v) s.insert(bits(x));
  return s.size();
}

// `anzahl` distinct bit patterns; the first ones are those a plain == mixes
// up or never matches: -0.0 and 0.0, two NaN payloads, both infinities.
std::vector<double> vorrat(std::size_t anzahl) {
  std::vector<double> werte{-0.0,
                            0.0,
                            std::numeric_limits<double>::quiet_NaN(),
                            std::bit_cast<double>(uint64_t{0x7FF8000000000123}),
                            std::numeric_limits<double>::infinity(),
                            -std::numeric_limits<double>::infinity()};
  for (std::size_t i = 0; werte.size() < anzahl; ++i) werte.push_back(0.998 + static_cast<double>(i) * 1e-6);
  werte.resize(anzahl);
  return werte;
}

TEST(Gewichtsfaktoren, ZufaelligeSchritteGleichEinerSpalteAusDoubles) {
  // Around the limit of the narrow form, and far below and above it.
  for (const std::size_t anzahl : {1u, 7u, 255u, 256u, 257u, 300u}) {
    const std::vector<double> werte = vorrat(anzahl);
    std::mt19937 zufall(static_cast<uint32_t>(anzahl));
    auto wahl = [&](std::size_t n) { return std::uniform_int_distribution<std::size_t>(0, n - 1)(zufall); };
    Gewichtsfaktoren f;
    std::vector<double> soll;
    f.reserve(64);
    for (int schritt = 0; schritt < 3000; ++schritt) {
      const std::size_t art = soll.empty() ? 0 : wahl(10);
      if (art < 4) {
        const double x = werte[wahl(anzahl)];
        f.anhaengen(x);
        soll.push_back(x);
      } else if (art < 8) {
        const std::size_t k = wahl(soll.size());
        const double x = werte[wahl(anzahl)];
        f.setzen(k, x);
        soll[k] = x;
      } else if (art == 8) {
        const std::size_t von = wahl(soll.size());
        const std::size_t bis = von + wahl(soll.size() - von + 1);
        f.umkehren(von, bis);
        std::reverse(soll.begin() + static_cast<std::ptrdiff_t>(von), soll.begin() + static_cast<std::ptrdiff_t>(bis));
      } else {
        const double alt = werte[wahl(anzahl)];
        const double neu = werte[wahl(anzahl)];
        f.ersetzen(alt, neu);
        for (double& x : soll) {
          if (bits(x) == bits(alt)) x = neu;
        }
        // afterwards narrow exactly when the values allow it
        EXPECT_EQ(f.kurz(), verschiedene(soll) <= Gewichtsfaktoren::tabellengroesse) << anzahl;
      }
      ASSERT_EQ(spalte(f), spalte(soll)) << "values " << anzahl << ", step " << schritt;
    }
    // Once every value has been set, the narrow form holds exactly up to 256.
    EXPECT_EQ(f.kurz(), anzahl <= Gewichtsfaktoren::tabellengroesse || verschiedene(soll) <= 256) << anzahl;
    f.verdichten();
    EXPECT_EQ(f.kurz(), verschiedene(soll) <= Gewichtsfaktoren::tabellengroesse) << anzahl;
    EXPECT_EQ(spalte(f), spalte(soll)) << anzahl;
    if (f.kurz()) {
      for (std::size_t k = 0; k < soll.size(); ++k) ASSERT_EQ(bits(f.tabelle()[f.nummern()[k]]), bits(soll[k]));
    } else {
      for (std::size_t k = 0; k < soll.size(); ++k) ASSERT_EQ(bits(f.voll()[k]), bits(soll[k]));
    }
    f.clear();
    EXPECT_TRUE(f.kurz());
    EXPECT_EQ(f.size(), 0u);
  }
}

TEST(Gewichtsfaktoren, WertDes257stenMachtDieSpalteBreit) {
  Gewichtsfaktoren f;
  const std::vector<double> werte = vorrat(257);
  for (std::size_t i = 0; i < 256; ++i) f.anhaengen(werte[i]);
  f.setzen(3, werte[255]);  // a known value: no new entry
  EXPECT_TRUE(f.kurz());
  EXPECT_EQ(f.tabellenlaenge(), 256u);
  f.setzen(0, werte[256]);
  EXPECT_FALSE(f.kurz());
  EXPECT_EQ(bits(f.wert(0)), bits(werte[256]));
  EXPECT_EQ(bits(f.wert(3)), bits(werte[255]));
  EXPECT_EQ(bits(f.wert(1)), bits(0.0));
}

// The loader: a connection's "i" line, not given ones filled by an "f" block
// or by 1.0, and a 257th value in the middle of the file. Each cell has three
// connections; the file gives factor number 3c+j to its j-th line, the list
// holds them newest first.
struct Ladefall {
  std::size_t werte;  // distinct values given in the file
  bool luecken;       // every seventh connection without "i"
  const char* fuellen;  // the "f" block's "i" value, or nullptr
  bool kurz;
};

TEST(Gewichtsfaktoren, LaderFuelltDieSpalteBeiderFormen) {
  const Ladefall faelle[] = {
      {255, false, nullptr, true},  {256, false, nullptr, true},  {257, false, nullptr, false},
      {255, true, nullptr, true},   {256, true, nullptr, false},  {256, true, "0.5", false},
      // 256 given values and the placeholder of "not given" widen the column
      // during the load; the fill-in is one of them, so it ends narrow.
      {256, true, "0.900000", true}, {300, true, "0.5", false},
  };
  for (const Ladefall& fall : faelle) {
    std::vector<std::string> texte;
    for (std::size_t i = 0; i < fall.werte; ++i) {
      char wort[32];
      // "-0" and "0" are two values.
      if (i < 2) {
        std::snprintf(wort, sizeof wort, "%s", i == 0 ? "-0" : "0");
      } else {
        std::snprintf(wort, sizeof wort, "%.6f", 0.9 + static_cast<double>(i - 2) * 1e-6);
      }
      texte.push_back(wort);
    }
    const std::size_t zellen = (fall.werte + 20) / 3;
    std::string netz;
    std::vector<double> soll;
    for (std::size_t c = 0; c < zellen; ++c) {
      netz += "z Z" + std::to_string(c) + "\n";
      std::vector<double> zeile;
      for (std::size_t j = 0; j < 3; ++j) {
        const std::size_t n = 3 * c + j;
        netz += "c Z0 0.5 1\n";
        double wert = fall.fuellen != nullptr ? std::strtod(fall.fuellen, nullptr) : 1.0;
        if (!(fall.luecken && n >= fall.werte && n % 7 == 3)) {
          netz += "i " + texte[n % fall.werte] + "\n";
          wert = std::strtod(texte[n % fall.werte].c_str(), nullptr);
        }
        zeile.insert(zeile.begin(), wert);
      }
      soll.insert(soll.end(), zeile.begin(), zeile.end());
    }
    if (fall.fuellen != nullptr) netz += "f\ni " + std::string(fall.fuellen) + "\n";
    const auto g = test::laden(netz);
    ASSERT_EQ(g.ergebnis.status, Ladestatus::ok);
    EXPECT_EQ(spalte(g.netz.verbindungen.gewichtsfaktor), spalte(soll)) << fall.werte << ' ' << fall.luecken;
    EXPECT_EQ(g.netz.verbindungen.gewichtsfaktor.kurz(), fall.kurz) << fall.werte << ' ' << fall.luecken;
  }
}

}  // namespace
}  // namespace velkor
