// The window's history and its tools: checkpoints that carry the picture,
// going to any step, breakpoints, entries given by hand and the run
// written out as an input file.

#include <QMouseEvent>
#include <algorithm>
#include <cerrno>
#include <fstream>

#include "app/labor/inspektor.h"
#include "app/labor/labor.h"
#include "app/labor/raster.h"
#include "app/tform1.h"
#include "display/unterwegs.h"
#include "engine/zyklus.h"
#include "net/dateigrund.h"

namespace velkor {

namespace {

// What the window attaches to a checkpoint: the picture below the bar as it
// stood between two steps, the canvas's drawing state, the display state, the
// weight marks of the cell view and where the trace log stood.
struct Fensterbild final : Verlauf::Beilage {
  QImage bild;
  QImageCanvas::Zeichenstand stand{};
  Anzeigezustand zustand;
  std::vector<int8_t> gewichtspegel;
  int logNummer = 0;
  int64_t logLaenge = -1;
  bool imLauf = false;  // taken inside a run until stop, whose notes the bar shows
  std::string haltNotiz, vormerkNotiz;
  std::map<int, int32_t> feuerzeilen;
  std::size_t bytes() const override {
    return sizeof(*this) + static_cast<std::size_t>(bild.sizeInBytes()) + gewichtspegel.size();
  }
};

std::string zellname(const Netz& netz, int32_t zelle) {
  if (zelle < 0 || zelle >= netz.zellenzahl) return "#" + std::to_string(zelle);
  std::string n = netz.Zelltabelle[static_cast<std::size_t>(zelle)].name;
  while (!n.empty() && n.back() == ' ') n.pop_back();
  while (!n.empty() && n.front() == ' ') n.erase(n.begin());
  return n.empty() ? "#" + std::to_string(zelle) : n;
}

}  // namespace

std::string TForm1::haltText(const Netz& netz, const Halt& halt) {
  switch (halt.art) {
    case Haltart::feuern:
      return "Haltepunkt: " + zellname(netz, halt.zelle) + " feuerte";
    case Haltart::potenzial:
      return "Haltepunkt: " + zellname(netz, halt.zelle) + " kreuzte " + QString::number(halt.wert).toStdString();
    case Haltart::takt:
      break;
  }
  return "Haltepunkt: Takt " + std::to_string(halt.takt);
}

bool TForm1::werkzeugFrei() const {
  return !beendet_ && laeuft_ == 0 && sperre_ == 0 && sim_.lauf.gestartet && !netzUnbrauchbar_;
}

void TForm1::verlaufBeginnen() {
  verlauf_.neuBeginnen(sim_);
  haltemarken_.clear();
  halte_.clear();
  haltNotiz_.clear();
  vormerkNotiz_.clear();
  feuerzeilen_.clear();
  if (labor_ != nullptr) labor_->netzGeladen();
  laborAktualisieren();
}

std::shared_ptr<Verlauf::Beilage> TForm1::beilageAufnehmen() {
  auto b = std::make_shared<Fensterbild>();
  // copied here, not on the canvas's next write, so that the history counts
  // the copy in the checkpoint's cost and spaces its checkpoints by it
  b->bild = canvas_.bild().copy();
  b->stand = canvas_.zeichenstand();
  b->zustand = zustand_;
  b->gewichtspegel = sim_.netz.verbindungen.gewichtspegel;
  b->logNummer = logNummer_;
  b->logLaenge = anzeige_.logLaenge();
  b->imLauf = laeuft_ > 0 && !sim_.lauf.anhalten;
  b->haltNotiz = haltNotiz_;
  b->vormerkNotiz = vormerkNotiz_;
  b->feuerzeilen = feuerzeilen_;
  return b;
}

// After the state of a checkpoint is back: its picture, then the steps up to
// the one gone to are drawn again as they were.
void TForm1::beilageHerstellen(const Verlauf::Beilage* beilage) {
  // The trace log is output, not state: it stays open or closed as it is.
  sim_.lauf.logOffen = logWarOffen_;
  sim_.lauf.logAktiv = logWarAktiv_;
  const auto* b = dynamic_cast<const Fensterbild*>(beilage);
  if (b == nullptr) return;
  canvas_.bildSetzen(b->bild);
  haltNotiz_ = b->haltNotiz;
  vormerkNotiz_ = b->vormerkNotiz;
  feuerzeilen_ = b->feuerzeilen;
  if (b->imLauf) {
    // the bar as a run leaves it when it stops there
    anzeige_.eingabeHinweis();
    haltNotiz_.clear();
    vormerkNotiz_.clear();
  }
  canvas_.zeichenstandSetzen(b->stand);
  const int W = zustand_.W, H = zustand_.H;
  zustand_ = b->zustand;
  zustand_.W = W;
  zustand_.H = H;
  sim_.netz.verbindungen.gewichtspegel = b->gewichtspegel;
  // An open log is cut back to where it stood; a log opened after the
  // checkpoint begins anew.
  if (anzeige_.logLaenge() >= 0)
    anzeige_.logKuerzen(b->logNummer == logNummer_ ? std::max<int64_t>(b->logLaenge, 0) : 0);
}

bool TForm1::zuSchrittGehen(int32_t takt) {
  if (!werkzeugFrei() || verlauf_.leer() || takt < verlauf_.erster() || takt > verlauf_.letzter()) return false;
  if (takt == sim_.zeittakt) return true;
  haltNotizLoeschen();
  ersterBild_ = false;
  logWarOffen_ = sim_.lauf.logOffen;
  logWarAktiv_ = sim_.lauf.logAktiv;
  const int32_t zeitlupe = sim_.param.zeitlupe;
  sim_.param.zeitlupe = -1;  // the steps run again take no pause
  std::string fehler;
  Werkzeughaken haken(anzeige_, sim_, labor_ != nullptr ? labor_->raster() : nullptr);
  ++laeuft_;
  const bool ok = verlauf_.gehe(sim_, takt, haken, fehler);
  --laeuft_;
  if (ok && labor_ != nullptr) labor_->zurueckAuf(takt);
  sim_.param.zeitlupe = zeitlupe;
  sim_.lauf.logOffen = logWarOffen_;
  sim_.lauf.logAktiv = logWarAktiv_;
  if (!ok) {
    meldung(
        QStringLiteral("Takt %1 lässt sich nicht wiederherstellen: %2").arg(takt).arg(QString::fromStdString(fehler)));
    laborAktualisieren();
    return false;
  }
  vormerkNotiz();
  bildSofortZeigen();
  logPruefen();
  laborAktualisieren();
  return true;
}

bool TForm1::schrittZurueck() { return sim_.zeittakt > 0 && zuSchrittGehen(sim_.zeittakt - 1); }

bool TForm1::schrittVor() {
  if (!werkzeugFrei()) return false;
  if (sim_.zeittakt < verlauf_.letzter()) return zuSchrittGehen(sim_.zeittakt + 1);
  laufsperreSetzen();
  sim_.lauf.anhalten = true;  // a new single step, as the space bar runs it
  zyklusLaufen();
  return true;
}

bool TForm1::geheZu(int32_t takt) { return zuSchrittGehen(takt); }

bool TForm1::zurStoppmarke() {
  const Haltemarke* beste = nullptr;
  for (const Haltemarke& m : haltemarken_) {
    if (m.takt < sim_.zeittakt && (beste == nullptr || m.takt > beste->takt)) beste = &m;
  }
  return beste != nullptr && zuSchrittGehen(beste->takt);
}

void TForm1::marken(int32_t abTakt) {
  std::erase_if(haltemarken_, [abTakt](const Haltemarke& m) { return m.takt >= abTakt; });
}

void TForm1::haltepunktSetzen(int32_t zelle, std::optional<double> schwelle) {
  if (schwelle) {
    const Potenzialmarke p{zelle, *schwelle};
    if (std::find(haltepunkte_.potenziale.begin(), haltepunkte_.potenziale.end(), p) == haltepunkte_.potenziale.end()) {
      haltepunkte_.potenziale.push_back(p);
    }
  } else if (std::find(haltepunkte_.feuern.begin(), haltepunkte_.feuern.end(), zelle) == haltepunkte_.feuern.end()) {
    haltepunkte_.feuern.push_back(zelle);
  }
  laborAktualisieren();
}

void TForm1::haltepunktLoeschen(int32_t zelle, std::optional<double> schwelle) {
  if (schwelle) {
    std::erase(haltepunkte_.potenziale, Potenzialmarke{zelle, *schwelle});
  } else {
    std::erase(haltepunkte_.feuern, zelle);
  }
  laborAktualisieren();
}

void TForm1::haltNotizLoeschen() {
  if (haltNotiz_.empty()) return;
  anzeige_.hinweisLoeschen(laufhinweisX, haltNotiz_);
  anzeige_.farbenZuruecksetzen();
  haltNotiz_.clear();
}

// The entries given by hand for the next step, named in red in the bar.
void TForm1::vormerkNotiz() {
  if (!vormerkNotiz_.empty()) {
    anzeige_.hinweisLoeschen(laufhinweisX, vormerkNotiz_);
    vormerkNotiz_.clear();
  }
  const std::vector<int32_t>& v = sim_.eingabe.vorgemerkt();
  if (!v.empty()) {
    vormerkNotiz_ = "vorgemerkt:";
    for (const int32_t c : v) vormerkNotiz_ += " " + zellname(sim_.netz, c);
    if (vormerkNotiz_.size() > 40) vormerkNotiz_ = vormerkNotiz_.substr(0, 37) + "...";
    anzeige_.roterHinweis(laufhinweisX, vormerkNotiz_);
  }
  anzeige_.farbenZuruecksetzen();
}

// Runs after every run of steps in the window: the mark of its halt, the
// note of a breakpoint.
void TForm1::nachLauf() {
  if (!halte_.empty()) {
    haltemarken_.push_back({sim_.zeittakt, halte_.front()});
    anzeige_.eingabeHinweis();  // halted as at a stop mark
    haltNotiz_ = haltText(sim_.netz, halte_.front());
    anzeige_.roterHinweis(laufhinweisX, haltNotiz_);
    anzeige_.farbenZuruecksetzen();
  }
  laborAktualisieren();
}

bool TForm1::stimulieren(int32_t zelle) {
  if (!werkzeugFrei() || zelle < 0 || zelle >= sim_.netz.zellenzahl) return false;
  // an edit after going back drops the later history, as a step does
  if (sim_.zeittakt < verlauf_.letzter()) marken(sim_.zeittakt + 1);
  haltNotizLoeschen();
  sim_.eingabe.vormerken(zelle);
  verlauf_.aenderung(sim_);
  vormerkNotiz();
  bildZeigen();
  laborAktualisieren();
  return true;
}

void TForm1::eingriffeSpeichern() {
  if (!sim_.lauf.gestartet || laeuft_ > 0) return;
  std::string text, fehler;
  if (!verlauf_.eingabeText(sim_, text, fehler)) {
    meldung(verlauf_.protokollVollstaendig()
                ? QStringLiteral("Eine Zelle lässt sich in einer Eingabedatei nicht benennen (ihr Name ist leer "
                                 "oder nicht eindeutig).")
                : QStringLiteral("Die Eingabe dieses Laufs ist nicht von Takt 0 an aufgezeichnet."));
    return;
  }
  ++sperre_;
  const QString pfad = optionen_.dateiSpeichern(
      QStringLiteral("Eingriffe speichern"),
      {QStringLiteral("Eingabedateien (*.ein) (*.EIN *.ein)"), QStringLiteral("Alle Dateien (*.*) (*)")});
  --sperre_;
  if (pfad.isEmpty()) return;
  const std::string name = pfad.toStdString();
  errno = 0;
  std::ofstream datei(name, std::ios::binary | std::ios::trunc);
  datei << text;
  datei.flush();
  if (!datei) meldung(dateifehler(name, errno, "Schreibfehler"));
}

int32_t TForm1::zelleBei(QPoint punkt) const {
  const Netz& netz = sim_.netz;
  if (!sim_.lauf.gestartet || netzUnbrauchbar_) return -1;
  const int64_t x = punkt.x(), y = punkt.y();
  if (ansicht_.ansichtKomprimiert) {
    const int64_t m = sim_.param.vergroesserung;
    for (int32_t c = 0; c < netz.zellenzahl; ++c) {
      const TZelle& z = netz.Zelltabelle[static_cast<std::size_t>(c)];
      if (z.spalte == -1) continue;
      const int64_t s = z.spalte, r = z.zeile;
      if (x > m * s && x <= (s + 1) * m && y > m * r + 20 && y <= (r + 3) * m + 20) return c;
    }
    return -1;
  }
  if (!ansicht_.zellansicht()) return -1;
  int32_t beste = -1;
  int64_t abstand = int64_t{16} * 16 + 1;  // inside the cell's circle
  for (int32_t c = 0; c < netz.zellenzahl; ++c) {
    const TZelle& z = netz.Zelltabelle[static_cast<std::size_t>(c)];
    if (z.spalte == -1 || z.zeile == -1) continue;
    const int64_t dx = x - (8 * int64_t{z.spalte} + 10), dy = y - (18 * int64_t{z.zeile} + oberkante);
    if (dx * dx + dy * dy < abstand) {
      abstand = dx * dx + dy * dy;
      beste = c;
    }
  }
  return beste;
}

int32_t TForm1::spalteBei(QPoint punkt) const {
  if (!sim_.lauf.gestartet || netzUnbrauchbar_ || punkt.y() < oberkante) return -1;
  // the shown cells: running numbers displayStart .. displayStart + 33, from 1
  const int64_t n = sim_.netz.zellenzahl;
  const int64_t von = std::clamp<int64_t>(int64_t{sim_.param.displayStart} - 1, 0, n);
  const int64_t bis = std::clamp<int64_t>(int64_t{sim_.param.displayStart} + 33, von, n);
  if (ansicht_.ansichtFeuernd) {
    // the entry whose text row holds the point (entries stand 20 pixels apart)
    auto it = feuerzeilen_.upper_bound(punkt.y());
    if (it == feuerzeilen_.begin()) return -1;
    --it;
    return punkt.y() < it->first + 20 && it->second < sim_.netz.zellenzahl ? it->second : -1;
  }
  int64_t k = -1;
  if (ansicht_.oszi() && punkt.x() >= 1) k = (punkt.x() - 1) / 35;         // column base 1 + 35 k
  if (ansicht_.numerisch() && punkt.x() >= 51) k = (punkt.x() - 51) / 35;  // after the step column
  return k >= 0 && von + k < bis ? static_cast<int32_t>(von + k) : -1;
}

bool TForm1::mausGedrueckt(QMouseEvent* e) {
  const bool umschalt = e->button() == Qt::LeftButton && (e->modifiers() & Qt::ShiftModifier) != 0;
  const bool rechts = e->button() == Qt::RightButton;
  if (!umschalt && !rechts) return false;
  const QPoint punkt = e->position().toPoint();
  if (umschalt) {
    const int32_t zelle = zelleBei(punkt);
    return zelle >= 0 && stimulieren(zelle);
  }
  int32_t zelle = zelleBei(punkt);
  if (zelle < 0) zelle = spalteBei(punkt);
  if (zelle < 0) return false;
  // without a tool to show it the right-click redraws as before
  if (!zelleUntersuchen || labor_ == nullptr || !labor_->isVisible()) return false;
  zelleUntersuchen(zelle);
  return true;
}

std::optional<Erklaerung> TForm1::erklaerung(int32_t zelle, int32_t takt) {
  if (!werkzeugFrei() || zelle < 0 || zelle >= sim_.netz.zellenzahl || takt < verlauf_.erster() ||
      takt >= sim_.zeittakt) {
    return std::nullopt;
  }
  const Zustandsbild hier = zustandAufnehmen(sim_, nullptr);
  auto herstellen = std::move(verlauf_.beilageHerstellen);
  verlauf_.beilageHerstellen = nullptr;  // the picture and the log stay
  const int32_t zeitlupe = sim_.param.zeitlupe;
  sim_.param.zeitlupe = -1;
  Zyklusanzeige still;
  std::string fehler;
  std::optional<Erklaerung> e;
  ++laeuft_;
  if (verlauf_.gehe(sim_, takt, still, fehler)) e = erklaeren(sim_, {zelle}, still).at(0);
  Packer packer;
  if (!zustandHerstellen(sim_, hier, packer, fehler)) e.reset();
  --laeuft_;
  sim_.param.zeitlupe = zeitlupe;
  verlauf_.beilageHerstellen = std::move(herstellen);
  return e;
}

std::vector<std::pair<int32_t, double>> TForm1::potenzialVorgeschichte(int32_t zelle) {
  std::vector<std::pair<int32_t, double>> aus;
  if (!werkzeugFrei() || zelle < 0 || zelle >= sim_.netz.zellenzahl || verlauf_.leer()) return aus;
  const int32_t jetzt = sim_.zeittakt;
  // Steps run again for it: at most about 2 * 10^7 cells and connections
  // looked at, and the 4000 steps the plot keeps.
  const double groesse = static_cast<double>(sim_.netz.zellenzahl) + static_cast<double>(sim_.netz.verbindungen.size());
  const auto schritte = static_cast<int32_t>(std::min(4000.0, 2e7 / std::max(groesse, 1.0)));
  const int32_t von = std::max(verlauf_.erster(), jetzt - schritte);
  if (von >= jetzt) return aus;
  const Zustandsbild hier = zustandAufnehmen(sim_, nullptr);
  auto herstellen = std::move(verlauf_.beilageHerstellen);
  verlauf_.beilageHerstellen = nullptr;  // the picture and the log stay
  const int32_t zeitlupe = sim_.param.zeitlupe;
  sim_.param.zeitlupe = -1;
  struct Mitschrift : Zyklusanzeige {
    const Simulation& sim;
    int32_t zelle;
    std::vector<std::pair<int32_t, double>>& aus;
    Mitschrift(const Simulation& s, int32_t z, std::vector<std::pair<int32_t, double>>& a) : sim(s), zelle(z), aus(a) {}
    void taktanzeige() override {
      aus.emplace_back(sim.zeittakt + 1, sim.netz.Zelltabelle[static_cast<std::size_t>(zelle)].potenzial);
    }
  } mitschrift(sim_, zelle, aus);
  Zyklusanzeige still;
  std::string fehler;
  ++laeuft_;
  if (verlauf_.gehe(sim_, von, still, fehler)) {
    aus.emplace_back(von, sim_.netz.Zelltabelle[static_cast<std::size_t>(zelle)].potenzial);
    while (sim_.zeittakt < jetzt) einzelzyklus(sim_, mitschrift);
  }
  Packer packer;
  if (!zustandHerstellen(sim_, hier, packer, fehler)) aus.clear();
  --laeuft_;
  sim_.param.zeitlupe = zeitlupe;
  verlauf_.beilageHerstellen = std::move(herstellen);
  return aus;
}

void TForm1::unterwegsGeaendert() { bildZeigen(); }

void TForm1::ueberlagerungAktualisieren() {
  if (labor_ == nullptr || !labor_->unterwegsZeigen() || !ansicht_.zellansicht() || !sim_.lauf.gestartet ||
      netzUnbrauchbar_) {
    leinwand_->ueberlagerung = nullptr;
    return;
  }
  if (!unterwegsBild_ || unterwegsBild_->breite() != canvas_.breite() || unterwegsBild_->hoehe() != canvas_.hoehe()) {
    unterwegsBild_ = std::make_unique<QImageCanvas>(canvas_.breite(), canvas_.hoehe());
  }
  unterwegsBild_->bildSetzen(canvas_.bild());
  laufzaehlerAbgleichen(sim_);
  unterwegsZeichnen(*unterwegsBild_, sim_);
  leinwand_->ueberlagerung = &unterwegsBild_->bild();
}

void TForm1::laborZeigen() {
  if (labor_ == nullptr) {
    labor_ = new Labor(*this);
    if (!zelleUntersuchen) {
      zelleUntersuchen = [this](int32_t zelle) {
        if (labor_ != nullptr) labor_->inspektor()->zelleWaehlen(zelle);
      };
    }
  }
  labor_->aktualisieren();
  labor_->show();
  labor_->raise();
}

void TForm1::laborAktualisieren() {
  if (labor_ != nullptr) labor_->aktualisieren();
}

}  // namespace velkor
