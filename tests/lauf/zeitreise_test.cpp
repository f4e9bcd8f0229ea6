// Going back in time against the straight run: on the bundled examples and
// on random nets (learning, windowed rule, inhibition, P 100 and P 50, 1 and
// 2 threads, edits between steps, budgets that force thinning), every state
// reached again by going back and running on equals the straight run's bit
// for bit, firings included; snapshots survive bytes and refuse what they
// must.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <sstream>

#include "engine/zustandsbild.h"
#include "engine/zyklus.h"
#include "lauf/start.h"
#include "lauf/verlauf.h"
#include "net/zustand.h"
#include "tests/engine/testnetz.h"
#include "tests/engine/zufallsnetz.h"

namespace velkor {
namespace {

using test::Testverzeichnis;
using test::Zufallsnetz;
using test::zustandsabbild;

class Feuerliste : public Zyklusanzeige {
 public:
  std::vector<int32_t>* ziel = nullptr;
  void gefeuert(int32_t z) override {
    if (ziel != nullptr) ziel->push_back(z);
  }
};

// An edit between steps, as the Python setters make them.
struct Eingriff {
  enum Art { potenzial, erregen, p } art;
  int32_t zelle;
  double wert;
};

struct Lauf {
  Simulation sim;
  Verlauf verlauf;
  Feuerliste feuer;
  std::map<int32_t, std::vector<Eingriff>> eingriffe;

  bool laden(const std::string& netz, const std::string& eingabe, int32_t p, uint64_t seed, int32_t faeden) {
    sim.param.netzdateiname = netz;
    sim.param.eingabedateiname = eingabe;
    sim.param.pWert = p;
    sim.zufall.seed(seed);
    sim.faeden.setzen(faeden);
    sim.faeden.mindestZellen = 1;
    if (netzVorbereiten(sim).status != Ladestatus::ok || sim.lauf.netzfehler) return false;
    std::string fehler;
    if (!eingabeVorbereiten(sim, fehler)) return false;
    verlauf.neuBeginnen(sim);
    return true;
  }
  // The edits of step t, before it runs.
  void eingreifen() {
    auto it = eingriffe.find(sim.zeittakt);
    if (it == eingriffe.end()) return;
    for (const Eingriff& e : it->second) {
      laufzaehlerAbgleichen(sim);
      if (e.art == Eingriff::potenzial) sim.netz.Zelltabelle[static_cast<std::size_t>(e.zelle)].potenzial = e.wert;
      if (e.art == Eingriff::erregen) sim.eingabe.vormerken(e.zelle);
      if (e.art == Eingriff::p) sim.param.pWert = static_cast<int32_t>(e.wert);
      sim.plan.verwerfen();
      verlauf.aenderung(sim);
    }
  }
  void schritt(std::vector<int32_t>* gefeuert) {
    feuer.ziel = gefeuert;
    Verlaufswache wache(verlauf, sim, feuer);
    sim.lauf.anhalten = true;
    zyklus(sim, wache);
    feuer.ziel = nullptr;
  }
};

std::string zustand(const Simulation& sim) {
  return zustandsabbild(sim) + zustandstext(sim.netz, sim.zeittakt, 0, 0) + (sim.lauf.eingabeEnde ? "ende\n" : "") +
         sim.eingabe.eingabeWort() + " " + std::to_string(sim.eingabe.naechsterTakt()) + "\n";
}

// The first line in which two states differ, both versions; empty if equal.
std::string erstesAnders(const std::string& ist, const std::string& soll) {
  std::istringstream a(ist);
  std::istringstream b(soll);
  std::string x;
  std::string y;
  for (int zeile = 1;; ++zeile) {
    const bool ea = !std::getline(a, x);
    const bool eb = !std::getline(b, y);
    if (ea && eb) return "";
    if (ea != eb || x != y) return "line " + std::to_string(zeile) + ": \"" + x + "\" instead of \"" + y + "\"";
  }
}

// Runs `schritte` steps straight, then goes back and forth at random and
// compares every state reached with the straight run.
void pruefen(Lauf& lauf, int32_t schritte, std::mt19937& zufall, const std::string& was) {
  std::vector<std::string> soll;
  std::vector<std::vector<int32_t>> feuer(static_cast<std::size_t>(schritte));
  Simulation& sim = lauf.sim;
  for (int32_t t = 0; t < schritte; ++t) {
    lauf.eingreifen();
    // The reader of `zustand` needs exact counters; reading them changes no result.
    laufzaehlerAbgleichen(sim);
    soll.push_back(zustand(sim));
    lauf.schritt(&feuer[static_cast<std::size_t>(t)]);
  }
  laufzaehlerAbgleichen(sim);
  soll.push_back(zustand(sim));
  std::string fehler;
  Zyklusanzeige still;
  for (int runde = 0; runde < 6; ++runde) {
    const int32_t erster = lauf.verlauf.erster();
    if (erster >= schritte) break;
    const int32_t n = std::uniform_int_distribution<int32_t>(erster, schritte - 1)(zufall);
    const int32_t m = std::uniform_int_distribution<int32_t>(n, schritte)(zufall);
    ASSERT_TRUE(lauf.verlauf.gehe(sim, n, still, fehler)) << was << ": " << fehler;
    laufzaehlerAbgleichen(sim);
    ASSERT_EQ(erstesAnders(zustand(sim), soll[static_cast<std::size_t>(n)]), "") << was << ", back to " << n;
    // The state gone to holds the edits of step n; those of later steps are
    // made again as the steps are run again.
    for (int32_t t = n; t < m; ++t) {
      std::vector<int32_t> f;
      lauf.schritt(&f);
      lauf.eingreifen();
      ASSERT_EQ(f, feuer[static_cast<std::size_t>(t)]) << was << ", firings of step " << t;
    }
    laufzaehlerAbgleichen(sim);
    ASSERT_EQ(erstesAnders(zustand(sim), soll[static_cast<std::size_t>(m)]), "")
        << was << ", on from " << n << " to " << m;
    EXPECT_LE(lauf.verlauf.speicher(), std::max(lauf.verlauf.budget, std::size_t{1} << 20U)) << was;
    // And on to the end, so the next round has the whole run.
    for (int32_t t = m; t < schritte; ++t) {
      lauf.schritt(nullptr);
      lauf.eingreifen();
    }
  }
}

TEST(Zeitreise, ZufallsnetzeGleichDemGeradenLauf) {
  Testverzeichnis dir;
  std::mt19937 zufall(2207);
  for (uint32_t seed = 0; seed < 200; ++seed) {
    Zufallsnetz z(seed + 7000, seed % 5 == 0 ? 12 : 5);
    const int zellen = 3 + static_cast<int>(seed % 37);
    const std::string netz = dir.datei("z.net", z.netz(zellen));
    const std::string eingabe = dir.datei("z.ein", z.eingabe(zellen, 70));
    Lauf lauf;
    const int32_t p = seed % 3 == 0 ? 50 : 100;
    ASSERT_TRUE(lauf.laden(netz, eingabe, p, seed, 1 + static_cast<int32_t>(seed % 2)));
    // Budgets from none to plenty; checkpoints every step, or rarely.
    const std::size_t budgets[] = {0, 3000, 20000, Verlauf::standardBudget};
    lauf.verlauf.budget = budgets[seed % 4];
    lauf.verlauf.zeitanteil = seed % 7 == 0 ? 1e9 : seed % 7 == 1 ? 1e-9 : 0.04;
    if (seed % 2 == 1) {
      std::mt19937 e(seed);
      for (int i = 0; i < 6; ++i) {
        const int32_t t = std::uniform_int_distribution<int32_t>(0, 69)(e);
        const int32_t c = std::uniform_int_distribution<int32_t>(0, zellen - 1)(e);
        const auto art = static_cast<Eingriff::Art>(i % 3);
        lauf.eingriffe[t].push_back({art, c, art == Eingriff::p ? (i % 2 == 0 ? 50.0 : 100.0) : 0.3 + 0.1 * i});
      }
    }
    pruefen(lauf, 70, zufall, "seed " + std::to_string(seed));
    if (HasFatalFailure()) return;
  }
}

TEST(Zeitreise, BeispieleGleichDemGeradenLauf) {
  std::mt19937 zufall(11);
  const std::pair<const char*, const char*> beispiele[] = {
      {"lernen.net", "lernen.ein"}, {"nummern.nec", "nummern.ein"}, {"gross.net", "gross.ein"}};
  for (const auto& [netz, eingabe] : beispiele) {
    Lauf lauf;
    ASSERT_TRUE(lauf.laden(std::string(VELKOR_BEISPIELE) + "/" + netz, std::string(VELKOR_BEISPIELE) + "/" + eingabe,
                           100, 0, 2));
    pruefen(lauf, 60, zufall, netz);
  }
}

TEST(Zeitreise, SchrittFuerSchrittZurueckLegtPunkteInDieLuecke) {
  // One checkpoint only (at step 0); then back one step at a time from the
  // end: from the second step back on, the replays leave checkpoints behind,
  // and every state is the straight run's.
  Testverzeichnis dir;
  for (uint32_t seed : {21U, 22U, 23U}) {
    Zufallsnetz z(seed);
    const std::string netz = dir.datei("z.net", z.netz(25));
    const std::string eingabe = dir.datei("z.ein", z.eingabe(25, 90));
    Lauf lauf;
    ASSERT_TRUE(lauf.laden(netz, eingabe, seed == 22 ? 50 : 100, seed, 1 + seed % 2));
    lauf.verlauf.zeitanteil = 0;
    std::vector<std::string> soll;
    for (int t = 0; t < 80; ++t) {
      laufzaehlerAbgleichen(lauf.sim);
      soll.push_back(zustand(lauf.sim));
      lauf.schritt(nullptr);
    }
    ASSERT_EQ(lauf.verlauf.punktzahl(), 1U);
    std::string fehler;
    Zyklusanzeige still;
    for (int32_t n = 79; n >= 0; --n) {
      ASSERT_TRUE(lauf.verlauf.gehe(lauf.sim, n, still, fehler)) << fehler;
      laufzaehlerAbgleichen(lauf.sim);
      ASSERT_EQ(erstesAnders(zustand(lauf.sim), soll[static_cast<std::size_t>(n)]), "") << seed << ", back to " << n;
    }
    EXPECT_GT(lauf.verlauf.punktzahl(), 5U) << seed;
    // Forward again over them: the same states.
    ASSERT_TRUE(lauf.verlauf.gehe(lauf.sim, 79, still, fehler)) << fehler;
    laufzaehlerAbgleichen(lauf.sim);
    EXPECT_EQ(erstesAnders(zustand(lauf.sim), soll[79]), "") << seed;
  }
}

TEST(Zeitreise, AusserhalbDesVerlaufsUndGeaenderteEingabeSindFehlerOhneFolgen) {
  Testverzeichnis dir;
  Zufallsnetz z(5);
  const std::string netz = dir.datei("z.net", z.netz(12));
  const std::string eingabe = dir.datei("z.ein", z.eingabe(12, 40));
  Lauf lauf;
  ASSERT_TRUE(lauf.laden(netz, eingabe, 100, 0, 1));
  lauf.verlauf.zeitanteil = 1e-9;
  for (int i = 0; i < 20; ++i) lauf.schritt(nullptr);
  laufzaehlerAbgleichen(lauf.sim);
  const std::string jetzt = zustand(lauf.sim);
  std::string fehler;
  Zyklusanzeige still;
  // The limits: the first and the furthest step are there, one beyond each is not.
  ASSERT_TRUE(lauf.verlauf.gehe(lauf.sim, 20, still, fehler)) << fehler;
  ASSERT_TRUE(lauf.verlauf.gehe(lauf.sim, lauf.verlauf.erster(), still, fehler)) << fehler;
  ASSERT_TRUE(lauf.verlauf.gehe(lauf.sim, 20, still, fehler)) << fehler;
  laufzaehlerAbgleichen(lauf.sim);
  EXPECT_EQ(erstesAnders(zustand(lauf.sim), jetzt), "");
  for (const int32_t n : {lauf.verlauf.erster() - 1, 21, 1000}) {
    EXPECT_FALSE(lauf.verlauf.gehe(lauf.sim, n, still, fehler)) << n;
    EXPECT_NE(fehler.find("not in the history"), std::string::npos) << fehler;
  }
  // The input file rewritten: its entries cannot be read the same again.
  std::filesystem::last_write_time(eingabe, std::filesystem::last_write_time(eingabe) + std::chrono::seconds(5));
  EXPECT_FALSE(lauf.verlauf.gehe(lauf.sim, 3, still, fehler));
  EXPECT_NE(fehler.find("has changed"), std::string::npos) << fehler;
  laufzaehlerAbgleichen(lauf.sim);
  EXPECT_EQ(erstesAnders(zustand(lauf.sim), jetzt), "");
}

TEST(Zeitreise, BytesEinesBildsZurueckUndBeschaedigteAbgelehnt) {
  Testverzeichnis dir;
  Zufallsnetz z(9);
  const std::string netz = dir.datei("z.net", z.netz(30));
  const std::string eingabe = dir.datei("z.ein", z.eingabe(30, 40));
  Lauf lauf;
  ASSERT_TRUE(lauf.laden(netz, eingabe, 50, 3, 1));
  for (int i = 0; i < 25; ++i) lauf.schritt(nullptr);
  Packer packer;
  const uint64_t kennung = netzkennung(lauf.sim.netz);
  const Zustandsbild bild = zustandAufnehmen(lauf.sim, nullptr);
  const std::string bytes = zustandsbytes(bild, kennung, packer);
  laufzaehlerAbgleichen(lauf.sim);
  const std::string soll = zustand(lauf.sim);
  for (int i = 0; i < 10; ++i) lauf.schritt(nullptr);
  Zustandsbild gelesen;
  std::string fehler;
  ASSERT_TRUE(zustandAusBytes(bytes, kennung, gelesen, fehler)) << fehler;
  ASSERT_TRUE(zustandHerstellen(lauf.sim, gelesen, packer, fehler)) << fehler;
  laufzaehlerAbgleichen(lauf.sim);
  EXPECT_EQ(erstesAnders(zustand(lauf.sim), soll), "");
  // Every byte changed, every length cut: refused, never a wrong state.
  for (std::size_t i = 0; i < bytes.size(); i += 1 + bytes.size() / 300) {
    std::string b = bytes;
    b[i] = static_cast<char>(b[i] ^ 0x5A);
    EXPECT_FALSE(zustandAusBytes(b, kennung, gelesen, fehler)) << "byte " << i;
    EXPECT_FALSE(zustandAusBytes(std::string_view(bytes).substr(0, i), kennung, gelesen, fehler)) << "cut " << i;
  }
  EXPECT_FALSE(zustandAusBytes(bytes, kennung + 1, gelesen, fehler));
  EXPECT_NE(fehler.find("another net"), std::string::npos) << fehler;
  EXPECT_FALSE(zustandAusBytes("VELKZB02" + bytes.substr(8), kennung, gelesen, fehler));
}

TEST(Zeitreise, BlockgrenzenDerSpalten) {
  // Columns of exactly one block, one byte more and one less, and every
  // remainder mod 4 of the element count: what comes back is what went in,
  // and equal blocks are shared.
  Packer packer;
  constexpr std::size_t b = Spaltenbild::blockgroesse;
  // From 32 blocks on a column is packed on two threads: 31, 32 and 33 blocks.
  for (const std::size_t n : {std::size_t{0}, std::size_t{1}, b - 1, b, b + 1, 2 * b, 2 * b + 3, 3 * b - 2, 31 * b,
                              32 * b - 1, 32 * b, 32 * b + 1, 33 * b + 2}) {
    std::vector<char> daten(n);
    for (std::size_t i = 0; i < n; ++i) daten[i] = static_cast<char>((i * 7) % 13);
    Spaltenbild erst;
    EXPECT_EQ(erst.aufnehmen(daten.data(), n, nullptr), n);
    if (n > 0) daten[n - 1] = 99;
    Spaltenbild zweit;
    const std::size_t neu = zweit.aufnehmen(daten.data(), n, &erst);
    EXPECT_EQ(neu, n == 0 ? 0 : (n - 1) % b + 1) << n;  // only the last block is new
    erst.packen(&zweit, packer);
    std::vector<char> zurueck(n);
    zweit.herstellen(zurueck.data(), packer);
    EXPECT_EQ(zurueck, daten) << n;
    // Only the block the second does not share may have been packed; then
    // all of the second (the shared ones for both): each unpacks as it was.
    for (std::size_t i = 0; i + 1 < erst.bloecke.size(); ++i) EXPECT_FALSE(erst.bloecke[i]->gepackt) << n << " " << i;
    zweit.packen(nullptr, packer);
    for (const auto& block : zweit.bloecke) EXPECT_TRUE(block->gepackt || block->roh < b) << n;
    zweit.herstellen(zurueck.data(), packer);
    EXPECT_EQ(zurueck, daten) << n;
    if (n > 0) daten[n - 1] = static_cast<char>(((n - 1) * 7) % 13);
    erst.herstellen(zurueck.data(), packer);
    EXPECT_EQ(zurueck, daten) << n;
  }
}

}  // namespace
}  // namespace velkor
