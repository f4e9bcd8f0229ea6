// The token operations on arbitrary lines: every call makes progress, words
// never hold a blank, the rest after a word is cut to 99 characters, and a
// number read without error agrees with an independent conversion.

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "fuzz/hilfen.h"
#include "net/tokens.h"

using namespace velkor;
using velkor::fuzz::pruefen;

namespace {

bool liegtIn(std::string_view teil, std::string_view ganz) {
  return teil.empty() || (teil.data() >= ganz.data() && teil.data() + teil.size() <= ganz.data() + ganz.size());
}

std::string_view erstesWort(std::string_view rest) {
  while (!rest.empty() && rest.front() == ' ') rest.remove_prefix(1);
  return rest.substr(0, rest.find(' '));
}

// A decimal word with optional sign, read independently.
void ganzzahlVergleichen(std::string_view wort, int32_t wert) {
  if (wort.empty() || wort[0] == '$' || wort[0] == 'x' || wort[0] == 'X') return;
  if (wort.starts_with("0x") || wort.starts_with("0X")) return;
  const std::string s(wort);
  errno = 0;
  char* ende = nullptr;
  const long long erwartet = std::strtoll(s.c_str(), &ende, 10);
  pruefen(errno == 0 && *ende == '\0', "error-free whole number has the decimal syntax");
  pruefen(erwartet == wert, "whole number equals strtoll");
}

void realVergleichen(std::string_view wort, double wert) {
  const std::string s(wort);
  char* ende = nullptr;
  const double erwartet = std::strtod(s.c_str(), &ende);
  pruefen(*ende == '\0', "error-free real has the real syntax");
  pruefen(erwartet == wert, "real equals strtod");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* daten, size_t groesse) {
  if (groesse == 0) return 0;
  // The first byte picks the operations, the rest is the line.
  const uint8_t wahl = daten[0];
  const std::string text(reinterpret_cast<const char*>(daten) + 1, groesse - 1);
  std::string_view zeile = text;
  for (int schritt = 0; !zeile.empty(); ++schritt) {
    const std::size_t vorher = zeile.size();
    const std::string_view alt = zeile;
    const int op = (wahl >> (2 * (schritt % 4))) & 3;
    bool fehler = true;
    if (op == 0 || op == 3) {
      const std::string_view wort = naechstesWort(zeile);
      pruefen(wort.find(' ') == std::string_view::npos, "word without blank");
      pruefen(liegtIn(wort, alt) && liegtIn(zeile, alt), "word and rest lie in the line");
      if (!zeile.empty()) pruefen(zeile.size() <= 99, "rest after a word cut to 99");
    } else if (op == 1) {
      const std::string_view wort = erstesWort(zeile);
      const int32_t wert = naechsteGanzzahl(zeile, fehler);
      if (!fehler && !wort.empty()) ganzzahlVergleichen(wort, wert);
      if (fehler) pruefen(wert >= 0, "failed whole number has no sign");
      pruefen(zeile.empty() || zeile.front() == ' ', "rest begins at the blank");
    } else {
      const std::string_view wort = erstesWort(zeile);
      const double wert = naechsteReal(zeile, fehler);
      if (!fehler && !wort.empty()) realVergleichen(wort, wert);
      pruefen(liegtIn(zeile, alt), "rest lies in the line");
    }
    // Every call removes something from a line that is not all blanks.
    if (alt.find_first_not_of(' ') != std::string_view::npos)
      pruefen(zeile.size() < vorher, "progress");
    else
      pruefen(zeile.empty(), "a line of blanks is consumed");
  }
  return 0;
}
