#include "display/qt/qimagecanvas.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QPainter>
#include <QStringDecoder>
#include <algorithm>
#include <cmath>

namespace velkor {

struct QImageCanvas::Schrift {
  QFont font;
  int ascent = 0;
  int hoehe = 0;
};

namespace {

QRgb rgb(Farbe f) { return qRgb(f.r, f.g, f.b); }

int64_t vorzeichen(int64_t v) { return (v > 0) - (v < 0); }

// Names come from net files as bytes: UTF-8 when valid, else Latin-1.
QString alsText(std::string_view text) {
  QStringDecoder utf8(QStringDecoder::Utf8);
  QString s = utf8(QByteArrayView(text.data(), static_cast<qsizetype>(text.size())));
  if (utf8.hasError()) s = QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
  return s;
}

}  // namespace

QImageCanvas::QImageCanvas(int breite, int hoehe)
    : bild_(std::max(breite, 1), std::max(hoehe, 1), QImage::Format_RGB32) {
  bild_.fill(rgb(farben::weiss));
}

QImageCanvas::~QImageCanvas() = default;

void QImageCanvas::schriftfett(bool fett) {
  if (fett != fett_) schrift_.reset();
  fett_ = fett;
}

void QImageCanvas::schrifthoehe(int pixel) {
  pixel = std::clamp(pixel, 1, 400);
  if (pixel != schrifthoehe_) schrift_.reset();
  schrifthoehe_ = pixel;
}

void QImageCanvas::punkt(int64_t x, int64_t y, Farbe f) {
  if (x < 0 || y < 0 || x >= bild_.width() || y >= bild_.height()) return;
  reinterpret_cast<QRgb*>(bild_.scanLine(static_cast<int>(y)))[x] = rgb(f);
}

void QImageCanvas::setPixel(int x, int y, Farbe f) { punkt(x, y, f); }

Farbe QImageCanvas::getPixel(int x, int y) const {
  if (x < 0 || y < 0 || x >= bild_.width() || y >= bild_.height()) return farben::schwarz;
  const QRgb p = reinterpret_cast<const QRgb*>(bild_.constScanLine(y))[x];
  return Farbe{static_cast<uint8_t>(qRed(p)), static_cast<uint8_t>(qGreen(p)), static_cast<uint8_t>(qBlue(p))};
}

void QImageCanvas::moveTo(int x, int y) {
  posX_ = x;
  posY_ = y;
}

// Lines step one pixel along the major axis; the minor coordinate of step i
// is rounded half up from the exact line, so every pixel is computed on its
// own and only the steps inside the picture are visited. The end point is
// not drawn. A dotted pen paints the even steps, counted from the start.
void QImageCanvas::lineTo(int x, int y) {
  const int64_t x0 = posX_, y0 = posY_;
  posX_ = x;
  posY_ = y;
  const int64_t dx = int64_t{x} - x0, dy = int64_t{y} - y0;
  const int64_t adx = std::abs(dx), ady = std::abs(dy);
  const int64_t n = std::max(adx, ady);
  if (n == 0) return;
  const bool xHaupt = adx >= ady;
  const int64_t haupt0 = xHaupt ? x0 : y0, neben0 = xHaupt ? y0 : x0;
  const int64_t hauptV = vorzeichen(xHaupt ? dx : dy), nebenV = vorzeichen(xHaupt ? dy : dx);
  const int64_t nebenD = xHaupt ? ady : adx;
  const int64_t grenze = xHaupt ? bild_.width() : bild_.height();
  // Steps whose major coordinate lies inside the picture.
  int64_t von = hauptV > 0 ? -haupt0 : haupt0 - (grenze - 1);
  int64_t bis = hauptV > 0 ? grenze - 1 - haupt0 : haupt0;
  von = std::max<int64_t>(von, 0);
  bis = std::min<int64_t>(bis, n - 1);
  for (int64_t i = von; i <= bis; ++i) {
    if (stiftstil_ == Stiftstil::gepunktet && (i & 1)) continue;
    const __int128 zaehler = static_cast<__int128>(2) * i * nebenD + n;
    const auto versatz = static_cast<int64_t>(zaehler / (static_cast<__int128>(2) * n));
    const int64_t h = haupt0 + hauptV * i, m = neben0 + nebenV * versatz;
    if (xHaupt)
      punkt(h, m, stift_);
    else
      punkt(m, h, stift_);
  }
}

// Backward-diagonal hatch: lines rising from lower left to upper right, 8
// pixels apart; the gaps keep what was there.
void QImageCanvas::pinselpunkt(int x, int y) {
  if (pinselstil_ == Pinselstil::voll)
    punkt(x, y, pinsel_);
  else if (pinselstil_ == Pinselstil::diagonal && ((x + y) & 7) == 0)
    punkt(x, y, pinsel_);
}

void QImageCanvas::rectangle(int x1, int y1, int x2, int y2) {
  const int64_t l = std::min(x1, x2), r = std::max(x1, x2), t = std::min(y1, y2), b = std::max(y1, y2);
  if (r <= l || b <= t) return;
  const int64_t x0 = std::max<int64_t>(l, 0), xe = std::min<int64_t>(r, bild_.width());
  const int64_t y0 = std::max<int64_t>(t, 0), ye = std::min<int64_t>(b, bild_.height());
  if (pinselstil_ != Pinselstil::leer)
    for (int64_t yy = y0; yy < ye; ++yy)
      for (int64_t xx = x0; xx < xe; ++xx) pinselpunkt(static_cast<int>(xx), static_cast<int>(yy));
  // The outline: columns l and r - 1, rows t and b - 1.
  for (int64_t xx = x0; xx < xe; ++xx) {
    punkt(xx, t, stift_);
    punkt(xx, b - 1, stift_);
  }
  for (int64_t yy = y0; yy < ye; ++yy) {
    punkt(l, yy, stift_);
    punkt(r - 1, yy, stift_);
  }
}

// One row of an ellipse: [von, bis] inside, of which [innenVon, innenBis] is
// the interior (brush); the rest is the outline (pen).
void QImageCanvas::spanne(int y, int64_t von, int64_t bis, int64_t innenVon, int64_t innenBis) {
  const int64_t a = std::max<int64_t>(von, 0), e = std::min<int64_t>(bis, bild_.width() - 1);
  for (int64_t x = a; x <= e; ++x) {
    if (x >= innenVon && x <= innenBis) {
      if (pinselstil_ != Pinselstil::leer) pinselpunkt(static_cast<int>(x), y);
    } else {
      punkt(x, y, stift_);
    }
  }
}

// The inscribed ellipse of the box [l, r) x [t, b): a pixel of a row belongs
// to it when its centre lies within the ellipse's width at the row edge
// nearer the centre; the outline is every such pixel with a neighbour (left,
// right, above, below) outside.
void QImageCanvas::ellipse(int x1, int y1, int x2, int y2) {
  const int64_t l = std::min(x1, x2), r = std::max(x1, x2), t = std::min(y1, y2), b = std::max(y1, y2);
  if (r <= l || b <= t) return;
  const double cx = (static_cast<double>(l) + static_cast<double>(r)) / 2.0;
  const double cy = (static_cast<double>(t) + static_cast<double>(b)) / 2.0;
  const double ha = static_cast<double>(r - l) / 2.0, hb = static_cast<double>(b - t) / 2.0;
  struct Spanne {
    int64_t von = 1, bis = 0;  // empty
  };
  auto zeile = [&](int64_t y) {
    Spanne s;
    if (y < t || y >= b) return s;
    // The edge of the row nearest to the centre decides its width, so that
    // the ellipse covers the chords that pegelfuellen paints in its box.
    const double oben = static_cast<double>(y), unten = oben + 1.0;
    const double dy = (cy < oben ? oben - cy : cy > unten ? cy - unten : 0.0) / hb;
    if (dy * dy > 1.0) return s;
    const double hw = ha * std::sqrt(1.0 - dy * dy);
    s.von = static_cast<int64_t>(std::ceil(cx - hw - 0.5));
    s.bis = static_cast<int64_t>(std::floor(cx + hw - 0.5));
    return s;
  };
  const int64_t y0 = std::max<int64_t>(t, 0), ye = std::min<int64_t>(b, bild_.height());
  for (int64_t y = y0; y < ye; ++y) {
    const Spanne s = zeile(y), oben = zeile(y - 1), unten = zeile(y + 1);
    if (s.von > s.bis) continue;
    const int64_t innenVon = std::max({s.von + 1, oben.von, unten.von});
    const int64_t innenBis = std::min({s.bis - 1, oben.bis, unten.bis});
    spanne(static_cast<int>(y), s.von, s.bis, innenVon, innenBis);
  }
}

QImageCanvas::Schrift& QImageCanvas::schrift() {
  if (schrift_) return *schrift_;
  schrift_ = std::make_unique<Schrift>();
  QFont& f = schrift_->font;
  f.setFamilies({QStringLiteral("DejaVu Sans"), QStringLiteral("Liberation Sans")});
  f.setStyleHint(QFont::SansSerif);
  f.setBold(fett_);
  f.setStyleStrategy(QFont::NoAntialias);
  f.setHintingPreference(QFont::PreferFullHinting);
  // The largest pixel size whose character cell fits the wanted height.
  int groesse = schrifthoehe_;
  f.setPixelSize(groesse);
  while (groesse > 1 && QFontMetrics(f).height() > schrifthoehe_) f.setPixelSize(--groesse);
  const QFontMetrics m(f);
  schrift_->ascent = m.ascent();
  schrift_->hoehe = m.height();
  return *schrift_;
}

void QImageCanvas::textOut(int x, int y, std::string_view text) {
  if (text.empty() || QGuiApplication::instance() == nullptr) return;
  if (x >= bild_.width() || y >= bild_.height() || y < -1000 || x < -100000) return;
  Schrift& s = schrift();
  const QString q = alsText(text);
  const int breite = QFontMetrics(s.font).horizontalAdvance(q);
  if (pinselstil_ == Pinselstil::voll) {
    const Stiftstil stil = stiftstil_;
    const Farbe stift = stift_;
    stift_ = pinsel_;
    rectangle(x, y, x + breite, y + s.hoehe);
    stift_ = stift;
    stiftstil_ = stil;
  }
  QPainter p(&bild_);
  p.setRenderHint(QPainter::Antialiasing, false);
  p.setRenderHint(QPainter::TextAntialiasing, false);
  p.setFont(s.font);
  p.setPen(QColor(schriftfarbe_.r, schriftfarbe_.g, schriftfarbe_.b));
  p.drawText(x, y + s.ascent, q);
}

int QImageCanvas::textbreite(std::string_view text) {
  if (text.empty() || QGuiApplication::instance() == nullptr) return 0;
  return QFontMetrics(schrift().font).horizontalAdvance(alsText(text));
}

void QImageCanvas::groesseAendern(int breite, int hoehe) {
  QImage neu(std::max(breite, 1), std::max(hoehe, 1), QImage::Format_RGB32);
  neu.fill(rgb(farben::weiss));
  {
    QPainter p(&neu);
    p.drawImage(0, 0, bild_);
  }
  bild_ = std::move(neu);
}

}  // namespace velkor
