#include "app/labor/labor.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "app/labor/inspektor.h"
#include "app/labor/raster.h"
#include "app/tform1.h"

namespace velkor {

namespace {

constexpr int rand = 8;  // left and right of the bar, so the handle fits at both ends

QString zellname(const Netz& netz, int32_t zelle) {
  if (zelle < 0 || zelle >= netz.zellenzahl) return QStringLiteral("#%1").arg(zelle);
  const QString n = QString::fromStdString(netz.Zelltabelle[static_cast<std::size_t>(zelle)].name).trimmed();
  return n.isEmpty() ? QStringLiteral("#%1").arg(zelle) : n;
}

}  // namespace

void Werkzeughaken::gefeuert(int32_t z) {
  innen_.gefeuert(z);
  if (raster_ != nullptr) raster_->gefeuert(z, sim_.zeittakt);
}

void Werkzeughaken::taktanzeige() {
  innen_.taktanzeige();
  if (raster_ != nullptr) raster_->schrittEnde(sim_.zeittakt);
}

// ---- Zeitleiste ----

Zeitleiste::Zeitleiste(QWidget* eltern) : QWidget(eltern) {
  setObjectName(QStringLiteral("Zeitleiste"));
  setMinimumHeight(30);
  setCursor(Qt::PointingHandCursor);
}

void Zeitleiste::setzen(int32_t erster, int32_t letzter, int32_t jetzt, std::vector<Marke> marken) {
  erster_ = erster;
  letzter_ = std::max(erster, letzter);
  jetzt_ = std::clamp(jetzt, erster_, letzter_);
  marken_ = std::move(marken);
  update();
}

int Zeitleiste::xVon(int32_t takt) const {
  const int breite = std::max(1, width() - 2 * rand);
  if (letzter_ <= erster_) return rand;
  return rand + static_cast<int>(static_cast<int64_t>(takt - erster_) * breite / (letzter_ - erster_));
}

int32_t Zeitleiste::taktBei(int x) const {
  const int breite = std::max(1, width() - 2 * rand);
  const int64_t spanne = letzter_ - erster_;
  const int64_t t = erster_ + (static_cast<int64_t>(x - rand) * spanne + breite / 2) / breite;
  return static_cast<int32_t>(std::clamp<int64_t>(t, erster_, letzter_));
}

void Zeitleiste::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), palette().window());
  const int mitte = height() / 2;
  p.fillRect(QRect(rand, mitte - 2, width() - 2 * rand, 4), QColor(160, 160, 160));
  for (const Marke& m : marken_) {
    if (m.takt < erster_ || m.takt > letzter_) continue;
    p.fillRect(QRect(xVon(m.takt) - 1, 2, 3, height() - 4), m.haltepunkt ? QColor(220, 0, 0) : QColor(0, 0, 200));
  }
  const int x = xVon(gezogen_ >= 0 ? gezogen_ : jetzt_);
  p.setPen(Qt::black);
  p.setBrush(gezogen_ >= 0 ? QColor(90, 90, 90) : QColor(0, 0, 0));
  p.drawRect(QRect(x - 4, mitte - 8, 8, 16));
}

void Zeitleiste::mousePressEvent(QMouseEvent* e) {
  if (e->button() != Qt::LeftButton || !isEnabled()) return;
  gezogen_ = taktBei(e->position().toPoint().x());
  update();
}

void Zeitleiste::mouseMoveEvent(QMouseEvent* e) {
  if (gezogen_ < 0) return;
  gezogen_ = taktBei(e->position().toPoint().x());
  update();
}

void Zeitleiste::mouseReleaseEvent(QMouseEvent* e) {
  if (e->button() != Qt::LeftButton || gezogen_ < 0) return;
  const int32_t takt = taktBei(e->position().toPoint().x());
  gezogen_ = -1;
  update();
  if (gewaehlt) gewaehlt(takt);
}

// ---- Labor ----

Labor::Labor(TForm1& fenster) : QWidget(&fenster, Qt::Tool), f_(fenster) {
  setObjectName(QStringLiteral("Labor"));
  setWindowTitle(QStringLiteral("Labor"));
  setFont(fenster.font());
  auto* spalte = new QVBoxLayout(this);

  auto* zeit = new QGroupBox(QStringLiteral("Zeitleiste"), this);
  auto* zeitspalte = new QVBoxLayout(zeit);
  stand_ = new QLabel(zeit);
  stand_->setObjectName(QStringLiteral("Stand"));
  zeitspalte->addWidget(stand_);
  leiste_ = new Zeitleiste(zeit);
  leiste_->gewaehlt = [this](int32_t takt) {
    f_.geheZu(takt);
    aktualisieren();
  };
  zeitspalte->addWidget(leiste_);
  auto* knoepfe = new QHBoxLayout;
  zurueck_ = new QPushButton(QStringLiteral("Schritt zurück"), zeit);
  zurueck_->setObjectName(QStringLiteral("SchrittZurueck"));
  vor_ = new QPushButton(QStringLiteral("Schritt vor"), zeit);
  vor_->setObjectName(QStringLiteral("SchrittVor"));
  stoppmarke_ = new QPushButton(QStringLiteral("zurück zur letzten Stoppmarke"), zeit);
  stoppmarke_->setObjectName(QStringLiteral("ZurStoppmarke"));
  for (QPushButton* k : {zurueck_, vor_, stoppmarke_}) {
    k->setFocusPolicy(Qt::NoFocus);
    knoepfe->addWidget(k);
  }
  connect(zurueck_, &QPushButton::clicked, this, [this] { f_.schrittZurueck(); });
  connect(vor_, &QPushButton::clicked, this, [this] { f_.schrittVor(); });
  connect(stoppmarke_, &QPushButton::clicked, this, [this] { f_.zurStoppmarke(); });
  zeitspalte->addLayout(knoepfe);
  haltanzeige_ = new QLabel(zeit);
  haltanzeige_->setObjectName(QStringLiteral("Haltanzeige"));
  haltanzeige_->setStyleSheet(QStringLiteral("color: #c00000"));
  zeitspalte->addWidget(haltanzeige_);
  spalte->addWidget(zeit);

  auto* halt = new QGroupBox(QStringLiteral("Haltepunkte"), this);
  auto* haltspalte = new QVBoxLayout(halt);
  auto* eingabe = new QHBoxLayout;
  eingabe->addWidget(new QLabel(QStringLiteral("Zelle:"), halt));
  zelle_ = new QLineEdit(halt);
  zelle_->setObjectName(QStringLiteral("HaltZelle"));
  zelle_->setMaxLength(12);
  eingabe->addWidget(zelle_);
  eingabe->addWidget(new QLabel(QStringLiteral("Potenzial:"), halt));
  schwelle_ = new QLineEdit(halt);
  schwelle_->setObjectName(QStringLiteral("HaltSchwelle"));
  eingabe->addWidget(schwelle_);
  haltspalte->addLayout(eingabe);
  auto* haltknoepfe = new QHBoxLayout;
  auto* feuern = new QPushButton(QStringLiteral("Anhalten, wenn diese Zelle feuert"), halt);
  feuern->setObjectName(QStringLiteral("HaltFeuern"));
  auto* potenzial = new QPushButton(QStringLiteral("Anhalten beim Potenzial"), halt);
  potenzial->setObjectName(QStringLiteral("HaltPotenzial"));
  auto* entfernen = new QPushButton(QStringLiteral("Haltepunkt entfernen"), halt);
  entfernen->setObjectName(QStringLiteral("HaltEntfernen"));
  for (QPushButton* k : {feuern, potenzial, entfernen}) {
    k->setFocusPolicy(Qt::NoFocus);
    haltknoepfe->addWidget(k);
  }
  connect(feuern, &QPushButton::clicked, this, [this] { haltepunktAusEingabe(false); });
  connect(potenzial, &QPushButton::clicked, this, [this] { haltepunktAusEingabe(true); });
  connect(entfernen, &QPushButton::clicked, this, [this] { haltepunktEntfernen(); });
  haltspalte->addLayout(haltknoepfe);
  haltepunkte_ = new QListWidget(halt);
  haltepunkte_->setObjectName(QStringLiteral("Haltepunktliste"));
  haltepunkte_->setMaximumHeight(80);
  haltspalte->addWidget(haltepunkte_);
  spalte->addWidget(halt);

  auto* eingriffe = new QGroupBox(QStringLiteral("Eingriffe"), this);
  auto* eingriffspalte = new QVBoxLayout(eingriffe);
  eingriffspalte->addWidget(
      new QLabel(QStringLiteral("Umschalt+Klick auf eine Zelle: Eingabe für den nächsten Takt"), eingriffe));
  vorgemerkt_ = new QLabel(eingriffe);
  vorgemerkt_->setObjectName(QStringLiteral("Vorgemerkt"));
  eingriffspalte->addWidget(vorgemerkt_);
  speichern_ = new QPushButton(QStringLiteral("Eingriffe speichern"), eingriffe);
  speichern_->setObjectName(QStringLiteral("EingriffeSpeichern"));
  speichern_->setFocusPolicy(Qt::NoFocus);
  connect(speichern_, &QPushButton::clicked, this, [this] { f_.eingriffeSpeichern(); });
  eingriffspalte->addWidget(speichern_);
  spalte->addWidget(eingriffe);

  unterwegs_ = new QCheckBox(QStringLiteral("Spikes unterwegs zeigen"), this);
  unterwegs_->setObjectName(QStringLiteral("SpikesUnterwegs"));
  unterwegs_->setFocusPolicy(Qt::NoFocus);
  connect(unterwegs_, &QCheckBox::toggled, this, [this] { f_.unterwegsGeaendert(); });
  spalte->addWidget(unterwegs_);

  auto* werkzeuge = new QTabWidget(this);
  werkzeuge->setObjectName(QStringLiteral("Werkzeugreiter"));
  inspektor_ = new Zelleninspektor(
      fenster.simulation(), [this](int32_t zelle, int32_t takt) { return f_.erklaerung(zelle, takt); }, werkzeuge);
  inspektor_->vorgeschichteSetzen([this](int32_t zelle) {
    std::vector<Potenzialplot::Wert> aus;
    for (const auto& [takt, potenzial] : f_.potenzialVorgeschichte(zelle)) aus.push_back({takt, potenzial});
    return aus;
  });
  raster_ = new Raster(werkzeuge);
  raster_->netzGeladen(fenster.simulation().netz.zellenzahl);
  werkzeuge->addTab(inspektor_, QStringLiteral("Zelle"));
  werkzeuge->addTab(raster_, QStringLiteral("Raster"));
  connect(inspektor_, &Zelleninspektor::zelleGewaehlt, this, [this](int32_t zelle) {
    raster_->zelleMarkieren(zelle);
    if (zelle >= 0) zelle_->setText(zellname(f_.simulation().netz, zelle));
  });
  connect(inspektor_, &Zelleninspektor::haltepunktGewuenscht, this,
          [this](int32_t zelle, std::optional<double> potenzial) { f_.haltepunktSetzen(zelle, potenzial); });
  spalte->addWidget(werkzeuge, 1);
  resize(480, 760);
}

bool Labor::unterwegsZeigen() const { return unterwegs_->isChecked() && isVisible(); }

void Labor::netzGeladen() { raster_->netzGeladen(f_.simulation().netz.zellenzahl); }

void Labor::zurueckAuf(int32_t takt) { raster_->zurueckAuf(takt); }

void Labor::aktualisieren() {
  TForm1& f = f_;
  Simulation& sim = f.simulation();
  const Verlauf& v = f.verlauf();
  const bool bereit = sim.lauf.gestartet && !f.beendet();
  if (bereit) {
    stand_->setText(
        QStringLiteral("Takt %1 (Verlauf: Takt %2 bis %3)").arg(sim.zeittakt).arg(v.erster()).arg(v.letzter()));
  } else {
    stand_->setText(QStringLiteral("keine Simulation vorbereitet"));
  }
  std::vector<Zeitleiste::Marke> marken;
  for (const Haltemarke& m : f.haltemarken()) marken.push_back({m.takt, m.halt.has_value()});
  leiste_->setzen(v.erster(), v.letzter(), sim.zeittakt, std::move(marken));
  leiste_->setEnabled(bereit);
  zurueck_->setEnabled(bereit && sim.zeittakt > v.erster());
  vor_->setEnabled(bereit);
  bool frueher = false;
  for (const Haltemarke& m : f.haltemarken()) frueher = frueher || m.takt < sim.zeittakt;
  stoppmarke_->setEnabled(bereit && frueher);

  QString halt;
  for (const Haltemarke& m : f.haltemarken()) {
    if (m.takt == sim.zeittakt && m.halt) halt = QString::fromStdString(TForm1::haltText(sim.netz, *m.halt));
  }
  haltanzeige_->setText(halt.isEmpty() ? QString()
                                       : QStringLiteral("Angehalten vor Takt %1: %2").arg(sim.zeittakt).arg(halt));

  haltepunkte_->clear();
  const Haltepunkte& h = f.haltepunkte();
  for (const int32_t c : h.feuern) {
    auto* e = new QListWidgetItem(QStringLiteral("%1 feuert").arg(zellname(sim.netz, c)), haltepunkte_);
    e->setData(Qt::UserRole, c);
  }
  for (const Potenzialmarke& p : h.potenziale) {
    auto* e = new QListWidgetItem(
        QStringLiteral("%1 kreuzt das Potenzial %2").arg(zellname(sim.netz, p.zelle)).arg(p.wert), haltepunkte_);
    e->setData(Qt::UserRole, p.zelle);
    e->setData(Qt::UserRole + 1, p.wert);
  }

  QStringList namen;
  for (const int32_t c : sim.eingabe.vorgemerkt()) namen << zellname(sim.netz, c);
  vorgemerkt_->setText(
      namen.isEmpty()
          ? QStringLiteral("nichts vorgemerkt")
          : QStringLiteral("vorgemerkt für Takt %1: %2").arg(sim.zeittakt).arg(namen.join(QStringLiteral(", "))));
  speichern_->setEnabled(bereit);
  inspektor_->aktualisieren();
}

void Labor::haltepunktAusEingabe(bool mitSchwelle) {
  const int32_t zelle = zelleNachText(f_.simulation().netz, zelle_->text().trimmed().toStdString());
  if (zelle < 0) {
    haltanzeige_->setText(QStringLiteral("Keine Zelle dieses Namens"));
    return;
  }
  if (!mitSchwelle) {
    f_.haltepunktSetzen(zelle, std::nullopt);
    return;
  }
  bool ok = false;
  const double wert = schwelle_->text().trimmed().replace(QLatin1Char(','), QLatin1Char('.')).toDouble(&ok);
  if (!ok) {
    haltanzeige_->setText(QStringLiteral("Kein gültiges Potenzial"));
    return;
  }
  f_.haltepunktSetzen(zelle, wert);
}

void Labor::haltepunktEntfernen() {
  const QListWidgetItem* e = haltepunkte_->currentItem();
  if (e == nullptr) return;
  const int32_t zelle = e->data(Qt::UserRole).toInt();
  const QVariant wert = e->data(Qt::UserRole + 1);
  f_.haltepunktLoeschen(zelle, wert.isValid() ? std::optional<double>(wert.toDouble()) : std::nullopt);
}

}  // namespace velkor
