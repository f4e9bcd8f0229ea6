#include "lauf/start.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>
#include <vector>

#include "display/anzeige.h"
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

namespace {

// A net shared by several processes: each loads its part and checks the
// targets of its own connections; the first writes "protok.txt", with the
// lines of the others after its own, in the order of the processes and so
// of the file. A faulty target anywhere makes the net faulty everywhere.
Ladeergebnis teilLaden(Simulation& sim) {
  Verbund& verbund = *sim.verbund;
  const Netzaufteilung aufteilung{verbund.rang(), verbund.groesse()};
  Ladeergebnis ergebnis;
  std::string zeilen;
  if (aufteilung.teil == 0) {
    std::ofstream protokoll;
    std::string meldung;
    if (protokollOeffnen(protokoll, meldung)) {
      ergebnis = netzladen(sim.param.netzdateiname, sim.param.xVerschiebung, sim.param.yVerschiebung, sim.netz,
                           protokoll, aufteilung);
    } else {
      ergebnis.status = Ladestatus::dateifehler;
      ergebnis.meldung = meldung;
    }
    for (int32_t r = 1; r < verbund.groesse(); ++r) {
      verbund.empfangen(zeilen, r);
      protokoll << zeilen;
    }
    if (protokoll.is_open() && !protokollSchliessen(protokoll, meldung) && ergebnis.status == Ladestatus::ok) {
      ergebnis.status = Ladestatus::dateifehler;
      ergebnis.meldung = meldung;
    }
  } else {
    std::ostringstream protokoll;
    ergebnis = netzladen(sim.param.netzdateiname, sim.param.xVerschiebung, sim.param.yVerschiebung, sim.netz, protokoll,
                         aufteilung);
    verbund.senden(protokoll.str(), 0);
  }
  std::vector<uint64_t> fehlerhaft;
  verbund.alleWerte(ergebnis.netzfehler ? 1 : 0, fehlerhaft);
  for (const uint64_t f : fehlerhaft) ergebnis.netzfehler = ergebnis.netzfehler || f != 0;
  return ergebnis;
}

}  // namespace

Ladeergebnis netzVorbereiten(Simulation& sim) {
  sim.zeittakt = 0;
  if (verteilt(sim.verbund)) return nachDemLaden(sim, teilLaden(sim));
  // "protok.txt" is created empty before every load.
  std::ofstream protokoll;
  std::string meldung;
  if (!protokollOeffnen(protokoll, meldung)) {
    Ladeergebnis fehler;
    fehler.status = Ladestatus::dateifehler;
    fehler.meldung = meldung;
    return fehler;
  }
  Ladeergebnis ergebnis =
      netzladen(sim.param.netzdateiname, sim.param.xVerschiebung, sim.param.yVerschiebung, sim.netz, protokoll);
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
