#include "app/dialogs/umrechnen.h"

#include <cstddef>
#include <limits>
#include <string_view>

namespace velkor {

namespace {

struct Lesung {
  bool ok = false;
  int32_t wert = 0;         // the whole number when ok
  int32_t ziffernwert = 0;  // the digits read before a failure, without sign
};

int ziffer(char c, int basis) {
  if (c >= '0' && c <= '9') return c - '0';
  if (basis == 16 && c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (basis == 16 && c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Reads digits of `basis` from `s`; the magnitude may reach `grenze`.
Lesung ziffernLesen(std::string_view s, int basis, int64_t grenze, bool negativ) {
  Lesung l;
  int64_t betrag = 0;
  for (char c : s) {
    const int z = ziffer(c, basis);
    if (z < 0 || betrag * basis + z > grenze) {
      // a foreign character or a number that does not fit ends the reading;
      // "-2147483648" followed by a foreign character has no unsigned value,
      // so its last digit counts as the one that does not fit, as in the
      // token operations
      l.ziffernwert = static_cast<int32_t>(betrag > std::numeric_limits<int32_t>::max() ? betrag / basis : betrag);
      return l;
    }
    betrag = betrag * basis + z;
  }
  l.ziffernwert = static_cast<int32_t>(betrag > std::numeric_limits<int32_t>::max() ? 0 : betrag);
  if (s.empty()) return l;
  l.ok = true;
  l.wert = static_cast<int32_t>(negativ ? -betrag : betrag);
  return l;
}

Lesung zahlLesen(std::string_view s) {
  constexpr int64_t maxPositiv = std::numeric_limits<int32_t>::max();
  if (s.empty()) return {};
  if (s[0] == '+' || s[0] == '-') {
    const bool negativ = s[0] == '-';
    return ziffernLesen(s.substr(1), 10, negativ ? maxPositiv + 1 : maxPositiv, negativ);
  }
  if (s.starts_with("0x") || s.starts_with("0X")) return ziffernLesen(s.substr(2), 16, maxPositiv, false);
  if (s[0] == '$' || s[0] == 'x' || s[0] == 'X') return ziffernLesen(s.substr(1), 16, maxPositiv, false);
  return ziffernLesen(s, 10, maxPositiv, false);
}

}  // namespace

int32_t umrechnen(const std::string& text, const Umrechnungsregel& regel) {
  if (text.empty()) return regel.leerwert;
  const std::string_view teil = std::string_view(text).substr(0, text.find(' '));
  const Lesung l = zahlLesen(teil);
  if (l.ok) return l.wert;
  return regel.fehlerwert ? *regel.fehlerwert : l.ziffernwert;
}

}  // namespace velkor
