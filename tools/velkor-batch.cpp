// velkor-batch: runs a simulation without a window.
//   velkor-batch [OPTIONS] Titel Netzdatei Eingabedatei [Modusparameterliste]

#include <unistd.h>

#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "lauf/bild.h"
#include "tools/batchlauf.h"
#include "tools/batchoptionen.h"

int main(int argc, char** argv) {
  using namespace velkor;
  const std::vector<std::string> argumente(argv + 1, argv + argc);
  const Optionslesung lesung = optionenLesen(argumente);
  if (!lesung.fehler.empty()) {
    std::cerr << "velkor-batch: " << lesung.fehler << "\nTry 'velkor-batch --help'.\n";
    return exitAufruf;
  }
  const Batchoptionen& optionen = lesung.optionen;
  if (optionen.hilfe) {
    std::cout << hilfetext();
    return exitFertig;
  }
  if (optionen.version) {
    std::cout << batchVersion << '\n';
    return exitFertig;
  }
  if (optionen.zeichnet() && !bilderVerfuegbar()) {
    std::cerr << "velkor-batch: --picture and --png are not available in this build\n";
    return exitAufruf;
  }
  // Text on a picture needs fonts, and fonts need the GUI library; without
  // a picture no display is needed.
  std::shared_ptr<void> umgebung;
  if (optionen.zeichnet() && optionen.positionen.size() >= 3) umgebung = bildumgebungErzeugen();
  return batchlauf(optionen, std::cout, std::cerr, isatty(STDERR_FILENO) == 1);
}
