#pragma once
// Run-state flags and run parameters, owned by the window or the batch runner.

#include <cstdint>
#include <string>

namespace velkor {

struct Laufzustand {
  bool gestartet = false;     // net loaded and input opened: time steps may run
  bool anhalten = false;      // stop after the current time step
  bool eingabeEnde = false;   // the input file has ended
  bool netzfehler = false;    // the loaded net is faulty; set only, never cleared
  bool neugestartet = false;  // "Neustart" has run at least once
  bool logOffen = false;      // "logfile.txt" is open
  bool logAktiv = false;      // trace entries are written
  bool pZufall = false;       // "Neustart" seeds the random generator from the clock
};

struct Laufparameter {
  int32_t pWert = 100;
  int32_t zeitlupe = 0;
  int32_t zeitraffer = 0;
  int32_t displayStart = 0;  // the command line sets 1
  int32_t xVerschiebung = 0;
  int32_t yVerschiebung = 0;
  int32_t vergroesserung = 0;  // the command line sets 1, the menu asks for it
  bool farbBild = false;
  std::string titel;
  std::string netzdateiname;
  std::string eingabedateiname;
};

}  // namespace velkor
