#include "net/netzladen.h"

#include <array>
#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string_view>
#include <type_traits>
#include <vector>

#include "net/dateigrund.h"
#include "net/fuellstand.h"
#include "net/textdatei.h"

#if defined(__linux__)
#include <sys/mman.h>
#include <unistd.h>
#endif
#include "net/tokens.h"

namespace velkor {

namespace {

// A connection's target word is cut to this many bytes before it is used, so
// a word of 7 or more bytes never names a cell (names hold at most 6).
constexpr std::size_t zielwortlaenge = 10;
constexpr const char* zelleFehltText = "****Zelle fehlt****";

// The picture shift wraps around instead of overflowing; the state writer
// subtracts it the same way, so a position always comes back unchanged.
int32_t verschieben(int32_t wert, int32_t verschiebung) {
  return static_cast<int32_t>(static_cast<uint32_t>(wert) + static_cast<uint32_t>(verschiebung));
}

std::string_view ohneSchluesselwort(std::string_view zeile) {
  naechstesWort(zeile);
  return zeile;
}

enum Zellfeld { fSchwelle, fAbkling, fRefraktaer, fLernfaktor, fErhol, fAenderung, zellfelder };
enum Verbindungsfeld { fGewicht, fVerzoegerung, fGewichtsfaktor, fMaximal, fLernschritt, fZeitfenster, verbfelder };

constexpr std::ptrdiff_t freigabeschritt = std::ptrdiff_t{8} << 20;
constexpr std::ptrdiff_t freigabeabstand = std::ptrdiff_t{1} << 20;

// Gives the whole pages in [von, bis) back to the system; they read as zeros
// afterwards. Returns where the next release starts.
const char* seitenFreigeben(const char* von, const char* bis) {
#if defined(__linux__)
  const auto seite = static_cast<uintptr_t>(::sysconf(_SC_PAGESIZE));
  const uintptr_t a = (reinterpret_cast<uintptr_t>(von) + seite - 1) / seite * seite;
  const uintptr_t b = reinterpret_cast<uintptr_t>(bis) / seite * seite;
  if (b > a) ::madvise(reinterpret_cast<void*>(a), b - a, MADV_DONTNEED);
  return b > a ? reinterpret_cast<const char*>(b) : von;
#else
  (void)bis;
  return von;
#endif
}

// The lines of a connection's parameters and of the defaults that fill them in.
bool verbindungsparameterzeile(char art) {
  return art == 'i' || art == 'm' || art == 'l' || art == 'x' || art == 'd' || art == 'w';
}

class Lader {
 public:
  Lader(Netz& netz, std::ostream& protokoll, int32_t xVerschiebung, int32_t yVerschiebung)
      : netz(netz), protokoll(protokoll), xVerschiebung(xVerschiebung), yVerschiebung(yVerschiebung) {}

  Ladeergebnis laden(std::string_view text);
  // Of a net shared by several processes, this process's part.
  Netzaufteilung aufteilung;
  // The text belongs to the load alone: the connection pass may give the
  // memory of the lines behind it back to the system.
  bool textFreigeben = false;

 private:
  bool zellenpass(std::string_view text);
  void zellzeile(std::string_view zeile);
  void zellparameter(std::string_view zeile);
  template <class T>
  void zellwert(Zellfeld nr, T TZelle::*feld, T wert);

  void verbindungspass(std::string_view text);
  void teilpass(std::string_view text);
  void verbindungenLesen(std::string_view text, bool freigeben);
  std::size_t stretchWaehlen(std::string_view text);
  void verbindungszeile(std::string_view zeile);
  void verbindungsparameter(std::string_view zeile);
  template <class T>
  void verbindungswert(Verbindungsfeld nr, std::vector<T> Verbindungen::*spalte, T wert, bool alle);
  void faktorwert(double wert, bool alle);
  int32_t zielnummer(std::string_view wort) const;
  void zielVormerken(std::size_t verbindung, std::string_view wort, std::string_view zeile);
  void aeltestesZielAufloesen();
  void zelleFehlt(std::string_view zeile);
  void protokollPruefen();
  void abschliessen();

  Netz& netz;
  std::ostream& protokoll;
  int32_t xVerschiebung;
  int32_t yVerschiebung;
  Ladeergebnis ergebnis;
  bool block = false;
  std::size_t definierteZellen = 0;  // cell pass: cells whose line has been read
  int32_t aktZelle = -1;             // connection pass: the current cell, -1 before the first
  int32_t zellenzaehler = 0;         // connection pass: the cells met so far
  // A part of a shared net: where the lines of its stretch of cells begin
  // and end in the text.
  std::size_t stretchAnfang_ = 0;
  std::size_t stretchEnde_ = 0;
  int protokollfehler = 0;  // errno of the first protocol line that could not be written
  Fuellstand zellstand[zellfelder];
  Fuellstand verbindungsstand[verbfelder];

  // Name lookups wait for the memory; they are resolved a few connection
  // lines later, in file order, so that their waiting overlaps.
  struct OffenesZiel {
    std::size_t verbindung;
    std::string_view wort;
    std::string_view zeile;
  };
  static constexpr std::size_t vorlauf = 16;
  std::array<OffenesZiel, vorlauf> offen{};
  std::size_t offenAnfang = 0;
  std::size_t offenAnzahl = 0;
};

Ladeergebnis Lader::laden(std::string_view text) {
  netz.leeren();
  // A UTF-8 byte order mark at the start of the file is no part of the first
  // line: "$" and "z" behind it keep their meaning.
  if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
  Zeilenleser kopfleser(text);
  std::string_view kopf;
  netz.nummernformat = kopfleser.naechste(kopf) && kopf.starts_with('$');
  // In the numbered form the cell pass starts after the header line.
  std::string_view zellentext = netz.nummernformat ? kopfleser.uebrig() : text;

  // Counting pass; the connection lines give an upper bound for reserving.
  std::size_t zellzeilen = 0;
  std::size_t verbindungszeilen = 0;
  Zeilenleser zaehler(zellentext);
  for (std::string_view zeile; zaehler.naechsteNichtleere(zeile);) {
    zellzeilen += zeile[0] == 'z';
    verbindungszeilen += zeile[0] == 'c';
  }
  if (zellzeilen > static_cast<std::size_t>(std::numeric_limits<int32_t>::max())) {
    ergebnis.status = Ladestatus::dateifehler;
    ergebnis.meldung = "Zu viele Zellen in der Netzdatei";
    return ergebnis;
  }
  // The table always holds the cells actually present, whatever a numbered
  // header claims, so a wrong header can neither allocate nor index wildly.
  netz.zellenzahl = static_cast<int32_t>(zellzeilen);
  netz.Zelltabelle.clear();
  netz.Zelltabelle.reserve(zellzeilen);
  grosseSeitenErbitten(netz.Zelltabelle.data(), zellzeilen * sizeof(TZelle));
  netz.Zelltabelle.assign(zellzeilen, TZelle{});
  netz.verbindungsstart.assign(zellzeilen + 1, 0);

  if (!zellenpass(zellentext)) {
    netz.namensindexAufbauen();
    ergebnis.status = Ladestatus::formatfehler;
    ergebnis.meldung = formatfehlerText;
    return ergebnis;
  }
  netz.namensindexAufbauen();

  if (netz.nummernformat) {
    std::string_view rest = ohneSchluesselwort(kopf);
    bool fehler = false;
    int32_t kopfzahl = naechsteGanzzahl(rest, fehler);
    if (kopfzahl != netz.zellenzahl) {
      // Of a shared net the first part writes what concerns the whole.
      if (aufteilung.teil == 0)
        protokoll << "****Zellenzahl im Kopf (" << kopfzahl << ") passt nicht zu " << netz.zellenzahl
                  << " Zellzeilen****\n";
      protokollPruefen();
      ergebnis.netzfehler = true;
    }
  }

  if (aufteilung.teile > 1) verbindungszeilen = stretchWaehlen(text);
  netz.verbindungen.reserve(verbindungszeilen);
  verbindungspass(text);
  abschliessen();
  if (!protokoll) {
    ergebnis.status = Ladestatus::dateifehler;
    ergebnis.meldung = protokollfehlerText(protokollfehler);
  }
  return ergebnis;
}

// --- cell pass: cells and their parameters -------------------------------

bool Lader::zellenpass(std::string_view text) {
  Zeilenleser leser(text);
  block = false;
  for (std::string_view zeile; leser.naechsteNichtleere(zeile);) {
    switch (zeile[0]) {
      case 'z':
        block = false;
        zellzeile(zeile);
        break;
      case 's':
      case 'a':
      case 'r':
      case 'v':
      case 'g':
      case 'h':
        zellparameter(zeile);
        break;
      case 'f':
        block = true;
        break;
      case ' ':
      case '$':
      case '{':
      case 'c':
      case 'd':
      case 'i':
      case 'l':
      case 'm':
      case 'w':
      case 'x':
        break;
      default:
        // the cells above are defined, no connection exists yet
        return false;
    }
  }
  return true;
}

void Lader::zellzeile(std::string_view zeile) {
  TZelle& zelle = netz.Zelltabelle[definierteZellen++];
  std::string_view rest = ohneSchluesselwort(zeile);
  zelle.name = naechstesWort(rest).substr(0, namenslaenge);
  bool fehler = false;
  int32_t gelesen = naechsteGanzzahl(rest, fehler);
  if (gelesen != nichtGegeben) {
    zelle.zeile = verschieben(gelesen, yVerschiebung);
    zelle.zeileVerschobenAufMinusEins = zelle.zeile == nichtGegeben;
  }
  gelesen = naechsteGanzzahl(rest, fehler);
  if (gelesen != nichtGegeben) {
    zelle.spalte = verschieben(gelesen, xVerschiebung);
    zelle.spalteVerschobenAufMinusEins = zelle.spalte == nichtGegeben;
  }
}

void Lader::zellparameter(std::string_view zeile) {
  std::string_view rest = ohneSchluesselwort(zeile);
  bool fehler = false;
  switch (zeile[0]) {
    case 's':
      zellwert(fSchwelle, &TZelle::schwelle, naechsteReal(rest, fehler));
      break;
    case 'a':
      zellwert(fAbkling, &TZelle::abklingfaktor, naechsteReal(rest, fehler));
      break;
    case 'r':
      zellwert(fRefraktaer, &TZelle::refraktaerzeit, naechsteGanzzahl(rest, fehler));
      break;
    case 'v':
      zellwert(fLernfaktor, &TZelle::lernfaktorstart, naechsteReal(rest, fehler));
      break;
    case 'g':
      zellwert(fErhol, &TZelle::erholfaktor, naechsteReal(rest, fehler));
      break;
    default:
      zellwert(fAenderung, &TZelle::aenderungsrate, naechsteReal(rest, fehler));
      break;
  }
}

// Outside a block the value goes to the cell defined last (a line before the
// first cell line is ignored); inside a block to every cell defined above
// whose field is not given. Cells below are not touched: their own cell line
// resets them anyway.
template <class T>
void Lader::zellwert(Zellfeld nr, T TZelle::*feld, T wert) {
  auto& tabelle = netz.Zelltabelle;
  auto setzen = [feld, wert](TZelle& zelle) {
    zelle.*feld = wert;
    if constexpr (std::is_same_v<T, double>) {
      if (feld == &TZelle::lernfaktorstart) zelle.lernfaktor = wert;
    }
  };
  if (!block) {
    if (definierteZellen == 0) return;
    setzen(tabelle[definierteZellen - 1]);
    if (wert == T(-1)) zellstand[nr].nichtGegeben(definierteZellen - 1);
    return;
  }
  if (wert == T(-1)) return;  // filling in "not given" changes nothing
  zellstand[nr].fuellen(definierteZellen, [&](std::size_t i) {
    if (tabelle[i].*feld == T(-1)) setzen(tabelle[i]);
  });
}

// --- connection pass ------------------------------------------------------

void Lader::verbindungspass(std::string_view text) {
  block = false;
  aktZelle = -1;
  zellenzaehler = 0;
  if (aufteilung.teile > 1) {
    teilpass(text);
  } else {
    verbindungenLesen(text, textFreigeben);
  }
  while (offenAnzahl > 0) aeltestesZielAufloesen();
  for (int32_t c = zellenzaehler; c <= netz.zellenzahl; ++c)
    netz.verbindungsstart[static_cast<std::size_t>(c)] = netz.verbindungen.size();
}

// The pass of one part of a shared net. The lines before the stretch of its
// cells change nothing here: there is no connection yet that a default
// could fill. Of the lines after it only those that fill defaults in (and
// the cell lines that end a block) are kept, in a short copy, so that the
// text can be given back before the stretch's columns grow.
void Lader::teilpass(std::string_view text) {
  std::string nachher;
  Zeilenleser rest(text.substr(stretchEnde_));
  for (std::string_view zeile; rest.naechsteNichtleere(zeile);) {
    if (zeile[0] == 'z') {
      nachher += "z\n";
    } else if (zeile[0] == 'f' || verbindungsparameterzeile(zeile[0])) {
      nachher += zeile;
      nachher += '\n';
    }
  }
  if (textFreigeben) {
    seitenFreigeben(text.data(), text.data() + stretchAnfang_);
    seitenFreigeben(text.data() + stretchEnde_, text.data() + text.size());
  }
  zellenzaehler = netz.eigeneVon;
  verbindungenLesen(text.substr(stretchAnfang_, stretchEnde_ - stretchAnfang_), textFreigeben);
  // The names waiting for their lookup point into the text.
  while (offenAnzahl > 0) aeltestesZielAufloesen();
  verbindungenLesen(nachher, false);
}

void Lader::verbindungenLesen(std::string_view text, bool freigeben) {
  Zeilenleser leser(text);
  const char* freigegeben = text.data();
  for (std::string_view zeile; leser.naechsteNichtleere(zeile);) {
    // The peak of a load is the columns at their full size with the text
    // beside them; lines well behind the reader (beyond the few whose names
    // wait for their lookup) are not read again.
    if (freigeben && leser.uebrig().data() - freigegeben > freigabeschritt) {
      freigegeben = seitenFreigeben(freigegeben, leser.uebrig().data() - freigabeabstand);
    }
    switch (zeile[0]) {
      case 'z':
        block = false;
        // Cells are numbered exactly as in the cell pass.
        if (zellenzaehler < netz.zellenzahl) {
          aktZelle = zellenzaehler++;
          netz.verbindungsstart[static_cast<std::size_t>(aktZelle)] = netz.verbindungen.size();
        }
        break;
      case 'f':
        block = true;
        break;
      case 'c':
        if (!block) verbindungszeile(zeile);
        break;
      default:
        if (verbindungsparameterzeile(zeile[0])) verbindungsparameter(zeile);
        break;
    }
  }
}

// The stretch of cells whose connections this process keeps: the cells cut
// into `teile` stretches of about equal work, a cell weighing its connection
// lines and one more. Walks the lines as the connection pass does and returns
// the connection lines of the stretch.
std::size_t Lader::stretchWaehlen(std::string_view text) {
  std::vector<uint64_t> zeilen(static_cast<std::size_t>(netz.zellenzahl), 0);
  std::vector<std::size_t> zellzeile(static_cast<std::size_t>(netz.zellenzahl) + 1, text.size());
  Zeilenleser leser(text);
  bool imBlock = false;
  int32_t zelle = -1;
  int32_t zaehler = 0;
  for (std::string_view zeile; leser.naechsteNichtleere(zeile);) {
    if (zeile[0] == 'z') {
      imBlock = false;
      if (zaehler < netz.zellenzahl) {
        zelle = zaehler++;
        zellzeile[static_cast<std::size_t>(zelle)] = static_cast<std::size_t>(zeile.data() - text.data());
      }
    } else if (zeile[0] == 'f') {
      imBlock = true;
    } else if (zeile[0] == 'c' && !imBlock && zelle >= 0) {
      ++zeilen[static_cast<std::size_t>(zelle)];
    }
  }
  uint64_t summe = 0;
  for (const uint64_t n : zeilen) summe += n + 1;
  const auto teile = static_cast<uint64_t>(aufteilung.teile);
  const auto teil = static_cast<uint64_t>(aufteilung.teil);
  // Stretch p begins at the first cell with at least p / teile of the work before it.
  auto anfang = [&](uint64_t p) {
    if (p == 0) return int32_t{0};
    if (p >= teile) return netz.zellenzahl;
    uint64_t bisher = 0;
    for (int32_t c = 0; c < netz.zellenzahl; ++c) {
      if (bisher * teile >= summe * p) return c;
      bisher += zeilen[static_cast<std::size_t>(c)] + 1;
    }
    return netz.zellenzahl;
  };
  netz.eigeneVon = anfang(teil);
  netz.eigeneBis = anfang(teil + 1);
  stretchAnfang_ = zellzeile[static_cast<std::size_t>(netz.eigeneVon)];
  stretchEnde_ = zellzeile[static_cast<std::size_t>(netz.eigeneBis)];
  std::size_t eigene = 0;
  for (int32_t c = netz.eigeneVon; c < netz.eigeneBis; ++c) eigene += zeilen[static_cast<std::size_t>(c)];
  return eigene;
}

// The connections of the current cell are appended in file order; abschliessen
// turns each cell's segment round into list order (newest first).
void Lader::verbindungszeile(std::string_view zeile) {
  if (aktZelle < 0) return;  // before the first cell line: ignored
  std::string_view rest = ohneSchluesselwort(zeile);
  std::string_view wort = naechstesWort(rest).substr(0, zielwortlaenge);
  bool fehler = false;
  double gewicht = naechsteReal(rest, fehler);
  int32_t verzoegerung = naechsteGanzzahl(rest, fehler);
  if (netz.nummernformat) {
    int32_t ziel = zielnummer(wort);
    if (ziel == netz.zellenzahl) zelleFehlt(zeile);
    netz.verbindungen.anhaengen(ziel, gewicht, verzoegerung);
  } else {
    std::size_t verbindung = netz.verbindungen.anhaengen(netz.zellenzahl, gewicht, verzoegerung);
    zielVormerken(verbindung, wort, zeile);
  }
}

void Lader::zielVormerken(std::size_t verbindung, std::string_view wort, std::string_view zeile) {
  if (offenAnzahl == vorlauf) aeltestesZielAufloesen();
  netz.sucheVormerken(wort);
  offen[(offenAnfang + offenAnzahl) % vorlauf] = OffenesZiel{verbindung, wort, zeile};
  ++offenAnzahl;
}

// Nothing between a connection line and the resolution of its target reads
// `ziel`, and the protocol lines keep the file order.
void Lader::aeltestesZielAufloesen() {
  const OffenesZiel& ziel = offen[offenAnfang];
  int32_t nummer = netz.suche(ziel.wort);
  if (nummer == netz.zellenzahl) zelleFehlt(ziel.zeile);
  netz.verbindungen.ziel[ziel.verbindung] = nummer;
  offenAnfang = (offenAnfang + 1) % vorlauf;
  --offenAnzahl;
}

// A target number outside the table counts as a missing cell.
int32_t Lader::zielnummer(std::string_view wort) const {
  bool fehler = false;
  int32_t nummer = naechsteGanzzahl(wort, fehler);
  return nummer >= 0 && nummer < netz.zellenzahl ? nummer : netz.zellenzahl;
}

void Lader::zelleFehlt(std::string_view zeile) {
  protokoll << '>' << zeile << '\n' << zelleFehltText << '\n';
  protokollPruefen();
  ergebnis.netzfehler = true;
}

// The reason is taken when the first write fails; later work of the load
// might change errno.
void Lader::protokollPruefen() {
  if (!protokoll && protokollfehler == 0) protokollfehler = errno != 0 ? errno : EIO;
}

void Lader::verbindungsparameter(std::string_view zeile) {
  std::string_view rest = ohneSchluesselwort(zeile);
  bool fehler = false;
  switch (zeile[0]) {
    case 'w':  // fills every connection above, inside and outside blocks
      verbindungswert(fGewicht, &Verbindungen::gewicht, naechsteReal(rest, fehler), true);
      break;
    case 'd':
      verbindungswert(fVerzoegerung, &Verbindungen::verzoegerung, naechsteGanzzahl(rest, fehler), true);
      break;
    case 'i':
      faktorwert(naechsteReal(rest, fehler), block);
      break;
    case 'm':
      verbindungswert(fMaximal, &Verbindungen::maximalgewicht, naechsteReal(rest, fehler), block);
      break;
    case 'l':
      verbindungswert(fLernschritt, &Verbindungen::lernschritt, naechsteReal(rest, fehler), block);
      break;
    default:
      verbindungswert(fZeitfenster, &Verbindungen::zeitfenster, naechsteGanzzahl(rest, fehler), block);
      break;
  }
}

// With `alle` the value goes to every connection defined so far whose field is
// not given; the current cell and connection stay as they are. Otherwise it
// goes to the head connection (the newest one) of the current cell; without
// one the line is ignored.
template <class T>
void Lader::verbindungswert(Verbindungsfeld nr, std::vector<T> Verbindungen::*spalte, T wert, bool alle) {
  Verbindungen& verbindungen = netz.verbindungen;
  // The window column comes into being with its first given value.
  if constexpr (std::is_same_v<T, int32_t>) {
    if (spalte == &Verbindungen::zeitfenster && wert != T(-1)) verbindungen.zeitfensterSpalte();
  }
  std::vector<T>& werte = verbindungen.*spalte;
  if (!alle) {
    if (aktZelle < 0 || verbindungen.size() == netz.verbindungsanfang(aktZelle)) return;
    std::size_t kopf = verbindungen.size() - 1;
    if (!werte.empty()) werte[kopf] = wert;  // an empty column reads -1 everywhere
    if (wert == T(-1)) verbindungsstand[nr].nichtGegeben(kopf);
    return;
  }
  if (wert == T(-1)) return;  // filling in "not given" changes nothing
  // a default weight also becomes the start weight
  const bool mitStartgewicht = nr == fGewicht;
  verbindungsstand[nr].fuellen(verbindungen.size(), [&](std::size_t i) {
    if (werte[i] != T(-1)) return;
    werte[i] = wert;
    if (mitStartgewicht) verbindungen.startgewicht[i] = static_cast<double>(wert);
  });
}

// The same for the factor column, narrow or full.
void Lader::faktorwert(double wert, bool alle) {
  Gewichtsfaktoren& faktoren = netz.verbindungen.gewichtsfaktor;
  if (!alle) {
    if (aktZelle < 0 || faktoren.size() == netz.verbindungsanfang(aktZelle)) return;
    std::size_t kopf = faktoren.size() - 1;
    faktoren.setzen(kopf, wert);
    if (wert == nichtGegebenReal) verbindungsstand[fGewichtsfaktor].nichtGegeben(kopf);
    return;
  }
  if (wert == nichtGegebenReal) return;
  verbindungsstand[fGewichtsfaktor].fuellen(faktoren.size(), [&](std::size_t i) {
    if (faktoren.wert(i) == nichtGegebenReal) faktoren.setzen(i, wert);
  });
}

// --- list order and defaults ----------------------------------------------

void Lader::abschliessen() {
  Verbindungen& v = netz.verbindungen;
  for (int32_t c = 0; c < netz.zellenzahl; ++c) v.umkehren(netz.verbindungsanfang(c), netz.verbindungsende(c));
  for (TZelle& zelle : netz.Zelltabelle) {
    if (zelle.lernfaktor == nichtGegebenReal) zelle.lernfaktor = 0.0;
    if (zelle.lernfaktorstart == nichtGegebenReal) zelle.lernfaktorstart = 0.0;
    if (zelle.erholfaktor == nichtGegebenReal) zelle.erholfaktor = 1.0;
    if (zelle.aenderungsrate == nichtGegebenReal) zelle.aenderungsrate = 0.0;
    zelle.pegel = 0;
  }
  v.gewichtsfaktor.ersetzen(nichtGegebenReal, 1.0);
  for (std::size_t i = 0; i < v.size(); ++i) {
    if (v.maximalgewicht[i] == nichtGegebenReal) v.maximalgewicht[i] = v.startgewicht[i];
  }
}

}  // namespace

std::string protokollfehlerText(int fehlernummer) {
  return dateifehler(protokolldateiname, fehlernummer, "Schreibfehler");
}

Ladeergebnis netzladen(const std::string& netzdateiname, int32_t xVerschiebung, int32_t yVerschiebung, Netz& netz,
                       std::ostream& protokoll, Netzaufteilung aufteilung) {
  // The whole file is read first; a file that cannot be read leaves the net
  // as it was.
  Textpuffer text;
  Ladeergebnis ergebnis;
  if (!dateiLesen(netzdateiname, text, ergebnis.meldung)) {
    ergebnis.status = Ladestatus::dateifehler;
    return ergebnis;
  }
  Lader lader(netz, protokoll, xVerschiebung, yVerschiebung);
  lader.textFreigeben = true;
  lader.aufteilung = aufteilung;
  return lader.laden(text.text());
}

Ladeergebnis netzladenAusText(std::string_view text, int32_t xVerschiebung, int32_t yVerschiebung, Netz& netz,
                              std::ostream& protokoll, Netzaufteilung aufteilung) {
  Lader lader(netz, protokoll, xVerschiebung, yVerschiebung);
  lader.aufteilung = aufteilung;
  return lader.laden(text);
}

}  // namespace velkor
