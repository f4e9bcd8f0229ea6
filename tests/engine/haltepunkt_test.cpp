// Breakpoints on random nets: a run halts exactly after the step that one
// catches, the state there is that of a straight run of as many steps, and
// the next run simply goes on. Step breakpoints beside stop marks, potential
// crossings at values that do not round cleanly, and the cell names of the
// front ends.

#include "lauf/haltepunkt.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
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

using test::Testverzeichnis;
using test::Zufallsnetz;
using test::zustandsabbild;

// Notes every firing and the potentials at the end of every step.
class Verlauf : public Zyklusanzeige {
 public:
  explicit Verlauf(const Simulation& sim) : sim_(sim) {}
  void gefeuert(int32_t zelle) override { feuerungen.emplace_back(sim_.zeittakt, zelle); }
  void taktanzeige() override {
    std::vector<double> p;
    for (const TZelle& z : sim_.netz.Zelltabelle) p.push_back(z.potenzial);
    potenziale.push_back(std::move(p));
  }
  std::vector<std::pair<int32_t, int32_t>> feuerungen;  // (step, cell)
  std::vector<std::vector<double>> potenziale;          // per step, per cell

 private:
  const Simulation& sim_;
};

struct Netzlauf {
  std::unique_ptr<Simulation> sim = std::make_unique<Simulation>();
  Verlauf verlauf{*sim};

  Netzlauf(const Testverzeichnis& dir, const std::string& netz, const std::string& eingabe, int32_t pWert,
           int32_t faeden) {
    std::ostringstream protokoll;
    EXPECT_EQ(netzladenAusText(netz, 0, 0, sim->netz, protokoll).status, Ladestatus::ok);
    sim->param.pWert = pWert;
    sim->faeden.setzen(faeden);
    sim->faeden.mindestZellen = 1;  // small nets split too
    std::string fehler;
    EXPECT_TRUE(sim->eingabe.eingabestart(dir.datei("netz.ein", eingabe), fehler)) << fehler;
  }
  std::string abbild() {
    laufzaehlerAbgleichen(*sim);
    return zustandsabbild(*sim);
  }
};

// A random net and its input, and the straight run: every step single,
// the state after each.
struct Fall {
  Testverzeichnis dir;
  std::string netz;
  std::string eingabe;
  int32_t pWert;
  int32_t faeden;
  int schritte;
  std::vector<std::string> abbilder;  // after step t
  std::vector<std::pair<int32_t, int32_t>> feuerungen;
  std::vector<std::vector<double>> potenziale;
  std::vector<double> anfang;  // potentials before step 0

  Fall(uint32_t seed, int schritte_) : pWert(seed % 2 == 0 ? 100 : 50), faeden(seed % 3 == 0 ? 3 : 1) {
    Zufallsnetz z(seed);
    const int zellen = 20 + static_cast<int>(seed % 5) * 6;
    netz = z.netz(zellen);
    eingabe = z.eingabe(zellen, 100);
    schritte = schritte_;
    Netzlauf l = lauf();
    for (const TZelle& c : l.sim->netz.Zelltabelle) anfang.push_back(c.potenzial);
    for (int t = 0; t < schritte; ++t) {
      einzelschritt(*l.sim, l.verlauf);
      abbilder.push_back(l.abbild());
    }
    feuerungen = l.verlauf.feuerungen;
    potenziale = l.verlauf.potenziale;
  }
  Netzlauf lauf() const { return Netzlauf(dir, netz, eingabe, pWert, faeden); }
  double potenzial(int32_t t, int32_t c) const {
    return t < 0 ? anfang[static_cast<std::size_t>(c)]
                 : potenziale[static_cast<std::size_t>(t)][static_cast<std::size_t>(c)];
  }
};

// Runs until stop with `h` over and over, as far as the straight run
// reaches; the steps after which a breakpoint halted and what it reported.
// Each halt's state must be that of the straight run.
std::vector<std::vector<Halt>> halteLaufen(const Fall& f, const Haltepunkte& h) {
  Netzlauf l = f.lauf();
  std::vector<std::vector<Halt>> alle;
  std::vector<Halt> halte;
  while (l.sim->zeittakt < f.schritte) {
    const int32_t vorher = l.sim->zeittakt;
    // Once the input has ended, single steps (which report as runs do).
    const int64_t n = l.sim->lauf.eingabeEnde ? einzelschritt(*l.sim, l.verlauf, h, halte)
                                              : bisStop(*l.sim, l.verlauf, nullptr, h, halte);
    EXPECT_EQ(n, l.sim->zeittakt - vorher);
    if (halte.empty() || l.sim->zeittakt > f.schritte) continue;
    EXPECT_TRUE(l.sim->lauf.anhalten);
    EXPECT_EQ(l.abbild(), f.abbilder[static_cast<std::size_t>(l.sim->zeittakt - 1)]) << "halt " << l.sim->zeittakt - 1;
    alle.push_back(halte);
  }
  // The hooks behind the breakpoints saw every firing (the last run may
  // have gone beyond the straight one).
  auto gesehen = l.verlauf.feuerungen;
  std::erase_if(gesehen, [&](const auto& e) { return e.first >= f.schritte; });
  EXPECT_EQ(gesehen, f.feuerungen);
  return alle;
}

TEST(Haltepunkt, FeuernHaeltNachJedemTaktInDemDieZelleFeuert) {
  for (uint32_t seed = 1; seed <= 12; ++seed) {
    const Fall f(seed, 80);
    std::mt19937 wahl(seed);
    // Two watched cells that fire in the straight run (or any, if none does).
    Haltepunkte h;
    for (int i = 0; i < 2 && !f.feuerungen.empty(); ++i) {
      h.feuern.push_back(f.feuerungen[wahl() % f.feuerungen.size()].second);
    }
    if (h.feuern.empty()) h.feuern.push_back(0);
    h.feuern.push_back(h.feuern.front());  // a breakpoint given twice halts once
    std::vector<std::vector<Halt>> erwartet;
    for (const auto& [t, c] : f.feuerungen) {
      if (std::find(h.feuern.begin(), h.feuern.end(), c) == h.feuern.end()) continue;
      if (erwartet.empty() || erwartet.back().front().takt != t) erwartet.emplace_back();
      erwartet.back().push_back(Halt{Haltart::feuern, c, t, 0.0});
    }
    EXPECT_EQ(halteLaufen(f, h), erwartet) << "seed " << seed;
  }
}

TEST(Haltepunkt, MehrereImSelbenTaktInFesterReihenfolge) {
  const Fall f(7, 60);
  // A step with at least two firings.
  std::size_t i = 1;
  while (i < f.feuerungen.size() && f.feuerungen[i].first != f.feuerungen[i - 1].first) ++i;
  ASSERT_LT(i, f.feuerungen.size());
  const auto [t, zweite] = f.feuerungen[i];
  const int32_t erste = f.feuerungen[i - 1].second;
  Haltepunkte h;
  h.takte = {t, t};
  h.feuern = {zweite, erste};
  Netzlauf l = f.lauf();
  std::vector<Halt> halte;
  // Single steps report as runs do.
  for (int32_t s = 0; s <= t; ++s) einzelschritt(*l.sim, l.verlauf, h, halte);
  const std::vector<Halt> erwartet{
      {Haltart::feuern, erste, t, 0.0}, {Haltart::feuern, zweite, t, 0.0}, {Haltart::takt, -1, t, 0.0}};
  EXPECT_EQ(halte, erwartet);
  EXPECT_EQ(l.abbild(), f.abbilder[static_cast<std::size_t>(t)]);
}

TEST(Haltepunkt, TaktmarkeNebenStopmarke) {
  // One cell, excited now and then; a stop mark "*** N" and a breakpoint at
  // N - 1, N or N + 1. A run ends after the stop mark's step and after the
  // breakpoint's; only the breakpoint reports.
  for (int32_t N = 1; N <= 9; ++N) {
    for (int32_t abstand : {-1, 0, 1}) {
      Testverzeichnis dir;
      const std::string netz = "z A 1 1\ns 1.0\na 0.9\nr 2\nc A 0.3 1\n";
      // The input ends in step 14.
      const std::string eingabe = "A 0\n*** " + std::to_string(N) + "\nA 11\nA 14\n\n";
      Netzlauf mit(dir, netz, eingabe, 100, 1);
      Netzlauf ohne(dir, netz, eingabe, 100, 1);
      Haltepunkte h;
      h.takte = {N + abstand};
      std::vector<Halt> halte;
      std::vector<Halt> keine;
      while (!mit.sim->lauf.eingabeEnde) {
        const int32_t von = mit.sim->zeittakt;
        const int64_t n = bisStop(*mit.sim, mit.verlauf, nullptr, h, halte);
        const int32_t letzter = von + static_cast<int32_t>(n) - 1;
        const bool haltepunkt = letzter == N + abstand;
        EXPECT_EQ(halte.empty(), !haltepunkt) << N << " " << abstand << " step " << letzter;
        if (haltepunkt) {
          EXPECT_EQ(halte, (std::vector<Halt>{{Haltart::takt, -1, letzter, 0.0}}));
        }
        // The run ends at the stop mark, the breakpoint or the end of the input, whichever comes first.
        const int32_t bis = von <= N ? N : 14;
        EXPECT_EQ(letzter, std::min(bis, von <= N + abstand ? N + abstand : bis)) << N << " " << abstand;
        for (int64_t i = 0; i < n; ++i) einzelschritt(*ohne.sim, ohne.verlauf, Haltepunkte{}, keine);
        EXPECT_TRUE(keine.empty());
        EXPECT_EQ(mit.abbild(), ohne.abbild());
      }
      EXPECT_EQ(mit.sim->zeittakt, 15);
    }
  }
}

TEST(Haltepunkt, Ueberschreiten) {
  const double drittel = 0.1 + 0.2;  // 0.30000000000000004
  const double darunter = std::nextafter(0.3, 0.0);
  struct Fall {
    double anfang, ende, wert;
    bool ueber;
  } faelle[] = {{0.0, 1.0, 0.5, true},           {1.0, 0.0, 0.5, true},        // upwards, downwards
                {0.0, 0.3, drittel, false},      {0.0, drittel, 0.3, true},    // one ulp short, one ulp beyond
                {drittel, 0.0, 0.3, true},       {0.3, darunter, 0.3, false},  // leaving the value is no crossing
                {darunter, 0.3, 0.3, true},      {0.3, 0.3, 0.3, false},       // reaching it is, staying is not
                {1.0, 0.3, 0.3, true},           {-0.1, -0.1, 0.0, false},     // from above onto it; no change
                {0.0, 0.0, 0.0, false},          {-1.0, -0.0, 0.0, true},      // -0.0 equals 0.0
                {0.0, std::nan(""), 0.5, false}, {std::nan(""), 1.0, 0.5, false}};
  for (const auto& f : faelle) {
    EXPECT_EQ(ueberschritten(f.anfang, f.ende, f.wert), f.ueber) << f.anfang << " -> " << f.ende << " at " << f.wert;
  }
}

TEST(Haltepunkt, PotenzialHaeltAnDerErstenUeberschreitung) {
  for (uint32_t seed = 21; seed <= 30; ++seed) {
    const Fall f(seed, 60);
    std::mt19937 wahl(seed);
    // Steps and cells whose potential changes to one other than 0.
    std::vector<std::pair<int32_t, int32_t>> wechsel;
    for (int32_t t = 0; t < f.schritte; ++t) {
      for (int32_t c = 0; c < static_cast<int32_t>(f.anfang.size()); ++c) {
        if (f.potenzial(t, c) != f.potenzial(t - 1, c) && f.potenzial(t, c) != 0) wechsel.emplace_back(t, c);
      }
    }
    ASSERT_FALSE(wechsel.empty());
    for (int versuch = 0; versuch < 4; ++versuch) {
      const auto [k, c] = wechsel[wahl() % wechsel.size()];
      // The potential the straight run leaves after step k, one ulp either
      // side of it, and halfway from the value before it.
      const double p = f.potenzial(k, c);
      for (const double wert :
           {p, std::nextafter(p, HUGE_VAL), std::nextafter(p, -HUGE_VAL), (p + f.potenzial(k - 1, c)) / 2}) {
        Haltepunkte h;
        h.potenziale = {{c, wert}, {c, wert}};
        std::vector<std::vector<Halt>> erwartet;
        for (int32_t t = 0; t < f.schritte; ++t) {
          if (ueberschritten(f.potenzial(t - 1, c), f.potenzial(t, c), wert)) {
            erwartet.push_back({Halt{Haltart::potenzial, c, t, wert}});
          }
        }
        EXPECT_EQ(halteLaufen(f, h), erwartet) << "seed " << seed << " cell " << c << " value " << wert;
      }
    }
  }
}

TEST(Haltepunkt, OhneHaltepunkteDerGewohnteLauf) {
  const Fall f(5, 50);
  Netzlauf l = f.lauf();
  std::vector<Halt> halte{Halt{}};
  // Cells outside the net never halt.
  Haltepunkte aussen;
  aussen.feuern = {-1, 1000};
  aussen.potenziale = {{-1, 0.0}, {1000, 0.0}};
  for (int t = 0; t < f.schritte; ++t) {
    EXPECT_EQ(einzelschritt(*l.sim, l.verlauf, t % 2 == 0 ? Haltepunkte{} : aussen, halte), 1);
    EXPECT_TRUE(halte.empty());
    EXPECT_EQ(l.abbild(), f.abbilder[static_cast<std::size_t>(t)]);
  }
}

TEST(Haltepunkt, ZelleNachText) {
  Netz netz;
  std::ostringstream protokoll;
  ASSERT_EQ(netzladenAusText("z A\nz 12\nz #1\nz B\nz A\ns 1\n", 0, 0, netz, protokoll).status, Ladestatus::ok);
  const std::pair<const char*, int32_t> faelle[] = {
      {"A", 0},  {"B", 3},  {"12", 1},  {"#1", 2},  {"#12", -1}, {"3", 3},   {"#3", 3},          {"4", 4},
      {"#4", 4}, {"5", -1}, {"#5", -1}, {"-1", -1}, {"#-1", -1}, {"+1", -1}, {"#+1", -1},        {"", -1},
      {"#", -1}, {"x", -1}, {"1x", -1}, {"0", 0},   {"00", 0},   {"a", -1},  {"99999999999", -1}};
  for (const auto& [text, zelle] : faelle) EXPECT_EQ(zelleNachText(netz, text), zelle) << text;
}

}  // namespace
}  // namespace velkor
