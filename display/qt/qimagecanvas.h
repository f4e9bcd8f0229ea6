#pragma once
// The canvas on a QImage (RGB32, white at the start), for the window and for
// the batch runner with pictures. Pixel-exact to the Canvas contract: lines
// leave out their end point, rectangles cover columns min..max-1 and rows
// min..max-1, no antialiasing, so only the colours drawn appear.
//
// Text needs the Qt font system: a QGuiApplication (QT_QPA_PLATFORM=offscreen
// will do) must exist while textOut is called. Without one, text is skipped.
//
// The font is a bold or normal sans-serif face (DejaVu Sans, else Liberation
// Sans); its height is the height of the character cell (ascent + descent),
// as the window font's height is. Each text is rendered by Qt once per font
// into a mask of its glyph pixels, which later calls copy in the font colour.

#include <QFont>
#include <QImage>
#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "display/canvas.h"

namespace velkor {

class QImageCanvas final : public Canvas {
 public:
  QImageCanvas(int breite, int hoehe);
  ~QImageCanvas() override;

  int breite() const override { return bild_.width(); }
  int hoehe() const override { return bild_.height(); }

  void stiftfarbe(Farbe f) override { stift_ = f; }
  void stiftstil(Stiftstil s) override { stiftstil_ = s; }
  void pinselfarbe(Farbe f) override { pinsel_ = f; }
  void pinselstil(Pinselstil s) override { pinselstil_ = s; }
  void schriftfett(bool fett) override;
  void schriftfarbe(Farbe f) override { schriftfarbe_ = f; }
  void schrifthoehe(int pixel) override;

  void moveTo(int x, int y) override;
  void lineTo(int x, int y) override;
  void rectangle(int x1, int y1, int x2, int y2) override;
  void ellipse(int x1, int y1, int x2, int y2) override;
  void textOut(int x, int y, std::string_view text) override;
  void setPixel(int x, int y, Farbe f) override;
  Farbe getPixel(int x, int y) const override;

  const QImage& bild() const { return bild_; }
  // New size; the picture is kept at the top left, new parts are white.
  void groesseAendern(int breite, int hoehe);
  // Width in pixels of the text in the current font.
  int textbreite(std::string_view text);

  // The picture and what the next drawing call starts from (colours,
  // styles, font, pen position): taken and put back between time steps.
  struct Zeichenstand {
    Farbe stift, pinsel, schrift;
    Stiftstil stiftstil;
    Pinselstil pinselstil;
    bool fett;
    int schrifthoehe, x, y;
  };
  Zeichenstand zeichenstand() const;
  void zeichenstandSetzen(const Zeichenstand& stand);
  // A picture of another size is put at the top left, the rest white.
  void bildSetzen(const QImage& bild);

 private:
  struct Schrift;
  struct Textbild;
  // One row of an ellipse: [von, bis] inside, of which [innenVon, innenBis]
  // is the interior (brush), the rest the outline (pen).
  struct Ellipsenzeile {
    int64_t y, von, bis, innenVon, innenBis;
  };
  // The pixels are written through a pointer taken once per drawing call
  // (taking it detaches a shared picture).
  QRgb* zeile(int64_t y) { return zeilen_ + y * proZeile_; }
  void schreibbereit();
  void punkt(int64_t x, int64_t y, Farbe f);
  void fuellzeile(int64_t y, int64_t von, int64_t bis);  // brush on [von, bis), inside the picture
  void spanne(int y, int64_t von, int64_t bis, int64_t innenVon, int64_t innenBis);
  Schrift& schrift();
  const Textbild& textbild(Schrift& s, std::string_view text);
  void textMalen(int x, int y, const QString& q, const Schrift& s);

  QImage bild_;
  QRgb* zeilen_ = nullptr;
  int64_t proZeile_ = 0;  // pixels from one row to the next
  int64_t breite_ = 0;    // of bild_, kept at hand for the bounds of every pixel
  int64_t hoehe_ = 0;
  Farbe stift_ = farben::schwarz;
  Stiftstil stiftstil_ = Stiftstil::durchgezogen;
  Farbe pinsel_ = farben::weiss;
  Pinselstil pinselstil_ = Pinselstil::voll;
  Farbe schriftfarbe_ = farben::schwarz;
  bool fett_ = false;
  int schrifthoehe_ = 14;
  int posX_ = 0;
  int posY_ = 0;
  // Fonts by boldness and height, each built on first use with the texts
  // drawn in it; `schrift_` is the current one (none after a change).
  std::map<std::pair<bool, int>, std::unique_ptr<Schrift>> schriften_;
  Schrift* schrift_ = nullptr;
  QImage probe_;  // where new texts are rendered for their mask
  // The rows of the ellipses drawn, by their box: the cell view draws the
  // same circles at the same places in every step.
  std::map<std::tuple<int64_t, int64_t, int64_t, int64_t>, std::vector<Ellipsenzeile>> ellipsen_;
};

}  // namespace velkor
