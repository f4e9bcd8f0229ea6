// The tools of the "Labor" window: the inspector's German explanation of a
// firing, its potential record and its buttons; the raster's bins at the
// pixel-row limit and its picture after going back; the place of a spike in
// transit at every remaining step.

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <random>
#include <sstream>

#include "app/labor/inspektor.h"
#include "app/labor/raster.h"
#include "display/anzeige.h"
#include "display/qt/qimagecanvas.h"
#include "display/unterwegs.h"
#include "engine/erklaeren.h"
#include "engine/zyklus.h"
#include "net/netzladen.h"
#include "tests/display/hilfen.h"
#include "tests/engine/testnetz.h"

namespace velkor {
namespace {

void laden(Simulation& sim, const std::string& netz, const std::string& eingabe) {
  std::ostringstream protokoll;
  ASSERT_EQ(netzladen(netz, 0, 0, sim.netz, protokoll).status, Ladestatus::ok);
  std::string fehler;
  ASSERT_TRUE(sim.eingabe.eingabestart(eingabe, fehler)) << fehler;
}

void lernnetz(Simulation& sim) {
  laden(sim, std::string(VELKOR_BEISPIELE) + "/lernen.net", std::string(VELKOR_BEISPIELE) + "/lernen.ein");
}

// --- the inspector ----------------------------------------------------------

// The learning example stepped through explanations until Reakt fires to the
// tone alone, after the pairing: the text says why and names, in order, the
// spikes that arrived in the step before, with source, connection and delay.
TEST(Zelleninspektor, ErklaertDasFeuernMitDenAnkuenften) {
  Simulation sim;
  lernnetz(sim);
  std::optional<Erklaerung> letzte;
  std::optional<Erklaerung> davor;
  Zelleninspektor inspektor(sim, [&](int32_t, int32_t takt) -> std::optional<Erklaerung> {
    if (letzte && letzte->zeittakt == takt) return letzte;
    if (davor && davor->zeittakt == takt) return davor;
    return std::nullopt;
  });
  inspektor.show();
  const int32_t reakt = sim.netz.suche("Reakt");
  inspektor.zelleWaehlen(reakt);
  Zyklusanzeige still;
  while (sim.zeittakt < 80) {
    davor = letzte;
    letzte = erklaeren(sim, {reakt}, still).at(0);
    inspektor.aktualisieren();
    if (letzte->feuertest.gefeuert && sim.zeittakt > 30) break;
  }
  ASSERT_TRUE(letzte && letzte->feuertest.gefeuert);
  ASSERT_TRUE(davor && !davor->ankuenfte.empty());
  const std::string text = inspektor.erklaerungstext();
  EXPECT_EQ(text.rfind("Reakt feuerte im Zeittakt " + std::to_string(letzte->zeittakt) + ", weil", 0), 0U) << text;
  std::size_t ab = 0;
  for (const schlicht::Ankunft& a : davor->ankuenfte) {
    const std::string von = "von " + sim.netz.Zelltabelle[static_cast<std::size_t>(a.quelle)].name + " (Verbindung " +
                            std::to_string(a.verbindung - sim.netz.verbindungsanfang(a.quelle)) + "), Verzögerung " +
                            std::to_string(a.verzoegerung);
    ab = text.find(von, ab);
    ASSERT_NE(ab, std::string::npos) << von << " missing or out of order in\n" << text;
  }
  test::dateiWieReferenz("inspektor-lernen.txt", text);
}

// The potential is noted at each refresh and cut back when the step number
// goes back; a click on a source selects it; the two buttons ask for
// breakpoints of the chosen cell.
TEST(Zelleninspektor, VerlaufListenUndHaltepunkte) {
  Simulation sim;
  lernnetz(sim);
  Zelleninspektor inspektor(sim, {});
  std::vector<int32_t> gewaehlt;
  std::vector<std::pair<int32_t, std::optional<double>>> halte;
  QObject::connect(&inspektor, &Zelleninspektor::zelleGewaehlt, [&](int32_t z) { gewaehlt.push_back(z); });
  QObject::connect(&inspektor, &Zelleninspektor::haltepunktGewuenscht,
                   [&](int32_t z, std::optional<double> p) { halte.emplace_back(z, p); });
  const int32_t reakt = sim.netz.suche("Reakt"), ton = sim.netz.suche("Ton");
  auto* name = inspektor.findChild<QLineEdit*>(QStringLiteral("Zellname"));
  name->setText(QStringLiteral("Reakt"));
  emit name->returnPressed();
  ASSERT_EQ(inspektor.zelle(), reakt);
  Zyklusanzeige still;
  for (int i = 0; i < 6; ++i) {
    einzelzyklus(sim, still);
    inspektor.aktualisieren();
  }
  ASSERT_EQ(inspektor.potenzialverlauf().size(), 7U);
  sim.zeittakt = 3;  // gone back: steps 3 .. 6 are no longer
  inspektor.aktualisieren();
  ASSERT_EQ(inspektor.potenzialverlauf().size(), 4U);
  EXPECT_EQ(inspektor.potenzialverlauf().back().takt, 3);

  auto* eingaenge = inspektor.findChild<QListWidget*>(QStringLiteral("Eingaenge"));
  QListWidgetItem* vonTon = nullptr;
  for (int i = 0; i < eingaenge->count(); ++i) {
    if (eingaenge->item(i)->text().startsWith(QStringLiteral("von Ton "))) vonTon = eingaenge->item(i);
  }
  ASSERT_NE(vonTon, nullptr);
  emit eingaenge->itemClicked(vonTon);
  EXPECT_EQ(inspektor.zelle(), ton);
  inspektor.findChild<QPushButton*>(QStringLiteral("Feuerhalt"))->click();
  inspektor.findChild<QLineEdit*>(QStringLiteral("Potenzialmarke"))->setText(QStringLiteral("0,75"));
  inspektor.findChild<QPushButton*>(QStringLiteral("Potenzialhalt"))->click();
  EXPECT_EQ(gewaehlt, (std::vector<int32_t>{reakt, ton}));
  using Halt = std::pair<int32_t, std::optional<double>>;
  EXPECT_EQ(halte, (std::vector<Halt>{{ton, std::nullopt}, {ton, 0.75}}));
}

// --- the raster -------------------------------------------------------------

// Every cell a row of its own up to exactly as many cells as rows; one more
// and the bins hold two, the last one cell alone.
TEST(Raster, FaecherAnDerZeilengrenze) {
  struct Fall {
    int32_t zellen, zeilen, fach, belegt;
  };
  const Fall faelle[] = {{4, 4, 1, 4},         {5, 4, 2, 3},       {5, 5, 1, 5},         {6, 5, 2, 3},
                         {6, 6, 1, 6},         {7, 6, 2, 4},       {7, 7, 1, 7},         {8, 7, 2, 4},
                         {200, 200, 1, 200},   {201, 200, 2, 101}, {2560, 200, 13, 197}, {2561, 197, 13, 197},
                         {2562, 197, 14, 183}, {1, 1, 1, 1},       {0, 5, 1, 0},         {3, 0, 1, 0}};
  for (const Fall& f : faelle) {
    const Rasterteilung t = rasterteilung(f.zellen, f.zeilen);
    EXPECT_EQ(t.fach, f.fach) << f.zellen << " on " << f.zeilen;
    EXPECT_EQ(t.zeilen, f.belegt) << f.zellen << " on " << f.zeilen;
  }
  std::mt19937 zufall(26);
  for (int i = 0; i < 2000; ++i) {
    const auto zeilen = static_cast<int32_t>(zufall() % 300 + 1);
    const auto zellen = static_cast<int32_t>(zufall() % 5000 + 1);
    const Rasterteilung t = rasterteilung(zellen, zeilen);
    // The smallest bin that fits, every row used up to the last cell's.
    ASSERT_GE(int64_t{t.fach} * zeilen, zellen);
    ASSERT_LT(int64_t{t.fach - 1} * zeilen, zellen);
    ASSERT_EQ(t.zeileVon(zellen - 1), t.zeilen - 1);
    ASSERT_LE(t.zeilen, zeilen);
  }
}

// The picture's raster has exactly `zeilen` pixel rows at this size.
QSize rastergroesse(int zeilen) { return {120, zeilen + 40 + 32}; }

void feuern(Raster& r, int32_t takt, std::initializer_list<int32_t> zellen) {
  for (const int32_t c : zellen) r.gefeuert(c, takt);
  r.schrittEnde(takt);
}

// The last cell at the limit has the bottom row to itself; one more cell and
// the cells before it share bins of two, whose colour counts them (the last
// bin holds one cell and is full with it).
TEST(Raster, LetzteZelleAnDerGrenzeUndDarueber) {
  for (const int32_t zusatz : {0, 1}) {
    Raster r;
    const int32_t zeilen = 50, n = zeilen + zusatz;
    r.netzGeladen(n);
    r.setSchrittzahl(120);
    feuern(r, 0, {n - 1});
    feuern(r, 1, {n - 2});
    const QImage b = r.bild(rastergroesse(zeilen));
    const Rasterteilung t = rasterteilung(n, zeilen);
    ASSERT_EQ(t.zeileVon(n - 1), zusatz == 0 ? zeilen - 1 : zeilen / 2);
    // Step 0 one column left of step 1 at the right edge.
    EXPECT_EQ(b.pixel(118, t.zeileVon(n - 1)), qRgb(0, 0, 0));
    EXPECT_EQ(b.pixel(119, t.zeileVon(n - 2)), zusatz == 0 ? qRgb(0, 0, 0) : qRgb(85, 85, 85));
    EXPECT_EQ(b.pixel(117, t.zeileVon(n - 1)), qRgb(255, 255, 255));
  }
}

// Going back and running the steps again gives the picture of the straight
// run: later steps are forgotten, a step run again replaces its firings.
TEST(Raster, ZurueckWieGeradeaus) {
  std::mt19937 zufall(4);
  std::vector<std::vector<int32_t>> a(40), b(40);
  for (std::size_t t = 0; t < 40; ++t) {
    for (int32_t c = 0; c < 90; ++c) {
      if (zufall() % 7 == 0) a[t].push_back(c);
      if (zufall() % 5 == 0) b[t].push_back(c);
    }
  }
  Raster gerade, zurueck;
  for (Raster* r : {&gerade, &zurueck}) {
    r->netzGeladen(90);
    r->setSchrittzahl(60);
    r->zelleMarkieren(17);
  }
  auto lauf = [](Raster& r, const std::vector<std::vector<int32_t>>& s, int32_t von, int32_t bis) {
    for (int32_t t = von; t < bis; ++t) {
      for (const int32_t c : s[static_cast<std::size_t>(t)]) r.gefeuert(c, t);
      r.schrittEnde(t);
    }
  };
  lauf(gerade, a, 0, 20);
  lauf(gerade, b, 20, 40);
  lauf(zurueck, a, 0, 40);
  zurueck.zurueckAuf(30);
  lauf(zurueck, b, 20, 30);  // run again from an earlier step, otherwise: replaces
  zurueck.zurueckAuf(25);
  lauf(zurueck, b, 25, 40);
  EXPECT_EQ(zurueck.bild(QSize(200, 180)), gerade.bild(QSize(200, 180)));
  test::bildWieReferenz("raster-zurueck.png", gerade.bild(QSize(200, 180)));
}

// --- spikes in transit ------------------------------------------------------

// Delays 1 to 4 on a line of 120 pixels (and one that does not divide): the
// spike moves one (d + 1)-th of the way per step, truncated toward zero.
TEST(Unterwegs, OrtJeVerbleibendemTakt) {
  const Bildpunkt a{10, 20}, b{130, 20}, c{10, 20}, d{3, 9};
  struct Fall {
    int32_t verzoegerung, rest;
    int64_t x;         // on a .. b
    Bildpunkt schief;  // on c .. d
  };
  const Fall faelle[] = {
      {1, 1, 70, {7, 15}},  {1, 2, 10, {10, 20}}, {2, 2, 50, {8, 17}},  {2, 1, 90, {6, 13}}, {3, 3, 40, {9, 18}},
      {3, 2, 70, {7, 15}},  {3, 1, 100, {5, 12}}, {4, 4, 34, {9, 18}},  {4, 3, 58, {8, 16}}, {4, 2, 82, {6, 14}},
      {4, 1, 106, {5, 12}}, {4, 5, 10, {10, 20}}, {4, 9, 10, {10, 20}}, {4, 0, 130, {3, 9}}, {4, -3, 130, {3, 9}},
  };
  for (const Fall& f : faelle) {
    EXPECT_EQ(unterwegsOrt(a, b, f.verzoegerung, f.rest), (Bildpunkt{f.x, 20})) << f.verzoegerung << "/" << f.rest;
    EXPECT_EQ(unterwegsOrt(c, d, f.verzoegerung, f.rest), f.schief) << f.verzoegerung << "/" << f.rest;
  }
  // On the loop of a cell to itself: from the point nearest the cell, half
  // way round opposite it.
  EXPECT_EQ(schleifenOrt({10, 20}, 1, 2), (Bildpunkt{7, 25}));
  EXPECT_EQ(schleifenOrt({10, 20}, 1, 1), (Bildpunkt{23, 1}));
  EXPECT_EQ(schleifenOrt({10, 20}, 3, 2), (Bildpunkt{23, 1}));
}

// A -> B with delay 3 at P 100: one spike drawn after each of three steps,
// farther each time, none after the arrival. The cell view of the learning
// example with its spikes under way against the stored picture.
TEST(Unterwegs, DreiTakteSichtbarUndLernnetzWieGespeichert) {
  Simulation sim;
  test::Testverzeichnis dir;
  laden(sim, dir.datei("d.net", "z A 1 1\ns 1\nr 5\nc B 1 3\nz B 1 16\ns 1\n"), dir.datei("d.ein", "A 0\n.\n"));
  Zyklusanzeige still;
  einzelzyklus(sim, still);  // A excited
  const Zellgeometrie g;
  const Bildpunkt a = g.mitte(sim.netz.Zelltabelle[0]), b = g.mitte(sim.netz.Zelltabelle[1]);
  for (int32_t rest = 3; rest >= 0; --rest) {
    einzelzyklus(sim, still);
    laufzaehlerAbgleichen(sim);
    QImageCanvas canvas(200, 60);
    canvas.pinselfarbe(farben::weiss);
    canvas.stiftfarbe(farben::weiss);
    canvas.rectangle(0, 0, 200, 60);
    EXPECT_EQ(unterwegsZeichnen(canvas, sim, g), rest > 0 ? 1 : 0);
    if (rest == 0) continue;
    const Bildpunkt p = unterwegsOrt(a, b, 3, rest);
    EXPECT_EQ(p.x, a.x + (b.x - a.x) * (4 - rest) / 4);
    EXPECT_EQ(canvas.getPixel(static_cast<int>(p.x), static_cast<int>(p.y)), farben::gelb) << rest;
  }

  Simulation lernen;
  lernnetz(lernen);
  Ansichtsflags ansicht;
  ansicht.ansichtZellVariabel = true;
  Anzeigezustand zustand;
  QImageCanvas canvas(zustand.W, zustand.H);
  Anzeige anzeige(lernen, ansicht, zustand, canvas);
  anzeige.netzzeichnen();
  while (lernen.zeittakt < 50) einzelzyklus(lernen, anzeige);
  laufzaehlerAbgleichen(lernen);
  EXPECT_GT(unterwegsZeichnen(canvas, lernen), 0);
  test::bildWieReferenz("unterwegs-lernen.png", canvas.bild().copy(0, 0, 840, 350));
}

}  // namespace
}  // namespace velkor
