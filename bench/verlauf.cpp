// verlauf: what the history costs and how fast going back is.
//
//   verlauf NETZ EINGABE SCHRITTE [RUNDEN] [BUDGET_MB]
//
// Runs SCHRITTE time steps with the history off and on, RUNDEN times each,
// taking turns (the machine's speed drifts), and prints the median wall time
// of each and the overhead; then, on the run with the history, the memory it
// holds, the time of one step back, of going to the earliest step it holds
// and the worst of ten random earlier steps, and of an explanation. Run it in a scratch directory:
// the start preparation writes "protok.txt".

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "engine/erklaeren.h"
#include "engine/zyklus.h"
#include "lauf/start.h"
#include "lauf/verlauf.h"

namespace {

using Uhr = std::chrono::steady_clock;

double sekunden(Uhr::time_point a) { return std::chrono::duration<double>(Uhr::now() - a).count(); }

bool laden(velkor::Simulation& sim, const char* netz, const char* eingabe) {
  sim.param.netzdateiname = netz;
  sim.param.eingabedateiname = eingabe;
  std::string fehler;
  return velkor::netzVorbereiten(sim).status == velkor::Ladestatus::ok && velkor::eingabeVorbereiten(sim, fehler);
}

double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  using namespace velkor;
  if (argc < 4) {
    std::fprintf(stderr, "usage: verlauf NETZ EINGABE SCHRITTE [RUNDEN] [BUDGET_MB]\n");
    return 2;
  }
  const long schritte = std::atol(argv[3]);
  const int runden = argc > 4 ? std::atoi(argv[4]) : 3;
  const std::size_t budget = argc > 5 ? std::strtoull(argv[5], nullptr, 10) << 20U : Verlauf::standardBudget;
  std::vector<double> aus;
  std::vector<double> an;
  Zyklusanzeige still;
  for (int r = 0; r < runden; ++r) {
    for (const bool mitVerlauf : {false, true}) {
      Simulation sim;
      if (!laden(sim, argv[1], argv[2])) {
        std::fprintf(stderr, "verlauf: cannot load %s / %s\n", argv[1], argv[2]);
        return 1;
      }
      Verlauf verlauf;
      verlauf.budget = budget;
      verlauf.neuBeginnen(sim);
      Verlaufswache wache(verlauf, sim, still);
      Zyklusanzeige& hooks = mitVerlauf ? static_cast<Zyklusanzeige&>(wache) : still;
      const auto anfang = Uhr::now();
      for (long i = 0; i < schritte; ++i) einzelzyklus(sim, hooks);
      (mitVerlauf ? an : aus).push_back(sekunden(anfang));
      if (!mitVerlauf || r + 1 < runden) continue;
      std::printf("last checkpoint took %.3f s\n", verlauf.punktkosten());
      std::printf("memory %.1f MB of %.0f MB, %zu checkpoints, steps %d..%d\n",
                  static_cast<double>(verlauf.speicher()) / 1048576.0, static_cast<double>(budget) / 1048576.0,
                  verlauf.punktzahl(), verlauf.erster(), verlauf.letzter());
      std::string fehler;
      auto gehe = [&](int32_t n) {
        const auto a = Uhr::now();
        if (!verlauf.gehe(sim, n, still, fehler)) std::fprintf(stderr, "verlauf: %s\n", fehler.c_str());
        return sekunden(a);
      };
      const int32_t ende = sim.zeittakt;
      std::printf("one step back %.3f s\n", gehe(ende - 1));
      std::printf("then one more %.3f s\n", gehe(ende - 2));
      std::printf("to the earliest step (%d) %.3f s\n", verlauf.erster(), gehe(verlauf.erster()));
      std::mt19937 z(1);
      double schlimmste = 0;
      for (int i = 0; i < 10; ++i) {
        schlimmste = std::max(schlimmste, gehe(std::uniform_int_distribution<int32_t>(verlauf.erster(), ende)(z)));
      }
      std::printf("worst of 10 random steps %.3f s\n", schlimmste);
      // Every step back from the end, one after the other.
      gehe(ende);
      double jeder = 0;
      for (int32_t n = ende - 1; n >= std::max(verlauf.erster(), ende - 20); --n) jeder = std::max(jeder, gehe(n));
      std::printf("worst of the last 20 single steps back %.4f s\n", jeder);
      // An explanation of the step that ran last, as sim.explain makes it:
      // back to its start, the step in the plain form, on to where it was.
      gehe(ende);
      const auto a = Uhr::now();
      gehe(ende - 1);
      const auto b = Uhr::now();
      erklaeren(sim, {0}, still);
      const auto c = Uhr::now();
      gehe(ende);
      std::printf("explanation of the last step %.3f s (back %.3f, plain step %.3f, on %.3f)\n", sekunden(a),
                  std::chrono::duration<double>(b - a).count(), std::chrono::duration<double>(c - b).count(),
                  sekunden(c));
    }
  }
  const double a = median(aus);
  const double b = median(an);
  std::printf("%ld steps: history off %.3f s (%.1f steps/s), on %.3f s (%.1f steps/s): %+.1f %%\n", schritte, a,
              static_cast<double>(schritte) / a, b, static_cast<double>(schritte) / b, (b / a - 1) * 100);
  return 0;
}
