// The menu tree and which handler enables, disables or checks which item.

#include <gtest/gtest.h>
#include <QApplication>
#include <QExposeEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QWindow>

#include "app/dialogs/parameterdialog.h"
#include "testfenster.h"

namespace velkor::test {
namespace {

struct Eintrag {
  const char* pfad;  // captions from the menu bar down, joined by " > "
  const char* name;
  bool an;
};

// Every item with its caption path, component name and state at program start.
const Eintrag menuebaum[] = {
    {"Dateien", "Dateien1", true},
    {"Dateien > Netzdatei öffnen", "Netzdateiffnen1", true},
    {"Dateien > Eingabedatei öffnen", "Eingabedateiffnen1", true},
    {"Dateien > Zustand speichern", "Zustandsausgabe1", false},
    {"Dateien > Bildschirm speichern", "Bildschirmspeichern1", true},
    {"Dateien > Beenden", "Beenden1", true},
    {"Ansicht", "Ansicht1", false},
    {"Ansicht > Zelldarstellung", "Zelldarstellung1", true},
    {"Ansicht > Zelldarstellung > Verbindungsgew. variabel", "Verbindungsgewvariabel1", true},
    {"Ansicht > Zelldarstellung > Verbindungsgew. konstant", "Verbindungsgewkonstant1", true},
    {"Ansicht > Oszilloskopdarstellung", "Oszilloskopdarstellung1", true},
    {"Ansicht > Oszilloskopdarstellung > mit EPSPs", "mitEPSpS1", true},
    {"Ansicht > Oszilloskopdarstellung > ohne EPSPs", "ohneEPSPs1", true},
    {"Ansicht > EPSPs, numerisch", "EPSPsnumerisch1", true},
    {"Ansicht > feuernde Zellen", "feuerndeZellen1", true},
    {"Ansicht > komprimiert", "komprimiert1", true},
    {"Start", "Start1", false},
    {"Start > Simulation bis Stop", "SimulationbisStop1", true},
    {"Start > Einzelzyklen (mit Leertaste)", "EinzelzyklenmitLeertaste1", true},
    {"Start > Neustart", "Neustart1", true},
    {"Extras", "Extras1", true},
    {"Extras > Bereichsauswahl", "Bereichsauswahl1", true},
    {"Extras > Bildverschiebung", "Bildverschiebung1", true},
    {"Extras > Verlaufsprotokoll starten", "Protokoll1", false},
    {"Extras > Verlaufsprotokoll beenden", "Protokollbeenden1", false},
    {"Extras > Zeitraffer", "Zeitraffer1", true},
    {"Extras > Zeitlupe", "Zeitlupe1", true},
    {"Extras > P mit Änderung", "Pmitnderung1", true},
    {"Extras > P ohne Änderung", "Pohnenderung1", true},
    {"Extras > P aufheben", "Paufheben1", true},
    {"Werkzeuge", "Werkzeuge1", true},
    {"Werkzeuge > Labor", "Labor1", true},
    {"Hilfe", "Hilfe1", true},
};

void sammeln(const QList<QAction*>& aktionen, const QString& vorn, std::vector<std::pair<QString, QAction*>>& aus) {
  for (QAction* a : aktionen) {
    const QString pfad = vorn.isEmpty() ? a->text() : vorn + QStringLiteral(" > ") + a->text();
    aus.emplace_back(pfad, a);
    if (a->menu()) sammeln(a->menu()->actions(), pfad, aus);
  }
}

TEST(MenueTest, BaumMitBeschriftungenNamenUndStartzustand) {
  Testfenster t;
  std::vector<std::pair<QString, QAction*>> baum;
  sammeln(t.f->menuBar()->actions(), QString(), baum);
  ASSERT_EQ(baum.size(), std::size(menuebaum));
  for (std::size_t i = 0; i < baum.size(); ++i) {
    EXPECT_EQ(baum[i].first.toStdString(), menuebaum[i].pfad);
    EXPECT_EQ(baum[i].second->objectName().toStdString(), menuebaum[i].name);
    EXPECT_EQ(baum[i].second->isEnabled(), menuebaum[i].an) << menuebaum[i].name;
    EXPECT_FALSE(baum[i].second->isChecked());
  }
  EXPECT_EQ(t.f->findChild<QAction*>(QStringLiteral("Hilfe1"))->menu(), nullptr);
}

TEST(MenueTest, DateidialogeMitIhrenFilternUndAbbrechen) {
  Testfenster t;
  t.zeigen();
  t.f->netzoeffnen();  // cancelled
  ASSERT_EQ(t.dateidialoge.size(), 1u);
  const QStringList netzfilter = t.dateidialoge[0].second;
  ASSERT_EQ(netzfilter.size(), 2);
  EXPECT_TRUE(netzfilter[0].startsWith(QStringLiteral("Netzdateien(*.net;*.nec) (")));
  EXPECT_TRUE(netzfilter[0].contains(QStringLiteral("*.NET")) && netzfilter[0].contains(QStringLiteral("*.nec")));
  EXPECT_TRUE(netzfilter[1].startsWith(QStringLiteral("Alle Dateien (*.*) (")));
  EXPECT_TRUE(t.an(t.m().Netzdateiffnen1));
  EXPECT_TRUE(t.sim().param.netzdateiname.empty());
  EXPECT_TRUE(t.farbeIn(farben::rot, 57, 3, 120, 17));

  t.dateiantworten = {QStringLiteral("a.net")};
  t.f->netzoeffnen();
  EXPECT_EQ(t.sim().param.netzdateiname, "a.net");
  EXPECT_FALSE(t.an(t.m().Netzdateiffnen1));
  EXPECT_FALSE(t.an(t.m().Start1));
  EXPECT_FALSE(t.farbeIn(farben::rot, 57, 3, 210, 17));  // note erased
  EXPECT_TRUE(t.farbeIn(farben::rot, 220, 3, 280, 17));
  t.f->initialisieren();  // a later paint does not bring it back
  EXPECT_FALSE(t.farbeIn(farben::rot, 57, 3, 210, 17));

  t.dateiantworten = {QString(300, QLatin1Char('e'))};
  t.f->eingabeoeffnen();
  EXPECT_EQ(t.dateidialoge.back().second.value(0), QStringLiteral("Eingabedateien (*.ein) (*.EIN *.ein)"));
  EXPECT_EQ(t.sim().param.eingabedateiname, std::string(250, 'e'));
  EXPECT_FALSE(t.an(t.m().Eingabedateiffnen1));
  EXPECT_TRUE(t.an(t.m().Start1));
  EXPECT_TRUE(t.an(t.m().Ansicht1));
}

TEST(MenueTest, AnsichtshandlerSetzenFlagsUndMenue) {
  Testfenster t;
  t.zeigen();
  t.dateienWaehlen();
  struct Fall {
    void (TForm1::*handler)();
    bool ansichtBleibtAn;
    bool Ansichtsflags::*flag;
  };
  const Fall faelle[] = {
      {&TForm1::Verbindungsgewvariabel1Click, true, &Ansichtsflags::ansichtZellVariabel},
      {&TForm1::Verbindungsgewkonstant1Click, false, &Ansichtsflags::ansichtZellKonstant},
      {&TForm1::mitEPSpS1Click, false, &Ansichtsflags::ansichtOsziMitEpsps},
      {&TForm1::ohneEPSPs1Click, false, &Ansichtsflags::ansichtOsziOhneEpsps},
      {&TForm1::numerisch, true, nullptr},
      {&TForm1::feuerndeZellen1Click, true, &Ansichtsflags::ansichtFeuernd},
  };
  for (const Fall& fall : faelle) {
    t.m().Ansicht1->setEnabled(true);
    (t.f.get()->*fall.handler)();
    EXPECT_EQ(t.an(t.m().Ansicht1), fall.ansichtBleibtAn);
    if (fall.flag) {
      EXPECT_TRUE(t.f->ansicht().*fall.flag);
    } else {
      EXPECT_TRUE(t.f->ansicht().numerisch());
    }
  }
}

TEST(MenueTest, KomprimiertFragtDenFaktorUndGibtStartFrei) {
  Testfenster t;
  t.zeigen();
  t.f->komprimiert1Click();
  EXPECT_EQ(t.gezeigt, std::vector<QString>{QStringLiteral("TForm2")});
  EXPECT_TRUE(t.f->ansicht().ansichtKomprimiert);
  EXPECT_EQ(t.sim().param.vergroesserung, 2);  // untouched field
  EXPECT_TRUE(t.an(t.m().Start1));
  // with "Start" enabled before the files are chosen, a start reports the missing name
  t.f->uzyklen();
  EXPECT_EQ(t.meldungen.size(), 1u);
  EXPECT_FALSE(t.sim().lauf.gestartet);
}

TEST(MenueTest, StartbefehleSperrenExtrasUndNeustartSperrtSichSelbst) {
  Testfenster t;
  t.ketteAnlegen();
  t.zeigen();
  t.dateienWaehlen();
  const std::vector<QAction*> extras{t.m().Bereichsauswahl1, t.m().Bildverschiebung1, t.m().Zeitraffer1,
                                     t.m().Zeitlupe1,        t.m().Pmitnderung1,      t.m().Pohnenderung1,
                                     t.m().Paufheben1};
  t.f->Einzelzellenfunktion_abschalten();
  for (QAction* a : extras) EXPECT_FALSE(t.an(a));
  EXPECT_FALSE(t.an(t.m().Ansicht1));
  EXPECT_TRUE(t.an(t.m().Neustart1));
  EXPECT_TRUE(t.farbeIn(farben::weiss, 80, 3, 140, 17));

  t.f->neuinitialisieren();
  EXPECT_FALSE(t.an(t.m().Neustart1));
  for (QAction* a : extras) EXPECT_TRUE(t.an(a));
  EXPECT_TRUE(t.an(t.m().Ansicht1));

  t.f->uzyklen();
  for (QAction* a : extras) EXPECT_FALSE(t.an(a));
  EXPECT_TRUE(t.an(t.m().Neustart1));
  EXPECT_TRUE(t.an(t.m().Ansicht1));
}

TEST(MenueTest, VerlaufsprotokollStartenUndBeenden) {
  Testfenster t({"Kette", "netz.net", "daten.ein"});
  t.ketteAnlegen();
  t.zeigen();
  ASSERT_TRUE(t.an(t.m().Protokoll1));
  t.f->logstart();
  EXPECT_TRUE(gibtEs("logfile.txt"));
  EXPECT_TRUE(t.sim().lauf.logOffen);
  EXPECT_TRUE(t.sim().lauf.logAktiv);
  EXPECT_FALSE(t.an(t.m().Protokoll1));
  EXPECT_TRUE(t.an(t.m().Protokollbeenden1));
  EXPECT_TRUE(t.farbeIn(farben::rot, 580, 3, 640, 17));  // "Protokolldatei geöffnet"
  t.taste(' ');
  t.f->logende();
  EXPECT_FALSE(t.sim().lauf.logOffen);
  EXPECT_FALSE(t.sim().lauf.logAktiv);
  EXPECT_FALSE(t.an(t.m().Protokollbeenden1));
  EXPECT_FALSE(t.an(t.m().Protokoll1));  // only a load or "Neustart" enables it again
  EXPECT_FALSE(t.farbeIn(farben::rot, 580, 3, 640, 17));
  const std::string log = dateiLesen("logfile.txt");
  EXPECT_NE(log, "");
  t.taste(' ');
  EXPECT_EQ(dateiLesen("logfile.txt"), log);
  t.f->neuinitialisieren();
  EXPECT_TRUE(t.an(t.m().Protokoll1));
}

// A closing menu uncovers part of the window, which the window system then
// exposes; that is no paint of the window, so the notes written by the
// menu's handler stay in the bar. Any other exposure is a paint.
TEST(MenueTest, SchliessendesMenueLoeschtDieNotizenNicht) {
  Testfenster t({"Kette", "netz.net", "daten.ein"});
  t.ketteAnlegen();
  t.zeigen();
  QWindow* fenster = t.f->windowHandle();
  auto freilegen = [fenster](const QRegion& bereich) {
    QExposeEvent e(bereich);
    QCoreApplication::sendEvent(fenster, &e);
    QApplication::processEvents();
  };
  auto menueWaehlen = [&](QMenu* menue, QAction* eintrag) {
    menue->popup(t.f->mapToGlobal(QPoint(150, 20)));
    QApplication::processEvents();
    const QRect gedeckt(fenster->mapFromGlobal(menue->geometry().topLeft()), menue->size());
    menue->hide();
    eintrag->trigger();
    freilegen(gedeckt);
  };
  const auto logNotiz = [&t] { return t.farbeIn(farben::rot, 580, 3, 640, 17); };

  menueWaehlen(t.m().Extras1->menu(), t.m().Protokoll1);
  EXPECT_TRUE(logNotiz());                      // "Protokolldatei geöffnet"
  freilegen(QRect(QPoint(0, 0), t.f->size()));  // uncovered by another window
  EXPECT_FALSE(logNotiz());
  EXPECT_TRUE(t.farbeIn(farben::weiss, 80, 3, 140, 17));

  Testfenster m;
  m.ketteAnlegen();
  m.zeigen();
  m.dateienWaehlen();
  QWindow* mfenster = m.f->windowHandle();
  QMenu* start = m.m().Start1->menu();
  start->popup(m.f->mapToGlobal(QPoint(150, 20)));
  QApplication::processEvents();
  const QRect gedeckt(mfenster->mapFromGlobal(start->geometry().topLeft()), start->size());
  start->hide();
  m.m().EinzelzyklenmitLeertaste1->trigger();
  QExposeEvent e(gedeckt);
  QCoreApplication::sendEvent(mfenster, &e);
  QApplication::processEvents();
  EXPECT_TRUE(m.farbeIn(farben::weiss, 80, 3, 140, 17));  // "Einzelne Zyklen mit Leertaste starten"
}

TEST(MenueTest, ProtokollImMenuemodusNachDemLadenVerfuegbar) {
  Testfenster t;
  t.ketteAnlegen();
  t.zeigen();
  t.dateienWaehlen();
  EXPECT_FALSE(t.an(t.m().Protokoll1));
  EXPECT_FALSE(t.an(t.m().Zustandsausgabe1));
  t.f->Einzelzellenfunktion_abschalten();
  EXPECT_TRUE(t.an(t.m().Protokoll1));
  EXPECT_TRUE(t.an(t.m().Zustandsausgabe1));
}

TEST(MenueTest, PEintraegeSetzenHakenUndWerte) {
  Testfenster t;
  t.zeigen();
  t.f->Pmitnderung1Click();  // confirmed with the field untouched
  EXPECT_EQ(t.gezeigt.back(), QStringLiteral("TForm8"));
  EXPECT_TRUE(t.m().Pmitnderung1->isChecked());
  EXPECT_FALSE(t.m().Pohnenderung1->isChecked());
  EXPECT_TRUE(t.sim().lauf.pZufall);
  EXPECT_EQ(t.sim().param.pWert, 100);

  t.imDialog = [](QDialog& d) { static_cast<Parameterdialog&>(d).edit1()->setText(QStringLiteral("90")); };
  t.f->Pohnenderung1Click();
  EXPECT_FALSE(t.m().Pmitnderung1->isChecked());
  EXPECT_TRUE(t.m().Pohnenderung1->isChecked());
  EXPECT_FALSE(t.sim().lauf.pZufall);
  EXPECT_EQ(t.sim().param.pWert, 90);

  t.f->Pmitnderung1Click();
  t.f->Paufheben();
  EXPECT_FALSE(t.m().Pmitnderung1->isChecked());
  EXPECT_FALSE(t.m().Pohnenderung1->isChecked());
  EXPECT_FALSE(t.sim().lauf.pZufall);
  EXPECT_EQ(t.sim().param.pWert, 100);
}

TEST(MenueTest, PMitAenderungSaetDenZufallBeiJedemNeustart) {
  Testfenster t;
  t.zeigen();
  const uint64_t vorher = t.sim().zufall.zustand();
  t.f->Pmitnderung1Click();
  EXPECT_EQ(t.sim().zufall.zustand(), vorher);  // not seeded at once
  t.f->neuinitialisieren();
  Zufall erwartet;
  erwartet.seed(4711);
  EXPECT_EQ(t.sim().zufall.zustand(), erwartet.zustand());
  t.f->Paufheben();
  t.sim().zufall.naechste0bis99();
  const uint64_t danach = t.sim().zufall.zustand();
  t.f->neuinitialisieren();
  EXPECT_EQ(t.sim().zufall.zustand(), danach);
}

TEST(MenueTest, ZustandUndBildschirmSpeichern) {
  Testfenster t;
  t.ketteAnlegen();
  t.zeigen();
  t.dateienWaehlen();
  t.f->Einzelzellenfunktion_abschalten();
  t.taste(' ');
  t.f->zustandsausgabe();
  EXPECT_TRUE(dateiLesen("zustand.txt").starts_with(" **** Zustand im Zeittakt 1 ****"));
  t.f->druckausgabe();  // Menümodus: the colour bitmap
  EXPECT_TRUE(dateiLesen("bild.bmp").starts_with("BM"));
  EXPECT_FALSE(gibtEs("bild.pcl"));
  EXPECT_TRUE(t.meldungen.empty());
}

TEST(MenueTest, NichtSchreibbareDateienWerdenGemeldet) {
  Testfenster t({"Kette", "netz.net", "daten.ein"});
  t.ketteAnlegen();
  t.zeigen();
  for (const char* name : {"zustand.txt", "logfile.txt", "bild.pcl"}) std::filesystem::create_directory(name);
  t.f->zustandsausgabe();
  t.f->logstart();
  t.f->druckausgabe();
  ASSERT_EQ(t.meldungen.size(), 3u);
  EXPECT_TRUE(t.meldungen[0].contains(QStringLiteral("zustand.txt")));
  EXPECT_TRUE(t.meldungen[1].contains(QStringLiteral("logfile.txt")));
  EXPECT_TRUE(t.meldungen[2].contains(QStringLiteral("bild.pcl")));
  EXPECT_FALSE(t.sim().lauf.logOffen);
  EXPECT_TRUE(t.an(t.m().Protokoll1));
  EXPECT_FALSE(t.an(t.m().Protokollbeenden1));
  EXPECT_TRUE(t.endcodes.empty());
}

TEST(MenueTest, SchreibfehlerImVerlaufsprotokollBeendetEsMitMeldung) {
  Testfenster t({"Kette", "netz.net", "daten.ein"});
  t.ketteAnlegen();
  t.zeigen();
  std::filesystem::create_symlink("/dev/full", "logfile.txt");
  t.f->logstart();
  ASSERT_TRUE(t.sim().lauf.logOffen);
  t.taste(' ');
  ASSERT_EQ(t.meldungen.size(), 1u);
  EXPECT_TRUE(t.meldungen[0].contains(QStringLiteral("logfile.txt")));
  EXPECT_FALSE(t.sim().lauf.logOffen);
  EXPECT_FALSE(t.an(t.m().Protokollbeenden1));
  t.taste(' ');  // reported once
  EXPECT_EQ(t.meldungen.size(), 1u);
  EXPECT_EQ(t.sim().zeittakt, 2);
}

}  // namespace
}  // namespace velkor::test
