// velkor-batch --explain: the explanation of a step of the run, as text and
// as JSON, equal to that of the step run again in the process; the other
// outputs unchanged; cells and steps that are not there refused.

#include <gtest/gtest.h>

#include <regex>
#include <string>

#include "engine/erklaeren.h"
#include "engine/zyklus.h"
#include "lauf/erklaerungstext.h"
#include "lauf/start.h"
#include "tests/engine/zufallsnetz.h"
#include "tests/tools/batchaufruf.h"

namespace velkor {
namespace {

using testhilfe::Batchumgebung;

std::string ohneZusammenfassung(const std::string& aus) {
  static const std::regex zeile("[0-9]+ time steps, zeittakt [0-9]+, [0-9.]+ s, [0-9]+ time steps/s\n");
  return std::regex_replace(aus, zeile, "");
}

// The explanation of `zelle` in step `takt`, by running the net to it here.
std::string erwartet(const std::string& netz, const std::string& eingabe, const std::string& p, int32_t zelle,
                     int32_t takt, bool json) {
  Simulation sim;
  sim.param.netzdateiname = netz;
  sim.param.eingabedateiname = eingabe;
  sim.param.pWert = std::stoi(p);
  std::string fehler;
  EXPECT_EQ(netzVorbereiten(sim).status, Ladestatus::ok);
  EXPECT_TRUE(eingabeVorbereiten(sim, fehler)) << fehler;
  Zyklusanzeige still;
  while (sim.zeittakt < takt) einzelzyklus(sim, still);
  const Erklaerung e = erklaeren(sim, {zelle}, still).front();
  return json ? erklaerungJson(e, sim.netz) + "\n" : erklaerungText(e, sim.netz);
}

TEST(Batcherklaeren, TextUndJsonWieImProzessUndDieAusgabenUnveraendert) {
  for (uint32_t seed = 1; seed <= 6; ++seed) {
    Batchumgebung u;
    test::Zufallsnetz z(seed + 40);
    const std::string netz = u.datei("z.net", z.netz(20));
    const std::string eingabe = u.datei("z.ein", z.eingabe(20, 50));
    const std::string p = seed % 2 == 0 ? "100" : "50";
    ASSERT_EQ(u.starten({"--state", "--log", "T", netz, eingabe, "p", p}), 0) << u.fehler;
    const std::string zustand = u.ausgabe("zustand.txt");
    const std::string log = u.ausgabe("logfile.txt");
    const bool json = seed % 3 == 0;
    // The first step, the last one run, one in between; by name and by index.
    std::smatch m;
    ASSERT_TRUE(std::regex_search(u.aus, m, std::regex("zeittakt ([0-9]+)")));
    const int32_t letzter = std::stoi(m[1]) - 1;
    const int32_t takte[] = {0, static_cast<int32_t>(seed) * 7 % letzter, letzter};
    std::vector<std::string> argumente{"--state", "--log"};
    if (json) argumente.emplace_back("--json");
    std::string soll;
    for (const int32_t t : takte) {
      const int32_t zelle = (t * 3 + static_cast<int32_t>(seed)) % 20;
      argumente.push_back("--explain");
      argumente.push_back((t % 2 == 0 ? "C" : "#") + std::to_string(zelle) + "@" + std::to_string(t));
      soll += erwartet(netz, eingabe, p, zelle, t, json);
    }
    for (const std::string& a : {std::string("T"), netz, eingabe, std::string("p"), p}) argumente.push_back(a);
    ASSERT_EQ(u.starten(argumente), 0) << u.fehler;
    EXPECT_EQ(ohneZusammenfassung(u.aus), soll) << "seed " << seed;
    EXPECT_EQ(u.ausgabe("zustand.txt"), zustand) << seed;
    EXPECT_EQ(u.ausgabe("logfile.txt"), log) << seed;
  }
}

TEST(Batcherklaeren, FehlendeZelleSchrittOderFormMitStatus2) {
  Batchumgebung u;
  test::Zufallsnetz z(3);
  const std::string netz = u.datei("z.net", z.netz(10));
  const std::string eingabe = u.datei("z.ein", z.eingabe(10, 30));
  ASSERT_EQ(u.starten({"T", netz, eingabe}), 0) << u.fehler;
  std::smatch m;
  ASSERT_TRUE(std::regex_search(u.aus, m, std::regex("zeittakt ([0-9]+)")));
  const std::string ende = m[1];
  struct Fall {
    std::string wert;
    std::string meldung;
  };
  const Fall faelle[] = {
      {"X9@3", "--explain: no cell \"X9\""},
      {"#10@3", "--explain: no cell \"#10\""},  // one past the last index
      {"C1@" + ende, "time step " + ende + " was not run (the run ended at zeittakt " + ende + ")"},
      {"C1@-1", "bad value for --explain"},
      {"C1", "bad value for --explain"},
      {"@4", "bad value for --explain"},
  };
  for (const Fall& f : faelle) {
    EXPECT_EQ(u.starten({"--explain", f.wert, "T", netz, eingabe}), 2) << f.wert;
    EXPECT_NE(u.fehler.find(f.meldung), std::string::npos) << f.wert << ": " << u.fehler;
  }
  // The last index and the last step run are there.
  EXPECT_EQ(u.starten({"--explain", "#9@" + std::to_string(std::stoi(ende) - 1), "T", netz, eingabe}), 0) << u.fehler;
}

}  // namespace
}  // namespace velkor
