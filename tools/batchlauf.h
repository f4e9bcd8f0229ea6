#pragma once
// One run of velkor-batch: start preparation, runs until stop, single time
// steps, state file and pictures, summary line.

#include <ostream>
#include <string>
#include <vector>

#include "engine/verbund.h"
#include "tools/batchoptionen.h"

namespace velkor {

// Runs the simulation that `optionen` describe in the working directory.
// `aus` gets the summary (and statistics) line, `fehler` the messages.
// `fortschritt`: show a progress line on `fehler` during long runs.
// Returns the exit status. With `verbund` of several processes each runs its
// part of the net (engine/verbund.h); only the first writes files, and every
// one returns the same status.
int batchlauf(const Batchoptionen& optionen, std::ostream& aus, std::ostream& fehler, bool fortschritt,
              Verbund* verbund = nullptr);

// The whole program on its arguments: options, help, then the run. With
// `verbund` of several processes only the first writes to `aus` and
// `fehler`. A run that needs the whole net in one process (pictures,
// explanations) runs on the first alone.
int batchHaupt(const std::vector<std::string>& argumente, std::ostream& aus, std::ostream& fehler,
               Verbund* verbund = nullptr);

}  // namespace velkor
