#pragma once
// What the processes of a shared run (engine/verbund.h) agree on besides the
// time step: the outcome of each stage of a run, so that a failure on any of
// them ends all with one message and status, and "zustand.txt", whose cell
// blocks each process writes for its stretch of the net.

#include <string>

#include "engine/simulation.h"

namespace velkor {

// Called by every process with its own outcome (0: fine) and, for a failure,
// the text it would print. Returns the status of the first process (by rank)
// that failed, or 0, and leaves that process's text in `text` everywhere.
int einigen(Verbund& verbund, int status, std::string& text);

// "zustand.txt" of a net whose connections are spread over the processes,
// written by the first as one process writes it; called by all. False (with
// `fehler`) on the first when the file could not be written.
bool zustandVerteiltSchreiben(Verbund& verbund, const Simulation& sim, std::string& fehler);

}  // namespace velkor
