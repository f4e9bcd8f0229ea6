// The thread pool of the time step: how a phase is split, that every part
// runs exactly once per job, and where the thread count comes from; what the
// pieces hand on (arrivals, the due groups of a piece).

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <random>
#include <thread>
#include <vector>

#include "engine/ankunftsplan.h"
#include "engine/faeden.h"
#include "engine/teilarbeit.h"

namespace velkor {
namespace {

TEST(Faeden, TeileErstAbMindestZellenJeTeil) {
  // {threads, fewest cells per part, cells, parts}: a part more only at
  // exactly its multiple of the minimum, never more than the threads.
  const struct {
    int32_t faeden, mindest, zellen, teile;
  } faelle[] = {
      {4, 100, 0, 1},   {4, 100, 199, 1},    {4, 100, 200, 2}, {4, 100, 299, 2}, {4, 100, 300, 3}, {4, 100, 400, 4},
      {4, 100, 401, 4}, {4, 100, 100000, 4}, {1, 1, 1000, 1},  {8, 1, 3, 3},     {8, 1, 1, 1},     {3, 0, 10, 3},
  };
  for (const auto& f : faelle) {
    Faeden faeden;
    faeden.setzen(f.faeden);
    faeden.mindestZellen = f.mindest;
    EXPECT_EQ(faeden.teile(f.zellen), f.teile) << f.faeden << " " << f.mindest << " " << f.zellen;
  }
  Faeden faeden;
  faeden.setzen(0);
  EXPECT_EQ(faeden.anzahl(), 1);
  faeden.setzen(5000);
  EXPECT_EQ(faeden.anzahl(), 1024);
  EXPECT_EQ(Faeden::standardMindestZellen, 16384) << "10^4 cells stay on one thread, 10^5 are split";
}

TEST(Faeden, JedesStueckGenauEinmalProAuftrag) {
  // Jobs of every size from no piece to many more pieces than threads, one
  // right after the other (a worker woken late must not take a piece of the
  // job before, nor run one twice), and the thread count changed between them.
  for (const int32_t anzahl : {1, 2, 3, 8}) {
    Faeden faeden;
    faeden.setzen(anzahl);
    for (int runde = 0; runde < 400; ++runde) {
      const int32_t teile = 1 + runde % (anzahl + 2);
      const int32_t stuecke = runde % 3 == 0 ? runde % 7 : anzahl * Faeden::stueckeJeTeil + runde % 5;
      std::vector<std::atomic<int>> genommen(static_cast<std::size_t>(stuecke));
      std::atomic<bool> teilImBereich{true};
      faeden.verteilen(teile, stuecke, [&](int32_t s, int32_t teil) {
        genommen[static_cast<std::size_t>(s)].fetch_add(1);
        if (teil < 0 || teil >= std::min(teile, anzahl)) teilImBereich = false;
      });
      for (const auto& g : genommen) EXPECT_EQ(g.load(), 1) << anzahl << " threads, " << stuecke << " pieces";
      EXPECT_TRUE(teilImBereich.load()) << anzahl << " threads, " << teile << " parts";
    }
    // More pieces than one job holds: the jobs split them at 65535, each once.
    for (const int32_t stuecke : {65535, 65536, 70001}) {
      std::vector<std::atomic<int>> genommen(static_cast<std::size_t>(stuecke));
      faeden.verteilen(anzahl, stuecke, [&](int32_t s, int32_t) { genommen[static_cast<std::size_t>(s)].fetch_add(1); });
      int falsch = 0;
      for (const auto& g : genommen) falsch += g.load() != 1 ? 1 : 0;
      EXPECT_EQ(falsch, 0) << anzahl << " threads, " << stuecke << " pieces";
    }
    faeden.setzen(anzahl + 1);
    std::atomic<int> zaehler{0};
    faeden.verteilen(anzahl + 1, 3 * (anzahl + 1), [&](int32_t s, int32_t) { zaehler.fetch_add(s + 1); });
    const int n = 3 * (anzahl + 1);
    EXPECT_EQ(zaehler.load(), n * (n + 1) / 2);
  }
}

TEST(Faeden, EinFadenNimmtAuchDenBlockDesAnderen) {
  // The thread that takes piece 0 stays in it until every other piece is
  // done: the other thread must take the rest of both blocks, its own and
  // the one piece 0 came from.
  Faeden faeden;
  faeden.setzen(2);
  for (int runde = 0; runde < 20; ++runde) {
    constexpr int32_t stuecke = 2 * Faeden::stueckeJeTeil;
    std::atomic<int32_t> fertig{0};
    std::atomic<int32_t> teilVonNull{-1};
    std::atomic<bool> derselbe{false};
    std::atomic<bool> zuLange{false};
    faeden.verteilen(2, stuecke, [&](int32_t s, int32_t teil) {
      if (s != 0) {
        if (teil == teilVonNull.load()) derselbe = true;
        fertig.fetch_add(1);
        return;
      }
      teilVonNull = teil;
      const auto bis = std::chrono::steady_clock::now() + std::chrono::seconds(10);
      while (fertig.load() != stuecke - 1) {
        if (std::chrono::steady_clock::now() > bis) {
          zuLange = true;
          return;
        }
        std::this_thread::yield();
      }
    });
    ASSERT_FALSE(zuLange.load()) << "round " << runde;
    ASSERT_FALSE(derselbe.load()) << "round " << runde;
  }
}

TEST(Faeden, VorgabeAusDerUmgebung) {
  const char* vorher = std::getenv("VELKOR_THREADS");
  const std::string gemerkt = vorher ? vorher : "";
  unsetenv("VELKOR_THREADS");
  const int32_t kerne = Faeden::vorgabe();
  EXPECT_GE(kerne, 1);
  const struct {
    const char* wert;
    int32_t erwartet;
  } faelle[] = {{"3", 3},     {"1", 1},      {"1024", 1024}, {"5000", 1024},
                {"0", kerne}, {"-2", kerne}, {"2x", kerne},  {"", kerne}};
  for (const auto& f : faelle) {
    setenv("VELKOR_THREADS", f.wert, 1);
    EXPECT_EQ(Faeden::vorgabe(), f.erwartet) << f.wert;
    EXPECT_EQ(Faeden().anzahl(), f.erwartet) << f.wert;
  }
  if (vorher) {
    setenv("VELKOR_THREADS", gemerkt.c_str(), 1);
  } else {
    unsetenv("VELKOR_THREADS");
  }
}

TEST(Faeden, ZielteilungDecktJedeZelleAufsteigend) {
  // Every cell belongs to a part below the count, parts ascend with the
  // cells, and the first and last cells fall into the first and last used
  // part, at exact multiples and one cell more or less.
  for (const int32_t teile : {1, 2, 3, 8}) {
    for (const int32_t zellen : {1, teile, teile * 5 - 1, teile * 5, teile * 5 + 1, 100003}) {
      const Zielteilung z(zellen, teile);
      std::size_t vorher = 0;
      for (int32_t c = 0; c < zellen; ++c) {
        const std::size_t t = z.teil(c);
        ASSERT_LT(t, static_cast<std::size_t>(teile)) << zellen << " " << c;
        ASSERT_GE(t, vorher) << zellen << " " << c;
        ASSERT_LE(t, vorher + 1) << zellen << " " << c;
        vorher = t;
      }
      EXPECT_EQ(z.teil(0), 0U);
      if (zellen % teile == 0) {
        EXPECT_EQ(z.teil(zellen - 1), static_cast<std::size_t>(teile - 1)) << zellen;
      }
    }
  }
}

TEST(Faeden, StueckeDeckenDenWegInGleichenBloeckenMitSchrumpfendenStuecken) {
  // Pieces cover the walk from its first cell to its end, ascending. In
  // whole blocks, the blocks are equal stretches (as Faeden hands them to
  // the threads) and no piece is longer than the one before it in its block,
  // up to a cell of rounding; other counts give equal pieces.
  constexpr int32_t n = Faeden::stueckeJeTeil;
  for (const int32_t erste : {0, 7}) {
    for (const int32_t stuecke : {1, n - 1, n, n + 1, 2 * n, 3 * n, 8 * n}) {
      for (const int32_t zahl : {0, 1, stuecke - 1, stuecke, stuecke + 1, 10 * stuecke - 1, 100003}) {
        const int32_t ende = erste + zahl;
        ASSERT_EQ(stueckanfang(erste, ende, 0, stuecke), erste);
        ASSERT_EQ(stueckanfang(erste, ende, stuecke, stuecke), ende);
        const bool bloecke = stuecke % n == 0;
        for (int32_t s = 0; s < stuecke; ++s) {
          const int32_t von = stueckanfang(erste, ende, s, stuecke);
          const int32_t bis = stueckanfang(erste, ende, s + 1, stuecke);
          ASSERT_LE(von, bis) << stuecke << " " << zahl << " " << s;
          if (bloecke && s % n == 0) {
            ASSERT_EQ(von, erste + int64_t{zahl} * (s / n) / (stuecke / n)) << stuecke << " " << zahl << " " << s;
          }
          if (bloecke && s % n != 0) {
            const int32_t vorher = von - stueckanfang(erste, ende, s - 1, stuecke);
            ASSERT_LE(bis - von, vorher + 1) << stuecke << " " << zahl << " " << s;
          }
          if (!bloecke) {
            ASSERT_LE(bis - von, zahl / stuecke + 1) << stuecke << " " << zahl << " " << s;
          }
        }
      }
    }
  }
}

TEST(Faeden, TeilenNachArbeit) {
  // Stretches of a walk by weight: contiguous, covering everything, and a
  // part gets nothing only when there is less to share than parts.
  std::vector<std::size_t> grenzen;
  teilen(
      10, 2, [](std::size_t) { return 0U; }, grenzen);
  EXPECT_EQ(grenzen, (std::vector<std::size_t>{0, 5, 10}));
  teilen(
      4, 3, [](std::size_t i) { return i == 0 ? 1000U : 0U; }, grenzen);
  EXPECT_EQ(grenzen.front(), 0U);
  EXPECT_EQ(grenzen.back(), 4U);
  EXPECT_EQ(grenzen[1], 1U) << "the heavy first item is a part of its own";
  teilen(
      2, 8, [](std::size_t) { return 5U; }, grenzen);
  ASSERT_EQ(grenzen.size(), 9U);
  for (std::size_t p = 1; p < grenzen.size(); ++p) EXPECT_LE(grenzen[p - 1], grenzen[p]);
  EXPECT_EQ(grenzen.back(), 2U);
  teilen(
      0, 3, [](std::size_t) { return 1U; }, grenzen);
  EXPECT_EQ(grenzen, (std::vector<std::size_t>{0, 0, 0, 0}));
}

TEST(Teilarbeit, AnkunftBehaeltZielFestUndGewichtInSechzehnBytes) {
  static_assert(sizeof(Ankunft) == 16);
  struct Fall {
    std::size_t k;
    int32_t ziel;
    bool fest;
    double gewicht;
    bool verbraucht;
  };
  // Places up to 2^31 - 1, the last one a net that runs phase 3 in parts has.
  constexpr std::size_t letzterPlatz = (std::size_t{1} << 31U) - 1;
  for (const Fall& f : {Fall{0, 0, true, 0.0, false}, Fall{0, 0, false, -0.0, true}, Fall{12345, 3, true, 0.35, false},
                        Fall{letzterPlatz, INT32_MAX, true, -1.2e300, false},
                        Fall{letzterPlatz, 0, false, 1e-310, true}, Fall{letzterPlatz, 5, false, 2.0, false},
                        Fall{7, INT32_MAX, false, -0.6, true}}) {
    const Ankunft a(f.k, f.ziel, f.fest, f.gewicht, f.verbraucht);
    EXPECT_EQ(a.k(), f.k);
    EXPECT_EQ(a.ziel(), f.ziel);
    EXPECT_EQ(a.fest(), f.fest) << f.ziel;
    EXPECT_EQ(a.verbraucht(), f.verbraucht) << f.k;
    EXPECT_EQ(std::memcmp(&a.gewicht, &f.gewicht, sizeof(double)), 0) << f.gewicht;
  }
}

TEST(Ankunftsplan, OrdnenGibtJedeNummerEinmalAufsteigend) {
  // Few numbers are sorted, many go through a bit per group: bucket sizes on
  // both sides of 64, ranges that start and end inside a word of 64 groups,
  // and a range so wide that many numbers are still few for it.
  std::mt19937 zufall(7);
  std::vector<uint64_t> bitfeld;
  std::vector<uint32_t> aus;
  for (const uint32_t von : {0U, 64U, 100U, 1000U}) {
    for (const uint32_t breite : {1U, 63U, 64U, 65U, 4000U, 100000U}) {
      for (const std::size_t anzahl : {0U, 1U, 63U, 64U, 65U, 500U, 5000U}) {
        std::uniform_int_distribution<uint32_t> nummer(von, von + breite - 1);
        std::vector<uint32_t> eimer(anzahl);
        for (uint32_t& n : eimer) n = nummer(zufall);
        std::vector<uint32_t> erwartet = eimer;
        std::sort(erwartet.begin(), erwartet.end());
        erwartet.erase(std::unique(erwartet.begin(), erwartet.end()), erwartet.end());
        Ankunftsplan::ordnen(eimer, von, von + breite, bitfeld, aus);
        EXPECT_EQ(aus, erwartet) << von << " + " << breite << ", " << anzahl << " numbers";
        EXPECT_TRUE(eimer.empty());
        EXPECT_EQ(std::count(bitfeld.begin(), bitfeld.end(), 0U), static_cast<std::ptrdiff_t>(bitfeld.size()));
      }
    }
  }
}

}  // namespace
}  // namespace velkor
