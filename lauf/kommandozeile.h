#pragma once
// The command line of the window program and the batch runner:
// Titel Netzdatei Eingabedatei [Modusparameterliste].

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "display/ansicht.h"
#include "engine/laufzustand.h"
#include "engine/zufall.h"

namespace velkor {

inline constexpr const char* zuWenigParameterText = "Weniger als 3 Kommandozeilenparameter, Programm wird beendet";

struct Kommandozeilenergebnis {
  bool ansichtSperren = false;  // a view letter was given: menu "Ansicht" disabled
  std::optional<uint64_t> benutzterSeed;  // the seed that "P" used last
};

// Reads `parameter` (without the program name; each cut to 250 characters)
// into the run parameters and flags. "P" seeds `zufall` with `festerSeed` when
// given, else from the clock.
Kommandozeilenergebnis kommandozeileLesen(const std::vector<std::string>& parameter, Laufparameter& param,
                                          Laufzustand& lauf, Ansichtsflags& ansicht, Zufall& zufall,
                                          std::optional<uint64_t> festerSeed = std::nullopt);

}  // namespace velkor
