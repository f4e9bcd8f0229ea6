#pragma once
// Helpers of the net tests: a private temporary directory per test and
// loading a net from a text.

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "net/modell.h"
#include "net/netzladen.h"

namespace velkor::test {

// A fresh directory under the system's temporary directory, removed again at
// the end of the test.
class Arbeitsverzeichnis {
 public:
  Arbeitsverzeichnis() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    static int laufend = 0;
    std::string name = std::string("velkor_net_") + info->test_suite_name() + "_" + info->name() + "_" +
                       std::to_string(::getpid()) + "_" + std::to_string(++laufend);
    for (char& c : name)
      if (c == '/') c = '_';
    pfad = std::filesystem::temp_directory_path() / name;
    std::filesystem::remove_all(pfad);
    std::filesystem::create_directories(pfad);
  }
  ~Arbeitsverzeichnis() {
    std::error_code ec;
    std::filesystem::remove_all(pfad, ec);
  }
  Arbeitsverzeichnis(const Arbeitsverzeichnis&) = delete;
  Arbeitsverzeichnis& operator=(const Arbeitsverzeichnis&) = delete;

  std::string datei(const std::string& name) const { return (pfad / name).string(); }

  std::string schreiben(const std::string& name, const std::string& inhalt) const {
    std::ofstream aus(datei(name), std::ios::binary);
    aus << inhalt;
    return datei(name);
  }

  std::filesystem::path pfad;
};

inline std::string lesen(const std::string& pfad) {
  std::ifstream ein(pfad, std::ios::binary);
  std::stringstream text;
  text << ein.rdbuf();
  return text.str();
}

struct Geladen {
  Netz netz;
  Ladeergebnis ergebnis;
  std::string protokoll;
};

// Loads `text` as a net file into `netz`; returns the protocol text.
inline std::string laden(Netz& netz, Ladeergebnis& ergebnis, const std::string& text, int32_t x = 0, int32_t y = 0) {
  Arbeitsverzeichnis verzeichnis;
  std::ostringstream protokoll;
  ergebnis = netzladen(verzeichnis.schreiben("netz.net", text), x, y, netz, protokoll);
  return protokoll.str();
}

inline Geladen laden(const std::string& text, int32_t x = 0, int32_t y = 0) {
  Geladen g;
  g.protokoll = laden(g.netz, g.ergebnis, text, x, y);
  return g;
}

// The targets of a cell's connections in list order.
inline std::vector<int32_t> ziele(const Netz& netz, int32_t zelle) {
  std::vector<int32_t> liste;
  for (std::size_t i = netz.verbindungsanfang(zelle); i < netz.verbindungsende(zelle); ++i)
    liste.push_back(netz.verbindungen.ziel[netz.platz(zelle, i)]);
  return liste;
}

inline const TZelle& zelle(const Netz& netz, int32_t nr) { return netz.Zelltabelle.at(static_cast<std::size_t>(nr)); }

}  // namespace velkor::test
