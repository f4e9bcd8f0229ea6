// Breakpoints on random nets: a run halts exactly after the step that one
// catches, in the state of a straight run of as many steps, and the next run
// goes on. Step breakpoints beside stop marks, potential crossings at values
// that do not round cleanly, and the cell names of the front ends.

#include "lauf/haltepunkt.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "engine/zyklus.h"
#include "lauf/laufreihe.h"
#include "net/netzladen.h"
#include "tests/engine/testnetz.h"
#include "tests/engine/zufallsnetz.h"

namespace velkor {
namespace {

using Feuerungen = std::vector<std::pair<int32_t, int32_t>>;  // (step, cell)

// A loaded net with its input; notes every firing and the potentials before
// step 0 and after every step.
struct Netzlauf : Zyklusanzeige {
  std::unique_ptr<Simulation> sim = std::make_unique<Simulation>();
  Feuerungen feuerungen;
  std::vector<std::vector<double>> potenziale;

  Netzlauf(const test::Testverzeichnis& dir, const std::string& netz, const std::string& eingabe, int32_t pWert = 100,
           int32_t faeden = 1) {
    std::ostringstream protokoll;
    EXPECT_EQ(netzladenAusText(netz, 0, 0, sim->netz, protokoll).status, Ladestatus::ok);
    sim->param.pWert = pWert;
    sim->faeden.setzen(faeden);
    sim->faeden.mindestZellen = 1;  // small nets split too
    std::string fehler;
    EXPECT_TRUE(sim->eingabe.eingabestart(dir.datei("netz.ein", eingabe), fehler)) << fehler;
    taktanzeige();
  }
  void gefeuert(int32_t zelle) override { feuerungen.emplace_back(sim->zeittakt, zelle); }
  void taktanzeige() override {
    potenziale.emplace_back();
    for (const TZelle& z : sim->netz.Zelltabelle) potenziale.back().push_back(z.potenzial);
  }
  std::string abbild() {
    laufzaehlerAbgleichen(*sim);
    return test::zustandsabbild(*sim);
  }
};

// A random net (P 100 or 50, one thread or three) and its straight run of
// single steps, the state after each.
struct Fall {
  test::Testverzeichnis dir;
  std::string netz, eingabe;
  int32_t pWert, faeden;
  int schritte;
  std::vector<std::string> abbilder;
  Feuerungen feuerungen;
  std::vector<std::vector<double>> potenziale;  // [t + 1][cell]: after step t

  Fall(uint32_t seed, int n) : pWert(seed % 2 == 0 ? 100 : 50), faeden(seed % 3 == 0 ? 3 : 1), schritte(n) {
    test::Zufallsnetz z(seed);
    netz = z.netz(20 + static_cast<int>(seed % 5) * 6);
    eingabe = z.eingabe(20, 100);
    Netzlauf l = lauf();
    for (int t = 0; t < schritte; ++t) {
      einzelschritt(*l.sim, l);
      abbilder.push_back(l.abbild());
    }
    feuerungen = l.feuerungen;
    potenziale = l.potenziale;
  }
  Netzlauf lauf() const { return Netzlauf(dir, netz, eingabe, pWert, faeden); }
};

// Runs until stop with `h` (single steps once the input has ended) as far as
// the straight run reaches: what each halt reported, each in the state of
// the straight run.
std::vector<std::vector<Halt>> halteLaufen(const Fall& f, const Haltepunkte& h) {
  Netzlauf l = f.lauf();
  std::vector<std::vector<Halt>> alle;
  std::vector<Halt> halte;
  while (l.sim->zeittakt < f.schritte) {
    const int32_t von = l.sim->zeittakt;
    const int64_t n =
        l.sim->lauf.eingabeEnde ? einzelschritt(*l.sim, l, h, halte) : bisStop(*l.sim, l, nullptr, h, halte);
    EXPECT_EQ(n, l.sim->zeittakt - von);
    if (halte.empty() || l.sim->zeittakt > f.schritte) continue;
    EXPECT_TRUE(l.sim->lauf.anhalten);
    EXPECT_EQ(l.abbild(), f.abbilder[static_cast<std::size_t>(l.sim->zeittakt - 1)]);
    alle.push_back(halte);
  }
  // The hooks behind the breakpoints saw every firing.
  std::erase_if(l.feuerungen, [&](const auto& e) { return e.first >= f.schritte; });
  EXPECT_EQ(l.feuerungen, f.feuerungen);
  return alle;
}

TEST(Haltepunkt, FeuernHaeltNachJedemTaktInDemDieZelleFeuert) {
  for (uint32_t seed = 1; seed <= 12; ++seed) {
    const Fall f(seed, 80);
    std::mt19937 wahl(seed);
    // Cells that fire in the straight run, one given twice, and cells outside
    // the net, which never halt.
    Haltepunkte h{{-1, 1000}, {}, {}};
    for (int i = 0; i < 3; ++i) h.feuern.push_back(f.feuerungen.at(wahl() % f.feuerungen.size()).second);
    h.feuern.push_back(h.feuern.back());
    std::vector<std::vector<Halt>> erwartet;  // per step, in firing order
    for (const auto& [t, c] : f.feuerungen) {
      if (std::find(h.feuern.begin(), h.feuern.end(), c) == h.feuern.end()) continue;
      if (erwartet.empty() || erwartet.back().front().takt != t) erwartet.emplace_back();
      erwartet.back().push_back(Halt{Haltart::feuern, c, t, 0.0});
    }
    EXPECT_EQ(halteLaufen(f, h), erwartet) << "seed " << seed;
  }
}

TEST(Haltepunkt, TaktmarkeNebenStopmarke) {
  // A stop mark "*** N" and a breakpoint at N - 1, N or N + 1: a run ends
  // after whichever comes first, or at the end of the input in step 14;
  // only the breakpoint reports, and the state is that of the straight run.
  for (int32_t N = 1; N <= 9; ++N) {
    for (int32_t b : {N - 1, N, N + 1}) {
      test::Testverzeichnis dir;
      const std::string netz = "z A 1 1\ns 1.0\na 0.9\nr 2\nc A 0.3 1\n";
      const std::string eingabe = "A 0\n*** " + std::to_string(N) + "\nA 11\nA 14\n\n";
      Netzlauf mit(dir, netz, eingabe);
      Netzlauf ohne(dir, netz, eingabe);
      std::vector<Halt> halte;
      while (!mit.sim->lauf.eingabeEnde) {
        const int32_t von = mit.sim->zeittakt;
        const int32_t bis = von + static_cast<int32_t>(bisStop(*mit.sim, mit, nullptr, {{}, {}, {b}}, halte)) - 1;
        const int32_t stop = von <= N ? N : 14;
        EXPECT_EQ(bis, von <= b ? std::min(stop, b) : stop) << N << " " << b;
        EXPECT_EQ(halte, (bis == b ? std::vector<Halt>{{Haltart::takt, -1, b, 0.0}} : std::vector<Halt>{}));
        while (ohne.sim->zeittakt <= bis) einzelschritt(*ohne.sim, ohne);
        EXPECT_EQ(mit.abbild(), ohne.abbild());
      }
      EXPECT_EQ(mit.sim->zeittakt, 15);
    }
  }
}

TEST(Haltepunkt, Ueberschreiten) {
  const double drueber = 0.1 + 0.2;  // 0.30000000000000004
  const double drunter = std::nextafter(0.3, 0.0);
  const struct {
    double anfang, ende, wert;
    bool ueber;
  } faelle[] = {{0.0, 1.0, 0.5, true},     {1.0, 0.0, 0.5, true},      {0.0, 0.3, drueber, false},
                {drueber, 0.0, 0.3, true}, {0.3, drunter, 0.3, false}, {drunter, 0.3, 0.3, true},
                {0.3, 0.3, 0.3, false},    {-1.0, -0.0, 0.0, true},    {0.0, std::nan(""), 0.5, false},
                {0.3, drueber, 0.3, false}};  // leaving the value, either way, is no crossing
  for (const auto& f : faelle) {
    EXPECT_EQ(ueberschritten(f.anfang, f.ende, f.wert), f.ueber) << f.anfang << " -> " << f.ende << " at " << f.wert;
  }
}

TEST(Haltepunkt, PotenzialHaeltAnJederUeberschreitung) {
  for (uint32_t seed = 21; seed <= 30; ++seed) {
    const Fall f(seed, 60);
    const auto& p = f.potenziale;
    std::mt19937 wahl(seed);
    for (int versuch = 0; versuch < 4; ++versuch) {
      // A cell and step where the potential changes to one other than 0.
      std::size_t t = 0, c = 0;
      do {
        t = 1 + wahl() % (p.size() - 1);
        c = wahl() % p[t].size();
      } while (p[t][c] == p[t - 1][c] || p[t][c] == 0);
      // That value, one ulp either side of it, and halfway from the one before.
      for (const double wert : {p[t][c], std::nextafter(p[t][c], HUGE_VAL), std::nextafter(p[t][c], -HUGE_VAL),
                                (p[t][c] + p[t - 1][c]) / 2}) {
        const auto zelle = static_cast<int32_t>(c);
        std::vector<std::vector<Halt>> erwartet;
        for (std::size_t s = 1; s < p.size(); ++s) {
          if (ueberschritten(p[s - 1][c], p[s][c], wert)) {
            erwartet.push_back({Halt{Haltart::potenzial, zelle, static_cast<int32_t>(s - 1), wert}});
          }
        }
        const Haltepunkte h{{}, {{zelle, wert}, {zelle, wert}, {1000, wert}}, {}};
        EXPECT_EQ(halteLaufen(f, h), erwartet) << "seed " << seed << " cell " << c << " value " << wert;
      }
    }
  }
}

TEST(Haltepunkt, ZelleNachText) {
  Netz netz;
  std::ostringstream protokoll;
  ASSERT_EQ(netzladenAusText("z A\nz 12\nz #1\nz B\nz A\ns 1\n", 0, 0, netz, protokoll).status, Ladestatus::ok);
  // Names first; numbers up to the last cell, exactly, and one more.
  const std::pair<const char*, int32_t> faelle[] = {
      {"A", 0},   {"12", 1},  {"#1", 2},  {"#12", -1}, {"3", 3},  {"#4", 4},  {"4", 4},  {"5", -1},
      {"#5", -1}, {"-1", -1}, {"+1", -1}, {"", -1},    {"#", -1}, {"1x", -1}, {"00", 0}, {"99999999999", -1}};
  for (const auto& [text, zelle] : faelle) EXPECT_EQ(zelleNachText(netz, text), zelle) << text;
}

}  // namespace
}  // namespace velkor
