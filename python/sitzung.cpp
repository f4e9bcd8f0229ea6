#include "python/sitzung.h"

#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>

#include "display/anzeige.h"
#include "engine/zyklus.h"
#include "lauf/bild.h"
#include "lauf/kommandozeile.h"
#include "lauf/laufreihe.h"
#include "lauf/start.h"
#include "net/netzladen.h"
#include "net/zustand.h"
#include "python/spalten.h"

namespace velkor {

namespace {

// A file that cannot be read gives the system's reason, naming the file. A
// directory opens but cannot be read, so it is asked for first.
void lesbarPruefen(const std::string& datei) {
  struct stat info {};
  if (::stat(datei.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
    throw Dateifehler(datei + ": " + std::strerror(EISDIR), EISDIR, datei);
  }
  std::FILE* f = std::fopen(datei.c_str(), "rb");
  if (f == nullptr) {
    const int e = errno;
    throw Dateifehler(datei + ": " + std::strerror(e), e, datei);
  }
  std::fclose(f);
}

std::vector<std::string> zeilen(const std::string& text) {
  std::vector<std::string> aus;
  std::istringstream ein(text);
  for (std::string z; std::getline(ein, z);) aus.push_back(z);
  return aus;
}

std::vector<std::string> woerter(const std::string& text) {
  std::vector<std::string> aus;
  std::istringstream ein(text);
  for (std::string w; ein >> w;) aus.push_back(w);
  return aus;
}

}  // namespace

Sitzung::Sitzung(Quelle quelle) : quelle_(std::move(quelle)) {
  if (quelle_.breite != 0) {
    if (!bilderVerfuegbar()) throw std::logic_error("pictures are not available: velkor was built without the display");
    // The canvas is the client area of a window of the outer size.
    anzeigezustand_.W = quelle_.breite;
    anzeigezustand_.H = quelle_.hoehe;
    canvas_ = bildCanvasErzeugen(quelle_.breite - 8, quelle_.hoehe - 50);
    anzeige_ = std::make_unique<Anzeige>(sim_, ansicht_, anzeigezustand_, *canvas_);
    aufzeichnung_.anzeigeSetzen(anzeige_.get());
    startbildVorbereiten(*anzeige_);
  }
  modiLesen();
  netzLaden();
  anzeigeVorbereiten();
  eingabeOeffnen();
  verlauf_.neuBeginnen(sim_);
}

Sitzung::~Sitzung() {
  if (eingabeFd_ >= 0) ::close(eingabeFd_);
}

void Sitzung::modiLesen() {
  std::vector<std::string> parameter{"velkor", quelle_.netzAlsText ? "<text>" : quelle_.netz, "<eingabe>"};
  for (auto& w : woerter(quelle_.modi)) parameter.push_back(std::move(w));
  // As velkor-batch --seed: the seed replaces the clock seed of "P".
  kommandozeileLesen(parameter, sim_.param, sim_.lauf, ansicht_, sim_.zufall, quelle_.seed);
}

void Sitzung::netzLaden() {
  std::ostringstream protokoll;
  Netz neu;
  Ladeergebnis ergebnis;
  if (quelle_.netzAlsText) {
    ergebnis = netzladenAusText(quelle_.netz, sim_.param.xVerschiebung, sim_.param.yVerschiebung, neu, protokoll);
  } else {
    lesbarPruefen(quelle_.netz);
    ergebnis = netzladen(quelle_.netz, sim_.param.xVerschiebung, sim_.param.yVerschiebung, neu, protokoll);
  }
  if (ergebnis.status == Ladestatus::formatfehler) throw Formatfehler(formatfehlerText);
  if (ergebnis.status == Ladestatus::dateifehler) throw Dateifehler(ergebnis.meldung, 0, quelle_.netz);
  if (quelle_.protokollordner) {
    const std::string pfad = *quelle_.protokollordner + "/" + protokolldateiname;
    std::ofstream datei(pfad, std::ios::out | std::ios::trunc | std::ios::binary);
    if (datei) datei << protokoll.str();
    if (!datei.flush()) {
      const int e = errno;
      throw Dateifehler(pfad + ": " + std::strerror(e != 0 ? e : EIO), e, pfad);
    }
  }
  if (ergebnis.netzfehler) {
    sim_.lauf.netzfehler = true;
    throw Netzfehler("Netzfehler: the net names missing cells (see the protocol lines)", zeilen(protokoll.str()));
  }
  sim_.netz = std::move(neu);
  kennungGueltig_ = false;
  sim_.zeittakt = 0;
  sim_.plan.verwerfen();
  // Done here, as in the start preparation, so that the first step costs what the others do.
  sim_.plan.pruefen(sim_.netz);
  sim_.plan.modusWaehlen(sim_.netz, sim_.param.pWert);
  aufzeichnung_.reihenPruefen();
}

void Sitzung::anzeigeVorbereiten() {
  if (anzeige_) ansichtNachLaden(sim_, ansicht_, anzeigezustand_, anzeige_.get());
}

void Sitzung::eingabeOeffnen() {
  sim_.zeittakt = 0;
  sim_.lauf.eingabeEnde = false;
  sim_.lauf.anhalten = false;
  sim_.eingabe.schliessen();
  if (!quelle_.eingabe) return;
  std::string name = *quelle_.eingabe;
  if (quelle_.eingabeAlsText) {
    // The reader takes a file name: the text lives in an anonymous memory
    // file, which every open reads from the start.
    if (eingabeFd_ < 0) {
      eingabeFd_ = ::memfd_create("velkor-eingabe", MFD_CLOEXEC);
      if (eingabeFd_ < 0) throw Dateifehler(std::string("memfd: ") + std::strerror(errno), errno, "memfd");
      const std::string& text = *quelle_.eingabe;
      std::size_t geschrieben = 0;
      while (geschrieben < text.size()) {
        const ssize_t n = ::write(eingabeFd_, text.data() + geschrieben, text.size() - geschrieben);
        if (n <= 0) throw Dateifehler(std::string("memfd: ") + std::strerror(errno), errno, "memfd");
        geschrieben += static_cast<std::size_t>(n);
      }
    }
    name = "/proc/self/fd/" + std::to_string(eingabeFd_);
  } else {
    lesbarPruefen(name);
  }
  std::string fehler;
  if (!sim_.eingabe.eingabestart(name, fehler)) throw Dateifehler(fehler, 0, name);
  sim_.lauf.gestartet = true;
}

// Runs `lauf(hooks)` with the hooks that the history watches while it is on.
template <class F>
int64_t Sitzung::mitVerlauf(F&& lauf) {
  if (!verlaufAn_) return lauf(static_cast<Zyklusanzeige&>(aufzeichnung_));
  Verlaufswache wache(verlauf_, sim_, aufzeichnung_);
  return lauf(static_cast<Zyklusanzeige&>(wache));
}

int64_t Sitzung::schritte(int64_t n, bool (*unterbrechung)()) {
  halte.clear();
  return mitVerlauf([&](Zyklusanzeige& hooks) {
    int64_t gelaufen = 0;
    for (int64_t i = 0; i < n; ++i) {
      gelaufen += einzelschritt(sim_, hooks, haltepunkte, halte);
      if (!halte.empty() || (unterbrechung != nullptr && unterbrechung())) break;
    }
    return gelaufen;
  });
}

int64_t Sitzung::bisStop(bool (*unterbrechung)(), const Haltepunkte* einmalig) {
  aufzeichnung_.abbruch = unterbrechung;
  aufzeichnung_.abbruchLauf = &sim_.lauf;
  Haltepunkte vereint;
  if (einmalig != nullptr) {
    vereint = haltepunkte;
    vereint.hinzufuegen(*einmalig);
  }
  const int64_t gelaufen = mitVerlauf([&](Zyklusanzeige& hooks) {
    return velkor::bisStop(sim_, hooks, anzeige_.get(), einmalig != nullptr ? vereint : haltepunkte, halte);
  });
  aufzeichnung_.abbruch = nullptr;
  return gelaufen;
}

int64_t Sitzung::bisEnde(bool (*unterbrechung)()) {
  int64_t gelaufen = 0;
  halte.clear();
  while (!sim_.lauf.eingabeEnde && halte.empty()) {
    gelaufen += bisStop(unterbrechung);
    if (unterbrechung != nullptr && unterbrechung()) break;
  }
  return gelaufen;
}

void Sitzung::laufBeginnen() {
  frei();
  aufzeichnung_.takt.store(sim_.zeittakt, std::memory_order_relaxed);
  aufzeichnung_.laeuft->store(true, std::memory_order_release);
}

void Sitzung::neustart() {
  frei();
  if (sim_.lauf.pZufall) sim_.zufall.seed(quelle_.seed ? *quelle_.seed : Zufall::uhrzeitSeed());
  netzLaden();
  if (anzeige_) {
    anzeige_->statusleiste();
    anzeigezustand_.schreibzeile = 20;
    anzeigeVorbereiten();
  }
  eingabeOeffnen();
  halte.clear();
  sim_.lauf.neugestartet = true;
  verlauf_.neuBeginnen(sim_);
}

std::unique_ptr<Canvas> Sitzung::bildZeichnen(const std::string& ansicht, int breite, int hoehe) {
  frei();
  if (!bilderVerfuegbar()) throw std::logic_error("pictures are not available: velkor was built without the display");
  // The view letters read as on the command line, into scratch flags.
  std::vector<std::string> parameter{"", "", ""};
  for (auto& w : woerter(ansicht)) parameter.push_back(std::move(w));
  Laufparameter param;
  Laufzustand lauf;
  Ansichtsflags flags;
  Zufall zufall;
  kommandozeileLesen(parameter, param, lauf, flags, zufall);
  if (!flags.zellansicht() && !flags.ansichtKomprimiert) {
    throw std::invalid_argument("view '" + ansicht +
                                "': only the cell view (v, V) and the compressed view (m N) draw from the state; "
                                "for the others create the Simulation with display=(W, H)");
  }
  Anzeigezustand zustand;
  zustand.W = breite;
  zustand.H = hoehe;
  auto canvas = bildCanvasErzeugen(breite - 8, hoehe - 50);
  const Pegelstand gerettet = pegelRetten(sim_.netz);
  const int32_t vergroesserung = sim_.param.vergroesserung;
  sim_.param.vergroesserung = param.vergroesserung;
  {
    Anzeige anzeige(sim_, flags, zustand, *canvas);
    canvas->schrifthoehe(14);
    anzeige.eingabeHinweis();  // the bar as the start preparation leaves it
    anzeige.netzzeichnen();
  }
  sim_.param.vergroesserung = vergroesserung;
  pegelZurueck(sim_.netz, gerettet);
  return canvas;
}

void Sitzung::erregen(int32_t zelle) {
  frei();
  sim_.eingabe.vormerken(zelle);
  if (verlaufAn_) verlauf_.aenderung(sim_);
}

void Sitzung::vorAenderung() {
  frei();
  laufzaehlerAbgleichen(sim_);
}

void Sitzung::nachAenderung(bool grundlegend) {
  sim_.plan.verwerfen();
  if (grundlegend) {
    kennungGueltig_ = false;
    verlauf_.neuBeginnen(sim_);
    if (verlaufAn_) verlauf_.aenderung(sim_);
  } else if (verlaufAn_) {
    verlauf_.aenderung(sim_);
  }
}

void Sitzung::pSetzen(int32_t p) {
  frei();
  sim_.param.pWert = p;
  if (verlaufAn_) verlauf_.aenderung(sim_);
}

void Sitzung::verlaufSetzen(bool an) {
  frei();
  if (an == verlaufAn_) return;
  verlaufAn_ = an;
  // Off drops what it holds; on begins at the present step.
  verlauf_.neuBeginnen(sim_);
  if (an) verlauf_.aenderung(sim_);
}

void Sitzung::aufzeichnungKuerzen(int32_t ab) {
  Spikespur& s = *aufzeichnung_.spikes;
  std::size_t n = 0;
  while (n < s.takte.size() && s.takte[n] < ab) ++n;
  s.takte.resize(n);
  s.zellen.resize(n);
  for (const auto& reihe : aufzeichnung_.reihen) {
    std::size_t m = 0;
    while (m < reihe->takte.size() && reihe->takte[m] < ab) ++m;
    reihe->takte.resize(m);
    reihe->werte.resize(m * reihe->zellen.size());
  }
}

void Sitzung::gehe(int32_t n) {
  frei();
  if (!verlaufAn_) throw std::logic_error("the history is off (history.enabled = False)");
  if (n < verlauf_.erster() || n > verlauf_.letzter()) {
    throw std::invalid_argument("step " + std::to_string(n) + " is not in the history (it holds steps " +
                                std::to_string(verlauf_.erster()) + " to " + std::to_string(verlauf_.letzter()) + ")");
  }
  const int32_t vorher = sim_.zeittakt;
  // The steps run again are not recorded twice.
  Zyklusanzeige still;
  std::string fehler;
  if (!verlauf_.gehe(sim_, n, still, fehler)) throw Zustandsfehler(fehler);
  aufzeichnungKuerzen(std::min(n, vorher));
}

uint64_t Sitzung::kennung() const {
  if (!kennungGueltig_) {
    kennung_ = netzkennung(sim_.netz);
    kennungGueltig_ = true;
  }
  return kennung_;
}

std::shared_ptr<const Zustandsbild> Sitzung::aufnehmen() const {
  frei();
  return std::make_shared<Zustandsbild>(zustandAufnehmen(sim_, nullptr));
}

void Sitzung::herstellen(const Zustandsbild& bild) {
  frei();
  std::string fehler;
  if (!zustandHerstellen(sim_, bild, packer_, fehler)) throw Zustandsfehler(fehler);
  sim_.lauf.anhalten = true;
  aufzeichnungKuerzen(sim_.zeittakt);
  // Another course than the one the history holds: it begins here.
  verlauf_.neuBeginnen(sim_);
  if (verlaufAn_) verlauf_.aenderung(sim_);
}

std::string Sitzung::bytes(const Zustandsbild& bild) const {
  frei();
  return zustandsbytes(bild, kennung(), packer_);
}

std::shared_ptr<const Zustandsbild> Sitzung::ausBytes(std::string_view bytes) const {
  frei();
  auto bild = std::make_shared<Zustandsbild>();
  std::string fehler;
  if (!zustandAusBytes(bytes, kennung(), *bild, fehler)) throw Zustandsfehler(fehler);
  return bild;
}

std::vector<Erklaerung> Sitzung::erklaeren(const std::vector<int32_t>& zellen, int32_t schritt) {
  frei();
  if (sim_.lauf.netzfehler) throw Netzfehler("Netzfehler: the net is faulty and is not simulated", {});
  const int32_t jetzt = sim_.zeittakt;
  Zyklusanzeige still;
  std::string fehler;
  if (schritt == jetzt) {
    // The coming step: run in the plain form, then put back.
    const Zustandsbild vorher = zustandAufnehmen(sim_, nullptr);
    auto aus = velkor::erklaeren(sim_, zellen, still);
    if (!zustandHerstellen(sim_, vorher, packer_, fehler)) throw Zustandsfehler(fehler);
    return aus;
  }
  if (!verlaufAn_) {
    throw std::logic_error("the history is off: only the coming step (" + std::to_string(jetzt) + ") can be explained");
  }
  if (schritt < verlauf_.erster() || schritt >= verlauf_.letzter()) {
    throw std::invalid_argument("step " + std::to_string(schritt) + " is not in the history (it holds steps " +
                                std::to_string(verlauf_.erster()) + " to " + std::to_string(verlauf_.letzter()) + ")");
  }
  if (!verlauf_.gehe(sim_, schritt, still, fehler)) throw Zustandsfehler(fehler);
  auto aus = velkor::erklaeren(sim_, zellen, still);
  // Back where the simulation was; the recordings stay as they are.
  if (!verlauf_.gehe(sim_, jetzt, still, fehler)) throw Zustandsfehler(fehler);
  return aus;
}

std::string Sitzung::eingabeText() const {
  frei();
  if (!verlaufAn_) throw std::logic_error("the history is off: the input of the run was not written down");
  std::string text;
  std::string fehler;
  if (!verlauf_.eingabeText(sim_, text, fehler)) throw std::invalid_argument(fehler);
  return text;
}

std::string Sitzung::zustand() const {
  frei();
  return zustandstext(sim_.netz, sim_.zeittakt, sim_.param.xVerschiebung, sim_.param.yVerschiebung);
}

void Sitzung::zustandSpeichern(const std::string& pfad) const {
  frei();
  std::string fehler;
  errno = 0;
  if (!zustandschreiben(sim_.netz, sim_.zeittakt, sim_.param.xVerschiebung, sim_.param.yVerschiebung, fehler, pfad)) {
    throw Dateifehler(fehler, errno, pfad);
  }
}

}  // namespace velkor
