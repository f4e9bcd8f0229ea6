#pragma once
// Cell and connection values as NumPy arrays. Every read and write of the
// net's columns by the module stands in spalten.cpp.

#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>

#include <cstdint>
#include <string>
#include <vector>

#include "python/sitzung.h"

namespace velkor {

// The display bookkeeping of the net (cell and weight levels), kept aside
// while a picture is drawn apart from the attached display.
struct Pegelstand {
  std::vector<int32_t> zellen;
  std::vector<int8_t> gewichte;
};
Pegelstand pegelRetten(const Netz& netz);
void pegelZurueck(Netz& netz, const Pegelstand& stand);

// The names of the fields, for help texts and error messages.
std::vector<std::string> zellfelder();
std::vector<std::string> verbindungsfelder();

// A copy of one field of every cell (float64, int32).
pybind11::array zellspalte(const Sitzung& s, const std::string& feld);
// Writes `werte` (one value, or one per cell of `zellen`) into the field.
void zellspalteSetzen(Sitzung& s, const std::string& feld, const std::vector<int32_t>& zellen,
                      const pybind11::array& werte);
std::vector<std::string> zellnamen(const Sitzung& s);

// A copy of one field of every connection, in source order: the cells by
// index, each cell's connections in list order (the newest line first).
pybind11::array verbindungsspalte(Sitzung& s, const std::string& feld);
void verbindungsspalteSetzen(Sitzung& s, const std::string& feld, const std::vector<int64_t>& nummern,
                             const pybind11::array& werte);
// The connection numbers [anfang, ende) of cell c.
std::pair<std::size_t, std::size_t> verbindungsbereich(const Sitzung& s, int32_t c);

}  // namespace velkor
