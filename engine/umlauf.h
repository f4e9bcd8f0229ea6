#pragma once
// Whole numbers of the model are signed 32-bit and wrap around as 32-bit
// machine words do; these helpers do that without relying on signed
// overflow.

#include <cstdint>

namespace velkor {

inline int32_t umlaufendPlus(int32_t a, int32_t b) {
  return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
}

inline int32_t umlaufendMinus(int32_t a, int32_t b) {
  return static_cast<int32_t>(static_cast<uint32_t>(a) - static_cast<uint32_t>(b));
}

inline int32_t umlaufendMal(int32_t a, int32_t b) {
  return static_cast<int32_t>(static_cast<uint32_t>(static_cast<int64_t>(a) * static_cast<int64_t>(b)));
}

}  // namespace velkor
