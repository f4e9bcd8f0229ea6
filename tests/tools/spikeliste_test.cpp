// velkor-batch --spikes: the list of every firing, against a stored reference.
// VELKOR_REFERENZEN_NEU=1 writes the reference anew (check the diff by hand).

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "tests/tools/batchaufruf.h"
#include "tools/spikeliste.h"

namespace velkor {
namespace {

using testhilfe::Batchumgebung;
using testhilfe::beispiel;

TEST(Spikeliste, DasLernbeispielGleichtDerReferenz) {
  Batchumgebung u;
  // P 50 with a seed: firings that depend on the random draws too.
  ASSERT_EQ(u.starten({"--spikes", "s.csv", "--steps", "5", "--seed", "7", "L", beispiel("lernen.net"),
                       beispiel("lernen.ein"), "P", "50"}),
            0)
      << u.fehler;
  const std::string referenz = std::string(VELKOR_TESTDATEN) + "/lernen-p50-spikes.csv";
  if (std::getenv("VELKOR_REFERENZEN_NEU") != nullptr) testhilfe::dateiSchreiben(referenz, u.ausgabe("s.csv"));
  EXPECT_EQ(u.ausgabe("s.csv"), testhilfe::dateiLesen(referenz));
}

TEST(Spikeliste, NetzfehlerGibtNurDieKopfzeile) {
  Batchumgebung u;
  const std::string netz = u.datei("f.net", "z A\nc X 1.0 1\n");
  const std::string ein = u.datei("f.ein", "A 1\n");
  EXPECT_EQ(u.starten({"--spikes", "s.csv", "F", netz, ein}), 1);
  EXPECT_EQ(u.ausgabe("s.csv"), "zeittakt,zelle,name\n");
}

TEST(Spikeliste, NamenMitKommaAnfuehrungszeichenOderZeilenendeWerdenGequotet) {
  const struct {
    const char* name;
    const char* feld;
  } faelle[] = {
      {"Ton", "Ton"},       {"", ""},
      {"a,b", "\"a,b\""},   {",", "\",\""},
      {"q\"", "\"q\"\"\""}, {"\"\"", "\"\"\"\"\"\""},
      {"a\rb", "\"a\rb\""}, {"a\n", "\"a\n\""},
      {"a;b'c", "a;b'c"},
  };
  for (const auto& f : faelle) EXPECT_EQ(csvFeld(f.name), f.feld) << f.name;
}

}  // namespace
}  // namespace velkor
