#pragma once
// Drawing operations shared by the views, and the safe conversions from the
// net's reals to pixels and fill levels.

#include <cstdint>
#include <string>

#include "display/canvas.h"
#include "net/modell.h"

namespace velkor {

// Circle of radius r around (x, y): ellipse (x - r, y - r, x + r, y + r) with
// the current pen and brush.
void kreis(Canvas& canvas, int x, int y, int r);

// Changes the fill level of the disc of radius r around (x, y) from `alt` to
// `neu` (levels are pixel rows counted from the bottom of the disc): chords in
// `farbe` upward, white chords downward. Levels outside 0..2r are bounded to
// the disc. Leaves the pen colour as set here; callers reset it.
void pegelfuellen(Canvas& canvas, int x, int y, int32_t neu, int r, int32_t alt, Farbe farbe);

// The EPSP level of a cell, 0..28 (chords of the inner disc of radius 14):
// trunc(28 · p / schwelle) with p = min(max(potenzial, 0), schwelle) + 2,
// bounded to the disc; a threshold of 0 gives the full disc.
inline constexpr int32_t epspVoll = 28;
int32_t epspPegel(const TZelle& z);

// Truncation toward zero of a real into a whole number, bounded to
// [unten, oben]; NaN gives `unten`. Never undefined, whatever the real.
int32_t begrenzt(double wert, int32_t unten, int32_t oben);
// Truncation toward zero into the signed 32-bit range; NaN gives 0.
int32_t ganzzahl(double wert);

// A pixel coordinate computed in 64 bits, bounded to a range every canvas
// handles without overflow (far outside any real window).
int pixel(int64_t wert);

// Decimal digits of `zahl`, right-aligned in `breite` characters (a longer
// number is written in full).
std::string rechtsbuendig(int64_t zahl, int breite);
// `text` right-aligned in `breite` characters (a longer text in full).
std::string rechtsbuendig(const std::string& text, int breite);

}  // namespace velkor
