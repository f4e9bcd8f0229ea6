#pragma once
// The connections of each cell stand in memory by delay: first those whose
// spikes arrive, by delay ascending and in list order within one delay, then
// those whose spikes never arrive (a negative delay, or the largest one,
// whose counter wraps). The arrivals of one delay of a cell, which phase 3
// takes together, are then read side by side. The list order stays what it
// is: Netz::listenfolge maps it to the places.

#include <cstdint>

namespace velkor {

struct Netz;

// Where a delay sorts: its value for a spike that arrives, after all of them otherwise.
inline uint32_t ordnungsschluessel(int32_t verzoegerung) {
  return verzoegerung >= 0 && verzoegerung != INT32_MAX ? static_cast<uint32_t>(verzoegerung) : UINT32_MAX;
}

// Puts every cell's connections in that order where they are not yet
// (after a load, or after delays were changed), moving every column alike
// and keeping the map of the list order. A map that does not fit the
// columns (they were rebuilt without it) is dropped first.
void verbindungenOrdnen(Netz& netz);

// Whether every cell's connections stand in that order.
bool verbindungenGeordnet(const Netz& netz);

}  // namespace velkor
