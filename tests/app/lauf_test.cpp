// Run control: the keys, runs until stop, a faulty net, "Neustart" in both
// start modes, and the end of the program.

#include <gtest/gtest.h>

#include "testfenster.h"

namespace velkor::test {
namespace {

TEST(LaufTest, UAlleinLaeuftBisZurNaechstenStoppmarke) {
  Testfenster t({"Kette", "netz.net", "daten.ein"});
  t.ketteAnlegen();
  t.zeigen();
  t.taste('u');
  EXPECT_EQ(t.sim().zeittakt, 6);  // steps 0..5, stop mark at 5
  EXPECT_TRUE(t.sim().lauf.anhalten);
  EXPECT_FALSE(t.sim().lauf.eingabeEnde);
  t.taste('u');
  EXPECT_EQ(t.sim().zeittakt, 11);
  t.taste('u');  // no further stop mark: to the end of the input
  EXPECT_EQ(t.sim().zeittakt, 13);
  EXPECT_TRUE(t.sim().lauf.eingabeEnde);
  t.taste('u');
  EXPECT_EQ(t.sim().zeittakt, 13);
  t.f->uzyklen();
  EXPECT_EQ(t.sim().zeittakt, 13);
  t.taste(' ');  // the space bar still steps, without input
  EXPECT_EQ(t.sim().zeittakt, 14);
}

TEST(LaufTest, GrossbuchstabenUndAndereTastenLaufenNicht) {
  Testfenster t({"Kette", "netz.net", "daten.ein"});
  t.ketteAnlegen();
  t.zeigen();
  for (char c : {'U', 'Q', 'x', '1'}) t.taste(c);
  EXPECT_EQ(t.sim().zeittakt, 0);
  EXPECT_TRUE(t.endcodes.empty());
  // but every key makes its menu changes
  EXPECT_TRUE(t.an(t.m().Neustart1));
  for (QAction* a : {t.m().Bereichsauswahl1, t.m().Bildverschiebung1, t.m().Zeitraffer1, t.m().Zeitlupe1,
                     t.m().Pmitnderung1, t.m().Pohnenderung1, t.m().Paufheben1, t.m().Ansicht1}) {
    EXPECT_FALSE(t.an(a)) << a->objectName().toStdString();
  }
}

TEST(LaufTest, QBeendetUndSchliesstDasProtokoll) {
  Testfenster t({"Kette", "netz.net", "daten.ein"});
  t.ketteAnlegen();
  t.zeigen();
  t.f->logstart();
  ASSERT_TRUE(t.sim().lauf.logOffen);
  t.taste(' ');
  t.taste('q');
  EXPECT_EQ(t.endcodes, std::vector<int>{0});
  EXPECT_FALSE(t.sim().lauf.logOffen);
  EXPECT_NE(dateiLesen("logfile.txt"), "");  // flushed and closed
  t.taste(' ');                              // nothing runs after the end
  EXPECT_EQ(t.sim().zeittakt, 1);
}

TEST(LaufTest, FehlerhaftesNetzZeigtDenBlockUndLaeuftNicht) {
  Testfenster t({"Fehler", "netz.net", "daten.ein"});
  t.ketteAnlegen();
  dateiSchreiben("netz.net", fehlernetz);
  t.zeigen();
  EXPECT_EQ(dateiLesen("protok.txt"), ">c X 1.0 1\n****Zelle fehlt****\n");
  EXPECT_TRUE(t.sim().lauf.gestartet);
  EXPECT_TRUE(t.sim().lauf.netzfehler);
  EXPECT_FALSE(t.farbeIn(farben::schwarz, 300, 300, 500, 395));
  t.taste(' ');
  EXPECT_EQ(t.sim().zeittakt, 0);
  EXPECT_TRUE(t.farbeIn(farben::schwarz, 300, 300, 500, 315));  // the asterisks
  EXPECT_TRUE(t.farbeIn(farben::schwarz, 300, 320, 400, 335));  // "Netzfehler:"
  t.taste('u');
  t.f->uzyklen();
  EXPECT_EQ(t.sim().zeittakt, 0);
}

TEST(LaufTest, NeustartImKommandozeilenmodusLaedtNeuUndSchliesstDasProtokoll) {
  Testfenster t({"Kette", "netz.net", "daten.ein"});
  t.ketteAnlegen();
  t.zeigen();
  t.f->logstart();
  t.taste('u');
  ASSERT_EQ(t.sim().zeittakt, 6);
  t.f->neuinitialisieren();
  EXPECT_FALSE(t.sim().lauf.logOffen);
  EXPECT_FALSE(t.sim().lauf.logAktiv);
  EXPECT_FALSE(t.an(t.m().Protokollbeenden1));
  EXPECT_TRUE(t.an(t.m().Protokoll1));
  EXPECT_TRUE(t.sim().lauf.gestartet);
  EXPECT_TRUE(t.sim().lauf.neugestartet);
  EXPECT_EQ(t.sim().zeittakt, 0);
  EXPECT_EQ(t.f->anzeigezustand().schreibzeile, 20);
  EXPECT_FALSE(t.an(t.m().Neustart1));
  EXPECT_TRUE(t.an(t.m().Ansicht1));
  EXPECT_TRUE(t.an(t.m().Zeitlupe1));
  const std::string log = dateiLesen("logfile.txt");
  t.taste('u');  // the input is read again from its beginning
  EXPECT_EQ(t.sim().zeittakt, 6);
  EXPECT_EQ(dateiLesen("logfile.txt"), log);
}

TEST(LaufTest, NeustartNachEingabeendeErlaubtWiederLaeufe) {
  Testfenster t({"Kette", "netz.net", "daten.ein"});
  t.ketteAnlegen();
  t.zeigen();
  for (int i = 0; i < 3; ++i) t.taste('u');
  ASSERT_TRUE(t.sim().lauf.eingabeEnde);
  t.f->neuinitialisieren();
  EXPECT_FALSE(t.sim().lauf.eingabeEnde);
  t.f->uzyklen();
  EXPECT_EQ(t.sim().zeittakt, 6);
}

TEST(LaufTest, NeustartImMenuemodusLaesstUnvorbereitet) {
  Testfenster t;
  t.ketteAnlegen();
  t.zeigen();
  t.dateienWaehlen();
  t.f->Einzelzellenfunktion_abschalten();
  EXPECT_TRUE(t.sim().lauf.gestartet);
  EXPECT_EQ(t.f->windowTitle(), QStringLiteral("Simulation"));
  EXPECT_TRUE(gibtEs("protok.txt"));
  EXPECT_EQ(t.sim().zeittakt, 0);
  t.taste(' ');
  t.taste(' ');
  EXPECT_EQ(t.sim().zeittakt, 2);
  t.f->neuinitialisieren();
  EXPECT_FALSE(t.sim().lauf.gestartet);
  EXPECT_FALSE(t.farbeIn(farben::rot, 57, 3, 300, 17));  // no red notes after "Neustart"
  t.taste(' ');
  EXPECT_EQ(t.sim().zeittakt, 2);
  t.f->Einzelzellenfunktion_abschalten();  // loads again, input from its beginning
  EXPECT_TRUE(t.sim().lauf.gestartet);
  EXPECT_EQ(t.sim().zeittakt, 0);
  t.taste('u');
  EXPECT_EQ(t.sim().zeittakt, 6);
}

TEST(LaufTest, SimulationBisStopImMenuemodusBereitetVorUndLaeuft) {
  Testfenster t;
  t.ketteAnlegen();
  t.zeigen();
  t.dateienWaehlen();
  t.f->uzyklen();
  EXPECT_TRUE(t.sim().lauf.gestartet);
  EXPECT_EQ(t.sim().zeittakt, 6);
  EXPECT_TRUE(t.an(t.m().Neustart1));
  EXPECT_TRUE(t.an(t.m().Ansicht1));  // "Simulation bis Stop" leaves "Ansicht" alone
  t.f->uzyklen();
  EXPECT_EQ(t.sim().zeittakt, 11);
}

TEST(LaufTest, FehlendeDateiImMenuemodusMeldetUndLaeuftNicht) {
  Testfenster t;
  t.ketteAnlegen();
  t.zeigen();
  t.dateienWaehlen(QStringLiteral("fehlt.net"));
  t.f->uzyklen();
  ASSERT_EQ(t.meldungen.size(), 1u);
  EXPECT_TRUE(t.meldungen[0].contains(QStringLiteral("fehlt.net")));
  EXPECT_FALSE(t.sim().lauf.gestartet);
  EXPECT_EQ(t.sim().zeittakt, 0);
  EXPECT_TRUE(t.endcodes.empty());
}

TEST(LaufTest, FensterSchliessenSchliesstDasProtokoll) {
  Testfenster t({"Kette", "netz.net", "daten.ein"});
  t.ketteAnlegen();
  t.zeigen();
  t.f->logstart();
  t.taste(' ');
  t.f->close();
  EXPECT_FALSE(t.sim().lauf.logOffen);
  EXPECT_TRUE(t.endcodes.empty());
}

}  // namespace
}  // namespace velkor::test
