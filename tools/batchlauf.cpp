#include "tools/batchlauf.h"

#include <sys/resource.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iomanip>
#include <memory>
#include <string>
#include <vector>

#include "display/anzeige.h"
#include "display/nullcanvas.h"
#include "engine/erklaeren.h"
#include "engine/zustandsbild.h"
#include "lauf/bild.h"
#include "lauf/erklaerungstext.h"
#include "lauf/haltepunkt.h"
#include "lauf/kommandozeile.h"
#include "lauf/laufreihe.h"
#include "lauf/start.h"
#include "lauf/verteilt.h"
#include "net/dateigrund.h"
#include "net/zustand.h"
#include "tools/spikeliste.h"

namespace velkor {

namespace {

using Uhr = std::chrono::steady_clock;

double sekunden(Uhr::time_point von, Uhr::time_point bis) { return std::chrono::duration<double>(bis - von).count(); }

void netzfehlerMelden(std::ostream& fehler) {
  const std::string sterne(68, '*');
  fehler << sterne << '\n'
         << "Netzfehler:\n"
         << "Simulation abgebrochen,\n"
         << "Details siehe Protokolldatei\n"
         << sterne << '\n';
}

// Peak resident memory of the process in MiB (ru_maxrss is in KiB on Linux).
double spitzenspeicherMb() {
  rusage nutzung{};
  if (getrusage(RUSAGE_SELF, &nutzung) != 0) return 0.0;
  return static_cast<double>(nutzung.ru_maxrss) / 1024.0;
}

// An explanation asked for: the cell, the step, and the state at the start of
// that step once the run has come there.
struct Erklaerwunsch {
  int32_t zelle;
  int32_t takt;
  std::unique_ptr<Zustandsbild> bild;
};

// Passes every hook of the cycle on to the display and shows, about twice a
// second, how far a long run has come. Takes the state at the start of the
// steps to be explained.
class Fortschritt : public Zyklusanzeige {
 public:
  Fortschritt(Zyklusanzeige& innen, const Simulation& sim, std::ostream* ziel, Spikeliste& spikes)
      : innen_(innen), sim_(sim), ziel_(ziel), spikes_(spikes), letzte_(Uhr::now()), start_(letzte_) {}

  void zeilenvorschub() override {
    for (Erklaerwunsch& w : wuensche) {
      if (w.takt == sim_.zeittakt && !w.bild) w.bild = std::make_unique<Zustandsbild>(zustandAufnehmen(sim_, nullptr));
    }
    innen_.zeilenvorschub();
  }
  std::vector<Erklaerwunsch> wuensche;
  void refraktaerEnde(int32_t zelle) override { innen_.refraktaerEnde(zelle); }
  void gefeuert(int32_t zelle) override {
    if (spikes_.offen()) {
      spikes_.eintragen(sim_.zeittakt, zelle, sim_.netz.Zelltabelle[static_cast<std::size_t>(zelle)].name);
    }
  }
  void anzeigen() override { innen_.anzeigen(); }
  void taktanzeige() override {
    innen_.taktanzeige();
    ++schritte_;
    if (ziel_ != nullptr) melden();
  }
  void eingabeHinweis() override { innen_.eingabeHinweis(); }
  void netzfehlerHinweis() override { innen_.netzfehlerHinweis(); }

  // Erases the progress line, if one was shown.
  void abschliessen() {
    if (gezeigt_) *ziel_ << '\r' << std::string(laenge_, ' ') << '\r' << std::flush;
    gezeigt_ = false;
  }

 private:
  void melden() {
    const auto jetzt = Uhr::now();
    if (sekunden(letzte_, jetzt) < 0.5) return;
    letzte_ = jetzt;
    const double rate = static_cast<double>(schritte_) / sekunden(start_, jetzt);
    char zeile[96];
    const int n = std::snprintf(zeile, sizeof zeile, "zeittakt %d, %.0f time steps/s", sim_.zeittakt, rate);
    if (n <= 0) return;
    const std::size_t neu = static_cast<std::size_t>(n);
    *ziel_ << '\r' << zeile << std::string(laenge_ > neu ? laenge_ - neu : 0, ' ') << std::flush;
    laenge_ = neu;
    gezeigt_ = true;
  }

  Zyklusanzeige& innen_;
  const Simulation& sim_;
  std::ostream* ziel_;
  Spikeliste& spikes_;
  Uhr::time_point letzte_;
  Uhr::time_point start_;
  int64_t schritte_ = 0;
  std::size_t laenge_ = 0;
  bool gezeigt_ = false;
};

struct Ergebnis {
  int status = exitFertig;
  int64_t schritte = 0;
  double ladezeit = 0.0;
  double laufzeit = 0.0;
  uint64_t gesendet = 0;  // of a shared run: the bytes this process handed on in the time steps
};

void zusammenfassen(const Batchoptionen& o, const Simulation& sim, const Kommandozeilenergebnis& kz, const Ergebnis& e,
                    std::ostream& aus) {
  const double rate = e.laufzeit > 0.0 ? static_cast<double>(e.schritte) / e.laufzeit : 0.0;
  aus << e.schritte << " time steps, zeittakt " << sim.zeittakt << ", " << std::fixed << std::setprecision(3)
      << e.laufzeit << " s, " << std::setprecision(0) << rate << " time steps/s";
  if (kz.benutzterSeed && !o.seed) aus << ", seed " << *kz.benutzterSeed;
  aus << '\n';
  if (o.statistik) {
    aus << "steps=" << e.schritte << " zeittakt=" << sim.zeittakt << std::setprecision(6) << " load_s=" << e.ladezeit
        << " run_s=" << e.laufzeit << std::setprecision(0) << " steps_per_s=" << rate << std::setprecision(1)
        << " peak_rss_mb=" << spitzenspeicherMb() << " threads=" << sim.faeden.teile(sim.netz.zellenzahl);
    if (verteilt(sim.verbund)) {
      // Every process's peak (the first one's stands above), and the bytes
      // all processes handed on per time step of the run.
      std::vector<uint64_t> spitzen;
      sim.verbund->alleWerte(static_cast<uint64_t>(spitzenspeicherMb() * 10.0), spitzen);
      std::vector<uint64_t> bytes;
      sim.verbund->alleWerte(e.gesendet, bytes);
      uint64_t summe = 0;
      for (const uint64_t b : bytes) summe += b;
      aus << " processes=" << sim.verbund->groesse() << " peak_rss_mb_each=";
      for (std::size_t r = 0; r < spitzen.size(); ++r)
        aus << (r > 0 ? "," : "") << static_cast<double>(spitzen[r]) / 10.0;
      aus << std::setprecision(0) << " exchanged_bytes_per_step="
          << (e.schritte > 0 ? static_cast<double>(summe) / static_cast<double>(e.schritte) : 0.0);
    }
    aus << '\n';
  }
  aus << std::flush;
}

// The breakpoints of the options in the loaded net; the first cell the net
// does not have goes to `unbekannt`.
bool haltepunkteLesen(const Batchoptionen& o, const Netz& netz, Haltepunkte& h, std::string& unbekannt) {
  for (const std::string& text : o.haltZellen) {
    const int32_t c = zelleNachText(netz, text);
    if (c < 0) {
      unbekannt = text;
      return false;
    }
    h.feuern.push_back(c);
  }
  h.takte = o.haltTakte;
  return true;
}

// "halt after time step 12: --break-fires C3 (cell 3), --break-step 12"
void halteMelden(const std::vector<Halt>& halte, const Netz& netz, std::ostream& aus) {
  if (halte.empty()) return;
  aus << "halt after time step " << halte.front().takt << ':';
  const char* trenner = " ";
  for (const Halt& h : halte) {
    aus << trenner;
    trenner = ", ";
    if (h.art == Haltart::takt) {
      aus << "--break-step " << h.takt;
    } else {
      aus << "--break-fires " << netz.Zelltabelle[static_cast<std::size_t>(h.zelle)].name << " (cell " << h.zelle
          << ')';
    }
  }
  aus << '\n';
}

// Everything from the loaded net and the open input on.
class Lauf {
 public:
  Lauf(const Batchoptionen& o, Simulation& sim, Anzeige& anzeige, Spikeliste& spikes, const Haltepunkte& haltepunkte,
       std::ostream& aus, std::ostream& fehler, bool fortschritt)
      : o_(o),
        sim_(sim),
        anzeige_(anzeige),
        spikes_(spikes),
        haltepunkte_(haltepunkte),
        aus_(aus),
        fehler_(fehler),
        hooks_(anzeige, sim, fortschritt ? &fehler : nullptr, spikes) {}

  // The runs until stop, then the single time steps. Returns the steps run.
  // A breakpoint ends a run as a stop mark does; in the single steps, which
  // end after every step anyway, it is only reported.
  int64_t rechnen() {
    int64_t schritte = 0;
    if (sim_.lauf.netzfehler) {
      // Every request for a time step shows the block and runs nothing.
      if (o_.laeufe != 0 || o_.schritte > 0) zyklusLaufen(sim_, hooks_);
      netzfehlerMelden(fehler_);
      return 0;
    }
    for (int64_t lauf = 0; !o_.laeufe || lauf < *o_.laeufe; ++lauf) {
      if (sim_.lauf.eingabeEnde) break;  // "Simulation bis Stop" does nothing then
      schritte += bisStop(sim_, hooks_, &anzeige_, haltepunkte_, halte_);
      melden();
    }
    for (int64_t i = 0; i < o_.schritte; ++i) {
      schritte += einzelschritt(sim_, hooks_, haltepunkte_, halte_);
      melden();
    }
    hooks_.abschliessen();
    return schritte;
  }

  void erklaerungenVormerken(std::vector<Erklaerwunsch> w) { hooks_.wuensche = std::move(w); }

  // The explanations asked for, each step run again in the plain form from
  // the state taken at its start; the simulation is then put back where the
  // run ended. False when a step was not reached.
  bool erklaeren() {
    if (hooks_.wuensche.empty()) return true;
    Packer packer;
    const Zustandsbild ende = zustandAufnehmen(sim_, nullptr);
    bool ok = true;
    Zyklusanzeige still;
    for (const Erklaerwunsch& w : hooks_.wuensche) {
      std::string meldung;
      if (!w.bild) {
        ok = melden("--explain: time step " + std::to_string(w.takt) + " was not run (the run ended at zeittakt " +
                    std::to_string(sim_.zeittakt) + ")");
        continue;
      }
      if (!zustandHerstellen(sim_, *w.bild, packer, meldung)) {
        ok = melden("--explain: " + meldung);
        continue;
      }
      const std::vector<Erklaerung> e = velkor::erklaeren(sim_, {w.zelle}, still);
      if (!e.empty())
        aus_ << (o_.json ? erklaerungJson(e.front(), sim_.netz) + "\n" : erklaerungText(e.front(), sim_.netz));
    }
    std::string meldung;
    if (!zustandHerstellen(sim_, ende, packer, meldung)) ok = melden("--explain: " + meldung);
    aus_ << std::flush;
    return ok;
  }

  // Trace log, state file and pictures at the end. False when one failed.
  bool ausgeben() {
    bool ok = true;
    std::string meldung;
    if (o_.protokoll) {
      if (!anzeige_.logFehlerfrei(&meldung)) ok = melden(meldung);
      anzeige_.logende();
    }
    if (!spikes_.schliessen(meldung)) ok = melden(meldung);
    if (o_.zustand) {
      // Of a shared run every process writes the blocks of its stretch.
      const bool geschrieben =
          verteilt(sim_.verbund)
              ? zustandVerteiltSchreiben(*sim_.verbund, sim_, meldung)
              : zustandschreiben(sim_.netz, sim_.zeittakt, sim_.param.xVerschiebung, sim_.param.yVerschiebung, meldung);
      if (!geschrieben) ok = melden(meldung);
    }
    if (o_.bild && !bildschirmSpeichern(anzeige_.canvas(), o_.W, o_.H, sim_.param.farbBild, meldung)) {
      ok = melden(meldung);
    }
    if (!o_.png.empty() && !pngSpeichern(anzeige_.canvas(), o_.png, meldung)) ok = melden(meldung);
    return ok;
  }

 private:
  bool melden(const std::string& meldung) {
    fehler_ << "velkor-batch: " << meldung << '\n';
    return false;
  }
  // The note of a halt, the progress line out of its way.
  void melden() {
    if (halte_.empty()) return;
    hooks_.abschliessen();
    halteMelden(halte_, sim_.netz, aus_);
  }

  const Batchoptionen& o_;
  Simulation& sim_;
  Anzeige& anzeige_;
  Spikeliste& spikes_;
  const Haltepunkte& haltepunkte_;
  std::vector<Halt> halte_;
  std::ostream& aus_;
  std::ostream& fehler_;
  Fortschritt hooks_;
};

// The outcome of a stage of the run: a status other than 0 ends it, after
// `text` has been written to stderr. Of a shared run every process calls it
// at the same stages; a failure on any ends all with the first one's text
// and status, written by the first process.
class Stufen {
 public:
  Stufen(Verbund* verbund, std::ostream& fehler) : verbund_(verteilt(verbund) ? verbund : nullptr), fehler_(fehler) {}
  // True when the run goes on.
  bool weiter(int status, std::string text = {}) {
    if (verbund_ != nullptr) status = einigen(*verbund_, status, text);
    if (status == 0) return true;
    fehler_ << text << std::flush;
    status_ = status;
    return false;
  }
  int status() const { return status_; }

 private:
  Verbund* verbund_;
  std::ostream& fehler_;
  int status_ = exitFertig;
};

}  // namespace

int batchlauf(const Batchoptionen& optionen, std::ostream& aus, std::ostream& fehler, bool fortschritt,
              Verbund* verbund) {
  if (optionen.positionen.size() < 3) {
    fehler << zuWenigParameterText << '\n';
    return exitAufruf;
  }
  // Of a shared run only the first process writes files; the others take
  // part in the state file.
  const bool erster = !verteilt(verbund) || verbund->rang() == 0;
  Batchoptionen o = optionen;
  if (!erster) {
    o.protokoll = false;
    o.spikes.clear();
  }
  Stufen stufen(verbund, fehler);
  const auto beginn = Uhr::now();
  auto sim = std::make_unique<Simulation>();
  sim->verbund = verbund;
  if (o.faeden) sim->faeden.setzen(*o.faeden);
  Ansichtsflags ansicht;
  Anzeigezustand zustand;
  zustand.W = o.W;
  zustand.H = o.H;
  // The canvas is the client area of a window of the outer size W x H.
  std::unique_ptr<Canvas> canvas;
  if (o.zeichnet()) {
    canvas = bildCanvasErzeugen(o.W - 8, o.H - 50);
  } else {
    canvas = std::make_unique<NullCanvas>(o.W - 8, o.H - 50);
  }
  Anzeige anzeige(*sim, ansicht, zustand, *canvas);

  // Start preparation, command-line form.
  startbildVorbereiten(anzeige);
  const Kommandozeilenergebnis kz =
      kommandozeileLesen(o.positionen, sim->param, sim->lauf, ansicht, sim->zufall, o.seed);
  if (sim->param.netzdateiname.empty()) {
    // "protok.txt" empty, as the start preparation creates it before anything else.
    std::string meldung;
    const int status = erster && !protokollAnlegen(meldung) ? exitDateifehler : 0;
    if (!stufen.weiter(status, "velkor-batch: " + meldung + "\n")) return stufen.status();
    stufen.weiter(exitAufruf, "keine Netzdatei geöffnet\n");
    return stufen.status();
  }
  const Ladeergebnis geladen = netzVorbereiten(*sim);
  if (geladen.status == Ladestatus::formatfehler) {
    stufen.weiter(exitFormatfehler, std::string(formatfehlerText) + "\n");
    return stufen.status();
  }
  if (!stufen.weiter(geladen.status == Ladestatus::dateifehler ? exitDateifehler : 0,
                     "velkor-batch: " + geladen.meldung + "\n")) {
    return stufen.status();
  }
  ansichtNachLaden(*sim, ansicht, zustand, &anzeige);
  Haltepunkte haltepunkte;
  if (std::string unbekannt; !haltepunkteLesen(o, sim->netz, haltepunkte, unbekannt)) {
    fehler << "velkor-batch: --break-fires: no cell \"" << unbekannt << "\"\n";
    return exitAufruf;
  }
  std::vector<Erklaerwunsch> wuensche;
  for (const auto& [text, takt] : o.erklaerungen) {
    const int32_t c = zelleNachText(sim->netz, text);
    if (c < 0) {
      fehler << "velkor-batch: --explain: no cell \"" << text << "\"\n";
      return exitAufruf;
    }
    wuensche.push_back({c, takt, nullptr});
  }
  if (sim->param.eingabedateiname.empty()) {
    fehler << "keine Eingabedatei geöffnet\n";
    return exitAufruf;
  }
  // Each file in turn; the message names the file and the reason.
  std::string meldung;
  auto datei = [&](bool gelungen) {
    return stufen.weiter(gelungen ? 0 : exitDateifehler, "velkor-batch: " + meldung + "\n");
  };
  if (!datei(eingabeVorbereiten(*sim, meldung))) return stufen.status();
  if (!datei(!o.protokoll || anzeige.logstart(meldung))) return stufen.status();
  Spikeliste spikes;
  if (!datei(o.spikes.empty() || spikes.oeffnen(o.spikes, meldung))) return stufen.status();
  // The arrivals that a shared run hands on name their connection in 31 bits.
  if (!stufen.weiter(verteilt(verbund) && sim->netz.verbindungen.size() > sim->plan.teilbarePlaetze ? exitAufruf : 0,
                     "velkor-batch: " + std::to_string(sim->netz.verbindungen.size()) +
                         " connections in one process, at most " + std::to_string(sim->plan.teilbarePlaetze) +
                         ": run on more processes\n")) {
    return stufen.status();
  }

  Ergebnis e;
  const auto geladenUm = Uhr::now();
  e.ladezeit = sekunden(beginn, geladenUm);
  const uint64_t gesendetVorher = verteilt(verbund) ? verbund->gesendet() : 0;
  Lauf lauf(o, *sim, anzeige, spikes, haltepunkte, aus, fehler, fortschritt && erster);
  lauf.erklaerungenVormerken(std::move(wuensche));
  e.schritte = lauf.rechnen();
  e.laufzeit = sekunden(geladenUm, Uhr::now());
  if (verteilt(verbund)) e.gesendet = verbund->gesendet() - gesendetVorher;
  const bool erklaert = sim->lauf.netzfehler || lauf.erklaeren();
  const bool ausgegeben = lauf.ausgeben();
  if (!ausgegeben) {
    e.status = exitDateifehler;
  } else if (sim->lauf.netzfehler) {
    e.status = exitNetzfehler;
  } else if (!erklaert) {
    e.status = exitAufruf;
  }
  errno = 0;
  zusammenfassen(o, *sim, kz, e, aus);
  if (!aus) {
    // The summary is the runner's result: losing it is no success.
    fehler << "velkor-batch: standard output: " << dateigrund(errno, "Schreibfehler") << '\n';
    if (e.status == exitFertig) e.status = exitDateifehler;
  }
  // What the first process wrote decides the status of all.
  if (verteilt(verbund)) {
    std::string status = std::to_string(e.status);
    verbund->verbreiten(status, 0);
    e.status = std::stoi(status);
  }
  return e.status;
}

}  // namespace velkor
