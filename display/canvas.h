#pragma once
// The drawing surface of every view. Coordinates are canvas pixels, origin at
// the top left of the client area. Implementations: a QImage canvas (window
// and batch runner with pictures) and a null canvas that draws nothing.

#include <cstdint>
#include <string_view>

namespace velkor {

struct Farbe {
  uint8_t r = 0, g = 0, b = 0;
  friend bool operator==(Farbe, Farbe) = default;
};

namespace farben {
inline constexpr Farbe schwarz{0, 0, 0};
inline constexpr Farbe weiss{255, 255, 255};
inline constexpr Farbe rot{255, 0, 0};
inline constexpr Farbe blau{0, 0, 255};
inline constexpr Farbe gruen{0, 255, 0};
inline constexpr Farbe gelb{255, 255, 0};
}  // namespace farben

enum class Stiftstil { durchgezogen, gepunktet };
enum class Pinselstil { voll, leer, diagonal };  // diagonal: backward-diagonal hatch, gaps unpainted

class Canvas {
 public:
  virtual ~Canvas() = default;
  virtual int breite() const = 0;
  virtual int hoehe() const = 0;

  virtual void stiftfarbe(Farbe f) = 0;
  virtual void stiftstil(Stiftstil s) = 0;
  virtual void pinselfarbe(Farbe f) = 0;
  virtual void pinselstil(Pinselstil s) = 0;
  virtual void schriftfett(bool fett) = 0;
  virtual void schriftfarbe(Farbe f) = 0;
  virtual void schrifthoehe(int pixel) = 0;

  virtual void moveTo(int x, int y) = 0;
  // Up to but not including (x, y), which becomes the current position.
  virtual void lineTo(int x, int y) = 0;
  // Fills columns min..max-1 and rows min..max-1 with the brush, outlines them with the pen.
  virtual void rectangle(int x1, int y1, int x2, int y2) = 0;
  // The ellipse inscribed in the box of rectangle().
  virtual void ellipse(int x1, int y1, int x2, int y2) = 0;
  // Top-left corner of the first character cell at (x, y); a solid brush fills the text cells first.
  // `text` is UTF-8.
  virtual void textOut(int x, int y, std::string_view text) = 0;
  virtual void setPixel(int x, int y, Farbe f) = 0;
  // Pixels outside the canvas read as black.
  virtual Farbe getPixel(int x, int y) const = 0;
  // False for the null canvas: views may skip their drawing work entirely.
  virtual bool zeichnet() const { return true; }
};

}  // namespace velkor
