// The German reasons of file messages: the table of the failures a user
// meets, the system's text for the others, and the one form "<Datei>: <Grund>".

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string>

#include "engine/simulation.h"
#include "lauf/start.h"
#include "hilfen.h"
#include "net/dateigrund.h"

namespace velkor {
namespace {

TEST(Dateigrund, TabelleUndSystemtextAlsRueckfall) {
  const struct {
    int nummer;
    const char* grund;
  } tabelle[] = {
      {ENOENT, "Datei oder Verzeichnis nicht gefunden"},
      {EACCES, "Keine Berechtigung"},
      {EPERM, "Keine Berechtigung"},
      {EISDIR, "Ist ein Verzeichnis"},
      {ENOSPC, "Kein Platz mehr auf dem Datenträger"},
      {EROFS, "Dateisystem ist nur lesbar"},
      {EMFILE, "Zu viele offene Dateien"},
      {ENFILE, "Zu viele offene Dateien"},
      {0, "Lesefehler"},
  };
  for (const auto& z : tabelle) {
    EXPECT_EQ(dateigrund(z.nummer, "Lesefehler"), z.grund) << z.nummer;
    EXPECT_EQ(dateifehler("a b/c.net", z.nummer, "Lesefehler"), std::string("a b/c.net: ") + z.grund);
  }
  // a failure outside the table keeps the system's own text
  EXPECT_EQ(dateigrund(EIO), std::strerror(EIO));
  EXPECT_EQ(dateigrund(ENAMETOOLONG), std::strerror(ENAMETOOLONG));
}

// Every file the start preparation opens reports in the same form.
TEST(Dateigrund, NetzEingabeUndProtokollInEinerForm) {
  test::Arbeitsverzeichnis verzeichnis;
  const auto alt = std::filesystem::current_path();
  std::filesystem::current_path(verzeichnis.pfad);
  Simulation sim;
  sim.param.netzdateiname = "/gibt/es/nicht.net";
  const Ladeergebnis e = netzVorbereiten(sim);
  EXPECT_EQ(e.meldung, "/gibt/es/nicht.net: Datei oder Verzeichnis nicht gefunden");
  std::string fehler;
  sim.param.eingabedateiname = "/gibt/es/nicht.ein";
  EXPECT_FALSE(eingabeVorbereiten(sim, fehler));
  EXPECT_EQ(fehler, "/gibt/es/nicht.ein: Datei oder Verzeichnis nicht gefunden");
  sim.param.eingabedateiname = "/";
  EXPECT_FALSE(eingabeVorbereiten(sim, fehler));
  EXPECT_EQ(fehler, "/: Ist ein Verzeichnis");
  std::filesystem::remove("protok.txt");
  std::filesystem::create_directory("protok.txt");
  EXPECT_EQ(netzVorbereiten(sim).meldung, "protok.txt: Ist ein Verzeichnis");
  std::filesystem::current_path(alt);
}

}  // namespace
}  // namespace velkor
