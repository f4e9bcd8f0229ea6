#pragma once
// Shared pieces of the fuzz targets: a private temporary directory for the
// inputs that must be files, a hard check that aborts (and so is reported by
// libFuzzer) when an invariant fails, and a canvas that checks every drawing
// call for sane coordinates and counts them, so that a view that would draw
// without end is found.

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "display/canvas.h"

namespace velkor::fuzz {

inline void pruefen(bool bedingung, const char* was) {
  if (!bedingung) {
    std::fprintf(stderr, "fuzz: invariant violated: %s\n", was);
    std::abort();
  }
}

// The directory is created once per process (the working directory stays,
// libFuzzer reads its corpus by relative paths).
inline const std::string& arbeitsverzeichnis() {
  static const std::string pfad = [] {
    char muster[] = "/tmp/velkor-fuzz-XXXXXX";
    const char* p = mkdtemp(muster);
    pruefen(p != nullptr, "mkdtemp");
    return std::string(p);
  }();
  return pfad;
}

inline std::string dateiSchreiben(const std::string& name, std::string_view inhalt) {
  const std::string pfad = arbeitsverzeichnis() + "/" + name;
  std::FILE* f = std::fopen(pfad.c_str(), "wb");
  pruefen(f != nullptr, "fopen for writing");
  pruefen(std::fwrite(inhalt.data(), 1, inhalt.size(), f) == inhalt.size(), "fwrite");
  pruefen(std::fclose(f) == 0, "fclose");
  return pfad;
}

// Draws nothing, but checks what would be drawn: coordinates stay within the
// bounds every canvas clips cheaply, and the number of primitives per call of
// the display stays small.
class Pruefcanvas final : public Canvas {
 public:
  // pixel() bounds coordinates to ±2^30; the views add radii and offsets.
  static constexpr int64_t grenze = (int64_t{1} << 30) + (int64_t{1} << 16);
  static constexpr int64_t hoechstzahl = 2'000'000;

  int breite() const override { return 1016; }
  int hoehe() const override { return 709; }
  void stiftfarbe(Farbe) override {}
  void stiftstil(Stiftstil) override {}
  void pinselfarbe(Farbe) override {}
  void pinselstil(Pinselstil) override {}
  void schriftfett(bool) override {}
  void schriftfarbe(Farbe) override {}
  void schrifthoehe(int h) override { pruefen(h > 0 && h < 1000, "font height"); }
  void moveTo(int x, int y) override { punkt(x, y); }
  void lineTo(int x, int y) override { punkt(x, y); }
  void rectangle(int x1, int y1, int x2, int y2) override {
    punkt(x1, y1);
    punkt(x2, y2);
  }
  void ellipse(int x1, int y1, int x2, int y2) override {
    punkt(x1, y1);
    punkt(x2, y2);
  }
  void textOut(int x, int y, std::string_view text) override {
    punkt(x, y);
    pruefen(text.size() < 4096, "text length");
  }
  void setPixel(int x, int y, Farbe) override { punkt(x, y); }
  Farbe getPixel(int x, int y) const override {
    const bool innen = x >= 0 && y >= 0 && x < breite() && y < hoehe();
    return innen ? farben::weiss : farben::schwarz;
  }

  void zaehlerZuruecksetzen() { aufrufe_ = 0; }

 private:
  void punkt(int x, int y) {
    pruefen(x >= -grenze && x <= grenze && y >= -grenze && y <= grenze, "coordinate within bounds");
    pruefen(++aufrufe_ < hoechstzahl, "number of drawing calls");
  }
  int64_t aufrufe_ = 0;
};

}  // namespace velkor::fuzz
