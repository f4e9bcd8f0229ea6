#pragma once
// Reads a net file (name form or numbered form) into the net.

#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>

#include "net/modell.h"

namespace velkor {

enum class Ladestatus {
  ok,            // net built (it may still have netzfehler set)
  formatfehler,  // a line with a first character the format does not define
  dateifehler,   // the file cannot be opened or read (or "protok.txt" cannot be written)
};

struct Ladeergebnis {
  Ladestatus status = Ladestatus::ok;
  bool netzfehler = false;  // a target that names no cell, or an inconsistent numbered file
  std::string meldung;      // for formatfehler and dateifehler: what went wrong
};

// The error protocol of a load, in the working directory.
inline constexpr const char* protokolldateiname = "protok.txt";

inline constexpr const char* formatfehlerText =
    "Schwerer Netzdateifehler: Falsches Zeichen auf Position 1 einer Zeile. Programm wird beendet.";

// Of a net shared by `teile` processes, the part of process `teil`: every
// cell, and the connections of a stretch of them (Netz::eigeneVon). The
// stretches follow each other in the order of the processes and are cut so
// that each holds about as many connections. The protocol is the same for
// every part.
struct Netzaufteilung {
  int32_t teil = 0;
  int32_t teile = 1;
};

// Rebuilds `netz` from the file. Missing targets are written to `protokoll`
// (">" + the line, then "****Zelle fehlt****"). The picture shift is added to
// every position that the file gives. A protocol that fails to take its lines
// gives status dateifehler with protokollfehlerText and the reason.
Ladeergebnis netzladen(const std::string& netzdateiname, int32_t xVerschiebung, int32_t yVerschiebung, Netz& netz,
                       std::ostream& protokoll, Netzaufteilung aufteilung = {});

// "Protokolldatei "protok.txt" kann nicht geschrieben werden: " and the
// reason of the system error `fehlernummer`.
std::string protokollfehlerText(int fehlernummer);

// The same for a net file whose whole text is already in memory.
Ladeergebnis netzladenAusText(std::string_view text, int32_t xVerschiebung, int32_t yVerschiebung, Netz& netz,
                              std::ostream& protokoll, Netzaufteilung aufteilung = {});

}  // namespace velkor
