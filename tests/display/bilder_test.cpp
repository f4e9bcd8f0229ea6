// Not a check: renders every view of a small net into PNG files for looking
// at them. Run with --gtest_also_run_disabled_tests; the files go to the
// directory named by VELKOR_BILDER (else the temporary directory).

#include <gtest/gtest.h>

#include <cstdlib>

#include "hilfen.h"

namespace velkor {
namespace {

using test::Aufbau;
using test::zelle;

std::string bildpfad(const std::string& name) {
  const char* dir = std::getenv("VELKOR_BILDER");
  return (dir != nullptr ? std::filesystem::path(dir) : std::filesystem::temp_directory_path()) / name;
}

void kleinesNetz(Netz& netz) {
  test::netzBauen(netz,
                  {zelle("A", 5, 2), zelle("B", 12, 2), zelle("C1", 8, 6), zelle("DDDD", 14, 6), zelle("E", 3, 5)},
                  {{0, 1, 5.0}, {1, 2, 10.0}, {2, 0, -0.5}, {3, 3, 4.0}, {0, 2, 0.0}, {4, 3, 7.5}});
}

void zustaendeSetzen(Netz& netz, int schritt) {
  auto& z = netz.Zelltabelle;
  z[0].potenzial = 6.0 + schritt;
  z[1].refraktaerrest = schritt % 3 == 0 ? 3 : 0;
  z[1].potenzial = 2.0;
  z[2].refraktaerrest = 2;
  z[3].potenzial = 2.0 * schritt - 4.0;
  z[4].potenzial = 9.5;
}

TEST(BilderTest, DISABLED_AlleAnsichtenAlsPng) {
  auto lauf = [](const std::string& name, auto ansichtSetzen, int schritte) {
    Aufbau a(640, 400);
    kleinesNetz(a.sim.netz);
    ansichtSetzen(a);
    a.anzeige.statusleiste();
    a.anzeige.hinweis(80, "Einzelne Zyklen mit Leertaste starten");
    if (a.ansicht.oszi()) a.zustand.schreibzeile = 20;
    a.anzeige.netzzeichnen();
    for (int s = 0; s < schritte; ++s) {
      zustaendeSetzen(a.sim.netz, s);
      a.schritt();
    }
    ASSERT_TRUE(a.bild().save(QString::fromStdString(bildpfad(name))));
  };
  lauf(
      "velkor_zellen.png", [](Aufbau& a) { a.ansicht.ansichtZellVariabel = true; }, 2);
  lauf(
      "velkor_oszi.png", [](Aufbau& a) { a.ansicht.ansichtOsziMitEpsps = true; }, 30);
  lauf(
      "velkor_numerisch.png", [](Aufbau&) {}, 5);
  lauf(
      "velkor_feuernd.png", [](Aufbau& a) { a.ansicht.ansichtFeuernd = true; }, 7);
  lauf(
      "velkor_komprimiert.png",
      [](Aufbau& a) {
        a.ansicht.ansichtKomprimiert = true;
        a.sim.param.vergroesserung = 12;
      },
      1);
}

}  // namespace
}  // namespace velkor
