#pragma once
// The state snapshot "zustand.txt": the net in name form with its learned values.

#include <cstdint>
#include <string>

#include "net/modell.h"

namespace velkor {

inline constexpr const char* zustandsdateiname = "zustand.txt";

// The whole text of the snapshot.
std::string zustandstext(const Netz& netz, int32_t zeittakt, int32_t xVerschiebung, int32_t yVerschiebung);

// Writes the snapshot to `pfad` through a temporary file that is renamed into
// place, so a failed write never leaves a partial file under that name.
// Returns false and fills `fehler` (naming the file and the reason) on failure.
bool zustandschreiben(const Netz& netz, int32_t zeittakt, int32_t xVerschiebung, int32_t yVerschiebung,
                      std::string& fehler, const std::string& pfad = zustandsdateiname);

}  // namespace velkor
