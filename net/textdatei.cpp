#include "net/textdatei.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>

#include "net/dateigrund.h"
#include "net/modell.h"

namespace velkor {

namespace {

struct DateiSchliessen {
  void operator()(std::FILE* f) const { std::fclose(f); }
};

}  // namespace

bool dateiLesen(const std::string& pfad, Textpuffer& inhalt, std::string& fehler) {
  inhalt.leeren();
  errno = 0;
  std::unique_ptr<std::FILE, DateiSchliessen> datei(std::fopen(pfad.c_str(), "rb"));
  if (!datei) {
    fehler = dateifehler(pfad, errno, "Lesefehler");
    return false;
  }
  // The buffer takes the size the file has now, one byte more so that the end
  // is seen without a second buffer; a file that grows meanwhile (or one
  // without a size, such as a pipe) makes it grow geometrically. The bytes are
  // not set before the read fills them, and a large text asks for large pages:
  // with small ones every 4 KB would cost a fault of its own.
  std::error_code ec;
  const auto groesse = std::filesystem::file_size(pfad, ec);
  const std::size_t anfang = !ec && groesse < (std::size_t{1} << 40) ? static_cast<std::size_t>(groesse) + 1 : 1 << 16;
  auto wachsen = [&inhalt](std::size_t kapazitaet) {
    std::unique_ptr<char[]> neu(new char[kapazitaet]);
    grosseSeitenErbitten(neu.get(), kapazitaet);
    if (inhalt.groesse_ > 0) std::memcpy(neu.get(), inhalt.daten_.get(), inhalt.groesse_);
    inhalt.daten_ = std::move(neu);
    inhalt.kapazitaet_ = kapazitaet;
  };
  wachsen(anfang);
  for (;;) {
    if (inhalt.groesse_ == inhalt.kapazitaet_) wachsen(inhalt.kapazitaet_ * 2);
    errno = 0;
    const std::size_t frei = inhalt.kapazitaet_ - inhalt.groesse_;
    const std::size_t gelesen = std::fread(inhalt.daten_.get() + inhalt.groesse_, 1, frei, datei.get());
    inhalt.groesse_ += gelesen;
    if (gelesen < frei) break;
  }
  if (std::ferror(datei.get())) {
    fehler = dateifehler(pfad, errno, "Lesefehler");
    inhalt.leeren();
    return false;
  }
  return true;
}

bool Zeilenleser::naechste(std::string_view& zeile) {
  if (rest.empty()) return false;
  std::size_t ende = rest.find('\n');
  if (ende == std::string_view::npos) {
    zeile = rest;
    rest = {};
  } else {
    zeile = rest.substr(0, ende);
    rest.remove_prefix(ende + 1);
  }
  if (!zeile.empty() && zeile.back() == '\r') zeile.remove_suffix(1);
  if (zeile.size() > zeilenlaenge) zeile = zeile.substr(0, zeilenlaenge);
  return true;
}

bool Zeilenleser::naechsteNichtleere(std::string_view& zeile) {
  while (naechste(zeile)) {
    if (!zeile.empty()) return true;
  }
  return false;
}

}  // namespace velkor
