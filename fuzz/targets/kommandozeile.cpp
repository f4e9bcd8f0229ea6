// The command-line reader on arbitrary parameter lists (the input split at
// NUL bytes): titles and file names are cut to 250 bytes without splitting a
// UTF-8 character, and the time-lapse only survives with an oscilloscope view.

#include <cstdint>
#include <string>
#include <vector>

#include "lauf/kommandozeile.h"
#include "fuzz/hilfen.h"

using namespace velkor;
using velkor::fuzz::pruefen;

namespace {

// Well-formed UTF-8 (no check of overlong forms; enough to see a cut character).
bool utf8Vollstaendig(const std::string& s) {
  std::size_t i = 0;
  while (i < s.size()) {
    const auto b = static_cast<unsigned char>(s[i]);
    std::size_t n = b < 0x80 ? 1 : (b & 0xE0) == 0xC0 ? 2 : (b & 0xF0) == 0xE0 ? 3 : (b & 0xF8) == 0xF0 ? 4 : 0;
    if (n == 0 || i + n > s.size()) return false;
    for (std::size_t k = 1; k < n; ++k)
      if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
    i += n;
  }
  return true;
}

void parameterPruefen(const std::string& ein, const std::string& aus) {
  pruefen(aus.size() <= 250, "parameter cut to 250 bytes");
  pruefen(ein.compare(0, aus.size(), aus) == 0, "cut parameter is a front part");
  if (ein.size() <= 250) pruefen(ein == aus, "short parameter unchanged");
  if (utf8Vollstaendig(ein)) pruefen(utf8Vollstaendig(aus), "cut keeps UTF-8 whole");
  if (ein.size() > 250) pruefen(aus.size() >= 247, "cut loses at most one character");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* daten, size_t groesse) {
  std::vector<std::string> parameter(1);
  for (size_t i = 0; i < groesse; ++i) {
    if (daten[i] == 0)
      parameter.emplace_back();
    else
      parameter.back().push_back(static_cast<char>(daten[i]));
  }
  Laufparameter param;
  Laufzustand lauf;
  Ansichtsflags ansicht;
  Zufall zufall;
  kommandozeileLesen(parameter, param, lauf, ansicht, zufall, uint64_t{42});
  parameterPruefen(parameter[0], param.titel);
  if (parameter.size() >= 2) parameterPruefen(parameter[1], param.netzdateiname);
  if (parameter.size() >= 3) parameterPruefen(parameter[2], param.eingabedateiname);
  if (!ansicht.oszi()) pruefen(param.zeitraffer == 0, "time-lapse only with the oscilloscope");

  // Reading the same list twice gives the same result: nothing but the
  // listed values is carried over.
  Laufparameter param2 = param;
  Laufzustand lauf2 = lauf;
  Ansichtsflags ansicht2 = ansicht;
  kommandozeileLesen(parameter, param2, lauf2, ansicht2, zufall, uint64_t{42});
  pruefen(param2.pWert == param.pWert && param2.displayStart == param.displayStart &&
              param2.zeitlupe == param.zeitlupe && param2.vergroesserung == param.vergroesserung &&
              param2.xVerschiebung == param.xVerschiebung && param2.zeitraffer == param.zeitraffer,
          "reading is repeatable");
  return 0;
}
