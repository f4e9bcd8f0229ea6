// velkor-batch as a whole: exit statuses, messages, runs and single steps,
// and which files it leaves in its working directory.

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "tests/tools/batchaufruf.h"

namespace velkor {
namespace {

using testhilfe::Batchumgebung;
using Namen = std::set<std::string>;

// Two cells; A excites B. Stop marks after the time steps 7 and 12, the end
// of the input in time step 15.
constexpr const char* kettenNetz =
    "{ zwei Zellen\n"
    "z A 2 5\n"
    "s 1.0\n"
    "a 0.5\n"
    "r 2\n"
    "c B 1.5 1\n"
    "z B 2 15\n"
    "s 1.0\n"
    "a 0.5\n"
    "r 2\n";
constexpr const char* kettenEingabe = "A 0\nA 5\n*** 7\nA 10\n*** 12\nA 15 .\n";

const std::string sterne(68, '*');

class Batchablauf : public ::testing::Test {
 protected:
  int kette(std::vector<std::string> optionen, std::vector<std::string> modus = {}) {
    optionen.push_back("Kette");
    optionen.push_back(u.datei("kette.net", kettenNetz));
    optionen.push_back(u.datei("kette.ein", kettenEingabe));
    optionen.insert(optionen.end(), modus.begin(), modus.end());
    return u.starten(optionen);
  }
  Batchumgebung u;
};

TEST_F(Batchablauf, OhneOptionenLaeuftBisZumEndeDerEingabe) {
  ASSERT_EQ(kette({}), 0) << u.fehler;
  EXPECT_EQ(u.letzteZeile().rfind("16 time steps, zeittakt 16, ", 0), 0u) << u.aus;
  EXPECT_EQ(u.ausgaben(), Namen{"protok.txt"});
  EXPECT_EQ(u.ausgabe("protok.txt"), "");
  EXPECT_EQ(u.fehler, "") << "no progress line when stderr is no terminal";
}

TEST_F(Batchablauf, RunsUndStepsZaehlen) {
  ASSERT_EQ(kette({"--runs", "1"}), 0);
  EXPECT_EQ(u.letzteZeile().rfind("8 time steps, zeittakt 8, ", 0), 0u) << u.aus;
  ASSERT_EQ(kette({"--runs", "2", "--steps", "3"}), 0);
  EXPECT_EQ(u.letzteZeile().rfind("16 time steps, zeittakt 16, ", 0), 0u) << u.aus;
  // More runs than stop marks: the runs end with the input.
  ASSERT_EQ(kette({"--runs=9"}), 0);
  EXPECT_EQ(u.letzteZeile().rfind("16 time steps, zeittakt 16, ", 0), 0u) << u.aus;
  // Single steps go on after the input has ended.
  ASSERT_EQ(kette({"--steps", "4"}), 0);
  EXPECT_EQ(u.letzteZeile().rfind("20 time steps, zeittakt 20, ", 0), 0u) << u.aus;
  ASSERT_EQ(kette({"--runs", "0", "--steps", "2"}), 0);
  EXPECT_EQ(u.letzteZeile().rfind("2 time steps, zeittakt 2, ", 0), 0u) << u.aus;
}

TEST_F(Batchablauf, RunsNullLaedtNurUndSchreibtDenZustand) {
  ASSERT_EQ(kette({"--runs", "0", "--state"}), 0) << u.fehler;
  EXPECT_EQ(u.letzteZeile().rfind("0 time steps, zeittakt 0, ", 0), 0u) << u.aus;
  EXPECT_EQ(u.ausgaben(), (Namen{"protok.txt", "zustand.txt"}));
  EXPECT_EQ(u.ausgabe("zustand.txt").rfind(" **** Zustand im Zeittakt 0 ****\n", 0), 0u);
}

TEST_F(Batchablauf, StatistikzeileIstDieLetzteZeile) {
  ASSERT_EQ(kette({"--threads", "8", "--stats"}), 0);
  const std::string zeile = u.letzteZeile();
  EXPECT_EQ(zeile.rfind("steps=16 zeittakt=16 load_s=", 0), 0u) << zeile;
  // A net this small runs on one thread, whatever is asked for.
  EXPECT_EQ(zeile.substr(zeile.size() - 10), " threads=1") << zeile;
  for (const char* schluessel : {" run_s=", " steps_per_s=", " peak_rss_mb="}) {
    EXPECT_NE(zeile.find(schluessel), std::string::npos) << schluessel;
  }
  EXPECT_NE(u.aus.find("16 time steps, zeittakt 16, "), std::string::npos) << "the summary stands before it";
}

TEST_F(Batchablauf, Netzfehler) {
  const std::string netz = u.datei("fehlt.net", "z A 1 1\ns 1.0\nc X 1.0 1\nz B 1 9\n");
  const std::string eingabe = u.datei("fehlt.ein", "A 0 .\n");
  ASSERT_EQ(u.starten({"--state", "T", netz, eingabe}), 1);
  const std::string block =
      sterne + "\nNetzfehler:\nSimulation abgebrochen,\nDetails siehe Protokolldatei\n" + sterne + "\n";
  EXPECT_NE(u.fehler.find(block), std::string::npos) << u.fehler;
  EXPECT_EQ(u.ausgabe("protok.txt"), ">c X 1.0 1\n****Zelle fehlt****\n");
  EXPECT_EQ(u.letzteZeile().rfind("0 time steps, zeittakt 0, ", 0), 0u) << u.aus;
  // The state file is written all the same, without the unresolved connection.
  const std::string zustand = u.ausgabe("zustand.txt");
  EXPECT_EQ(zustand.rfind(" **** Zustand im Zeittakt 0 ****\n", 0), 0u);
  EXPECT_EQ(zustand.find("\nc "), std::string::npos) << zustand;
}

TEST_F(Batchablauf, ZuWenigeParameter) {
  ASSERT_EQ(u.starten({"Titel", u.datei("a.net", kettenNetz)}), 2);
  EXPECT_NE(u.fehler.find("Weniger als 3 Kommandozeilenparameter, Programm wird beendet"), std::string::npos);
  EXPECT_EQ(u.aus, "");
  EXPECT_EQ(u.ausgaben(), Namen{}) << "nothing is written, not even protok.txt";
  ASSERT_EQ(u.starten({}), 2);
  EXPECT_NE(u.fehler.find("Weniger als 3 Kommandozeilenparameter"), std::string::npos);
}

TEST_F(Batchablauf, FalscheOptionen) {
  EXPECT_EQ(kette({"--schnell"}), 2);
  EXPECT_NE(u.fehler.find("--schnell"), std::string::npos) << u.fehler;
  EXPECT_EQ(kette({"--runs", "viele"}), 2);
  EXPECT_EQ(kette({"--size", "10x10"}), 2);
  EXPECT_EQ(kette({"--seed", "-1"}), 2);
  EXPECT_EQ(u.ausgaben(), Namen{});
}

TEST_F(Batchablauf, LeereDateinamen) {
  const std::string netz = u.datei("a.net", kettenNetz);
  ASSERT_EQ(u.starten({"T", "", u.datei("a.ein", kettenEingabe)}), 2);
  EXPECT_EQ(u.fehler, "keine Netzdatei geöffnet\n");
  EXPECT_EQ(u.ausgaben(), Namen{"protok.txt"}) << "protok.txt is created before the names are read";

  ASSERT_EQ(u.starten({"--state", "T", netz, ""}), 2);
  EXPECT_EQ(u.fehler, "keine Eingabedatei geöffnet\n");
  EXPECT_EQ(u.ausgaben(), Namen{"protok.txt"}) << "no time step, no state file";
}

TEST_F(Batchablauf, SchwererNetzdateifehler) {
  const std::string netz = u.datei("z.net", "z A 1 1\ns 1.0\nz B 1 9\nc A 1.0 1\nZ C 1 20\n");
  ASSERT_EQ(u.starten({"--state", "T", netz, u.datei("a.ein", "A 0 .\n")}), 3);
  EXPECT_EQ(u.fehler,
            "Schwerer Netzdateifehler: Falsches Zeichen auf Position 1 einer Zeile. Programm wird beendet.\n");
  EXPECT_EQ(u.ausgaben(), Namen{"protok.txt"});
  EXPECT_EQ(u.ausgabe("protok.txt"), "");
  EXPECT_EQ(u.aus, "");
}

TEST_F(Batchablauf, DateiNichtLesbar) {
  const std::string eingabe = u.datei("a.ein", kettenEingabe);
  const std::string fehlendesNetz = (u.daten() / "gibtsnicht.net").string();
  ASSERT_EQ(u.starten({"--state", "--log", "T", fehlendesNetz, eingabe}), 4);
  EXPECT_NE(u.fehler.find(fehlendesNetz), std::string::npos) << u.fehler;
  EXPECT_EQ(u.ausgaben(), Namen{"protok.txt"});

  const std::string fehlendeEingabe = (u.daten() / "gibtsnicht.ein").string();
  ASSERT_EQ(u.starten({"--state", "--log", "T", u.datei("a.net", kettenNetz), fehlendeEingabe}), 4);
  EXPECT_NE(u.fehler.find(fehlendeEingabe), std::string::npos) << u.fehler;
  EXPECT_EQ(u.ausgaben(), Namen{"protok.txt"});
  EXPECT_EQ(u.ausgabe("protok.txt"), "");
}

TEST_F(Batchablauf, AusgabedateiNichtSchreibbar) {
  // A directory where a file should go cannot be replaced by the file.
  testhilfe::fs::create_directory(u.arbeit() / "zustand.txt");
  ASSERT_EQ(kette({"--state"}), 4);
  EXPECT_NE(u.fehler.find("zustand.txt"), std::string::npos) << u.fehler;
  EXPECT_EQ(u.letzteZeile().rfind("16 time steps", 0), 0u) << "the runs took place";

  testhilfe::fs::remove(u.arbeit() / "zustand.txt");
  testhilfe::fs::remove(u.arbeit() / "protok.txt");
  testhilfe::fs::create_directory(u.arbeit() / "protok.txt");
  ASSERT_EQ(kette({}), 4);
  EXPECT_NE(u.fehler.find("protok.txt"), std::string::npos) << u.fehler;

  testhilfe::fs::remove(u.arbeit() / "protok.txt");
  testhilfe::fs::create_directory(u.arbeit() / "logfile.txt");
  ASSERT_EQ(kette({"--log"}), 4);
  EXPECT_NE(u.fehler.find("logfile.txt"), std::string::npos) << u.fehler;
}

// A summary line that cannot be written is no success: the runs took place,
// but whoever reads stdout gets nothing. A faulty net keeps its own status.
TEST_F(Batchablauf, ZusammenfassungNichtSchreibbar) {
  if (!testhilfe::fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  const std::vector<std::string> aufruf = {"Kette", u.datei("kette.net", kettenNetz),
                                           u.datei("kette.ein", kettenEingabe)};
  const std::string stdoutVoll = "sh -c 'exec \"$0\" \"$@\" >/dev/full'";
  ASSERT_EQ(u.starten(aufruf, stdoutVoll), 4);
  EXPECT_NE(u.fehler.find("velkor-batch: standard output: Kein Platz mehr auf dem Datenträger"), std::string::npos)
      << u.fehler;
  ASSERT_EQ(u.starten({"--state", "F", u.datei("f.net", "z A\nc X\n"), u.datei("f.ein", "A 0\n")}, stdoutVoll),
            1);
  EXPECT_NE(u.fehler.find("standard output"), std::string::npos) << u.fehler;
  EXPECT_EQ(u.ausgaben(), (Namen{"protok.txt", "zustand.txt"}));
}

TEST_F(Batchablauf, HilfeUndVersion) {
  ASSERT_EQ(u.starten({"--version"}), 0);
  EXPECT_EQ(u.aus, "velkor-batch 2.3\n");
  ASSERT_EQ(u.starten({"--help"}), 0);
  EXPECT_NE(u.aus.find("Titel Netzdatei Eingabedatei"), std::string::npos);
  EXPECT_EQ(u.ausgaben(), Namen{});
}

TEST_F(Batchablauf, DatenverzeichnisBleibtUnberuehrt) {
  kette({"--state", "--log"});
  Namen daten;
  for (const auto& e : testhilfe::fs::directory_iterator(u.daten())) daten.insert(e.path().filename().string());
  EXPECT_EQ(daten, (Namen{"kette.ein", "kette.net"}));
  EXPECT_EQ(u.ausgaben(), (Namen{"logfile.txt", "protok.txt", "zustand.txt"}));
}

}  // namespace
}  // namespace velkor
