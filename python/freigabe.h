#pragma once
// Long calls of the module (step(n), run_to_stop(), run()) step without the
// GIL, so that other Python threads run meanwhile: a notebook's widgets, a
// progress display reading time_step.
//
// Ctrl-C: Python's own handler only notes the signal, and Python looks at
// that note with the GIL held. So while a long call runs in the main thread,
// a handler of ours stands in front of Python's: it notes the signal for the
// stepping loop, which stops after the current time step, and hands it on;
// back with the GIL, Python raises KeyboardInterrupt as usual.

#include <pybind11/pybind11.h>

#include <cstdint>

#include "python/sitzung.h"

namespace velkor {

class Unterbrechungswache {
 public:
  // With the GIL held. `noetig` false: a single step, which a signal cannot
  // shorten, and the two system calls would cost as much as a small net's step.
  explicit Unterbrechungswache(bool noetig);
  ~Unterbrechungswache();
  Unterbrechungswache(const Unterbrechungswache&) = delete;
  Unterbrechungswache& operator=(const Unterbrechungswache&) = delete;

  // Ctrl-C came since the start of the call.
  static bool ausgeloest();

 private:
  bool eingesetzt_ = false;
};

// Runs `lauf` on `sitzung` without the GIL; raises KeyboardInterrupt after it
// when Ctrl-C came. `lauf` gets the question to ask after each step.
template <class F>
int64_t ohneGil(Sitzung& sitzung, bool einSchritt, F&& lauf) {
  Unterbrechungswache wache(!einSchritt);
  sitzung.laufBeginnen();
  int64_t gelaufen = 0;
  try {
    pybind11::gil_scoped_release freigabe;
    gelaufen = lauf(&Unterbrechungswache::ausgeloest);
  } catch (...) {
    sitzung.laufBeenden();
    throw;
  }
  sitzung.laufBeenden();
  if (PyErr_CheckSignals() != 0) throw pybind11::error_already_set();
  return gelaufen;
}

}  // namespace velkor
