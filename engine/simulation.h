#pragma once
// One simulation: the net, the run flags and parameters, the input file, the
// random generator and the time-step counter. Owned by the window or the
// batch runner and passed by reference.

#include <cstdint>

#include "engine/eingabe.h"
#include "engine/faeden.h"
#include "engine/laufplan.h"
#include "engine/laufzustand.h"
#include "engine/verbund.h"
#include "engine/zufall.h"
#include "net/modell.h"

namespace velkor {

struct Simulation {
  Netz netz;
  Laufzustand lauf;
  Laufparameter param;
  Eingabe eingabe;
  Zufall zufall;
  int32_t zeittakt = 0;
  // Derived from the net by the engine; discard it (plan.verwerfen()) after
  // changing the net other than by a time step. A load does that itself.
  Laufplan plan;
  // The threads of the time step (engine/faeden.h).
  Faeden faeden;
  // The other processes of a shared run (engine/verbund.h); nullptr: alone.
  // Not owned.
  Verbund* verbund = nullptr;
};

}  // namespace velkor
