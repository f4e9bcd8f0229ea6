#pragma once
// The start preparation shared by the window, velkor-batch and the Python
// module: the file work of it, and the picture around it. The caller shows
// the notes and reacts to failures in its own way.

#include <string>

#include "engine/simulation.h"
#include "net/netzladen.h"

namespace velkor {

class Anzeige;
struct Anzeigezustand;
struct Ansichtsflags;

// Creates "protok.txt" empty, loads the net named in sim.param.netzdateiname
// (with the picture shift), closes the protocol; zeittakt 0. A faulty net sets
// sim.lauf.netzfehler. status dateifehler: the net file or the protocol could
// not be opened, read or written (meldung names the file and the reason).
// Of a run shared by several processes (sim.verbund) each loads its part,
// and only the first writes "protok.txt".
Ladeergebnis netzVorbereiten(Simulation& sim);
// What follows every load: the flag of a faulty net, zeittakt 0, the engine's
// plan of a sound net.
Ladeergebnis nachDemLaden(Simulation& sim, Ladeergebnis ergebnis);

// Creates "protok.txt" empty (the start preparation does so also when no net
// file is named). False with `fehler` naming the file and the reason.
bool protokollAnlegen(std::string& fehler);

// Opens the input file named in sim.param.eingabedateiname and reads its
// first entry; zeittakt 0; gestartet. False with `fehler` when it cannot be opened.
bool eingabeVorbereiten(Simulation& sim, std::string& fehler);

// The picture of an attached display as the start preparation begins it:
// the drawing font 14 high, and where the canvas draws, the bar with
// "Einzelne Zyklen mit Leertaste starten".
void startbildVorbereiten(Anzeige& anzeige);

// The display after a load: zeittakt 0, the oscilloscope writes from the
// top row, the cell view and the compressed view draw the net (not without
// `anzeige`). True when the net was drawn.
bool ansichtNachLaden(Simulation& sim, const Ansichtsflags& ansicht, Anzeigezustand& zustand, Anzeige* anzeige);

}  // namespace velkor
