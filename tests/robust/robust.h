#pragma once
// Helpers of the robustness tests: nets and inputs from files written into a
// private directory, an input file run through time steps, and the batch
// runner in a working directory of its own.

#include <gtest/gtest.h>

#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "lauf/start.h"
#include "engine/zyklus.h"
#include "net/netzladen.h"
#include "tests/tools/batchaufruf.h"

namespace velkor::robust {

using testhilfe::Batchumgebung;
using testhilfe::dateiLesen;
namespace fs = std::filesystem;

struct Geladen {
  Netz netz;
  Ladeergebnis ergebnis;
  std::string protokoll;
};

inline Geladen ladenAus(const std::string& pfad) {
  Geladen g;
  std::ostringstream protokoll;
  g.ergebnis = netzladen(pfad, 0, 0, g.netz, protokoll);
  g.protokoll = protokoll.str();
  return g;
}

inline Geladen ladenText(const std::string& text) {
  Batchumgebung u;
  return ladenAus(u.datei("netz.net", text));
}

// Three cells A, B, C that fire only on input and forget at once.
inline constexpr const char* abcNetz = "z A 1 1\ns 1\na 0\nz B 1 5\ns 1\na 0\nz C 1 9\ns 1\na 0\n";

// Runs `schritte` time steps with the input file at `pfad` on the net `netz`.
// Each step gives the names of the cells that got input, "*" when anhalten
// was set and "E" when the input has ended.
inline std::vector<std::string> eingabeLauf(const std::string& pfad, int schritte, const std::string& netz = abcNetz) {
  Simulation sim;
  std::ostringstream protokoll;
  EXPECT_EQ(netzladenAusText(netz, 0, 0, sim.netz, protokoll).status, Ladestatus::ok);
  sim.param.eingabedateiname = pfad;
  std::string fehler;
  EXPECT_TRUE(eingabeVorbereiten(sim, fehler)) << fehler;
  Zyklusanzeige anzeige;
  std::vector<std::string> ergebnis;
  for (int i = 0; i < schritte; ++i) {
    sim.lauf.anhalten = false;
    einzelzyklus(sim, anzeige);
    std::string s;
    for (const TZelle& z : sim.netz.Zelltabelle)
      if (z.potenzial == z.schwelle + 10) s += z.name + " ";
    if (sim.lauf.anhalten) s += "*";
    if (sim.lauf.eingabeEnde) s += "E";
    ergebnis.push_back(s);
  }
  return ergebnis;
}

inline std::vector<std::string> eingabeLaufText(const std::string& text, int schritte) {
  Batchumgebung u;
  return eingabeLauf(u.datei("eingabe.ein", text), schritte);
}

}  // namespace velkor::robust
