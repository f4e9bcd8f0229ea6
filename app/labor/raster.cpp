#include "app/labor/raster.h"

#include <QPainter>
#include <algorithm>
#include <cstdio>

namespace velkor {

namespace {

constexpr int ratenhoehe = 40;  // the population rate below the raster
constexpr int textzeile = 16;
constexpr int groessteZellhoehe = 8;
constexpr int bildabstand = 33;  // ms between two pictures, about 30 a second

constexpr QRgb weiss = qRgb(255, 255, 255);
constexpr QRgb markierungsband = qRgb(255, 225, 225);
constexpr QRgb markiertFeuernd = qRgb(220, 0, 0);
constexpr QRgb ratenfarbe = qRgb(0, 0, 160);

// Darker the more of the bin fired: all of it black, one cell a light grey.
QRgb zaehlfarbe(int32_t anzahl, int32_t fach) {
  const int grau = 170 - static_cast<int>(int64_t{170} * std::min(anzahl, fach) / fach);
  return qRgb(grau, grau, grau);
}

void fuellen(QImage& bild, int x0, int x1, int y0, int y1, QRgb farbe) {
  x0 = std::max(x0, 0), y0 = std::max(y0, 0);
  x1 = std::min(x1, bild.width()), y1 = std::min(y1, bild.height());
  for (int y = y0; y < y1; ++y) {
    auto* zeile = reinterpret_cast<QRgb*>(bild.scanLine(y));
    std::fill(zeile + x0, zeile + std::max(x0, x1), farbe);
  }
}

}  // namespace

Rasterteilung rasterteilung(int32_t zellenzahl, int32_t pixelzeilen) {
  if (zellenzahl <= 0 || pixelzeilen <= 0) return {1, 0};
  const int32_t fach = static_cast<int32_t>((int64_t{zellenzahl} + pixelzeilen - 1) / pixelzeilen);
  return {fach, static_cast<int32_t>((int64_t{zellenzahl} + fach - 1) / fach)};
}

Raster::Raster(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("Raster"));
  setWindowTitle(QStringLiteral("Feuerraster"));
  setMinimumSize(160, 120);
  nachzug_.setSingleShot(true);
  connect(&nachzug_, &QTimer::timeout, this, [this] {
    seitBild_.restart();
    update();
  });
}

void Raster::netzGeladen(int32_t zellenzahl) {
  zellenzahl_ = std::max(zellenzahl, 0);
  schritte_.clear();
  offen_.clear();
  if (markiert_ >= zellenzahl_) markiert_ = -1;
  update();
}

void Raster::gefeuert(int32_t zelle, int32_t takt) {
  if (takt != offenerTakt_) {
    offen_.clear();
    offenerTakt_ = takt;
  }
  offen_.push_back(zelle);
}

void Raster::schrittEnde(int32_t takt) {
  if (takt != offenerTakt_) offen_.clear();  // no firing in this step
  vergessenAb(takt);
  Schritt s{takt, {}};
  if (static_cast<int32_t>(schritte_.size()) >= schrittzahl_ && !schritte_.empty()) {
    s.zellen = std::move(schritte_.front().zellen);  // its memory is used again
    schritte_.pop_front();
  }
  s.zellen.assign(offen_.begin(), offen_.end());
  schritte_.push_back(std::move(s));
  offen_.clear();
  offenerTakt_ = takt + 1;
  neuZeichnen();
}

void Raster::zurueckAuf(int32_t takt) {
  vergessenAb(takt);
  offen_.clear();
  offenerTakt_ = takt;
  neuZeichnen();
}

void Raster::zelleMarkieren(int32_t zelle) {
  markiert_ = zelle >= 0 && zelle < zellenzahl_ ? zelle : -1;
  update();
}

void Raster::setSchrittzahl(int32_t n) {
  schrittzahl_ = std::max(n, 1);
  while (static_cast<int32_t>(schritte_.size()) > schrittzahl_) schritte_.pop_front();
  update();
}

void Raster::vergessenAb(int32_t takt) {
  while (!schritte_.empty() && schritte_.back().takt >= takt) schritte_.pop_back();
}

// A long run asks for a picture after every step; it gets one every
// bildabstand ms and a last one when the steps pause.
void Raster::neuZeichnen() {
  if (!seitBild_.isValid() || seitBild_.elapsed() >= bildabstand) {
    seitBild_.restart();
    update();
  } else if (!nachzug_.isActive()) {
    nachzug_.start(bildabstand);
  }
}

QImage Raster::bild(QSize groesse) const {
  QImage bild(groesse, QImage::Format_RGB32);
  bild.fill(weiss);
  const int breite = groesse.width();
  const int rasterhoehe = groesse.height() - ratenhoehe - 2 * textzeile;
  if (breite <= 0 || rasterhoehe <= 0 || zellenzahl_ == 0) return bild;
  const Rasterteilung teilung = rasterteilung(zellenzahl_, rasterhoehe);
  const int zellhoehe = teilung.fach > 1 ? 1 : std::clamp(rasterhoehe / zellenzahl_, 1, groessteZellhoehe);
  const int spaltenbreite = std::max(1, breite / schrittzahl_);
  const int32_t gezeigt = std::max(1, breite / spaltenbreite);

  if (markiert_ >= 0) {
    const int y = teilung.zeileVon(markiert_) * zellhoehe;
    fuellen(bild, 0, breite, y, y + zellhoehe, markierungsband);
  }
  std::vector<int32_t> anzahl(static_cast<std::size_t>(teilung.zeilen));
  const int32_t neuester = schritte_.empty() ? 0 : schritte_.back().takt;
  std::size_t hoechsteRate = 1;
  for (const Schritt& s : schritte_) hoechsteRate = std::max(hoechsteRate, s.zellen.size());
  const int ratenOben = rasterhoehe + textzeile;
  for (auto s = schritte_.rbegin(); s != schritte_.rend(); ++s) {
    const int64_t alter = int64_t{neuester} - s->takt;
    if (alter >= gezeigt) break;
    const int x1 = breite - static_cast<int>(alter) * spaltenbreite, x0 = x1 - spaltenbreite;
    std::fill(anzahl.begin(), anzahl.end(), 0);
    bool markiertGefeuert = false;
    for (const int32_t c : s->zellen) {
      if (c < 0 || c >= zellenzahl_) continue;
      ++anzahl[static_cast<std::size_t>(teilung.zeileVon(c))];
      markiertGefeuert = markiertGefeuert || c == markiert_;
    }
    for (int32_t z = 0; z < teilung.zeilen; ++z) {
      const int32_t n = anzahl[static_cast<std::size_t>(z)];
      // The last bin may hold fewer cells; it is full when all of them fired.
      const int32_t fach = std::min(teilung.fach, zellenzahl_ - z * teilung.fach);
      if (n > 0) fuellen(bild, x0, x1, z * zellhoehe, (z + 1) * zellhoehe, zaehlfarbe(n, fach));
    }
    if (markiertGefeuert) {
      const int y = teilung.zeileVon(markiert_) * zellhoehe;
      fuellen(bild, x0, x1, y, y + zellhoehe, markiertFeuernd);
    }
    const int balken = static_cast<int>(int64_t{ratenhoehe} * static_cast<int64_t>(s->zellen.size()) /
                                        static_cast<int64_t>(hoechsteRate));
    fuellen(bild, x0, x1, ratenOben + ratenhoehe - balken, ratenOben + ratenhoehe, ratenfarbe);
  }

  QPainter p(&bild);
  p.setPen(QColor(128, 128, 128));
  p.drawLine(0, rasterhoehe, breite - 1, rasterhoehe);
  p.drawLine(0, ratenOben + ratenhoehe, breite - 1, ratenOben + ratenhoehe);
  p.setPen(Qt::black);
  QFont schrift = p.font();
  schrift.setPixelSize(11);
  p.setFont(schrift);
  char prozent[32];
  std::snprintf(prozent, sizeof prozent, "%.1f",
                100.0 * static_cast<double>(hoechsteRate) / static_cast<double>(zellenzahl_));
  const QString fach = teilung.fach > 1 ? QStringLiteral(", %1 Zellen je Zeile").arg(teilung.fach) : QString();
  p.drawText(QRect(2, rasterhoehe + 1, breite - 4, textzeile - 1), Qt::AlignLeft | Qt::AlignVCenter,
             QStringLiteral("%1 Zellen%2").arg(zellenzahl_).arg(fach));
  if (!schritte_.empty()) {
    p.drawText(QRect(2, rasterhoehe + 1, breite - 4, textzeile - 1), Qt::AlignRight | Qt::AlignVCenter,
               QStringLiteral("Takt %1").arg(neuester));
  }
  p.drawText(QRect(2, ratenOben + ratenhoehe + 1, breite - 4, textzeile - 1), Qt::AlignLeft | Qt::AlignVCenter,
             QStringLiteral("Feuerrate, höchstens %1 % der Zellen je Takt").arg(QString::fromLatin1(prozent)));
  return bild;
}

void Raster::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.drawImage(0, 0, bild(size()));
}

}  // namespace velkor
