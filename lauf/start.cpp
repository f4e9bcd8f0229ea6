#include "lauf/start.h"

#include <cerrno>
#include <cstring>
#include <fstream>

#include "display/anzeige.h"
#include "lauf/nullstrom.h"
#include "net/dateigrund.h"

namespace velkor {

namespace {

// "protok.txt" created empty, an old one overwritten; false with the file and
// the reason in `fehler`.
bool protokollOeffnen(std::ofstream& protokoll, std::string& fehler) {
  errno = 0;
  protokoll.open(protokolldateiname, std::ios::out | std::ios::trunc | std::ios::binary);
  if (protokoll) return true;
  fehler = dateifehler(protokolldateiname, errno, "nicht anzulegen");
  return false;
}

// The last lines leave the buffer only at the close: a full disk shows here.
bool protokollSchliessen(std::ofstream& protokoll, std::string& fehler) {
  errno = 0;
  protokoll.close();
  if (!protokoll.fail()) return true;
  fehler = protokollfehlerText(errno);
  return false;
}

}  // namespace

bool protokollAnlegen(std::string& fehler) {
  std::ofstream protokoll;
  return protokollOeffnen(protokoll, fehler) && protokollSchliessen(protokoll, fehler);
}

Ladeergebnis netzVorbereiten(Simulation& sim) {
  sim.zeittakt = 0;
  // Of a run shared by several processes the first writes the protocol; the
  // others load their part with the same lines, which go nowhere.
  Netzaufteilung aufteilung;
  if (verteilt(sim.verbund)) aufteilung = {sim.verbund->rang(), sim.verbund->groesse()};
  if (aufteilung.teil != 0) {
    Nullstrom nirgends;
    return nachDemLaden(sim, netzladen(sim.param.netzdateiname, sim.param.xVerschiebung, sim.param.yVerschiebung,
                                       sim.netz, nirgends, aufteilung));
  }
  // "protok.txt" is created empty before every load.
  std::ofstream protokoll;
  std::string meldung;
  if (!protokollOeffnen(protokoll, meldung)) {
    Ladeergebnis fehler;
    fehler.status = Ladestatus::dateifehler;
    fehler.meldung = meldung;
    return fehler;
  }
  Ladeergebnis ergebnis = netzladen(sim.param.netzdateiname, sim.param.xVerschiebung, sim.param.yVerschiebung,
                                    sim.netz, protokoll, aufteilung);
  if (!protokollSchliessen(protokoll, meldung) && ergebnis.status == Ladestatus::ok) {
    ergebnis.status = Ladestatus::dateifehler;
    ergebnis.meldung = meldung;
  }
  return nachDemLaden(sim, ergebnis);
}

Ladeergebnis nachDemLaden(Simulation& sim, Ladeergebnis ergebnis) {
  sim.plan.verwerfen();
  // The flag is only ever set here; a later sound load does not clear it.
  if (ergebnis.netzfehler) sim.lauf.netzfehler = true;
  sim.zeittakt = 0;
  // What the engine derives from the net for its time steps (and, at P of 99
  // or more, the schedule of arrivals) is part of the preparation: a large
  // net's first time step would otherwise take many times as long as the others.
  if (ergebnis.status == Ladestatus::ok) {
    sim.plan.pruefen(sim.netz);
    sim.plan.modusWaehlen(sim.netz, sim.param.pWert);
  }
  return ergebnis;
}

bool eingabeVorbereiten(Simulation& sim, std::string& fehler) {
  sim.zeittakt = 0;
  if (!sim.eingabe.eingabestart(sim.param.eingabedateiname, fehler)) return false;
  sim.lauf.gestartet = true;
  return true;
}

void startbildVorbereiten(Anzeige& anzeige) {
  anzeige.canvas().schrifthoehe(14);
  if (anzeige.canvas().zeichnet()) anzeige.eingabeHinweis();
}

bool ansichtNachLaden(Simulation& sim, const Ansichtsflags& ansicht, Anzeigezustand& zustand, Anzeige* anzeige) {
  sim.zeittakt = 0;
  if (ansicht.oszi()) zustand.schreibzeile = 20;
  if (anzeige == nullptr || !(ansicht.zellansicht() || ansicht.ansichtKomprimiert)) return false;
  anzeige->netzzeichnen();
  return true;
}

}  // namespace velkor
