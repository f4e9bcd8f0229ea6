#include "app/labor/inspektor.h"

#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>
#include <charconv>
#include <cmath>

#include "engine/zyklus.h"
#include "lauf/erklaerungstext.h"

namespace velkor {

namespace {

constexpr int anzeigeabstand = 100;  // ms between two refreshes of the fields
constexpr std::size_t gemerkteErklaerungen = 4;
constexpr std::size_t laengsterVerlauf = 4000;  // potentials noted; the older half goes beyond

// The shortest text that reads back to the same double, with ".0" on a whole
// number, as the program's files write reals.
std::string zahl(double x) {
  char puffer[64];
  const auto [ende, fehler] = std::to_chars(puffer, puffer + sizeof puffer, x);
  std::string s(puffer, fehler == std::errc{} ? ende : puffer);
  if (std::isfinite(x) && s.find_first_of(".e") == std::string::npos) s += ".0";
  return s;
}

std::string takte(int64_t n) { return std::to_string(n) + (n == 1 ? " Takt" : " Takte"); }
std::string verbindungen(int64_t n) { return std::to_string(n) + (n == 1 ? " Verbindung" : " Verbindungen"); }

bool bitsGleich(double a, double b) { return std::signbit(a) == std::signbit(b) && (a == b || (a != a && b != b)); }

class Text {
 public:
  Text(const Erklaerung& e, const Erklaerung* vorige, const Netz& netz)
      : e_(e), vorige_(vorige), netz_(netz), name_(zellbezeichnung(netz, e.zelle)) {}

  std::string schreiben() {
    if (!e_.vorhanden) {
      return "Zelle " + std::to_string(e_.zelle) + ": keine solche Zelle (das Netz hat " +
             std::to_string(netz_.zellenzahl) + " Zellen)\n";
    }
    feuertest();
    if (e_.imDurchlauf && e_.feuertest.gefeuert) vorgeschichte();
    if (e_.imDurchlauf) schrittA(e_, "  ");
    erholung();
    gewichtsschritte();
    erregungen(e_, "  ");
    ankuenfte(e_, "  ");
    stockungen();
    nachher(e_, "  ");
    return s_;
  }

 private:
  void zeile(const std::string& z) { s_ += z + "\n"; }

  void feuertest() {
    const schlicht::Feuertest& f = e_.feuertest;
    const std::string takt = " im Zeittakt " + std::to_string(e_.zeittakt);
    if (!e_.imDurchlauf) {
      zeile(name_ + takt + ": vor der ersten Zelle des Durchlaufs, kein Feuertest; Potenzial " +
            zahl(e_.vorher.potenzial) + " zu Beginn des Takts");
      return;
    }
    if (f.gefeuert) {
      zeile(name_ + " feuerte" + takt + ", weil das Potenzial " + zahl(f.potenzial) +
            " zu Beginn des Takts die Schwelle " + zahl(f.schwelle) + " erreicht hatte");
      return;
    }
    std::string grund = f.potenzial < f.schwelle ? "Potenzial " + zahl(f.potenzial) + " unter der Schwelle "
                                                 : "Potenzial " + zahl(f.potenzial) + " nicht ≥ Schwelle ";
    grund += zahl(f.schwelle);
    if (f.refraktaerrestVorher > 0) grund += ", refraktär (noch " + takte(f.refraktaerrestVorher) + ")";
    zeile(name_ + " feuerte nicht" + takt + ": " + grund);
  }

  // How the potential came over the threshold: the step before, if known.
  void vorgeschichte() {
    const int64_t davor = int64_t{e_.zeittakt} - 1;
    if (vorige_ == nullptr || !vorige_->vorhanden || vorige_->zelle != e_.zelle || vorige_->zeittakt != davor) {
      zeile("  (Zeittakt " + std::to_string(davor) + " ist nicht aufgezeichnet)");
      return;
    }
    const Erklaerung& v = *vorige_;
    zeile("  Dazu kam es im Zeittakt " + std::to_string(davor) + ": Potenzial " + zahl(v.vorher.potenzial) +
          " zu Beginn");
    if (v.imDurchlauf) schrittA(v, "    ");
    erregungen(v, "    ");
    ankuenfte(v, "    ");
    nachher(v, "    ");
    zeile("  Im Zeittakt " + std::to_string(e_.zeittakt) + " selbst:");
  }

  // Firing or decay and the refractory countdown.
  void schrittA(const Erklaerung& e, const std::string& einzug) {
    const schlicht::Feuertest& f = e.feuertest;
    if (f.gefeuert) {
      std::string z = einzug + "Lernfaktor " + zahl(f.lernfaktorVorher) + " → " + zahl(f.lernfaktorNachher) +
                      " (Änderungsrate " + zahl(e.aenderungsrate) + "), Potenzial auf 0.0 gesetzt, ";
      if (f.refraktaerrestNachher > 0) {
        z += "refraktär für " + takte(f.refraktaerrestNachher);
      } else if (f.refraktaerrestNachher == 0) {
        z += "keine Refraktärphase";
      } else {
        z += "Refraktärrest " + std::to_string(f.refraktaerrestNachher) + " (zählt nie herunter)";
      }
      zeile(z + ", Spikes auf " + verbindungen(static_cast<int64_t>(f.gestartet)) + " gestartet");
      return;
    }
    zeile(einzug + "Abklingen: Potenzial " + zahl(f.potenzial) + " × " + zahl(f.abklingfaktor) + " → " +
          zahl(f.potenzialNachher));
    if (f.refraktaerrestVorher > 0) {
      zeile(einzug + "Refraktärphase: " + std::to_string(f.refraktaerrestVorher) + " → " +
            (f.refraktaerrestNachher == 0 ? std::string("0, die Refraktärphase endete")
                                          : "noch " + takte(f.refraktaerrestNachher)));
    } else if (f.refraktaerrestVorher < 0) {
      zeile(einzug + "Refraktärrest " + std::to_string(f.refraktaerrestVorher) + ": zählt nie herunter");
    }
  }

  void erholung() {
    if (!e_.imDurchlauf) return;
    const schlicht::Erholung& r = e_.erholung;
    if (!r.lief) {
      zeile("  keine Erholung des Lernfaktors: Refraktärrest " + std::to_string(e_.feuertest.refraktaerrestNachher));
      return;
    }
    std::string z = "  Erholung des Lernfaktors (" + std::string(r.wachstum ? "Wachstum" : "Abnahme") + ", Faktor " +
                    zahl(r.erholfaktor) + "): " + zahl(r.lernfaktorVorher) + " → " + zahl(r.lernfaktorBerechnet);
    if (r.begrenzt) z += ", auf den Startwert " + zahl(r.lernfaktorNachher) + " begrenzt";
    zeile(z);
  }

  void gewichtsschritte() {
    if (e_.gewichtsschritte.empty()) return;
    std::size_t geaendert = 0;
    for (const schlicht::Gewichtsschritt& g : e_.gewichtsschritte) {
      geaendert += bitsGleich(g.gewichtVorher, g.gewichtNachher) ? 0 : 1;
    }
    zeile("  Gewichte je Takt: " + verbindungen(static_cast<int64_t>(e_.gewichtsschritte.size())) +
          " zur Zelle, davon " + std::to_string(geaendert) + " geändert");
    for (const schlicht::Gewichtsschritt& g : e_.gewichtsschritte) {
      if (bitsGleich(g.gewichtVorher, g.gewichtNachher)) continue;
      zeile("    " + von(g.quelle, g.verbindung) + (g.fensterregel ? ", Zeitfensterregel" : "") + ": Gewicht " +
            zahl(g.gewichtVorher) + " × " + zahl(g.faktor) + " → " + zahl(g.gewichtNachher));
    }
  }

  void erregungen(const Erklaerung& e, const std::string& einzug) {
    for (const Erregung& r : e.erregungen) {
      zeile(einzug + "Eingabe: Potenzial " + zahl(r.potenzialVorher) + " → " + zahl(r.potenzialNachher) +
            " (Schwelle + 10)");
    }
  }

  void ankuenfte(const Erklaerung& e, const std::string& einzug) {
    if (e.ankuenfte.empty()) {
      zeile(einzug + "kein Spike angekommen");
      return;
    }
    zeile(einzug + "Ankünfte in der Reihenfolge des Durchlaufs: " + std::to_string(e.ankuenfte.size()));
    for (const schlicht::Ankunft& a : e.ankuenfte) {
      std::string z =
          einzug + "  " + von(a.quelle, a.verbindung) + ", Verzögerung " + std::to_string(a.verzoegerung) + ": ";
      if (a.verloren) {
        zeile(z + "Gewicht " + zahl(a.gewichtVorher) + ", verloren: refraktär (" +
              (a.refraktaerrest > 0 ? "noch " + takte(a.refraktaerrest) : "Rest " + std::to_string(a.refraktaerrest)) +
              ")");
        continue;
      }
      const bool gelernt = !bitsGleich(a.gewichtVorher, a.gewicht);
      const bool verbraucht = a.verbraucht && e.aenderungsrate > 0;
      if (gelernt || verbraucht) {
        z += "Lernen: Gewicht " + zahl(a.gewichtVorher) + " → " + zahl(a.gewicht);
        if (verbraucht) {
          z += ", Lernfaktor " + zahl(a.lernfaktorVorher) + " verbraucht → Startwert " + zahl(a.lernfaktorNachher);
        }
        z += "; ";
      }
      z += "Gewicht " + zahl(a.gewicht) + ", Potenzial " + zahl(a.potenzialVorher) + " → " + zahl(a.potenzialNachher);
      if (a.boden) z += ", auf den Boden −Schwelle begrenzt";
      zeile(z);
    }
  }

  void stockungen() {
    if (e_.stockungen.empty()) return;
    zeile("  ausgehende Spikes aufgehalten: " + std::to_string(e_.stockungen.size()));
    for (const schlicht::Stockung& s : e_.stockungen) {
      zeile("    zu " + zellbezeichnung(netz_, s.ziel) + " (Verbindung " +
            std::to_string(listenplatz(s.quelle, s.verbindung)) + "): Zähler bleibt bei " +
            std::to_string(s.laufzaehler) + ", gezogen " + std::to_string(s.zug) + " > P " + std::to_string(s.pWert));
    }
  }

  void nachher(const Erklaerung& e, const std::string& einzug) {
    const Zellstand& n = e.nachher;
    std::string z = einzug + "nach dem Takt: Potenzial " + zahl(n.potenzial) + ", Lernfaktor " + zahl(n.lernfaktor) +
                    ", Refraktärrest " + std::to_string(n.refraktaerrest) + "; ";
    if (n.potenzial >= e.schwelle) {
      z += "≥ Schwelle " + zahl(e.schwelle) + ", feuert im Zeittakt " + std::to_string(int64_t{e.zeittakt} + 1);
    } else {
      z += "unter der Schwelle " + zahl(e.schwelle);
    }
    zeile(z);
  }

  std::size_t listenplatz(int32_t quelle, std::size_t verbindung) const {
    return verbindung - netz_.verbindungsanfang(quelle);
  }
  std::string von(int32_t quelle, std::size_t verbindung) const {
    return "von " + zellbezeichnung(netz_, quelle) + " (Verbindung " + std::to_string(listenplatz(quelle, verbindung)) +
           ")";
  }

  const Erklaerung& e_;
  const Erklaerung* vorige_;
  const Netz& netz_;
  std::string name_;
  std::string s_;
};

QString q(const std::string& s) { return QString::fromStdString(s); }

}  // namespace

std::string erklaerungDeutsch(const Erklaerung& e, const Erklaerung* vorige, const Netz& netz) {
  return Text(e, vorige, netz).schreiben();
}

// --- the plot ---------------------------------------------------------------

Potenzialplot::Potenzialplot(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("Potenzialverlauf"));
  setMinimumHeight(70);
}

void Potenzialplot::setzen(const std::deque<Wert>* werte, std::optional<double> schwelle) {
  werte_ = werte;
  schwelle_ = schwelle;
  update();
}

void Potenzialplot::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), Qt::white);
  p.setPen(QColor(160, 160, 160));
  p.drawRect(rect().adjusted(0, 0, -1, -1));
  if (werte_ == nullptr || werte_->empty()) return;
  double unten = 0, oben = 0;
  if (schwelle_ && std::isfinite(*schwelle_)) unten = std::min(unten, *schwelle_), oben = std::max(oben, *schwelle_);
  for (const Wert& w : *werte_) {
    if (!std::isfinite(w.potenzial)) continue;
    unten = std::min(unten, w.potenzial);
    oben = std::max(oben, w.potenzial);
  }
  if (oben - unten < 1e-9) oben = unten + 1;
  const int rand = 4;
  const double hoehe = height() - 2 * rand, breite = width() - 2 * rand;
  const int32_t erster = werte_->front().takt, letzter = std::max(werte_->back().takt, erster + 1);
  auto x = [&](int32_t t) { return rand + breite * (double(t) - erster) / (double(letzter) - erster); };
  auto y = [&](double v) { return rand + hoehe * (oben - v) / (oben - unten); };
  if (schwelle_ && std::isfinite(*schwelle_)) {
    p.setPen(QPen(QColor(220, 0, 0), 1, Qt::DashLine));
    p.drawLine(QPointF(rand, y(*schwelle_)), QPointF(width() - rand, y(*schwelle_)));
  }
  p.setPen(QPen(QColor(170, 170, 170), 1, Qt::DotLine));
  p.drawLine(QPointF(rand, y(0)), QPointF(width() - rand, y(0)));
  // One vertical stroke per pixel column from the lowest to the highest
  // potential that falls on it, joined to the next: a long record costs no
  // more than the plot is wide.
  p.setPen(QPen(QColor(0, 0, 200), 1));
  QPolygonF linie;
  int spalte = -1;
  double tief = 0, hoch = 0, letzt = 0;
  auto abschliessen = [&] {
    if (spalte < 0) return;
    linie << QPointF(spalte, y(tief)) << QPointF(spalte, y(hoch)) << QPointF(spalte, y(letzt));
  };
  for (const Wert& w : *werte_) {
    if (!std::isfinite(w.potenzial)) continue;
    const int s = static_cast<int>(x(w.takt));
    if (s != spalte) {
      abschliessen();
      spalte = s, tief = hoch = w.potenzial;
    }
    tief = std::min(tief, w.potenzial), hoch = std::max(hoch, w.potenzial), letzt = w.potenzial;
  }
  abschliessen();
  p.drawPolyline(linie);
  p.setPen(Qt::black);
  QFont schrift = p.font();
  schrift.setPixelSize(10);
  p.setFont(schrift);
  p.drawText(rect().adjusted(rand + 2, rand, -rand, -rand), Qt::AlignTop | Qt::AlignLeft, q(zahl(oben)));
  p.drawText(rect().adjusted(rand + 2, rand, -rand, -rand), Qt::AlignBottom | Qt::AlignLeft, q(zahl(unten)));
  p.drawText(rect().adjusted(rand, rand, -rand - 2, -rand), Qt::AlignBottom | Qt::AlignRight,
             QStringLiteral("Takt %1 … %2").arg(erster).arg(werte_->back().takt));
}

// --- the inspector ----------------------------------------------------------

Zelleninspektor::Zelleninspektor(Simulation& sim, Erklaerer erklaerer, QWidget* parent)
    : QWidget(parent), sim_(sim), erklaerer_(std::move(erklaerer)) {
  setObjectName(QStringLiteral("Zelleninspektor"));
  setWindowTitle(QStringLiteral("Zelle"));
  auto* spalten = new QVBoxLayout(this);

  auto* kopf = new QHBoxLayout;
  kopf->addWidget(new QLabel(QStringLiteral("Zelle:"), this));
  name_ = new QLineEdit(this);
  name_->setObjectName(QStringLiteral("Zellname"));
  name_->setPlaceholderText(QStringLiteral("Name oder #Nummer"));
  name_->setMaximumWidth(120);
  kopf->addWidget(name_);
  meldung_ = new QLabel(this);
  meldung_->setObjectName(QStringLiteral("Meldung"));
  kopf->addWidget(meldung_, 1);
  spalten->addLayout(kopf);

  werte_ = new QLabel(this);
  werte_->setObjectName(QStringLiteral("Zellwerte"));
  werte_->setWordWrap(true);
  werte_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  spalten->addWidget(werte_);

  erklaerung_ = new QPlainTextEdit(this);
  erklaerung_->setObjectName(QStringLiteral("Erklaerung"));
  erklaerung_->setReadOnly(true);
  erklaerung_->setLineWrapMode(QPlainTextEdit::WidgetWidth);
  spalten->addWidget(erklaerung_, 2);

  plot_ = new Potenzialplot(this);
  spalten->addWidget(plot_);

  auto* listen = new QGridLayout;
  listen->addWidget(new QLabel(QStringLiteral("Eingänge"), this), 0, 0);
  listen->addWidget(new QLabel(QStringLiteral("Ausgänge"), this), 0, 1);
  eingangsliste_ = new QListWidget(this);
  eingangsliste_->setObjectName(QStringLiteral("Eingaenge"));
  ausgangsliste_ = new QListWidget(this);
  ausgangsliste_->setObjectName(QStringLiteral("Ausgaenge"));
  listen->addWidget(eingangsliste_, 1, 0);
  listen->addWidget(ausgangsliste_, 1, 1);
  spalten->addLayout(listen, 1);

  auto* halt = new QHBoxLayout;
  auto* feuerhalt = new QPushButton(QStringLiteral("Anhalten, wenn diese Zelle feuert"), this);
  feuerhalt->setObjectName(QStringLiteral("Feuerhalt"));
  halt->addWidget(feuerhalt);
  potenzialfeld_ = new QLineEdit(this);
  potenzialfeld_->setObjectName(QStringLiteral("Potenzialmarke"));
  potenzialfeld_->setPlaceholderText(QStringLiteral("Potenzial"));
  potenzialfeld_->setMaximumWidth(90);
  halt->addWidget(potenzialfeld_);
  auto* potenzialhalt = new QPushButton(QStringLiteral("Anhalten bei diesem Potenzial"), this);
  potenzialhalt->setObjectName(QStringLiteral("Potenzialhalt"));
  halt->addWidget(potenzialhalt);
  halt->addStretch(1);
  spalten->addLayout(halt);

  connect(name_, &QLineEdit::returnPressed, this, &Zelleninspektor::namenEingegeben);
  connect(potenzialfeld_, &QLineEdit::returnPressed, this, &Zelleninspektor::potenzialEingegeben);
  connect(potenzialhalt, &QPushButton::clicked, this, &Zelleninspektor::potenzialEingegeben);
  connect(feuerhalt, &QPushButton::clicked, this, [this] {
    if (zelle_ >= 0) emit haltepunktGewuenscht(zelle_, std::nullopt);
  });
  connect(eingangsliste_, &QListWidget::itemClicked, this, &Zelleninspektor::listeGeklickt);
  connect(ausgangsliste_, &QListWidget::itemClicked, this, &Zelleninspektor::listeGeklickt);
  nachzug_.setSingleShot(true);
  connect(&nachzug_, &QTimer::timeout, this, &Zelleninspektor::anzeigen);
  anzeigen();
}

void Zelleninspektor::zelleWaehlen(int32_t zelle) {
  if (zelle < 0 || zelle >= sim_.netz.zellenzahl) zelle = -1;
  const bool neu = zelle != zelle_;
  zelle_ = zelle;
  verlauf_.clear();
  erklaerungen_.clear();
  eingaengeZiele_ = nullptr;
  if (zelle_ >= 0) {
    const TZelle& z = sim_.netz.Zelltabelle[static_cast<std::size_t>(zelle_)];
    if (vorgeschichte_) {
      for (const Potenzialplot::Wert& w : vorgeschichte_(zelle_)) {
        if (w.takt < sim_.zeittakt) verlauf_.push_back(w);
      }
    }
    verlauf_.push_back({sim_.zeittakt, z.potenzial});
    erklaerungFaellig_ = true;
  }
  meldung_->clear();
  anzeigen();
  if (neu) emit zelleGewaehlt(zelle_);
}

void Zelleninspektor::aktualisieren() {
  if (zelle_ >= sim_.netz.zellenzahl) {
    zelleWaehlen(-1);  // the net was loaded anew
    return;
  }
  if (zelle_ < 0) return;
  const int32_t takt = sim_.zeittakt;
  while (!verlauf_.empty() && verlauf_.back().takt >= takt) verlauf_.pop_back();
  if (verlauf_.size() >= laengsterVerlauf) verlauf_.erase(verlauf_.begin(), verlauf_.begin() + laengsterVerlauf / 2);
  verlauf_.push_back({takt, sim_.netz.Zelltabelle[static_cast<std::size_t>(zelle_)].potenzial});
  // The explanation runs the step again: it is made when the fields are
  // refreshed (at most every anzeigeabstand ms), not after every step of a run.
  erklaerungFaellig_ = true;
  spaeterAnzeigen();
}

void Zelleninspektor::erklaerungHolen() {
  erklaerungFaellig_ = false;
  if (!erklaerer_ || !isVisible() || zelle_ < 0) return;
  auto merken = [this](Erklaerung e) {
    // A step run again after going back replaces what was noted of it and later.
    while (!erklaerungen_.empty() && erklaerungen_.back().zeittakt >= e.zeittakt) erklaerungen_.pop_back();
    if (erklaerungen_.size() >= gemerkteErklaerungen) erklaerungen_.pop_front();
    erklaerungen_.push_back(std::move(e));
  };
  const int32_t takt = sim_.zeittakt - 1;
  std::optional<Erklaerung> e = erklaerer_(zelle_, takt);
  if (!e || e->zelle != zelle_) return;
  // Why a cell fired lies in the step before: that one is needed too.
  const bool vorigeDa = std::any_of(erklaerungen_.begin(), erklaerungen_.end(),
                                    [&](const Erklaerung& v) { return int64_t{v.zeittakt} + 1 == e->zeittakt; });
  if (e->feuertest.gefeuert && !vorigeDa) {
    if (std::optional<Erklaerung> v = erklaerer_(zelle_, takt - 1); v && v->zelle == zelle_) merken(std::move(*v));
  }
  merken(std::move(*e));
}

void Zelleninspektor::spaeterAnzeigen() {
  if (!seitAnzeige_.isValid() || seitAnzeige_.elapsed() >= anzeigeabstand) {
    anzeigen();
  } else if (!nachzug_.isActive()) {
    nachzug_.start(anzeigeabstand);
  }
}

void Zelleninspektor::showEvent(QShowEvent* e) {
  QWidget::showEvent(e);
  anzeigen();
}

std::string Zelleninspektor::erklaerungstext() const {
  if (zelle_ < 0) return {};
  // Made when asked for, if a step ran since.
  if (erklaerungFaellig_) const_cast<Zelleninspektor*>(this)->erklaerungHolen();
  if (erklaerungen_.empty()) return "Noch kein Takt dieser Zelle aufgezeichnet.\n";
  const Erklaerung& e = erklaerungen_.back();
  const Erklaerung* vorige = nullptr;
  for (const Erklaerung& v : erklaerungen_) {
    if (int64_t{v.zeittakt} + 1 == e.zeittakt) vorige = &v;
  }
  return erklaerungDeutsch(e, vorige, sim_.netz);
}

void Zelleninspektor::anzeigen() {
  seitAnzeige_.restart();
  if (zelle_ < 0) {
    if (!name_->hasFocus()) name_->clear();
    werte_->setText(QStringLiteral("Keine Zelle gewählt: Name eingeben oder mit der rechten Maustaste wählen."));
    erklaerung_->clear();
    plot_->setzen(nullptr, std::nullopt);
    eingangsliste_->clear();
    ausgangsliste_->clear();
    return;
  }
  if (erklaerungFaellig_) erklaerungHolen();
  const TZelle& z = sim_.netz.Zelltabelle[static_cast<std::size_t>(zelle_)];
  if (!name_->hasFocus()) name_->setText(q(zellbezeichnung(sim_.netz, zelle_)));
  werte_->setText(q("Schwelle " + zahl(z.schwelle) + " · Abklingfaktor " + zahl(z.abklingfaktor) + " · Refraktärzeit " +
                    std::to_string(z.refraktaerzeit) + " · Lernfaktor " + zahl(z.lernfaktor) + " (Start " +
                    zahl(z.lernfaktorstart) + ") · Erholfaktor " + zahl(z.erholfaktor) + " · Änderungsrate " +
                    zahl(z.aenderungsrate) + "\nZeittakt " + std::to_string(sim_.zeittakt) + ": Potenzial " +
                    zahl(z.potenzial) + " · Refraktärrest " + std::to_string(z.refraktaerrest) + " · Zeile " +
                    std::to_string(z.zeile) + ", Spalte " + std::to_string(z.spalte)));
  const QString text = q(erklaerungstext());
  if (erklaerung_->toPlainText() != text) erklaerung_->setPlainText(text);
  plot_->setzen(&verlauf_, z.schwelle);
  verbindungenZeigen();
}

void Zelleninspektor::eingaengeSuchen() {
  const Netz& netz = sim_.netz;
  const Verbindungen& v = netz.verbindungen;
  if (eingaengeZiele_ == v.ziel.data() && eingaengeFuer_ == v.size()) return;
  eingaenge_.clear();
  for (int32_t c = 0; c < netz.zellenzahl; ++c) {
    const std::size_t ende = std::min(netz.verbindungsende(c), v.size());
    for (std::size_t i = netz.verbindungsanfang(c); i < ende; ++i) {
      if (v.ziel[netz.platz(c, i)] == zelle_) eingaenge_.emplace_back(c, i);
    }
  }
  eingaengeZiele_ = v.ziel.data();
  eingaengeFuer_ = v.size();
}

void Zelleninspektor::verbindungenZeigen() {
  laufzaehlerAbgleichen(sim_);
  eingaengeSuchen();
  const Netz& netz = sim_.netz;
  const Verbindungen& v = netz.verbindungen;
  const bool zaehler = v.laufzaehler.size() == v.size();
  auto eintrag = [&](int32_t andere, int32_t quelle, std::size_t i, const char* richtung) {
    const std::size_t k = netz.platz(quelle, i);
    std::string s = richtung + zellbezeichnung(netz, andere) + " (Verbindung " +
                    std::to_string(i - netz.verbindungsanfang(quelle)) + "): Gewicht " + zahl(v.gewicht[k]) +
                    ", Verzögerung " + std::to_string(v.verzoegerung[k]);
    const int32_t rest = zaehler ? v.laufzaehler[i] : 0;
    if (rest > 0) s += ", Spike unterwegs: noch " + takte(rest);
    if (rest < 0) s += ", Spike unterwegs ohne Ankunft (Zähler " + std::to_string(rest) + ")";
    auto* e = new QListWidgetItem(q(s));
    e->setToolTip(e->text());
    e->setData(Qt::UserRole, andere);
    if (rest != 0) e->setForeground(QColor(200, 0, 0));
    return e;
  };
  eingangsliste_->clear();
  for (const auto& [quelle, i] : eingaenge_) eingangsliste_->addItem(eintrag(quelle, quelle, i, "von "));
  ausgangsliste_->clear();
  const std::size_t ende = std::min(netz.verbindungsende(zelle_), v.size());
  for (std::size_t i = netz.verbindungsanfang(zelle_); i < ende; ++i) {
    ausgangsliste_->addItem(eintrag(v.ziel[netz.platz(zelle_, i)], zelle_, i, "zu "));
  }
}

void Zelleninspektor::namenEingegeben() {
  const QString eingabe = name_->text().trimmed();
  const Netz& netz = sim_.netz;
  int32_t gefunden = netz.suche(eingabe.toStdString());
  if (gefunden >= netz.zellenzahl) gefunden = netz.suche(eingabe.toLatin1().toStdString());
  if (gefunden >= netz.zellenzahl && eingabe.startsWith(QLatin1Char('#'))) {
    bool ok = false;
    const int n = eingabe.mid(1).toInt(&ok);
    gefunden = ok && n >= 0 ? n : netz.zellenzahl;
  }
  if (gefunden >= netz.zellenzahl || gefunden < 0) {
    meldung_->setText(QStringLiteral("Keine Zelle „%1“").arg(eingabe));
    return;
  }
  name_->clearFocus();
  zelleWaehlen(gefunden);
}

void Zelleninspektor::potenzialEingegeben() {
  if (zelle_ < 0) return;
  bool ok = false;
  const double wert =
      QString(potenzialfeld_->text().trimmed()).replace(QLatin1Char(','), QLatin1Char('.')).toDouble(&ok);
  if (!ok) {
    meldung_->setText(QStringLiteral("Kein Potenzial: „%1“").arg(potenzialfeld_->text()));
    return;
  }
  meldung_->clear();
  emit haltepunktGewuenscht(zelle_, wert);
}

void Zelleninspektor::listeGeklickt(QListWidgetItem* eintrag) {
  if (eintrag != nullptr) zelleWaehlen(eintrag->data(Qt::UserRole).toInt());
}

}  // namespace velkor
