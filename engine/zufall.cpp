#include "engine/zufall.h"

#include <chrono>

namespace velkor {

// PCG32 (XSH RR variant): a 64-bit linear congruential state, 32-bit output by
// xorshift and a random rotation. The increment selects the stream; it must be odd.
//
// Fixed start state: the generator as seeded with initstate 42 on stream 54,
// that is increment (54 << 1) | 1 = 109. Every program start begins here, so the
// first simulation after a start takes the same course on every machine.
namespace {

constexpr uint64_t multiplikator = 6364136223846793005ULL;
constexpr uint64_t startwert = 42U;
constexpr uint64_t strom = 54U;

uint64_t schritt(uint64_t state, uint64_t inc) { return state * multiplikator + inc; }

}  // namespace

Zufall::Zufall() : state_(0), inc_((strom << 1U) | 1U) { seed(startwert); }

void Zufall::seed(uint64_t wert) {
  // The seeding procedure of PCG32: the stream stays, the state is derived from `wert`.
  state_ = 0;
  state_ = schritt(state_, inc_);
  state_ += wert;
  state_ = schritt(state_, inc_);
}

uint64_t Zufall::uhrzeitSeed() {
  // Nanoseconds since the epoch: the time of day at full resolution.
  auto jetzt = std::chrono::system_clock::now().time_since_epoch();
  return static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::nanoseconds>(jetzt).count());
}

void Zufall::vorruecken(uint64_t n) {
  // Jump ahead by n steps of the congruential state in O(log n): the n-fold
  // step is again an affine map state * m + p, composed by repeated squaring.
  uint64_t akkuMult = 1U;
  uint64_t akkuPlus = 0U;
  uint64_t mult = multiplikator;
  uint64_t plus = inc_;
  while (n > 0) {
    if ((n & 1U) != 0) {
      akkuMult *= mult;
      akkuPlus = akkuPlus * mult + plus;
    }
    plus = (mult + 1U) * plus;
    mult *= mult;
    n >>= 1U;
  }
  state_ = akkuMult * state_ + akkuPlus;
}

}  // namespace velkor
