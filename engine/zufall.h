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
  // Uniform whole number 0..99. Our own mapping of the 32-bit output: the
  // upper part of x * 100. Each value comes up 42949672 or 42949673 times
  // among the 2^32 outputs, a bias below 3e-8 that no simulation can notice,
  // and no std:: distribution (whose results differ between standard
  // libraries) is involved.
  int32_t naechste0bis99() {
    const uint64_t x = naechste32();
    return static_cast<int32_t>((x * 100U) >> 32U);
  }
  // Skips `n` draws in O(log n), as if naechste0bis99 had been called n times.
  void vorruecken(uint64_t n);
  uint64_t zustand() const { return state_; }
  // Puts the generator back to a state read with zustand() (the stream is fixed).
  void zustandSetzen(uint64_t zustand) { state_ = zustand; }

 private:
  // PCG32 (XSH RR): the output of the old state, then one step.
  uint32_t naechste32() {
    const uint64_t alt = state_;
    state_ = alt * 6364136223846793005ULL + inc_;
    const auto verschoben = static_cast<uint32_t>(((alt >> 18U) ^ alt) >> 27U);
    const auto rotation = static_cast<uint32_t>(alt >> 59U);
    return (verschoben >> rotation) | (verschoben << ((32U - rotation) & 31U));
  }
  uint64_t state_;
  uint64_t inc_;
};

}  // namespace velkor
