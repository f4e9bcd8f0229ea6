// velkor-batch: trace log, pictures, the random seed and the bundled examples.

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <set>
#include <string>

#include "tests/tools/batchaufruf.h"

namespace velkor {
namespace {

using testhilfe::Batchumgebung;
using testhilfe::beispiel;
using Namen = std::set<std::string>;

uint32_t le32(const std::string& daten, std::size_t stelle) {
  uint32_t wert = 0;
  for (int i = 3; i >= 0; --i) wert = (wert << 8) | static_cast<unsigned char>(daten.at(stelle + i));
  return wert;
}

class Batchausgabe : public ::testing::Test {
 protected:
  int lernen(std::vector<std::string> optionen, std::vector<std::string> modus = {}, const std::string& env = "") {
    optionen.push_back("Lernen");
    optionen.push_back(beispiel("lernen.net"));
    optionen.push_back(beispiel("lernen.ein"));
    optionen.insert(optionen.end(), modus.begin(), modus.end());
    return u.starten(optionen, env);
  }
  Batchumgebung u;
};

// Pictures need the Qt build.
class Batchbild : public Batchausgabe {
 protected:
  void SetUp() override {
#ifndef VELKOR_MIT_BILD
    GTEST_SKIP() << "built without pictures";
#endif
  }
};

#ifndef VELKOR_MIT_BILD
TEST_F(Batchausgabe, OhneQtKeineBilder) {
  EXPECT_EQ(lernen({"--picture"}), 2);
  EXPECT_EQ(lernen({"--png", "a.png"}), 2);
  EXPECT_EQ(u.ausgaben(), Namen{});
}
#endif

TEST_F(Batchausgabe, BeispieleLaufenBisZumEndeIhrerEingabe) {
  struct Fall {
    const char* netz;
    const char* eingabe;
    const char* zusammenfassung;
  };
  const Fall faelle[] = {
      {"lernen.net", "lernen.ein", "75 time steps, zeittakt 75, "},
      {"nummern.nec", "nummern.ein", "81 time steps, zeittakt 81, "},
      {"gross.net", "gross.ein", "301 time steps, zeittakt 301, "},
  };
  for (const Fall& f : faelle) {
    ASSERT_EQ(u.starten({"--state", "Beispiel", beispiel(f.netz), beispiel(f.eingabe)}), 0) << f.netz << u.fehler;
    EXPECT_EQ(u.ausgabe("protok.txt"), "") << f.netz;
    EXPECT_EQ(u.letzteZeile().rfind(f.zusammenfassung, 0), 0u) << f.netz << ": " << u.aus;
    EXPECT_EQ(u.fehler, "") << f.netz;
  }
}

TEST_F(Batchausgabe, GleicherSeedGibtGleichenZustand) {
  ASSERT_EQ(lernen({"--seed", "42", "--state"}, {"P", "50"}), 0) << u.fehler;
  EXPECT_EQ(u.letzteZeile().find("seed"), std::string::npos) << "a given seed is not named";
  const std::string erster = u.ausgabe("zustand.txt");
  ASSERT_EQ(lernen({"--seed", "42", "--state"}, {"P", "50"}), 0);
  EXPECT_EQ(u.ausgabe("zustand.txt"), erster);
  EXPECT_NE(erster.find("\nc "), std::string::npos);
}

TEST_F(Batchausgabe, UhrzeitSeedWirdGenannt) {
  ASSERT_EQ(lernen({"--runs", "1"}, {"P", "50"}), 0);
  EXPECT_NE(u.letzteZeile().find(", seed "), std::string::npos) << u.aus;
  ASSERT_EQ(lernen({"--runs", "1"}, {"p", "50"}), 0);
  EXPECT_EQ(u.letzteZeile().find("seed"), std::string::npos) << "p does not seed";
}

TEST_F(Batchausgabe, VerlaufsprotokollMitCrLf) {
  ASSERT_EQ(lernen({"--log"}), 0) << u.fehler;
  const std::string log = u.ausgabe("logfile.txt");
  ASSERT_FALSE(log.empty());
  for (std::size_t i = log.find('\n'); i != std::string::npos; i = log.find('\n', i + 1)) {
    ASSERT_TRUE(i > 0 && log[i - 1] == '\r') << "line end without CR at byte " << i;
  }
}

TEST_F(Batchbild, MitBildGleichesProtokollUndGleicherZustand) {
  // The null canvas only saves the drawing: the log and the net come out the same.
  for (const char* ansicht : {"G", "V", "k", "m"}) {
    std::vector<std::string> modus = {"P", "50", ansicht};
    if (std::string(ansicht) == "m") modus.push_back("3");
    ASSERT_EQ(lernen({"--seed", "7", "--log", "--state"}, modus), 0) << u.fehler;
    const std::string log = u.ausgabe("logfile.txt");
    const std::string zustand = u.ausgabe("zustand.txt");
    ASSERT_EQ(lernen({"--seed", "7", "--log", "--state", "--picture"}, modus), 0) << u.fehler;
    EXPECT_EQ(u.ausgabe("logfile.txt"), log) << ansicht;
    EXPECT_EQ(u.ausgabe("zustand.txt"), zustand) << ansicht;
  }
}

TEST_F(Batchbild, PclBildOhneFarbbuchstaben) {
  ASSERT_EQ(lernen({"--picture"}, {"V"}, "env -u QT_QPA_PLATFORM -u DISPLAY -u WAYLAND_DISPLAY"), 0) << u.fehler;
  EXPECT_EQ(u.ausgaben(), (Namen{"bild.pcl", "protok.txt"}));
  const std::string pcl = u.ausgabe("bild.pcl");
  // 48 header bytes, 1442 rows of 7 + 255 bytes, 6 trailer bytes.
  EXPECT_EQ(pcl.size(), 48u + 1442u * 262u + 6u);
  EXPECT_EQ(pcl.substr(0, 2),
            "\x1b"
            "E");
  EXPECT_EQ(pcl.substr(48, 7), "\x1b*b255W");
  EXPECT_EQ(pcl.substr(pcl.size() - 6),
            "\x1b*rB\x1b"
            "E");
}

TEST_F(Batchbild, FensterGroesseBestimmtDasBild) {
  ASSERT_EQ(lernen({"--picture", "--size", "800x600"}, {"g"}), 0) << u.fehler;
  const std::string pcl = u.ausgabe("bild.pcl");
  // n = (800 - 15) / 4 + 1 = 197 bytes; rows 20 .. 572, each twice.
  EXPECT_EQ(pcl.substr(48, 7), "\x1b*b197W");
  EXPECT_EQ(pcl.size(), 48u + 2u * 553u * (7u + 197u) + 6u);
}

TEST_F(Batchbild, FarbbildUndPng) {
  ASSERT_EQ(lernen({"--picture", "--png", "netz.png"}, {"c", "v"}), 0) << u.fehler;
  EXPECT_EQ(u.ausgaben(), (Namen{"bild.bmp", "netz.png", "protok.txt"}));
  const std::string bmp = u.ausgabe("bild.bmp");
  ASSERT_GE(bmp.size(), 54u);
  EXPECT_EQ(bmp.substr(0, 2), "BM");
  EXPECT_EQ(le32(bmp, 18), 1032u);
  const auto hoehe = static_cast<int32_t>(le32(bmp, 22));
  EXPECT_EQ(hoehe < 0 ? -hoehe : hoehe, 768 - 36);
  EXPECT_EQ(static_cast<unsigned char>(bmp[28]), 24);
  EXPECT_EQ(u.ausgabe("netz.png").substr(0, 8), "\x89PNG\r\n\x1a\n");
}

TEST_F(Batchbild, PngAllein) {
  ASSERT_EQ(
      u.starten({"--png", "gross.png", "--runs", "1", "Gross", beispiel("gross.net"), beispiel("gross.ein"), "m", "5"}),
      0)
      << u.fehler;
  EXPECT_EQ(u.ausgaben(), (Namen{"gross.png", "protok.txt"})) << "--png alone writes no bild file";
}

TEST_F(Batchbild, DateifehlerDerSpikesUndDesPngInDerFormAllerDateimeldungen) {
  // "<file>: <reason>", the reason in German, as for every other file.
  const std::string d = std::filesystem::path(u.datei("x", "")).parent_path().string() + "/d";
  std::filesystem::create_directories(d);
  struct Fall {
    const char* option;
    std::string pfad;
    std::string grund;
  };
  for (const Fall& f : {Fall{"--spikes", d, "Ist ein Verzeichnis"}, Fall{"--png", d, "Ist ein Verzeichnis"},
                        Fall{"--spikes", d + "/fehlt/s.csv", "Datei oder Verzeichnis nicht gefunden"},
                        Fall{"--png", d + "/fehlt/s.png", "Datei oder Verzeichnis nicht gefunden"},
                        Fall{"--spikes", "/dev/full", "Kein Platz mehr auf dem Datentr\xc3\xa4ger"},
                        Fall{"--png", "/dev/full", "Kein Platz mehr auf dem Datentr\xc3\xa4ger"}}) {
    EXPECT_EQ(lernen({f.option, f.pfad}), 4) << f.option << ' ' << f.pfad;
    EXPECT_EQ(u.fehler, "velkor-batch: " + f.pfad + ": " + f.grund + "\n") << f.option << ' ' << f.pfad;
  }
}

TEST_F(Batchbild, NetzfehlerImBild) {
  const std::string netz = u.datei("f.net", "z A 1 1\nc Y\n");
  ASSERT_EQ(u.starten({"--png", "f.png", "T", netz, u.datei("f.ein", "A 0 .\n")}), 1) << u.fehler;
  EXPECT_EQ(u.ausgabe("f.png").substr(0, 4), "\x89PNG");
}

}  // namespace
}  // namespace velkor
