#pragma once
// Phase 3 in parts on several threads, with the course of one thread.

#include <cstdint>

#include "engine/zyklus.h"

namespace velkor {

// By schedule (P >= 99, schedule live).
void weiterleitenNachPlanGeteilt(Simulation& sim, int32_t teile);
// By countdown, at any P.
void weiterleitenGezaehltGeteilt(Simulation& sim, int32_t teile);

}  // namespace velkor
