#include "lauf/kommandozeile.h"

#include <cstddef>
#include <string_view>

#include "net/tokens.h"

namespace velkor {

namespace {

// Every parameter is taken with at most this many characters.
constexpr std::size_t parameterlaenge = 250;

// The first 250 bytes of a parameter. A multi-byte UTF-8 character that the
// cut would split is left out whole, so a cut title stays valid text.
std::string gekuerzt(const std::string& parameter) {
  if (parameter.size() <= parameterlaenge) return parameter;
  std::size_t ende = parameterlaenge;
  std::size_t anfang = ende;
  while (anfang > 0 && (static_cast<unsigned char>(parameter[anfang - 1]) & 0xC0) == 0x80) --anfang;
  if (anfang > 0) {
    const auto fuehrend = static_cast<unsigned char>(parameter[anfang - 1]);
    std::size_t laenge = 1;
    if ((fuehrend & 0xE0) == 0xC0) {
      laenge = 2;
    } else if ((fuehrend & 0xF0) == 0xE0) {
      laenge = 3;
    } else if ((fuehrend & 0xF8) == 0xF0) {
      laenge = 4;
    }
    // The character that begins at anfang - 1 does not fit: leave it out.
    if (laenge > 1 && anfang - 1 + laenge > ende) ende = anfang - 1;
  }
  return parameter.substr(0, ende);
}

void standardwerteSetzen(Laufparameter& param, Laufzustand& lauf, Ansichtsflags& ansicht) {
  // ansichtFeuernd, pZufall and the picture shift keep their values.
  ansicht.ansichtZellVariabel = false;
  ansicht.ansichtZellKonstant = false;
  ansicht.ansichtOsziMitEpsps = false;
  ansicht.ansichtOsziOhneEpsps = false;
  ansicht.ansichtKomprimiert = false;
  param.vergroesserung = 1;
  lauf.logAktiv = false;
  param.zeitlupe = 0;
  param.pWert = 100;
  param.displayStart = 1;
  param.zeitraffer = 0;
  param.farbBild = false;
}

bool hatWert(char buchstabe) {
  switch (buchstabe) {
    case 'd':
    case 'm':
    case 'p':
    case 'P':
    case 'R':
    case 'x':
    case 'y':
    case 'Z':
      return true;
    default:
      return false;
  }
}

// The value of a letter: the parameter after it read as a whole number; a bad
// value gives the letter's default, a missing one -1.
int32_t wertLesen(const std::vector<std::string>& parameter, std::size_t i, int32_t standard) {
  if (i >= parameter.size()) return -1;
  const std::string wert = gekuerzt(parameter[i]);
  std::string_view rest = wert;
  bool fehler = false;
  const int32_t zahl = naechsteGanzzahl(rest, fehler);
  return fehler ? standard : zahl;
}

struct Leser {
  Laufparameter& param;
  Laufzustand& lauf;
  Ansichtsflags& ansicht;
  Zufall& zufall;
  std::optional<uint64_t> festerSeed;
  Kommandozeilenergebnis ergebnis;

  void buchstabeOhneWert(char buchstabe) {
    switch (buchstabe) {
      case 'c':
        param.farbBild = true;
        break;
      case 'g':
        ansicht.ansichtOsziOhneEpsps = true;
        ergebnis.ansichtSperren = true;
        break;
      case 'G':
        ansicht.ansichtOsziMitEpsps = true;
        ergebnis.ansichtSperren = true;
        break;
      case 'k':
        ansicht.ansichtFeuernd = true;
        ergebnis.ansichtSperren = true;
        break;
      case 'v':
        ansicht.ansichtZellKonstant = true;
        ergebnis.ansichtSperren = true;
        break;
      case 'V':
        ansicht.ansichtZellVariabel = true;
        ergebnis.ansichtSperren = true;
        break;
      default:
        break;  // any other first character: the parameter is ignored
    }
  }

  void buchstabeMitWert(char buchstabe, int32_t wert) {
    switch (buchstabe) {
      case 'd':
        param.displayStart = wert;
        break;
      case 'm':
        ansicht.ansichtKomprimiert = true;
        param.vergroesserung = wert;
        ergebnis.ansichtSperren = true;
        break;
      case 'p':
        param.pWert = wert;
        lauf.pZufall = false;
        break;
      case 'P':
        param.pWert = wert;
        lauf.pZufall = true;
        zufallSetzen();
        break;
      case 'R':
        param.zeitraffer = wert;
        break;
      case 'x':
        param.xVerschiebung = wert;
        break;
      case 'y':
        param.yVerschiebung = wert;
        break;
      case 'Z':
        param.zeitlupe = wert;
        break;
      default:
        break;
    }
  }

  // "P" seeds the generator every time the command line is read.
  void zufallSetzen() {
    const uint64_t seed = festerSeed ? *festerSeed : Zufall::uhrzeitSeed();
    zufall.seed(seed);
    ergebnis.benutzterSeed = seed;
  }
};

int32_t standardwert(char buchstabe) {
  switch (buchstabe) {
    case 'd':
    case 'm':
      return 1;
    case 'p':
    case 'P':
      return 100;
    default:
      return 0;  // "R", "x", "y", "Z"
  }
}

}  // namespace

Kommandozeilenergebnis kommandozeileLesen(const std::vector<std::string>& parameter, Laufparameter& param,
                                          Laufzustand& lauf, Ansichtsflags& ansicht, Zufall& zufall,
                                          std::optional<uint64_t> festerSeed) {
  Leser leser{param, lauf, ansicht, zufall, festerSeed, {}};
  if (!parameter.empty()) param.titel = gekuerzt(parameter[0]);
  if (parameter.size() >= 2) param.netzdateiname = gekuerzt(parameter[1]);
  if (parameter.size() >= 3) param.eingabedateiname = gekuerzt(parameter[2]);
  standardwerteSetzen(param, lauf, ansicht);

  std::size_t i = 3;
  while (i < parameter.size()) {
    // Only the first character of a mode parameter counts; an empty one is ignored.
    const char buchstabe = parameter[i].empty() ? '\0' : parameter[i][0];
    if (hatWert(buchstabe)) {
      leser.buchstabeMitWert(buchstabe, wertLesen(parameter, i + 1, standardwert(buchstabe)));
      i += 2;
    } else {
      leser.buchstabeOhneWert(buchstabe);
      i += 1;
    }
  }

  // The time-lapse only acts on the oscilloscope.
  if (!ansicht.ansichtOsziMitEpsps && !ansicht.ansichtOsziOhneEpsps) param.zeitraffer = 0;
  return leser.ergebnis;
}

}  // namespace velkor
