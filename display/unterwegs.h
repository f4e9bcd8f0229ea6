#pragma once
// Spikes in transit in the cell view: each spike under way drawn on its
// connection at the place its remaining delay gives, so that a delay of 3 is
// seen to take three time steps. Off unless called; it draws over whatever
// the canvas holds, so a front end draws it on a copy of the cell view's
// picture (the view itself paints only what changed from step to step).

#include <cstdint>

#include "display/anzeige.h"
#include "display/canvas.h"
#include "engine/simulation.h"

namespace velkor {

struct Bildpunkt {
  int64_t x = 0, y = 0;
  friend bool operator==(Bildpunkt, Bildpunkt) = default;
};

// Where the cell view places its cells: the centre of a cell at column s and
// row z is (8 s + 10, 18 z + oberkante); a connection of two cells at the
// same place is a loop circle of radius 15, 5 pixels right of and 7 above it.
struct Zellgeometrie {
  int64_t spaltenschritt = 8;
  int64_t spaltenrand = 10;
  int64_t zeilenschritt = 18;
  int64_t zeilenrand = oberkante;
  Bildpunkt mitte(const TZelle& z) const {
    return {spaltenschritt * int64_t{z.spalte} + spaltenrand, zeilenschritt * int64_t{z.zeile} + zeilenrand};
  }
};

// The place of a spike from a to b over a connection of delay d with the
// counter `rest` between two time steps: the share (d + 1 - rest) / (d + 1)
// of the way, each coordinate truncated toward zero. Right after the firing
// the counter is d (one step travelled), one step before the arrival it is 1;
// a countdown stalled in its firing step stands at the source (d + 1).
// Shares outside the line are bounded to its ends.
Bildpunkt unterwegsOrt(Bildpunkt a, Bildpunkt b, int32_t verzoegerung, int32_t rest);
// The same on the loop circle of a connection of a cell to itself, starting
// and ending where the circle meets the cell's centre line.
Bildpunkt schleifenOrt(Bildpunkt zellmitte, int32_t verzoegerung, int32_t rest);

// Radius of the disc that marks a spike under way.
inline constexpr int spikeradius = 5;

// Draws every spike under way (counter >= 1) of the connections the cell view
// draws, in cell order and list order: a yellow disc with a black rim. Reads
// `laufzaehler` as it stands: call laufzaehlerAbgleichen(sim) first. Leaves
// pen black and solid, brush white and solid. Returns the number drawn.
int64_t unterwegsZeichnen(Canvas& canvas, const Simulation& sim, const Zellgeometrie& geometrie = {});

}  // namespace velkor
