#pragma once
// The explanation of a time step (engine/erklaeren.h) for people and for
// programs: readable English text, and one JSON object.

#include <cstdint>
#include <string>

#include "engine/erklaeren.h"
#include "net/modell.h"

namespace velkor {

// How the texts name cell c: its name in the name form, "#c" in the number
// form (and for a cell without a name).
std::string zellbezeichnung(const Netz& netz, int32_t c);

// Lines of text, each ending in "\n": the firing test, decay, refractory
// countdown and recovery, the connections into the cell whose weight the
// per-step rule changed, the input, the arrivals in walk order, the stalled
// outgoing spikes and the state after the step.
std::string erklaerungText(const Erklaerung& e, const Netz& netz);

// One JSON object, without a line end. Numbers as JSON numbers that read
// back to the same double (%.17g); NaN and infinities as the strings "NaN",
// "Infinity" and "-Infinity". "name" fields hold the net's names in the name
// form and null in the number form.
std::string erklaerungJson(const Erklaerung& e, const Netz& netz);

}  // namespace velkor
