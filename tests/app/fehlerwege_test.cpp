// No dead end after a file error, German reasons, notes that read cleanly,
// the same first picture in both start modes, and nothing of a half-read net.

#include <gtest/gtest.h>

#include <QApplication>
#include <filesystem>

#include "net/netzladen.h"
#include "testfenster.h"

namespace velkor::test {
namespace {

constexpr const char* fehlt = ": Datei oder Verzeichnis nicht gefunden";

// Columns of the bar with a pixel of the colour, from x1 to x2.
std::vector<bool> spalten(Testfenster& t, Farbe farbe, int x1, int x2) {
  std::vector<bool> s;
  for (int x = x1; x < x2; ++x) s.push_back(t.farbeIn(farbe, x, 3, x + 1, 17));
  return s;
}

// The widest run of columns without the colour between the first and the
// last column that has it.
int groessteLuecke(const std::vector<bool>& s) {
  int beste = 0, lauf = 0;
  bool begonnen = false;
  for (bool belegt : s) {
    if (belegt) {
      if (begonnen) beste = std::max(beste, lauf);
      begonnen = true;
      lauf = 0;
    } else {
      ++lauf;
    }
  }
  return beste;
}

TEST(FehlerwegeTest, NachFehlendemNetzAndereDateiWaehlbarImKommandozeilenmodus) {
  Testfenster t({"T", "fehlt.net", "daten.ein"});
  t.ketteAnlegen();
  t.zeigen();
  ASSERT_EQ(t.meldungen.size(), 1u);
  EXPECT_EQ(t.meldungen[0], QStringLiteral("fehlt.net") + QString::fromUtf8(fehlt));
  EXPECT_TRUE(t.an(t.m().Netzdateiffnen1));
  EXPECT_FALSE(t.an(t.m().Eingabedateiffnen1));
  EXPECT_FALSE(t.an(t.m().Start1));
  // no promise of single steps: only the red note of the missing file
  t.f->initialisieren();
  EXPECT_FALSE(t.farbeIn(farben::weiss, 0, 0, 700, 19));
  EXPECT_TRUE(t.farbeIn(farben::rot, 75, 3, 135, 17));
  EXPECT_EQ(t.meldungen.size(), 1u);  // a paint does not repeat the failing load

  t.dateiantworten = {QStringLiteral("netz.net")};
  t.f->netzoeffnen();
  EXPECT_TRUE(t.sim().lauf.gestartet);
  EXPECT_FALSE(t.an(t.m().Netzdateiffnen1));
  EXPECT_TRUE(t.an(t.m().Start1));
  EXPECT_TRUE(t.farbeIn(farben::weiss, 80, 3, 200, 17));
  t.taste(' ');
  EXPECT_EQ(t.sim().zeittakt, 1);
  t.f->neuinitialisieren();  // the chosen file stays in place of the parameter
  EXPECT_TRUE(t.sim().lauf.gestartet);
  EXPECT_EQ(t.meldungen.size(), 1u);
}

TEST(FehlerwegeTest, NachUnlesbarerEingabeAndereDateiWaehlbarImMenuemodus) {
  Testfenster t;
  t.ketteAnlegen();
  std::filesystem::create_directory("verzeichnis.ein");
  t.zeigen();
  t.dateienWaehlen(QStringLiteral("netz.net"), QStringLiteral("verzeichnis.ein"));
  t.f->Einzelzellenfunktion_abschalten();
  ASSERT_EQ(t.meldungen.size(), 1u);
  EXPECT_EQ(t.meldungen[0], QStringLiteral("verzeichnis.ein: Ist ein Verzeichnis"));
  EXPECT_TRUE(t.an(t.m().Eingabedateiffnen1));
  EXPECT_FALSE(t.an(t.m().Start1));
  EXPECT_FALSE(t.farbeIn(farben::weiss, 0, 0, 700, 19));
  EXPECT_TRUE(t.farbeIn(farben::rot, 220, 3, 280, 17));

  t.dateiantworten = {QStringLiteral("daten.ein")};
  t.f->eingabeoeffnen();
  EXPECT_FALSE(t.farbeIn(farben::rot, 0, 0, 700, 19));
  EXPECT_TRUE(t.an(t.m().Start1));
  t.f->uzyklen();
  EXPECT_EQ(t.sim().zeittakt, 6);
}

TEST(FehlerwegeTest, QBeendetAuchNachEinemFehlgeschlagenenLaden) {
  for (bool menue : {false, true}) {
    Testfenster t(menue ? std::vector<std::string>{} : std::vector<std::string>{"T", "fehlt.net", "daten.ein"});
    t.ketteAnlegen();
    t.zeigen();
    if (menue) {
      t.taste('q');  // before any load, "q" does nothing
      EXPECT_TRUE(t.endcodes.empty());
      t.dateienWaehlen(QStringLiteral("fehlt.net"));
      t.f->uzyklen();
    }
    ASSERT_EQ(t.meldungen.size(), 1u) << menue;
    t.taste('q');
    EXPECT_EQ(t.endcodes, std::vector<int>{0}) << menue;
  }
}

TEST(FehlerwegeTest, NotizenUeberdruckenSichNicht) {
  {
    // the two red notes of the menu mode stand apart
    Testfenster t;
    t.zeigen();
    EXPECT_GE(groessteLuecke(spalten(t, farben::rot, 57, 500)), 12);
    t.dateiantworten = {QStringLiteral("netz.net")};
    t.f->netzoeffnen();
    EXPECT_FALSE(t.farbeIn(farben::rot, 0, 0, 200, 19));
    t.dateiantworten = {QStringLiteral("daten.ein")};
    t.f->eingabeoeffnen();
    EXPECT_FALSE(t.farbeIn(farben::rot, 0, 0, 700, 19));  // both erased where they stood
  }
  {
    // an empty net-file parameter: the red note alone, not over "...Leertaste starten"
    Testfenster t({"T", "", "daten.ein"});
    t.ketteAnlegen();
    t.zeigen();
    EXPECT_TRUE(t.farbeIn(farben::rot, 75, 3, 135, 17));
    EXPECT_FALSE(t.farbeIn(farben::weiss, 0, 0, 700, 19));
  }
}

// Started from the command line, the window system resizes the window right
// after the first paint; the menu mode draws the net into a window that has
// settled. Both show the same picture below the bar.
TEST(FehlerwegeTest, ErstesBildGleichInBeidenStartmodi) {
  QImage bilder[2];
  for (int menue = 0; menue < 2; ++menue) {
    Testfenster t(menue ? std::vector<std::string>{} : std::vector<std::string>{"T", "netz.net", "daten.ein", "V"});
    t.ketteAnlegen();
    if (menue) {
      t.f->resize(1100, 800);
      t.zeigen();
      t.dateienWaehlen();
      t.f->Verbindungsgewvariabel1Click();
      t.f->Einzelzellenfunktion_abschalten();
    } else {
      t.zeigen();
      t.f->resize(1100, 800);
      QApplication::processEvents();
      t.f->neuzeichnen();  // a click: still the first picture
    }
    QApplication::processEvents();
    const QImage& b = t.f->canvas().bild();
    bilder[menue] = b.copy(0, 19, b.width(), b.height() - 19);
    EXPECT_TRUE(t.farbeIn(farben::schwarz, 0, 19, b.width(), b.height()));  // the net is drawn
  }
  EXPECT_EQ(bilder[0].size(), bilder[1].size());
  EXPECT_TRUE(bilder[0] == bilder[1]);
}

TEST(FehlerwegeTest, VomHalbGelesenenNetzWirdNichtsGezeichnet) {
  Testfenster t({"T", "netz.net", "daten.ein", "V"});
  t.ketteAnlegen();
  dateiSchreiben("netz.net", std::string(kettennetz) + "Z D 2 2\n");
  // behind the message box the window system resizes the window and the user clicks
  bool gezeichnet = true;
  t.beiMeldung = [&] {
    t.f->resize(1100, 800);
    QApplication::processEvents();
    t.f->neuzeichnen();
    const QImage& b = t.f->canvas().bild();
    gezeichnet = t.farbeIn(farben::schwarz, 0, 19, b.width(), b.height());
  };
  t.zeigen();
  ASSERT_EQ(t.meldungen.size(), 1u);
  EXPECT_EQ(t.meldungen[0], QString::fromUtf8(formatfehlerText));
  EXPECT_FALSE(gezeichnet);
}

}  // namespace
}  // namespace velkor::test
