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
// as the window font's height is.

#include <QFont>
#include <QImage>
#include <memory>

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

 private:
  struct Schrift;
  void punkt(int64_t x, int64_t y, Farbe f);
  void pinselpunkt(int x, int y);
  void spanne(int y, int64_t von, int64_t bis, int64_t innenVon, int64_t innenBis);
  Schrift& schrift();

  QImage bild_;
  Farbe stift_ = farben::schwarz;
  Stiftstil stiftstil_ = Stiftstil::durchgezogen;
  Farbe pinsel_ = farben::weiss;
  Pinselstil pinselstil_ = Pinselstil::voll;
  Farbe schriftfarbe_ = farben::schwarz;
  bool fett_ = false;
  int schrifthoehe_ = 14;
  int posX_ = 0;
  int posY_ = 0;
  std::unique_ptr<Schrift> schrift_;  // built on first use, rebuilt when the font changes
};

}  // namespace velkor
