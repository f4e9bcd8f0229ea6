#include "net/zustand.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "net/dateigrund.h"

namespace velkor {

namespace {

// Fixed-point with the given decimals, "." as decimal point whatever the
// locale. The widths of the file (4:2, 5:4, 9:8) are always filled by the
// digits of such a number, so no blanks are ever added.
void festkomma(std::string& text, double wert, int stellen) {
  char puffer[400];
  auto [ende, ec] = std::to_chars(puffer, puffer + sizeof puffer, wert, std::chars_format::fixed, stellen);
  if (ec == std::errc()) text.append(puffer, ende);
}

// Of the text behind a word the loader reads only this many characters.
constexpr std::size_t restlaenge = 99;

// A real followed by `rest` more characters in the text that the loader reads
// behind the word that ends at `wortende`. A value so large that its fixed-point digits would
// carry that text beyond what the loader reads (from about 1e88 on) is
// written in exponent form instead, with the fewest digits that read back as
// the same double. Such a value has no fractional part, so nothing of the
// rounding is lost either.
void festkommaGelesen(std::string& text, std::size_t wortende, std::size_t rest, double wert, int stellen) {
  const std::size_t vorher = text.size();
  festkomma(text, wert, stellen);
  if (text.size() - wortende + rest <= restlaenge) return;
  text.resize(vorher);
  char puffer[64];
  auto [ende, ec] = std::to_chars(puffer, puffer + sizeof puffer, wert, std::chars_format::scientific);
  if (ec == std::errc()) text.append(puffer, ende);
}

void ganzzahl(std::string& text, int32_t wert) {
  char puffer[16];
  auto [ende, ec] = std::to_chars(puffer, puffer + sizeof puffer, wert);
  text.append(puffer, ende);
}

// The picture shift comes off again exactly as the loader added it (wrapping).
int32_t ohneVerschiebung(int32_t wert, int32_t verschiebung) {
  return static_cast<int32_t>(static_cast<uint32_t>(wert) - static_cast<uint32_t>(verschiebung));
}

// -1 for a position the file did not give; a given one without the shift,
// also when the shift happened to make it -1. The row and the column are
// handled alike, so positions never drift from save to save.
int32_t position(int32_t wert, bool verschobenAufMinusEins, int32_t verschiebung) {
  if (wert == nichtGegeben && !verschobenAufMinusEins) return nichtGegeben;
  return ohneVerschiebung(wert, verschiebung);
}

void zeile(std::string& text, const char* praefix, double wert, int stellen) {
  text += praefix;
  festkommaGelesen(text, text.size(), 0, wert, stellen);
  text += '\n';
}

void zeile(std::string& text, const char* praefix, int32_t wert) {
  text += praefix;
  ganzzahl(text, wert);
  text += '\n';
}

// A target is written by its name, and loading finds the first cell of that
// name. Where a connection leads to a later cell of a name that an earlier
// cell bears too (a numbered net needs no distinct names), the name form would
// connect it elsewhere: the file is then written in the numbered form.
bool namenFuehrenZurueck(const Netz& netz) {
  std::unordered_map<std::string_view, int32_t> erste;
  erste.reserve(netz.Zelltabelle.size());
  std::vector<uint8_t> spaetere(netz.Zelltabelle.size(), 0);
  for (int32_t c = 0; c < netz.zellenzahl; ++c) {
    const auto [eintrag, neu] = erste.emplace(netz.Zelltabelle[static_cast<std::size_t>(c)].name, c);
    spaetere[static_cast<std::size_t>(c)] = neu ? 0 : 1;
  }
  const Verbindungen& v = netz.verbindungen;
  for (std::size_t i = 0; i < v.size(); ++i) {
    if (v.ziel[i] >= 0 && v.ziel[i] < netz.zellenzahl && spaetere[static_cast<std::size_t>(v.ziel[i])] != 0) {
      return false;
    }
  }
  return true;
}

void zellblock(std::string& text, const Netz& netz, int32_t nr, int32_t xVerschiebung, int32_t yVerschiebung,
               bool nummern) {
  const TZelle& zelle = netz.Zelltabelle[static_cast<std::size_t>(nr)];
  text += "\nz ";
  text += zelle.name;
  text += ' ';
  ganzzahl(text, position(zelle.zeile, zelle.zeileVerschobenAufMinusEins, yVerschiebung));
  text += ' ';
  ganzzahl(text, position(zelle.spalte, zelle.spalteVerschobenAufMinusEins, xVerschiebung));
  text += '\n';
  zeile(text, "v ", zelle.lernfaktor, 4);
  zeile(text, "a ", zelle.abklingfaktor, 8);
  zeile(text, "r ", zelle.refraktaerzeit);
  zeile(text, "s ", zelle.schwelle, 2);
  zeile(text, "g ", zelle.erholfaktor, 8);
  zeile(text, "h ", zelle.aenderungsrate, 8);

  const Verbindungen& v = netz.verbindungen;
  // In list order, newest first.
  for (std::size_t k = netz.verbindungsanfang(nr); k < netz.verbindungsende(nr); ++k) {
    const std::size_t i = netz.platz(nr, k);
    // A target that was not resolved names no cell: its connection is left out.
    if (v.ziel[i] < 0 || v.ziel[i] >= netz.zellenzahl) continue;
    text += "c ";
    // the loader reads 99 characters behind the keyword: target, weight and delay
    const std::size_t keywordende = text.size();
    if (nummern) {
      ganzzahl(text, v.ziel[i]);
    } else {
      text += netz.Zelltabelle[static_cast<std::size_t>(v.ziel[i])].name;
    }
    text += ' ';
    std::string verzoegerung = " ";
    ganzzahl(verzoegerung, v.verzoegerung[i]);
    festkommaGelesen(text, keywordende, verzoegerung.size(), v.gewicht[i], 2);
    text += verzoegerung;
    text += '\n';
    zeile(text, "m ", v.maximalgewicht[i], 2);
    zeile(text, "l ", v.lernschritt[i], 2);
    zeile(text, "i ", v.gewichtsfaktor.wert(i), 8);
    zeile(text, "x ", v.zeitfensterVon(i));
  }
}

struct DateiSchliessen {
  void operator()(std::FILE* f) const { std::fclose(f); }
};

std::string grund() { return dateigrund(errno, "Schreibfehler"); }

}  // namespace

bool zustandInNamensform(const Netz& netz) { return namenFuehrenZurueck(netz); }

void zustandskopf(std::string& text, int32_t zellenzahl, int32_t zeittakt, bool nummern) {
  if (nummern) {
    // the header of the numbered form must be the first line
    text += "$ ";
    ganzzahl(text, zellenzahl);
    text += '\n';
  }
  text += " **** Zustand im Zeittakt ";
  ganzzahl(text, zeittakt);
  text += " ****\n";
}

void zustandsbloecke(std::string& text, const Netz& netz, int32_t von, int32_t bis, int32_t xVerschiebung,
                     int32_t yVerschiebung, bool nummern) {
  for (int32_t nr = std::max(von, netz.ersteZelle); nr < bis; ++nr)
    zellblock(text, netz, nr, xVerschiebung, yVerschiebung, nummern);
}

void zustandsende(std::string& text) { text += "\n **** Ende ****\n"; }

std::string zustandstext(const Netz& netz, int32_t zeittakt, int32_t xVerschiebung, int32_t yVerschiebung) {
  std::string text;
  const bool nummern = !namenFuehrenZurueck(netz);
  zustandskopf(text, netz.zellenzahl, zeittakt, nummern);
  zustandsbloecke(text, netz, netz.ersteZelle, netz.zellenzahl, xVerschiebung, yVerschiebung, nummern);
  zustandsende(text);
  return text;
}

bool zustandschreiben(const Netz& netz, int32_t zeittakt, int32_t xVerschiebung, int32_t yVerschiebung,
                      std::string& fehler, const std::string& pfad) {
  const std::string text = zustandstext(netz, zeittakt, xVerschiebung, yVerschiebung);
  bool einmal = true;
  return zustandStueckweiseSchreiben(
      [&](std::string& stueck) {
        if (!einmal) return false;
        einmal = false;
        stueck = text;
        return true;
      },
      fehler, pfad);
}

bool zustandStueckweiseSchreiben(const std::function<bool(std::string&)>& naechstes, std::string& fehler,
                                 const std::string& pfad) {
  // Written beside the target and renamed into place: a failure never leaves
  // a partial file, and an existing file stays as it was.
  const std::string temporaer = pfad + ".tmp";
  errno = 0;
  std::unique_ptr<std::FILE, DateiSchliessen> datei(std::fopen(temporaer.c_str(), "wb"));
  std::string stueck;
  if (!datei) {
    fehler = pfad + ": " + grund();
    // The pieces are taken all the same: they may come from other processes.
    while (naechstes(stueck)) {
    }
    return false;
  }
  errno = 0;
  bool gut = true;
  std::string ursache;
  while (naechstes(stueck)) {
    if (gut && std::fwrite(stueck.data(), 1, stueck.size(), datei.get()) != stueck.size()) {
      gut = false;
      ursache = grund();
    }
  }
  if (gut && std::fflush(datei.get()) != 0) {
    gut = false;
    ursache = grund();
  }
  errno = 0;
  if (std::fclose(datei.release()) != 0 && gut) {
    gut = false;
    ursache = grund();
  }
  if (gut) {
    errno = 0;
    if (std::rename(temporaer.c_str(), pfad.c_str()) == 0) return true;
    ursache = grund();
  }
  std::remove(temporaer.c_str());
  fehler = pfad + ": " + ursache;
  return false;
}

}  // namespace velkor
