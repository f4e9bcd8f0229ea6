// The menu tree MainMenu1 of the simulation window.

#include <QKeySequence>
#include <QMenuBar>

#include "app/tform1.h"

namespace velkor {

QAction* TForm1::aktion(QAction*& feld, const char* name, const char* text, void (TForm1::*handler)()) {
  feld = new QAction(QString::fromUtf8(text), this);
  feld->setObjectName(QString::fromLatin1(name));
  if (handler) connect(feld, &QAction::triggered, this, [this, handler] { (this->*handler)(); });
  return feld;
}

void TForm1::createActions() {
  Menue& m = menue_;
  aktion(m.Netzdateiffnen1, "Netzdateiffnen1", "Netzdatei öffnen", &TForm1::netzoeffnen);
  aktion(m.Eingabedateiffnen1, "Eingabedateiffnen1", "Eingabedatei öffnen", &TForm1::eingabeoeffnen);
  aktion(m.Zustandsausgabe1, "Zustandsausgabe1", "Zustand speichern", &TForm1::zustandsausgabe);
  aktion(m.Bildschirmspeichern1, "Bildschirmspeichern1", "Bildschirm speichern", &TForm1::druckausgabe);
  aktion(m.Beenden1, "Beenden1", "Beenden", &TForm1::Beenden1Click);

  aktion(m.Verbindungsgewvariabel1, "Verbindungsgewvariabel1", "Verbindungsgew. variabel",
         &TForm1::Verbindungsgewvariabel1Click);
  aktion(m.Verbindungsgewkonstant1, "Verbindungsgewkonstant1", "Verbindungsgew. konstant",
         &TForm1::Verbindungsgewkonstant1Click);
  aktion(m.mitEPSpS1, "mitEPSpS1", "mit EPSPs", &TForm1::mitEPSpS1Click);
  aktion(m.ohneEPSPs1, "ohneEPSPs1", "ohne EPSPs", &TForm1::ohneEPSPs1Click);
  aktion(m.EPSPsnumerisch1, "EPSPsnumerisch1", "EPSPs, numerisch", &TForm1::numerisch);
  aktion(m.feuerndeZellen1, "feuerndeZellen1", "feuernde Zellen", &TForm1::feuerndeZellen1Click);
  aktion(m.komprimiert1, "komprimiert1", "komprimiert", &TForm1::komprimiert1Click);

  aktion(m.SimulationbisStop1, "SimulationbisStop1", "Simulation bis Stop", &TForm1::uzyklen);
  aktion(m.EinzelzyklenmitLeertaste1, "EinzelzyklenmitLeertaste1", "Einzelzyklen (mit Leertaste)",
         &TForm1::Einzelzellenfunktion_abschalten);
  aktion(m.Neustart1, "Neustart1", "Neustart", &TForm1::neuinitialisieren);

  aktion(m.Bereichsauswahl1, "Bereichsauswahl1", "Bereichsauswahl", &TForm1::Bereichsauswahl1Click);
  aktion(m.Bildverschiebung1, "Bildverschiebung1", "Bildverschiebung", &TForm1::Bildverschiebung1Click);
  aktion(m.Protokoll1, "Protokoll1", "Verlaufsprotokoll starten", &TForm1::logstart);
  aktion(m.Protokollbeenden1, "Protokollbeenden1", "Verlaufsprotokoll beenden", &TForm1::logende);
  aktion(m.Zeitraffer1, "Zeitraffer1", "Zeitraffer", &TForm1::zeitraffereinstellen);
  aktion(m.Zeitlupe1, "Zeitlupe1", "Zeitlupe", &TForm1::zeitlupeeinstellen);
  aktion(m.Pmitnderung1, "Pmitnderung1", "P mit Änderung", &TForm1::Pmitnderung1Click);
  aktion(m.Pohnenderung1, "Pohnenderung1", "P ohne Änderung", &TForm1::Pohnenderung1Click);
  aktion(m.Paufheben1, "Paufheben1", "P aufheben", &TForm1::Paufheben);
  m.Pmitnderung1->setCheckable(true);
  m.Pohnenderung1->setCheckable(true);

  aktion(m.Hilfe1, "Hilfe1", "Hilfe", &TForm1::hilfe);
  aktion(m.Labor1, "Labor1", "Labor", &TForm1::laborZeigen);
  m.Labor1->setShortcut(QKeySequence(Qt::Key_F9));  // no typed character: no key effects

  // disabled at program start
  for (QAction* a : {m.Zustandsausgabe1, m.Protokoll1, m.Protokollbeenden1}) a->setEnabled(false);
}

namespace {

// A submenu whose title item carries the component name.
QMenu* untermenue(QWidget* eltern, QAction*& feld, const char* name, const char* text) {
  auto* menu = new QMenu(QString::fromUtf8(text), eltern);
  menu->setObjectName(QString::fromLatin1(name) + QStringLiteral("Menue"));
  feld = menu->menuAction();
  feld->setObjectName(QString::fromLatin1(name));
  return menu;
}

}  // namespace

void TForm1::createMenus() {
  Menue& m = menue_;
  QMenuBar* leiste = menuBar();
  leiste->setObjectName(QStringLiteral("MainMenu1"));
  leiste->setNativeMenuBar(false);

  dateienMenue_ = untermenue(leiste, m.Dateien1, "Dateien1", "Dateien");
  dateienMenue_->addActions(
      {m.Netzdateiffnen1, m.Eingabedateiffnen1, m.Zustandsausgabe1, m.Bildschirmspeichern1, m.Beenden1});
  leiste->addMenu(dateienMenue_);

  QMenu* ansicht = untermenue(leiste, m.Ansicht1, "Ansicht1", "Ansicht");
  QMenu* zellen = untermenue(ansicht, m.Zelldarstellung1, "Zelldarstellung1", "Zelldarstellung");
  zellen->addActions({m.Verbindungsgewvariabel1, m.Verbindungsgewkonstant1});
  QMenu* oszi = untermenue(ansicht, m.Oszilloskopdarstellung1, "Oszilloskopdarstellung1", "Oszilloskopdarstellung");
  oszi->addActions({m.mitEPSpS1, m.ohneEPSPs1});
  ansicht->addMenu(zellen);
  ansicht->addMenu(oszi);
  ansicht->addActions({m.EPSPsnumerisch1, m.feuerndeZellen1, m.komprimiert1});
  leiste->addMenu(ansicht);

  QMenu* start = untermenue(leiste, m.Start1, "Start1", "Start");
  start->addActions({m.SimulationbisStop1, m.EinzelzyklenmitLeertaste1, m.Neustart1});
  leiste->addMenu(start);

  QMenu* extras = untermenue(leiste, m.Extras1, "Extras1", "Extras");
  extras->addActions({m.Bereichsauswahl1, m.Bildverschiebung1, m.Protokoll1, m.Protokollbeenden1, m.Zeitraffer1,
                      m.Zeitlupe1, m.Pmitnderung1, m.Pohnenderung1, m.Paufheben1});
  leiste->addMenu(extras);

  QMenu* werkzeuge = untermenue(leiste, m.Werkzeuge1, "Werkzeuge1", "Werkzeuge");
  werkzeuge->addAction(m.Labor1);
  leiste->addMenu(werkzeuge);

  leiste->addAction(m.Hilfe1);  // a top-level item without submenu

  m.Ansicht1->setEnabled(false);
  m.Start1->setEnabled(false);
}

}  // namespace velkor
