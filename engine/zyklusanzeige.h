#pragma once
// What the cycle asks of the display. The engine never draws itself: the
// window and the batch runner hand it an implementation; the default one does
// nothing, so the simulation runs the same without a display.

#include <cstdint>

namespace velkor {

class Zyklusanzeige {
 public:
  virtual ~Zyklusanzeige() = default;
  // Start of a time step: trace-log line start, row advance, new row.
  virtual void zeilenvorschub() {}
  // In phase 1, when the refractory phase of `zelle` has just reached 0.
  virtual void refraktaerEnde(int32_t /*zelle*/) {}
  // In phase 1, once per firing, in cell order, on the thread that runs the
  // time step.
  virtual void gefeuert(int32_t /*zelle*/) {}
  // In phase 2, after an input entry has set the potential of `zelle`
  // (to its threshold + 10), once per applied entry, in the order of the file.
  virtual void erregt(int32_t /*zelle*/) {}
  // Phase 4: every cell in the active view.
  virtual void anzeigen() {}
  // After phase 4: the number of the time step at the bottom left.
  virtual void taktanzeige() {}
  // The input stopped a run or ended: "Einzelne Zyklen mit Leertaste starten".
  virtual void eingabeHinweis() {}
  // A time step was asked for on a faulty net: the five-line block.
  virtual void netzfehlerHinweis() {}
};

}  // namespace velkor
