// Output files that cannot be written: a working directory where nothing can
// be created, a full disk (/dev/full), a directory in the way. Each gives a
// message naming the file; the net stays as it was, and "zustand.txt" is
// either complete or the old one.

#include <unistd.h>

#include "net/zustand.h"
#include "tests/robust/robust.h"

namespace velkor::robust {
namespace {

constexpr const char* kettenNetz = "z A 1 1\ns 1\nc B 0.5 1\nz B 1 5\ns 1\n";

bool vollesGeraet() { return fs::exists("/dev/full"); }

TEST(Ausgabedateien, ArbeitsverzeichnisOhneSchreibrechtGibtStatus4MitDateiname) {
  Batchumgebung u;
  const std::string netz = u.datei("n.net", kettenNetz);
  const std::string eingabe = u.datei("e.ein", "A 0\n\n");
  // The working directory is removed under the runner's feet: no file can be
  // created in it, whatever rights the user has.
  EXPECT_EQ(u.starten({"--state", "T", netz, eingabe}, "rmdir \"$PWD\" &&"), 4);
  EXPECT_NE(u.fehler.find("protok.txt"), std::string::npos) << u.fehler;
  EXPECT_EQ(u.aus, "");
}

TEST(Ausgabedateien, VollePlatteBeimZustandLaesstDenAltenZustandStehen) {
  if (!vollesGeraet()) GTEST_SKIP() << "no /dev/full";
  Batchumgebung u;
  const std::string alt = "alter Zustand, vollstaendig\n";
  testhilfe::dateiSchreiben(u.arbeit() / "zustand.txt", alt);
  fs::create_symlink("/dev/full", u.arbeit() / "zustand.txt.tmp");
  EXPECT_EQ(u.starten({"--state", "T", u.datei("n.net", kettenNetz), u.datei("e.ein", "A 0\n\n")}), 4);
  EXPECT_NE(u.fehler.find("zustand.txt: Kein Platz mehr auf dem Datenträger"), std::string::npos) << u.fehler;
  EXPECT_EQ(u.ausgabe("zustand.txt"), alt);
  EXPECT_EQ(u.ausgaben().count("zustand.txt.tmp"), 0u);  // the temporary name is cleared away
}

TEST(Ausgabedateien, ZustandschreibenMeldetUndAendertNichts) {
  if (!vollesGeraet()) GTEST_SKIP() << "no /dev/full";
  Batchumgebung u;
  Geladen g = ladenText(kettenNetz);
  ASSERT_EQ(g.ergebnis.status, Ladestatus::ok);
  const std::string vorher = zustandstext(g.netz, 5, 0, 0);
  const std::string ziel = (u.arbeit() / "zustand.txt").string();
  fs::create_symlink("/dev/full", ziel + ".tmp");
  std::string fehler;
  EXPECT_FALSE(zustandschreiben(g.netz, 5, 0, 0, fehler, ziel));
  EXPECT_EQ(fehler, ziel + ": Kein Platz mehr auf dem Datenträger");
  EXPECT_FALSE(fs::exists(ziel));
  EXPECT_FALSE(fs::is_symlink(ziel + ".tmp"));

  // A regular file where a directory should be, and a directory in place of
  // the file: both refused with the name.
  const std::string datei = u.datei("keinverzeichnis", "x");
  EXPECT_FALSE(zustandschreiben(g.netz, 5, 0, 0, fehler, datei + "/zustand.txt"));
  EXPECT_EQ(fehler.rfind(datei + "/zustand.txt: ", 0), 0u) << fehler;
  fs::create_directory(u.arbeit() / "verzeichnis");
  const std::string verzeichnis = (u.arbeit() / "verzeichnis").string();
  EXPECT_FALSE(zustandschreiben(g.netz, 5, 0, 0, fehler, verzeichnis));
  EXPECT_EQ(fehler.rfind(verzeichnis + ": ", 0), 0u) << fehler;
  EXPECT_FALSE(fs::exists(verzeichnis + ".tmp"));

  // The net is untouched: a later write gives the same text.
  EXPECT_EQ(zustandstext(g.netz, 5, 0, 0), vorher);
  ASSERT_TRUE(zustandschreiben(g.netz, 5, 0, 0, fehler, ziel)) << fehler;
  EXPECT_EQ(dateiLesen(ziel), vorher);
}

TEST(Ausgabedateien, VolleProtokollUndLogdateiGebenStatus4) {
  if (!vollesGeraet()) GTEST_SKIP() << "no /dev/full";
  {
    // A protocol that cannot take its lines: the load is reported as failed.
    Batchumgebung u;
    fs::create_symlink("/dev/full", u.arbeit() / "protok.txt");
    EXPECT_EQ(u.starten({"T", u.datei("n.net", "z A\nc X\n"), u.datei("e.ein", "A 0\n")}), 4);
    EXPECT_NE(u.fehler.find("protok.txt"), std::string::npos) << u.fehler;
  }
  {
    // The trace log: the run goes on, the failure is reported at the end.
    Batchumgebung u;
    fs::create_symlink("/dev/full", u.arbeit() / "logfile.txt");
    EXPECT_EQ(u.starten({"--log", "--state", "T", u.datei("n.net", kettenNetz), u.datei("e.ein", "A 0\n*** 3\n")}), 4);
    EXPECT_NE(u.fehler.find("logfile.txt: Kein Platz mehr auf dem Datenträger"), std::string::npos) << u.fehler;
    EXPECT_EQ(u.ausgabe("zustand.txt").rfind(" **** Zustand im Zeittakt 4 ****\n", 0), 0u);
  }
}

// A protocol that fails, be it when it is closed (a few lines still in the
// buffer) or while the load goes on (lines beyond any buffer), is reported
// with the file and the reason, also when no net file name is given.
TEST(Ausgabedateien, VollesProtokollNenntDateiUndGrund) {
  if (!vollesGeraet()) GTEST_SKIP() << "no /dev/full";
  std::string vieleFehlende = "z A\n";
  for (int i = 0; i < 20000; ++i) vieleFehlende += "c X" + std::to_string(i % 10) + " 1 1\n";
  for (const std::string& netz : {std::string("z A\nc X\n"), vieleFehlende}) {
    Batchumgebung u;
    fs::create_symlink("/dev/full", u.arbeit() / "protok.txt");
    EXPECT_EQ(u.starten({"T", u.datei("n.net", netz), u.datei("e.ein", "A 0\n")}), 4);
    EXPECT_NE(u.fehler.find("protok.txt: Kein Platz mehr auf dem Datenträger"), std::string::npos) << u.fehler;
  }
  Batchumgebung u;
  fs::create_directory(u.arbeit() / "protok.txt");
  EXPECT_EQ(u.starten({"T", "", u.datei("e.ein", "A 0\n")}), 4);
  EXPECT_NE(u.fehler.find("protok.txt: Ist ein Verzeichnis"), std::string::npos) << u.fehler;
}

// The numbered form's inconsistencies: a header that does not match the cell
// lines, a missing or negative count, a target outside the table. Each is
// written into the protocol and stops every time step.
TEST(Ausgabedateien, NummernformWidersprueche) {
  struct Fall {
    std::string netz, protokoll;
  };
  const std::vector<Fall> faelle = {
      {"$ 3\nz A\nz B\n", "****Zellenzahl im Kopf (3) passt nicht zu 2 Zellzeilen****\n"},
      {"$\nz A\n", "****Zellenzahl im Kopf (-1) passt nicht zu 1 Zellzeilen****\n"},
      {"$ -4\nz A\n", "****Zellenzahl im Kopf (-4) passt nicht zu 1 Zellzeilen****\n"},
      {"$ 2\nz A\nc 2 1 1\nc -1 1 1\nz B\n", ">c 2 1 1\n****Zelle fehlt****\n>c -1 1 1\n****Zelle fehlt****\n"},
      {"$ 1000000000\nz A\nc 999999999 1 1\n",
       "****Zellenzahl im Kopf (1000000000) passt nicht zu 1 Zellzeilen****\n>c 999999999 1 1\n****Zelle fehlt****\n"},
  };
  for (const Fall& f : faelle) {
    Batchumgebung u;
    EXPECT_EQ(u.starten({"--steps", "3", "T", u.datei("n.nec", f.netz), u.datei("e.ein", "A 0\n")}), 1) << f.netz;
    EXPECT_EQ(u.ausgabe("protok.txt"), f.protokoll) << f.netz;
    EXPECT_NE(u.fehler.find("Netzfehler:"), std::string::npos);
    EXPECT_EQ(u.letzteZeile().rfind("0 time steps, zeittakt 0", 0), 0u) << u.aus;
  }
}

}  // namespace
}  // namespace velkor::robust
