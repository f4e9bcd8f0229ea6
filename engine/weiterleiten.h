#pragma once
// Phase 3 in parts on several threads, with the course of one thread.

#include <cstddef>
#include <cstdint>

#include "engine/zyklus.h"

namespace velkor {

// The lines of `bytes` bytes from `anfang`. GCC takes a function that only
// fetches ahead for one without effect and drops every call to it that it
// has not inlined: such helpers of phase 3 are always inlined.
template <int Schreiben>
[[gnu::always_inline]] inline void zeilenVorholen(const void* anfang, std::size_t bytes) {
  const uintptr_t bis = reinterpret_cast<uintptr_t>(anfang) + bytes;
  for (uintptr_t a = reinterpret_cast<uintptr_t>(anfang) & ~uintptr_t{63}; a < bis; a += 64)
    __builtin_prefetch(reinterpret_cast<const void*>(a), Schreiben);
}

// By schedule (P >= 99, schedule live).
void weiterleitenNachPlanGeteilt(Simulation& sim, int32_t teile);
// By countdown, at any P.
void weiterleitenGezaehltGeteilt(Simulation& sim, int32_t teile);

}  // namespace velkor
