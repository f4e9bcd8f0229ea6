// velkor-batch with breakpoints: the note lines, runs that halt at them
// against the straight run of the same net, and bad breakpoints.

#include <gtest/gtest.h>

#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "tests/engine/zufallsnetz.h"
#include "tests/tools/batchaufruf.h"

namespace velkor {
namespace {

using testhilfe::Batchumgebung;

// stdout without the times of the summary line, which differ from run to run.
std::string ohneZeiten(const std::string& aus) {
  static const std::regex zeiten(", [0-9.]+ s, [0-9]+ time steps/s");
  return std::regex_replace(aus, zeiten, "");
}

// The steps in which each cell fires, from the file of --spikes.
std::map<int, std::vector<int>> feuerungen(const std::string& csv) {
  std::map<int, std::vector<int>> aus;
  std::istringstream ein(csv.substr(csv.find('\n') + 1));  // without the header
  int takt = 0, zelle = 0;
  char komma = 0;
  while (ein >> takt >> komma >> zelle && ein.ignore(1000, '\n')) aus[zelle].push_back(takt);
  return aus;
}

// Random nets: the cell given by name, "#N" and N. Without --runs every
// breakpoint only splits the run to the end of the input: the state, the
// firings and the summary are those of the straight run, and stdout has a
// note line before it for every step a breakpoint caught.
TEST(Batchhalt, HalteTeilenDenLaufOhneIhnZuAendern) {
  const char* formen[] = {"C%d", "#%d", "%d"};
  for (uint32_t seed = 1; seed <= 6; ++seed) {
    Batchumgebung u;
    test::Zufallsnetz z(seed);
    const int zellen = 25;
    const std::string netz = u.datei("z.net", z.netz(zellen));
    const std::string eingabe = u.datei("z.ein", z.eingabe(zellen, 60));
    const std::string modus = seed % 2 == 0 ? "100" : "50";
    ASSERT_EQ(u.starten({"--state", "--spikes", "s.csv", "T", netz, eingabe, "p", modus}), 0) << u.fehler;
    const std::string gerade = ohneZeiten(u.aus);
    const std::string zustand = u.ausgabe("zustand.txt");
    const std::string spikes = u.ausgabe("s.csv");
    const auto feuert = feuerungen(spikes);
    ASSERT_FALSE(feuert.empty()) << seed;

    // A cell that fires, and a step in the middle of the run.
    const int zelle = std::next(feuert.begin(), static_cast<long>(seed % feuert.size()))->first;
    const int takt = 5 + static_cast<int>(seed) * 3;
    char name[16];
    std::snprintf(name, sizeof name, formen[seed % 3], zelle);
    ASSERT_EQ(u.starten({"--state", "--spikes", "s.csv", "--break-fires", name, "--break-step", std::to_string(takt),
                         "T", netz, eingabe, "p", modus}),
              0)
        << u.fehler;

    std::map<int, std::string> noten;
    for (int t : feuert.at(zelle))
      noten[t] = "--break-fires C" + std::to_string(zelle) + " (cell " + std::to_string(zelle) + ")";
    const bool auchFeuern = noten.count(takt) != 0;
    noten[takt] += (auchFeuern ? ", --break-step " : "--break-step ") + std::to_string(takt);
    std::string erwartet;
    for (const auto& [t, text] : noten) erwartet += "halt after time step " + std::to_string(t) + ": " + text + "\n";
    EXPECT_EQ(ohneZeiten(u.aus), erwartet + gerade) << "seed " << seed << " " << name;
    EXPECT_EQ(u.ausgabe("zustand.txt"), zustand) << seed;
    EXPECT_EQ(u.ausgabe("s.csv"), spikes) << seed;
  }
}

// Two cells; A excites B. Stop marks after the time steps 7 and 12, the end
// of the input in time step 15.
constexpr const char* kettenNetz = "z A 2 5\ns 1.0\na 0.5\nr 2\nc B 1.5 1\nz B 2 15\ns 1.0\na 0.5\nr 2\n";
constexpr const char* kettenEingabe = "A 0\nA 5\n*** 7\nA 10\n*** 12\nA 15 .\n";

class Batchkette : public ::testing::Test {
 protected:
  int kette(std::vector<std::string> optionen) {
    optionen.insert(optionen.end(), {"Kette", u.datei("kette.net", kettenNetz), u.datei("kette.ein", kettenEingabe)});
    return u.starten(optionen);
  }
  // stdout and "zustand.txt" of a run.
  std::pair<std::string, std::string> lauf(std::vector<std::string> optionen) {
    optionen.push_back("--state");
    EXPECT_EQ(kette(optionen), 0) << u.fehler;
    return {ohneZeiten(u.aus), u.ausgabe("zustand.txt")};
  }
  Batchumgebung u;
};

TEST_F(Batchkette, EinHaltZaehltAlsLauf) {
  // Breakpoints and runs, their notes, and the single steps that end in the same state.
  const std::tuple<std::vector<std::string>, std::string, int> faelle[] = {
      {{"--runs", "2", "--break-step", "3"}, "halt after time step 3: --break-step 3\n", 8},
      {{"--runs", "1", "--break-step", "7"}, "halt after time step 7: --break-step 7\n", 8},
      {{"--runs", "3", "--break-step", "6", "--break-fires", "B"},
       "halt after time step 3: --break-fires B (cell 1)\nhalt after time step 6: --break-step 6\n",
       8},
      {{"--runs", "1", "--break-fires", "#1", "--break-fires", "A"},
       "halt after time step 1: --break-fires A (cell 0)\n",
       2},
      {{"--runs", "0", "--steps", "3", "--break-step", "1"}, "halt after time step 1: --break-step 1\n", 3},
  };
  for (const auto& [optionen, noten, schritte] : faelle) {
    const auto [aus, zustand] = lauf(optionen);
    const auto [gerade, geradeZustand] = lauf({"--runs", "0", "--steps", std::to_string(schritte)});
    EXPECT_EQ(aus, noten + gerade) << optionen[3];
    EXPECT_EQ(zustand, geradeZustand) << optionen[3];
  }
}

TEST_F(Batchkette, UnbekannteZelleUndFalscherSchritt) {
  for (const char* zelle : {"C", "#2", "2", "-1", "b", "#"}) {
    EXPECT_EQ(kette({"--break-fires", "A", "--break-fires", zelle}), 2) << zelle;
    EXPECT_EQ(u.fehler, "velkor-batch: --break-fires: no cell \"" + std::string(zelle) + "\"\n");
    EXPECT_EQ(u.aus, "");
  }
  for (const char* schritt : {"-1", "2147483648", "x", ""}) {
    EXPECT_EQ(kette({"--break-step=" + std::string(schritt)}), 2) << schritt;
    EXPECT_NE(u.fehler.find("bad value for --break-step"), std::string::npos) << u.fehler;
  }
}

}  // namespace
}  // namespace velkor
