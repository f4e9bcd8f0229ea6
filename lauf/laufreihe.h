#pragma once
// The run series as the window, velkor-batch and the Python module run them:
// single time steps (the space bar) and runs until stop. Every front end
// runs its time steps through here, so what watches a run (a history, stop
// conditions) has one place to sit.

#include <cstdint>
#include <vector>

#include "engine/simulation.h"
#include "engine/zyklusanzeige.h"
#include "lauf/haltepunkt.h"

namespace velkor {

class Anzeige;

// One call of the cycle: with netzfehler the notice, otherwise time steps
// until `anhalten` is set (at least one). Returns the number of steps run.
int64_t zyklusLaufen(Simulation& sim, Zyklusanzeige& hooks);
// The space bar: exactly one time step.
int64_t einzelschritt(Simulation& sim, Zyklusanzeige& hooks);
// "Simulation bis Stop": nothing once the input has ended; where `anzeige`
// draws, the note in the bar first.
int64_t bisStop(Simulation& sim, Zyklusanzeige& hooks, Anzeige* anzeige);

// The same with breakpoints: a step that one of them catches ends the run as
// a stop mark does. `halte` gets the breakpoints that caught the last step,
// in the order firings (by cell), potentials, step number; it stays empty
// when none did. Without breakpoints these are the calls above.
int64_t zyklusLaufen(Simulation& sim, Zyklusanzeige& hooks, const Haltepunkte& haltepunkte, std::vector<Halt>& halte);
int64_t einzelschritt(Simulation& sim, Zyklusanzeige& hooks, const Haltepunkte& haltepunkte, std::vector<Halt>& halte);
int64_t bisStop(Simulation& sim, Zyklusanzeige& hooks, Anzeige* anzeige, const Haltepunkte& haltepunkte,
                std::vector<Halt>& halte);

}  // namespace velkor
