#pragma once
// The canvas of an attached display as an RGB array (height, width, 3).

#include <pybind11/numpy.h>

#include "display/canvas.h"

namespace velkor {

// Sets up what drawing needs (once per process; it stays until the end).
void bildumgebungSichern();
pybind11::array_t<uint8_t> bildArray(const Canvas& canvas);

}  // namespace velkor
