// The input file reader driven through time steps: a small net of named
// cells, the fuzz input as the input file, up to 200 time steps through
// einzelzyklus. Once the input has ended it stays ended, and only the named
// cells ever get input.

#include <cstdint>
#include <sstream>
#include <string>
#include <string_view>

#include "lauf/start.h"
#include "engine/zyklus.h"
#include "fuzz/hilfen.h"
#include "net/netzladen.h"

using namespace velkor;
using velkor::fuzz::pruefen;

namespace {

constexpr int hoechstens = 200;
constexpr int nachEnde = 3;

// Three cells that never fire on their own and forget at once, and one
// connection, so a named cell shows up in the potentials.
constexpr std::string_view netztext =
    "z A 1 1\ns 1\na 0\nr 2\nc B 0.5 1\n"
    "z B 1 5\ns 1\na 0\nr 2\n"
    "z ABCDEF 2 1\ns 1\na 0\nr 2\n"
    "z *** 3 1\ns 1\na 0\nr 2\n";

class Zaehler : public Zyklusanzeige {
 public:
  void eingabeHinweis() override { ++hinweise; }
  int hinweise = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* daten, size_t groesse) {
  const std::string pfad =
      fuzz::dateiSchreiben("eingabe.ein", std::string_view(reinterpret_cast<const char*>(daten), groesse));
  Simulation sim;
  std::ostringstream protokoll;
  pruefen(netzladenAusText(netztext, 0, 0, sim.netz, protokoll).status == Ladestatus::ok, "net loads");
  sim.param.eingabedateiname = pfad;
  std::string fehler;
  pruefen(eingabeVorbereiten(sim, fehler), "input opens");
  pruefen(sim.eingabe.eingabeWort().size() <= namenslaenge, "entry word cut to a name");

  Zaehler anzeige;
  int endeSeit = 0;
  for (int i = 0; i < hoechstens && endeSeit < nachEnde; ++i) {
    const bool warEnde = sim.lauf.eingabeEnde;
    sim.lauf.anhalten = false;
    const int hinweiseVorher = anzeige.hinweise;
    einzelzyklus(sim, anzeige);
    pruefen(!warEnde || sim.lauf.eingabeEnde, "an ended input stays ended");
    if (sim.lauf.eingabeEnde) {
      pruefen(sim.lauf.anhalten, "the end of the input stops a run");
      pruefen(anzeige.hinweise > hinweiseVorher, "the end of the input shows the notice");
      ++endeSeit;
    }
    pruefen(sim.eingabe.eingabeWort().size() <= namenslaenge, "entry word cut to a name");
    pruefen(sim.zeittakt == i + 1, "one time step per cycle");
  }
  sim.eingabe.schliessen();
  return 0;
}
