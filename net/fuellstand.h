#pragma once
// Bookkeeping of the loader for lines that fill in values "not given" in every
// record defined above them ("f" blocks, "w" and "d" lines).

#include <cstddef>
#include <vector>

namespace velkor {

// Makes "f"-block, "w" and "d" lines linear in the size of the net. Records
// below `bis` are known to hold a given value in the field, except those in
// `ausnahmen` (set to -1 explicitly after the last fill). A fill visits only
// those, instead of walking the whole net again at every such line.
struct Fuellstand {
  std::size_t bis = 0;
  std::vector<std::size_t> ausnahmen;

  void nichtGegeben(std::size_t i) {
    if (i < bis) ausnahmen.push_back(i);
  }

  // Calls `setzeWennFrei` for every record of [0, anzahl) that may hold -1;
  // afterwards none does (the value filled in is never -1).
  template <class F>
  void fuellen(std::size_t anzahl, F&& setzeWennFrei) {
    for (std::size_t i : ausnahmen) setzeWennFrei(i);
    for (std::size_t i = bis; i < anzahl; ++i) setzeWennFrei(i);
    ausnahmen.clear();
    bis = anzahl;
  }
};

}  // namespace velkor
