// The program velkor-batch on its arguments, shared by the one-process
// program and the one for MPI.

#include <unistd.h>

#include <memory>

#include "lauf/bild.h"
#include "lauf/nullstrom.h"
#include "tools/batchlauf.h"
#include "tools/batchoptionen.h"

namespace velkor {

int batchHaupt(const std::vector<std::string>& argumente, std::ostream& aus, std::ostream& fehler, Verbund* verbund) {
  const bool erster = !verteilt(verbund) || verbund->rang() == 0;
  Nullstrom still;
  std::ostream& a = erster ? aus : still;
  std::ostream& f = erster ? fehler : still;
  const Optionslesung lesung = optionenLesen(argumente);
  if (!lesung.fehler.empty()) {
    f << "velkor-batch: " << lesung.fehler << "\nTry 'velkor-batch --help'.\n";
    return exitAufruf;
  }
  const Batchoptionen& optionen = lesung.optionen;
  if (optionen.hilfe) {
    a << hilfetext();
    return exitFertig;
  }
  if (optionen.version) {
    a << batchVersion << '\n';
    return exitFertig;
  }
  if (optionen.zeichnet() && !bilderVerfuegbar()) {
    f << "velkor-batch: --picture and --png are not available in this build\n";
    return exitAufruf;
  }
  const bool terminal = isatty(STDERR_FILENO) == 1;
  // Pictures draw every connection, and an explanation runs a step in the
  // plain form over the whole net: such a run is made by the first process
  // alone, with the whole net, and the others wait for its status.
  if (verteilt(verbund) && (optionen.zeichnet() || !optionen.erklaerungen.empty())) {
    std::string status = "0";
    if (erster) {
      std::shared_ptr<void> umgebung;
      if (optionen.zeichnet() && optionen.positionen.size() >= 3) umgebung = bildumgebungErzeugen();
      status = std::to_string(batchlauf(optionen, aus, fehler, terminal));
    }
    verbund->verbreiten(status, 0);
    return std::stoi(status);
  }
  // Text on a picture needs fonts, and fonts need the GUI library; without
  // a picture no display is needed.
  std::shared_ptr<void> umgebung;
  if (optionen.zeichnet() && optionen.positionen.size() >= 3) umgebung = bildumgebungErzeugen();
  return batchlauf(optionen, a, f, erster && terminal, verbund);
}

}  // namespace velkor
