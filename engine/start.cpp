#include "engine/start.h"

#include <cerrno>
#include <cstring>
#include <fstream>

namespace velkor {

namespace {

std::string anlegefehler() {
  return std::string("Protokolldatei \"") + protokolldateiname +
         "\" kann nicht angelegt werden: " + std::strerror(errno != 0 ? errno : EIO);
}

}  // namespace

bool protokollAnlegen(std::string& fehler) {
  errno = 0;
  std::ofstream protokoll(protokolldateiname, std::ios::out | std::ios::trunc | std::ios::binary);
  if (!protokoll) {
    fehler = anlegefehler();
    return false;
  }
  errno = 0;
  protokoll.close();
  if (protokoll.fail()) {
    fehler = protokollfehlerText(errno);
    return false;
  }
  return true;
}

Ladeergebnis netzVorbereiten(Simulation& sim) {
  sim.zeittakt = 0;
  // "protok.txt" is created empty before every load, an old one overwritten.
  errno = 0;
  std::ofstream protokoll(protokolldateiname, std::ios::out | std::ios::trunc | std::ios::binary);
  if (!protokoll) {
    Ladeergebnis fehler;
    fehler.status = Ladestatus::dateifehler;
    fehler.meldung = anlegefehler();
    return fehler;
  }
  Ladeergebnis ergebnis =
      netzladen(sim.param.netzdateiname, sim.param.xVerschiebung, sim.param.yVerschiebung, sim.netz, protokoll);
  sim.plan.verwerfen();
  // The last lines leave the buffer only now: a full disk shows here.
  errno = 0;
  protokoll.close();
  if (protokoll.fail() && ergebnis.status == Ladestatus::ok) {
    ergebnis.status = Ladestatus::dateifehler;
    ergebnis.meldung = protokollfehlerText(errno);
  }
  // The flag is only ever set here; a later sound load does not clear it.
  if (ergebnis.netzfehler) sim.lauf.netzfehler = true;
  sim.zeittakt = 0;
  return ergebnis;
}

bool eingabeVorbereiten(Simulation& sim, std::string& fehler) {
  sim.zeittakt = 0;
  if (!sim.eingabe.eingabestart(sim.param.eingabedateiname, fehler)) return false;
  sim.lauf.gestartet = true;
  return true;
}

}  // namespace velkor
