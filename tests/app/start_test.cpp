// Start modes of the window program: without parameters, with too few, with
// the three required ones, and with names missing or files that fail.

#include <gtest/gtest.h>

#include "net/netzladen.h"
#include "testfenster.h"

namespace velkor::test {
namespace {

// In the bar (rows 3..16) at the x of a note.
bool roteNotiz(Testfenster& t, int x) { return t.farbeIn(farben::rot, x, 3, x + 60, 17); }
bool weisseNotiz(Testfenster& t, int x) { return t.farbeIn(farben::weiss, x, 3, x + 60, 17); }

TEST(StartTest, OhneParameterMenuemodusMitBeidenRotenNotizen) {
  Testfenster t;
  t.zeigen();
  EXPECT_FALSE(t.f->kommandozeilenmodus());
  EXPECT_TRUE(roteNotiz(t, 57));
  EXPECT_TRUE(roteNotiz(t, 220));
  EXPECT_EQ(t.f->canvas().getPixel(2, 10), farben::gruen);
  EXPECT_TRUE(t.sim().param.farbBild);
  EXPECT_EQ(t.f->windowTitle(), QStringLiteral("simulation"));
  EXPECT_FALSE(t.an(t.m().Start1));
  EXPECT_FALSE(t.an(t.m().Ansicht1));
  EXPECT_TRUE(t.meldungen.empty());
  EXPECT_FALSE(gibtEs("protok.txt"));
}

TEST(StartTest, TastenOhneStartSperrenNurAnsicht) {
  Testfenster t;
  t.ketteAnlegen();
  t.zeigen();
  t.dateienWaehlen();
  ASSERT_TRUE(t.an(t.m().Ansicht1));
  for (char c : {' ', 'u', 'q', 'x'}) t.taste(c);
  EXPECT_FALSE(t.an(t.m().Ansicht1));
  EXPECT_TRUE(t.an(t.m().Start1));
  EXPECT_TRUE(t.an(t.m().Neustart1));
  EXPECT_TRUE(t.an(t.m().Bereichsauswahl1));
  EXPECT_TRUE(t.an(t.m().Paufheben1));
  EXPECT_EQ(t.sim().zeittakt, 0);
  EXPECT_FALSE(t.sim().lauf.gestartet);
  EXPECT_TRUE(t.endcodes.empty());
}

TEST(StartTest, EinOderZweiParameterMeldungUndEndeOhneProtokoll) {
  for (std::vector<std::string> p : {std::vector<std::string>{"Titel"}, {"Titel", "netz.net"}}) {
    Testfenster t(p);
    t.ketteAnlegen();
    t.zeigen();
    ASSERT_EQ(t.meldungen.size(), 1u);
    EXPECT_EQ(t.meldungen[0], QStringLiteral("Weniger als 3 Kommandozeilenparameter, Programm wird beendet"));
    EXPECT_EQ(t.endcodes, std::vector<int>{1});
    EXPECT_TRUE(t.f->beendet());
    EXPECT_FALSE(gibtEs("protok.txt"));
    EXPECT_FALSE(t.sim().lauf.gestartet);
  }
}

TEST(StartTest, DreiParameterBereitenDenStartVor) {
  Testfenster t({"Lernen A", "netz.net", "daten.ein"});
  t.ketteAnlegen();
  t.zeigen();
  EXPECT_TRUE(t.meldungen.empty());
  EXPECT_EQ(t.f->windowTitle(), QStringLiteral("Lernen A"));
  ASSERT_TRUE(gibtEs("protok.txt"));
  EXPECT_EQ(dateiLesen("protok.txt"), "");
  EXPECT_TRUE(weisseNotiz(t, 80));  // "Einzelne Zyklen mit Leertaste starten"
  EXPECT_FALSE(roteNotiz(t, 57));
  EXPECT_TRUE(t.sim().lauf.gestartet);
  EXPECT_EQ(t.sim().netz.zellenzahl, 3);
  EXPECT_TRUE(t.an(t.m().Start1));
  EXPECT_FALSE(t.an(t.m().Netzdateiffnen1));
  EXPECT_FALSE(t.an(t.m().Eingabedateiffnen1));
  EXPECT_TRUE(t.an(t.m().Zustandsausgabe1));
  EXPECT_TRUE(t.an(t.m().Protokoll1));
  for (int i = 1; i <= 3; ++i) {
    t.taste(' ');
    EXPECT_EQ(t.sim().zeittakt, i);
  }
}

TEST(StartTest, LangerTitelWirdAuf250Gekuerzt) {
  const std::string titel(300, 'T');
  Testfenster t({titel, "netz.net", "daten.ein"});
  t.ketteAnlegen();
  t.zeigen();
  EXPECT_EQ(t.f->windowTitle(), QString(250, QLatin1Char('T')));
}

TEST(StartTest, LeererNetzdateinameLaesstUnvorbereitet) {
  Testfenster t({"T", "", "daten.ein"});
  t.ketteAnlegen();
  t.zeigen();
  EXPECT_TRUE(roteNotiz(t, 75));
  EXPECT_TRUE(gibtEs("protok.txt"));
  EXPECT_FALSE(t.sim().lauf.gestartet);
  EXPECT_TRUE(t.sim().param.farbBild);
  EXPECT_FALSE(t.an(t.m().Start1));
  EXPECT_FALSE(t.an(t.m().Zustandsausgabe1));
  t.taste(' ');
  EXPECT_EQ(t.sim().zeittakt, 0);
}

TEST(StartTest, LeererEingabenameLaedtNurDasNetz) {
  Testfenster t({"T", "netz.net", ""});
  t.ketteAnlegen();
  t.zeigen();
  EXPECT_TRUE(roteNotiz(t, 80));
  EXPECT_EQ(t.sim().netz.zellenzahl, 3);
  EXPECT_TRUE(t.an(t.m().Zustandsausgabe1));
  EXPECT_FALSE(t.sim().lauf.gestartet);
  EXPECT_FALSE(t.an(t.m().Start1));
  EXPECT_TRUE(t.sim().param.farbBild);
}

TEST(StartTest, FehlendeNetzdateiMeldetUndVersuchtErstNachNeustartWieder) {
  Testfenster t({"T", "fehlt.net", "daten.ein"});
  t.ketteAnlegen();
  t.zeigen();
  ASSERT_EQ(t.meldungen.size(), 1u);
  EXPECT_TRUE(t.meldungen[0].contains(QStringLiteral("fehlt.net")));
  EXPECT_TRUE(t.endcodes.empty());
  EXPECT_FALSE(t.sim().lauf.gestartet);
  t.f->initialisieren();  // a later paint does not repeat the failing preparation
  EXPECT_EQ(t.meldungen.size(), 1u);
  t.f->neuinitialisieren();
  EXPECT_EQ(t.meldungen.size(), 2u);
}

TEST(StartTest, FehlendeEingabedateiMeldetUndBleibtUnvorbereitet) {
  Testfenster t({"T", "netz.net", "fehlt.ein"});
  t.ketteAnlegen();
  t.zeigen();
  ASSERT_EQ(t.meldungen.size(), 1u);
  EXPECT_TRUE(t.meldungen[0].contains(QStringLiteral("fehlt.ein")));
  EXPECT_FALSE(t.sim().lauf.gestartet);
  EXPECT_FALSE(t.an(t.m().Start1));
  t.taste('u');
  EXPECT_EQ(t.sim().zeittakt, 0);
}

TEST(StartTest, FormatfehlerMeldetUndBeendet) {
  Testfenster t({"T", "netz.net", "daten.ein"});
  t.ketteAnlegen();
  dateiSchreiben("netz.net", "z A 1 1\ns 1.0\nz B 1 3\nr 2\nZ C 2 2\n");
  t.zeigen();
  ASSERT_EQ(t.meldungen.size(), 1u);
  EXPECT_EQ(t.meldungen[0], QString::fromUtf8(formatfehlerText));
  EXPECT_EQ(t.endcodes, std::vector<int>{1});
  EXPECT_EQ(dateiLesen("protok.txt"), "");
  EXPECT_FALSE(t.sim().lauf.gestartet);
}

TEST(StartTest, AnsichtsbuchstabeSperrtAnsichtAuchNachNeustart) {
  Testfenster t({"T", "netz.net", "daten.ein", "G"});
  t.ketteAnlegen();
  t.zeigen();
  EXPECT_TRUE(t.f->ansicht().ansichtOsziMitEpsps);
  EXPECT_EQ(t.f->anzeigezustand().schreibzeile, 20);
  t.f->neuinitialisieren();
  EXPECT_FALSE(t.an(t.m().Ansicht1));
  Testfenster ohne({"T", "netz.net", "daten.ein"});
  ohne.ketteAnlegen();
  ohne.zeigen();
  ohne.f->neuinitialisieren();
  EXPECT_TRUE(ohne.an(ohne.m().Ansicht1));
}

}  // namespace
}  // namespace velkor::test
