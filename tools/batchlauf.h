#pragma once
// One run of velkor-batch: start preparation, runs until stop, single time
// steps, state file and pictures, summary line.

#include <ostream>

#include "tools/batchoptionen.h"

namespace velkor {

// Runs the simulation that `optionen` describe in the working directory.
// `aus` gets the summary (and statistics) line, `fehler` the messages.
// `fortschritt`: show a progress line on `fehler` during long runs.
// Returns the exit status.
int batchlauf(const Batchoptionen& optionen, std::ostream& aus, std::ostream& fehler, bool fortschritt);

}  // namespace velkor
