#pragma once
// The one form of every message about a file that cannot be opened, read or
// written: "<Datei>: <Grund>", the reason in German for the failures a user
// meets, the system's text for the rare others. The window and velkor-batch
// show the same texts.

#include <string>

namespace velkor {

// The German reason for an errno value; `ohneNummer` when the value is 0
// (a failure the system did not name, e.g. "Lesefehler").
std::string dateigrund(int fehlernummer, const char* ohneNummer = "Ein-/Ausgabefehler");

// "<datei>: <Grund>".
std::string dateifehler(const std::string& datei, int fehlernummer, const char* ohneNummer = "Ein-/Ausgabefehler");

}  // namespace velkor
