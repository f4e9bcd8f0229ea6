// schrittzeit: CPU time of the time steps alone, for A/B comparisons of the
// engine on a busy machine (wall-clock rates suffer from other processes,
// the CPU time of this process much less).
//
//   schrittzeit NETZ EINGABE [SCHRITTE] [WIEDERHOLUNGEN]
//
// Loads the net once per repetition, runs SCHRITTE time steps (default: until
// the input stops) without a display and prints the CPU time of the steps
// per repetition and the best of them. Run it in a scratch directory: the
// start preparation writes "protok.txt".

#include <time.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "engine/simulation.h"
#include "lauf/start.h"
#include "engine/zyklus.h"
#include "engine/zyklusanzeige.h"

namespace {

double cpuSekunden() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: schrittzeit NETZ EINGABE [SCHRITTE] [WIEDERHOLUNGEN]\n");
    return 2;
  }
  const long schritte = argc > 3 ? std::atol(argv[3]) : 0;
  const int wiederholungen = argc > 4 ? std::atoi(argv[4]) : 1;
  double beste = 1e300;
  for (int w = 0; w < wiederholungen; ++w) {
    auto sim = std::make_unique<velkor::Simulation>();
    sim->param.netzdateiname = argv[1];
    sim->param.eingabedateiname = argv[2];
    velkor::netzVorbereiten(*sim);
    std::string fehler;
    if (sim->lauf.netzfehler || !velkor::eingabeVorbereiten(*sim, fehler)) {
      std::fprintf(stderr, "schrittzeit: cannot start: %s\n", fehler.c_str());
      return 1;
    }
    velkor::Zyklusanzeige still;
    const double von = cpuSekunden();
    int64_t n = 0;
    if (schritte > 0) {
      for (long i = 0; i < schritte; ++i) {
        sim->lauf.anhalten = true;
        n += velkor::zyklus(*sim, still);
      }
    } else {
      sim->lauf.anhalten = false;
      n = velkor::zyklus(*sim, still);
    }
    const double zeit = cpuSekunden() - von;
    if (zeit < beste) beste = zeit;
    std::printf("steps=%lld cpu_s=%.4f steps_per_cpu_s=%.1f state=%llu\n", static_cast<long long>(n), zeit,
                static_cast<double>(n) / zeit, static_cast<unsigned long long>(sim->zufall.zustand()));
  }
  std::printf("best cpu_s=%.4f\n", beste);
  return 0;
}
