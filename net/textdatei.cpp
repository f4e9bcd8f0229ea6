#include "net/textdatei.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>

namespace velkor {

namespace {

struct DateiSchliessen {
  void operator()(std::FILE* f) const { std::fclose(f); }
};

std::string grund(int fehlernummer) { return fehlernummer != 0 ? std::strerror(fehlernummer) : "Lesefehler"; }

}  // namespace

bool dateiLesen(const std::string& pfad, std::string& inhalt, std::string& fehler) {
  inhalt.clear();
  errno = 0;
  std::unique_ptr<std::FILE, DateiSchliessen> datei(std::fopen(pfad.c_str(), "rb"));
  if (!datei) {
    fehler = pfad + ": " + grund(errno);
    return false;
  }
  std::error_code ec;
  auto groesse = std::filesystem::file_size(pfad, ec);
  if (!ec) inhalt.reserve(static_cast<std::size_t>(groesse) + 1);
  // Read in large pieces; the text grows geometrically, so this stays linear.
  constexpr std::size_t stueck = std::size_t{1} << 20;
  for (;;) {
    std::size_t alt = inhalt.size();
    inhalt.resize(alt + stueck);
    errno = 0;
    std::size_t gelesen = std::fread(inhalt.data() + alt, 1, stueck, datei.get());
    inhalt.resize(alt + gelesen);
    if (gelesen < stueck) break;
  }
  if (std::ferror(datei.get())) {
    fehler = pfad + ": " + grund(errno);
    inhalt.clear();
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
