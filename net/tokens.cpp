#include "net/tokens.h"

#include "net/modell.h"

#include <charconv>
#include <cstddef>
#include <limits>
#include <system_error>

namespace velkor {

namespace {

constexpr char blank = ' ';
// Of the text after a name word only this much is read.
constexpr std::size_t restlaenge = 99;

void blanksEntfernen(std::string_view& zeile) {
  std::size_t i = 0;
  while (i < zeile.size() && zeile[i] == blank) ++i;
  zeile.remove_prefix(i);
}

// Takes the word before the first blank; the line keeps the text from that
// blank on (no cut), or becomes empty.
std::string_view zahlwort(std::string_view& zeile) {
  std::size_t ende = zeile.find(blank);
  if (ende == std::string_view::npos) ende = zeile.size();
  std::string_view wort = zeile.substr(0, ende);
  zeile.remove_prefix(ende);
  return wort;
}

int ziffernwert(char c, int basis) {
  int wert = -1;
  if (c >= '0' && c <= '9') {
    wert = c - '0';
  } else if (c >= 'a' && c <= 'f') {
    wert = c - 'a' + 10;
  } else if (c >= 'A' && c <= 'F') {
    wert = c - 'A' + 10;
  }
  return wert < basis ? wert : -1;
}

// Converts a whole-number word. On failure the result is the value of the
// digits read before the character that does not fit, without the sign; a
// digit that would carry the value out of the signed 32-bit range is such a
// character, so the accumulated value itself never leaves that range.
int32_t ganzzahlwandeln(std::string_view wort, bool& fehler) {
  std::size_t i = 0;
  int basis = 10;
  bool negativ = false;
  if (wort.starts_with('$') || wort.starts_with('x') || wort.starts_with('X')) {
    basis = 16;
    i = 1;
  } else if (wort.starts_with("0x") || wort.starts_with("0X")) {
    basis = 16;
    i = 2;
  } else if (wort.starts_with('-') || wort.starts_with('+')) {
    negativ = wort[0] == '-';
    i = 1;
  }
  // A hexadecimal word has no sign, so its largest value is that of a
  // positive decimal one; "$FFFFFFFF" does not fit.
  const int64_t grenze = negativ ? int64_t{1} << 31 : std::numeric_limits<int32_t>::max();
  int64_t betrag = 0;
  std::size_t ziffern = 0;
  for (; i < wort.size(); ++i) {
    int z = ziffernwert(wort[i], basis);
    if (z < 0 || betrag * basis + z > grenze) break;
    betrag = betrag * basis + z;
    ++ziffern;
  }
  if (i < wort.size() || ziffern == 0) {
    fehler = true;
    // Without the sign, "-2147483648" followed by a bad character does not
    // fit: its last digit then counts as the one that does not fit.
    return static_cast<int32_t>(betrag > std::numeric_limits<int32_t>::max() ? betrag / basis : betrag);
  }
  return static_cast<int32_t>(negativ ? -betrag : betrag);
}

// Length of the longest front part of `wort` that has the real syntax: an
// optional sign, digits with an optional decimal point (at least one digit),
// and an optional exponent "e"/"E" with optional sign and at least one digit.
std::size_t realsyntaxlaenge(std::string_view wort) {
  auto istZiffer = [&wort](std::size_t k) { return k < wort.size() && wort[k] >= '0' && wort[k] <= '9'; };
  std::size_t i = 0;
  if (i < wort.size() && (wort[i] == '+' || wort[i] == '-')) ++i;
  std::size_t ziffern = 0;
  while (istZiffer(i)) ++i, ++ziffern;
  if (i < wort.size() && wort[i] == '.') {
    std::size_t nachPunkt = i + 1;
    std::size_t k = nachPunkt;
    while (istZiffer(k)) ++k;
    ziffern += k - nachPunkt;
    if (ziffern > 0) i = k;
  }
  if (ziffern == 0) return 0;
  if (i < wort.size() && (wort[i] == 'e' || wort[i] == 'E')) {
    std::size_t k = i + 1;
    if (k < wort.size() && (wort[k] == '+' || wort[k] == '-')) ++k;
    if (istZiffer(k)) {
      while (istZiffer(k)) ++k;
      i = k;
    }
  }
  return i;
}

// Converts a real word. On failure the result is the value of the longest
// well-formed front part of the word, with its sign (1.5 for "1.5x", -2.0 for
// "-2,5"), or 0.0 if there is none ("abc", "-", ".e1"). A value beyond the
// range of a 64-bit real also fails and yields 0.0.
double realwandeln(std::string_view wort, bool& fehler) {
  std::size_t laenge = realsyntaxlaenge(wort);
  if (laenge < wort.size()) fehler = true;
  if (laenge == 0) return 0.0;
  std::string_view teil = wort.substr(0, laenge);
  if (teil.front() == '+') teil.remove_prefix(1);  // from_chars takes no "+"
  double wert = 0.0;
  auto [ende, ec] = std::from_chars(teil.data(), teil.data() + teil.size(), wert, std::chars_format::general);
  if (ec != std::errc() || ende != teil.data() + teil.size()) {
    fehler = true;
    return 0.0;
  }
  return wert;
}

}  // namespace

std::string_view naechstesWort(std::string_view& zeile) {
  blanksEntfernen(zeile);
  std::size_t ende = zeile.find(blank);
  if (ende == std::string_view::npos) {
    std::string_view wort = zeile;
    zeile = {};
    return wort;
  }
  std::string_view wort = zeile.substr(0, ende);
  zeile = zeile.substr(ende + 1, restlaenge);
  return wort;
}

int32_t naechsteGanzzahl(std::string_view& zeile, bool& fehler) {
  fehler = false;
  blanksEntfernen(zeile);
  if (zeile.empty()) return nichtGegeben;
  return ganzzahlwandeln(zahlwort(zeile), fehler);
}

double naechsteReal(std::string_view& zeile, bool& fehler) {
  fehler = false;
  blanksEntfernen(zeile);
  if (zeile.empty()) return nichtGegebenReal;
  return realwandeln(zahlwort(zeile), fehler);
}

}  // namespace velkor
