// The start preparation: "protok.txt", loading the net, opening the input.

#include "lauf/start.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "engine/zyklus.h"
#include "tests/engine/testnetz.h"

namespace velkor {
namespace {

using test::Protokollanzeige;
using test::Testverzeichnis;

// Runs a test inside its own working directory, where "protok.txt" goes.
class Start : public ::testing::Test {
 protected:
  void SetUp() override {
    vorher_ = std::filesystem::current_path();
    std::filesystem::current_path(verzeichnis.pfad());
  }
  void TearDown() override { std::filesystem::current_path(vorher_); }

  static std::string lesen(const std::string& name) {
    std::ifstream f(name, std::ios::binary);
    std::ostringstream s;
    s << f.rdbuf();
    return s.str();
  }

  Testverzeichnis verzeichnis;
  Simulation sim;

 private:
  std::filesystem::path vorher_;
};

const char* ketteNetz = "z A 2 3\ns 5\nr 1\nc B 6 1\nz B 2 8\ns 5\nr 1\n";

TEST_F(Start, NetzUndEingabeVorbereitenUndLaufen) {
  verzeichnis.datei("protok.txt", "alter Inhalt\n");
  sim.param.netzdateiname = verzeichnis.datei("kette.net", ketteNetz);
  sim.param.eingabedateiname = verzeichnis.datei("kette.ein", "A 0\n*** 3\n\n");
  sim.param.xVerschiebung = 10;
  sim.zeittakt = 5;
  Ladeergebnis erg = netzVorbereiten(sim);
  ASSERT_EQ(erg.status, Ladestatus::ok) << erg.meldung;
  EXPECT_FALSE(sim.lauf.netzfehler);
  EXPECT_EQ(sim.zeittakt, 0);
  EXPECT_EQ(lesen("protok.txt"), "");
  EXPECT_EQ(sim.netz.Zelltabelle[1].spalte, 18);

  std::string fehler;
  sim.zeittakt = 5;
  ASSERT_TRUE(eingabeVorbereiten(sim, fehler)) << fehler;
  EXPECT_TRUE(sim.lauf.gestartet);
  EXPECT_EQ(sim.zeittakt, 0);

  Protokollanzeige anzeige;
  EXPECT_EQ(zyklus(sim, anzeige), 4);
  EXPECT_EQ(sim.netz.Zelltabelle[1].refraktaerrest, 1);  // B fired in step 3
}

TEST_F(Start, FehlerhaftesNetzSetztNetzfehlerDauerhaft) {
  sim.param.netzdateiname = verzeichnis.datei("fehler.net", "z A\nc X 1 1\n");
  Ladeergebnis erg = netzVorbereiten(sim);
  EXPECT_EQ(erg.status, Ladestatus::ok);
  EXPECT_TRUE(sim.lauf.netzfehler);
  EXPECT_NE(lesen("protok.txt"), "");
  // A sound net loaded afterwards does not clear the flag.
  sim.param.netzdateiname = verzeichnis.datei("kette.net", ketteNetz);
  netzVorbereiten(sim);
  EXPECT_TRUE(sim.lauf.netzfehler);
}

TEST_F(Start, DateifehlerNennenDieDatei) {
  sim.param.netzdateiname = (verzeichnis.pfad() / "fehlt.net").string();
  Ladeergebnis erg = netzVorbereiten(sim);
  EXPECT_EQ(erg.status, Ladestatus::dateifehler);

  std::string fehler;
  sim.param.eingabedateiname = (verzeichnis.pfad() / "fehlt.ein").string();
  EXPECT_FALSE(eingabeVorbereiten(sim, fehler));
  EXPECT_NE(fehler.find("fehlt.ein"), std::string::npos);
  EXPECT_FALSE(sim.lauf.gestartet);
}

TEST_F(Start, ProtokollNichtAnlegbarIstDateifehler) {
  std::filesystem::create_directory(verzeichnis.pfad() / "protok.txt");
  sim.param.netzdateiname = verzeichnis.datei("kette.net", ketteNetz);
  Ladeergebnis erg = netzVorbereiten(sim);
  EXPECT_EQ(erg.status, Ladestatus::dateifehler);
  EXPECT_NE(erg.meldung.find("protok.txt"), std::string::npos);
}

}  // namespace
}  // namespace velkor
