#pragma once
// The program-wide random generator: whole numbers 0..99 from a fixed start
// state, seedable. A PCG32 generator with our own mapping to 0..99, so a run
// is the same on every machine and every standard library.

#include <cstdint>

namespace velkor {

class Zufall {
 public:
  Zufall();  // the fixed start state
  void seed(uint64_t wert);
  static uint64_t uhrzeitSeed();  // a seed from the clock
  // Uniform whole number 0..99.
  int32_t naechste0bis99();
  // Skips `n` draws in O(log n), as if naechste0bis99 had been called n times.
  void vorruecken(uint64_t n);
  uint64_t zustand() const { return state_; }

 private:
  uint32_t naechste32();
  uint64_t state_;
  uint64_t inc_;
};

}  // namespace velkor
