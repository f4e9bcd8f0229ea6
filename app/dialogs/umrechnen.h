#pragma once
// The conversion of a dialog field's text into the dialog's value.

#include <cstdint>
#include <optional>
#include <string>

namespace velkor {

struct Umrechnungsregel {
  int32_t leerwert = 0;               // value of an empty field
  std::optional<int32_t> fehlerwert;  // value when the number does not convert; none: the leading digits
};

// Empty text: leerwert. Otherwise the part before the first blank is read as
// a signed 32-bit number: "+"/"-" and decimal digits, or without a sign "$",
// "x", "X", "0x", "0X" and hexadecimal digits. When that fails, fehlerwert,
// or else the value of the digits read before the failure without their sign.
int32_t umrechnen(const std::string& text, const Umrechnungsregel& regel);

}  // namespace velkor
