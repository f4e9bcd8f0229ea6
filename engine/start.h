#pragma once
// The start preparation shared by the window and the batch runner: the file
// work of it. The caller draws the notes and the net around these steps.

#include <string>

#include "engine/simulation.h"
#include "net/netzladen.h"

namespace velkor {

// Creates "protok.txt" empty, loads the net named in sim.param.netzdateiname
// (with the picture shift), closes the protocol; zeittakt 0. A faulty net sets
// sim.lauf.netzfehler. status dateifehler: the net file or the protocol could
// not be opened, read or written (meldung names the file and the reason).
Ladeergebnis netzVorbereiten(Simulation& sim);

// Creates "protok.txt" empty (the start preparation does so also when no net
// file is named). False with `fehler` naming the file and the reason.
bool protokollAnlegen(std::string& fehler);

// Opens the input file named in sim.param.eingabedateiname and reads its
// first entry; zeittakt 0; gestartet. False with `fehler` when it cannot be opened.
bool eingabeVorbereiten(Simulation& sim, std::string& fehler);

}  // namespace velkor
