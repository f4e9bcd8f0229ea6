#include "engine/eingabe.h"

#include <sys/stat.h>
#include <algorithm>

#include <cerrno>
#include <cstring>
#include <string_view>
#include <vector>

#include "engine/laufzustand.h"
#include "engine/zyklusanzeige.h"
#include "net/dateigrund.h"
#include "net/modell.h"
#include "net/tokens.h"

namespace velkor {

namespace {

constexpr std::size_t zeilenlaenge = 250;
constexpr std::size_t pufferGroesse = 1U << 16U;
constexpr std::string_view stopmarke = "***";
constexpr std::string_view endmarke = ".";

struct DateiSchliesser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};

// Comment and spacing lines: empty, or beginning with a blank.
bool leerOderKommentar(const std::string& zeile) { return zeile.empty() || zeile.front() == ' '; }

std::string_view aufNamenslaenge(std::string_view wort) { return wort.substr(0, namenslaenge); }

}  // namespace

// The open file, read in large blocks so that files with a million entries
// cost one pass over their bytes.
struct Eingabe::Datei {
  std::unique_ptr<std::FILE, DateiSchliesser> f;
  std::vector<char> puffer = std::vector<char>(pufferGroesse);
  std::size_t pos = 0;
  std::size_t fuellstand = 0;
  int lesefehler = 0;    // errno of a failed read (a directory, an I/O error); 0 if none
  uint64_t gelesen = 0;  // bytes taken from the file so far

  // True while unread bytes remain.
  bool nachfuellen() {
    if (pos < fuellstand) return true;
    if (!f) return false;
    errno = 0;
    fuellstand = std::fread(puffer.data(), 1, puffer.size(), f.get());
    gelesen += fuellstand;
    pos = 0;
    if (fuellstand == 0) {
      if (std::ferror(f.get())) lesefehler = errno != 0 ? errno : EIO;
      f.reset();
    }
    return fuellstand > 0;
  }

  // A UTF-8 byte order mark at the start of the file is no part of the first line.
  void bomUeberspringen() {
    if (nachfuellen() && fuellstand - pos >= 3 && std::memcmp(puffer.data() + pos, "\xEF\xBB\xBF", 3) == 0) pos += 3;
  }

  // The next line without its line end, cut to 250 characters. A final line
  // end does not start another, empty line. False when no line is left.
  bool zeile(std::string& aus) {
    aus.clear();
    if (!nachfuellen()) return false;
    std::size_t laenge = 0;  // length of the whole line, also beyond what is kept
    while (nachfuellen()) {
      const char* anfang = puffer.data() + pos;
      std::size_t rest = fuellstand - pos;
      const void* nl = std::memchr(anfang, '\n', rest);
      std::size_t stueck = nl != nullptr ? static_cast<std::size_t>(static_cast<const char*>(nl) - anfang) : rest;
      // Keep one character more than the limit, to strip a CR of a CR LF end.
      if (aus.size() <= zeilenlaenge) aus.append(anfang, std::min(stueck, zeilenlaenge + 1 - aus.size()));
      laenge += stueck;
      pos += stueck;
      if (nl != nullptr) {
        ++pos;
        break;
      }
    }
    if (laenge <= zeilenlaenge + 1 && !aus.empty() && aus.back() == '\r') aus.pop_back();
    if (aus.size() > zeilenlaenge) aus.resize(zeilenlaenge);
    return true;
  }
};

Eingabe::Eingabe() = default;
Eingabe::~Eingabe() = default;

bool Eingabe::offen() const { return datei_ != nullptr; }

void Eingabe::schliessen() {
  datei_.reset();
  eingabeZeile_.clear();
  vorgemerkt_.clear();
  name_.clear();
  kennung_ = {};
}

namespace {

bool kennungLesen(std::FILE* f, Eingabe::Dateikennung& k) {
  struct stat info {};
  if (::fstat(fileno(f), &info) != 0) return false;
  k.geraet = static_cast<uint64_t>(info.st_dev);
  k.knoten = static_cast<uint64_t>(info.st_ino);
  k.groesse = static_cast<uint64_t>(info.st_size);
  k.geaendert = static_cast<int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
  return true;
}

}  // namespace

Eingabe::Lesestand Eingabe::lesestand() const {
  Lesestand s;
  s.offen = datei_ != nullptr;
  s.kennung = kennung_;
  if (datei_) s.position = datei_->gelesen - (datei_->fuellstand - datei_->pos);
  s.eingabeZeile = eingabeZeile_;
  s.eingabeWort = eingabeWort_;
  s.naechsterTakt = naechsterTakt_;
  s.vorgemerkt = vorgemerkt_;
  return s;
}

bool Eingabe::lesestandSetzen(const Lesestand& stand, std::string& fehler) {
  if (!stand.offen) {
    datei_.reset();
  } else {
    if (name_.empty()) {
      fehler = "the input is not open";
      return false;
    }
    std::FILE* f = std::fopen(name_.c_str(), "rb");
    Dateikennung jetzt;
    if (f == nullptr || !kennungLesen(f, jetzt)) {
      fehler = dateifehler(name_, errno, "nicht zu öffnen");
      if (f != nullptr) std::fclose(f);
      return false;
    }
    if (!(jetzt == stand.kennung) || !(jetzt == kennung_)) {
      std::fclose(f);
      fehler = name_ + ": the input file has changed since it was opened; its entries cannot be read again";
      return false;
    }
    if (stand.position > jetzt.groesse ||
        std::fseek(f, static_cast<long>(stand.position), SEEK_SET) != 0) {  // NOLINT(google-runtime-int)
      std::fclose(f);
      fehler = name_ + ": the input file is shorter than the place to go back to";
      return false;
    }
    auto d = std::make_unique<Datei>();
    d->f.reset(f);
    d->gelesen = stand.position;
    datei_ = std::move(d);
  }
  eingabeZeile_ = stand.eingabeZeile;
  eingabeWort_ = stand.eingabeWort;
  naechsterTakt_ = stand.naechsterTakt;
  vorgemerkt_ = stand.vorgemerkt;
  return true;
}

std::string Eingabe::resttext() const {
  if (!datei_ || naechsterTakt_ < 0 || eingabeWort_.empty()) return {};
  // What is left of the line follows the step as it stood, its blanks included,
  // so that an end mark behind the step stays one.
  std::string aus = eingabeWort_ + " " + std::to_string(naechsterTakt_) + eingabeZeile_ + "\n";
  // The unread bytes: what the buffer holds, then the rest of the file, read
  // through a second handle so that the reader's own place stays.
  aus.append(datei_->puffer.data() + datei_->pos, datei_->fuellstand - datei_->pos);
  if (datei_->f) {
    std::FILE* f = std::fopen(name_.c_str(), "rb");
    if (f != nullptr) {
      if (std::fseek(f, static_cast<long>(datei_->gelesen), SEEK_SET) == 0) {  // NOLINT(google-runtime-int)
        char block[65536];
        for (std::size_t n; (n = std::fread(block, 1, sizeof block, f)) > 0;) aus.append(block, n);
      }
      std::fclose(f);
    }
  }
  return aus;
}

bool Eingabe::zeileLesen(std::string& zeile) {
  if (!datei_) {
    zeile.clear();
    return false;
  }
  return datei_->zeile(zeile);
}

bool Eingabe::dateiende() { return !datei_ || !datei_->nachfuellen(); }

bool Eingabe::eingabestart(const std::string& eingabedateiname, std::string& fehler) {
  schliessen();
  eingabeWort_.clear();
  naechsterTakt_ = -1;
  std::FILE* f = std::fopen(eingabedateiname.c_str(), "rb");
  if (f == nullptr) {
    fehler = dateifehler(eingabedateiname, errno, "nicht zu öffnen");
    return false;
  }
  datei_ = std::make_unique<Datei>();
  datei_->f.reset(f);
  name_ = eingabedateiname;
  kennungLesen(f, kennung_);
  // A file that opens but cannot be read (a directory) is refused here,
  // instead of reading as an empty input.
  datei_->bomUeberspringen();
  if (datei_->lesefehler != 0) {
    fehler = dateifehler(eingabedateiname, datei_->lesefehler, "Lesefehler");
    schliessen();
    return false;
  }

  // The first entry: skip comment lines; its step may stand on the next line.
  std::string zeile;
  do {
    if (!zeileLesen(zeile)) return true;  // no entry at all: ends in the first time step
  } while (leerOderKommentar(zeile));
  eingabeZeile_ = zeile;
  eingabeWort_ = wortNehmen();
  if (eingabeZeile_.empty()) zeileLesen(eingabeZeile_);
  naechsterTakt_ = taktNehmen();
  return true;
}

// The first word of what is left of the line, cut to the length of a cell
// name; the line keeps what naechstesWort leaves of it.
std::string Eingabe::wortNehmen() {
  std::string_view rest = eingabeZeile_;
  std::string wort(aufNamenslaenge(naechstesWort(rest)));
  restUebernehmen(rest);
  return wort;
}

int32_t Eingabe::taktNehmen() {
  std::string_view rest = eingabeZeile_;
  bool fehler = false;  // a malformed step is taken as it is read, without a message
  int32_t takt = naechsteGanzzahl(rest, fehler);
  restUebernehmen(rest);
  return takt;
}

void Eingabe::restUebernehmen(std::string_view rest) {
  // `rest` lies inside eingabeZeile_: move it to the front without allocating.
  auto anfang = static_cast<std::size_t>(rest.data() - eingabeZeile_.data());
  if (rest.empty()) anfang = 0;
  eingabeZeile_.erase(0, anfang);
  eingabeZeile_.resize(rest.size());
}

bool Eingabe::endmarkeFolgt() const {
  // "." directly behind the step (one blank between): the rest of the line
  // begins with "." or with one character followed by ".".
  const std::string& r = eingabeZeile_;
  return (!r.empty() && r[0] == '.') || (r.size() >= 2 && r[1] == '.');
}

void Eingabe::eingabeBeenden(Laufzustand& lauf, Zyklusanzeige& anzeige) {
  // The entry read ahead stays in place, so every later time step ends the
  // input again and stops a run.
  lauf.eingabeEnde = true;
  lauf.anhalten = true;
  anzeige.eingabeHinweis();
}

void Eingabe::eintragAnwenden(Netz& netz, Laufzustand& lauf, Zyklusanzeige& anzeige) {
  if (eingabeWort_ == stopmarke) {
    lauf.anhalten = true;
    anzeige.eingabeHinweis();
    return;
  }
  // The potential is replaced, refractory or not; an unknown name is ignored.
  int32_t c = netz.suche(eingabeWort_);
  if (c < 0 || c >= netz.zellenzahl) return;
  TZelle& zelle = netz.Zelltabelle[static_cast<std::size_t>(c)];
  zelle.potenzial = zelle.schwelle + 10;
  anzeige.erregt(c);
}

void Eingabe::vorgemerkteAnwenden(Netz& netz, Zyklusanzeige& anzeige) {
  for (const int32_t c : vorgemerkt_) {
    if (c < 0 || c >= netz.zellenzahl) continue;
    TZelle& zelle = netz.Zelltabelle[static_cast<std::size_t>(c)];
    zelle.potenzial = zelle.schwelle + 10;
    anzeige.erregt(c);
  }
  vorgemerkt_.clear();
}

void Eingabe::eingabelesen(Netz& netz, int32_t zeittakt, Laufzustand& lauf, Zyklusanzeige& anzeige) {
  dateiLesen(netz, zeittakt, lauf, anzeige);
  // The entries given by hand follow those of the file for this step; they
  // are applied even after the file has ended.
  if (!vorgemerkt_.empty()) vorgemerkteAnwenden(netz, anzeige);
}

void Eingabe::dateiLesen(Netz& netz, int32_t zeittakt, Laufzustand& lauf, Zyklusanzeige& anzeige) {
  if (naechsterTakt_ < zeittakt) {
    eingabeBeenden(lauf, anzeige);
    return;
  }
  while (naechsterTakt_ == zeittakt) {
    eintragAnwenden(netz, lauf, anzeige);
    // The entry read ahead from the file's last line ends the input: further
    // entries on that line are not applied.
    if (dateiende() || endmarkeFolgt()) {
      eingabeBeenden(lauf, anzeige);
      return;
    }
    std::string wort = wortNehmen();
    while (wort.empty()) {
      if (dateiende()) {
        eingabeBeenden(lauf, anzeige);
        return;
      }
      zeileLesen(eingabeZeile_);
      if (!leerOderKommentar(eingabeZeile_)) wort = wortNehmen();
    }
    if (wort == endmarke) {
      eingabeBeenden(lauf, anzeige);
      return;
    }
    eingabeWort_ = wort;
    naechsterTakt_ = taktNehmen();
  }
}

}  // namespace velkor
