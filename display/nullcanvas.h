#pragma once
// A canvas that draws nothing, for runs without a picture (the batch runner
// without pictures, tests of the trace log). zeichnet() is false, so the
// cell view and the compressed view skip their per-cell work; the tables
// still write the trace log exactly as with a real canvas.
// Every pixel inside the size reads white (an untouched picture), every pixel
// outside reads black, as on every canvas.

#include "display/canvas.h"

namespace velkor {

class NullCanvas final : public Canvas {
 public:
  NullCanvas(int breite = 1016, int hoehe = 709) : breite_(breite), hoehe_(hoehe) {}

  int breite() const override { return breite_; }
  int hoehe() const override { return hoehe_; }

  void stiftfarbe(Farbe) override {}
  void stiftstil(Stiftstil) override {}
  void pinselfarbe(Farbe) override {}
  void pinselstil(Pinselstil) override {}
  void schriftfett(bool) override {}
  void schriftfarbe(Farbe) override {}
  void schrifthoehe(int) override {}

  void moveTo(int, int) override {}
  void lineTo(int, int) override {}
  void rectangle(int, int, int, int) override {}
  void ellipse(int, int, int, int) override {}
  void textOut(int, int, std::string_view) override {}
  void setPixel(int, int, Farbe) override {}
  Farbe getPixel(int x, int y) const override {
    const bool innen = x >= 0 && y >= 0 && x < breite_ && y < hoehe_;
    return innen ? farben::weiss : farben::schwarz;
  }
  bool zeichnet() const override { return false; }

 private:
  int breite_;
  int hoehe_;
};

}  // namespace velkor
