// The window as a lab bench: going back gives the picture, the state and the
// trace log of a straight run exactly; breakpoints halt a run; entries given
// by hand are written out as an input file that velkor-batch replays; an
// empty file parameter leaves the file to be chosen.

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QTest>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <set>
#include <sstream>

#include "app/labor/inspektor.h"
#include "app/labor/labor.h"
#include "app/labor/raster.h"
#include "testfenster.h"

namespace velkor::test {
namespace {

std::vector<std::string> parameterMit(const std::string& modi) {
  std::vector<std::string> p{"Lernen", std::string(VELKOR_BEISPIELE) + "/lernen.net",
                             std::string(VELKOR_BEISPIELE) + "/lernen.ein"};
  std::istringstream ein(modi);
  for (std::string w; ein >> w;) p.push_back(w);
  return p;
}

struct Stand {
  QImage bild;
  std::string zustand;
  std::string log;
};

Stand standNehmen(Testfenster& t) {
  t.f->zustandsausgabe();
  return {t.f->canvas().bild().copy(), dateiLesen("zustand.txt"),
          gibtEs("logfile.txt") ? dateiLesen("logfile.txt") : ""};
}

int abweichendePixel(const QImage& a, const QImage& b) {
  if (a.size() != b.size()) return -1;
  int n = 0;
  for (int y = 0; y < a.height(); ++y) {
    for (int x = 0; x < a.width(); ++x) n += a.pixel(x, y) != b.pixel(x, y) ? 1 : 0;
  }
  return n;
}

void gleich(const Stand& ist, const Stand& soll, int32_t takt, const std::string& wo) {
  EXPECT_EQ(abweichendePixel(ist.bild, soll.bild), 0) << wo << ", step " << takt;
  EXPECT_EQ(ist.zustand, soll.zustand) << wo << ", step " << takt;
  EXPECT_EQ(ist.log, soll.log) << wo << ", step " << takt;
}

void rueckschritt(Testfenster& t) { QTest::keyClick(t.f->leinwand(), Qt::Key_Backspace); }

// Every view, with and without trace log, with a checkpoint at nearly every
// step and with hardly any (the steps in between replayed and drawn): back
// 1, forward 1 (replayed), back 10, back 100, then a new step from there.
TEST(LaborTest, ZurueckGibtBildZustandUndLogDesGeradenLaufs) {
  const char* ansichten[] = {"", "k", "g", "G R 2", "v", "V", "m 4"};
  const std::vector<int32_t> ziele{129, 130, 120, 20, 21};
  for (const char* modi : ansichten) {
    for (const bool mitLog : {false, true}) {
      std::map<int32_t, Stand> gerade;
      {
        Testfenster s(parameterMit(std::string(modi) + " P 97"));
        s.zeigen();
        if (mitLog) s.f->logstart();
        for (int32_t i = 1; i <= 130; ++i) {
          s.taste(' ');
          if (std::find(ziele.begin(), ziele.end(), i) != ziele.end()) gerade[i] = standNehmen(s);
        }
      }
      for (const double anteil : {1e9, 1e-9}) {
        const std::string wo =
            std::string("view \"") + modi + "\"" + (mitLog ? " with log" : "") + (anteil > 1 ? ", dense" : ", sparse");
        Testfenster t(parameterMit(std::string(modi) + " P 97"));
        t.f->verlauf().zeitanteil = anteil;
        t.f->verlauf().budget = std::size_t{48} << 20U;
        t.zeigen();
        if (mitLog) t.f->logstart();
        for (int32_t i = 1; i <= 130; ++i) t.taste(' ');
        rueckschritt(t);
        ASSERT_EQ(t.sim().zeittakt, 129) << wo;
        gleich(standNehmen(t), gerade[129], 129, wo);
        EXPECT_TRUE(t.f->schrittVor());
        gleich(standNehmen(t), gerade[130], 130, wo);
        for (int k = 0; k < 10; ++k) rueckschritt(t);
        ASSERT_EQ(t.sim().zeittakt, 120) << wo;
        gleich(standNehmen(t), gerade[120], 120, wo);
        ASSERT_TRUE(t.f->geheZu(20)) << wo;
        gleich(standNehmen(t), gerade[20], 20, wo);
        t.taste(' ');  // the later history goes; the log is written on
        gleich(standNehmen(t), gerade[21], 21, wo);
        EXPECT_EQ(t.f->verlauf().letzter(), 21) << wo;
        EXPECT_TRUE(t.meldungen.empty()) << wo;
      }
    }
  }
}

TEST(LaborTest, RueckschrittHatDieMenuewirkungJederTasteUndGrenzenDesVerlaufs) {
  Testfenster t({"Kette", "netz.net", "daten.ein"});
  t.ketteAnlegen();
  t.zeigen();
  rueckschritt(t);  // at step 0: nothing to go back to
  EXPECT_EQ(t.sim().zeittakt, 0);
  EXPECT_FALSE(t.an(t.m().Ansicht1));
  EXPECT_TRUE(t.an(t.m().Neustart1));
  EXPECT_FALSE(t.an(t.m().Zeitlupe1));
  t.taste(' ');
  t.taste(' ');
  rueckschritt(t);
  EXPECT_EQ(t.sim().zeittakt, 1);
  EXPECT_FALSE(t.f->geheZu(3));  // beyond the history
  EXPECT_FALSE(t.f->geheZu(-1));
  EXPECT_TRUE(t.f->geheZu(2));
  EXPECT_EQ(t.sim().zeittakt, 2);
  EXPECT_TRUE(t.f->schrittVor());  // at the end of the history: a new step
  EXPECT_EQ(t.sim().zeittakt, 3);
  // back to the last stop: "u" halts after step 5 at the stop mark
  t.taste('u');
  EXPECT_EQ(t.sim().zeittakt, 6);
  t.taste(' ');
  t.taste(' ');
  ASSERT_FALSE(t.f->haltemarken().empty());
  EXPECT_TRUE(t.f->zurStoppmarke());
  EXPECT_EQ(t.sim().zeittakt, 6);
  EXPECT_FALSE(t.f->zurStoppmarke());  // none before it
  EXPECT_TRUE(t.endcodes.empty());
}

// The chain with a stop mark a million steps ahead.
constexpr const char* fernerStopp = "A 0\nA 3\n*** 1000000\nA 1000001 .\n";

// The step after which `zelle` first fires at or after step `ab`, run step by step.
int32_t erstesFeuern(int32_t zelle, int32_t ab) {
  Testfenster s({"Kette", "netz.net", "daten.ein"});
  s.ketteAnlegen();
  dateiSchreiben("daten.ein", fernerStopp);
  s.zeigen();
  for (int i = 0; i < 100; ++i) {
    s.taste(' ');
    const TZelle& z = s.sim().netz.Zelltabelle[static_cast<std::size_t>(zelle)];
    if (s.sim().zeittakt > ab && zellzustand(z) == Zellzustand::feuernd) return s.sim().zeittakt;
  }
  return -1;
}

TEST(LaborTest, EinHaltepunktHaeltDenLaufVorDerFernenStoppmarke) {
  const int32_t erstes = erstesFeuern(2, 0);
  ASSERT_GT(erstes, 0);
  const int32_t zweites = erstesFeuern(2, erstes);
  ASSERT_GT(zweites, erstes);
  Testfenster t({"Kette", "netz.net", "daten.ein"});
  t.ketteAnlegen();
  dateiSchreiben("daten.ein", fernerStopp);
  t.zeigen();
  t.f->laborZeigen();
  const int32_t c = zelleNachText(t.sim().netz, "C");
  ASSERT_EQ(c, 2);
  t.f->haltepunktSetzen(c, std::nullopt);
  t.f->haltepunktSetzen(c, std::nullopt);  // set once only
  EXPECT_EQ(t.f->haltepunkte().feuern.size(), 1u);
  t.taste('u');
  EXPECT_EQ(t.sim().zeittakt, erstes);
  ASSERT_EQ(t.f->letzteHalte().size(), 1u);
  EXPECT_EQ(t.f->letzteHalte()[0].art, Haltart::feuern);
  EXPECT_EQ(t.f->letzteHalte()[0].zelle, c);
  EXPECT_TRUE(t.sim().lauf.anhalten);
  // the bar says it in red beside "Einzelne Zyklen mit Leertaste starten", the timeline too
  EXPECT_TRUE(t.farbeIn(farben::rot, laufhinweisX, 3, laufhinweisX + 120, 17));
  EXPECT_TRUE(t.farbeIn(farben::weiss, 80, 3, 200, 17));
  const auto* anzeige = t.f->labor()->findChild<QLabel*>(QStringLiteral("Haltanzeige"));
  ASSERT_NE(anzeige, nullptr);
  EXPECT_TRUE(anzeige->text().contains(QStringLiteral("C feuerte"))) << anzeige->text().toStdString();
  ASSERT_FALSE(t.f->haltemarken().empty());
  EXPECT_EQ(t.f->haltemarken().back().takt, erstes);
  // "Simulation bis Stop" goes on to the next firing; the old note is gone
  t.f->uzyklen();
  EXPECT_EQ(t.sim().zeittakt, zweites);
  EXPECT_EQ(t.f->letzteHalte().size(), 1u);
  t.f->haltepunktLoeschen(c, std::nullopt);
  EXPECT_TRUE(t.f->haltepunkte().leer());
}

TEST(LaborTest, EinPotenzialHaltepunktNenntZelleUndWert) {
  Testfenster t({"Kette", "netz.net", "daten.ein"});
  t.ketteAnlegen();
  dateiSchreiben("daten.ein", fernerStopp);
  t.zeigen();
  t.f->laborZeigen();
  t.f->haltepunktSetzen(1, 0.75);
  t.f->haltepunktSetzen(1, 0.75);
  EXPECT_EQ(t.f->haltepunkte().potenziale.size(), 1u);
  t.taste('u');
  ASSERT_EQ(t.f->letzteHalte().size(), 1u);
  EXPECT_EQ(t.f->letzteHalte()[0].art, Haltart::potenzial);
  EXPECT_EQ(t.f->letzteHalte()[0].zelle, 1);
  EXPECT_LT(t.sim().zeittakt, 10);
  const auto* anzeige = t.f->labor()->findChild<QLabel*>(QStringLiteral("Haltanzeige"));
  EXPECT_TRUE(anzeige->text().contains(QStringLiteral("B kreuzte 0.75"))) << anzeige->text().toStdString();
  // going back one step: the note of the halt is no longer the present one
  rueckschritt(t);
  EXPECT_TRUE(anzeige->text().isEmpty());
  EXPECT_FALSE(t.farbeIn(farben::rot, laufhinweisX, 3, laufhinweisX + 120, 17));
}

QPoint zellmitte(const TZelle& z) { return {8 * z.spalte + 10, 18 * z.zeile + oberkante}; }

void umschaltklick(Testfenster& t, int32_t zelle) {
  const QPoint p = zellmitte(t.sim().netz.Zelltabelle[static_cast<std::size_t>(zelle)]);
  ASSERT_EQ(t.f->zelleBei(p), zelle);
  QTest::mouseClick(t.f->leinwand(), Qt::LeftButton, Qt::ShiftModifier, p);
}

// A run with entries given by hand, some of them dropped again by going
// back; "Eingriffe speichern" then velkor-batch on the net and that file.
TEST(LaborTest, EingriffeGespeichertSpieltVelkorBatchByteGleichNach) {
  for (const char* modi : {"V", ""}) {
    Testfenster t({"Kette", "netz.net", "daten.ein", modi});
    t.ketteAnlegen();
    t.zeigen();
    t.f->logstart();
    const bool zellen = std::string(modi) == "V";
    auto geben = [&](int32_t zelle) {
      if (zellen) {
        umschaltklick(t, zelle);
      } else {
        EXPECT_TRUE(t.f->stimulieren(zelle));
      }
    };
    for (int i = 0; i < 4; ++i) t.taste(' ');
    geben(2);
    geben(1);
    EXPECT_EQ(t.sim().eingabe.vorgemerkt(), (std::vector<int32_t>{2, 1}));
    for (int i = 0; i < 3; ++i) t.taste(' ');
    geben(2);
    t.taste(' ');
    rueckschritt(t);  // the entry for C at step 7 is pending again
    EXPECT_EQ(t.sim().eingabe.vorgemerkt(), std::vector<int32_t>{2});
    rueckschritt(t);  // before it: it goes with the history once a step is taken
    EXPECT_TRUE(t.sim().eingabe.vorgemerkt().empty());
    t.taste('u');
    EXPECT_EQ(t.sim().zeittakt, 11);
    geben(0);
    for (int i = 0; i < 9; ++i) t.taste(' ');  // past the end of the input at 12
    geben(1);
    t.taste(' ');
    geben(2);  // pending at the end: written out for the next step
    const int32_t takt = t.sim().zeittakt;
    t.speicherantworten = {QStringLiteral("eingriffe.ein")};
    t.f->eingriffeSpeichern();
    ASSERT_EQ(t.dateidialoge.back().first, QStringLiteral("Eingriffe speichern"));
    ASSERT_TRUE(gibtEs("eingriffe.ein"));
    t.taste(' ');  // the pending entry applied
    t.f->zustandsausgabe();
    t.f->logende();
    const std::string zustand = dateiLesen("zustand.txt"), log = dateiLesen("logfile.txt");
    EXPECT_TRUE(t.meldungen.empty());

    std::filesystem::create_directory("batch");
    const std::string aufruf = std::string("cd batch && '") + VELKOR_BATCH + "' --state --log --runs 0 --steps " +
                               std::to_string(takt + 1) + " Kette ../netz.net ../eingriffe.ein " + modi +
                               " > aus.txt 2>&1";
    ASSERT_EQ(std::system(aufruf.c_str()), 0) << dateiLesen("batch/aus.txt");
    EXPECT_EQ(dateiLesen("batch/zustand.txt"), zustand) << modi;
    EXPECT_EQ(dateiLesen("batch/logfile.txt"), log) << modi;
    if (!zellen) EXPECT_GT(log.size(), 100u);
  }
}

TEST(LaborTest, UmschaltklickOhneLaufOderNebenDieZelleZeichnetNeuWieImmer) {
  Testfenster t({"Kette", "netz.net", "daten.ein", "V"});
  t.ketteAnlegen();
  t.zeigen();
  const TZelle& a = t.sim().netz.Zelltabelle[0];
  const QPoint mitte = zellmitte(a);
  // the circle's edge: radius 16 is inside, 17 outside (table of offsets)
  const struct {
    int dx, dy;
    int32_t zelle;
  } faelle[] = {{0, 0, 0}, {16, 0, 0}, {0, -16, 0}, {11, 11, 0}, {12, 12, -1}, {0, 17, -1}, {-17, 0, -1}};
  for (const auto& f : faelle) EXPECT_EQ(t.f->zelleBei(mitte + QPoint(f.dx, f.dy)), f.zelle) << f.dx << "," << f.dy;
  QTest::mouseClick(t.f->leinwand(), Qt::LeftButton, Qt::ShiftModifier, mitte + QPoint(40, 300));
  EXPECT_TRUE(t.sim().eingabe.vorgemerkt().empty());
  Testfenster ohne;  // no run prepared: nothing to give an entry to
  ohne.zeigen();
  EXPECT_FALSE(ohne.f->stimulieren(0));
}

// The compressed view: each cell a rectangle of m × 3m pixels.
TEST(LaborTest, KomprimierteAnsichtTrifftDieZelleAnIhremRechteck) {
  Testfenster t({"Kette", "netz.net", "daten.ein", "m", "4"});
  t.ketteAnlegen();
  t.zeigen();
  const TZelle& z = t.sim().netz.Zelltabelle[1];
  const int links = 4 * z.spalte, oben = 4 * z.zeile + 20;
  EXPECT_EQ(t.f->zelleBei({links + 1, oben + 1}), 1);
  EXPECT_EQ(t.f->zelleBei({links + 4, oben + 12}), 1);
  EXPECT_EQ(t.f->zelleBei({links, oben + 1}), -1);
  EXPECT_EQ(t.f->zelleBei({links + 1, oben + 13}), -1);
}

// A right-click picks the cell of an oscilloscope or table column, at the
// edges of each 35-pixel column; the hook is asked only while "Labor" is open.
TEST(LaborTest, RechtsklickWaehltDieZelleDerSpalte) {
  const struct {
    const char* modi;
    int x;
    int32_t zelle;
  } faelle[] = {{"g", 0, -1},  {"g", 1, 0},   {"g", 35, 0},   {"g", 36, 1},   {"g", 106, -1},
                {"", 50, -1},  {"", 51, 0},   {"", 85, 0},    {"", 86, 1},    {"", 155, 2},
                {"", 156, -1}, {"V", 60, -1}, {"d 2", 51, 1}, {"d 2", 86, 2}, {"d 2", 121, -1}};
  for (const auto& f : faelle) {
    std::vector<std::string> p{"Kette", "netz.net", "daten.ein"};
    std::istringstream ein(f.modi);
    for (std::string w; ein >> w;) p.push_back(w);
    Testfenster t(p);
    t.ketteAnlegen();
    t.zeigen();
    EXPECT_EQ(t.f->spalteBei({f.x, 100}), f.zelle) << f.modi << " x " << f.x;
    EXPECT_EQ(t.f->spalteBei({f.x, oberkante - 1}), -1);
  }
  {
    // the firing-cells table: each entry's rows name its cell, also after going back
    Testfenster t({"Kette", "netz.net", "daten.ein", "k"});
    t.ketteAnlegen();
    t.zeigen();
    auto zellen = [&t] {
      std::set<int32_t> aus;
      for (int y = 0; y < 400; ++y) {
        if (const int32_t c = t.f->spalteBei({100, y}); c >= 0) aus.insert(c);
      }
      return aus;
    };
    EXPECT_TRUE(zellen().empty());
    int32_t vorC = -1;
    for (int i = 0; i < 8; ++i) {
      if (zellen().count(2) == 0) vorC = t.sim().zeittakt;
      t.taste(' ');
    }
    EXPECT_EQ(zellen(), (std::set<int32_t>{0, 1, 2}));
    ASSERT_GT(vorC, 0);
    ASSERT_TRUE(t.f->geheZu(vorC));
    EXPECT_EQ(zellen().count(2), 0u);
  }
  Testfenster t({"Kette", "netz.net", "daten.ein"});
  t.ketteAnlegen();
  t.zeigen();
  std::vector<int32_t> gewaehlt;
  t.f->zelleUntersuchen = [&gewaehlt](int32_t c) { gewaehlt.push_back(c); };
  QTest::mouseClick(t.f->leinwand(), Qt::RightButton, Qt::NoModifier, {90, 100});
  EXPECT_TRUE(gewaehlt.empty());  // no tool open: the click redraws as before
  t.f->laborZeigen();
  QTest::mouseClick(t.f->leinwand(), Qt::RightButton, Qt::NoModifier, {90, 100});
  QTest::mouseClick(t.f->leinwand(), Qt::LeftButton, Qt::NoModifier, {90, 100});
  EXPECT_EQ(gewaehlt, std::vector<int32_t>{1});
}

// The tools fed by the window: a right-click picks Reakt; its firing to the
// tone and the light is explained with the arriving spikes; the raster after
// going back is the raster of that step.
TEST(LaborTest, GewaehlteZelleZeigtIhrPotenzialUeberDenVerlauf) {
  // Chosen after 30 steps: the plot has the cell's potential at the start of
  // every step from 0 on, as the straight run had it.
  Testfenster t(parameterMit("V"));
  t.zeigen();
  const int32_t reakt = t.sim().netz.suche("Reakt");
  std::vector<double> soll;
  for (int i = 0; i < 30; ++i) {
    soll.push_back(t.sim().netz.Zelltabelle[static_cast<std::size_t>(reakt)].potenzial);
    t.taste(' ');
  }
  soll.push_back(t.sim().netz.Zelltabelle[static_cast<std::size_t>(reakt)].potenzial);
  const std::string vorher = (t.f->zustandsausgabe(), dateiLesen("zustand.txt"));
  t.f->laborZeigen();
  t.f->labor()->inspektor()->zelleWaehlen(reakt);
  const auto& verlauf = t.f->labor()->inspektor()->potenzialverlauf();
  ASSERT_EQ(verlauf.size(), soll.size());
  for (std::size_t i = 0; i < soll.size(); ++i) {
    EXPECT_EQ(verlauf[i].takt, static_cast<int32_t>(i));
    EXPECT_EQ(verlauf[i].potenzial, soll[i]) << "step " << i;
  }
  t.f->zustandsausgabe();
  EXPECT_EQ(dateiLesen("zustand.txt"), vorher);  // looking back changes nothing
}

TEST(LaborTest, InspektorUndRasterFolgenDemFenster) {
  Testfenster t(parameterMit("V"));
  t.zeigen();
  t.f->laborZeigen();
  const int32_t reakt = t.sim().netz.suche("Reakt");
  QTest::mouseClick(t.f->leinwand(), Qt::RightButton, Qt::NoModifier,
                    zellmitte(t.sim().netz.Zelltabelle[static_cast<std::size_t>(reakt)]));
  EXPECT_EQ(t.f->labor()->inspektor()->zelle(), reakt);
  Raster& raster = *t.f->labor()->raster();
  QImage bei45;
  int32_t feuert = -1;
  while (t.sim().zeittakt < 70 && feuert < 0) {
    t.taste(' ');
    if (t.sim().zeittakt == 45) bei45 = raster.bild({320, 200});
    const TZelle& z = t.sim().netz.Zelltabelle[static_cast<std::size_t>(reakt)];
    if (t.sim().zeittakt > 48 && zellzustand(z) == Zellzustand::feuernd) feuert = t.sim().zeittakt;
  }
  ASSERT_GT(feuert, 0);
  const std::string text = t.f->labor()->inspektor()->erklaerungstext();
  EXPECT_NE(text.find("Reakt feuerte"), std::string::npos) << text;
  EXPECT_NE(text.find("von Ton"), std::string::npos) << text;
  EXPECT_NE(text.find("von Licht"), std::string::npos) << text;
  const std::string zustand = (t.f->zustandsausgabe(), dateiLesen("zustand.txt"));
  EXPECT_TRUE(t.f->letzteErklaerung(reakt).has_value());
  t.f->zustandsausgabe();
  EXPECT_EQ(dateiLesen("zustand.txt"), zustand);  // explaining changes nothing
  ASSERT_TRUE(t.f->geheZu(45));
  EXPECT_EQ(abweichendePixel(raster.bild({320, 200}), bei45), 0);
}

// The timeline on 200 pixels: up to 100 steps every step has a pixel that
// gives it back; more steps keep the order and both ends.
TEST(LaborTest, ZeitleisteTrifftJedenSchrittUndBeideEnden) {
  Zeitleiste leiste;
  leiste.resize(216, 30);
  for (const int32_t n : {1, 2, 3, 4, 5, 6, 7, 99, 100, 101, 199, 200, 201, 1000}) {
    for (const int32_t erster : {0, 40}) {
      leiste.setzen(erster, erster + n, erster, {});
      int32_t vorher = erster;
      for (int32_t t = erster; t <= erster + n; ++t) {
        const int32_t zurueck = leiste.taktBei(leiste.xVon(t));
        if (n <= 100) EXPECT_EQ(zurueck, t) << n;
        EXPECT_GE(zurueck, vorher) << n;
        vorher = zurueck;
      }
      EXPECT_EQ(leiste.taktBei(leiste.xVon(erster + n)), erster + n) << n;
      EXPECT_EQ(leiste.taktBei(-20), erster);
      EXPECT_EQ(leiste.taktBei(1000), erster + n);
    }
  }
  Testfenster t({"Kette", "netz.net", "daten.ein"});
  t.ketteAnlegen();
  t.zeigen();
  for (int i = 0; i < 9; ++i) t.taste(' ');
  QTest::keyClick(t.f->leinwand(), Qt::Key_F9);  // opens "Labor" with no effect of a typed key
  ASSERT_NE(t.f->labor(), nullptr);
  EXPECT_TRUE(t.f->labor()->isVisible());
  EXPECT_EQ(t.sim().zeittakt, 9);
  auto* zeit = t.f->labor()->findChild<Zeitleiste*>();
  ASSERT_NE(zeit, nullptr);
  QTest::mouseClick(zeit, Qt::LeftButton, Qt::NoModifier, {zeit->xVon(4), zeit->height() / 2});
  EXPECT_EQ(t.sim().zeittakt, 4);
  EXPECT_EQ(zeit->jetzt(), 4);
}

// "Spikes unterwegs zeigen" draws on the screen only: the canvas and the run
// stay those without it.
TEST(LaborTest, SpikesUnterwegsNurAufDemSchirm) {
  Stand ohne;
  {
    Testfenster s(parameterMit("V"));
    s.zeigen();
    for (int i = 0; i < 24; ++i) s.taste(' ');
    ohne = standNehmen(s);
  }
  Testfenster t(parameterMit("V"));
  t.zeigen();
  t.f->laborZeigen();
  auto* schalter = t.f->labor()->findChild<QCheckBox*>(QStringLiteral("SpikesUnterwegs"));
  ASSERT_NE(schalter, nullptr);
  EXPECT_EQ(t.f->leinwand()->ueberlagerung, nullptr);
  schalter->setChecked(true);
  int gelb = 0;
  for (int i = 0; i < 24; ++i) {
    t.taste(' ');
    ASSERT_NE(t.f->leinwand()->ueberlagerung, nullptr);
    gelb += abweichendePixel(*t.f->leinwand()->ueberlagerung, t.f->canvas().bild()) > 0 ? 1 : 0;
  }
  EXPECT_GT(gelb, 0);
  gleich(standNehmen(t), ohne, 24, "spikes shown");
  schalter->setChecked(false);
  EXPECT_EQ(t.f->leinwand()->ueberlagerung, nullptr);
}

// An empty file parameter is chosen anew as after a failed load.
TEST(LaborTest, LeererDateiparameterLaesstDieDateiWaehlen) {
  {
    Testfenster t({"T", "", "daten.ein"});
    t.ketteAnlegen();
    t.zeigen();
    EXPECT_TRUE(t.an(t.m().Netzdateiffnen1));
    EXPECT_FALSE(t.an(t.m().Eingabedateiffnen1));
    EXPECT_TRUE(t.farbeIn(farben::rot, 75, 3, 135, 17));
    t.dateiantworten = {QStringLiteral("netz.net")};
    t.f->netzoeffnen();
    EXPECT_TRUE(t.sim().lauf.gestartet);
    t.taste(' ');
    EXPECT_EQ(t.sim().zeittakt, 1);
  }
  {
    Testfenster t({"T", "netz.net", ""});
    t.ketteAnlegen();
    t.zeigen();
    EXPECT_FALSE(t.an(t.m().Netzdateiffnen1));
    EXPECT_TRUE(t.an(t.m().Eingabedateiffnen1));
    EXPECT_TRUE(t.farbeIn(farben::rot, 80, 3, 140, 17));
    t.taste('q');  // as after a failed load, "q" ends the program
    EXPECT_EQ(t.endcodes, std::vector<int>{0});
  }
}

}  // namespace
}  // namespace velkor::test
