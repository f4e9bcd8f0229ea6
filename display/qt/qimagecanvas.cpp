#include "display/qt/qimagecanvas.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QPainter>
#include <QStringDecoder>
#include <algorithm>
#include <cmath>
#include <optional>

namespace velkor {

// A text in one font: its advance and its glyph pixels as runs relative to
// the top-left corner of its character cell. `maske` false: the glyphs are
// not plain pixels of one colour, or reach the edge of the probe; QPainter
// draws them at every call.
struct QImageCanvas::Textbild {
  struct Lauf {
    int dx, dy, laenge;
  };
  int breite = 0;
  bool maske = false;
  bool geprueft = false;  // the probe was made
  std::vector<Lauf> laeufe;
};

struct QImageCanvas::Schrift {
  QFont font;
  int ascent = 0;
  int hoehe = 0;
  std::optional<QFontMetrics> metrik;
  std::unordered_map<std::string, Textbild> texte;
};

namespace {

// Texts kept per font; beyond this (a long run writes a new time step in
// every step) the store starts afresh.
constexpr std::size_t textgrenze = 1 << 14;
constexpr std::size_t ellipsengrenze = 1 << 15;
constexpr int64_t ellipseGemerkt = 512;  // boxes up to this size are kept

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
  breite_ = bild_.width();
  hoehe_ = bild_.height();
}

QImageCanvas::~QImageCanvas() = default;

void QImageCanvas::schreibbereit() {
  zeilen_ = reinterpret_cast<QRgb*>(bild_.bits());
  proZeile_ = bild_.bytesPerLine() / static_cast<int64_t>(sizeof(QRgb));
}

void QImageCanvas::schriftfett(bool fett) {
  if (fett != fett_) schrift_ = nullptr;
  fett_ = fett;
}

void QImageCanvas::schrifthoehe(int pixel) {
  pixel = std::clamp(pixel, 1, 400);
  if (pixel != schrifthoehe_) schrift_ = nullptr;
  schrifthoehe_ = pixel;
}

void QImageCanvas::punkt(int64_t x, int64_t y, Farbe f) {
  if (x < 0 || y < 0 || x >= breite_ || y >= hoehe_) return;
  zeile(y)[x] = rgb(f);
}

void QImageCanvas::setPixel(int x, int y, Farbe f) {
  schreibbereit();
  punkt(x, y, f);
}

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
// is rounded half up from the exact line, floor((2·i·d + n) / 2n), so every
// pixel is where the exact line puts it; only the steps inside the picture
// are visited, and the quotient is carried on from step to step. The end
// point is not drawn. A dotted pen paints the even steps, counted from the start.
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
  const int64_t grenze = xHaupt ? breite_ : hoehe_, nebenGrenze = xHaupt ? hoehe_ : breite_;
  // Steps whose major coordinate lies inside the picture.
  int64_t von = hauptV > 0 ? -haupt0 : haupt0 - (grenze - 1);
  int64_t bis = hauptV > 0 ? grenze - 1 - haupt0 : haupt0;
  von = std::max<int64_t>(von, 0);
  bis = std::min<int64_t>(bis, n - 1);
  const int64_t schritt = stiftstil_ == Stiftstil::gepunktet ? 2 : 1;
  if (schritt == 2 && (von & 1)) ++von;
  if (von > bis) return;
  schreibbereit();
  const QRgb farbe = rgb(stift_);
  const int64_t zweiN = 2 * n, zuwachs = 2 * nebenD * schritt;
  const __int128 zaehler = static_cast<__int128>(2) * von * nebenD + n;
  int64_t versatz = static_cast<int64_t>(zaehler / zweiN);
  int64_t rest = static_cast<int64_t>(zaehler - static_cast<__int128>(versatz) * zweiN);
  for (int64_t i = von; i <= bis; i += schritt) {
    const int64_t h = haupt0 + hauptV * i, m = neben0 + nebenV * versatz;
    if (m >= 0 && m < nebenGrenze) (xHaupt ? zeile(m)[h] : zeile(h)[m]) = farbe;
    rest += zuwachs;
    while (rest >= zweiN) {
      rest -= zweiN;
      ++versatz;
    }
  }
}

// The brush on [von, bis) of row y, all inside the picture. The
// backward-diagonal hatch: lines rising from lower left to upper right, 8
// pixels apart; the gaps keep what was there.
void QImageCanvas::fuellzeile(int64_t y, int64_t von, int64_t bis) {
  QRgb* z = zeile(y);
  const QRgb farbe = rgb(pinsel_);
  if (pinselstil_ == Pinselstil::voll) {
    std::fill(z + von, z + bis, farbe);
  } else if (pinselstil_ == Pinselstil::diagonal) {
    for (int64_t x = von + ((8 - ((von + y) & 7)) & 7); x < bis; x += 8) z[x] = farbe;
  }
}

void QImageCanvas::rectangle(int x1, int y1, int x2, int y2) {
  const int64_t l = std::min(x1, x2), r = std::max(x1, x2), t = std::min(y1, y2), b = std::max(y1, y2);
  if (r <= l || b <= t) return;
  const int64_t x0 = std::max<int64_t>(l, 0), xe = std::min<int64_t>(r, breite_);
  const int64_t y0 = std::max<int64_t>(t, 0), ye = std::min<int64_t>(b, hoehe_);
  if (x0 >= xe || y0 >= ye) return;
  schreibbereit();
  for (int64_t yy = y0; yy < ye; ++yy) fuellzeile(yy, x0, xe);
  // The outline: columns l and r - 1, rows t and b - 1.
  const QRgb farbe = rgb(stift_);
  for (const int64_t yy : {t, b - 1})
    if (yy >= 0 && yy < hoehe_) std::fill(zeile(yy) + x0, zeile(yy) + xe, farbe);
  for (const int64_t xx : {l, r - 1})
    if (xx >= 0 && xx < breite_)
      for (int64_t yy = y0; yy < ye; ++yy) zeile(yy)[xx] = farbe;
}

void QImageCanvas::spanne(int y, int64_t von, int64_t bis, int64_t innenVon, int64_t innenBis) {
  const int64_t a = std::max<int64_t>(von, 0), e = std::min<int64_t>(bis, breite_ - 1);
  if (a > e) return;
  QRgb* z = zeile(y);
  const QRgb farbe = rgb(stift_);
  const int64_t iv = std::max(a, innenVon), ib = std::min(e, innenBis);
  if (iv > ib) {
    std::fill(z + a, z + e + 1, farbe);
    return;
  }
  std::fill(z + a, z + iv, farbe);
  fuellzeile(y, iv, ib + 1);
  std::fill(z + ib + 1, z + e + 1, farbe);
}

namespace {

// The rows y0..ye-1 of the inscribed ellipse of the box [l, r) x [t, b): a
// pixel of a row belongs to it when its centre lies within the ellipse's
// width at the row edge nearer the centre; the outline is every such pixel
// with a neighbour (left, right, above, below) outside.
template <typename Zeile>
void ellipsenzeilen(int64_t l, int64_t t, int64_t r, int64_t b, int64_t y0, int64_t ye, std::vector<Zeile>& aus) {
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
  for (int64_t y = y0; y < ye; ++y) {
    const Spanne s = zeile(y), oben = zeile(y - 1), unten = zeile(y + 1);
    if (s.von > s.bis) continue;
    aus.push_back(
        {y, s.von, s.bis, std::max({s.von + 1, oben.von, unten.von}), std::min({s.bis - 1, oben.bis, unten.bis})});
  }
}

}  // namespace

// Small boxes keep their rows for the next ellipse at the same place; large
// ones are computed for the rows inside the picture only.
void QImageCanvas::ellipse(int x1, int y1, int x2, int y2) {
  const int64_t l = std::min(x1, x2), r = std::max(x1, x2), t = std::min(y1, y2), b = std::max(y1, y2);
  if (r <= l || b <= t) return;
  const int64_t y0 = std::max<int64_t>(t, 0), ye = std::min<int64_t>(b, hoehe_);
  if (y0 >= ye) return;
  schreibbereit();
  std::vector<Ellipsenzeile> gross;
  const std::vector<Ellipsenzeile>* zeilen = &gross;
  if (r - l <= ellipseGemerkt && b - t <= ellipseGemerkt) {
    if (ellipsen_.size() >= ellipsengrenze) ellipsen_.clear();
    auto [it, neu] = ellipsen_.try_emplace({l, t, r, b});
    if (neu) ellipsenzeilen(l, t, r, b, t, b, it->second);
    zeilen = &it->second;
  } else {
    ellipsenzeilen(l, t, r, b, y0, ye, gross);
  }
  for (const Ellipsenzeile& z : *zeilen)
    if (z.y >= y0 && z.y < ye) spanne(static_cast<int>(z.y), z.von, z.bis, z.innenVon, z.innenBis);
}

QImageCanvas::Schrift& QImageCanvas::schrift() {
  if (schrift_ != nullptr) return *schrift_;
  std::unique_ptr<Schrift>& eintrag = schriften_[{fett_, schrifthoehe_}];
  if (!eintrag) {
    eintrag = std::make_unique<Schrift>();
    QFont& f = eintrag->font;
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
    eintrag->ascent = m.ascent();
    eintrag->hoehe = m.height();
    eintrag->metrik.emplace(f);
  }
  schrift_ = eintrag.get();
  return *schrift_;
}

void QImageCanvas::textMalen(int x, int y, const QString& q, const Schrift& s) {
  QPainter p(&bild_);
  p.setRenderHint(QPainter::Antialiasing, false);
  p.setRenderHint(QPainter::TextAntialiasing, false);
  p.setFont(s.font);
  p.setPen(QColor(schriftfarbe_.r, schriftfarbe_.g, schriftfarbe_.b));
  p.drawText(x, y + s.ascent, q);
}

// A text is drawn by QPainter the first time; at its second call it is
// rendered black on white in a probe with a margin and its glyph pixels
// become runs (the time steps and firing lines of a run mostly come once).
// Unantialiased glyphs at whole-pixel positions come out the same wherever
// they are drawn.
const QImageCanvas::Textbild& QImageCanvas::textbild(Schrift& s, std::string_view text) {
  if (s.texte.size() >= textgrenze) s.texte.clear();
  auto [it, neu] = s.texte.try_emplace(std::string(text));
  Textbild& t = it->second;
  if (neu) {
    t.breite = s.metrik->horizontalAdvance(alsText(text));
    return t;
  }
  if (t.maske || t.geprueft) return t;
  t.geprueft = true;
  const QString q = alsText(text);
  const int rand = 8;
  const int w = std::max(t.breite, 0) + 2 * rand, h = s.hoehe + 2 * rand;
  if (probe_.width() < w || probe_.height() < h)
    probe_ = QImage(std::max(w, probe_.width()), std::max(h, probe_.height()), QImage::Format_RGB32);
  for (int y = 0; y < h; ++y) {
    auto* z = reinterpret_cast<QRgb*>(probe_.scanLine(y));
    std::fill(z, z + w, rgb(farben::weiss));
  }
  {
    QPainter p(&probe_);
    p.setClipRect(0, 0, w, h);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setRenderHint(QPainter::TextAntialiasing, false);
    p.setFont(s.font);
    p.setPen(QColor(0, 0, 0));
    p.drawText(rand, rand + s.ascent, q);
  }
  // Glyph pixels on the edge of the part drawn into may have been cut off:
  // such a text is drawn by QPainter every time.
  const int pw = w;
  t.maske = true;
  for (int y = 0; y < h && t.maske; ++y) {
    const auto* z = reinterpret_cast<const QRgb*>(probe_.constScanLine(y));
    for (int x = 0; x < pw;) {
      const QRgb farbe = z[x] & 0xffffffu;
      if (farbe == 0xffffffu) {
        ++x;
        continue;
      }
      int e = x;
      while (e < pw && (z[e] & 0xffffffu) == 0) ++e;
      if (farbe != 0 || x == 0 || y == 0 || y >= h - 1 || e >= w) {
        t.maske = false;
        break;
      }
      t.laeufe.push_back({x - rand, y - rand, e - x});
      x = e;
    }
  }
  if (!t.maske) t.laeufe.clear();
  return t;
}

void QImageCanvas::textOut(int x, int y, std::string_view text) {
  if (text.empty() || QGuiApplication::instance() == nullptr) return;
  if (x >= breite_ || y >= hoehe_ || y < -1000 || x < -100000) return;
  Schrift& s = schrift();
  const Textbild& t = textbild(s, text);
  if (pinselstil_ == Pinselstil::voll) {
    const Farbe stift = stift_;
    stift_ = pinsel_;
    rectangle(x, y, x + t.breite, y + s.hoehe);
    stift_ = stift;
  }
  if (!t.maske) {
    textMalen(x, y, alsText(text), s);
    return;
  }
  schreibbereit();
  const QRgb farbe = rgb(schriftfarbe_);
  for (const Textbild::Lauf& l : t.laeufe) {
    const int64_t yy = int64_t{y} + l.dy;
    if (yy < 0 || yy >= hoehe_) continue;
    const int64_t a = std::max<int64_t>(int64_t{x} + l.dx, 0);
    const int64_t e = std::min<int64_t>(int64_t{x} + l.dx + l.laenge, breite_);
    if (a < e) std::fill(zeile(yy) + a, zeile(yy) + e, farbe);
  }
}

int QImageCanvas::textbreite(std::string_view text) {
  if (text.empty() || QGuiApplication::instance() == nullptr) return 0;
  return textbild(schrift(), text).breite;
}

QImageCanvas::Zeichenstand QImageCanvas::zeichenstand() const {
  return {stift_, pinsel_, schriftfarbe_, stiftstil_, pinselstil_, fett_, schrifthoehe_, posX_, posY_};
}

void QImageCanvas::zeichenstandSetzen(const Zeichenstand& stand) {
  stift_ = stand.stift;
  pinsel_ = stand.pinsel;
  schriftfarbe_ = stand.schrift;
  stiftstil_ = stand.stiftstil;
  pinselstil_ = stand.pinselstil;
  schriftfett(stand.fett);
  schrifthoehe(stand.schrifthoehe);
  posX_ = stand.x;
  posY_ = stand.y;
}

void QImageCanvas::bildSetzen(const QImage& bild) {
  if (bild.size() == bild_.size() && bild.format() == bild_.format()) {
    bild_ = bild;
    return;
  }
  const int b = breite(), h = hoehe();
  bild_ = QImage(b, h, QImage::Format_RGB32);
  bild_.fill(rgb(farben::weiss));
  QPainter p(&bild_);
  p.drawImage(0, 0, bild);
}

void QImageCanvas::groesseAendern(int breite, int hoehe) {
  QImage neu(std::max(breite, 1), std::max(hoehe, 1), QImage::Format_RGB32);
  neu.fill(rgb(farben::weiss));
  {
    QPainter p(&neu);
    p.drawImage(0, 0, bild_);
  }
  bild_ = std::move(neu);
  breite_ = bild_.width();
  hoehe_ = bild_.height();
}

}  // namespace velkor
