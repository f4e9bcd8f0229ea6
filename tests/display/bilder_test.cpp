// Every view of a small net as a whole picture against its stored reference
// (VELKOR_REFERENZEN_NEU=1 writes them anew). Not a check: the same views
// as PNG files for looking at them, with --gtest_also_run_disabled_tests;
// the files go to the directory named by VELKOR_BILDER (else the temporary
// directory).

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
  test::netzBauen(
      netz, {zelle("A", 5, 2), zelle("B", 12, 2), zelle("C1", 8, 6), zelle("DDDD", 14, 6), zelle("E", 3, 5)},
      {{0, 1, 5.0}, {1, 2, 10.0}, {2, 0, -0.5}, {3, 3, 4.0}, {0, 2, 0.0}, {4, 3, 7.5}, {2, 4, 5.8}, {4, 0, 9.9}});
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

// The picture of a view after some steps of changing states.
template <class AnsichtSetzen>
QImage zeichnen(AnsichtSetzen ansichtSetzen, int schritte, int W = 640, int H = 400) {
  Aufbau a(W, H);
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
  return a.bild();
}

TEST(BilderTest, AnsichtenWieDieReferenzen) {
  test::bildWieReferenz("zellen.png", zeichnen([](Aufbau& a) { a.ansicht.ansichtZellVariabel = true; }, 2, 200, 160));
  test::bildWieReferenz("oszi.png", zeichnen([](Aufbau& a) { a.ansicht.ansichtOsziMitEpsps = true; }, 12, 260, 80));
  // The block of a faulty net reaches x = 850.
  Aufbau f(900, 400);
  f.anzeige.netzfehlerHinweis();
  test::bildWieReferenz("netzfehler.png", f.bild());
}

TEST(BilderTest, KomprimierteAnsichtRundetWieDieReferenz) {
  // Thresholds whose half does not round cleanly, potentials at the edges of
  // both blue levels (p = potential + 2 against 3 and trunc(threshold / 2)),
  // a firing and a refractory cell; the first picture and the redraw.
  auto netz = [](Aufbau& a, int m) {
    a.ansicht.ansichtKomprimiert = true;
    a.sim.param.vergroesserung = m;
    test::netzBauen(a.sim.netz, {zelle("a", 0, 0, 5.0), zelle("b", 1, 0, 5.0), zelle("c", 2, 0, 5.0),
                                 zelle("d", 3, 0, 7.0), zelle("e", 4, 0), zelle("f", 5, 0), zelle("g", 6, 0, 3.0),
                                 zelle("h", 0, 4, 9.0), zelle("i", 2, 4, 1.0)});
    const double potenziale[] = {0.3, 1.0, 1.5, 1.2, 0.0, 0.0, -1.0, 2.6, 0.9};
    for (std::size_t c = 0; c < std::size(potenziale); ++c) a.sim.netz.Zelltabelle[c].potenzial = potenziale[c];
    test::feuernd(a.sim.netz.Zelltabelle[4]);
    test::refraktaer(a.sim.netz.Zelltabelle[5]);
  };
  for (const int m : {1, 2, 3}) {
    const std::string name = "komprimiert-m" + std::to_string(m);
    Aufbau a(64, 64);
    netz(a, m);
    a.anzeige.netzzeichnen();
    a.schritt();
    test::bildWieReferenz(name + ".png", a.bild());
    Aufbau r(64, 64);
    netz(r, m);
    r.anzeige.neuzeichnen();
    test::bildWieReferenz(name + "-neu.png", r.bild());
  }
}

TEST(BilderTest, DISABLED_AlleAnsichtenAlsPng) {
  auto lauf = [](const std::string& name, auto ansichtSetzen, int schritte) {
    ASSERT_TRUE(zeichnen(ansichtSetzen, schritte).save(QString::fromStdString(bildpfad(name))));
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
